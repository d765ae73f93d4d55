// The wandering copies of a picture: one frame of 5,000 copies (the frame
// clock, every copy's Brownian steering and the copy quads written into the
// layer), after the copies have been made and warmed up.

#include <benchmark/benchmark.h>

#include <memory>

#include "bench/particles/engine/HeadlessBench.h"
#include "bench/particles/generators/GeneratorBenchSupport.h"
#include "objects/ObjectAnimations.h"
#include "particles/generators/ParticlesObj.h"
#include "platform/crt/Random.h"

namespace {

constexpr std::uint32_t kCopies = 5000;

void BM_BrownAnimation5000Copies(benchmark::State& state)
{
    headless_bench::Headless scene(state, 64, 64);
    if (!scene.device)
        return;
    crt::srand(1);
    DS_BrownAnimation brown;
    brown.keepId = 1; // placed: the region is its own, not the whole picture
    brown.region.SetRectangle(1920.0f, 1080.0f, {960.0f, 540.0f, 0.0f});
    brown.count.StoreValue(kCopies);
    brown.size.QuietSet(50);
    brown.motionScale.QuietSet(25);
    DS_ParticlesObj object(brown.Clone());
    // The copies take their quads' size from the picture: a 32 x 32 one.
    auto& copies = static_cast<DS_BrownAnimation&>(*object.Generator());
    copies.frames.sourceWidth = 32;
    copies.frames.sourceHeight = 32;
    generator_bench::WarmThenStep(state, object);
    if (object.QuadCount(0) != static_cast<std::int32_t>(kCopies))
        state.SkipWithError("the copies were not all built");
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kCopies);
}
BENCHMARK(BM_BrownAnimation5000Copies)->Unit(benchmark::kMicrosecond);

} // namespace

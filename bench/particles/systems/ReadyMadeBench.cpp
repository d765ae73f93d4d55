// The ready-made systems' hot paths on the shared headless scene: one frame
// (update and quad build) of a fountain holding 10,000 particles, rain with
// about 2,000 drops including the pair pass, and the geometry of 1,000 rays.

#include <benchmark/benchmark.h>

#include <memory>

#include "bench/particles/engine/HeadlessBench.h"
#include "particles/systems/FountainPtclSys.h"
#include "particles/systems/RainOnGlass.h"
#include "particles/systems/RayOfLight.h"
#include "platform/crt/Random.h"

namespace {

constexpr std::uint32_t kWidth = 1280;
constexpr std::uint32_t kHeight = 720;

// The render object of `description`, warmed up by `frames` frames of 0.05 s.
template <class T>
std::unique_ptr<KXI_ParticleSystemMech> Run(T& description, int frames, float& t)
{
    std::unique_ptr<KXI_RenderObj> object = description.CreateRenderObject();
    auto* mech = static_cast<KXI_ParticleSystemMech*>(object.release());
    std::unique_ptr<KXI_ParticleSystemMech> running(mech);
    for (int i = 0; i < frames; ++i) {
        t += 0.05f;
        running->Animate(t);
    }
    return running;
}

void BM_FountainFrame(benchmark::State& state)
{
    headless_bench::Headless headless(state, kWidth, kHeight);
    if (!headless.device)
        return;
    crt::srand(1);
    KXI_FontainPtclSys fountain;
    fountain.emitter.position.value = {640.0f, 600.0f, 0.0f};
    fountain.direction.QuietSet(90);
    fountain.direction.spread.value = 40;
    fountain.launchSpeed.SetValue(50, nullptr); // 200 px/s
    fountain.range.value = 400;                 // 2 s
    fountain.counter.rate.SetValue(25000, nullptr); // 5,000 a second
    fountain.params.particleSize.value = 8;
    float t = 0.0f;
    auto mech = Run(fountain, 20, t); // the pre-run has filled it
    for (auto _ : state) {
        t += 0.05f;
        mech->Animate(t);
        benchmark::DoNotOptimize(mech->QuadCount(0));
    }
    state.counters["particles"] = static_cast<double>(mech->Controller().particles.Size());
}
BENCHMARK(BM_FountainFrame)->Unit(benchmark::kMicrosecond);

void BM_RainFrame(benchmark::State& state)
{
    headless_bench::Headless headless(state, kWidth, kHeight);
    if (!headless.device)
        return;
    crt::srand(2);
    DS_RainOnGlass rain;
    rain.emitter.geometry.area.SetRectangle(1280.0f, 720.0f, {640.0f, 360.0f, 0.0f});
    rain.emitter.counter.rate.SetValue(0, nullptr); // nothing in the pre-run
    rain.slideForce.SetValue(60, nullptr);
    rain.direction.QuietSet(270);
    rain.params.particleSize.value = 6;
    float t = 0.0f;
    auto mech = Run(rain, 0, t);
    auto& drops = static_cast<DS_RainOnGlass&>(mech->Controller());
    // 2,600 drops in one second, of which about 2,000 stay apart (the rest
    // have merged), then none new during the timing.
    drops.emitter.counter.rate.SetValue(13000, nullptr);
    for (int i = 0; i < 20; ++i) {
        t += 0.05f;
        mech->Animate(t);
    }
    drops.emitter.counter.rate.SetValue(0, nullptr);
    for (auto _ : state) {
        t += 0.05f;
        mech->Animate(t);
        benchmark::DoNotOptimize(mech->QuadCount(0));
    }
    state.counters["drops"] = static_cast<double>(drops.particles.Size());
}
BENCHMARK(BM_RainFrame)->Unit(benchmark::kMicrosecond);

void BM_RayGeometry(benchmark::State& state)
{
    headless_bench::Headless headless(state, kWidth, kHeight);
    if (!headless.device)
        return;
    crt::srand(3);
    DS_RayOfLight rays;
    rays.rayArea.SetRectangle(1000.0f, 600.0f, {640.0f, 360.0f, 0.0f});
    rays.rayCount.value = 1000;
    rays.rayLife.SetValue(100000, nullptr);
    rays.rayWidth.SetValue(20, nullptr);
    rays.fadeInLength.SetValue(20, nullptr);
    rays.fadeOutLength.SetValue(30, nullptr);
    rays.edgeFade.SetValue(20, nullptr);
    float t = 0.0f;
    auto mech = Run(rays, 2, t);
    auto& running = static_cast<DS_RayOfLight&>(mech->Controller());
    for (auto _ : state) {
        running.BuildRays();
        benchmark::DoNotOptimize(mech->QuadCount(0));
    }
    state.counters["rays"] = static_cast<double>(running.particles.Size());
}
BENCHMARK(BM_RayGeometry)->Unit(benchmark::kMicrosecond);

} // namespace

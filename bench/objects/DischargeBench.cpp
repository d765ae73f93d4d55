// The glowing discharge: one frame of a 64-segment chain (a new line every
// 0.1 s, the morph of every segment, its flicker and the vertex fill), and
// a full-HD headless frame of a slide with the discharge (its glow target
// passes and the render-target switch), beside a bare frame of the same
// slide.

#include <benchmark/benchmark.h>

#include <memory>

#include "objects/GlowingDischarge.h"
#include "objects/ObjectClasses.h"
#include "platform/crt/Random.h"
#include "render/SharedResource.h"
#include "tests/support/BmpFixture.h"
#include "bench/particles/engine/HeadlessBench.h"

namespace {

const LinkKey kGlowPicture{u"pictures\\glow.bmp", 2};
constexpr std::uint32_t kSegments = 64;

// A discharge of `kSegments` segments across a 1920 x 1080 picture, its
// glow picture stored in the document.
std::unique_ptr<KXI_RenderObj> MakeDischarge(headless_bench::Headless& scene)
{
    DocResManagerRecord record;
    ModuleResourceBlob glow(u"glow.bmp");
    glow.SetBytes(bmp_fixture::BmpPicture(32, 32, [](std::uint32_t x, std::uint32_t y) { return 0x404040u + x + y; }));
    record.textureSetRecords[kGlowPicture] = {glow};
    scene.Store(record);
    DS_DischargeFXConstructor discharge;
    discharge.start.StoreValue({200.0f, 800.0f, 0.0f});
    discharge.end.StoreValue({1700.0f, 300.0f, 0.0f});
    discharge.spriteCount.StoreValue(kSegments);
    discharge.secondImage.StorePathAndId(kGlowPicture.path, kGlowPicture.id);
    return discharge.CreateRenderObject();
}

// Frames of 30 ms after 20 frames of warming up.
void BM_Discharge64Segments(benchmark::State& state)
{
    headless_bench::Headless scene(state, 64, 64);
    if (!scene.device)
        return;
    crt::srand(1);
    std::unique_ptr<KXI_RenderObj> discharge = MakeDischarge(scene);
    float time = 0.0f;
    for (int frame = 0; frame < 20; ++frame)
        discharge->Update(time += 0.03f);
    for (auto _ : state) {
        discharge->Update(time += 0.03f);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * kSegments);
}
BENCHMARK(BM_Discharge64Segments);

// A picture scene at 1920 x 1080 drawing its grey picture and, unless
// `bare`, the discharge over it.
void RunSlideFrames(benchmark::State& state, bool bare)
{
    headless_bench::Headless scene(state, 1920, 1080);
    if (!scene.device)
        return;
    crt::srand(1);
    std::unique_ptr<DS_2D_Light> light = scene.MakeGreyLight();
    RenderObjectList objects;
    if (!bare)
        objects.push_back(DS_SafePtr<KXI_RenderObj>(MakeDischarge(scene).release()));
    float time = 0.0f;
    const auto frame = [&] {
        time += 0.03f;
        for (const auto& object : objects)
            object->Update(time);
        light->RenderFrame(objects, false);
        scene.device->Present(); // waits for the frame
    };
    for (int warm = 0; warm < 5; ++warm)
        frame();
    for (auto _ : state)
        frame();
}

void BM_DischargeSlide1080p(benchmark::State& state)
{
    RunSlideFrames(state, false);
}
BENCHMARK(BM_DischargeSlide1080p)->Unit(benchmark::kMillisecond);

void BM_BareSlide1080p(benchmark::State& state)
{
    RunSlideFrames(state, true);
}
BENCHMARK(BM_BareSlide1080p)->Unit(benchmark::kMillisecond);

} // namespace

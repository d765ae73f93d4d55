// The fire and the light variants that draw through effects or quad
// batches: the matrix code's simulation step and quad fill (CPU), a fire
// region's Apply per frame, and a full-HD frame of the flame light with its
// haze (read beside BM_BareBlit1080p of bench/player).

#include <benchmark/benchmark.h>

#include "bench/particles/engine/HeadlessBench.h"
#include "effects/EffectClasses.h"
#include "effects/FireFX.h"
#include "effects/FlameLight.h"
#include "effects/MatrixCodeLight.h"
#include "platform/crt/Random.h"
#include "render/RenderObject.h"

namespace {

constexpr std::uint32_t kWidth = 1920, kHeight = 1080;
constexpr float kFrameStep = 0.03f;

// A grey picture of the target's size stored for `light`, which is then set
// up as the player sets up a slide's light.
void SetUp(headless_bench::Headless& scene, DS_2D_Light& light)
{
    g_RenderTargetSizing = RenderTargetSizing{1, std::int32_t(kWidth), std::int32_t(kHeight)};
    const LinkKey picture{u"ground.bmp", 1};
    ModuleResourceBlob stored(u"ground.bmp");
    stored.SetBytes(bmp_fixture::BmpPicture(kWidth, kHeight, [](std::uint32_t x, std::uint32_t) {
        return x < kWidth / 2 ? 0x808080u : 0x404040u;
    }));
    DocResManagerRecord record;
    record.textureSetRecords[picture] = {stored};
    scene.Store(record);
    light.BackgroundLink().StorePathAndId(picture.path, picture.id);
    light.CreateDeviceObjects();
    QuadVertices view;
    view.FillTarget(*scene.device);
    light.ApplyView(view);
    light.OnResetDevice();
    light.SetPictureMode(1);
}

void BM_MatrixCodeFillBatches1080p(benchmark::State& state)
{
    headless_bench::Headless scene(state, kWidth, kHeight);
    if (!scene.device)
        return;
    DS_MatrixCodeLight light;
    light.cellSize.value = static_cast<std::uint32_t>(state.range(0));
    light.speed.value = 60;
    light.tintMode.value = 1;
    SetUp(scene, light);
    crt::srand(1);
    float time = 0.0f;
    for (int i = 0; i < 50; ++i)
        light.FillBatches(time += kFrameStep);
    for (auto _ : state)
        light.FillBatches(time += kFrameStep);
    state.counters["quads"] = light.quads.QuadCount();
}
BENCHMARK(BM_MatrixCodeFillBatches1080p)->Arg(16)->Arg(8)->Unit(benchmark::kMicrosecond);

void BM_FireApplyFrame1080p(benchmark::State& state)
{
    headless_bench::Headless scene(state, kWidth, kHeight);
    if (!scene.device)
        return;
    DS_2D_Light light;
    SetUp(scene, light);
    DS_FireFX fire;
    fire.region.SetRectangle(float(kWidth) / 2, float(kHeight) / 2, {float(kWidth) / 2, float(kHeight) * 0.7f, 0.0f});
    RenderObjectList objects;
    objects.emplace_back(fire.CreateRenderObject().release());
    float time = 0.0f;
    for (int i = 0; i < 3; ++i) {
        objects.front()->Update(time += kFrameStep);
        light.RenderFrame(objects, false);
    }
    for (auto _ : state) {
        objects.front()->Update(time += kFrameStep);
        light.RenderFrame(objects, false);
        scene.device->Present();
    }
}
BENCHMARK(BM_FireApplyFrame1080p)->Unit(benchmark::kMillisecond);

void BM_FlameLightHazeFrame1080p(benchmark::State& state)
{
    headless_bench::Headless scene(state, kWidth, kHeight);
    if (!scene.device)
        return;
    DS_FlameLight light;
    SetUp(scene, light);
    const RenderObjectList none;
    float time = 0.0f;
    for (int i = 0; i < 3; ++i) {
        light.UpdateCamera(time += kFrameStep);
        light.RenderFrame(none, false);
        light.DrawBorderBars(false);
    }
    for (auto _ : state) {
        light.UpdateCamera(time += kFrameStep);
        light.RenderFrame(none, false);
        light.DrawBorderBars(false);
        scene.device->Present();
    }
    state.counters["haze"] = light.heatFlag.value;
}
BENCHMARK(BM_FlameLightHazeFrame1080p)->Unit(benchmark::kMillisecond);

} // namespace

// The light variants' costs: the water ripple grid's simulation with its
// mesh fill (CPU), and headless 1920 x 1080 frames of the glass ball, the
// lake and the water ring over a grey picture (read them against
// BM_BareBlit1080p of bench_player).

#include <benchmark/benchmark.h>

#include <memory>

#include "bench/particles/engine/HeadlessBench.h"
#include "effects/FakeLake2D.h"
#include "effects/GlassBallLight.h"
#include "effects/WaterRingLight.h"
#include "effects/WaterRippleGrid.h"
#include "platform/crt/Random.h"
#include "render/RenderObject.h"

namespace {

constexpr std::uint32_t kWidth = 1920, kHeight = 1080;

// Resolution 1 gives the default 128 x 96 cells on a 40 x 30 plane,
// resolution 3 the 65536-cell cap (226 x 288).
void BM_WaterRippleGridStep(benchmark::State& state)
{
    headless_bench::Headless headless(state, 64, 64);
    if (!headless.device)
        return;
    WaterRippleGrid grid;
    grid.BuildRefractionTable();
    grid.Init(float(state.range(0)), 40.0f, 30.0f, 1.0f);
    crt::srand(1);
    for (int i = 0; i < 8; ++i)
        grid.AddDrop();
    for (auto _ : state) {
        benchmark::DoNotOptimize(grid.Step({0.0f, 120.0f, 0.0f}));
        grid.AddDrop();
    }
    state.counters["cells"] = double(grid.CellCount());
}
BENCHMARK(BM_WaterRippleGridStep)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

enum Variant { kGlassBall = 0, kLake = 1, kWaterRing = 2 };

std::unique_ptr<DS_2D_Light> MakeVariant(int variant)
{
    switch (variant) {
    case kGlassBall: {
        auto ball = std::make_unique<DS_GlassBallLight>();
        ball->gradientTop.StoreValue(0x402010);
        ball->gradientBottom.StoreValue(0xC0E0F0);
        return ball;
    }
    case kLake:
        return std::make_unique<FakeLake2D>();
    default: {
        auto ring = std::make_unique<DS_WaterRingLight>();
        ring->mode.StoreValue(1);
        return ring;
    }
    }
}

void BM_LightVariantFrame1080p(benchmark::State& state)
{
    headless_bench::Headless headless(state, kWidth, kHeight);
    if (!headless.device)
        return;
    // The grey light's picture, taken over by the variant.
    const std::unique_ptr<DS_2D_Light> grey = headless.MakeGreyLight();
    std::unique_ptr<DS_2D_Light> light = MakeVariant(int(state.range(0)));
    light->BackgroundLink().StorePathAndId(grey->BackgroundLink().Path(), grey->BackgroundLink().Id());
    light->CreateDeviceObjects();
    QuadVertices view;
    view.FillTarget(*headless.device);
    light->ApplyView(view);
    light->OnResetDevice();
    light->SetPictureMode(1);
    const RenderObjectList objects;
    float time = 0.0f;
    for (int i = 0; i < 3; ++i, time += 0.03f) {
        light->UpdateCamera(time);
        light->RenderFrame(objects, false);
        light->DrawBorderBars(false);
    }
    for (auto _ : state) {
        light->UpdateCamera(time);
        light->RenderFrame(objects, false);
        light->DrawBorderBars(false);
        headless.device->Present();
        time += 0.03f;
    }
}
BENCHMARK(BM_LightVariantFrame1080p)->DenseRange(kGlassBall, kWaterRing)->Unit(benchmark::kMillisecond);

} // namespace

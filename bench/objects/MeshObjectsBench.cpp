// The 3D objects' hot paths: animating many butterflies (three nodes each)
// and many drifting copies per frame, and a headless 1920 x 1080 frame of
// drifting leaves, which draws the mesh twice per copy (both cull modes).

#include <benchmark/benchmark.h>

#include <memory>

#include "bench/particles/engine/HeadlessBench.h"
#include "objects/ButterflyClockItems.h"
#include "objects/DriftingObjects.h"
#include "tests/support/MeshObjectWriter.h"

namespace {

using headless_bench::Headless;

constexpr std::uint32_t kFrameWidth = 1920, kFrameHeight = 1080;

// A manager whose picture has the frame's size, current on the thread.
struct PictureSize {
    PictureSize()
    {
        manager.ScreenInfoRecord().pictureWidth = kFrameWidth;
        manager.ScreenInfoRecord().pictureHeight = kFrameHeight;
    }
    DS_DocResManager manager;
    CurrentDocResManagerScope scope{&manager};
};

void BM_ButterfliesAnimate(benchmark::State& state)
{
    PictureSize picture;
    DS_ButterflyConstructor butterflies;
    butterflies.count.StoreValue(static_cast<std::uint32_t>(state.range(0)));
    const std::unique_ptr<KXI_RenderObj> runtime = butterflies.CreateRenderObject();
    float t = 0.0f;
    for (int i = 0; i < 10; ++i) // warm up: leave the start positions
        runtime->Animate(t += 0.016f);
    for (auto _ : state)
        runtime->Animate(t += 0.016f);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ButterfliesAnimate)->Arg(1000)->Unit(benchmark::kMicrosecond);

// A drifting array of `count` copies of our leaf, drawn 60 px wide.
std::unique_ptr<KXI_RenderObj> MakeLeaves(std::uint32_t count)
{
    DS_3D_in_2D_array_Constructor leaves;
    leaves.count.StoreValue(count);
    leaves.mesh = ModuleResourceBlob(u"leaf.x");
    leaves.mesh.SetBytes(mesh_object_writer::LeafMeshBytes());
    leaves.texture = ModuleResourceBlob(u"leaf.bmp");
    leaves.texture.SetBytes(bmp_fixture::BmpPicture(16, 16, [](std::uint32_t, std::uint32_t) { return 0x40A030u; }));
    leaves.params.size.StoreValue(60);
    leaves.params.drift.StoreValue(40);
    leaves.params.driftChange.StoreValue(20);
    leaves.params.direction.SetAngle(290);
    return leaves.CreateRenderObject();
}

void BM_DriftingAnimate(benchmark::State& state)
{
    PictureSize picture;
    const std::unique_ptr<KXI_RenderObj> leaves = MakeLeaves(static_cast<std::uint32_t>(state.range(0)));
    float t = 0.0f;
    for (int i = 0; i < 10; ++i)
        leaves->Animate(t += 0.016f);
    for (auto _ : state)
        leaves->Animate(t += 0.016f);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DriftingAnimate)->Arg(5000)->Unit(benchmark::kMicrosecond);

// A whole headless frame: the grey picture, then every copy's two draws,
// and Present, which waits for the frame.
void BM_DriftingFrame1080p(benchmark::State& state)
{
    Headless headless(state, kFrameWidth, kFrameHeight);
    if (!headless.device)
        return;
    std::unique_ptr<DS_2D_Light> light = headless.MakeGreyLight();
    headless.manager.ScreenInfoRecord().pictureWidth = kFrameWidth;
    headless.manager.ScreenInfoRecord().pictureHeight = kFrameHeight;
    const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(MakeLeaves(1000).release())};
    float t = 0.0f;
    for (int i = 0; i < 3; ++i) {
        objects.front()->Animate(t += 0.016f);
        light->RenderFrame(objects, false);
        headless.device->Present();
    }
    for (auto _ : state) {
        objects.front()->Animate(t += 0.016f);
        light->RenderFrame(objects, false);
        headless.device->Present();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_DriftingFrame1080p)->Unit(benchmark::kMillisecond);

} // namespace

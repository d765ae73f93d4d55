// Quad building of tree leaves: a full leaf whose particles are linked three
// levels deep, and a trace leaf's ribbons (200 trails of 40 points), on a
// headless device.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "particles/engine/ParticleGeometry.h"
#include "particles/engine/TreeLeaves.h"
#include "particles/engine/TreeRendering.h"
#include "particles/engine/TreeRoot.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/ResourceLoading.h"

namespace {

constexpr int kTrails = 200;
constexpr int kPointsPerTrail = 40;

// A headless device as the resource device, and a tree render object with
// one batch (an empty root: the leaves under test are driven directly).
struct TreeBench {
    explicit TreeBench(benchmark::State& state)
    {
        std::string error;
        device = gfx::CreateHeadlessDevice(64, 64, &error);
        if (!device) {
            state.SkipWithError(error.c_str());
            return;
        }
        deviceScope = std::make_unique<ResourceDeviceScope>(device.get());
        std::unique_ptr<KXI_RenderObj> object = root.CreateRenderObject();
        mesh.reset(static_cast<KXI_PtclSys_Mesh*>(object.release()));
        mesh->ResizeBatches(1);
    }

    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> deviceScope;
    KXI_PSTree_Root root;
    std::unique_ptr<KXI_PtclSys_Mesh> mesh;
};

void BM_LeafBuildQuadsLinkedThreeDeep(benchmark::State& state)
{
    TreeBench bench(state);
    if (!bench.device)
        return;
    auto* geometry = new KXI_PSGeometry_Point;
    KXI_PSTree_Leaf leaf{DS_SafePtr<KXI_PtclSys_Geometry>(geometry)};
    leaf.size.value = 8;
    TreeParticleHandle top = MakeSafePtr<TreeParticle>();
    TreeParticleHandle middle = MakeSafePtr<TreeParticle>(top);
    middle->Position() = {100.0f, 50.0f, 0.0f};
    for (std::size_t i = 0; i < KXI_PtclSys_Geometry::kMaxParticles; ++i) {
        TreeParticleHandle p = MakeSafePtr<TreeParticle>(middle);
        p->Position() = {float(i % 128), float(i / 128), 0.0f};
        p->multipliers[TreeParticle::kAlongDirection] = 2.0f;
        geometry->particles.push_back(p);
    }
    for (auto _ : state) {
        int index = 0;
        leaf.BuildQuads(*bench.mesh, index);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(geometry->particles.size()));
}
BENCHMARK(BM_LeafBuildQuadsLinkedThreeDeep)->Unit(benchmark::kMicrosecond);

// A trace leaf with kTrails trails of kPointsPerTrail points; the parents
// stay where they ended.
std::unique_ptr<KXI_PSTree_Trace> MakeRibbons(TreeParticleList& parents)
{
    auto trace = std::make_unique<KXI_PSTree_Trace>(DS_SafePtr<KXI_PtclSys_Geometry>(new KXI_PSGeometry_Point));
    trace->size.value = 6;
    trace->lifetime.value = 1.0e9f;
    for (int t = 0; t < kTrails; ++t) {
        TreeParticleHandle p = MakeSafePtr<TreeParticle>();
        p->Velocity() = {1.0f, 0.5f, 0.0f};
        parents.push_back(p);
    }
    for (int k = 0; k < kPointsPerTrail; ++k) {
        for (int t = 0; t < kTrails; ++t) {
            parents[std::size_t(t)]->Position() = {float(k) * 6.0f, float(t) * 3.0f, 0.0f};
            trace->SpawnFrom(parents[std::size_t(t)]);
        }
    }
    return trace;
}

void BM_TraceRibbonBuildQuads(benchmark::State& state)
{
    TreeBench bench(state);
    if (!bench.device)
        return;
    TreeParticleList parents;
    std::unique_ptr<KXI_PSTree_Trace> trace = MakeRibbons(parents);
    for (auto _ : state) {
        int index = 0;
        trace->BuildQuads(*bench.mesh, index);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(trace->SegmentCount()));
}
BENCHMARK(BM_TraceRibbonBuildQuads)->Unit(benchmark::kMicrosecond);

// The trail upkeep of a frame: every parent's newest point follows it, and
// every point steps.
void BM_TraceRibbonUpdate(benchmark::State& state)
{
    TreeParticleList parents;
    std::unique_ptr<KXI_PSTree_Trace> trace = MakeRibbons(parents);
    for (auto _ : state)
        benchmark::DoNotOptimize(trace->Update(1.0f / 60.0f, parents));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(trace->PointCount()));
}
BENCHMARK(BM_TraceRibbonUpdate)->Unit(benchmark::kMicrosecond);

} // namespace

// The demo scene's fountain tree (a stem on a point emit shape under
// gravity, a leaf of glowing sparks and a trace leaf of ribbons), as the
// demo-scene tool writes it, on a headless device at the demo's canvas
// size: one tree update per frame (emission, stepping, trails and quads),
// and one drawn frame of the picture scene holding it (background, the
// sparks' glow, ribbons and sparks, then Present, which waits for the
// frame).

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

#include "bench/particles/engine/HeadlessBench.h"
#include "objectmodel/ClassRegistry.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "particles/engine/TreeLeaves.h"
#include "particles/engine/TreeRendering.h"
#include "platform/crt/Random.h"
#include "tools/demoscene/DemoTrees.h"

namespace {

// The Valley slide's canvas, drawn at half its size.
constexpr std::uint32_t kCanvasWidth = 1440;
constexpr std::uint32_t kCanvasHeight = 810;
constexpr float kFrame = 1.0f / 60.0f;
constexpr int kWarmUpFrames = 240;

// Every leaf of `node` and below.
void ForEachLeaf(KXI_PSTree_Node& node, const std::function<void(KXI_PSTree_Leaf&)>& visit)
{
    if (auto* leaf = dynamic_cast<KXI_PSTree_Leaf*>(&node))
        visit(*leaf);
    for (const TreeNodeHandle& child : node.children.value)
        if (child)
            ForEachLeaf(*child, visit);
}

struct FountainBench : headless_bench::Headless {
    explicit FountainBench(benchmark::State& state) : Headless(state, kCanvasWidth / 2, kCanvasHeight / 2)
    {
        if (!device)
            return;
        light = MakeGreyLight();
        DocResManagerRecord pictures;
        AddDemoTreePictures(pictures);
        Store(pictures);
        context.pictureWidth = float(kCanvasWidth);
        context.pictureHeight = float(kCanvasHeight);
        DocumentWriter w;
        WriteDemoFountainTree(w, kCanvasWidth, kCanvasHeight);
        RegisterParticleEngineClasses();
        MemoryArchive archive(w.Bytes());
        description.reset(dynamic_cast<KXI_PSTree_Root*>(ReadSceneObject(archive.Reader()).release()));
        crt::srand(5);
        std::unique_ptr<KXI_RenderObj> object = description->CreateRenderObject();
        mesh = static_cast<KXI_PtclSys_Mesh*>(object.get());
        objects = {DS_SafePtr<KXI_RenderObj>(object.release())};
        // The glow blurs with the built-in blur (the shared module's is not
        // installed here).
        blur = manager.GetBuiltinEffect("gaussian-blur");
        for (const TreeNodeHandle& child : mesh->Root().children.value)
            ForEachLeaf(*child, [this](KXI_PSTree_Leaf& leaf) { leaf.glowSurface.SetEffect(blur.Get()); });
        // The fountain in its steady state.
        for (int i = 0; i < kWarmUpFrames; ++i)
            Advance();
    }

    void Advance()
    {
        time += kFrame;
        mesh->Animate(time);
    }

    // Particles of every node and trail points of every trace leaf.
    std::int64_t ParticleCount() const
    {
        std::int64_t count = 0;
        const std::function<void(KXI_PSTree_Node&)> add = [&](KXI_PSTree_Node& node) {
            if (node.geometry)
                count += static_cast<std::int64_t>(node.geometry->particles.size());
            if (auto* trace = dynamic_cast<KXI_PSTree_Trace*>(&node))
                count += static_cast<std::int64_t>(trace->PointCount());
            for (const TreeNodeHandle& child : node.children.value)
                if (child)
                    add(*child);
        };
        for (const TreeNodeHandle& child : mesh->Root().children.value)
            add(*child);
        return count;
    }

    std::unique_ptr<DS_2D_Light> light;
    std::unique_ptr<KXI_PSTree_Root> description;
    KXI_PtclSys_Mesh* mesh = nullptr;
    RenderObjectList objects;
    gfx::Ref<gfx::Effect> blur;
    float time = 0.0f;
};

void BM_DemoFountainUpdateTree(benchmark::State& state)
{
    FountainBench bench(state);
    if (!bench.device)
        return;
    for (auto _ : state)
        bench.Advance();
    state.counters["particles"] = static_cast<double>(bench.ParticleCount());
}
BENCHMARK(BM_DemoFountainUpdateTree)->Unit(benchmark::kMicrosecond);

void BM_DemoFountainRenderTree(benchmark::State& state)
{
    FountainBench bench(state);
    if (!bench.device)
        return;
    for (auto _ : state) {
        bench.light->RenderFrame(bench.objects, false);
        bench.device->Present();
    }
    state.counters["particles"] = static_cast<double>(bench.ParticleCount());
}
BENCHMARK(BM_DemoFountainRenderTree)->Unit(benchmark::kMillisecond);

} // namespace

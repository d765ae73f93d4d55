// The line systems' hot paths on the shared headless scene: the strip along
// a 60-point path, a shooting line with 200 live shots, a waving line, and a
// drawn 1080p frame of a multiply line (ribbon into its surface, then the
// full-screen multiply pass), to be read beside BM_BareBlit1080p.

#include <benchmark/benchmark.h>

#include <memory>

#include "bench/particles/engine/HeadlessBench.h"
#include "objectmodel/ClassRegistry.h"
#include "particles/systems/ParticleSystemClasses.h"
#include "particles/systems/PathLines.h"
#include "particles/systems/ShootingLine.h"
#include "particles/systems/WavingLine.h"
#include "tests/support/LineWriter.h"

namespace {

using namespace line_writer;

const LinkKey kRibbon{u"ribbon.bmp", 2};

BlockFields RibbonBlock()
{
    BlockFields block = RibbonLayer(kRibbon.path, static_cast<std::int64_t>(kRibbon.id));
    block.colours = {0x004080FF};
    return block;
}

void StoreRibbon(headless_bench::Headless& scene)
{
    DocResManagerRecord record;
    record.frames[kRibbon] = {
        StoredFrame{bmp_fixture::BmpPicture(16, 16, [](std::uint32_t, std::uint32_t) { return 0xFFFFFFu; }), 0.0f}};
    scene.Store(record);
}

template <class T>
std::unique_ptr<T> Read(const DocumentWriter& w)
{
    RegisterParticleSystemClasses();
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    auto* typed = dynamic_cast<T*>(item.get());
    if (typed)
        item.release();
    return std::unique_ptr<T>(typed);
}

std::unique_ptr<KXI_ParticleSystemMech> Run(KXI_ParticleSystemCtrl& description)
{
    std::unique_ptr<KXI_RenderObj> object = description.CreateRenderObject();
    return std::unique_ptr<KXI_ParticleSystemMech>(static_cast<KXI_ParticleSystemMech*>(object.release()));
}

// Animates the line a few frames of `dt` to warm it up, then once per
// iteration.
void AnimateFrames(benchmark::State& state, KXI_ParticleSystemMech& mech, float dt, std::int32_t batch)
{
    float t = 0.0f;
    for (int i = 0; i < 3; ++i)
        mech.Animate(t += dt);
    for (auto _ : state) {
        mech.Animate(t += dt);
        benchmark::DoNotOptimize(mech.QuadCount(batch));
    }
    state.counters["quads"] = static_cast<double>(mech.QuadCount(batch));
}

// A growing line, fully grown, along a 60-point path: 5,901 samples.
std::unique_ptr<KXI_GrovingLine> LongLine(std::int32_t blend)
{
    GrowingFields f;
    f.base.width = 12;
    f.base.line.points = particle_writer::StraightSplinePoints({10.0f, 500.0f, 0.0f}, {1900.0f, 560.0f, 0.0f}, 60);
    f.base.line.layer = RibbonBlock();
    f.base.line.layer.blendMode = blend;
    DocumentWriter w;
    WriteGrowingLine(w, f);
    return Read<KXI_GrovingLine>(w);
}

void BM_LineStrip60Points(benchmark::State& state)
{
    headless_bench::Headless scene(state, 64, 64);
    if (!scene.device)
        return;
    StoreRibbon(scene);
    auto description = LongLine(0);
    auto mech = Run(*description);
    AnimateFrames(state, *mech, 0.02f, 0);
}
BENCHMARK(BM_LineStrip60Points)->Unit(benchmark::kMicrosecond);

void BM_ShootingLine200Shots(benchmark::State& state)
{
    headless_bench::Headless scene(state, 64, 64);
    if (!scene.device)
        return;
    StoreRibbon(scene);
    ShootingFields f;
    f.points = particle_writer::StraightSplinePoints({0.0f, 300.0f, 0.0f}, {2000.0f, 300.0f, 0.0f}, 4);
    f.layer = RibbonBlock();
    f.minimumInterval = 0.01f; // one shot per 10 ms: 200 on a 2 s path
    f.maximumInterval = 0.01f;
    f.speed = 1000;
    f.amplitude = 20;
    f.tailDelay = 120;
    f.width = 8;
    f.waveFrequency = 100;
    DocumentWriter w;
    WriteShootingLine(w, f);
    auto description = Read<KXI_ShootingLine>(w);
    auto mech = Run(*description); // the pre-run fills the path
    AnimateFrames(state, *mech, 0.01f, 1);
    state.counters["shots"] = static_cast<double>(dynamic_cast<KXI_ShootingLine&>(mech->Controller()).pairs.size());
}
BENCHMARK(BM_ShootingLine200Shots)->Unit(benchmark::kMicrosecond);

void BM_WavingLine(benchmark::State& state)
{
    headless_bench::Headless scene(state, 64, 64);
    if (!scene.device)
        return;
    StoreRibbon(scene);
    WavingFields f;
    f.width = 16;
    f.layer = RibbonBlock();
    f.amplitude = 60;
    f.secondWave = 40;
    f.start = {100.0f, 500.0f, 0.0f};
    f.end = {1500.0f, 500.0f, 0.0f};
    DocumentWriter w;
    WriteWavingLine(w, f);
    auto description = Read<KXI_WavingLine>(w);
    auto mech = Run(*description);
    AnimateFrames(state, *mech, 0.02f, 0);
}
BENCHMARK(BM_WavingLine)->Unit(benchmark::kMicrosecond);

void BM_MultiplyLineFrame1080p(benchmark::State& state)
{
    headless_bench::Headless scene(state, 1920, 1080);
    if (!scene.device)
        return;
    StoreRibbon(scene);
    auto light = scene.MakeGreyLight();
    auto description = LongLine(1);
    const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(Run(*description).release())};
    float t = 0.0f;
    const auto frame = [&] {
        objects.front()->Animate(t += 0.02f);
        light->RenderFrame(objects, false);
        scene.device->Present();
    };
    for (int i = 0; i < 3; ++i)
        frame();
    for (auto _ : state)
        frame();
}
BENCHMARK(BM_MultiplyLineFrame1080p)->Unit(benchmark::kMillisecond);

} // namespace

// The particle engine's hot paths: stepping a particle with a typical set of
// routines, writing one quad per particle with both rotation modes, the
// pairwise interaction sweep, and a headless frame of a full field system
// with and without glow.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "objectmodel/ParamRecords.h"
#include "particles/engine/FieldPtclSys.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/engine/RoutineConditions.h"
#include "platform/crt/Random.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "objectmodel/DocumentClasses.h"
#include "objectmodel/SceneDocument.h"
#include "render/DocResManager.h"
#include "render/PictureScene.h"
#include "render/QuadVertices.h"
#include "render/RenderTargetPair.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/BmpFixture.h"
#include "tests/support/DocumentWriter.h"
#include "bench/particles/engine/HeadlessBench.h"

namespace {

constexpr std::uint32_t kWidth = 512;
constexpr std::uint32_t kHeight = 288;

struct Headless : headless_bench::Headless {
    explicit Headless(benchmark::State& state) : headless_bench::Headless(state, kWidth, kHeight) {}
};

void AddTypicalRoutines(InnerParticle& p, const ColorSequenceParams& colours)
{
    p.SetMainRoutine(ParticleRoutineHandle(new IPR_ConstantAge(1.0e9f)));
    p.AddRoutine(ParticleRoutineHandle(new IPR_Color(&colours)), true);
    p.AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
    p.AddRoutine(ParticleRoutineHandle(new IPR_AirResist(0.1f)), false);
    p.AddRoutine(ParticleRoutineHandle(new IPR_Harmonic(p, 1, 0.5f, 0.3f, 0.5f, 5.0f)), false);
    p.AddRoutine(ParticleRoutineHandle(new IPR_Perlin(p, 2, 0.4f, 0.6f, 3.0f)), false);
    p.velocity = {10.0f, -5.0f, 0.0f};
}

void BM_ParticleStep(benchmark::State& state)
{
    crt::srand(1);
    ColorSequenceParams colours;
    colours.colorMode.value = 2;
    colours.colors.value = {0x0000FF, 0x00FF00, 0xFF0000};
    InnerParticleList list;
    for (int i = 0; i < 10000; ++i)
        AddTypicalRoutines(*list.Create({float(i % 100), float(i / 100), 0.0f}), colours);
    for (auto _ : state)
        list.Update(0.016f);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(list.Size()));
}
BENCHMARK(BM_ParticleStep)->Unit(benchmark::kMicrosecond);

// Fills a field system of `positions` particles, attached to a render
// object, with the given block settings.
std::unique_ptr<KXI_ParticleSystemMech> MakeField(std::int32_t positions, std::int32_t rotation, std::int32_t glow)
{
    KXI_FieldPtclSys field;
    for (std::int32_t i = 0; i < positions; ++i)
        field.positions.AddPosition(float(i % 128) * (kWidth / 128.0f), float(i / 128) * (kHeight / 128.0f), 0.0f);
    field.density.SetValue(100, nullptr);
    field.lifetime.SetValue(100000, nullptr);
    field.launchSpeed.SetValue(20, nullptr);
    field.direction.spread.value = 180;
    field.params.particleSize.value = 8;
    field.params.rotationMode.value = rotation;
    field.params.spinClock.value = 20;
    field.params.glowMode.value = glow;
    auto object = field.CreateRenderObject();
    return std::unique_ptr<KXI_ParticleSystemMech>(static_cast<KXI_ParticleSystemMech*>(object.release()));
}

void BM_BuildQuads(benchmark::State& state)
{
    Headless headless(state);
    if (!headless.device)
        return;
    auto mech = MakeField(InnerParticleList::kMaxParticles, static_cast<std::int32_t>(state.range(0)), 0);
    KXI_ParticleSystemCtrl& controller = mech->Controller();
    for (auto _ : state)
        controller.params.BuildQuads(controller.particles, *mech, 8, 0);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(controller.particles.Size()));
}
BENCHMARK(BM_BuildQuads)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

struct CountingPair : RoutineAction {
    bool Apply(InnerParticle&, ParticleHandle&) override
    {
        ++pairs;
        return true;
    }
    std::int64_t pairs = 0;
};

void BM_Interact(benchmark::State& state)
{
    crt::srand(3);
    InnerParticleList list;
    for (int i = 0; i < 5000; ++i)
        list.Create({float(crt::rand() % 1920), float(crt::rand() % 1080), 0.0f});
    CountingPair pair;
    g_PairInteraction = &pair;
    for (auto _ : state)
        list.Interact(16.0f);
    g_PairInteraction = nullptr;
    state.counters["pairs"] = static_cast<double>(pair.pairs) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Interact)->Unit(benchmark::kMicrosecond);

// One update of a full field (step, refill, quads), without drawing.
void BM_FieldFrame(benchmark::State& state)
{
    Headless headless(state);
    if (!headless.device)
        return;
    auto mech = MakeField(InnerParticleList::kMaxParticles, 2, static_cast<std::int32_t>(state.range(0)));
    float t = 0.0f;
    for (auto _ : state) {
        t += 0.016f;
        mech->Animate(t);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(mech->Controller().particles.Size()));
}
BENCHMARK(BM_FieldFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A whole headless frame of a full field through the picture scene: update,
// the glow (mode 1 or 2, the blur from the built-in effect) and the draw,
// and Present, which waits for the frame before the next one starts.
void BM_FieldDrawnFrame(benchmark::State& state)
{
    Headless headless(state);
    if (!headless.device)
        return;
    std::unique_ptr<DS_2D_Light> light = headless.MakeGreyLight();
    auto mech = MakeField(InnerParticleList::kMaxParticles, 2, static_cast<std::int32_t>(state.range(0)));
    ParticleSystemParams& params = mech->Controller().params;
    params.glowEffect = headless.manager.GetBuiltinEffect("gaussian-blur");
    params.glowSurface.SetEffect(params.glowEffect.Get());
    if (state.range(0) != 0 && !params.glowSurface.TextureA()) {
        state.SkipWithError("no glow surface");
        return;
    }
    const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(mech.release())};
    float t = 0.0f;
    for (auto _ : state) {
        t += 0.016f;
        objects.front()->Animate(t);
        light->RenderFrame(objects, false);
        headless.device->Present();
    }
}
BENCHMARK(BM_FieldDrawnFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

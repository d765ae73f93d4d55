// Hot paths of the generators that leave trails of light, each warmed up
// before timing: falling stars stepping and filling their four layers with
// 500 stars and 10,000 trail particles, a firework step with 10,000 sparks,
// a lightning bolt regenerated at the generation caps and turned into quads
// every frame, and smoke stepping 2,000 puffs.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "particles/generators/FallingStars.h"
#include "particles/generators/Firework.h"
#include "particles/generators/Lightning.h"
#include "bench/particles/generators/GeneratorBenchSupport.h"
#include "particles/generators/ParticlesObj.h"
#include "particles/generators/Smoke.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/DocResManager.h"
#include "render/ResourceLoading.h"

namespace {

// A headless device as the resource device with a current manager.
struct Headless {
    explicit Headless(benchmark::State& state)
    {
        std::string error;
        device = gfx::CreateHeadlessDevice(64, 64, &error);
        if (!device) {
            state.SkipWithError(error.c_str());
            return;
        }
        resourceDevice = std::make_unique<ResourceDeviceScope>(device.get());
        current = std::make_unique<CurrentDocResManagerScope>(&manager);
    }

    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> resourceDevice;
    DS_DocResManager manager;
    std::unique_ptr<CurrentDocResManagerScope> current;
};

using generator_bench::WarmThenStep;

void BM_FallingStarsStepAndFill(benchmark::State& state)
{
    Headless headless(state);
    if (!headless.device)
        return;
    DS_FallingStars description;
    description.region.SetRectangle(1920.0f, 1080.0f, {960.0f, 540.0f, 0.0f});
    description.starSpeed.QuietSet(20);
    description.starSize.StoreValue(16);
    description.holdTime.QuietSet(100000);
    description.lifetime.QuietSet(100000);
    description.emissionRate.QuietSet(1);
    description.emissionSwitch.StoreValue(1);
    DS_ParticlesObj object(description.Clone());
    auto& stars = static_cast<DS_FallingStars&>(*object.Generator());
    for (int i = 0; i < 500; ++i)
        stars.SpawnStar();
    for (int i = 0; i < 10000; ++i) {
        GenParticle& trail = stars.particles.emplace_back();
        trail.Init(float(i % 1920), float(i / 1920), 0.0f);
        stars.InitParticle(trail, stars.emitters.front());
    }
    WarmThenStep(state, object);
    state.SetItemsProcessed(state.iterations() * std::int64_t(stars.emitters.size() + stars.particles.size()));
}
BENCHMARK(BM_FallingStarsStepAndFill)->Unit(benchmark::kMicrosecond);

void BM_FireworkStep(benchmark::State& state)
{
    Headless headless(state);
    if (!headless.device)
        return;
    DS_FireworkSimple description;
    description.originSpeed.QuietSet(50);
    description.quadSize.StoreValue(6);
    description.lifetime.QuietSet(100000);
    description.particleSpeed.QuietSet(40);
    DS_ParticlesObj object(description.Clone());
    auto& firework = static_cast<DS_FireworkSimple&>(*object.Generator());
    GenParticle rocket;
    rocket.Init(960.0f, 540.0f, 0.0f);
    for (int i = 0; i < 10000; ++i) {
        GenParticle& spark = firework.particles.emplace_back();
        spark.Init(960.0f, 540.0f, 0.0f);
        firework.InitParticle(spark, rocket);
    }
    WarmThenStep(state, object);
    state.SetItemsProcessed(state.iterations() * std::int64_t(firework.particles.size()));
}
BENCHMARK(BM_FireworkStep)->Unit(benchmark::kMicrosecond);

DS_LightningGN BoltAtTheCaps()
{
    DS_LightningGN bolt;
    bolt.startPoint.StoreValue({960.0f, 0.0f, 0.0f});
    bolt.endPoint.StoreValue({800.0f, 1000.0f, 0.0f});
    bolt.coreWidth.StoreValue(8);
    bolt.glowWidth.StoreValue(40);
    bolt.passes.StoreValue(DS_LightningGN::kMaxPasses);
    bolt.branches.StoreValue(DS_LightningGN::kMaxBranches);
    bolt.subBranches.StoreValue(DS_LightningGN::kMaxBranches);
    bolt.twigs.StoreValue(DS_LightningGN::kMaxBranches);
    bolt.jaggedness.QuietSet(60);
    bolt.branchLength.QuietSet(50);
    bolt.branchAngle.QuietSet(25);
    bolt.randomFlag.StoreValue(1);
    return bolt;
}

void BM_LightningRegenerate(benchmark::State& state)
{
    DS_LightningGN bolt = BoltAtTheCaps();
    bolt.Regenerate();
    for (auto _ : state) {
        bolt.Regenerate();
        benchmark::DoNotOptimize(bolt.bolt.size());
    }
}
BENCHMARK(BM_LightningRegenerate)->Unit(benchmark::kMicrosecond);

void BM_LightningFillLayers(benchmark::State& state)
{
    Headless headless(state);
    if (!headless.device)
        return;
    DS_ParticlesObj object(BoltAtTheCaps().Clone());
    auto& bolt = static_cast<DS_LightningGN&>(*object.Generator());
    bolt.FillLayers(object);
    for (auto _ : state)
        bolt.FillLayers(object);
    state.SetItemsProcessed(state.iterations() * std::int64_t(object.QuadCount(0) + object.QuadCount(1) +
                                                              object.QuadCount(2)));
}
BENCHMARK(BM_LightningFillLayers)->Unit(benchmark::kMicrosecond);

void BM_SmokeStep(benchmark::State& state)
{
    Headless headless(state);
    if (!headless.device)
        return;
    DS_Smoke description;
    description.originSpeed.QuietSet(50);
    description.launchLifetime.QuietSet(100000);
    description.launchSize.StoreValue(60);
    DS_ParticlesObj object(description.Clone());
    auto& smoke = static_cast<DS_Smoke&>(*object.Generator());
    for (int i = 0; i < 2000; ++i)
        smoke.launches.push_back(smoke.MakeLaunch());
    WarmThenStep(state, object);
    state.SetItemsProcessed(state.iterations() * std::int64_t(smoke.launches.size()));
}
BENCHMARK(BM_SmokeStep)->Unit(benchmark::kMicrosecond);

} // namespace

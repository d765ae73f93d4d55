// Fireflies: 200 wandering particles leaving trails (20 per second each,
// living 1 s: about 4,000 trail particles once the trails are full). One
// frame of the running object (wandering, the fireflies' quads in batch 1,
// the trail step and its quads in batch 0), and the trail step alone.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "particles/engine/Firefly.h"
#include "platform/crt/Random.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/ResourceLoading.h"

namespace {

constexpr std::uint32_t kFireflies = 200;
constexpr float kFrame = 0.016f;

KXI_Firefly FireflyDescription()
{
    KXI_Firefly firefly;
    firefly.count.SetValue(kFireflies, nullptr);
    firefly.area.area.SetRectangle(1600.0f, 900.0f, {960.0f, 540.0f, 0.0f});
    firefly.driftScale.SetValue(25, nullptr);
    firefly.changeRate.SetValue(50, nullptr);
    firefly.turnTime.SetValue(25, nullptr);
    firefly.params.particleSize.SetValue(6, nullptr);
    firefly.trail.params.particleSize.SetValue(4, nullptr);
    firefly.trail.lifetime.SetValue(100, nullptr);
    firefly.trail.spread.SetValue(100, nullptr);
    firefly.trail.velocityFactor.SetValue(75, nullptr);
    return firefly;
}

void BM_FireflyFrame(benchmark::State& state)
{
    std::string error;
    const std::unique_ptr<gfx::Device> device = gfx::CreateHeadlessDevice(640, 360, &error);
    if (!device) {
        state.SkipWithError(error.c_str());
        return;
    }
    const ResourceDeviceScope deviceScope(device.get());
    crt::srand(7);
    KXI_Firefly description = FireflyDescription();
    std::unique_ptr<KXI_RenderObj> object = description.CreateRenderObject();
    auto& mech = static_cast<KXI_ParticleSystemMech&>(*object);
    const auto& firefly = static_cast<const KXI_Firefly&>(mech.Controller());
    // Two seconds first, so the trails are full.
    float t = 0.0f;
    for (int i = 0; i < 125; ++i)
        mech.Animate(t += kFrame);
    for (auto _ : state)
        mech.Animate(t += kFrame);
    state.counters["trail"] = static_cast<double>(firefly.trail.particles.Size());
    state.SetItemsProcessed(state.iterations() *
                            static_cast<std::int64_t>(firefly.particles.Size() + firefly.trail.particles.Size()));
}
BENCHMARK(BM_FireflyFrame)->Unit(benchmark::kMicrosecond);

void BM_TrailStep(benchmark::State& state)
{
    crt::srand(8);
    KXI_Firefly firefly = FireflyDescription();
    firefly.FillBrownParticles();
    for (int i = 0; i < 125; ++i)
        firefly.trail.Step(firefly.particles, 6.0f, kFrame);
    for (auto _ : state)
        firefly.trail.Step(firefly.particles, 6.0f, kFrame);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(firefly.trail.particles.Size()));
}
BENCHMARK(BM_TrailStep)->Unit(benchmark::kMicrosecond);

} // namespace

// The through-space flight at the list's cap: one frame (both clocks, the
// double step of 16,383 particles, emission and the perspective quads) on a
// headless device.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "particles/engine/ThroughSpace.h"
#include "platform/crt/Random.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/DocResManager.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"

namespace {

// A flight that keeps its list full: approaching particles live 2.5 s of
// scaled time, so 6,600 a second hold more than the cap.
std::unique_ptr<KXI_ThroughSpaceCtrl> FullFlight(bool receding)
{
    auto flight = std::make_unique<KXI_ThroughSpaceCtrl>();
    flight->emitter.geometry.area.SetRectangle(512.0f, 288.0f, {256.0f, 144.0f, 0.0f});
    flight->emitter.counter.rate.SetValue(33000, nullptr);
    flight->centre.SetValue({256.0f, 144.0f, 0.0f}, nullptr);
    flight->speedClock.SetValue(100, nullptr);
    flight->rotationClock.SetValue(10, nullptr);
    flight->receding = receding;
    flight->params.particleSize.SetValue(6, nullptr);
    flight->params.rotationMode.SetValue(ParticleSystemParams::kAlignWithVelocity, nullptr);
    return flight;
}

void BM_ThroughSpaceFrame(benchmark::State& state)
{
    std::string error;
    const std::unique_ptr<gfx::Device> device = gfx::CreateHeadlessDevice(512, 288, &error);
    if (!device) {
        state.SkipWithError(error.c_str());
        return;
    }
    ResourceDeviceScope deviceScope(device.get());
    DS_DocResManager manager;
    CurrentDocResManagerScope managerScope(&manager);
    RenderContext context;
    CurrentRenderContextScope contextScope(&context);
    crt::srand(3);
    auto object = FullFlight(state.range(0) != 0)->CreateRenderObject();
    auto* mech = dynamic_cast<KXI_ParticleSystemMech*>(object.get());
    float t = 0.0f;
    for (int warm = 0; warm < 100; ++warm, t += 0.03f)
        mech->Animate(t); // the list reaches the cap
    for (auto _ : state) {
        mech->Animate(t);
        t += 0.03f;
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(mech->Controller().particles.Size()));
    state.counters["particles"] = static_cast<double>(mech->Controller().particles.Size());
}
BENCHMARK(BM_ThroughSpaceFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

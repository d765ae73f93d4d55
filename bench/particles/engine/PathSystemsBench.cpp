// The path stream's pre-run at a restart: a 2,000-unit path at speed 20
// asks for 100 s, of which the cap runs 600 steps of 0.1 s.

#include <benchmark/benchmark.h>

#include "particles/engine/PathParticleSystems.h"
#include "platform/crt/Random.h"

namespace {

void BM_PathStreamPreRun(benchmark::State& state)
{
    crt::srand(5);
    KXI_ParticlePath stream;
    for (const math::Vec3& at : {math::Vec3{0.0f, 100.0f, 0.0f}, math::Vec3{1000.0f, 100.0f, 0.0f},
                                 math::Vec3{2000.0f, 100.0f, 0.0f}})
        stream.path.AddPoint(DX_SmartPnt(at), nullptr);
    stream.path.RebuildCurve();
    stream.pathSpeed.SetValue(20, nullptr);
    stream.width.SetValue(40, nullptr);
    stream.waveFrequency.SetValue(200, nullptr);
    for (auto _ : state) {
        stream.particles.Clear();
        stream.Restart();
        benchmark::DoNotOptimize(stream.particles.Size());
    }
    state.counters["length"] = static_cast<double>(stream.path.length);
    state.counters["particles"] = static_cast<double>(stream.particles.Size());
}
BENCHMARK(BM_PathStreamPreRun)->Unit(benchmark::kMillisecond);

} // namespace

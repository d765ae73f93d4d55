#pragma once
// What the generator benchmarks share.

#include <benchmark/benchmark.h>

#include "particles/generators/ParticlesObj.h"

namespace generator_bench {

// Steps the object ten times, then once per timed iteration, 1 ms apart.
inline void WarmThenStep(benchmark::State& state, DS_ParticlesObj& object)
{
    float time = 0.0f;
    for (int i = 0; i < 10; ++i)
        object.Animate(time += 0.001f);
    for (auto _ : state)
        object.Animate(time += 0.001f);
}

} // namespace generator_bench

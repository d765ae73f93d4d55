// Tree particles: one step of a full node's particles, each carrying the
// longest chain the geometries and emit shapes build.

#include <benchmark/benchmark.h>

#include <vector>

#include "objectmodel/ParamRecords.h"
#include "particles/engine/Oscillations.h"
#include "particles/engine/ParticleGeometry.h"
#include "particles/engine/ParticleTransforms.h"
#include "particles/engine/TreeParticle.h"
#include "platform/crt/Random.h"

namespace {

struct ChainParams {
    ChainParams()
    {
        sizeOscillation.kind.value = OscillationParams::kHarmonic;
        opacityOscillation.kind.value = OscillationParams::kNoise;
        along.kind.value = OscillationParams::kHarmonic;
        across.kind.value = OscillationParams::kNoise;
        spin.rotationMode.value = SpinParams::kSpinning;
        colors.colorMode.value = 1;
        forces.gravityMode.value = 2;
        forces.gravity.QuietSet(20);
        forces.airResistance.QuietSet(5);
        jitter.QuietSet(50);
    }

    OscillationParams sizeOscillation;
    OscillationParams opacityOscillation;
    VibrationParams along;
    VibrationParams across;
    KXI_JitterParam jitter;
    SpinParams spin;
    ColorSequenceParams colors;
    StandardForceParams forces;
};

void AddFullChain(TreeParticle& p, const ChainParams& params)
{
    p.AddTransform(PtclTransformHandle(new PtclTr_MaxAge(1.0e9f)));
    p.AddTransform(PtclTransformHandle(new PtclTr_JitterUpdater(TreeParticle::kSize, params.jitter, 0.5f)));
    p.AddTransform(PtclTransformHandle(new PtclTr_JitterUpdater(TreeParticle::kOpacity, params.jitter, 0.5f)));
    p.AddTransform(PtclTransformHandle(new PtclTr_Oscilator(1.0f, TreeParticle::kSize, params.sizeOscillation)));
    p.AddTransform(
        PtclTransformHandle(new PtclTr_Oscilator(1.0f, TreeParticle::kOpacity, params.opacityOscillation)));
    p.AddTransform(PtclTransformHandle(new PtclTr_Vibrator(0.0f, TreeParticle::kAlongDirection, params.along)));
    p.AddTransform(PtclTransformHandle(new PtclTr_Vibrator(0.0f, TreeParticle::kAcrossDirection, params.across)));
    p.AddTransform(PtclTransformHandle(new PtclTr_StandardSpin(params.spin)));
    p.AddTransform(PtclTransformHandle(new PtclTr_Color(params.colors)));
    p.AddTransform(PtclTransformHandle(new PtclTr_StandardForces(params.forces)));
    p.AddTransform(PtclTransformHandle(new PtclTr_Kinematic));
    p.AddTransform(PtclTransformHandle(new PtclTr_PrmMultiplicator(TreeParticle::kSize, 0.9f)));
    p.AddTransform(PtclTransformHandle(new PtclTr_PrmMultiplicator(TreeParticle::kOpacity, 0.8f)));
}

void BM_TreeParticleStepFullChain(benchmark::State& state)
{
    crt::srand(1);
    const ChainParams params;
    std::vector<TreeParticleHandle> particles;
    particles.reserve(KXI_PtclSys_Geometry::kMaxParticles);
    for (std::size_t i = 0; i < KXI_PtclSys_Geometry::kMaxParticles; ++i) {
        TreeParticleHandle p = MakeSafePtr<TreeParticle>();
        p->Velocity() = {10.0f, -20.0f, 0.0f};
        AddFullChain(*p, params);
        particles.push_back(p);
    }
    for (auto _ : state) {
        for (TreeParticleHandle& p : particles)
            benchmark::DoNotOptimize(p->Step(1.0f / 60.0f));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(particles.size()));
}
BENCHMARK(BM_TreeParticleStepFullChain)->Unit(benchmark::kMillisecond);

// The world position and scale of particles linked three levels deep, as a
// leaf reads them for every quad.
void BM_TreeParticleLinkedChainReads(benchmark::State& state)
{
    TreeParticleHandle root = MakeSafePtr<TreeParticle>();
    TreeParticleHandle middle = MakeSafePtr<TreeParticle>(root);
    std::vector<TreeParticleHandle> leaves;
    for (std::size_t i = 0; i < KXI_PtclSys_Geometry::kMaxParticles; ++i)
        leaves.push_back(MakeSafePtr<TreeParticle>(middle));
    for (auto _ : state) {
        for (const TreeParticleHandle& p : leaves) {
            benchmark::DoNotOptimize(p->WorldPosition());
            benchmark::DoNotOptimize(p->ScaledParam(TreeParticle::kSize));
            benchmark::DoNotOptimize(p->ScaledParam(TreeParticle::kOpacity));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(leaves.size()));
}
BENCHMARK(BM_TreeParticleLinkedChainReads)->Unit(benchmark::kMillisecond);

} // namespace

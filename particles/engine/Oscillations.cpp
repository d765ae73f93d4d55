#include "particles/engine/Oscillations.h"

#include "particles/engine/ParticleRoutines.h"
#include "platform/crt/Random.h"

namespace {
constexpr float kTwoPi = 6.2831855f;
}

void OscillationParams::Attach(int index, InnerParticle& particle, float base) const
{
    const float f = frequency.Scaled();
    const float a = amplitude.Scaled();
    switch (kind.value) {
    case kHarmonic: {
        const float phase = crt::RandomUnit() * kTwoPi;
        // The harmonic applies itself once as it is made.
        particle.AddRoutine(ParticleRoutineHandle(new IPR_Harmonic(particle, index, a, phase, base, f)), false);
        break;
    }
    case kNoise:
        particle.AddRoutine(ParticleRoutineHandle(new IPR_Perlin(particle, index, 4.0f * a, base, f)), false);
        break;
    default:
        break;
    }
}

void OscillationParams::AttachOscillation(int index, InnerParticle& particle) const
{
    Attach(index, particle, 1.0f - amplitude.Scaled());
}

void OscillationParams::AttachVibration(int index, InnerParticle& particle) const
{
    Attach(index, particle, 0.0f);
}

void OscillationParams::AssignFrom(const OscillationParams& other)
{
    kind.SetChangedValue(other.kind.value, nullptr);
    frequency.SetChangedValue(other.frequency.value, nullptr);
    amplitude.SetChangedValue(other.amplitude.value, nullptr);
}

void ReadOscillationParams(ArchiveReader ar, OscillationParams& params)
{
    params.amplitude.SetChangedValue(ar.ReadDword(), nullptr);
    params.frequency.SetChangedValue(ar.ReadDword(), nullptr);
    params.kind.StoreValue(ar.ReadInt());
}

void WriteOscillationParams(ArchiveWriter ar, const OscillationParams& params)
{
    ar->WriteDword(params.amplitude.value);
    ar->WriteDword(params.frequency.value);
    ar->WriteLong(params.kind.value);
}

#pragma once
// The parameter blocks of the particles' oscillations, and the factories
// that turn a block into a routine on a new particle.
//
// OscillationParams: kind (0 none, 1 harmonic, 2 noise), angular frequency
// (scale 0.1, default 50: 5 radians per second of age) and amplitude (scale
// 0.005, default 100: half of the multiplier oscillates). VibrationParams
// is the same with the amplitude in pixels (scale 1, default 50), for the
// offset multipliers.
//
// Stored form of either block: uint32 amplitude, uint32 frequency (both set
// with notification when they differ), int32 kind (stored directly).

#include <cstdint>

#include "objectmodel/Archive.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ScaledParams.h"

class InnerParticle;

class OscillationParams {
public:
    enum Kind : std::int32_t { kNone = 0, kHarmonic = 1, kNoise = 2 };

    OscillationParams() : OscillationParams(0.005f, 100) {}
    virtual ~OscillationParams() = default;

    // A multiplicative oscillation of multiplier `index`, around 1 - a.
    void AttachOscillation(int index, InnerParticle& particle) const;
    // An additive one (offsets in pixels), around 0.
    void AttachVibration(int index, InnerParticle& particle) const;
    // Kind, frequency and amplitude, each notified only when it changes.
    void AssignFrom(const OscillationParams& other);

    MediaParamT<std::int32_t> kind{kNone};
    UINTSclaleTo<float> frequency{0.1f, 0.0f, 50};
    UINTSclaleTo<float> amplitude;

protected:
    OscillationParams(float amplitudeScale, std::uint32_t amplitudeValue)
        : amplitude(amplitudeScale, 0.0f, amplitudeValue)
    {
    }

private:
    void Attach(int index, InnerParticle& particle, float base) const;
};

class VibrationParams : public OscillationParams {
public:
    VibrationParams() : OscillationParams(1.0f, 50) {}
};

void ReadOscillationParams(ArchiveReader ar, OscillationParams& params);
void WriteOscillationParams(ArchiveWriter ar, const OscillationParams& params);

#pragma once
// Linear-interpolation resampling: a position in source frames that moves by
// a fixed 32.32 step for every output frame. Equal rates step by exactly one
// frame, so a source at the output rate comes out sample for sample.

#include <cstdint>

namespace audio {

struct ResampleStep {
    std::uint64_t fixed = std::uint64_t(1) << 32; // source frames per output frame, 32.32
};

// `outputRate` is never 0 (the mixer's rate is at least 1000).
inline ResampleStep StepFor(std::uint32_t sourceRate, std::uint32_t outputRate)
{
    return {(std::uint64_t(sourceRate) << 32) / outputRate};
}

struct ResampleCursor {
    std::uint64_t frame = 0;    // whole source frames
    std::uint32_t fraction = 0; // of the next frame, in 1/2^32

    void Advance(ResampleStep step)
    {
        const std::uint64_t sum = std::uint64_t(fraction) + (step.fixed & 0xFFFFFFFFu);
        fraction = static_cast<std::uint32_t>(sum);
        frame += (step.fixed >> 32) + (sum >> 32);
    }
    float Weight() const { return static_cast<float>(fraction) * (1.0f / 4294967296.0f); }
};

inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }

} // namespace audio

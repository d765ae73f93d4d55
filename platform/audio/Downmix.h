#pragma once
// Folding a frame of 1 to 8 channels into the mixer's two.
//
// Mono plays at full level on both sides (a centred mono sound is as loud as
// its source). Stereo passes through. For more channels the usual file order
// is assumed (front left, front right, centre, low-frequency, then side or
// rear pairs): the front pair passes through, the centre goes to both sides
// at -3 dB, the low-frequency channel is left out, and every further channel
// goes at -3 dB to the left (even positions) or right (odd positions).

#include <cstdint>

namespace audio {

// `samples` holds `channels` values (1..8).
inline void DownmixToStereo(const float* samples, std::uint32_t channels, float* left, float* right)
{
    if (channels == 1) {
        *left = *right = samples[0];
        return;
    }
    float l = samples[0], r = samples[1];
    constexpr float kMinus3dB = 0.70710678f;
    if (channels > 2) {
        l += kMinus3dB * samples[2];
        r += kMinus3dB * samples[2];
    }
    for (std::uint32_t c = 4; c < channels; ++c) {
        if (c % 2 == 0)
            l += kMinus3dB * samples[c];
        else
            r += kMinus3dB * samples[c];
    }
    *left = l;
    *right = r;
}

} // namespace audio

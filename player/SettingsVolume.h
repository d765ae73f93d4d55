#pragma once
// How the volume setting (0..100) and mute reach the two audio outputs, in
// hundredths of a decibel: the audio graph of the playlist and the primary
// sound buffer. Muted is -10000 (silence) for both; unmuted volume 0 is
// quiet, not silent (-4000 and -5000).

#include <cstdint>

struct AudioOutputVolumes {
    std::int32_t graph;
    std::int32_t primaryBuffer;

    friend bool operator==(const AudioOutputVolumes&, const AudioOutputVolumes&) = default;
};

inline constexpr std::int32_t kSilentVolume = -10000;

constexpr AudioOutputVolumes MapVolume(std::int32_t volume, bool mute)
{
    if (mute)
        return {kSilentVolume, kSilentVolume};
    // The graph's level is computed in single precision and truncated.
    const float graph = static_cast<float>(volume * 100 - 10000) * 0.4f;
    return {static_cast<std::int32_t>(graph), volume * 50 - 5000};
}

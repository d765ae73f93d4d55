#pragma once
// Levels in hundredths of a decibel (millibels), as sound buffers and media
// graphs take them, and the gain ramps that keep level changes click-free.
//
// Volume: 0 is full level, each -2000 divides the amplitude by ten, and
// -10000 (or less) is silence. Pan and balance: a positive value attenuates
// the left channel by that many millibels, a negative value the right
// channel; the other channel stays at full level; +-10000 silences a side.

#include <cstdint>

namespace audio {

inline constexpr std::int32_t kVolumeMin = -10000; // silent
inline constexpr std::int32_t kVolumeMax = 0;
inline constexpr std::int32_t kPanLeft = -10000;
inline constexpr std::int32_t kPanRight = 10000;

struct StereoGain {
    float left = 1.0f;
    float right = 1.0f;
};

// Linear amplitude of a level in millibels: 10^(mB / 2000), exactly 0 at
// -10000 and below, at most 1.
float GainFromMillibels(std::int32_t millibels);

// Channel gains of a pan (or balance) position in millibels.
StereoGain PanGains(std::int32_t pan);

// Volume and pan together: the volume's gain on both channels times the pan's.
StereoGain VolumePanGains(std::int32_t volume, std::int32_t pan);

// A gain that moves to a new target in a straight line over a number of
// frames instead of jumping, so that a level change makes no click.
class GainRamp {
public:
    // Jumps to `gain` at once.
    void Snap(float gain);
    // Moves to `gain` over `frames` frames (at once when frames is 0).
    void MoveTo(float gain, std::uint32_t frames);
    // The gain for the next frame.
    float Next()
    {
        if (remaining_ == 0)
            return current_;
        if (--remaining_ == 0)
            current_ = target_;
        else
            current_ += step_;
        return current_;
    }
    float Current() const { return current_; }
    float Target() const { return target_; }
    bool Moving() const { return remaining_ != 0; }

private:
    float current_ = 0.0f;
    float target_ = 0.0f;
    float step_ = 0.0f;
    std::uint32_t remaining_ = 0;
};

} // namespace audio

#include "platform/audio/Gain.h"

#include <algorithm>
#include <cmath>

namespace audio {

float GainFromMillibels(std::int32_t millibels)
{
    if (millibels <= kVolumeMin)
        return 0.0f;
    if (millibels >= 0)
        return 1.0f;
    return static_cast<float>(std::pow(10.0, millibels / 2000.0));
}

StereoGain PanGains(std::int32_t pan)
{
    pan = std::clamp(pan, kPanLeft, kPanRight);
    // The attenuated side loses |pan| millibels; the other stays at full level.
    if (pan > 0)
        return {GainFromMillibels(-pan), 1.0f};
    if (pan < 0)
        return {1.0f, GainFromMillibels(pan)};
    return {1.0f, 1.0f};
}

StereoGain VolumePanGains(std::int32_t volume, std::int32_t pan)
{
    const float level = GainFromMillibels(volume);
    const StereoGain sides = PanGains(pan);
    return {level * sides.left, level * sides.right};
}

void GainRamp::Snap(float gain)
{
    current_ = target_ = gain;
    step_ = 0.0f;
    remaining_ = 0;
}

void GainRamp::MoveTo(float gain, std::uint32_t frames)
{
    if (frames == 0 || gain == current_) {
        Snap(gain);
        return;
    }
    target_ = gain;
    remaining_ = frames;
    step_ = (target_ - current_) / static_cast<float>(frames);
}

} // namespace audio

#include "render/SpriteFrameInfo.h"

#include <algorithm>

namespace {

// When a frame starts again at the given time instead of going on.
enum class RestartRule { ElapsedNotPositive, ElapsedNegative };
enum class StepDirection { Forward, Backward };
// Whether a frame whose duration equals the elapsed time has ended.
enum class EndRule { AfterDuration, AtDuration };

bool FrameRestarts(RestartRule rule, float elapsed)
{
    return rule == RestartRule::ElapsedNotPositive ? elapsed <= 0.0f : elapsed < 0.0f;
}

std::int32_t NextFrame(std::int32_t index, std::size_t count, StepDirection direction)
{
    const auto last = static_cast<std::int32_t>(count - 1);
    if (direction == StepDirection::Forward)
        return index >= last ? 0 : index + 1;
    return index <= 0 ? last : index - 1;
}

bool FrameEnded(EndRule rule, float duration, float elapsed)
{
    return rule == EndRule::AfterDuration ? duration < elapsed : duration <= elapsed;
}

bool Step(SpriteFrameInfo& entry, float time, RestartRule rule, StepDirection direction,
          EndRule end = EndRule::AfterDuration)
{
    if (FrameRestarts(rule, time - entry.frameStart))
        entry.frameStart = time;
    const std::size_t count = entry.FrameCount();
    if (count == 0)
        return false;
    if (entry.currentFrame < 0 || static_cast<std::size_t>(entry.currentFrame) >= count)
        entry.currentFrame = 0;
    const float duration = entry.frameDurations[static_cast<std::size_t>(entry.currentFrame)];
    if (!FrameEnded(end, duration, time - entry.frameStart))
        return false;
    entry.frameStart = time;
    entry.currentFrame = NextFrame(entry.currentFrame, count, direction);
    return true;
}

} // namespace

gfx::Texture* SpriteFrameInfo::CurrentTexture() const
{
    if (currentFrame < 0 || static_cast<std::size_t>(currentFrame) >= frameTextures.size())
        return nullptr;
    return frameTextures[static_cast<std::size_t>(currentFrame)].Get();
}

std::size_t SpriteFrameInfo::FrameCount() const
{
    if (frameTextures.empty())
        return frameDurations.size();
    return std::min(frameDurations.size(), frameTextures.size());
}

bool SpriteFrameInfo::StepForward(float time)
{
    return Step(*this, time, RestartRule::ElapsedNotPositive, StepDirection::Forward);
}

bool SpriteFrameInfo::StepBackward(float time)
{
    return Step(*this, time, RestartRule::ElapsedNegative, StepDirection::Backward);
}

bool SpriteFrameInfo::StepWhenDue(float time)
{
    return Step(*this, time, RestartRule::ElapsedNegative, StepDirection::Forward, EndRule::AtDuration);
}

bool FrameSequence::Step(SpriteFrameInfo& entry, float time)
{
    return ::Step(entry, time, RestartRule::ElapsedNegative, StepDirection::Forward);
}

void StepFrames(std::vector<SpriteFrameInfo>& records, float time, bool backward)
{
    for (SpriteFrameInfo& record : records) {
        if (backward)
            record.StepBackward(time);
        else
            record.StepForward(time);
    }
}

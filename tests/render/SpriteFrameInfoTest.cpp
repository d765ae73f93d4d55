// The frame steppers of animated pictures: when a frame ends, the direction
// and wrap of each stepper, restarts when time goes back, and records whose
// frame count is 0 or whose index no longer fits.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "render/SpriteFrameInfo.h"

namespace {

SpriteFrameInfo Frames(std::vector<float> durations, std::int32_t current = 0, float start = 0.0f)
{
    SpriteFrameInfo info;
    info.frameDurations = std::move(durations);
    info.currentFrame = current;
    info.frameStart = start;
    return info;
}

using Stepper = std::function<bool(SpriteFrameInfo&, float)>;

const Stepper kForward = [](SpriteFrameInfo& info, float t) { return info.StepForward(t); };
const Stepper kBackward = [](SpriteFrameInfo& info, float t) { return info.StepBackward(t); };
const Stepper kSequence = [](SpriteFrameInfo& info, float t) { return FrameSequence::Step(info, t); };
const Stepper kWhenDue = [](SpriteFrameInfo& info, float t) { return info.StepWhenDue(t); };

TEST(SpriteFrameInfoTest, ConstructionDefaults)
{
    const SpriteFrameInfo info;
    EXPECT_EQ(info.uScale, 1.0f);
    EXPECT_EQ(info.vScale, 1.0f);
    EXPECT_EQ(info.ratio, 1.0f);
    EXPECT_EQ(info.currentFrame, 0);
    EXPECT_EQ(info.frameStart, 0.0f);
    EXPECT_EQ(info.CurrentTexture(), nullptr);
}

TEST(SpriteFrameInfoTest, SteppersAdvanceOneFrameWhenItsDurationHasPassed)
{
    struct Case {
        const char* name;
        Stepper step;
        std::int32_t from;
        float time;
        std::int32_t to;
        float start;
    };
    const Case cases[] = {
        {"ForwardNotYet", kForward, 0, 0.1f, 0, 0.0f},
        {"ForwardExactlyTheDurationStays", kForward, 0, 0.5f, 0, 0.0f},
        {"ForwardNext", kForward, 0, 0.6f, 1, 0.6f},
        {"ForwardWrapsToFirst", kForward, 2, 0.6f, 0, 0.6f},
        {"ForwardOneFramePerCallHoweverLate", kForward, 0, 100.0f, 1, 100.0f},
        {"BackwardPrevious", kBackward, 2, 0.6f, 1, 0.6f},
        {"BackwardFromFirstGoesToLast", kBackward, 0, 0.6f, 2, 0.6f},
        {"SequenceNext", kSequence, 1, 0.6f, 2, 0.6f},
        {"SequenceWraps", kSequence, 2, 0.6f, 0, 0.6f},
        {"WhenDueNotYet", kWhenDue, 0, 0.4f, 0, 0.0f},
        {"WhenDueExactlyTheDurationEnds", kWhenDue, 0, 0.5f, 1, 0.5f},
        {"WhenDueWraps", kWhenDue, 2, 0.5f, 0, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpriteFrameInfo info = Frames({0.5f, 0.5f, 0.5f}, c.from);
        EXPECT_EQ(c.step(info, c.time), c.to != c.from);
        EXPECT_EQ(info.currentFrame, c.to);
        EXPECT_FLOAT_EQ(info.frameStart, c.start);
    }
}

TEST(SpriteFrameInfoTest, TimeGoingBackRestartsTheFrame)
{
    struct Case {
        const char* name;
        Stepper step;
        float time;
        float start; // frame start after the call (it was 5)
    };
    const Case cases[] = {
        {"ForwardBack", kForward, 4.0f, 4.0f},
        {"ForwardSameTimeRestartsToo", kForward, 5.0f, 5.0f},
        {"BackwardBack", kBackward, 4.0f, 4.0f},
        {"SequenceBack", kSequence, 4.0f, 4.0f},
        {"SequenceAhead", kSequence, 5.2f, 5.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpriteFrameInfo info = Frames({0.5f, 0.5f}, 1, 5.0f);
        EXPECT_FALSE(c.step(info, c.time));
        EXPECT_EQ(info.currentFrame, 1);
        EXPECT_FLOAT_EQ(info.frameStart, c.start);
    }
}

TEST(SpriteFrameInfoTest, RecordsWithoutFramesOrWithAStaleIndexNeverReadPastTheirVectors)
{
    for (const Stepper& step : {kForward, kBackward, kSequence}) {
        SpriteFrameInfo none = Frames({}, 3);
        EXPECT_FALSE(step(none, 10.0f)) << "no durations: no frame advances";
        EXPECT_EQ(none.currentFrame, 3);

        SpriteFrameInfo stale = Frames({0.1f, 0.1f}, 7);
        step(stale, 10.0f);
        EXPECT_GE(stale.currentFrame, 0);
        EXPECT_LT(stale.currentFrame, 2) << "an index beyond the frames starts again inside them";

        // More durations than textures: only the frames that have a texture cycle.
        SpriteFrameInfo fewerTextures = Frames({0.1f, 0.1f, 0.1f}, 0);
        fewerTextures.frameTextures.resize(2);
        for (int i = 0; i < 5; ++i) {
            step(fewerTextures, 10.0f + float(i));
            EXPECT_LT(fewerTextures.currentFrame, 2);
        }
    }
}

} // namespace

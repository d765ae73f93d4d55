// The screen-edge rule of flowing sprites: the far and near tests of each
// side (mirrored sprites included), the wrap cycle frame by frame, the
// reflection, the reflection with a pause of animation clock, and the
// controls that must handle nothing.

#include <cmath>

#include "objects/BoundControl.h"
#include "objects/FlowConstructor.h"
#include "platform/crt/Random.h"
#include "tests/objects/SpriteObjectTestSupport.h"

namespace sprite_object_test {
namespace {

class BoundControlTest : public SpriteObjectTest {
protected:
    // The flow's control of `side`, in `mode`, with the given delays.
    DS_BoundControl& Rule(int side, int mode, std::uint32_t minDelay = 0, std::uint32_t maxDelay = 0)
    {
        DS_BoundControl& rule = flow.Bound(side);
        rule.mode.StoreValue(mode);
        rule.minDelay.StoreValue(minDelay);
        rule.maxDelay.StoreValue(maxDelay);
        return rule;
    }

    DS_FlowConstructor flow;
};

// The view is the whole 800 x 600 picture. Mode 1 answers the near test of
// a free sprite and mode 2 the far test; a handled sprite is reflected on
// its side's axis.
TEST_F(BoundControlTest, FarAndNearTestsOfEachSideReflectOnTheSidesAxis)
{
    struct Case {
        int side;
        float x, y, w;
        bool far, near;
    };
    const Case cases[] = {
        {DS_BoundControl::kTop, 400, 5, 10, false, true},
        {DS_BoundControl::kTop, 400, -15, 10, true, true},
        {DS_BoundControl::kTop, 400, 300, 10, false, false},
        {DS_BoundControl::kBottom, 400, 595, 10, false, true},
        {DS_BoundControl::kBottom, 400, 615, 10, true, true},
        {DS_BoundControl::kLeft, 5, 300, 10, false, true},
        {DS_BoundControl::kLeft, 5, 300, -10, false, false}, // mirrored: near uses the signed width
        {DS_BoundControl::kLeft, -15, 300, -10, true, true},
        {DS_BoundControl::kRight, 795, 300, 10, false, true},
        {DS_BoundControl::kRight, 795, 300, -10, false, false},
        {DS_BoundControl::kRight, 815, 300, -10, true, true},
        {DS_BoundControl::kRight, 805, 300, -10, false, false},
        {DS_BoundControl::kRight, 815, 300, 10, true, true},
    };
    for (const Case& c : cases) {
        for (int mode : {DS_BoundControl::kReflect, DS_BoundControl::kReflectAndPause}) {
            SCOPED_TRACE(::testing::Message() << "side " << c.side << " at (" << c.x << ", " << c.y << ") w " << c.w
                                              << " mode " << mode);
            const DS_BoundControl& rule = Rule(c.side, mode);
            SpriteParticle sprite = SpriteAt(c.x, c.y, c.w);
            const bool expected = mode == DS_BoundControl::kReflect ? c.near : c.far;
            EXPECT_EQ(rule.Step(sprite, flow), expected);
            const bool horizontal = c.side >= DS_BoundControl::kLeft;
            EXPECT_EQ(sprite.dirFactor.x, expected && horizontal ? -1.0f : 1.0f);
            EXPECT_EQ(sprite.dirFactor.y, expected && !horizontal ? -1.0f : 1.0f);
            EXPECT_EQ(sprite.edgeState, expected ? c.side : -1);
        }
    }
}

TEST_F(BoundControlTest, ReflectionTurnsOnceAndPullsTheSpriteBackInside)
{
    const DS_BoundControl& right = Rule(DS_BoundControl::kRight, DS_BoundControl::kReflect);
    SpriteParticle sprite = SpriteAt(795.0f, 300.0f);
    EXPECT_TRUE(right.Step(sprite, flow));
    EXPECT_EQ(sprite.dirFactor.x, -1.0f);
    // Held: pulled back to right - w - 1 and released once it no longer
    // overlaps the edge; the direction turned only once.
    EXPECT_TRUE(right.Step(sprite, flow));
    EXPECT_FLOAT_EQ(sprite.position.x, 789.0f);
    EXPECT_EQ(sprite.edgeState, -1);
    EXPECT_EQ(sprite.dirFactor.x, -1.0f);

    const DS_BoundControl& top = Rule(DS_BoundControl::kTop, DS_BoundControl::kReflect);
    sprite = SpriteAt(400.0f, 2.0f);
    EXPECT_TRUE(top.Step(sprite, flow));
    EXPECT_TRUE(top.Step(sprite, flow));
    EXPECT_FLOAT_EQ(sprite.position.y, 11.0f);
    EXPECT_EQ(sprite.dirFactor.y, -1.0f);
}

// Fade times 0: mark, alpha 0, release and pause, wrap to the opposite side
// at a random place, fade in once the delay has passed, release.
TEST_F(BoundControlTest, TheWrapCycleFrameByFrame)
{
    const DS_BoundControl& right = Rule(DS_BoundControl::kRight, DS_BoundControl::kWrap, 500, 1500);
    constexpr float dt = 0.1f;
    crt::srand(7);
    const float delayDraw = crt::RandomUnit();
    const float placeDraw = crt::RandomUnit();
    crt::srand(7);

    SpriteParticle sprite = SpriteAt(815.0f, 300.0f);
    StepClock(flow, dt);
    EXPECT_TRUE(right.Step(sprite, flow));
    EXPECT_EQ(sprite.edgeState, DS_BoundControl::kRight) << "frame 1 marks it";
    EXPECT_EQ(sprite.alpha, 1.0f);

    StepClock(flow, dt);
    EXPECT_TRUE(right.Step(sprite, flow));
    EXPECT_EQ(sprite.alpha, 0.0f) << "frame 2 fades it out at once";
    EXPECT_EQ(sprite.edgeState, DS_BoundControl::kRight);

    StepClock(flow, dt);
    const float pauseStart = flow.animationClock;
    EXPECT_TRUE(right.Step(sprite, flow));
    EXPECT_EQ(sprite.edgeState, -1) << "frame 3 releases it";
    EXPECT_EQ(sprite.paused, 1);
    EXPECT_FLOAT_EQ(sprite.resumeTime - pauseStart, 0.5f + 1.0f * delayDraw);

    StepClock(flow, dt);
    EXPECT_TRUE(right.Step(sprite, flow));
    EXPECT_FLOAT_EQ(sprite.position.x, -9.0f) << "frame 4 wraps it just inside the left side";
    EXPECT_FLOAT_EQ(sprite.position.y, 600.0f * placeDraw);
    EXPECT_EQ(sprite.fadingIn, 1);
    EXPECT_EQ(sprite.edgeState, DS_BoundControl::kRight);

    int frames = 0;
    while (sprite.alpha == 0.0f && frames < 100) {
        StepClock(flow, dt);
        EXPECT_TRUE(right.Step(sprite, flow));
        ++frames;
        EXPECT_EQ(sprite.paused, sprite.alpha == 0.0f ? 1 : 0);
    }
    EXPECT_EQ(sprite.alpha, 1.0f);
    EXPECT_EQ(frames, static_cast<int>(std::floor((sprite.resumeTime - pauseStart) / dt)) + 1)
        << "it comes back on the first frame past the delay";
    EXPECT_EQ(sprite.edgeState, DS_BoundControl::kRight);

    StepClock(flow, dt);
    EXPECT_TRUE(right.Step(sprite, flow));
    EXPECT_EQ(sprite.edgeState, -1) << "the frame after, it is released";
    EXPECT_EQ(sprite.fadingIn, 0);
}

TEST_F(BoundControlTest, FadeTimesSpreadTheFadesOverTheAnimationClock)
{
    DS_BoundControl& top = Rule(DS_BoundControl::kTop, DS_BoundControl::kWrap);
    top.fadeOutTime.StoreValue(400);
    SpriteParticle sprite = SpriteAt(400.0f, -20.0f);
    StepClock(flow, 0.1f);
    top.Step(sprite, flow);
    top.Step(sprite, flow);
    EXPECT_FLOAT_EQ(sprite.alpha, 0.75f);
    top.Step(sprite, flow);
    top.Step(sprite, flow);
    top.Step(sprite, flow);
    EXPECT_EQ(sprite.alpha, 0.0f) << "limited to 0";
}

// Delays 500 and 1500 ms: the sprite turns back and waits just beyond the
// edge for the drawn delay of animation clock, then leaves, released.
TEST_F(BoundControlTest, ReflectAndPauseWaitsTheDrawnDelay)
{
    const DS_BoundControl& left = Rule(DS_BoundControl::kLeft, DS_BoundControl::kReflectAndPause, 500, 1500);
    constexpr float dt = 0.05f;
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        crt::srand(seed);
        const float delay = 0.5f + crt::RandomUnit();
        crt::srand(seed);
        SpriteParticle sprite = SpriteAt(-15.0f, 300.0f);
        StepClock(flow, dt);
        const float start = flow.animationClock;
        EXPECT_TRUE(left.Step(sprite, flow));
        EXPECT_EQ(sprite.dirFactor.x, -1.0f);
        EXPECT_EQ(sprite.paused, 1);
        float waited = 0.0f;
        while (sprite.paused != 0 && waited < 3.0f) {
            StepClock(flow, dt);
            waited += dt;
            EXPECT_TRUE(left.Step(sprite, flow));
            EXPECT_FLOAT_EQ(sprite.position.x, -9.0f) << "kept just beyond the edge";
        }
        EXPECT_GT(waited, delay - 1e-4f);
        EXPECT_LE(waited, delay + dt + 1e-4f);
        EXPECT_GE(waited, 0.5f);
        EXPECT_LE(waited, 1.5f + dt);
        EXPECT_FLOAT_EQ(sprite.resumeTime, start + delay);
        EXPECT_EQ(sprite.edgeState, -1) << "reaching over the edge is no longer beyond it";
    }
}

// A maximum delay below the minimum gives a delay between the two, never
// an unsigned wrap that would pause a sprite for ever.
TEST_F(BoundControlTest, AMaximumBelowTheMinimumStillGivesADelayBetweenThem)
{
    const DS_BoundControl& left = Rule(DS_BoundControl::kLeft, DS_BoundControl::kReflectAndPause, 1500, 500);
    for (unsigned seed = 1; seed < 20; ++seed) {
        crt::srand(seed);
        SpriteParticle sprite = SpriteAt(-15.0f, 300.0f);
        left.Step(sprite, flow);
        const float delay = sprite.resumeTime - flow.animationClock;
        EXPECT_GE(delay, 0.5f) << seed;
        EXPECT_LE(delay, 1.5f) << seed;
    }
}

TEST_F(BoundControlTest, RulesThatHandleNothing)
{
    // Never assigned a side, and a side outside 0..3.
    DS_BoundControl unassigned;
    DS_BoundControl outside;
    outside.SetSide(4);
    for (DS_BoundControl* rule : {&unassigned, &outside}) {
        for (int mode : {0, 1, 2}) {
            rule->mode.StoreValue(mode);
            SpriteParticle sprite = SpriteAt(-500.0f, -500.0f);
            EXPECT_FALSE(rule->Step(sprite, flow));
            EXPECT_EQ(sprite.edgeState, -1);
            EXPECT_EQ(sprite.dirFactor.x, 1.0f);
            EXPECT_EQ(sprite.paused, 0);
        }
    }
    // An unknown mode leaves a free sprite alone; a sprite held by another
    // side is that side's.
    const DS_BoundControl& right = Rule(DS_BoundControl::kRight, 7);
    SpriteParticle sprite = SpriteAt(900.0f, 300.0f);
    EXPECT_FALSE(right.Step(sprite, flow));
    Rule(DS_BoundControl::kRight, DS_BoundControl::kReflect);
    sprite.edgeState = DS_BoundControl::kTop;
    EXPECT_FALSE(right.Step(sprite, flow));
    EXPECT_EQ(sprite.position.x, 900.0f);
}

} // namespace
} // namespace sprite_object_test

// Flows and rain: direction data, motion, wobble changes, orientation
// modes, draw counts, the stored sections of every version, and rain's
// drops fading, reborn and never held by an edge rule once reborn.

#include <cmath>

#include "objects/FlowConstructor.h"
#include "platform/crt/Random.h"
#include "render/Timing.h"
#include "tests/objects/SpriteObjectTestSupport.h"
#include "tests/particles/systems/SpriteSystemTestSupport.h"
#include "tests/support/SpriteObjectWriter.h"

namespace sprite_object_test {
namespace {

using namespace sprite_object_writer;

class FlowTest : public SpriteObjectTest {};

// A copy of a flow moving in `direction` at `speed` (the copy derives the
// direction data).
std::unique_ptr<DS_FlowConstructor> FlowMoving(std::uint32_t direction, float speed, int orientation = 0)
{
    DS_FlowConstructor flow;
    flow.speed = speed;
    flow.direction.SetValue(direction, nullptr);
    flow.orientationMode.StoreValue(orientation);
    return CloneAs<DS_FlowConstructor>(flow);
}

void ExpectVec(const math::Vec3& v, float x, float y, float z = 0.0f)
{
    EXPECT_NEAR(v.x, x, 1e-4f);
    EXPECT_NEAR(v.y, y, 1e-4f);
    EXPECT_NEAR(v.z, z, 1e-4f);
}

TEST_F(FlowTest, DirectionGivesTheMotionAndItsPerpendicular)
{
    auto east = FlowMoving(0, 100.0f);
    ExpectVec(east->directionVector, 100.0f, 0.0f);
    SpriteParticle sprite = SpriteAt(400.0f, 300.0f);
    sprite.velocity.z = 0.0f;
    StepClock(*east, 0.1f);
    east->UpdateSprite(sprite);
    ExpectVec(sprite.position, 410.0f, 300.0f);

    // Toward the bottom edge; the wobble runs sideways.
    auto down = FlowMoving(270, 50.0f);
    ExpectVec(down->directionVector, 0.0f, 50.0f);
    ExpectVec(down->perpendicular, -1.0f, 0.0f);
    down->wobble.QuietSet(10); // 30 pixels per second
    sprite = SpriteAt(400.0f, 300.0f);
    sprite.velocity.z = 0.5f;
    sprite.sizeFactor = 2.0f;
    StepClock(*down, 0.1f);
    down->UpdateSprite(sprite);
    // (0 - 1 x 0.5 x 30, 50) x 2 x 0.1
    ExpectVec(sprite.position, 397.0f, 310.0f);

    // A paused sprite stays where it is.
    sprite.paused = 1;
    down->UpdateSprite(sprite);
    ExpectVec(sprite.position, 397.0f, 310.0f);
    EXPECT_TRUE(down->CountLimitReached(0)) << "a paused sprite is an event";
}

TEST_F(FlowTest, ChangeRateZeroKeepsEveryWobbleFactor)
{
    for (std::uint32_t rate : {0u, 40u}) {
        SCOPED_TRACE(rate);
        auto flow = FlowMoving(0, 10.0f);
        flow->changeRate.QuietSet(rate);
        crt::srand(3);
        SpriteParticle sprite = SpriteAt(400.0f, 300.0f);
        sprite.velocity.z = 0.25f;
        bool changed = false;
        for (int frame = 0; frame < 500; ++frame) {
            StepClock(*flow, 0.1f);
            sprite.position = {400.0f, 300.0f, 0.0f};
            flow->UpdateSprite(sprite);
            changed = changed || sprite.velocity.z != 0.25f;
        }
        EXPECT_EQ(changed, rate != 0);
    }
}

TEST_F(FlowTest, DrawCountFollowsTheTimelinesLevel)
{
    struct Case {
        std::uint32_t count;
        float level;
        std::uint32_t drawn;
    };
    const Case cases[] = {{10, 0.45f, 4}, {10, 1.0f, 10}, {10, 0.0f, 0}, {1, 0.0f, 1}, {1, 0.3f, 1}, {0, 1.0f, 0},
                          {4000000000u, 1.0f, 4000000000u}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.count << " at " << c.level);
        DS_FlowConstructor flow;
        flow.spriteCount.StoreValue(c.count);
        sprite_test::HoldTimeline(flow, kTimingOn, c.level);
        EXPECT_EQ(flow.ActiveSpriteCount(), c.drawn);
    }
}

TEST_F(FlowTest, OrientationModesTurnOrMirrorTheSprite)
{
    // Turned to the flow: direction 90 (up the screen).
    auto up = FlowMoving(90, 100.0f, DS_FlowConstructor::kAlongFlow);
    SpriteParticle sprite = SpriteAt(400.0f, 300.0f);
    up->SetupSprite(sprite);
    ExpectVec(sprite.axisX, 0.0f, -1.0f);
    ExpectVec(sprite.axisY, 1.0f, 0.0f);

    struct Case {
        std::uint32_t direction;
        int mode;
        math::Vec3 axisX, axisY;
    };
    const Case cases[] = {
        {180, DS_FlowConstructor::kMirrorByVx, {-1, 0, 0}, {0, 1, 0}},
        {0, DS_FlowConstructor::kMirrorByVx, {1, 0, 0}, {0, 1, 0}},
        {90, DS_FlowConstructor::kMirrorByVy, {1, 0, 0}, {0, -1, 0}},
        {270, DS_FlowConstructor::kMirrorByVy, {1, 0, 0}, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.direction << " mode " << c.mode);
        auto flow = FlowMoving(c.direction, 100.0f, c.mode);
        sprite = SpriteAt(400.0f, 300.0f);
        sprite.axisX = sprite.axisY = {7.0f, 7.0f, 7.0f};
        StepClock(*flow, 0.01f);
        flow->UpdateSprite(sprite);
        ExpectVec(sprite.axisX, c.axisX.x, c.axisX.y);
        ExpectVec(sprite.axisY, c.axisY.x, c.axisY.y);
    }
}

TEST_F(FlowTest, ANewSpriteStartsInTheViewFreeOfTheEdgeRules)
{
    auto flow = FlowMoving(0, 100.0f);
    flow->spriteSize.StoreValue(20);
    SpriteParticle sprite;
    sprite.edgeState = DS_BoundControl::kLeft;
    sprite.fadingIn = 1;
    sprite.paused = 1;
    flow->InitSprite(sprite);
    EXPECT_EQ(sprite.edgeState, -1);
    EXPECT_EQ(sprite.fadingIn, 0);
    EXPECT_EQ(sprite.paused, 0);
    ExpectVec(sprite.dirFactor, 1.0f, 1.0f);
    EXPECT_GE(sprite.velocity.z, -1.0f);
    EXPECT_LE(sprite.velocity.z, 1.0f);
    EXPECT_GE(sprite.position.x, 0.0f);
    EXPECT_LE(sprite.position.x, kPictureWidth);
    EXPECT_GE(sprite.position.y, 0.0f);
    EXPECT_LE(sprite.position.y, kPictureHeight);
    EXPECT_FLOAT_EQ(sprite.halfHeight, 10.0f);
}

// ---- stored sections ----------------------------------------------------------

FlowFields SampleFlow(std::int32_t version)
{
    FlowFields f;
    f.version = version;
    f.direction = 45;
    f.wobble = 12;
    f.changeRate = 8;
    f.speed = 120.0f;
    f.orientation = version == 2 ? 5 : 3;
    f.bounds[0] = {1, 2, 100, 200, 300, 400};
    f.bounds[3] = {1, 1, 0, 0, 0, 0};
    f.sprite.spriteCount = 7;
    return f;
}

TEST_F(FlowTest, ReadersOfEveryVersion)
{
    struct Case {
        std::int32_t version;
        std::int32_t orientation;
        bool bounds;
    };
    // Version 2 stores a flag (5: turned to the flow), version 1 no mode;
    // before version 4 the default edge rules stay.
    const Case cases[] = {{1, 0, false}, {2, 1, false}, {3, 3, false}, {4, 3, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        DocumentWriter w;
        WriteFlow(w, SampleFlow(c.version));
        auto flow = ReadObjectAs<DS_FlowConstructor>(w.Bytes());
        ASSERT_NE(flow, nullptr);
        EXPECT_EQ(flow->direction.value, 45u);
        EXPECT_FLOAT_EQ(flow->wobble.Scaled(), 36.0f);
        EXPECT_FLOAT_EQ(flow->changeRate.Scaled(), 2.0f);
        EXPECT_FLOAT_EQ(flow->speed, 120.0f);
        EXPECT_EQ(flow->orientationMode.value, c.orientation);
        EXPECT_EQ(flow->spriteCount.value, 7u);
        const DS_BoundControl& top = flow->Bound(DS_BoundControl::kTop);
        EXPECT_EQ(top.mode.value, c.bounds ? 2 : 0);
        EXPECT_EQ(top.fadeOutTime.value, c.bounds ? 100u : 0u);
        EXPECT_EQ(top.fadeInTime.value, c.bounds ? 200u : 0u);
        EXPECT_EQ(top.minDelay.value, c.bounds ? 300u : 0u);
        EXPECT_EQ(top.maxDelay.value, c.bounds ? 400u : 0u);
        EXPECT_EQ(flow->Bound(DS_BoundControl::kRight).mode.value, c.bounds ? 1 : 0);
        for (int side = 0; side < 4; ++side)
            EXPECT_EQ(flow->Bound(side).Side(), side);
        auto copy = CloneAs<DS_FlowConstructor>(*flow);
        EXPECT_NEAR(copy->directionVector.x, 120.0f * std::sqrt(0.5f), 1e-3f);
        EXPECT_NEAR(copy->directionVector.y, -120.0f * std::sqrt(0.5f), 1e-3f);
        EXPECT_EQ(copy->Bound(DS_BoundControl::kTop).mode.value, top.mode.value);
        EXPECT_EQ(copy->Bound(DS_BoundControl::kTop).Side(), DS_BoundControl::kTop);
    }
}

TEST_F(FlowTest, ATruncatedFlowIsRefused)
{
    DocumentWriter w;
    WriteFlow(w, SampleFlow(4));
    std::vector<std::uint8_t> bytes = w.Bytes();
    bytes.resize(bytes.size() / 2);
    MemoryArchive archive(bytes);
    EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
}

// ---- rain -----------------------------------------------------------------------

TEST_F(FlowTest, RainDefaultsAndItsStoredSection)
{
    DS_RainConstructor rain;
    EXPECT_EQ(rain.direction.value, 270u);
    EXPECT_FLOAT_EQ(rain.speed, 2000.0f);
    EXPECT_EQ(rain.wobble.value, 0u);
    EXPECT_FLOAT_EQ(rain.scaleMin, 0.5f);
    EXPECT_FLOAT_EQ(rain.scaleMax, 1.0f);
    EXPECT_EQ(rain.orientationMode.value, DS_FlowConstructor::kAlongFlow);
    ExpectVec(rain.directionVector, 0.0f, 2000.0f);
    for (int side = 0; side < 4; ++side)
        EXPECT_EQ(rain.Bound(side).mode.value, DS_BoundControl::kWrap);
    EXPECT_FALSE(rain.CountLimitReached(1));
    EXPECT_TRUE(rain.CountLimitReached(2));

    RainFields fields;
    fields.flow = SampleFlow(4);
    DocumentWriter w;
    WriteRain(w, fields);
    auto read = ReadObjectAs<DS_RainConstructor>(w.Bytes());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->direction.value, 45u);
    EXPECT_EQ(read->Bound(DS_BoundControl::kTop).mode.value, 2);
}

// Turned to the flow, a drop is turned a further three quarters of a turn:
// falling straight down, it stands upright.
TEST_F(FlowTest, ADropIsPlacedTurnedWithARandomAlpha)
{
    auto rain = CloneAs<DS_RainConstructor>(DS_RainConstructor());
    crt::srand(11);
    crt::RandomUnit(); // wobble
    crt::RandomUnit(); // x
    crt::RandomUnit(); // y
    const float alpha = crt::RandomUnit();
    crt::srand(11);
    SpriteParticle drop;
    rain->InitSprite(drop);
    EXPECT_FLOAT_EQ(drop.alpha, alpha);
    ExpectVec(drop.axisX, 1.0f, 0.0f);
    ExpectVec(drop.axisY, 0.0f, 1.0f);
}

TEST_F(FlowTest, DropsOscillateAndAreRebornAtTheLowerBound)
{
    auto rain = CloneAs<DS_RainConstructor>(DS_RainConstructor());
    rain->brightnessMin = 0.2f;
    rain->brightnessMax = 0.9f;
    SpriteParticle drop = SpriteAt(400.0f, 300.0f);
    drop.alpha = 0.85f;
    drop.alphaRate = 1.0f;
    StepClock(*rain, 0.1f);
    rain->UpdateSprite(drop);
    EXPECT_FLOAT_EQ(drop.alpha, 0.9f) << "held at the upper bound, turning";
    EXPECT_FLOAT_EQ(drop.alphaRate, -1.0f);
    EXPECT_EQ(drop.colour >> 24, 229u);

    drop.position = {400.0f, 50.0f, 0.0f};
    drop.alpha = 0.25f;
    rain->UpdateSprite(drop);
    EXPECT_FLOAT_EQ(drop.alpha, 0.2f);
    EXPECT_FLOAT_EQ(drop.alphaRate, 1.0f);
    EXPECT_NE(drop.position.y, 250.0f) << "reborn at a random place";
}

// A drop beyond the bottom edge is held by that side's wrap rule for as long
// as it lives (the rule never sees it fade); once reborn it is held by no
// side, so the other sides' rules apply to it again.
TEST_F(FlowTest, ARebornDropIsHeldByNoSide)
{
    auto rain = CloneAs<DS_RainConstructor>(DS_RainConstructor());
    rain->Bound(DS_BoundControl::kLeft).mode.StoreValue(DS_BoundControl::kReflect);
    rain->Bound(DS_BoundControl::kRight).mode.StoreValue(DS_BoundControl::kReflect);
    rain->brightnessMin = 0.0f;
    rain->spriteSize.StoreValue(20);
    SpriteParticle drop = SpriteAt(400.0f, 700.0f);
    drop.alphaRate = 0.0f;
    for (int frame = 0; frame < 5; ++frame) {
        StepClock(*rain, 0.01f);
        rain->UpdateSprite(drop);
        EXPECT_EQ(drop.edgeState, DS_BoundControl::kBottom);
        EXPECT_EQ(drop.alpha, 1.0f) << "the drop's own alpha is kept";
    }

    drop.alpha = 0.005f;
    drop.alphaRate = -1.0f;
    rain->UpdateSprite(drop);
    EXPECT_EQ(drop.edgeState, -1);
    EXPECT_EQ(drop.fadingIn, 0);
    EXPECT_EQ(drop.paused, 0);

    drop.position = {799.0f, 300.0f, 0.0f};
    rain->UpdateSprite(drop);
    EXPECT_EQ(drop.edgeState, DS_BoundControl::kRight) << "the right side reflects it";
    EXPECT_EQ(drop.dirFactor.x, -1.0f);
}

} // namespace
} // namespace sprite_object_test

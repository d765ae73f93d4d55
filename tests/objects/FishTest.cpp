// Fish, birds and ghosts: turning at the sides and facing the way, bouncing
// on the half height, the birds' brisk speeds, ghosts placed again when
// their timeline comes back on, and the stored sections.

#include <cmath>

#include "objects/FishConstructor.h"
#include "platform/crt/Random.h"
#include "render/Timelines.h"
#include "render/Timing.h"
#include "tests/objects/SpriteObjectTestSupport.h"
#include "tests/particles/systems/SpriteSystemTestSupport.h"
#include "tests/support/SpriteObjectWriter.h"

namespace sprite_object_test {
namespace {

using namespace sprite_object_writer;

class FishTest : public SpriteObjectTest {};

TEST_F(FishTest, AFishTurnsBackAtTheSidesAndFacesItsWay)
{
    DS_FishConstructor fish;
    StepClock(fish, 0.1f);
    // Beyond the left edge moving left: turns right, faces right.
    SpriteParticle sprite = SpriteAt(-100.0f, 300.0f, -20.0f);
    sprite.velocity = {-30.0f, 0.0f, 0.0f};
    fish.UpdateSprite(sprite);
    EXPECT_EQ(sprite.velocity.x, 30.0f);
    EXPECT_EQ(sprite.halfWidth, 20.0f);
    EXPECT_TRUE(fish.CountLimitReached(0));

    // Half over the right edge it swims on; wholly beyond it, it turns.
    fish.spriteEvent = 0;
    sprite = SpriteAt(815.0f, 300.0f, 20.0f);
    sprite.velocity = {10.0f, 0.0f, 0.0f};
    fish.UpdateSprite(sprite);
    EXPECT_EQ(sprite.velocity.x, 10.0f);
    EXPECT_FALSE(fish.CountLimitReached(0));
    sprite.position.x = 825.0f;
    fish.UpdateSprite(sprite);
    EXPECT_EQ(sprite.velocity.x, -10.0f);
    EXPECT_EQ(sprite.halfWidth, -20.0f);
}

TEST_F(FishTest, AFishBouncesOffTopAndBottomByItsHalfHeight)
{
    DS_FishConstructor fish;
    StepClock(fish, 0.1f);
    // Touching the top with half its height: it bounces at once.
    SpriteParticle sprite = SpriteAt(400.0f, 9.0f, 10.0f, 10.0f);
    sprite.velocity = {0.0f, -5.0f, 0.0f};
    fish.UpdateSprite(sprite);
    EXPECT_EQ(sprite.velocity.y, 5.0f);
    sprite = SpriteAt(400.0f, 591.0f, 10.0f, 10.0f);
    sprite.velocity = {0.0f, 5.0f, 0.0f};
    fish.UpdateSprite(sprite);
    EXPECT_EQ(sprite.velocity.y, -5.0f);
}

// Once per second of frame time a fish picks a new speed at even odds,
// keeping its heading; its colour stays as packed at birth.
TEST_F(FishTest, NewSpeedsKeepTheHeading)
{
    DS_FishConstructor fish;
    int changes = 0;
    for (unsigned seed = 1; seed <= 10; ++seed) {
        crt::srand(seed);
        SpriteParticle sprite = SpriteAt(400.0f, 300.0f, -10.0f);
        sprite.velocity = {-1.0f, 0.0f, 0.0f};
        sprite.colour = 0x12345678u;
        StepClock(fish, 0.0f);
        fish.lastObjectTime = 1.5f;
        fish.UpdateSprite(sprite);
        EXPECT_FLOAT_EQ(sprite.timer, 1.5f);
        EXPECT_LE(sprite.velocity.x, 0.0f);
        EXPECT_LE(std::fabs(sprite.velocity.y), fish.maxSpeedY);
        EXPECT_EQ(sprite.colour, 0x12345678u);
        changes += sprite.velocity.x != -1.0f ? 1 : 0;
        // Not again within the second.
        const math::Vec3 kept = sprite.velocity;
        fish.lastObjectTime = 2.4f;
        fish.UpdateSprite(sprite);
        EXPECT_EQ(sprite.velocity.x, kept.x);
    }
    EXPECT_GT(changes, 0);
    EXPECT_LT(changes, 10);
}

TEST_F(FishTest, BirdsKeepABriskPace)
{
    DS_BirdConstructor bird;
    bird.maxSpeedY = 50.0f;
    struct Case {
        float vy, expected;
    };
    for (const Case& c : {Case{0.0f, 35.0f}, Case{-20.0f, 26.43f}, Case{40.0f, 40.0f}, Case{-45.0f, -45.0f}}) {
        SpriteParticle sprite = SpriteAt(400.0f, 300.0f);
        sprite.velocity = {79.0f, c.vy, 0.0f};
        bird.UpdateSprite(sprite);
        EXPECT_NEAR(sprite.velocity.y, c.expected, 0.005f) << c.vy;
    }
    SpriteParticle slow = SpriteAt(400.0f, 300.0f);
    slow.velocity = {-10.0f, 40.0f, 0.0f};
    bird.UpdateSprite(slow);
    EXPECT_LE(slow.velocity.x, -56.0f);
    EXPECT_GE(slow.velocity.x, -80.0f);
}

TEST_F(FishTest, GhostDefaults)
{
    DS_GhostConstructor ghost;
    EXPECT_EQ(ghost.maxSpeedX, 50.0f);
    EXPECT_EQ(ghost.maxSpeedY, 50.0f);
    EXPECT_FLOAT_EQ(ghost.brightnessRate, 0.66f);
    EXPECT_EQ(ghost.transparency.value, 50u);
    EXPECT_EQ(ghost.Alpha(), 127);
    EXPECT_EQ(ghost.timing.flags & 1, 1);
    EXPECT_EQ(ghost.category, 2);
    EXPECT_EQ(ghost.timing.clockMode.value, 1);
}

// Three sprites on a timeline on, off, on: every one of them is placed
// again at the second switch-on (not only the first updated), and their
// opacity is the timeline's level throughout.
TEST_F(FishTest, EveryGhostIsPlacedAgainWhenTheTimelineComesBackOn)
{
    auto ghost = CloneAs<DS_GhostConstructor>(DS_GhostConstructor());
    ghost->maxSpeedX = ghost->maxSpeedY = 0.0f; // they stay where they are put
    sprite_test::FixedTimeline& timeline = sprite_test::HoldTimeline(*ghost, kTimingOn, 0.6f);
    std::vector<SpriteParticle> sprites;
    for (float x : {100.0f, 200.0f, 300.0f})
        sprites.push_back(SpriteAt(x, 300.0f));
    auto frame = [&] {
        StepClock(*ghost, 0.05f);
        ghost->spriteEvent = 0;
        for (SpriteParticle& sprite : sprites)
            ghost->UpdateSprite(sprite);
    };

    frame();
    for (const SpriteParticle& sprite : sprites) {
        EXPECT_FLOAT_EQ(sprite.alpha, 0.6f);
        EXPECT_EQ(sprite.colour >> 24, 76u) << "127 x 0.6";
    }
    EXPECT_EQ(sprites[1].position.x, 200.0f);

    timeline.Hold(kTimingOff, 0.0f);
    frame();
    for (const SpriteParticle& sprite : sprites)
        EXPECT_EQ(sprite.alpha, 0.0f);
    EXPECT_EQ(sprites[2].position.x, 300.0f) << "nothing moves while off";

    timeline.Hold(kTimingRising, 0.25f);
    frame();
    EXPECT_TRUE(ghost->CountLimitReached(0));
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NE(sprites[i].position.x, 100.0f * static_cast<float>(i + 1)) << "placed again";
        EXPECT_EQ(sprites[i].wasOff, 0);
        EXPECT_FLOAT_EQ(sprites[i].alpha, 0.25f);
    }
    const math::Vec3 placed = sprites[0].position;
    frame();
    EXPECT_EQ(sprites[0].position, placed) << "only once per switch-on";
}

// ---- stored sections ----------------------------------------------------------

TEST_F(FishTest, StoredSectionsOfTheFishFamily)
{
    FishFields fish;
    fish.maxSpeedX = 12.5f;
    fish.maxSpeedY = 7.0f;
    fish.sprite.spriteCount = 3;
    {
        DocumentWriter w;
        WriteFish(w, fish);
        auto read = ReadObjectAs<DS_FishConstructor>(w.Bytes());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->maxSpeedX, 12.5f);
        EXPECT_EQ(read->maxSpeedY, 7.0f);
        EXPECT_EQ(read->spriteCount.value, 3u);
    }
    {
        DocumentWriter w;
        WriteBird(w, {1, fish});
        auto read = ReadObjectAs<DS_BirdConstructor>(w.Bytes());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->maxSpeedX, 12.5f);
    }
    // A version-1 ghost gets a random timeline that is always on and fades
    // in and out over 150 hundredths; a version-2 ghost keeps its own.
    for (std::int32_t version : {1, 2}) {
        SCOPED_TRACE(version);
        DocumentWriter w;
        WriteGhost(w, {version, fish});
        auto read = ReadObjectAs<DS_GhostConstructor>(w.Bytes());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->maxSpeedY, 7.0f);
        auto* timeline = dynamic_cast<KXI_RandomTimeLine*>(read->timing.CurrentTimeline());
        EXPECT_EQ(timeline != nullptr, version == 1);
        EXPECT_EQ(read->timing.Selector(), version == 1 ? 1 : 0);
        if (!timeline)
            continue;
        EXPECT_EQ(timeline->fadeIn.value, 150u);
        EXPECT_EQ(timeline->fadeOut.value, 150u);
        EXPECT_EQ(timeline->offLength.max.value, 0u);
        EXPECT_EQ(timeline->onLength.max.value, 0u);
    }
}

} // namespace
} // namespace sprite_object_test

// Falling stars: the random bursts, a star's fade in, hold and fade out, its
// flight and spin, the timeline level on the quads, where stars appear and
// what the four layers hold.

#include <gtest/gtest.h>

#include <cmath>

#include "particles/generators/FallingStars.h"
#include "platform/crt/Random.h"
#include "render/RenderContext.h"
#include "tests/particles/generators/LightGeneratorTestSupport.h"

namespace {

using light_test::Alpha;
using light_test::LayerVertices;

class FallingStarsTest : public quad_test::DeviceFixture {
protected:
    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        stars.region.SetRectangle(100.0f, 50.0f, {50.0f, 25.0f, 0.0f});
        stars.starSize.StoreValue(10); // colours opaque: transparency 0
    }

    std::unique_ptr<DS_ParticlesObj> MakeObject() { return std::make_unique<DS_ParticlesObj>(stars.Clone()); }
    static DS_FallingStars& Clone(DS_ParticlesObj& object)
    {
        return static_cast<DS_FallingStars&>(*object.Generator());
    }

    // Steps the object from `from` to `to` in 0.05 s frames.
    static void Run(DS_ParticlesObj& object, float from, float to)
    {
        for (float t = from; t <= to + 1e-4f; t += 0.05f)
            object.Animate(t);
    }

    DS_FallingStars stars;
};

TEST_F(FallingStarsTest, StarsComeInBurstsOfZeroToTwiceTheRate)
{
    stars.starRate.QuietSet(50); // one star per second
    stars.holdTime.QuietSet(100000);
    crt::srand(3);
    auto object = MakeObject();
    DS_FallingStars& clone = Clone(*object);
    std::size_t before = 0;
    std::size_t bursts = 0;
    float lastBurstAt = 0.0f;
    for (int frame = 1; frame <= 2000; ++frame) { // 100 s
        object->Animate(0.05f * float(frame));
        const std::size_t now = clone.emitters.size();
        ASSERT_LE(now - before, 2u) << "a burst of more than twice the rate";
        if (clone.starRate.lastEmission != lastBurstAt) {
            // A burst is drawn once per whole star interval.
            EXPECT_NEAR(clone.starRate.lastEmission - lastBurstAt, 1.0f, 0.06f);
            lastBurstAt = clone.starRate.lastEmission;
            ++bursts;
        }
        before = now;
    }
    EXPECT_NEAR(float(bursts), 100.0f, 2.0f);
    EXPECT_GT(before, 70u);
    EXPECT_LT(before, 130u);
}

TEST_F(FallingStarsTest, AStarFadesInHoldsAndFadesOut)
{
    stars.fadeInTime.QuietSet(100);
    stars.holdTime.QuietSet(200);
    stars.fadeOutTime.QuietSet(100);
    auto object = MakeObject();
    DS_FallingStars& clone = Clone(*object);
    object->Animate(0.0f);
    clone.SpawnStar();
    struct Case {
        float time;
        float opacity;
    };
    const Case cases[] = {{0.5f, 0.5f}, {1.0f, 1.0f}, {2.0f, 1.0f}, {3.0f, 1.0f}, {3.5f, 0.5f}};
    float t = 0.0f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        Run(*object, t + 0.05f, c.time);
        t = c.time;
        ASSERT_EQ(clone.emitters.size(), 1u);
        EXPECT_NEAR(clone.emitters.front().channels[GenParticle::kOpacity], c.opacity, 0.03f);
    }
    Run(*object, t + 0.05f, 4.05f);
    EXPECT_TRUE(clone.emitters.empty());
}

TEST_F(FallingStarsTest, StarsFlyInTheirDirectionAndSpin)
{
    struct Case {
        std::uint32_t angle;
        float dx, dy;
    };
    // The picture's y grows downwards: 90 degrees is up the screen.
    const Case cases[] = {{0, 1.0f, 0.0f}, {90, 0.0f, -1.0f}, {180, -1.0f, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        stars.direction.QuietSet(c.angle);
        stars.starSpeed.QuietSet(10); // 80 px/s
        stars.holdTime.QuietSet(1000);
        auto object = MakeObject();
        DS_FallingStars& clone = Clone(*object);
        object->Animate(0.0f);
        clone.SpawnStar();
        const math::Vec3 start = clone.emitters.front().position;
        const float angle = clone.emitters.front().channels[GenParticle::kAngle];
        Run(*object, 0.05f, 1.0f);
        const GenParticle& star = clone.emitters.front();
        EXPECT_NEAR(star.position.x - start.x, 80.0f * c.dx, 0.1f);
        EXPECT_NEAR(star.position.y - start.y, 80.0f * c.dy, 0.1f);
        // 80 px/s x 0.002 = 0.16 rad/s, either way.
        EXPECT_NEAR(std::abs(star.channels[GenParticle::kAngle] - angle), 0.16f, 1e-3f);
    }
}

TEST_F(FallingStarsTest, AStarAppearsInTheRegionWithYDrawnFirst)
{
    auto object = MakeObject();
    DS_FallingStars& clone = Clone(*object);
    crt::srand(41);
    const float ry = float(crt::rand()) / 32767.0f;
    const float rx = float(crt::rand()) / 32767.0f;
    const float rangle = float(crt::rand()) / 32767.0f;
    crt::srand(41);
    clone.SpawnStar();
    const GenParticle& star = clone.emitters.back();
    EXPECT_FLOAT_EQ(star.position.y, ry * 50.0f);
    EXPECT_FLOAT_EQ(star.position.x, rx * 100.0f);
    EXPECT_FLOAT_EQ(star.channels[GenParticle::kAngle], rangle * 6.2831855f);
    EXPECT_EQ(star.channels[GenParticle::kOpacity], 0.0f);
}

TEST_F(FallingStarsTest, AnUnplacedObjectTakesThePictureAsItsRegion)
{
    RenderContext context;
    context.pictureWidth = 640.0f;
    context.pictureHeight = 480.0f;
    CurrentRenderContextScope scope(&context);
    for (std::uint8_t keepId : {0, 1}) {
        SCOPED_TRACE(int(keepId));
        stars.keepId = keepId;
        auto object = MakeObject();
        const MediaQuad& region = Clone(*object).region;
        const math::Vec3 expected = keepId == 0 ? math::Vec3{640.0f, 480.0f, 0.0f} : math::Vec3{100.0f, 50.0f, 0.0f};
        EXPECT_EQ(region.corners[0].value, (math::Vec3{0.0f, 0.0f, 0.0f}));
        EXPECT_EQ(region.corners[3].value, expected);
        EXPECT_EQ(Clone(*object).keepId, keepId) << "placement leaves the flag";
    }
}

TEST_F(FallingStarsTest, TheLayersHoldStarsAndTrailsAndFollowTheLevel)
{
    stars.holdTime.QuietSet(1000);
    stars.starSpeed.QuietSet(10);
    stars.glowFactor.QuietSet(50); // 3 x
    stars.emissionSwitch.StoreValue(1);
    stars.emissionRate.QuietSet(10); // 20 trail particles per second
    stars.lifetime.QuietSet(1000);
    stars.particleSize.QuietSet(50); // trails half the star size
    stars.fadeInTime.QuietSet(0);
    light_test::ScriptedTimeline& timeline = light_test::Script(stars, KXI_SmartTiming::kRandom);
    auto object = MakeObject();
    DS_FallingStars& clone = Clone(*object);
    object->Animate(0.0f);
    clone.SpawnStar();
    clone.SpawnStar();
    Run(*object, 0.05f, 1.0f);
    ASSERT_EQ(object->LayerCount(), 4u);
    const std::int32_t starCount = 2;
    const auto trailCount = static_cast<std::int32_t>(clone.particles.size());
    EXPECT_GT(trailCount, 30);
    EXPECT_EQ(object->QuadCount(0), starCount);
    EXPECT_EQ(object->QuadCount(2), starCount);
    EXPECT_EQ(object->QuadCount(1), trailCount);
    EXPECT_EQ(object->QuadCount(3), trailCount);
    // Trail particles start at their star's present opacity (1 here): the
    // newest has faded by one step of its 10 s at most.
    EXPECT_GE(Alpha(LayerVertices(*object, 1)[4 * std::size_t(trailCount - 1)].colour), 253u);
    EXPECT_NEAR(light_test::QuadWidth(LayerVertices(*object, 2), 0), 30.0f, 1e-3f);
    EXPECT_NEAR(light_test::QuadWidth(LayerVertices(*object, 3), 0), 3.0f * 5.0f, 1e-2f);

    timeline.Set(kTimingOff, 0.0f);
    const math::Vec3 before = clone.emitters.front().position;
    object->Animate(1.05f);
    EXPECT_NE(clone.emitters.front().position, before) << "the stars keep moving";
    for (std::size_t layer = 0; layer < 4; ++layer)
        for (const QuadBatchVertex& vertex : LayerVertices(*object, layer))
            EXPECT_EQ(Alpha(vertex.colour), 0u) << "layer " << layer;
}

TEST_F(FallingStarsTest, ARebuildDropsEveryStarAndCopiesAreWhole)
{
    stars.holdTime.QuietSet(1000);
    auto object = MakeObject();
    Clone(*object).SpawnStar();
    Clone(*object).SpawnStar();
    auto copy = Clone(*object).Clone();
    EXPECT_EQ(copy->emitters.size(), 2u);
    auto rebuilt = std::make_unique<DS_ParticlesObj>(std::move(copy));
    EXPECT_TRUE(Clone(*rebuilt).emitters.empty());
}

} // namespace

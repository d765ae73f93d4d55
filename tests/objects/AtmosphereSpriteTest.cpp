// God rays, sparkles, fog, lighting and grass: slants (and the limited shear
// near the singular angles), sparkle extents, fog bounds and turns over a
// long run, lighting's waits and flashes, grass swaying about its root, and
// the stored sections.

#include <cmath>

#include "objects/AtmosphereSpriteConstructors.h"
#include "objects/SpriteSway.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "render/Timelines.h"
#include "render/Timing.h"
#include "tests/objects/SpriteObjectTestSupport.h"
#include "tests/particles/systems/SpriteSystemTestSupport.h"
#include "tests/support/SpriteObjectWriter.h"

namespace sprite_object_test {
namespace {

using namespace sprite_object_writer;

class AtmosphereSpriteTest : public SpriteObjectTest {};

constexpr float kDegree = 3.1415927f / 180.0f;

// A ray angle's slant: 90 stands upright, 80 leans by 10 degrees, 200 uses
// theta = 160 degrees; 0, 180 and 360 would be infinite and are limited.
TEST_F(AtmosphereSpriteTest, RayAnglesSlantTheRayWithALimitedShear)
{
    struct Case {
        std::uint32_t angle;
        float shear; // its size only, at the singular angles
        float tolerance;
    };
    const Case cases[] = {
        {90, 0.0f, 1e-5f},
        {80, 1.0f / std::tan(100.0f * kDegree), 1e-5f},
        {200, 1.0f / std::tan(160.0f * kDegree), 1e-4f},
        {270, 0.0f, 1e-5f},
        {0, kMaxSpriteShear, 0.0f},
        {180, kMaxSpriteShear, 0.0f},
        {360, kMaxSpriteShear, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        DS_GodRayConstructor rays;
        rays.rayAngle.StoreValue(c.angle);
        rays.spriteSize.StoreValue(30);
        SpriteParticle ray;
        rays.SetupRay(ray);
        EXPECT_TRUE(std::isfinite(ray.axisY.x));
        const bool singular = c.angle % 180 == 0;
        EXPECT_NEAR(singular ? std::fabs(ray.axisY.x) : ray.axisY.x, c.shear, c.tolerance);
        EXPECT_EQ(ray.axisY.y, 1.0f);
        EXPECT_EQ(ray.halfWidth, 15.0f);
        EXPECT_EQ(ray.halfHeight, 300.0f) << "half the picture's height";
    }
    EXPECT_NEAR(std::atan(ShearOfAngle(100.0f * kDegree)), -10.0f * kDegree, 1e-5f) << "80: ten degrees of slant";
}

TEST_F(AtmosphereSpriteTest, AShearIsExactAwayFromTheSingularAngles)
{
    for (float degrees : {0.06f, 0.1f, 1.0f, 45.0f, 179.94f, -0.06f}) {
        const float theta = degrees * kDegree;
        EXPECT_NEAR(ShearOfAngle(theta), 1.0f / std::tan(theta), std::fabs(1e-5f / std::tan(theta))) << degrees;
    }
    EXPECT_EQ(ShearOfAngle(0.0f), kMaxSpriteShear);
    EXPECT_EQ(ShearOfAngle(0.01f * kDegree), kMaxSpriteShear);
    EXPECT_EQ(ShearOfAngle(-0.01f * kDegree), -kMaxSpriteShear);
}

TEST_F(AtmosphereSpriteTest, ARayStandsAtHalfTheViewsHeightAndDrifts)
{
    DS_GodRayConstructor rays;
    rays.topFraction = 0.5f; // view from 300 to 600
    SpriteParticle ray;
    rays.InitSprite(ray);
    EXPECT_EQ(ray.position.y, 150.0f) << "(bottom - top) / 2, as stored documents expect";
    EXPECT_GE(ray.velocity.x, -10.0f);
    EXPECT_LE(ray.velocity.x, 10.0f);
    const float x = ray.position.x;
    StepClock(rays, 0.1f);
    rays.UpdateSprite(ray);
    EXPECT_FLOAT_EQ(ray.position.x, x + ray.velocity.x * 0.1f);
}

TEST_F(AtmosphereSpriteTest, SparklesGrowAndStretchAsTheyBrighten)
{
    DS_SparkleConstructor sparkles;
    EXPECT_EQ(sparkles.viewFlag, 1);
    sparkles.spriteSize.StoreValue(40);
    sparkles.brightnessMin = 0.0f;
    sparkles.brightnessMax = 1.0f;
    struct Case {
        float alpha, halfWidth, halfHeight;
    };
    // q = 40 x 1 x 0.25 = 10
    for (const Case& c : {Case{0.0f, 10.0f, 10.0f}, Case{1.0f, 20.0f, 20.0f}, Case{0.5f, 15.0f, 13.75f}}) {
        SpriteParticle sparkle = SpriteAt(400.0f, 300.0f);
        sparkle.alpha = c.alpha;
        sparkle.alphaRate = 0.0f;
        sparkles.UpdateSprite(sparkle);
        EXPECT_FLOAT_EQ(sparkle.halfWidth, c.halfWidth) << c.alpha;
        EXPECT_FLOAT_EQ(sparkle.halfHeight, c.halfHeight) << c.alpha;
    }
}

TEST_F(AtmosphereSpriteTest, AFogPatchTurnsToFadingAtTheTopAndIsNeverReborn)
{
    DS_FogConstructor fog;
    EXPECT_FLOAT_EQ(fog.brightnessMin, 0.2f);
    EXPECT_EQ(fog.Alpha(), 127);
    EXPECT_EQ(fog.timing.clockMode.value, 1);
    SpriteParticle patch = SpriteAt(400.0f, 300.0f);
    patch.velocity = {5.0f, -5.0f, 0.0f};
    patch.alpha = 0.95f;
    patch.alphaRate = 1.0f;
    StepClock(fog, 0.1f);
    fog.UpdateSprite(patch);
    EXPECT_FLOAT_EQ(patch.alpha, 1.0f);
    EXPECT_FLOAT_EQ(patch.alphaRate, -1.0f);
    patch.alpha = 0.21f;
    fog.UpdateSprite(patch);
    EXPECT_FLOAT_EQ(patch.alpha, 0.2f);
    EXPECT_FLOAT_EQ(patch.position.x, 401.0f) << "never reborn: it stays on its way";

    // Its centre bounces off the view's edges.
    patch.position = {801.0f, -1.0f, 0.0f};
    fog.UpdateSprite(patch);
    EXPECT_EQ(patch.velocity.x, -5.0f);
    EXPECT_EQ(patch.velocity.y, 5.0f);
}

// The turn is applied once per frame for as long as the wallpaper runs: the
// axes keep unit length however long that is, and the first frames turn by
// exactly the step matrix.
TEST_F(AtmosphereSpriteTest, FogAxesKeepUnitLengthOverAMillionFrames)
{
    DS_FogConstructor fog;
    crt::srand(5);
    SpriteParticle patch = SpriteAt(400.0f, 300.0f);
    fog.InitSprite(patch);
    math::Vec3 expected;
    math::Vec3TransformCoord(&expected, patch.axisX, patch.stepMatrix);
    fog.UpdateSprite(patch);
    EXPECT_EQ(patch.axisX, expected);
    for (int frame = 0; frame < 1000000; ++frame)
        fog.UpdateSprite(patch);
    EXPECT_NEAR(math::Vec3Length(patch.axisX), 1.0f, 0.0011f);
    EXPECT_NEAR(math::Vec3Length(patch.axisY), 1.0f, 0.0011f);
    EXPECT_NEAR(math::Vec3Dot(patch.axisX, patch.axisY), 0.0f, 0.01f);
}

TEST_F(AtmosphereSpriteTest, LightingWaitsInHundredthsBetweenItsBounds)
{
    struct Case {
        std::uint32_t min, max;
        float low, high;
    };
    const Case cases[] = {
        {100, 500, 1.0f, 5.0f},
        {100, 50, 1.0f, 1.0f},
        {100, 100, 1.0f, 1.0f},
        {0, 4294967295u, 0.0f, 327.67f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.min << ".." << c.max);
        DS_LightingConstructor lighting;
        lighting.minInterval.StoreValue(c.min);
        lighting.maxInterval.StoreValue(c.max);
        bool sawLow = false, sawHigh = false;
        for (unsigned seed = 1; seed < 400; ++seed) {
            crt::srand(seed);
            const float wait = lighting.NextInterval();
            EXPECT_GE(wait, c.low - 1e-4f);
            EXPECT_LE(wait, c.high + 1e-4f);
            const float hundredths = wait * 100.0f;
            EXPECT_NEAR(hundredths, std::round(hundredths), 1e-2f) << "in steps of 0.01 s";
            sawLow = sawLow || wait < c.low + 0.5f;
            sawHigh = sawHigh || wait > c.high - 0.5f;
        }
        if (c.high <= 5.0f) {
            EXPECT_TRUE(sawLow && sawHigh);
        }
    }
}

// A flash fades at 6 per second of animation clock, flickering up at even
// odds; once out it waits the drawn interval of frame time, then flashes
// at a new place. The timeline does not fade it.
TEST_F(AtmosphereSpriteTest, LightingFlashesWaitsAndIgnoresTheTimeline)
{
    DS_LightingConstructor lighting;
    EXPECT_EQ(lighting.blendMode.value, 1);
    lighting.spriteSize.StoreValue(40);
    lighting.minInterval.StoreValue(200);
    lighting.maxInterval.StoreValue(200);
    sprite_test::HoldTimeline(lighting, kTimingOn, 0.3f);
    EXPECT_EQ(lighting.ApplyTimingAlpha(0x80FFFFFFu), 0x80FFFFFFu);

    crt::srand(9);
    SpriteParticle flash = SpriteAt(400.0f, 300.0f);
    lighting.InitSprite(flash);
    EXPECT_EQ(flash.alpha, 0.0f);
    EXPECT_NEAR(math::Vec3Length(flash.axisX), 1.0f, 1e-5f);
    EXPECT_GE(flash.position.x, 20.0f);
    EXPECT_LE(flash.position.x, 780.0f);

    // The first frame after birth flashes (its wait of 0 has passed).
    StepClock(lighting, 0.02f);
    lighting.UpdateSprite(flash);
    EXPECT_EQ(flash.alpha, 1.0f);
    int frames = 0;
    while (flash.alpha > 0.0f && frames < 1000) {
        StepClock(lighting, 0.02f);
        lighting.UpdateSprite(flash);
        ++frames;
    }
    EXPECT_EQ(flash.alpha, 0.0f);
    EXPECT_FLOAT_EQ(flash.interval, 2.0f);
    const float out = lighting.lastObjectTime;
    EXPECT_FLOAT_EQ(flash.timer, out);
    while (flash.alpha == 0.0f && frames < 2000) {
        StepClock(lighting, 0.02f);
        lighting.UpdateSprite(flash);
        ++frames;
    }
    // The first frame past the wait of 2 s.
    EXPECT_GE(lighting.lastObjectTime - out, 2.0f - 1e-3f);
    EXPECT_LE(lighting.lastObjectTime - out, 2.02f + 1e-3f);
    EXPECT_EQ(flash.alpha, 1.0f);
}

TEST_F(AtmosphereSpriteTest, GrassSwaysAboutItsRoot)
{
    for (float amplitude : {0.0f, 3.0f, 30.0f, 90.0f, 200.0f}) {
        SCOPED_TRACE(amplitude);
        DS_GrassConstructor grass;
        grass.swayAmplitude = amplitude;
        SpriteParticle blade = SpriteAt(0.0f, 0.0f, 5.0f, 40.0f);
        grass.InitSprite(blade);
        EXPECT_EQ(blade.position.y, 560.0f) << "standing on the bottom edge";
        const float root = blade.velocity.z;
        for (int frame = 0; frame < 50; ++frame) {
            StepClock(grass, 0.1f);
            grass.UpdateSprite(blade);
            ASSERT_TRUE(std::isfinite(blade.position.x));
            ASSERT_TRUE(std::isfinite(blade.axisY.x));
            EXPECT_LE(std::fabs(blade.axisY.x), kMaxSpriteShear);
            // The foot, position + axisY x h, stays at the root.
            EXPECT_NEAR(blade.position.x + blade.axisY.x * blade.halfHeight, root, 0.01f);
            if (amplitude == 0.0f) {
                EXPECT_NEAR(blade.axisY.x, 0.0f, 1e-5f) << "upright";
            }
        }
    }
}

TEST_F(AtmosphereSpriteTest, TheTimelineFadesGrassOnlyInClockModeOne)
{
    DS_GrassConstructor grass;
    EXPECT_EQ(grass.timing.clockMode.value, 2);
    sprite_test::HoldTimeline(grass, kTimingRising, 0.5f);
    EXPECT_EQ(grass.ApplyTimingAlpha(0xFF102030u), 0xFF102030u);
    grass.timing.clockMode.StoreValue(1);
    EXPECT_EQ(grass.ApplyTimingAlpha(0xFF102030u), 0x7F102030u);
}

// ---- stored sections ----------------------------------------------------------

TEST_F(AtmosphereSpriteTest, StoredSections)
{
    {
        DocumentWriter w;
        WriteGodRay(w, {1, 135, {}});
        auto read = ReadObjectAs<DS_GodRayConstructor>(w.Bytes());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->rayAngle.value, 135u);
    }
    {
        DocumentWriter w;
        WriteSparkle(w, {});
        EXPECT_NE(ReadObjectAs<DS_SparkleConstructor>(w.Bytes()), nullptr);
    }
    {
        DocumentWriter w;
        WriteFog(w, {1, 11.0f, 22.0f, {}});
        auto read = ReadObjectAs<DS_FogConstructor>(w.Bytes());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->maxSpeedX, 11.0f);
        EXPECT_EQ(read->maxSpeedY, 22.0f);
    }
    {
        DocumentWriter w;
        WriteGrass(w, {1, 7.5f, {}});
        auto read = ReadObjectAs<DS_GrassConstructor>(w.Bytes());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->swayAmplitude, 7.5f);
    }
    // Version 1 has no intervals; either way a read lighting object runs on a
    // random timeline without timing flag 0.
    for (std::int32_t version : {1, 2}) {
        SCOPED_TRACE(version);
        LightingFields fields{version, 30, 60, {}};
        fields.sprite.view.base.timing.flags = 3;
        DocumentWriter w;
        WriteLighting(w, fields);
        auto read = ReadObjectAs<DS_LightingConstructor>(w.Bytes());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->minInterval.value, version == 2 ? 30u : 100u);
        EXPECT_EQ(read->maxInterval.value, version == 2 ? 60u : 500u);
        EXPECT_EQ(read->timing.flags, 2);
        EXPECT_EQ(read->timing.Selector(), 1);
        EXPECT_NE(dynamic_cast<KXI_RandomTimeLine*>(read->timing.CurrentTimeline()), nullptr);
    }
}

} // namespace
} // namespace sprite_object_test

// Direction and sector parameters: vectors that follow the angle, and random
// directions that stay within the sector.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "objectmodel/DirectionParams.h"
#include "platform/crt/Random.h"

namespace {

constexpr float kTolerance = 1e-6f;

void ExpectVec4Near(const math::Vec4& actual, const math::Vec4& expected)
{
    EXPECT_NEAR(actual.x, expected.x, kTolerance);
    EXPECT_NEAR(actual.y, expected.y, kTolerance);
    EXPECT_NEAR(actual.z, expected.z, kTolerance);
    EXPECT_NEAR(actual.w, expected.w, kTolerance);
}

TEST(CompoundDirection, VectorsFollowTheAngle)
{
    struct Case {
        std::uint32_t angle;
        math::Vec4 direction;
        math::Vec4 normal;
    };
    const float half = std::sqrt(0.5f);
    const Case cases[] = {
        {0, {1, 0, 0, 0}, {0, 1, 0, 0}},
        {45, {half, half, 0, 0}, {-half, half, 0, 0}},
        {90, {0, 1, 0, 0}, {-1, 0, 0, 0}},
        {180, {-1, 0, 0, 0}, {0, -1, 0, 0}},
        {270, {0, -1, 0, 0}, {1, 0, 0, 0}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.angle);
        MediaDirection constructed(test.angle);
        ExpectVec4Near(constructed.Direction(), test.direction);
        ExpectVec4Near(constructed.Normal(), test.normal);

        MediaDirection changed;
        changed.SetChangedValue(test.angle, nullptr);
        ExpectVec4Near(changed.Direction(), test.direction);
        ExpectVec4Near(changed.Normal(), test.normal);
    }
}

TEST(CompoundDirection, QuietSetMovesTheVectorsDirectStoreWaits)
{
    MediaDirection direction(0);
    direction.QuietSet(90);
    ExpectVec4Near(direction.Direction(), {0, 1, 0, 0});

    direction.StoreValue(180);
    ExpectVec4Near(direction.Direction(), {0, 1, 0, 0});
    direction.UpdateVectors();
    ExpectVec4Near(direction.Direction(), {-1, 0, 0, 0});
}

TEST(CompoundDirection, CopyWatchesItsOwnAngle)
{
    MediaDirection original(90);
    MediaDirection copy(original);
    ExpectVec4Near(copy.Direction(), {0, 1, 0, 0});
    copy.SetValue(180, nullptr);
    ExpectVec4Near(copy.Direction(), {-1, 0, 0, 0});
    ExpectVec4Near(original.Direction(), {0, 1, 0, 0});
    original.SetValue(0, nullptr);
    ExpectVec4Near(original.Direction(), {1, 0, 0, 0});
    ExpectVec4Near(copy.Direction(), {-1, 0, 0, 0});

    MediaSector sector(10, 20);
    MediaSector sectorCopy(sector);
    EXPECT_EQ(sectorCopy.value, 10u);
    EXPECT_EQ(sectorCopy.spread.value, 20u);
}

TEST(CompoundDirection, SectorTurnsTheOtherWay)
{
    MediaSector sector(90, 0);
    const math::Vec3 down = sector.RandomDirection();
    EXPECT_NEAR(down.x, 0.0f, kTolerance);
    EXPECT_NEAR(down.y, -1.0f, kTolerance);
    EXPECT_EQ(down.z, 0.0f);

    // The ends of the spread: r = 0 gives centre - spread, r = 1 centre + spread.
    sector.SetValue(0, nullptr);
    sector.spread.SetValue(90, nullptr);
    const math::Vec3 low = sector.DirectionAt(0.0f);  // angle -90: 360 - (-90)
    const math::Vec3 high = sector.DirectionAt(1.0f); // angle +90: 360 - 90
    EXPECT_NEAR(low.x, 0.0f, kTolerance);
    EXPECT_NEAR(low.y, 1.0f, kTolerance);
    EXPECT_NEAR(high.x, 0.0f, kTolerance);
    EXPECT_NEAR(high.y, -1.0f, kTolerance);
}

// The offset from the centre of a sector direction, in degrees, in (-180, 180].
float OffsetFromCentre(const math::Vec3& direction, float centreDegrees)
{
    const float angle = -std::atan2(direction.y, direction.x) * 180.0f / 3.1415927f;
    float offset = std::fmod(angle - centreDegrees, 360.0f);
    if (offset > 180.0f)
        offset -= 360.0f;
    if (offset <= -180.0f)
        offset += 360.0f;
    return offset;
}

TEST(CompoundDirection, RandomDirectionsStayWithinTheSpread)
{
    struct Case {
        std::uint32_t centre;
        std::uint32_t spread;
    };
    const Case cases[] = {{30, 45}, {300, 10}, {0, 170}};
    crt::srand(1);
    for (const Case& test : cases) {
        SCOPED_TRACE(test.centre);
        MediaSector sector(test.centre, test.spread);
        const float spread = static_cast<float>(test.spread);
        float lowest = 180.0f, highest = -180.0f;
        for (int i = 0; i < 2000; ++i) {
            const math::Vec3 direction = sector.RandomDirection();
            EXPECT_NEAR(std::hypot(direction.x, direction.y), 1.0f, 1e-5f);
            const float offset = OffsetFromCentre(direction, static_cast<float>(test.centre));
            EXPECT_LE(std::fabs(offset), spread + 1e-3f);
            lowest = std::min(lowest, offset);
            highest = std::max(highest, offset);
        }
        // Both sides of the centre are reached.
        EXPECT_LT(lowest, -0.9f * spread);
        EXPECT_GT(highest, 0.9f * spread);
    }
}

TEST(CompoundDirection, RandomDirectionUsesOneDrawOfTheScenesSequence)
{
    MediaSector sector(0, 30);
    crt::srand(5);
    const math::Vec3 drawn = sector.RandomDirection();
    crt::srand(5);
    const float r = static_cast<float>(crt::rand()) / 32767.0f;
    const math::Vec3 expected = sector.DirectionAt(r);
    EXPECT_EQ(drawn.x, expected.x);
    EXPECT_EQ(drawn.y, expected.y);
}

} // namespace

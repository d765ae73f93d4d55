// Placed objects, flowers and discharges: bounds that follow the turned
// sprite (bounded conversions for any stored size), the view quad and hit
// test, the centring by the keep-id flag, the flower's fixed foot, the
// discharge's random frames, and the stored sections.

#include <cmath>
#include <limits>

#include "objects/PlacedSpriteConstructors.h"
#include "render/RenderObject.h"
#include "platform/crt/Random.h"
#include "tests/objects/SpriteObjectTestSupport.h"
#include "tests/support/SpriteObjectWriter.h"

namespace sprite_object_test {
namespace {

using namespace sprite_object_writer;

class PlacedSpriteTest : public SpriteObjectTest {};

struct Bounds {
    int left, right, top, bottom;
    bool operator==(const Bounds&) const = default;
};

Bounds BoundsOf(const DS_StatObjConstructor& placed)
{
    return {placed.bounds.left.value, placed.bounds.right.value, placed.bounds.top.value, placed.bounds.bottom.value};
}

// A sprite of half extents (50, 20) at (400, 300): size 100, picture
// height-to-width ratio 0.4.
SpriteParticle PlacedSprite(DS_StatObjConstructor& placed, float sizeFactor = 1.0f)
{
    placed.bounds.centreX.StoreValue(400);
    placed.bounds.centreY.StoreValue(300);
    placed.spriteSize.StoreValue(100);
    SpriteParticle sprite;
    sprite.aspect = 0.4f;
    sprite.sizeFactor = sizeFactor;
    placed.InitSprite(sprite);
    return sprite;
}

TEST_F(PlacedSpriteTest, BoundsFollowTheTurnedSprite)
{
    struct Case {
        std::uint32_t angle;
        Bounds bounds;
    };
    const Case cases[] = {{0, {350, 450, 280, 320}}, {90, {380, 420, 250, 350}}, {180, {350, 450, 280, 320}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        DS_StatObjConstructor placed;
        placed.angle.StoreValue(c.angle);
        const SpriteParticle sprite = PlacedSprite(placed);
        EXPECT_EQ(sprite.position.x, 400.0f);
        EXPECT_EQ(sprite.position.y, 300.0f);
        EXPECT_EQ(BoundsOf(placed), c.bounds);
    }
    // 90 degrees counter-clockwise on the screen: x turns up.
    DS_StatObjConstructor placed;
    placed.angle.StoreValue(90);
    const SpriteParticle sprite = PlacedSprite(placed);
    EXPECT_NEAR(sprite.axisX.x, 0.0f, 1e-6f);
    EXPECT_NEAR(sprite.axisX.y, -1.0f, 1e-6f);
}

// Stored sizes and size factors can be anything: the edges are bounded
// conversions (beyond the int range clamped, a NaN giving 0).
TEST_F(PlacedSpriteTest, BoundsOfAnySizeAreBoundedConversions)
{
    DS_StatObjConstructor placed;
    PlacedSprite(placed, 1.0e30f);
    EXPECT_EQ(BoundsOf(placed), (Bounds{std::numeric_limits<int>::min(), std::numeric_limits<int>::max(),
                                        std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}));
    PlacedSprite(placed, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(BoundsOf(placed), (Bounds{0, 0, 0, 0}));
}

TEST_F(PlacedSpriteTest, ViewQuadAndHitTestAreTheBounds)
{
    DS_StatObjConstructor placed;
    PlacedSprite(placed);
    QuadVertices quad;
    placed.GetViewQuad(quad);
    const float expected[4][2] = {{350, 320}, {350, 280}, {450, 320}, {450, 280}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(quad.vertices[i].x, expected[i][0]) << i;
        EXPECT_EQ(quad.vertices[i].y, expected[i][1]) << i;
    }
    // Without a render context nothing is hit.
    EXPECT_FALSE(placed.HitTest(400.0f, 300.0f));
}

TEST_F(PlacedSpriteTest, TheFirstRenderObjectCentresItOnceByTheKeepIdFlag)
{
    DS_StatObjConstructor placed;
    placed.bounds.centreX.StoreValue(10);
    placed.bounds.centreY.StoreValue(20);
    placed.keepId = 1;
    placed.CreateRenderObject();
    EXPECT_EQ(placed.bounds.centreX.value, 10);
    placed.keepId = 0;
    placed.CreateRenderObject();
    EXPECT_EQ(placed.bounds.centreX.value, 400);
    EXPECT_EQ(placed.bounds.centreY.value, 300);
    EXPECT_EQ(placed.keepId, 1);
}

// The foot of the picture, centre + turn x (0, h), stays fixed while the
// head sways with the object clock; at any angle.
TEST_F(PlacedSpriteTest, AFlowersFootStaysFixedWhileItSways)
{
    for (std::uint32_t angle : {0u, 30u, 90u}) {
        SCOPED_TRACE(angle);
        DS_FlowerConstructor flower;
        flower.swayAmplitude = 20.0f;
        flower.angle.StoreValue(angle);
        SpriteParticle sprite = PlacedSprite(flower);
        const float h = sprite.halfHeight;
        const math::Vec3 foot{400.0f + sprite.axisY.x * h, 300.0f + sprite.axisY.y * h, 0.0f};
        float swing = 0.0f;
        for (int frame = 0; frame < 40; ++frame) {
            flower.objectClock += 0.1f;
            flower.UpdateSprite(sprite);
            EXPECT_NEAR(sprite.position.x + sprite.axisY.x * h, foot.x, 1e-3f);
            EXPECT_NEAR(sprite.position.y + sprite.axisY.y * h, foot.y, 1e-3f);
            swing = std::max(swing, std::fabs(sprite.position.x - 400.0f) + std::fabs(sprite.position.y - 300.0f));
        }
        EXPECT_GT(swing, 1.0f) << "the head swayed";
    }
    DS_FlowerConstructor flower;
    EXPECT_EQ(flower.timing.clockMode.value, 2);
    EXPECT_EQ(flower.category, 6);
    EXPECT_EQ(flower.ApplyTimingAlpha(0xFF000000u), 0xFF000000u);
}

TEST_F(PlacedSpriteTest, ADischargeNeverShowsAFrameTwiceInARow)
{
    DS_DischargeConstructor discharge;
    discharge.frameCount = 4;
    crt::srand(1);
    std::uint32_t frame = 0;
    bool seen[4] = {};
    for (int i = 0; i < 200; ++i) {
        const std::uint32_t next = discharge.NextFrameIndex(frame);
        ASSERT_LT(next, 4u);
        EXPECT_NE(next, frame);
        seen[next] = true;
        frame = next;
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2] && seen[3]);
    // An index at or beyond the count is simply left.
    EXPECT_LT(discharge.NextFrameIndex(9), 4u);
    // No other frame to choose: frame 0, without looping for ever.
    for (std::uint32_t count : {0u, 1u}) {
        discharge.frameCount = count;
        EXPECT_EQ(discharge.NextFrameIndex(0), 0u);
        EXPECT_EQ(discharge.NextFrameIndex(5), 0u);
    }
    EXPECT_FALSE(discharge.CountLimitReached(100));
}

TEST_F(PlacedSpriteTest, StoredSectionsOfEveryVersion)
{
    StatObjFields stat;
    stat.bounds = {1, 2, 3, 4, 5, 6};
    stat.angle = 33;
    stat.flipV = 1;
    stat.flipU = 0;
    stat.sprite.version = 4; // no flips of its own
    stat.sprite.spriteCount = 2;
    // Version 1 stores flip-v and flip-u after the angle.
    for (std::int32_t version : {1, 2}) {
        SCOPED_TRACE(version);
        stat.version = version;
        DocumentWriter w;
        WriteStatObj(w, stat);
        auto read = ReadObjectAs<DS_StatObjConstructor>(w.Bytes());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(BoundsOf(*read), (Bounds{1, 2, 3, 4}));
        EXPECT_EQ(read->bounds.centreX.value, 5);
        EXPECT_EQ(read->bounds.centreY.value, 6);
        EXPECT_EQ(read->angle.value, 33u);
        EXPECT_EQ(read->flipV.value, version == 1 ? 1 : 0);
        EXPECT_EQ(read->flipU.value, 0);
        EXPECT_EQ(read->spriteCount.value, 2u);
    }
    stat.version = 2;
    {
        DocumentWriter w;
        WriteFlower(w, {1, 4.5f, stat});
        auto read = ReadObjectAs<DS_FlowerConstructor>(w.Bytes());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->swayAmplitude, 4.5f);
        EXPECT_EQ(read->angle.value, 33u);
    }
    {
        DocumentWriter w;
        WriteDischarge(w, {1, stat});
        auto read = ReadObjectAs<DS_DischargeConstructor>(w.Bytes());
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->bounds.centreY.value, 6);
    }
}

} // namespace
} // namespace sprite_object_test

// The generators' render object and quad builders: layers that grow only,
// the cap and out-of-range calls, the particle quad colour, the builders.

#include <gtest/gtest.h>

#include "objectmodel/ShapeParams.h"
#include "particles/generators/ParticlesObj.h"
#include "particles/generators/QuadBuilders.h"
#include "platform/math/MathFunctions.h"
#include "tests/particles/generators/GeneratorTestSupport.h"
#include "tests/render/QuadTestSupport.h"

namespace {

using generator_test::TestTexGenerator;

class ParticlesObjTest : public quad_test::DeviceFixture {
protected:
    DS_ParticlesObj MakeObject(std::size_t layers)
    {
        auto generator = std::make_unique<TestTexGenerator>();
        generator->layers.assign(layers, {});
        return DS_ParticlesObj(std::move(generator));
    }
};

TEST_F(ParticlesObjTest, ALayerKeepsItsBufferWhenItShrinksAndGrowsBack)
{
    DS_ParticlesObj object = MakeObject(1);
    object.ResizeLayer(0, 100);
    const gfx::VertexBuffer* buffer = object.Layer(0)->vertices.Buffer();
    ASSERT_NE(buffer, nullptr);
    object.ResizeLayer(0, 10);
    EXPECT_EQ(object.QuadCount(0), 10);
    EXPECT_EQ(object.QuadRects(0)->size(), 10u);
    object.ResizeLayer(0, 100);
    EXPECT_EQ(object.Layer(0)->vertices.Buffer(), buffer);
    EXPECT_EQ(object.Layer(0)->QuadCapacity(), 100);
    object.ResizeLayer(0, 101);
    EXPECT_EQ(object.Layer(0)->QuadCapacity(), 101);
}

TEST_F(ParticlesObjTest, LayersHoldAtMostTheCapAndIgnoreCallsOutsideThem)
{
    DS_ParticlesObj object = MakeObject(1);
    object.ResizeLayer(0, 100000);
    EXPECT_EQ(object.QuadCount(0), DS_ParticlesObj::kMaxLayerQuads);
    EXPECT_EQ(object.Layer(0)->QuadCapacity(), DS_ParticlesObj::kMaxLayerQuads);
    object.ResizeLayer(0, -5);
    EXPECT_EQ(object.QuadCount(0), 0);

    object.ResizeLayer(0, 2);
    object.ResizeLayer(1, 2); // no such layer
    EXPECT_FALSE(object.LockLayer(1));
    ASSERT_TRUE(object.LockLayer(0));
    const GenQuad quad = BuildQuadCorners({5, 5, 0}, 2, 2);
    for (const std::int32_t index : {-1, 2, 3, 1000000})
        object.SetQuad(0, index, quad); // past the count: nothing is written
    object.SetQuad(3, 0, quad);
    object.SetQuad(0, 1, quad);
    object.UnlockLayer(0);
    EXPECT_EQ((*object.QuadRects(0))[1], (BoundingRect{4, 4, 2, 2}));
    EXPECT_EQ((*object.QuadRects(0))[0], BoundingRect{});
}

TEST_F(ParticlesObjTest, AFailedLockUnlocksTheLayersLockedBeforeIt)
{
    DS_ParticlesObj object = MakeObject(2);
    object.ResizeLayer(0, 4);
    // Layer 1 has no buffer: its lock fails.
    EXPECT_FALSE(object.LockLayers(0, 1));
    EXPECT_EQ(object.Layer(0)->vertices.Locked(), nullptr);
}

TEST_F(ParticlesObjTest, ParticleQuadsTakeTheColourRule)
{
    struct Case {
        float opacity;
        COLORREF colour;
        std::uint32_t opacityValue;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {0.5f, 0xFFFFFF, 0, 0x80FFFFFFu},  // 0.5 x 255 + 0.5 = 128
        {1.0f, 0x0000FF, 0, 0xFFFF0000u},  // red moves to bits 16-23
        {1.0f, 0xFF0000, 100, 0x000000FFu}, // fully transparent
    };
    DS_ParticlesObj object = MakeObject(1);
    object.ResizeLayer(0, 1);
    for (const Case& c : cases) {
        GenParticle particle;
        particle.Init(10, 10, 0);
        particle.channels[GenParticle::kOpacity] = c.opacity;
        ColorAndOpacity colour;
        colour.colour.value = c.colour;
        colour.opacity.SetValue(c.opacityValue, nullptr);
        ASSERT_TRUE(object.LockLayer(0));
        object.SetParticleQuad(0, 0, particle, 4.0f, 1.0f, colour);
        object.UnlockLayer(0);
        const auto vertices = quad_test::BufferRecords<QuadBatchVertex>(object.Layer(0)->vertices.Buffer());
        ASSERT_GE(vertices.size(), 4u);
        for (std::size_t v = 0; v < 4; ++v)
            EXPECT_EQ(vertices[v].colour, c.expected) << quad_test::Hex(vertices[v].colour);
        EXPECT_EQ((*object.QuadRects(0))[0], (BoundingRect{8, 8, 4, 4}));
    }
}

TEST_F(ParticlesObjTest, BoundingRectanglesComeLayerByLayer)
{
    DS_ParticlesObj empty = MakeObject(0);
    BoundingRectList none;
    EXPECT_FALSE(empty.AddBoundingRect(none));
    EXPECT_TRUE(none.empty());

    DS_ParticlesObj object = MakeObject(2);
    object.ResizeLayer(0, 1);
    object.ResizeLayer(1, 2);
    BoundingRectList list;
    object.AddBoundingRect(list);
    EXPECT_EQ(list.size(), 3u);
}

void ExpectSamePositions(const GenQuad& a, const GenQuad& b)
{
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(a[i].x, b[i].x) << "vertex " << i;
        EXPECT_FLOAT_EQ(a[i].y, b[i].y) << "vertex " << i;
        EXPECT_FLOAT_EQ(a[i].z, b[i].z) << "vertex " << i;
    }
}

TEST(QuadBuilderTest, BuildersAgreeOnTheCornerOrder)
{
    const math::Vec3 centre{10, 20, 3};
    const GenQuad corners = BuildQuadCorners(centre, 4, 6);
    EXPECT_EQ(corners[0].u, 0.0f);
    EXPECT_EQ(corners[0].v, 1.0f);
    EXPECT_EQ(corners[3].u, 1.0f);
    EXPECT_EQ(corners[3].v, 0.0f);
    EXPECT_EQ(corners[0].colour, kOpaqueWhite);

    MediaQuad rectangle;
    rectangle.SetRectangle(4, 6, centre);
    ExpectSamePositions(BuildQuadFromCorners(rectangle), corners);
    ExpectSamePositions(BuildCornerQuad({8, 17, 3}, 4, 6), corners);
    ExpectSamePositions(BuildAnchoredQuadCorners(centre, {4, 0, 0}, {0, 6, 0}, 1.0f), corners);
}

TEST(QuadBuilderTest, ARotatedQuadAtHalfPiSwapsWidthAndHeight)
{
    math::Matrix rotation;
    math::MatrixRotationZ(&rotation, 1.5707964f);
    math::Vec3 u, v;
    math::Vec3TransformCoord(&u, {8, 0, 0}, rotation);
    math::Vec3TransformCoord(&v, {0, 2, 0}, rotation);
    const BoundingRect bounds = QuadBounds(BuildAnchoredQuadCorners({0, 0, 0}, u, v, 1.0f));
    EXPECT_NEAR(bounds.width, 2.0f, 1e-5f);
    EXPECT_NEAR(bounds.height, 8.0f, 1e-5f);
}

TEST(QuadBuilderTest, SegmentQuadsAreBandsAlongTheirSegment)
{
    const GenQuad band = BuildSegmentQuad({0, 0, 0}, {10, 0, 0}, 10, 4, 2);
    EXPECT_FLOAT_EQ(band[0].y, 2.0f);
    EXPECT_FLOAT_EQ(band[1].y, -2.0f);
    EXPECT_FLOAT_EQ(band[2].y, 1.0f);
    EXPECT_FLOAT_EQ(band[3].x, 10.0f);
    // A zero length collapses onto the start instead of giving NaN.
    for (const QuadBatchVertex& vertex : BuildSegmentQuad({3, 4, 0}, {0, 0, 0}, 0, 4, 4)) {
        EXPECT_EQ(vertex.x, 3.0f);
        EXPECT_EQ(vertex.y, 4.0f);
    }
}

} // namespace

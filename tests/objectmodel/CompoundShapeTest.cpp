// Quads and rectangles: corner layout and the rectangle's hit test through
// the render layer's inverse matrices.

#include <gtest/gtest.h>

#include "objectmodel/ShapeParams.h"
#include "platform/math/MathFunctions.h"

namespace {

void ExpectVec3Eq(const math::Vec3& actual, const math::Vec3& expected)
{
    EXPECT_EQ(actual.x, expected.x);
    EXPECT_EQ(actual.y, expected.y);
    EXPECT_EQ(actual.z, expected.z);
}

TEST(CompoundShape, QuadLaysOutARectangleAroundItsCentre)
{
    MediaQuad quad;
    for (const auto& corner : quad.corners)
        ExpectVec3Eq(corner.value, {0, 0, 0});

    quad.SetRectangle(100.0f, 50.0f, {10.0f, 20.0f, 3.0f});
    ExpectVec3Eq(quad.corners[0].value, {-40.0f, -5.0f, 3.0f}); // left-top
    ExpectVec3Eq(quad.corners[1].value, {-40.0f, 45.0f, 3.0f}); // left-bottom
    ExpectVec3Eq(quad.corners[2].value, {60.0f, -5.0f, 3.0f});  // right-top
    ExpectVec3Eq(quad.corners[3].value, {60.0f, 45.0f, 3.0f});  // right-bottom

    MediaQuad copy(quad);
    ExpectVec3Eq(copy.corners[3].value, {60.0f, 45.0f, 3.0f});
}

CanvasInverseTransforms Identity()
{
    return CanvasInverseTransforms{};
}

MediaRectangle Rectangle(int left, int right, int top, int bottom)
{
    MediaRectangle rectangle;
    rectangle.left.QuietSet(left);
    rectangle.right.QuietSet(right);
    rectangle.top.QuietSet(top);
    rectangle.bottom.QuietSet(bottom);
    return rectangle;
}

TEST(CompoundShape, RectangleContainsItsBounds)
{
    const MediaRectangle rectangle = Rectangle(10, 20, 30, 40);
    struct Case {
        float x, y;
        bool inside;
    };
    const Case cases[] = {
        {15, 35, true},   {10, 30, true},     {20, 40, true}, // edges belong to it
        {9.99f, 35, false}, {20.01f, 35, false}, {15, 29.99f, false}, {15, 40.01f, false},
    };
    for (const Case& test : cases)
        EXPECT_EQ(rectangle.ContainsPoint(test.x, test.y, Identity()), test.inside) << test.x << ", " << test.y;
}

TEST(CompoundShape, HitTestTakesThePointToTheCanvasViewFirst)
{
    // The view halves target coordinates, then the scene shifts them by
    // (+100, 0): target (40, 60) lands on canvas (120, 30).
    CanvasInverseTransforms transforms;
    math::MatrixScaling(&transforms.inverseView, 0.5f, 0.5f, 1.0f);
    math::MatrixTranslation(&transforms.inverseScene, 100.0f, 0.0f, 0.0f);
    EXPECT_TRUE(Rectangle(115, 125, 25, 35).ContainsPoint(40.0f, 60.0f, transforms));
    // Applying the scene before the view would give (70, 30).
    EXPECT_FALSE(Rectangle(65, 75, 25, 35).ContainsPoint(40.0f, 60.0f, transforms));
}

bool g_haveContext = false;

bool TestProvider(CanvasInverseTransforms& out)
{
    if (!g_haveContext)
        return false;
    math::MatrixTranslation(&out.inverseView, 0.0f, 0.0f, 0.0f);
    math::MatrixTranslation(&out.inverseScene, -5.0f, -5.0f, 0.0f);
    return true;
}

TEST(CompoundShape, HitTestAsksTheInstalledProvider)
{
    const MediaRectangle rectangle = Rectangle(0, 10, 0, 10);
    CanvasTransformProvider previous = SetCanvasTransformProvider(nullptr);
    EXPECT_FALSE(rectangle.ContainsPoint(5.0f, 5.0f)); // no render layer

    SetCanvasTransformProvider(&TestProvider);
    g_haveContext = false;
    EXPECT_FALSE(rectangle.ContainsPoint(5.0f, 5.0f)); // no current context
    g_haveContext = true;
    EXPECT_TRUE(rectangle.ContainsPoint(15.0f, 15.0f));
    EXPECT_FALSE(rectangle.ContainsPoint(2.0f, 2.0f));
    SetCanvasTransformProvider(previous);
}

TEST(CompoundShape, RectangleCopiesItsSixValues)
{
    MediaRectangle rectangle = Rectangle(1, 2, 3, 4);
    rectangle.centreX.StoreValue(5);
    rectangle.centreY.StoreValue(6);
    const MediaRectangle copy(rectangle);
    EXPECT_EQ(copy.left.value, 1);
    EXPECT_EQ(copy.right.value, 2);
    EXPECT_EQ(copy.top.value, 3);
    EXPECT_EQ(copy.bottom.value, 4);
    EXPECT_EQ(copy.centreX.value, 5);
    EXPECT_EQ(copy.centreY.value, 6);
    EXPECT_EQ(copy.left.undo.Current(), 1);

    MediaRectangle defaults;
    EXPECT_EQ(defaults.left.value, 0);
    EXPECT_EQ(defaults.centreY.value, 0);
}

} // namespace

#include "platform/math/MathFunctions.h"

#include "MathTestSupport.h"

namespace {

using math::Matrix;
using math::Vec2;
using math::Vec3;
using math::Vec4;
using mathtest::Near;

TEST(Vector, OperatorsWorkComponentWise)
{
    EXPECT_EQ((Vec3{1, 2, 3} + Vec3{10, 20, 30}), (Vec3{11, 22, 33}));
    EXPECT_EQ((Vec3{1, 2, 3} - Vec3{1, 1, 1}), (Vec3{0, 1, 2}));
    EXPECT_EQ((2.0f * Vec2{1, -2}), (Vec2{2, -4}));
    EXPECT_EQ((Vec4{2, 4, 6, 8} / 2.0f), (Vec4{1, 2, 3, 4}));
    EXPECT_EQ((-Vec3{1, -2, 3}), (Vec3{-1, 2, -3}));
}

TEST(Vector, LengthsDotsAndCross)
{
    EXPECT_FLOAT_EQ(math::Vec2Length({3, 4}), 5.0f);
    EXPECT_FLOAT_EQ(math::Vec3LengthSq({1, 2, 2}), 9.0f);
    EXPECT_FLOAT_EQ(math::Vec3Length({1, 2, 2}), 3.0f);
    EXPECT_FLOAT_EQ(math::Vec4Length({1, 1, 1, 1}), 2.0f);
    EXPECT_FLOAT_EQ(math::Vec3Dot({1, 2, 3}, {4, -5, 6}), 12.0f);
    EXPECT_FLOAT_EQ(math::Vec4Dot({1, 2, 3, 4}, {1, 1, 1, 1}), 10.0f);

    Vec3 cross;
    EXPECT_EQ(*math::Vec3Cross(&cross, {1, 0, 0}, {0, 1, 0}), (Vec3{0, 0, 1}));
    Vec3 a{1, 2, 3};
    math::Vec3Cross(&a, a, {4, 5, 6}); // aliasing the output
    EXPECT_EQ(a, (Vec3{-3, 6, -3}));
}

TEST(Vector, NormalizeGivesUnitLengthAndKeepsZeroAtZero)
{
    Vec3 v3;
    EXPECT_TRUE(Near(*math::Vec3Normalize(&v3, {0, 3, 4}), {0, 0.6f, 0.8f}));
    EXPECT_EQ(*math::Vec3Normalize(&v3, {0, 0, 0}), (Vec3{0, 0, 0}));
    Vec2 v2{5, 5};
    EXPECT_EQ(*math::Vec2Normalize(&v2, {0, 0}), (Vec2{0, 0}));
    Vec4 v4;
    EXPECT_EQ(*math::Vec4Normalize(&v4, {0, 0, 0, 0}), (Vec4{}));
    EXPECT_TRUE(Near(*math::Vec4Normalize(&v4, {2, 0, 0, 0}), {1, 0, 0, 0}));
}

TEST(Vector, LerpInterpolatesAndExtrapolates)
{
    Vec3 out;
    EXPECT_TRUE(Near(*math::Vec3Lerp(&out, {0, 10, -4}, {10, 20, 4}, 0.25f), {2.5f, 12.5f, -2}));
    EXPECT_TRUE(Near(*math::Vec3Lerp(&out, {0, 0, 0}, {1, 2, 3}, 2.0f), {2, 4, 6}));
    Vec2 out2;
    EXPECT_TRUE(Near(*math::Vec2Lerp(&out2, {1, 1}, {3, 5}, 0.5f), {2, 3}));
    Vec4 out4;
    EXPECT_TRUE(Near(*math::Vec4Lerp(&out4, {0, 0, 0, 0}, {4, 4, 4, 4}, 0.75f), {3, 3, 3, 3}));
}

// Transform uses w = 1, TransformNormal w = 0 (no translation), TransformCoord divides by w.
TEST(VectorTransform, PointsNormalsAndHomogeneousCoordinates)
{
    Matrix m, scale, move;
    math::MatrixScaling(&scale, 2, 2, 2);
    math::MatrixTranslation(&move, 1, 2, 3);
    m = scale * move;

    Vec4 v4;
    EXPECT_TRUE(Near(*math::Vec3Transform(&v4, {1, 1, 1}, m), {3, 4, 5, 1}));
    EXPECT_TRUE(Near(*math::Vec4Transform(&v4, {1, 1, 1, 0}, m), {2, 2, 2, 0}));
    EXPECT_TRUE(Near(*math::Vec2Transform(&v4, {1, 1}, m), {3, 4, 3, 1}));

    Vec3 v3;
    EXPECT_TRUE(Near(*math::Vec3TransformNormal(&v3, {1, 0, 0}, m), {2, 0, 0}));
    Vec2 v2;
    EXPECT_TRUE(Near(*math::Vec2TransformNormal(&v2, {0, 1}, m), {0, 2}));
    EXPECT_TRUE(Near(*math::Vec2TransformCoord(&v2, {1, 1}, m), {3, 4}));

    // A matrix that writes w = 2 halves the coordinates.
    Matrix homogeneous;
    homogeneous.m[3][3] = 2;
    EXPECT_TRUE(Near(*math::Vec3TransformCoord(&v3, {4, 6, 8}, homogeneous), {2, 3, 4}));
}

TEST(VectorTransform, CoordWithZeroWStaysFinite)
{
    Matrix zeroW;
    zeroW.m[3][3] = 0;
    Vec3 out;
    math::Vec3TransformCoord(&out, {1, 2, 3}, zeroW);
    EXPECT_EQ(out, (Vec3{1, 2, 3}));
    Vec2 out2;
    math::Vec2TransformCoord(&out2, {1, 2}, zeroW);
    EXPECT_EQ(out2, (Vec2{1, 2}));
}

TEST(VectorTransform, OutputMayAliasTheInput)
{
    Matrix rotate;
    math::MatrixRotationZ(&rotate, math::kPi / 2);
    Vec3 v{1, 0, 0};
    math::Vec3TransformCoord(&v, v, rotate);
    EXPECT_TRUE(Near(v, {0, 1, 0}));
    Vec4 w{1, 0, 0, 1};
    math::Vec4Transform(&w, w, rotate);
    EXPECT_TRUE(Near(w, {0, 1, 0, 1}));
}

TEST(Angles, DegreesToRadians)
{
    EXPECT_FLOAT_EQ(math::ToRadian(180.0f), math::kPi);
    EXPECT_FLOAT_EQ(math::ToRadian(-90.0f), -math::kPi / 2);
}

} // namespace

#include "platform/math/MathFunctions.h"

#include "MathTestSupport.h"

namespace {

using math::Matrix;
using math::Vec3;
using math::Vec4;
using mathtest::Near;

Vec3 TransformCoord(const Vec3& v, const Matrix& m)
{
    Vec3 out;
    return *math::Vec3TransformCoord(&out, v, m);
}

Vec4 Project(const Vec3& v, const Matrix& m)
{
    Vec4 out;
    return *math::Vec3Transform(&out, v, m);
}

// Row-vector, left-handed rotations: a positive angle about an axis turns
// the next axis towards the one after it (x -> y about z, etc.).
TEST(MatrixRotation, QuarterTurnsMoveAxesAsDirect3DDoes)
{
    const float quarter = math::kPi / 2;
    const struct {
        const char* name;
        Matrix* (*rotate)(Matrix*, float);
        Vec3 in, out;
    } cases[] = {
        {"z: x -> y", math::MatrixRotationZ, {1, 0, 0}, {0, 1, 0}},
        {"z: y -> -x", math::MatrixRotationZ, {0, 1, 0}, {-1, 0, 0}},
        {"x: y -> z", math::MatrixRotationX, {0, 1, 0}, {0, 0, 1}},
        {"y: z -> x", math::MatrixRotationY, {0, 0, 1}, {1, 0, 0}},
        {"y: x -> -z", math::MatrixRotationY, {1, 0, 0}, {0, 0, -1}},
    };
    for (const auto& c : cases) {
        Matrix m;
        c.rotate(&m, quarter);
        EXPECT_TRUE(Near(TransformCoord(c.in, m), c.out)) << c.name;
    }
}

TEST(MatrixRotation, AxisRotationMatchesTheAxisMatricesAndNormalisesTheAxis)
{
    const float angle = 0.7f;
    Matrix axis, expected;
    math::MatrixRotationAxis(&axis, {0, 0, 5}, angle);
    EXPECT_TRUE(Near(axis, *math::MatrixRotationZ(&expected, angle)));
    math::MatrixRotationAxis(&axis, {-2, 0, 0}, angle);
    EXPECT_TRUE(Near(axis, *math::MatrixRotationX(&expected, -angle)));

    // A third of a turn about the diagonal cycles the axes.
    math::MatrixRotationAxis(&axis, {1, 1, 1}, 2 * math::kPi / 3);
    EXPECT_TRUE(Near(TransformCoord({1, 0, 0}, axis), {0, 1, 0}));
}

TEST(MatrixRotation, ZeroAxisGivesIdentityInsteadOfAScale)
{
    Matrix m;
    math::MatrixScaling(&m, 3, 3, 3);
    math::MatrixRotationAxis(&m, {0, 0, 0}, 1.0f);
    EXPECT_EQ(m, Matrix{});
}

TEST(MatrixMultiply, AppliesLeftOperandFirstAndAllowsAliasing)
{
    Matrix scale, move, rotate;
    math::MatrixScaling(&scale, 2, 3, 4);
    math::MatrixTranslation(&move, 10, 20, 30);
    math::MatrixRotationZ(&rotate, math::kPi / 2);

    EXPECT_TRUE(Near(TransformCoord({1, 1, 1}, scale * move), {12, 23, 34}));
    EXPECT_TRUE(Near(TransformCoord({1, 1, 1}, move * scale), {22, 63, 124}));
    EXPECT_TRUE(Near(TransformCoord({1, 0, 0}, move * rotate), {-20, 11, 30}));

    Matrix inPlace = scale;
    math::MatrixMultiply(&inPlace, inPlace, move);
    EXPECT_EQ(inPlace, scale * move);
    inPlace = move;
    math::MatrixMultiply(&inPlace, scale, inPlace);
    EXPECT_EQ(inPlace, scale * move);
}

TEST(MatrixInverse, InverseTimesOriginalIsIdentity)
{
    Matrix rotate, scale, move, look;
    math::MatrixRotationAxis(&rotate, {1, 2, 3}, 0.9f);
    math::MatrixScaling(&scale, 2, -0.5f, 4);
    math::MatrixTranslation(&move, 7, -3, 11);
    math::MatrixLookAtLH(&look, {3, 4, -5}, {0, 1, 2}, {0, 1, 0});
    const Matrix m = scale * rotate * move * look;

    Matrix inverse;
    float determinant = 0;
    ASSERT_EQ(math::MatrixInverse(&inverse, &determinant, m), &inverse);
    EXPECT_NEAR(determinant, -4.0f, 1e-4f);
    EXPECT_TRUE(Near(inverse * m, Matrix{}));
    EXPECT_TRUE(Near(m * inverse, Matrix{}));

    math::MatrixInverse(&inverse, nullptr, inverse); // in place, no determinant wanted
    EXPECT_TRUE(Near(inverse, m, 1e-4f));
}

TEST(MatrixInverse, SingularMatrixFailsAndLeavesTheOutput)
{
    Matrix flat;
    math::MatrixScaling(&flat, 1, 0, 1);
    Matrix out;
    math::MatrixTranslation(&out, 1, 2, 3);
    const Matrix before = out;
    float determinant = 99;
    EXPECT_EQ(math::MatrixInverse(&out, &determinant, flat), nullptr);
    EXPECT_EQ(determinant, 0.0f);
    EXPECT_EQ(out, before);
}

TEST(MatrixTranspose, SwapsRowsAndColumns)
{
    Matrix m;
    math::MatrixTranslation(&m, 1, 2, 3);
    Matrix t;
    math::MatrixTranspose(&t, m);
    EXPECT_EQ(t.m[0][3], 1);
    EXPECT_EQ(t.m[2][3], 3);
    EXPECT_EQ(t.m[3][0], 0);
    EXPECT_FLOAT_EQ(math::MatrixDeterminant(m), 1.0f);
}

TEST(MatrixLookAt, PutsTheEyeAtTheOriginLookingDownPositiveZ)
{
    const Vec3 eye{2, 3, -10}, at{2, 3, 0};
    Matrix view;
    math::MatrixLookAtLH(&view, eye, at, {0, 1, 0});
    EXPECT_TRUE(Near(TransformCoord(eye, view), {0, 0, 0}));
    EXPECT_TRUE(Near(TransformCoord(at, view), {0, 0, 10}));
    EXPECT_TRUE(Near(TransformCoord({3, 3, -10}, view), {1, 0, 0})); // +x stays to the right
    EXPECT_TRUE(Near(TransformCoord({2, 4, -10}, view), {0, 1, 0})); // up stays up

    // Looking along +x from the origin: world +x becomes view +z, world -z becomes view +x.
    math::MatrixLookAtLH(&view, {0, 0, 0}, {5, 0, 0}, {0, 1, 0});
    EXPECT_TRUE(Near(TransformCoord({1, 0, 0}, view), {0, 0, 1}));
    EXPECT_TRUE(Near(TransformCoord({0, 0, -1}, view), {1, 0, 0}));
}

TEST(MatrixProjection, OrthoMapsTheViewVolumeToClipSpace)
{
    Matrix ortho;
    math::MatrixOrthoLH(&ortho, 800, 600, 1, 101);
    EXPECT_TRUE(Near(TransformCoord({-400, -300, 1}, ortho), {-1, -1, 0}));
    EXPECT_TRUE(Near(TransformCoord({400, 300, 101}, ortho), {1, 1, 1}));
    EXPECT_TRUE(Near(TransformCoord({0, 0, 51}, ortho), {0, 0, 0.5f}));

    // Off-centre LH: a pixel-style box whose top is y = 0.
    math::MatrixOrthoOffCenterLH(&ortho, 0, 640, 480, 0, 0, 1);
    EXPECT_TRUE(Near(TransformCoord({0, 0, 0}, ortho), {-1, 1, 0}));
    EXPECT_TRUE(Near(TransformCoord({640, 480, 1}, ortho), {1, -1, 1}));
    EXPECT_TRUE(Near(TransformCoord({320, 240, 0.5f}, ortho), {0, 0, 0.5f}));

    // Off-centre RH: the camera looks down -z, so z = -near maps to 0 and z = -far to 1.
    math::MatrixOrthoOffCenterRH(&ortho, -2, 6, -1, 3, 1, 5);
    EXPECT_TRUE(Near(TransformCoord({-2, -1, -1}, ortho), {-1, -1, 0}));
    EXPECT_TRUE(Near(TransformCoord({6, 3, -5}, ortho), {1, 1, 1}));
}

TEST(MatrixProjection, PerspectiveMapsNearAndFarToZeroAndOne)
{
    Matrix proj;
    const float zNear = 0.5f, zFar = 200.0f, aspect = 16.0f / 9.0f;
    math::MatrixPerspectiveFovLH(&proj, math::kPi / 2, aspect, zNear, zFar);

    EXPECT_TRUE(Near(TransformCoord({0, 0, zNear}, proj), {0, 0, 0}));
    EXPECT_TRUE(Near(TransformCoord({0, 0, zFar}, proj), {0, 0, 1}));
    // At a 90-degree field of view, y = z lies on the top edge; x = z * aspect on the right edge.
    EXPECT_TRUE(Near(TransformCoord({aspect * 10, 10, 10}, proj), {1, 1, TransformCoord({0, 0, 10}, proj).z}));
    // w carries the view depth, as the rasteriser expects.
    EXPECT_NEAR(Project({0, 0, 42}, proj).w, 42.0f, 1e-5f);
}

} // namespace

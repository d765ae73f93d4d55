// The geometry helpers: rotations about a point and between vectors, and the
// random directions in an arc or a cone drawn from crt::rand().

#include <gtest/gtest.h>

#include <cmath>

#include "objectmodel/Geometry.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "tests/objectmodel/PathTestSupport.h"

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

math::Vec3 Transform(const math::Vec3& p, const math::Matrix& m)
{
    math::Vec3 out;
    math::Vec3TransformCoord(&out, p, m);
    return out;
}

// The draws rand() will give next, without disturbing the caller's sequence.
std::vector<float> NextDraws(unsigned seed, int count)
{
    crt::srand(seed);
    std::vector<float> draws;
    for (int i = 0; i < count; ++i)
        draws.push_back(static_cast<float>(crt::rand()) / 32767.0f);
    crt::srand(seed);
    return draws;
}

TEST(Geometry, ArcWithEqualLimitsPointsAtThatAngleClockwise)
{
    struct Case {
        float degrees;
        math::Vec3 expected;
    };
    const Case cases[] = {
        {0.0f, {2, 0, 0}}, {90.0f, {0, -2, 0}}, {180.0f, {-2, 0, 0}}, {270.0f, {0, 2, 0}}, {-90.0f, {0, 2, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        math::Vec3 v;
        RandomDirectionInArc(v, 2.0f, c.degrees, c.degrees);
        ExpectVecNear(v, c.expected);
    }
}

TEST(Geometry, ArcDrawsOnceAndStaysWithinItsLimits)
{
    const std::vector<float> draws = NextDraws(7, 3);
    const float from = 30.0f, to = 120.0f;
    math::Vec3 v;
    RandomDirectionInArc(v, 3.0f, from, to);
    const double phi = (draws[0] * (to - from) + from) * kDegree;
    ExpectVecNear(v, {float(3 * std::cos(phi)), float(-3 * std::sin(phi)), 0.0f});
    // Exactly one draw was taken.
    EXPECT_EQ(static_cast<float>(crt::rand()) / 32767.0f, draws[1]);

    for (int i = 0; i < 200; ++i) {
        RandomDirectionInArc(v, 3.0f, from, to);
        EXPECT_NEAR(math::Vec3Length(v), 3.0f, 1e-5f);
        const double angle = std::atan2(-v.y, v.x) / kDegree;
        EXPECT_GE(angle, from - 1e-3);
        EXPECT_LE(angle, to + 1e-3);
    }
}

TEST(Geometry, ConeTurnsAboutZThenAboutYWithTwoDraws)
{
    const std::vector<float> draws = NextDraws(11, 3);
    const float from = -40.0f, to = 80.0f, range = to - from;
    math::Vec3 v;
    RandomDirectionInCone(v, 1.5f, from, to);

    const double phi = (draws[0] * range + from) * kDegree;
    const double theta = (draws[1] * range - range / 2.0f) * kDegree;
    const double x = 1.5 * std::cos(phi), y = -1.5 * std::sin(phi);
    // Rotation about Y of a row vector: (x cos - z sin ... ) with z = 0.
    ExpectVecNear(v, {float(x * std::cos(theta)), float(y), float(-x * std::sin(theta))});
    EXPECT_EQ(static_cast<float>(crt::rand()) / 32767.0f, draws[2]);
}

TEST(Geometry, ConeWithEqualLimitsTurnsOnlyAboutZ)
{
    for (unsigned seed : {1u, 2u, 99u}) {
        crt::srand(seed);
        math::Vec3 cone, arc;
        RandomDirectionInCone(cone, 2.0f, 60.0f, 60.0f);
        RandomDirectionInArc(arc, 2.0f, 60.0f, 60.0f);
        ExpectVecNear(cone, arc);
        EXPECT_NEAR(cone.z, 0.0f, 1e-6f);
    }
}

TEST(Geometry, RotationBetweenVectors)
{
    math::Matrix m;
    MakeRotationBetweenVectors(m, {1, 0, 0}, {0, 1, 0});
    const math::Matrix expected{{{0, -1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    EXPECT_EQ(m, expected);

    // Parallel, opposite and zero vectors have no defined turn.
    const math::Vec3 degenerate[][2] = {
        {{1, 0, 0}, {1, 0, 0}}, {{0, 1, 0}, {0, -1, 0}}, {{0, 0, 0}, {1, 0, 0}}, {{2, 2, 0}, {1, 1, 0}}};
    for (const auto& pair : degenerate) {
        MakeRotationBetweenVectors(m, pair[0], pair[1]);
        EXPECT_EQ(m, math::Matrix{});
    }
}

TEST(Geometry, RotationBetweenUnitVectorsMapsTheSecondOntoTheFirst)
{
    const float angles[][2] = {{30, 100}, {100, 30}, {-170, 170}, {45, 225.5f}};
    for (const auto& pair : angles) {
        const math::Vec3 a{float(std::cos(pair[0] * kDegree)), float(std::sin(pair[0] * kDegree)), 0};
        const math::Vec3 b{float(std::cos(pair[1] * kDegree)), float(std::sin(pair[1] * kDegree)), 0};
        math::Matrix m;
        MakeRotationBetweenVectors(m, a, b);
        ExpectVecNear(Transform(b, m), a);
    }
}

TEST(Geometry, RotationAboutAxisThroughPointKeepsThePointFixed)
{
    const math::Vec3 p{5, -3, 2};
    math::Matrix m;
    MakeRotationAboutAxisThroughPoint(m, p, {0, 0, 1}, 90.0f);
    ExpectVecNear(Transform(p, m), p);
    // A point one unit along x from p turns to one unit along y from p.
    ExpectVecNear(Transform({6, -3, 2}, m), {5, -2, 2});

    MakeRotationAboutAxisThroughPoint(m, p, {1, 1, 1}, 123.0f);
    ExpectVecNear(Transform(p, m), p, 1e-4f);
    // Points on the axis through p stay where they are.
    ExpectVecNear(Transform({7, -1, 4}, m), {7, -1, 4}, 1e-4f);
}

} // namespace

// The cubic spline through path points and the cubic Bezier sampler.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "objectmodel/CurveSampling.h"
#include "tests/objectmodel/PathTestSupport.h"

namespace {

CubicSpline SplineOf(const std::vector<double>& xs, const std::vector<double>& ys)
{
    CubicSpline spline;
    spline.Build(xs.data(), ys.data(), static_cast<int>(xs.size()));
    return spline;
}

TEST(CurveSampling, SplinePassesThroughItsKnots)
{
    const std::vector<double> xs{0, 1, 2, 3, 4, 5};
    const std::vector<double> ys{3, -1, 4, 1, -5, 9};
    const CubicSpline spline = SplineOf(xs, ys);
    for (std::size_t i = 0; i < xs.size(); ++i)
        EXPECT_NEAR(spline.Evaluate(xs[i]), ys[i], 1e-12) << i;
    // The first knot's second derivative is zero.
    EXPECT_EQ(spline.Knot(0).c, 0.0);
}

TEST(CurveSampling, SplineExtendsItsEndSegmentsBeyondTheKnots)
{
    // Straight data gives the straight line, inside and outside the knots.
    const CubicSpline line = SplineOf({0, 1, 2, 3}, {1, 3, 5, 7});
    const double xs[] = {-2.0, -0.5, 0.25, 1.5, 2.999, 3.0, 4.5};
    for (double x : xs)
        EXPECT_NEAR(line.Evaluate(x), 2 * x + 1, 1e-12) << x;

    // Below the first knot the first segment's cubic (held by knot 1) is
    // extended; above the last knot, the last segment's.
    const CubicSpline curve = SplineOf({0, 1, 2}, {0, 1, 0});
    const auto cubicOfKnot = [&](int k, double x) {
        const SplineKnot& knot = curve.Knot(k);
        const double d = x - knot.x;
        return knot.a + knot.b * d + knot.c * d * d / 2 + knot.d * d * d * d / 6;
    };
    EXPECT_NEAR(curve.Evaluate(-0.7), cubicOfKnot(1, -0.7), 1e-12);
    EXPECT_NEAR(curve.Evaluate(2.6), cubicOfKnot(2, 2.6), 1e-12);
}

TEST(CurveSampling, SplineWithoutKnotsIsNaN)
{
    CubicSpline empty;
    EXPECT_TRUE(std::isnan(empty.Evaluate(0.0)));
    empty.Build(nullptr, nullptr, 0);
    EXPECT_TRUE(std::isnan(empty.Evaluate(1.0)));
}

TEST(CurveSampling, SplineSampleCountsFollowTheAccumulatedStep)
{
    // 3 points: the step 0.02 accumulates past 2 after 100 samples, so the
    // last point is not reached; 4 points: 101 samples ending on it.
    const std::vector<math::Vec3> three{{0, 0, 5}, {1, 1, 5}, {2, 2, 5}};
    const std::vector<math::Vec3> samples3 = SampleSplineThroughPoints(three);
    ASSERT_EQ(samples3.size(), 100u);
    for (const math::Vec3& s : samples3) {
        EXPECT_NEAR(s.y, s.x, 1e-5f); // collinear points give the line y = x
        EXPECT_EQ(s.z, 0.0f);
    }
    EXPECT_LT(samples3.back().x, 2.0f);

    const std::vector<math::Vec3> four{{0, 0, 0}, {10, 5, 0}, {20, -5, 0}, {30, 0, 0}};
    const std::vector<math::Vec3> samples4 = SampleSplineThroughPoints(four);
    ASSERT_EQ(samples4.size(), 101u);
    ExpectVecNear(samples4.front(), four.front());
    ExpectVecNear(samples4.back(), four.back(), 1e-4f);
}

TEST(CurveSampling, SplineSamplingOfTooFewPointsEnds)
{
    EXPECT_TRUE(SampleSplineThroughPoints({}).empty());
    EXPECT_TRUE(SampleSplineThroughPoints({{1, 2, 3}}).empty());
}

TEST(CurveSampling, BezierSharesJunctionsBetweenSegments)
{
    std::vector<math::Vec3> points, tangents;
    const math::Vec3 p0{0, 0, 0}, p1{1, 2, 0}, p2{3, 2, 0}, p3{4, 0, 0};
    SampleCubicBezier(points, tangents, p0, p1, p2, p3, 20);
    ASSERT_EQ(points.size(), 21u);
    ASSERT_EQ(tangents.size(), 21u);
    EXPECT_EQ(points.front(), p0);
    EXPECT_EQ(points.back(), p3);
    ExpectVecNear(tangents.front(), {3, 6, 0}); // 3 (P1 - P0)
    ExpectVecNear(tangents.back(), {3, -6, 0}); // 3 (P3 - P2)
    ExpectVecNear(points[10], {2, 1.5f, 0});    // the middle of a symmetric curve

    // A segment starting exactly where the last one ended adds n samples.
    SampleCubicBezier(points, tangents, p3, {5, -1, 0}, {6, -1, 0}, {7, 0, 0}, 20);
    EXPECT_EQ(points.size(), 41u);
    EXPECT_EQ(tangents.size(), 41u);
    // One that starts elsewhere adds n + 1.
    SampleCubicBezier(points, tangents, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}, {9, 9, 9}, 4);
    EXPECT_EQ(points.size(), 46u);
}

TEST(CurveSampling, BezierOfNoStepsAppendsNothing)
{
    std::vector<math::Vec3> points, tangents;
    SampleCubicBezier(points, tangents, {0, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 0, 0}, 0);
    EXPECT_TRUE(points.empty());
    points.push_back({3, 0, 0});
    SampleCubicBezier(points, tangents, {3, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 0, 0}, 0);
    SampleCubicBezier(points, tangents, {3, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 0, 0}, -5);
    EXPECT_EQ(points.size(), 1u);
    EXPECT_TRUE(tangents.empty());
}

} // namespace

#pragma once

// Turning control points into dense point lists.
//
// Two samplers live here: a cubic spline through the points' x and y over
// the parameter t = 0, 1, 2 ... (the curved form of a plain path), and cubic
// Bezier segments between points with handles (the spline paths). The spline
// is computed in doubles; the Bezier sampler in floats, in the order written
// below, because the junction de-duplication compares floats exactly.

#include "platform/math/Vector.h"

#include <cstddef>
#include <vector>

// One knot of a cubic spline: the value at the knot and its first, second and
// third derivatives, and the knot's place on the parameter axis.
struct SplineKnot {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double d = 0.0;
    double x = 0.0;
};

// A cubic spline with a free end at the first knot (second derivative 0).
class CubicSpline {
public:
    // Fits the spline through (xs[i], ys[i]) for i < n; xs must increase.
    // The curved paths use n >= 3; with fewer knots the spline is a straight
    // line between them (or a constant for one knot).
    void Build(const double* xs, const double* ys, int n);

    // Value at x. Below the first knot the first segment is extended, above
    // the last knot the last one. A spline without knots gives a quiet NaN.
    double Evaluate(double x) const;

    int KnotCount() const { return static_cast<int>(m_knots.size()); }
    const SplineKnot& Knot(int i) const { return m_knots[static_cast<std::size_t>(i)]; }

    void Clear() { m_knots.clear(); }

private:
    int KnotIndexFor(double x) const;

    std::vector<SplineKnot> m_knots;
};

// The scratch record of one curved-path rebuild: the splines of x and y over
// t and the values they were fitted to.
struct SplineWorkRecord {
    CubicSpline xSpline;
    CubicSpline ySpline;
    std::vector<double> xs;
    std::vector<double> ys;
    std::vector<double> ts;

    // Fills the value vectors from the positions (t = index) and fits both
    // splines.
    void Fit(const std::vector<math::Vec3>& positions);
    void Clear();
};

// Appends (x(u), y(u), 0) for u = t0, t0 + (tLast - t0) / 100, ... while
// u <= tLast. The step is accumulated in doubles, so 3 points give 100
// samples (stopping short of the last point) and 4 points give 101.
// Nothing is appended when the record holds fewer than 2 knots.
void SampleCubicSpline(const SplineWorkRecord& work, std::vector<math::Vec3>& out);

// The whole curved-path rebuild: fit, sample, free the scratch record.
std::vector<math::Vec3> SampleSplineThroughPoints(const std::vector<math::Vec3>& positions);

// Appends n + 1 points and tangents of the cubic Bezier P0..P3 (t = i / n),
// or n when the last point already in `points` equals P0 exactly, so that
// consecutive segments share their junction. n <= 0 appends nothing.
void SampleCubicBezier(std::vector<math::Vec3>& points, std::vector<math::Vec3>& tangents,
                       math::Vec3 p0, math::Vec3 p1, math::Vec3 p2, math::Vec3 p3, int n);

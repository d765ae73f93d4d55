#include "objectmodel/CurveSampling.h"

#include <limits>

namespace {

// Divisions of the curved-path parameter range.
constexpr double kSplineSamplesPerRange = 100.0;

// A spline through fewer than three knots has no interior equations: it is
// the straight line between its knots (second derivatives all zero).
bool HasInteriorKnots(int n) { return n >= 3; }

} // namespace

void CubicSpline::Build(const double* xs, const double* ys, int n)
{
    m_knots.assign(n > 0 ? static_cast<std::size_t>(n) : 0, SplineKnot{});
    if (n <= 0)
        return;
    for (int i = 0; i < n; ++i) {
        m_knots[i].x = xs[i];
        m_knots[i].a = ys[i];
    }
    m_knots[0].c = 0.0;

    if (HasInteriorKnots(n)) {
        // Forward sweep of the tridiagonal system for the second derivatives.
        std::vector<double> alpha(static_cast<std::size_t>(n - 1), 0.0);
        std::vector<double> beta(static_cast<std::size_t>(n - 1), 0.0);
        double A = 0.0, C = 0.0, F = 0.0;
        for (int i = 1; i <= n - 2; ++i) {
            const double hi = xs[i] - xs[i - 1];
            const double hiNext = xs[i + 1] - xs[i];
            A = hi;
            C = 2.0 * (hi + hiNext);
            const double B = hiNext;
            F = 6.0 * ((ys[i + 1] - ys[i]) / hiNext - (ys[i] - ys[i - 1]) / hi);
            const double z = A * alpha[i - 1] + C;
            alpha[i] = -B / z;
            beta[i] = (F - A * beta[i - 1]) / z;
        }
        // The last knot's second derivative continues the last equation
        // rather than being pinned to zero.
        m_knots[n - 1].c = (F - A * beta[n - 2]) / (C + A * alpha[n - 2]);
        for (int i = n - 2; i >= 1; --i)
            m_knots[i].c = alpha[i] * m_knots[i + 1].c + beta[i];
    }

    for (int i = n - 1; i >= 1; --i) {
        const double h = xs[i] - xs[i - 1];
        SplineKnot& k = m_knots[i];
        const SplineKnot& prev = m_knots[i - 1];
        k.d = (k.c - prev.c) / h;
        k.b = h * (2.0 * k.c + prev.c) / 6.0 + (ys[i] - ys[i - 1]) / h;
    }
}

int CubicSpline::KnotIndexFor(double x) const
{
    const int n = KnotCount();
    if (x <= m_knots[0].x)
        return 1;
    if (x >= m_knots[n - 1].x)
        return n - 1;
    int lo = 0;
    int hi = n - 1;
    while (lo + 1 < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (x <= m_knots[mid].x)
            hi = mid;
        else
            lo = mid;
    }
    return hi;
}

double CubicSpline::Evaluate(double x) const
{
    if (m_knots.empty())
        return std::numeric_limits<double>::quiet_NaN();
    if (m_knots.size() == 1)
        return m_knots[0].a;
    const SplineKnot& k = m_knots[static_cast<std::size_t>(KnotIndexFor(x))];
    const double delta = x - k.x;
    return ((k.d * delta / 6.0 + k.c * 0.5) * delta + k.b) * delta + k.a;
}

void SplineWorkRecord::Fit(const std::vector<math::Vec3>& positions)
{
    Clear();
    for (const math::Vec3& p : positions) {
        xs.push_back(static_cast<double>(p.x));
        ys.push_back(static_cast<double>(p.y));
        ts.push_back(static_cast<double>(ts.size()));
    }
    const int n = static_cast<int>(ts.size());
    xSpline.Build(ts.data(), xs.data(), n);
    ySpline.Build(ts.data(), ys.data(), n);
}

void SplineWorkRecord::Clear()
{
    xSpline.Clear();
    ySpline.Clear();
    xs.clear();
    ys.clear();
    ts.clear();
}

void SampleCubicSpline(const SplineWorkRecord& work, std::vector<math::Vec3>& out)
{
    if (work.ts.size() < 2 || work.xSpline.KnotCount() < 2 || work.ySpline.KnotCount() < 2)
        return;
    const double t0 = work.ts.front();
    const double tLast = work.ts.back();
    // An empty or reversed range would never advance.
    if (!(tLast > t0))
        return;
    for (double u = t0; u <= tLast; u = (tLast - t0) / kSplineSamplesPerRange + u) {
        out.push_back({static_cast<float>(work.xSpline.Evaluate(u)),
                       static_cast<float>(work.ySpline.Evaluate(u)), 0.0f});
    }
}

std::vector<math::Vec3> SampleSplineThroughPoints(const std::vector<math::Vec3>& positions)
{
    SplineWorkRecord work;
    work.Fit(positions);
    std::vector<math::Vec3> samples;
    SampleCubicSpline(work, samples);
    return samples;
}

namespace {

bool SameVec3(const math::Vec3& a, const math::Vec3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Componentwise p0*w0 + p1*w1 + p2*w2 + p3*w3, summed left to right.
math::Vec3 Weighted(const math::Vec3& p0, float w0, const math::Vec3& p1, float w1,
                    const math::Vec3& p2, float w2, const math::Vec3& p3, float w3)
{
    return {p0.x * w0 + p1.x * w1 + p2.x * w2 + p3.x * w3,
            p0.y * w0 + p1.y * w1 + p2.y * w2 + p3.y * w3,
            p0.z * w0 + p1.z * w1 + p2.z * w2 + p3.z * w3};
}

math::Vec3 Minus(const math::Vec3& a, const math::Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

} // namespace

void SampleCubicBezier(std::vector<math::Vec3>& points, std::vector<math::Vec3>& tangents,
                       math::Vec3 p0, math::Vec3 p1, math::Vec3 p2, math::Vec3 p3, int n)
{
    // A segment of no steps has no parameter spacing (1 / 0): nothing to add.
    if (n <= 0)
        return;
    const bool skipJunction = !points.empty() && SameVec3(points.back(), p0);
    const float step = 1.0f / static_cast<float>(n);
    const math::Vec3 d01 = Minus(p1, p0);
    const math::Vec3 d12 = Minus(p2, p1);
    const math::Vec3 d23 = Minus(p3, p2);
    for (int i = skipJunction ? 1 : 0; i <= n; ++i) {
        const float t = static_cast<float>(i) * step;
        const float v = 1.0f - t;
        points.push_back(Weighted(p0, v * v * v, p1, 3.0f * t * v * v,
                                  p2, 3.0f * t * t * v, p3, t * t * t));
        const float w0 = 3.0f * v * v;
        const float w1 = 6.0f * v * t;
        const float w2 = 3.0f * t * t;
        tangents.push_back({d01.x * w0 + d12.x * w1 + d23.x * w2,
                            d01.y * w0 + d12.y * w1 + d23.y * w2,
                            d01.z * w0 + d12.z * w1 + d23.z * w2});
    }
}

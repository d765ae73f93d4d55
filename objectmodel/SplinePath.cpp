#include "objectmodel/SplinePath.h"

#include "objectmodel/CurveSampling.h"
#include "platform/math/MathFunctions.h"

namespace {

// How far back towards the previous point a new point's incoming handle
// reaches.
constexpr float kIncomingHandleReach = -0.33f;

bool IsZero(const math::Vec3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

// Sets `handle` to `target` with a notification (null source) when it
// differs.
void MirrorHandle(MediaParamT<math::Vec3>& handle, const math::Vec3& target)
{
    if (!MediaValueDiffers(handle.value, target))
        return;
    handle.SetValue(target, nullptr);
}

struct BezierSegment {
    math::Vec3 p0, p1, p2, p3;
};

// The segment from `from` to `to`, leaving `from` along its outgoing handle
// and arriving at `to` along its incoming handle; reversed, the roles of the
// handles swap.
BezierSegment SegmentBetween(const DX_BSplinePnt& from, const DX_BSplinePnt& to, bool reverse)
{
    if (!reverse)
        return {from.value, from.value + from.outgoing.value, to.value + to.incoming.value, to.value};
    return {from.value, from.value + from.incoming.value, to.value + to.outgoing.value, to.value};
}

} // namespace

SplinePath::SplinePath() : m_splineSamples(MakeSafePtr<PathSampleList>()) {}

SplinePath::SplinePath(const SplinePath& other)
    : SmartPath<DX_BSplinePnt>(other),
      length(other.length),
      m_splineSamples(MakeSafePtr<PathSampleList>(*other.m_splineSamples))
{
}

DX_BSplinePnt* SplinePath::AddPoint(const DX_SmartPnt& position, MediaControl* source)
{
    PointHandle added = MakeSafePtr<DX_BSplinePnt>(position);
    if (!points.empty()) {
        DX_BSplinePnt& last = *points.back();
        added->incoming.QuietSet((added->value - last.value) * kIncomingHandleReach);
        MirrorHandle(last.outgoing, -last.incoming.value);
        if (IsZero(last.outgoing.value))
            MirrorHandle(last.outgoing, -added->incoming.value);
    }
    points.push_back(added);
    NotifyObservers(source);
    return added.get();
}

void SplinePath::RebuildCurve()
{
    *m_splineSamples = SampleBSplinePath(*this, kRebuildStepsPerSegment, false);
}

void SplinePath::ForEachSegment(const SegmentFunction& visit) const
{
    const PathSampleList& samples = *m_splineSamples;
    if (samples.size() < 2)
        return;
    for (std::size_t i = 0; i + 1 < samples.size(); ++i)
        visit(samples[i].Position(), samples[i + 1].Position());
}

PathSampleList SampleBSplinePath(SplinePath& path, int stepsPerSegment, bool reverse)
{
    PathSampleList result;
    path.length = 0.0f;

    std::vector<math::Vec3> points;
    std::vector<math::Vec3> tangents;
    const int count = path.GetPointCount();
    for (int i = 1; i < count; ++i) {
        const DX_BSplinePnt& previous = *path.points[static_cast<std::size_t>(reverse ? count - i : i - 1)];
        const DX_BSplinePnt& next = *path.points[static_cast<std::size_t>(reverse ? count - i - 1 : i)];
        const BezierSegment s = SegmentBetween(previous, next, reverse);
        SampleCubicBezier(points, tangents, s.p0, s.p1, s.p2, s.p3, stepsPerSegment);
    }

    result.reserve(points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        math::Vec3 direction;
        math::Vec3Normalize(&direction, tangents[k]);
        if (k > 0) {
            PathSample& previous = result.back();
            const float segmentLength = math::Vec3Length(points[k] - points[k - 1]);
            previous.length = segmentLength;
            path.length = path.length + segmentLength;
            previous.cumulative = path.length;
        }
        const math::Vec3& p = points[k];
        result.push_back({p.x, p.y, p.z, direction.x, direction.y, direction.z, 0.0f, 0.0f});
    }
    return result;
}

DS_SafePtr<PathCursor> NewPathCursor(const SplinePath& path)
{
    return NewPathCursor(path.SharedSplineSamples());
}

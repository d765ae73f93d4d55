#include "objectmodel/PathCtrlPoints.h"

#include "objectmodel/CurveSampling.h"
#include "platform/math/MathFunctions.h"

#include <cmath>

namespace {

constexpr int kMinSplinePoints = 3;

// The sample after `walker.index` in the walking direction. A direction that
// points off the list (possible after the samples were rebuilt shorter)
// turns round first.
int NextIndex(PathWalker& walker, int count)
{
    int next = walker.forward ? walker.index + 1 : walker.index - 1;
    if (next < 0 || next >= count) {
        walker.forward = !walker.forward;
        next = walker.forward ? walker.index + 1 : walker.index - 1;
    }
    return next;
}

} // namespace

KXI_PathCtrlPoints::KXI_PathCtrlPoints() : curveMode(0) {}

KXI_PathCtrlPoints::KXI_PathCtrlPoints(const KXI_PathCtrlPoints& other)
    : MediaParam(other), curveMode(other.curveMode.value), walker(other.walker), samples(other.samples)
{
}

std::vector<math::Vec3> KXI_PathCtrlPoints::PointPositions() const
{
    std::vector<math::Vec3> positions;
    const int count = GetPointCount();
    positions.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        positions.push_back(GetPoint(i)->Position());
    return positions;
}

void KXI_PathCtrlPoints::RebuildCurve()
{
    samples.clear();
    const std::vector<math::Vec3> positions = PointPositions();
    if (curveMode.value != 0 && static_cast<int>(positions.size()) >= kMinSplinePoints) {
        SplineWorkRecord work;
        work.Fit(positions);
        SampleCubicSpline(work, samples);
        return;
    }
    samples.insert(samples.end(), positions.begin(), positions.end());
}

void KXI_PathCtrlPoints::ForEachSegment(const SegmentFunction& visit) const
{
    if (samples.size() < 2)
        return;
    for (std::size_t i = 0; i + 1 < samples.size(); ++i)
        visit(samples[i], samples[i + 1]);
}

bool WalkPathPingPong(KXI_PathCtrlPoints& path, math::Vec3& position)
{
    const std::vector<math::Vec3>& samples = path.samples;
    const int count = static_cast<int>(samples.size());
    if (count < 2)
        return false;
    PathWalker& walker = path.walker;
    if (walker.index < 0 || walker.index >= count)
        walker.Reset();
    if (!std::isfinite(walker.distance))
        walker.distance = 0.0f;

    // Every 2 (count - 1) legs the walker is back where it started, having
    // walked each leg twice: that bounds the walk however far it must go.
    const int legsPerRoundTrip = 2 * (count - 1);
    int legsWalked = 0;
    float roundTrip = 0.0f;
    bool reduced = false;
    for (;;) {
        const int next = NextIndex(walker, count);
        const math::Vec3 start = samples[walker.index];
        const math::Vec3 leg = samples[next] - start;
        const float length = std::sqrt(math::Vec3Dot(leg, leg));
        if (length > 0.0f && std::isfinite(length)) {
            walker.direction = leg / length;
            if (length > walker.distance) {
                position = start + walker.direction * walker.distance;
                return true;
            }
            walker.distance -= length;
            roundTrip += length;
        }
        walker.index = next;
        if (next == 0 || next == count - 1)
            walker.forward = !walker.forward;
        if (++legsWalked < legsPerRoundTrip)
            continue;
        if (!(roundTrip > 0.0f) || reduced) {
            // No leg to walk on (or rounding left a sliver): stay put.
            walker.distance = 0.0f;
            position = samples[walker.index];
            return true;
        }
        walker.distance = std::fmod(walker.distance, roundTrip);
        reduced = true;
        legsWalked = 0;
        roundTrip = 0.0f;
    }
}

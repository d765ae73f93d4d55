#pragma once

// SplinePath: a path of cubic Bezier segments between points with handles.
// Adding a point shapes the handles so the curve runs smoothly through it
// (each interior point's outgoing handle mirrors its incoming one). The
// sampled curve is a list of PathSample records (position, unit tangent,
// segment length, cumulative length) shared with the cursors that move
// along it, and `length` is its total length.

#include "objectmodel/PathCursor.h"
#include "objectmodel/SmartPath.h"

class SplinePath : public SmartPath<DX_BSplinePnt> {
public:
    // Steps per Bezier segment of the path's own rebuild.
    static constexpr int kRebuildStepsPerSegment = 20;

    SplinePath();
    // Shares the points; copies the samples into a list of its own, and the
    // length.
    SplinePath(const SplinePath& other);
    SplinePath& operator=(const SplinePath&) = delete;
    ~SplinePath() override = default;

    // Appends a new point with zero handles. From the second point on, the
    // new point's incoming handle points a third of the way back to the last
    // point, and the last point's outgoing handle mirrors its incoming one
    // (or, when that leaves it zero, mirrors the new incoming handle).
    DX_BSplinePnt* AddPoint(const DX_SmartPnt& position, MediaControl* source) override;

    // Resamples the curve with 20 steps per segment, forward, and sets the
    // length. The sample list keeps its identity.
    void RebuildCurve() override;

    // Visits consecutive pairs of the spline samples' positions.
    void ForEachSegment(const SegmentFunction& visit) const override;

    const PathSampleList& SplineSamples() const { return *m_splineSamples; }
    // The handle cursors hold on the sample list.
    const SharedPathSamples& SharedSplineSamples() const { return m_splineSamples; }

    // Total length of the sampled curve (set by SampleBSplinePath).
    float length = 0.0f;

private:
    SharedPathSamples m_splineSamples;
};

// Samples the path's Bezier segments with `stepsPerSegment` steps each,
// from the first point to the last (or, reversed, from the last to the
// first); m points give steps * (m - 1) + 1 samples. Sets the path's length
// and returns the new sample list.
PathSampleList SampleBSplinePath(SplinePath& path, int stepsPerSegment, bool reverse);

// A new cursor on the path's samples at segment 0, offset 0.
DS_SafePtr<PathCursor> NewPathCursor(const SplinePath& path);

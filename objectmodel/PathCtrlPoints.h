#pragma once

// KXI_PathCtrlPoints: the root of the editable control-point paths. A path
// is a parameter: its observers hear of added and removed points. It keeps
// the sampled curve through its points (straight segments, or a cubic
// spline through x and y when the curve mode is not 0 and there are at least
// 3 points) and a ping-pong walker that travels along the samples by
// distance, to the last sample and back without end.
//
// The point list itself belongs to SmartPath<T> (SmartPath.h).

#include "objectmodel/MediaParam.h"
#include "objectmodel/PathPoints.h"
#include "platform/math/Vector.h"

#include <functional>
#include <vector>

// The walker's state. The owner adds its step to `distance` before each walk.
struct PathWalker {
    float distance = 0.0f; // travelled past samples[index]
    float reserved = 0.0f; // kept and copied for owners; not read here
    int index = 0;         // the sample the current leg starts from
    bool forward = true;
    math::Vec3 position;   // kept and copied for owners; not read here
    math::Vec3 direction;  // unit direction of the current leg

    void Reset() { *this = PathWalker{}; }
};

class KXI_PathCtrlPoints : public MediaParam {
public:
    using SegmentFunction = std::function<void(math::Vec3, math::Vec3)>;

    KXI_PathCtrlPoints();
    // Copies the curve mode's value, the walker and the samples.
    KXI_PathCtrlPoints(const KXI_PathCtrlPoints& other);
    KXI_PathCtrlPoints& operator=(const KXI_PathCtrlPoints&) = delete;
    ~KXI_PathCtrlPoints() override = default;

    virtual int GetPointCount() const = 0;
    // Erases the point at `index` and tells every observer but `source`.
    // An index outside the list changes nothing.
    virtual void RemovePoint(int index, MediaControl* source) = 0;
    // The point at `index`, or null outside the list.
    virtual DX_SmartPnt* GetPoint(int index) const = 0;
    // Appends a new point made from `position` (position copied, attachment
    // shared, defaults of the path's point kind), tells the observers but
    // `source`, and returns the new point.
    virtual DX_SmartPnt* AddPoint(const DX_SmartPnt& position, MediaControl* source) = 0;
    // Refills the samples from the points.
    virtual void RebuildCurve();
    // Calls `visit(samples[i], samples[i + 1])` for each consecutive pair, in
    // order. An empty function with at least 2 samples throws
    // std::bad_function_call.
    virtual void ForEachSegment(const SegmentFunction& visit) const;

    // 0: straight segments between the points; otherwise a cubic spline
    // through them (from 3 points on). Set by the owner, never stored.
    MediaParamT<int> curveMode;
    PathWalker walker;
    // The sampled curve. Rebuilds refill this same vector.
    std::vector<math::Vec3> samples;

protected:
    std::vector<math::Vec3> PointPositions() const;
};

// Moves the walker along the samples by its distance and writes the point
// reached to `position`. Returns false, touching nothing, with fewer than 2
// samples. Legs of zero length are passed over; when every leg has zero
// length the walker stays on its sample (distance 0). A distance of more
// than a round trip is reduced to what remains after whole round trips, and
// a distance that is not a finite number restarts from the current sample.
bool WalkPathPingPong(KXI_PathCtrlPoints& path, math::Vec3& position);

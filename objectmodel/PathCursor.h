#pragma once

// The sampled form of a spline path and the cursors that move along it.
//
// A PathSample holds a point of the curve, its unit tangent, the length of
// the segment to the next sample and the distance from the first sample to
// the end of that segment (both 0 in the last sample).
//
// The sample list of a path is shared through a handle: the path refills the
// same list on every rebuild and every cursor holds a handle on it, so a
// cursor never points at a freed list, even when it outlives its path or a
// rebuild shortened the list under it (its operations check the segment
// against the current count and clamp to the end).

#include "objectmodel/SafePtr.h"
#include "platform/math/Vector.h"

#include <vector>

struct PathSample {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float dx = 0.0f, dy = 0.0f, dz = 0.0f;
    float length = 0.0f;
    float cumulative = 0.0f;

    math::Vec3 Position() const { return {x, y, z}; }
    math::Vec3 Direction() const { return {dx, dy, dz}; }
};

static_assert(sizeof(PathSample) == 32);

using PathSampleList = std::vector<PathSample>;
using SharedPathSamples = DS_SafePtr<PathSampleList>;

// A place on a sample list: the segment that starts at sample `segment`, and
// the distance `offset` into it. With fewer than 2 samples every operation
// returns false (or 0) and writes no output.
class PathCursor {
public:
    explicit PathCursor(SharedPathSamples samples) : m_samples(std::move(samples)) {}

    // How many sample points a walk of `distance` from here passes, plus 1;
    // 0 for a zero distance. The cursor does not move.
    int CountPointsWithin(float distance) const;

    // Adds the stored offset to `distance` (which is cleared from the
    // cursor). When that passes the end of the current segment: hands the
    // excess back in `distance`, outputs the next sample and moves on one
    // segment (true). Otherwise outputs the point at that distance inside
    // the segment and sets `distance` to 0 (false). At the last segment it
    // outputs the last sample and sets `distance` to 0.
    bool StepAcrossPoint(float& distance, math::Vec3& position, math::Vec3& direction);

    // The point `distance` past the start of the current segment (the stored
    // offset is not added), crossing segments; stores the new segment and
    // offset. Past the end: the last sample, false.
    bool Advance(float distance, math::Vec3& position, math::Vec3& direction);

    // Moves on by `distance` from the stored place. `lateral` shifts the
    // curve sideways along (dy, -dx) of each sample; `vector` is the shifted
    // segment (end - start, z = 0). Past the end: the end of the last
    // segment, false.
    bool AdvanceWithOffset(float distance, float lateral, math::Vec3& position, math::Vec3& vector);

    // Goes to distance `d` from the start of the path, then as
    // AdvanceWithOffset. A negative d gives false; beyond the end, the end of
    // the last segment and false.
    bool SeekDistance(float d, float lateral, math::Vec3& position, math::Vec3& vector);

    int segment = 0;
    float offset = 0.0f;

    const SharedPathSamples& Samples() const { return m_samples; }

private:
    const PathSampleList& List() const;
    int Count() const { return static_cast<int>(List().size()); }
    bool EvaluateLateral(const PathSample& start, const PathSample& end, float along, float lateral,
                         math::Vec3& position, math::Vec3& vector) const;

    SharedPathSamples m_samples;
};

// A new cursor on `samples` at segment 0, offset 0.
DS_SafePtr<PathCursor> NewPathCursor(const SharedPathSamples& samples);

// Sample `index` (clamped to the list) shifted sideways by `lateral`, with
// z = 0, and its direction. False with fewer than 2 samples.
bool PathSampleAt(const PathSampleList& samples, float lateral, int index, math::Vec3& position,
                  math::Vec3& direction);

#include "objectmodel/PathCursor.h"

#include <algorithm>

namespace {

// Direction of the chord from `start` to `end`. A segment of no length has
// no chord; it keeps the sample's own tangent instead of dividing by zero.
math::Vec3 ChordDirection(const PathSample& start, const PathSample& end)
{
    const float length = start.length;
    if (!(length > 0.0f))
        return start.Direction();
    return {(end.x - start.x) / length, (end.y - start.y) / length, (end.z - start.z) / length};
}

// A sample moved sideways by `lateral` along (dy, -dx), in the plane z = 0.
math::Vec3 ShiftedSideways(const PathSample& sample, float lateral)
{
    return {sample.x + sample.dy * lateral, sample.y - sample.dx * lateral, 0.0f};
}

bool TooFewSamples(int count) { return count < 2; }

} // namespace

const PathSampleList& PathCursor::List() const
{
    static const PathSampleList kNoSamples;
    const PathSampleList* list = m_samples.get();
    return list ? *list : kNoSamples;
}

int PathCursor::CountPointsWithin(float distance) const
{
    const int n = Count();
    if (TooFewSamples(n) || distance == 0.0f)
        return 0;
    const PathSampleList& samples = List();
    int i = segment;
    if (segment < n - 1) {
        float remaining = offset + distance;
        while (remaining > samples[i].length) {
            remaining -= samples[i].length;
            ++i;
            if (i >= n - 1)
                break;
        }
    }
    return i - segment + 1;
}

bool PathCursor::StepAcrossPoint(float& distance, math::Vec3& position, math::Vec3& direction)
{
    const int n = Count();
    if (TooFewSamples(n)) {
        distance = 0.0f;
        return false;
    }
    const PathSampleList& samples = List();
    if (segment >= n - 1) {
        position = samples[n - 1].Position();
        direction = samples[n - 1].Direction();
        distance = 0.0f;
        return false;
    }
    distance += offset;
    offset = 0.0f;
    const PathSample& start = samples[segment];
    const PathSample& end = samples[segment + 1];
    if (distance > start.length) {
        distance -= start.length;
        position = end.Position();
        direction = end.Direction();
        ++segment;
        return true;
    }
    direction = ChordDirection(start, end);
    position = start.Position() + direction * distance;
    distance = 0.0f;
    return false;
}

bool PathCursor::Advance(float distance, math::Vec3& position, math::Vec3& direction)
{
    const int n = Count();
    if (TooFewSamples(n))
        return false;
    const PathSampleList& samples = List();
    for (;;) {
        if (segment >= n - 1) {
            position = samples[n - 1].Position();
            direction = samples[n - 1].Direction();
            return false;
        }
        const PathSample& start = samples[segment];
        if (start.length > distance) {
            direction = ChordDirection(start, samples[segment + 1]);
            position = start.Position() + direction * distance;
            offset = distance;
            return true;
        }
        distance -= start.length;
        ++segment;
    }
}

bool PathCursor::EvaluateLateral(const PathSample& start, const PathSample& end, float along, float lateral,
                                 math::Vec3& position, math::Vec3& vector) const
{
    const math::Vec3 a = ShiftedSideways(start, lateral);
    const math::Vec3 b = ShiftedSideways(end, lateral);
    vector = {b.x - a.x, b.y - a.y, 0.0f};
    const float length = start.length;
    if (!(length > 0.0f)) {
        position = a;
        return true;
    }
    position = {a.x + vector.x * along / length, a.y + vector.y * along / length, 0.0f};
    return true;
}

bool PathCursor::AdvanceWithOffset(float distance, float lateral, math::Vec3& position, math::Vec3& vector)
{
    const int n = Count();
    if (TooFewSamples(n))
        return false;
    const PathSampleList& samples = List();
    for (;;) {
        if (segment >= n - 1) {
            segment = n - 2;
            offset = samples[n - 2].length;
            EvaluateLateral(samples[n - 2], samples[n - 1], offset, lateral, position, vector);
            return false;
        }
        const float along = offset + distance;
        offset = along;
        const PathSample& start = samples[segment];
        if (along <= start.length)
            return EvaluateLateral(start, samples[segment + 1], along, lateral, position, vector);
        ++segment;
        offset = along - start.length;
        distance = 0.0f;
    }
}

bool PathCursor::SeekDistance(float d, float lateral, math::Vec3& position, math::Vec3& vector)
{
    const int n = Count();
    if (TooFewSamples(n))
        return false;
    // Negative and NaN distances name no place on the path.
    if (!(d >= 0.0f))
        return false;
    const PathSampleList& samples = List();
    if (d > samples[n - 2].cumulative) {
        segment = n - 2;
        offset = samples[n - 2].length;
        AdvanceWithOffset(0.0f, lateral, position, vector);
        return false;
    }
    int lo = 0;
    int hi = n - 1;
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        const PathSample& sample = samples[mid];
        if (d > sample.cumulative)
            lo = mid;
        else if (d < sample.cumulative - sample.length)
            hi = mid;
        else
            break;
    }
    segment = lo;
    offset = 0.0f;
    return AdvanceWithOffset(d - (samples[lo].cumulative - samples[lo].length), lateral, position, vector);
}

DS_SafePtr<PathCursor> NewPathCursor(const SharedPathSamples& samples)
{
    return MakeSafePtr<PathCursor>(samples);
}

bool PathSampleAt(const PathSampleList& samples, float lateral, int index, math::Vec3& position,
                  math::Vec3& direction)
{
    const int n = static_cast<int>(samples.size());
    if (TooFewSamples(n))
        return false;
    const PathSample& sample = samples[static_cast<std::size_t>(std::clamp(index, 0, n - 1))];
    position = ShiftedSideways(sample, lateral);
    direction = sample.Direction();
    return true;
}

#include "render/TimelineIntervals.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::size_t kStoredIntervalBytes = 4 * sizeof(float);

bool HasPlaceInTime(const TimeInterval& interval)
{
    const float times[] = {interval.start, interval.end, interval.fadeInEnd, interval.fadeOutStart};
    const bool allFinite = std::all_of(std::begin(times), std::end(times), [](float t) { return std::isfinite(t); });
    return allFinite && interval.start <= interval.end;
}

// The set's order: a comes before b when a ends before b starts.
bool EndsBefore(const TimeInterval& a, const TimeInterval& b)
{
    return a.end < b.start;
}

} // namespace

bool TimeIntervalSet::Insert(const TimeInterval& interval)
{
    if (!HasPlaceInTime(interval))
        return false;
    // The first member that does not end before the new interval starts is
    // the only one that can overlap or touch it; every later member starts
    // after that one ends.
    const auto place = std::lower_bound(m_intervals.begin(), m_intervals.end(), interval, EndsBefore);
    if (place != m_intervals.end() && !EndsBefore(interval, *place))
        return false;
    m_intervals.insert(place, interval);
    return true;
}

const TimeInterval* TimeIntervalSet::FirstEndingAtOrAfter(float time) const
{
    const auto found = std::lower_bound(m_intervals.begin(), m_intervals.end(), time,
                                        [](const TimeInterval& interval, float t) { return interval.end < t; });
    return found == m_intervals.end() ? nullptr : &*found;
}

void ReadTimeIntervals(ArchiveReader ar, TimeIntervalSet& intervals)
{
    const std::size_t count = ar.ReadCount(kStoredIntervalBytes);
    for (std::size_t i = 0; i < count; ++i) {
        TimeInterval interval;
        interval.start = ar.ReadFloat();
        interval.end = ar.ReadFloat();
        interval.fadeInEnd = ar.ReadFloat();
        interval.fadeOutStart = ar.ReadFloat();
        intervals.Insert(interval);
    }
}

void WriteTimeIntervals(ArchiveWriter ar, const TimeIntervalSet& intervals)
{
    ar->WriteVersion(static_cast<std::int32_t>(intervals.Size()));
    for (const TimeInterval& interval : intervals) {
        ar->WriteFloat(interval.start);
        ar->WriteFloat(interval.end);
        ar->WriteFloat(interval.fadeInEnd);
        ar->WriteFloat(interval.fadeOutStart);
    }
}

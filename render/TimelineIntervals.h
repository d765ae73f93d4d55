#pragma once
// The on-intervals that an author draws into a manual timeline's period.
//
// TimeInterval: four times in seconds within the period, in stored order:
// start, end, fade-in end, fade-out start (authored as start <= fade-in end
// <= fade-out start <= end).
//
// TimeIntervalSet: the intervals in time order. Intervals that overlap or
// touch (neither ends before the other starts) count as the same place in
// the period, so inserting one that overlaps or touches an interval already
// in the set leaves the set unchanged: the first one drawn stays. The set
// therefore only ever holds disjoint intervals, ordered by start and by end
// alike. An interval that has no place on the time axis (a time that is not
// finite, or an end before its start) is refused the same way.

#include <cstddef>
#include <vector>

#include "objectmodel/Archive.h"

struct TimeInterval {
    float start = 0;
    float end = 0;
    float fadeInEnd = 0;
    float fadeOutStart = 0;

    friend bool operator==(const TimeInterval&, const TimeInterval&) = default;
};

class TimeIntervalSet {
public:
    using const_iterator = std::vector<TimeInterval>::const_iterator;

    // Adds `interval` at its place in time. False (set unchanged) when it
    // overlaps or touches an interval of the set, or has no place in time.
    bool Insert(const TimeInterval& interval);

    // The first interval in time order whose end is not before `time`, or
    // null when every interval ends before it.
    const TimeInterval* FirstEndingAtOrAfter(float time) const;

    void Clear() { m_intervals.clear(); }
    bool Empty() const { return m_intervals.empty(); }
    std::size_t Size() const { return m_intervals.size(); }
    const_iterator begin() const { return m_intervals.begin(); }
    const_iterator end() const { return m_intervals.end(); }

    friend bool operator==(const TimeIntervalSet&, const TimeIntervalSet&) = default;

private:
    std::vector<TimeInterval> m_intervals; // disjoint, in time order
};

// Stored form: int32 count, then per interval four floats (start, end,
// fade-in end, fade-out start), each inserted in stored order.
void ReadTimeIntervals(ArchiveReader ar, TimeIntervalSet& intervals);
void WriteTimeIntervals(ArchiveWriter ar, const TimeIntervalSet& intervals);

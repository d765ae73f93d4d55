#pragma once
// Display monitors: SDL's displays as {handle, rectangle} entries in
// virtual-screen pixels, and the selections the player makes of them.
//
// Lists are sorted ascending by left, ties by top, so the order does not
// depend on how the system numbers its displays. An index selects one entry
// of the sorted list; a negative index selects all of them; an index past the
// end selects none.

#include <cstddef>
#include <span>
#include <vector>

#include "platform/win/WindowTypes.h"

namespace win {

struct MonitorEntry {
    HMONITOR monitor = nullptr;
    RECT rect;
    friend bool operator==(const MonitorEntry&, const MonitorEntry&) = default;
};

// The displays as SDL reports them, in its order; empty when SDL has no video.
std::vector<MonitorEntry> QueryDisplayMonitors();

// Appends the selected entries of the sorted `monitors` to `out`; returns the
// size of `out`.
std::size_t EnumerateMonitors(std::span<const MonitorEntry> monitors, std::vector<MonitorEntry>& out, int index);
// Bounding rectangle of the selection; all zero when nothing is selected.
RECT GetMonitorsUnionRect(std::span<const MonitorEntry> monitors, int index);
// {0, 0, largest width, largest height}, width and height maximised separately;
// all zero when nothing is selected.
RECT GetLargestMonitorSize(std::span<const MonitorEntry> monitors, int index);

// The same over the displays of the system.
std::size_t EnumerateMonitors(std::vector<MonitorEntry>& out, int index);
RECT GetMonitorsUnionRect(int index);
RECT GetLargestMonitorSize(int index);

} // namespace win

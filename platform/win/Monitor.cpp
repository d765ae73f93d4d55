#include "platform/win/Monitor.h"

#include <SDL.h>

#include <algorithm>
#include <string>

#include "platform/win/WindowNative.h"

namespace win {

namespace {

std::vector<MonitorEntry> Selection(std::span<const MonitorEntry> monitors, int index)
{
    std::vector<MonitorEntry> sorted(monitors.begin(), monitors.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const MonitorEntry& a, const MonitorEntry& b) {
        return a.rect.left != b.rect.left ? a.rect.left < b.rect.left : a.rect.top < b.rect.top;
    });
    if (index < 0)
        return sorted;
    if (static_cast<std::size_t>(index) >= sorted.size())
        return {};
    return {sorted[static_cast<std::size_t>(index)]};
}

} // namespace

std::vector<MonitorEntry> QueryDisplayMonitors()
{
    std::string error;
    if (!SdlVideo::Start(&error))
        return {};
    std::vector<MonitorEntry> monitors;
    const int count = SDL_GetNumVideoDisplays();
    for (int display = 0; display < count; ++display) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(display, &bounds) != 0)
            continue;
        // Handles count from 1 so that no monitor has a null handle.
        const auto handle = reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(display) + 1);
        monitors.push_back({handle, {bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h}});
    }
    return monitors;
}

std::size_t EnumerateMonitors(std::span<const MonitorEntry> monitors, std::vector<MonitorEntry>& out, int index)
{
    std::vector<MonitorEntry> selected = Selection(monitors, index);
    out.insert(out.end(), selected.begin(), selected.end());
    return out.size();
}

RECT GetMonitorsUnionRect(std::span<const MonitorEntry> monitors, int index)
{
    const std::vector<MonitorEntry> selected = Selection(monitors, index);
    if (selected.empty())
        return {};
    RECT bounds = selected.front().rect;
    for (const MonitorEntry& entry : selected) {
        bounds.left = std::min(bounds.left, entry.rect.left);
        bounds.top = std::min(bounds.top, entry.rect.top);
        bounds.right = std::max(bounds.right, entry.rect.right);
        bounds.bottom = std::max(bounds.bottom, entry.rect.bottom);
    }
    return bounds;
}

RECT GetLargestMonitorSize(std::span<const MonitorEntry> monitors, int index)
{
    RECT size;
    for (const MonitorEntry& entry : Selection(monitors, index)) {
        size.right = std::max(size.right, entry.rect.Width());
        size.bottom = std::max(size.bottom, entry.rect.Height());
    }
    return size;
}

std::size_t EnumerateMonitors(std::vector<MonitorEntry>& out, int index)
{
    return EnumerateMonitors(QueryDisplayMonitors(), out, index);
}

RECT GetMonitorsUnionRect(int index) { return GetMonitorsUnionRect(QueryDisplayMonitors(), index); }

RECT GetLargestMonitorSize(int index) { return GetLargestMonitorSize(QueryDisplayMonitors(), index); }

} // namespace win

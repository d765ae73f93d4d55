// Monitor lists: order, selection by index, union and largest size.

#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "platform/win/Monitor.h"

namespace {

using namespace win;

HMONITOR Handle(std::uintptr_t n) { return reinterpret_cast<HMONITOR>(n); }

struct LayoutCase {
    const char* name;
    std::vector<MonitorEntry> system;         // as the system lists them
    std::vector<HMONITOR> sortedOrder;        // after sorting
    RECT unionRect;
    RECT largest;
};

const std::vector<LayoutCase>& Layouts()
{
    static const std::vector<LayoutCase> cases{
        {"side by side",
         {{Handle(2), {1920, 0, 3200, 1024}}, {Handle(1), {0, 0, 1920, 1080}}},
         {Handle(1), Handle(2)},
         {0, 0, 3200, 1080},
         {0, 0, 1920, 1080}},
        {"negative left comes first",
         {{Handle(1), {0, 0, 1920, 1080}}, {Handle(2), {-1280, 0, 0, 1024}}},
         {Handle(2), Handle(1)},
         {-1280, 0, 1920, 1080},
         {0, 0, 1920, 1080}},
        {"same left, sorted by top",
         {{Handle(1), {0, 1080, 1280, 2104}}, {Handle(2), {0, 0, 1920, 1080}}},
         {Handle(2), Handle(1)},
         {0, 0, 1920, 2104},
         {0, 0, 1920, 1080}},
        {"width and height maximised separately",
         {{Handle(1), {0, 0, 1000, 2000}}, {Handle(2), {1000, 0, 4000, 500}}},
         {Handle(1), Handle(2)},
         {0, 0, 4000, 2000},
         {0, 0, 3000, 2000}},
        {"one monitor", {{Handle(1), {0, 0, 800, 600}}}, {Handle(1)}, {0, 0, 800, 600}, {0, 0, 800, 600}},
        {"no monitor", {}, {}, {}, {}},
    };
    return cases;
}

TEST(MonitorTest, AllMonitorsSortedWithTheirUnionAndLargestSize)
{
    for (const LayoutCase& layout : Layouts()) {
        SCOPED_TRACE(layout.name);
        std::vector<MonitorEntry> out;
        EXPECT_EQ(EnumerateMonitors(layout.system, out, -1), layout.sortedOrder.size());
        std::vector<HMONITOR> order;
        for (const MonitorEntry& entry : out)
            order.push_back(entry.monitor);
        EXPECT_EQ(order, layout.sortedOrder);
        EXPECT_EQ(GetMonitorsUnionRect(layout.system, -1), layout.unionRect);
        EXPECT_EQ(GetLargestMonitorSize(layout.system, -1), layout.largest);
    }
}

TEST(MonitorTest, AnIndexSelectsOneEntryOfTheSortedList)
{
    const std::vector<MonitorEntry> system{{Handle(1), {0, 0, 1920, 1080}}, {Handle(2), {-1280, 0, 0, 1024}}};
    EXPECT_EQ(GetMonitorsUnionRect(system, 0), (RECT{-1280, 0, 0, 1024}));
    EXPECT_EQ(GetMonitorsUnionRect(system, 1), (RECT{0, 0, 1920, 1080}));
    EXPECT_EQ(GetLargestMonitorSize(system, 0), (RECT{0, 0, 1280, 1024}));
    EXPECT_EQ(GetMonitorsUnionRect(system, 2), RECT{});
    EXPECT_EQ(GetLargestMonitorSize(system, 7), RECT{});

    // Entries are appended; the count is that of the whole output list.
    std::vector<MonitorEntry> out{{Handle(9), {}}};
    EXPECT_EQ(EnumerateMonitors(system, out, 1), 2u);
    EXPECT_EQ(out.back().monitor, Handle(1));
    EXPECT_EQ(EnumerateMonitors(system, out, 5), 2u);
}

TEST(MonitorTest, TheHeadlessDisplayIsOneMonitorAtTheOrigin)
{
    wintest::UseOffscreenVideo();
    const std::vector<MonitorEntry> monitors = QueryDisplayMonitors();
    ASSERT_FALSE(monitors.empty());
    EXPECT_NE(monitors.front().monitor, nullptr);
    const RECT all = GetMonitorsUnionRect(-1);
    EXPECT_EQ(all.left, 0);
    EXPECT_EQ(all.top, 0);
    EXPECT_GT(all.Width(), 0);
    EXPECT_GT(all.Height(), 0);
}

} // namespace

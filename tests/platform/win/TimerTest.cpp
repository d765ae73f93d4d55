// Window timers over the main loop, and the loop's waiting between events.

#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "platform/win/Timer.h"
#include "platform/win/Window.h"

namespace {

using namespace win;
using namespace std::chrono_literals;
using wintest::Received;

class TimerTest : public ::testing::Test {
protected:
    TimerTest()
    {
        wintest::RegisterRecorder(windows, "Panel", log);
        window = windows.CreateWindow("Panel", "", 0, 0, 0, 10, 10, nullptr);
    }

    std::vector<UINT_PTR> TimerIds() const
    {
        std::vector<UINT_PTR> ids;
        for (const Received& entry : wintest::Only(log, WM_TIMER))
            ids.push_back(entry.wParam);
        return ids;
    }

    MainLoop loop;
    WindowSystem windows{loop};
    std::vector<Received> log;
    HWND window = nullptr;
};

TEST_F(TimerTest, TimersFireByDeadlineAndRepeatUntilKilled)
{
    EXPECT_EQ(windows.SetTimer(window, 2, 200), 2u);
    EXPECT_EQ(windows.SetTimer(window, 1, 20), 1u);
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return TimerIds().size() >= 2 && TimerIds().back() == 2; }));
    const std::vector<UINT_PTR> ids = TimerIds();
    EXPECT_EQ(ids.front(), 1u);
    // The short timer ticked on and on before the long one came.
    EXPECT_GE(std::count(ids.begin(), ids.end(), UINT_PTR{1}), 3);
    EXPECT_EQ(wintest::Only(log, WM_TIMER).front(), (Received{window, WM_TIMER, 1, 0}));

    EXPECT_TRUE(windows.KillTimer(window, 1));
    EXPECT_TRUE(windows.KillTimer(window, 2));
    EXPECT_FALSE(windows.KillTimer(window, 2));
    log.clear();
    wintest::RunUntil(loop, [] { return false; }, 100ms);
    EXPECT_TRUE(TimerIds().empty());
}

TEST_F(TimerTest, SettingAnExistingTimerReplacesIt)
{
    windows.SetTimer(window, 1, 20);
    windows.SetTimer(window, 1, 60000);
    wintest::RunUntil(loop, [] { return false; }, 150ms);
    EXPECT_TRUE(TimerIds().empty());

    windows.SetTimer(window, 1, 20);
    EXPECT_TRUE(wintest::RunUntil(loop, [&] { return !TimerIds().empty(); }));
}

TEST_F(TimerTest, AHandlerThatSetsItsTimerAgainAtEveryTickKeepsTicking)
{
    int ticks = 0;
    windows.RegisterClass({"Frame", [&](HWND self, UINT message, WPARAM, LPARAM) {
                               if (message == WM_TIMER) {
                                   windows.SetTimer(self, 1, 10);
                                   ++ticks;
                               }
                               return LRESULT{0};
                           }});
    const HWND frame = windows.CreateWindow("Frame", "", 0, 0, 0, 1, 1, nullptr);
    windows.SetTimer(frame, 1, 10);
    EXPECT_TRUE(wintest::RunUntil(loop, [&] { return ticks >= 5; }));
}

TEST_F(TimerTest, TimersNeedALiveWindowAndANonZeroId)
{
    EXPECT_EQ(windows.SetTimer(window, 0, 10), 0u);
    EXPECT_EQ(windows.SetTimer(nullptr, 1, 10), 0u);
    windows.SetTimer(window, 1, 10);
    windows.DestroyWindow(window);
    EXPECT_EQ(windows.SetTimer(window, 1, 10), 0u);
    wintest::RunUntil(loop, [] { return false; }, 60ms);
    EXPECT_TRUE(TimerIds().empty());
}

TEST(TimerSetTest, PeriodsBelowTheMinimumAreRaised)
{
    struct Case {
        UINT asked, used;
    };
    for (const Case c : {Case{0, 10}, Case{9, 10}, Case{10, 10}, Case{30, 30}, Case{0xFFFFFFFFu, 0x7FFFFFFFu}})
        EXPECT_EQ(TimerSet::ClampPeriod(c.asked), c.used) << c.asked;
}

// The loop sleeps in poll() until the deadline instead of going round and
// round: a wait of a quarter second takes a handful of iterations.
TEST_F(TimerTest, TheLoopWaitsForTheNextDeadlineInsteadOfSpinning)
{
    windows.SetTimer(window, 1, 250);
    const std::uint64_t before = loop.Iterations();
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return !TimerIds().empty(); }));
    EXPECT_LT(loop.Iterations() - before, 10u);
}

TEST_F(TimerTest, TheLoopWaitsWithAnOnScreenWindowToo)
{
    wintest::UseOffscreenVideo();
    std::vector<Received> screenLog;
    wintest::RegisterRecorder(windows, "Screen", screenLog, WindowSurface::Desktop);
    const HWND screen = windows.CreateWindow("Screen", "", WS_VISIBLE, 0, 0, 64, 64, nullptr);
    ASSERT_NE(screen, nullptr) << windows.LastError();
    windows.SetTimer(window, 1, 400);
    const std::uint64_t before = loop.Iterations();
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return !TimerIds().empty(); }));
    // SDL is asked every WindowSystem::kSdlPollMs at most; allow for the paint
    // of the new window and a few wake-ups.
    EXPECT_LT(loop.Iterations() - before, 20u);
}

} // namespace

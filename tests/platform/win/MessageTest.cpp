// Posted and sent messages through the main loop, WM_QUIT and WM_PAINT.

#include <gtest/gtest.h>

#include <thread>

#include "WindowTestSupport.h"
#include "platform/win/Message.h"
#include "platform/win/Window.h"

namespace {

using namespace win;
using wintest::Received;

class MessageTest : public ::testing::Test {
protected:
    MessageTest()
    {
        wintest::RegisterRecorder(windows, "Panel", log);
        first = windows.CreateWindow("Panel", "", WS_VISIBLE, 0, 0, 10, 10, nullptr);
        second = windows.CreateWindow("Panel", "", WS_VISIBLE, 0, 0, 10, 10, nullptr);
        // Creating visible windows asks for their first paint; start clean.
        wintest::RunUntil(loop, [this] { return !windows.HasPendingPaint(first) && !windows.HasPendingPaint(second); });
        log.clear();
    }

    MainLoop loop;
    WindowSystem windows{loop};
    std::vector<Received> log;
    HWND first = nullptr, second = nullptr;
};

TEST_F(MessageTest, PostedMessagesArriveInOrderThroughTheLoop)
{
    const std::vector<Received> posted{{first, WM_KXW_TRAY, 1, 2},  {second, WM_COMMAND, 3, 4},
                                       {first, WM_KXW_HIDE, 0, 0},  {first, WM_KXW_SHOW, 0, 0},
                                       {second, WM_KXW_GRAPH_EVENT, 5, -6}};
    for (const Received& message : posted)
        ASSERT_TRUE(windows.PostMessage(message.window, message.message, message.wParam, message.lParam));
    EXPECT_TRUE(log.empty()); // nothing happens before the loop runs
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return log.size() >= posted.size(); }));
    EXPECT_EQ(log, posted);
}

TEST_F(MessageTest, SendMessageCallsTheProcedureAtOnce)
{
    windows.SendMessage(first, WM_COMMAND, 7, 8);
    EXPECT_EQ(log, (std::vector<Received>{{first, WM_COMMAND, 7, 8}}));
}

TEST_F(MessageTest, MessagesPostedFromOtherThreadsWakeTheLoop)
{
    std::thread poster([this] {
        for (WPARAM i = 0; i < 50; ++i)
            windows.PostMessage(first, WM_USER, i, 0);
    });
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return log.size() >= 50; }));
    poster.join();
    for (WPARAM i = 0; i < 50; ++i)
        EXPECT_EQ(log[i].wParam, i);
}

TEST_F(MessageTest, QuitEndsRunAfterTheMessagesPostedBeforeIt)
{
    windows.PostMessage(first, WM_USER, 1, 0);
    windows.PostQuitMessage(3);
    windows.PostMessage(first, WM_USER, 2, 0);
    EXPECT_EQ(loop.Run(), 3);
    EXPECT_EQ(log, (std::vector<Received>{{first, WM_USER, 1, 0}}));
}

TEST_F(MessageTest, WmDestroyPostingQuitEndsTheLoop)
{
    windows.RegisterClass({"Manager", [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
                               if (message == WM_DESTROY)
                                   windows.PostQuitMessage(0);
                               return windows.DefWindowProc(window, message, wParam, lParam);
                           }});
    const HWND manager = windows.CreateWindow("Manager", "", 0, 0, 0, 1, 1, nullptr);
    windows.PostMessage(manager, WM_CLOSE, 0, 0);
    EXPECT_EQ(loop.Run(), 0);
    EXPECT_FALSE(windows.IsWindow(manager));
}

TEST_F(MessageTest, AMessageForAWindowDestroyedMeanwhileIsDropped)
{
    windows.PostMessage(first, WM_USER, 1, 0);
    windows.PostMessage(second, WM_USER, 2, 0);
    windows.DestroyWindow(first);
    log.clear();
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return !log.empty(); }));
    EXPECT_EQ(log, (std::vector<Received>{{second, WM_USER, 2, 0}}));
}

TEST_F(MessageTest, InvalidateRectPaintsOnlyThatWindowOnce)
{
    EXPECT_TRUE(windows.InvalidateRect(second));
    EXPECT_TRUE(windows.InvalidateRect(second));
    // A null window asks nobody to repaint.
    EXPECT_FALSE(windows.InvalidateRect(nullptr));
    EXPECT_FALSE(windows.HasPendingPaint(first));
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return !windows.HasPendingPaint(second); }));
    // Nothing else is pending: one more blocking-free pass changes nothing.
    loop.Iterate(false);
    EXPECT_EQ(log, (std::vector<Received>{{second, WM_PAINT, 0, 0}}));
}

TEST_F(MessageTest, PaintWaitsForPostedMessages)
{
    windows.InvalidateRect(first);
    windows.PostMessage(second, WM_USER, 0, 0);
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return log.size() >= 2; }));
    EXPECT_EQ(log, (std::vector<Received>{{second, WM_USER, 0, 0}, {first, WM_PAINT, 0, 0}}));
}

TEST_F(MessageTest, AHiddenWindowIsPaintedWhenShown)
{
    windows.ShowWindow(first, SW_HIDE);
    windows.InvalidateRect(first);
    for (int i = 0; i < 3; ++i)
        loop.Iterate(false);
    EXPECT_TRUE(wintest::Only(log, WM_PAINT).empty());
    windows.ShowWindow(first, SW_SHOW);
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return !windows.HasPendingPaint(first); }));
    EXPECT_EQ(wintest::Only(log, WM_PAINT), (std::vector<Received>{{first, WM_PAINT, 0, 0}}));
}

TEST(MessageQueueTest, QuitIsTakenOnlyAfterEarlierMessages)
{
    int wakes = 0;
    MessageQueue queue([&wakes] { ++wakes; });
    queue.Post({nullptr, WM_USER, 1, 0});
    queue.PostQuit(4);
    queue.PostQuit(5); // the later code wins, the place stays
    queue.Post({nullptr, WM_USER, 2, 0});
    EXPECT_EQ(wakes, 4);
    EXPECT_FALSE(queue.TakeQuit());
    EXPECT_EQ(queue.Take()->wParam, 1u);
    EXPECT_EQ(queue.TakeQuit(), 5);
    EXPECT_FALSE(queue.TakeQuit());
    EXPECT_EQ(queue.Take()->wParam, 2u);
    EXPECT_FALSE(queue.Take());
    EXPECT_FALSE(queue.HasWork());
}

} // namespace

// Our Linux desktop: the unchanged host logic finds our host, and the
// wallpaper window made as its child is an on-screen window over the union of
// the monitors.

#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "platform/win/DesktopHost.h"
#include "platform/win/Monitor.h"
#include "platform/win/ShellWindows.h"

namespace {

using namespace win;
using wintest::Received;

class DesktopHostTest : public ::testing::Test {
protected:
    DesktopHostTest()
    {
        wintest::UseOffscreenVideo();
        wintest::RegisterRecorder(windows, "KXWManager", log, WindowSurface::Desktop);
    }

    MainLoop loop;
    WindowSystem windows{loop};
    std::vector<Received> log;
    // Two monitors, the second left of the first.
    const std::vector<MonitorEntry> monitors{{nullptr, {0, 0, 1920, 1080}}, {nullptr, {-1280, 0, 0, 1024}}};
    const RECT area = GetMonitorsUnionRect(monitors, -1);
};

TEST_F(DesktopHostTest, TheHostLogicFindsOurHostAndLeavesItShown)
{
    DesktopHost desktop(windows, area);
    ShellWindows shell(windows, kDesktopHostVersion);
    const HWND host = shell.FindDesktopHostWindow();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host, desktop.Host());
    EXPECT_TRUE(windows.IsWindowVisible(host));
    RECT rect;
    windows.GetWindowRect(host, &rect);
    EXPECT_EQ(rect, (RECT{-1280, 0, 1920, 1080}));
    EXPECT_EQ(shell.FindShellDefView(), desktop.ShellView());
    EXPECT_EQ(shell.FindDesktopListView(), desktop.ListView());
    EXPECT_TRUE(shell.IsVersionAtLeast(0));
    EXPECT_TRUE(shell.IsVersionAtLeast(2));
}

TEST_F(DesktopHostTest, TheWallpaperWindowIsAnOnScreenChildOverTheUnion)
{
    DesktopHost desktop(windows, area);
    const HWND host = ShellWindows(windows, kDesktopHostVersion).FindDesktopHostWindow();
    const HWND manager =
        windows.CreateWindow("KXWManager", "KXWManager", WS_CHILD, 0, 0, area.Width(), area.Height(), host);
    ASSERT_NE(manager, nullptr) << windows.LastError();
    const std::shared_ptr<NativeWindow> native = windows.GetNativeWindow(manager);
    ASSERT_NE(native, nullptr);
    EXPECT_FALSE(native->IsShown());

    RECT rect;
    windows.GetWindowRect(manager, &rect);
    EXPECT_EQ(rect, area);
    EXPECT_EQ(native->Rect().Width(), area.Width());
    EXPECT_EQ(native->Rect().Height(), area.Height());

    windows.ShowWindow(manager, SW_SHOW);
    EXPECT_TRUE(native->IsShown());
    // The on-screen window follows its ancestors' visibility.
    windows.ShowWindow(host, SW_HIDE);
    EXPECT_FALSE(native->IsShown());
    windows.ShowWindow(host, SW_SHOW);
    EXPECT_TRUE(native->IsShown());

    windows.SetWindowPos(manager, nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(native->Rect().Width(), 640);
    EXPECT_EQ(native->Rect().Height(), 480);

    // Destroyed, the window is hidden at once; whoever still holds the
    // on-screen window (a device) keeps it until it lets go.
    windows.DestroyWindow(manager);
    EXPECT_FALSE(native->IsShown());
}

TEST_F(DesktopHostTest, ExposingTheWindowPaintsIt)
{
    DesktopHost desktop(windows, area);
    const HWND manager = windows.CreateWindow("KXWManager", "KXWManager", WS_CHILD | WS_VISIBLE, 0, 0, 64, 64,
                                              desktop.Host());
    ASSERT_NE(manager, nullptr) << windows.LastError();
    EXPECT_TRUE(wintest::RunUntil(loop, [&] { return !wintest::Only(log, WM_PAINT).empty(); }));
}

TEST_F(DesktopHostTest, EndingTheDesktopDestroysItsWindowsAndTheirChildren)
{
    HWND manager = nullptr;
    HWND host = nullptr;
    {
        DesktopHost desktop(windows, area);
        host = desktop.Host();
        manager = windows.CreateWindow("KXWManager", "", WS_CHILD, 0, 0, 8, 8, host);
        // A second desktop in the same window system reuses the classes.
        DesktopHost second(windows, area);
        EXPECT_NE(second.Host(), host);
    }
    EXPECT_FALSE(windows.IsWindow(host));
    EXPECT_FALSE(windows.IsWindow(manager));
    EXPECT_EQ(wintest::Only(log, WM_DESTROY).size(), 1u);
    EXPECT_EQ(windows.FindWindow(kProgmanClass), nullptr);
}

} // namespace

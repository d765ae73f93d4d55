// The window tree: classes, creation, lookup by class and z-order, visibility,
// geometry and destruction.

#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "platform/win/Window.h"

namespace {

using namespace win;
using wintest::Received;

class WindowTreeTest : public ::testing::Test {
protected:
    WindowTreeTest()
    {
        wintest::RegisterRecorder(windows, "Panel", log);
        wintest::RegisterRecorder(windows, "Other", log);
    }

    HWND Make(std::string_view className, HWND parent = nullptr, DWORD style = WS_VISIBLE, int x = 0, int y = 0,
              int width = 100, int height = 50)
    {
        return windows.CreateWindow(className, "", style | (parent ? WS_CHILD : 0), x, y, width, height, parent);
    }

    MainLoop loop;
    WindowSystem windows{loop};
    std::vector<Received> log;
};

TEST_F(WindowTreeTest, ClassesAreNamedWithoutRegardToCaseAndOnlyOnce)
{
    EXPECT_EQ(windows.RegisterClass({"panel", [](HWND, UINT, WPARAM, LPARAM) { return LRESULT{0}; }}), 0);
    EXPECT_EQ(windows.RegisterClass({"", [](HWND, UINT, WPARAM, LPARAM) { return LRESULT{0}; }}), 0);
    EXPECT_EQ(windows.RegisterClass({"NoProc", nullptr}), 0);
    EXPECT_EQ(windows.CreateWindow("Unknown", "", 0, 0, 0, 1, 1, nullptr), nullptr);
    EXPECT_NE(windows.LastError().find("Unknown"), std::string::npos);

    const HWND window = Make("PANEL");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(windows.GetClassName(window), "Panel");
    EXPECT_EQ(windows.FindWindow("pAnEl"), window);
}

// A class goes only once its last window has: its procedure may refer to an
// owner that is about to go, and a later owner registers the name afresh.
TEST_F(WindowTreeTest, ClassesAreUnregisteredOnlyWithoutWindows)
{
    const HWND window = Make("Panel");
    EXPECT_FALSE(windows.UnregisterClass("panel"));
    EXPECT_TRUE(windows.IsClassRegistered("Panel"));
    ASSERT_TRUE(windows.DestroyWindow(window));
    EXPECT_TRUE(windows.UnregisterClass("panel"));
    EXPECT_FALSE(windows.IsClassRegistered("Panel"));
    EXPECT_FALSE(windows.UnregisterClass("Panel"));
    EXPECT_NE(windows.RegisterClass({"Panel", [](HWND, UINT, WPARAM, LPARAM) { return LRESULT{7}; }}), 0);
    EXPECT_EQ(windows.SendMessage(Make("Panel"), WM_USER, 0, 0), 7);
}

TEST_F(WindowTreeTest, FindsByClassInZOrderTopmostFirst)
{
    const HWND first = Make("Panel");
    const HWND other = Make("Other");
    const HWND second = Make("Panel"); // new windows come to the top

    EXPECT_EQ(windows.FindWindow("Panel"), second);
    EXPECT_EQ(windows.FindWindowEx(nullptr, second, "Panel"), first);
    EXPECT_EQ(windows.FindWindowEx(nullptr, first, "Panel"), nullptr);
    EXPECT_EQ(windows.GetNextWindow(second), other);
    EXPECT_EQ(windows.GetNextWindow(other), first);
    EXPECT_EQ(windows.GetNextWindow(first), nullptr);

    const HWND child = Make("Other", first);
    EXPECT_EQ(windows.FindWindowEx(first, nullptr, "Other"), child);
    EXPECT_EQ(windows.FindWindowEx(second, nullptr, "Other"), nullptr);
    EXPECT_EQ(windows.GetParent(child), first);
    // A child is not a top-level window, and a window after which to search
    // must be in the list searched.
    EXPECT_EQ(windows.FindWindow("Other"), other);
    EXPECT_EQ(windows.FindWindowEx(nullptr, child, "Other"), nullptr);
}

TEST_F(WindowTreeTest, ChildrenArePlacedRelativeToTheirParent)
{
    const HWND parent = Make("Panel", nullptr, WS_VISIBLE, -1280, 10, 3200, 1080);
    const HWND child = Make("Other", parent, WS_VISIBLE, 5, 6, 20, 30);
    RECT rect;
    ASSERT_TRUE(windows.GetWindowRect(child, &rect));
    EXPECT_EQ(rect, (RECT{-1275, 16, -1255, 46}));

    // Moving the parent carries the child along; moving the child is relative.
    windows.SetWindowPos(parent, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    windows.GetWindowRect(child, &rect);
    EXPECT_EQ(rect, (RECT{5, 6, 25, 36}));
    windows.SetWindowPos(child, nullptr, 1, 2, 300, 400, SWP_NOZORDER);
    windows.GetWindowRect(child, &rect);
    EXPECT_EQ(rect, (RECT{1, 2, 301, 402}));
    windows.SetWindowPos(child, nullptr, 9, 9, 7, 8, SWP_NOMOVE | SWP_NOZORDER);
    windows.GetWindowRect(child, &rect);
    EXPECT_EQ(rect, (RECT{1, 2, 8, 10}));
}

TEST_F(WindowTreeTest, SetWindowPosReordersSiblings)
{
    const HWND a = Make("Panel");
    const HWND b = Make("Panel");
    const HWND c = Make("Panel"); // order: c, b, a
    windows.SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(windows.FindWindow("Panel"), b);
    EXPECT_EQ(windows.GetNextWindow(a), c);
    windows.SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(windows.FindWindow("Panel"), c);
    windows.SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(windows.GetNextWindow(b), a);
    EXPECT_EQ(windows.GetNextWindow(a), c);
}

TEST_F(WindowTreeTest, VisibilityNeedsEveryAncestorVisible)
{
    const HWND parent = Make("Panel", nullptr, 0);
    const HWND child = Make("Other", parent, WS_VISIBLE);
    EXPECT_FALSE(windows.IsWindowVisible(child));

    EXPECT_FALSE(windows.ShowWindow(parent, SW_SHOW)); // was hidden
    EXPECT_TRUE(windows.IsWindowVisible(child));
    EXPECT_TRUE(windows.ShowWindow(parent, SW_SHOW));  // already shown
    EXPECT_TRUE(windows.ShowWindow(child, SW_HIDE));
    EXPECT_FALSE(windows.IsWindowVisible(child));
    EXPECT_TRUE(windows.IsWindowVisible(parent));
    // A command that has no meaning here leaves the window as it is.
    EXPECT_FALSE(windows.ShowWindow(child, 6 /* minimise */));
    EXPECT_FALSE(windows.IsWindowVisible(child));
}

TEST_F(WindowTreeTest, DestroyingSendsWmDestroyParentFirstAndInvalidatesHandles)
{
    const HWND parent = Make("Panel");
    const HWND child = Make("Other", parent);
    const HWND grandchild = Make("Other", child);
    windows.SetTimer(child, 1, 10);

    EXPECT_TRUE(windows.DestroyWindow(parent));
    EXPECT_EQ(wintest::Only(log, WM_DESTROY),
              (std::vector<Received>{
                  {parent, WM_DESTROY, 0, 0}, {child, WM_DESTROY, 0, 0}, {grandchild, WM_DESTROY, 0, 0}}));
    for (HWND window : {parent, child, grandchild})
        EXPECT_FALSE(windows.IsWindow(window));
    EXPECT_FALSE(windows.DestroyWindow(parent));
    EXPECT_FALSE(windows.KillTimer(child, 1)); // went with its window
    EXPECT_FALSE(windows.PostMessage(child, WM_USER, 0, 0));

    // Handles are never handed out again.
    const HWND next = Make("Panel");
    EXPECT_NE(next, parent);
    EXPECT_NE(next, child);
    EXPECT_NE(next, grandchild);
}

TEST_F(WindowTreeTest, WmCloseThroughDefWindowProcDestroysTheWindow)
{
    const HWND window = Make("Panel");
    windows.SendMessage(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(windows.IsWindow(window));
    EXPECT_EQ(log.back().message, WM_DESTROY);
}

TEST_F(WindowTreeTest, AWindowMayDestroyItselfAndItsParentFromItsProcedure)
{
    HWND parent = nullptr;
    windows.RegisterClass({"SelfDestroying", [this, &parent](HWND window, UINT message, WPARAM, LPARAM) {
                               if (message == WM_USER)
                                   windows.DestroyWindow(window);
                               if (message == WM_DESTROY)
                                   windows.DestroyWindow(parent);
                               return LRESULT{0};
                           }});
    parent = Make("Panel");
    const HWND child = Make("SelfDestroying", parent);
    windows.SendMessage(child, WM_USER, 0, 0);
    EXPECT_FALSE(windows.IsWindow(child));
    EXPECT_FALSE(windows.IsWindow(parent));
    EXPECT_EQ(windows.FindWindow("Panel"), nullptr);
}

TEST_F(WindowTreeTest, CreationRefusesBadParents)
{
    EXPECT_EQ(windows.CreateWindow("Panel", "", WS_CHILD, 0, 0, 1, 1, nullptr), nullptr);
    const HWND gone = Make("Panel");
    windows.DestroyWindow(gone);
    EXPECT_EQ(Make("Panel", gone), nullptr);
    EXPECT_EQ(windows.SendMessage(gone, WM_USER, 0, 0), 0);
}

} // namespace

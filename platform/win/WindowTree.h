#pragma once
// The few window-tree operations that the desktop-host logic (ShellWindows.h)
// needs. Our own window system implements it (Window.h); tests run the same
// logic against models of the Windows shell built on it.
//
// Class names compare without regard to ASCII case, as window classes do.
// Top-level windows and the children of one parent each form a list in
// z-order, topmost first.

#include <string_view>

#include "platform/win/WindowTypes.h"

namespace win {

class WindowTree {
public:
    virtual ~WindowTree() = default;

    // The topmost top-level window of the class; null when there is none.
    virtual HWND FindWindow(std::string_view className) const = 0;
    // The first child of `parent` (top-level windows when null) of the class
    // that comes after `childAfter` (from the first when null).
    virtual HWND FindWindowEx(HWND parent, HWND childAfter, std::string_view className) const = 0;
    // The window below `window` in its list; null at the end.
    virtual HWND GetNextWindow(HWND window) const = 0;
    virtual HWND GetParent(HWND window) const = 0;
    virtual bool IsWindow(HWND window) const = 0;
    // Whether the window and all its ancestors are visible.
    virtual bool IsWindowVisible(HWND window) const = 0;
    // Shows or hides (SW_SHOW, SW_HIDE, ...); returns whether it was visible before.
    virtual bool ShowWindow(HWND window, int command) = 0;
    // Calls the window's procedure now; 0 for a window that does not exist.
    virtual LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

} // namespace win

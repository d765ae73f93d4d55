#pragma once
// The handle, rectangle and flag types of the window layer. Numeric values of
// styles, show commands and placement flags are Win32's documented ones, so
// code written against them reads the same here.

#include <cstdint>
#include <functional>

#include "platform/crt/WinTypes.h"

namespace win {

// A window handle: an opaque number, never a pointer to anything. Handles are
// not reused within a process, so a stale handle never names a newer window.
struct WindowHandleTag;
using HWND = WindowHandleTag*;
// A display monitor handle, opaque in the same way.
struct MonitorHandleTag;
using HMONITOR = MonitorHandleTag*;

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;

// Left and top inside, right and bottom outside; virtual-screen pixels.
struct RECT {
    LONG left = 0, top = 0, right = 0, bottom = 0;

    LONG Width() const { return right - left; }
    LONG Height() const { return bottom - top; }
    friend bool operator==(const RECT&, const RECT&) = default;
};

using WindowProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// Window styles (kept and reported; WS_VISIBLE and WS_CHILD also act).
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;

// Class styles (kept only).
inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_SHOWNA = 8;

// SetWindowPos: insert-after handles and flags.
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(std::uintptr_t{1});
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;

// Timers: the shortest period a timer runs at; shorter requests are raised to it.
inline constexpr UINT USER_TIMER_MINIMUM = 0x0000000A;
inline constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

} // namespace win

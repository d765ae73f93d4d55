#pragma once
// Window messages and the thread's queue of posted messages.
//
// Message numbers are Win32's documented values. The four private messages of
// the manager window are fixed too: other processes and the tray send them.
//
// The queue is the one part of the window layer that other threads may touch:
// posting (an audio graph reports its events from its own thread) locks it and
// wakes the main loop. Everything else runs on the main thread.

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/win/WindowTypes.h"

namespace win {

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;

// Private messages of the manager window.
inline constexpr UINT WM_KXW_TRAY = WM_USER + 1;  // 0x401: tray icon callback
inline constexpr UINT WM_KXW_HIDE = WM_USER + 2;  // 0x402: stop the wallpaper and hide
inline constexpr UINT WM_KXW_SHOW = WM_USER + 3;  // 0x403: show the wallpaper again
inline constexpr UINT WM_KXW_GRAPH_EVENT = WM_APP; // 0x8000: audio graph event

struct MSG {
    HWND hwnd = nullptr;
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class MessageQueue {
public:
    // Called (outside the lock) after every post, to wake the thread that
    // takes the messages.
    explicit MessageQueue(std::function<void()> wake = {}) : wake_(std::move(wake)) {}

    // Any thread.
    void Post(const MSG& message);
    // Any thread. The quit request is taken after the messages posted before it.
    void PostQuit(int exitCode);

    // Main thread: the oldest message, or nothing when the queue is empty.
    std::optional<MSG> Take();
    // Main thread: the exit code once every message posted before the quit
    // request has been taken; nothing otherwise. Taking it clears it.
    std::optional<int> TakeQuit();
    // Whether Take or TakeQuit would give something.
    bool HasWork() const;
    std::size_t Size() const;

private:
    mutable std::mutex mutex_;
    std::deque<MSG> messages_;
    // Messages still ahead of the quit request when it was posted.
    std::optional<std::size_t> quitAfter_;
    int exitCode_ = 0;
    std::function<void()> wake_;
};

} // namespace win

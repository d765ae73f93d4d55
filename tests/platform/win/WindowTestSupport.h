#pragma once
// Helpers for the window-layer tests: headless video, running the loop until
// something happened, and a window class that records its messages.

#include <chrono>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/win/MainLoop.h"
#include "platform/win/Message.h"
#include "platform/win/Window.h"

namespace wintest {

// Every test runs without a display, whatever the environment says.
inline void UseOffscreenVideo() { setenv("SDL_VIDEODRIVER", "offscreen", 1); }

// Iterates the loop until `done` holds or `limit` passes; returns `done()`.
inline bool RunUntil(win::MainLoop& loop, const std::function<bool()>& done,
                     std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    bool timedOut = false;
    win::MainLoop::Source guard = loop.AddTimeout(limit, win::MainLoop::kPriorityMessages, [&timedOut] {
        timedOut = true;
        return false;
    });
    while (!done() && !timedOut)
        loop.Iterate(true);
    return done();
}

struct Received {
    win::HWND window;
    UINT message;
    win::WPARAM wParam;
    win::LPARAM lParam;
    friend bool operator==(const Received&, const Received&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Received& received)
    {
        return out << "{window " << received.window << ", message 0x" << std::hex << received.message << std::dec
                   << ", " << received.wParam << ", " << received.lParam << "}";
    }
};

// Registers `className`, whose windows record every message into `log` and
// then leave it to DefWindowProc (so WM_CLOSE destroys them).
inline void RegisterRecorder(win::WindowSystem& windows, const std::string& className, std::vector<Received>& log,
                             win::WindowSurface surface = win::WindowSurface::None)
{
    windows.RegisterClass({className,
                           [&windows, &log](win::HWND window, UINT message, win::WPARAM wParam, win::LPARAM lParam) {
                               log.push_back({window, message, wParam, lParam});
                               return windows.DefWindowProc(window, message, wParam, lParam);
                           },
                           0, surface});
}

// The messages of `log` with number `message`, in order.
inline std::vector<Received> Only(const std::vector<Received>& log, UINT message)
{
    std::vector<Received> found;
    for (const Received& entry : log) {
        if (entry.message == message)
            found.push_back(entry);
    }
    return found;
}

} // namespace wintest

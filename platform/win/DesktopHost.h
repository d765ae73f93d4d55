#pragma once
// Our desktop on Linux, as windows of our own tree, laid out the way the
// desktop-host logic (ShellWindows.h) expects of a current shell:
//
//   "WorkerW"            holds "SHELLDLL_DefView", which holds "SysListView32"
//   "WorkerW"            the host: the wallpaper window becomes its child
//   "Progman"            answers the request for a worker (0x52C): it exists already
//
// in this z-order, each spanning the given area (the union of the monitors).
// With kDesktopHostVersion the logic takes the current shell's branches, so
// it finds the host and leaves it visible. The on-screen window is the
// wallpaper window itself, a desktop-type window (Window.h); these three
// exist only in the tree.

#include "platform/win/ShellWindows.h"
#include "platform/win/Window.h"
#include "platform/win/WindowTypes.h"

namespace win {

inline constexpr SystemVersion kDesktopHostVersion{6, 2};

class DesktopHost {
public:
    DesktopHost(WindowSystem& windows, const RECT& area);
    // Destroys the windows that still exist, and with them their children.
    ~DesktopHost();
    DesktopHost(const DesktopHost&) = delete;
    DesktopHost& operator=(const DesktopHost&) = delete;

    HWND Host() const { return host_; }
    HWND Progman() const { return progman_; }
    HWND ShellView() const { return shellView_; }
    HWND ListView() const { return listView_; }

private:
    void RegisterClasses();
    HWND Create(std::string_view className, HWND parent, DWORD style);

    WindowSystem& windows_;
    RECT area_;
    HWND progman_ = nullptr;
    HWND host_ = nullptr;
    HWND iconWorker_ = nullptr;
    HWND shellView_ = nullptr;
    HWND listView_ = nullptr;
};

} // namespace win

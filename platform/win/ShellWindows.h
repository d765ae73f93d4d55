#pragma once
// Finding the shell's desktop windows: the window that hosts the wallpaper
// behind the desktop icons, the shell view and its icon list view.
//
// The logic is the one that works on the Windows shell, written once over
// the window-tree interface: asking "Progman" (message 0x52C) to create the
// worker window behind the icons, then taking the window after the "WorkerW"
// that holds "SHELLDLL_DefView". The branches by system version are kept:
// before 6.2 that worker window is hidden and "Progman" itself is the host.
// Our Linux desktop (DesktopHost.h) is built so that this logic finds our
// own host window there.
//
// Found windows are cached and reused while they are still windows.

#include <string_view>

#include "platform/win/WindowTree.h"
#include "platform/win/WindowTypes.h"

namespace win {

inline constexpr std::string_view kProgmanClass = "Progman";
inline constexpr std::string_view kWorkerClass = "WorkerW";
inline constexpr std::string_view kShellViewClass = "SHELLDLL_DefView";
inline constexpr std::string_view kListViewClass = "SysListView32";
// Asks "Progman" to create the worker window behind the desktop icons.
inline constexpr UINT kSpawnWorkerMessage = 0x052C;
// The list view message that sets extended styles; LVS_EX_REGIONAL lets the
// window behind show between the icons.
inline constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = 0x1036;
inline constexpr LPARAM LVS_EX_REGIONAL = 0x200;

struct SystemVersion {
    DWORD major = 6;
    DWORD minor = 2;
};

class ShellWindows {
public:
    ShellWindows(WindowTree& tree, SystemVersion version) : tree_(tree), version_(version) {}

    WindowTree& Tree() { return tree_; }
    // Whether the system is version 6.minor or later.
    bool IsVersionAtLeast(DWORD minor) const;

    // The window that parents the wallpaper window; null when there is none.
    HWND FindDesktopHostWindow();
    // The shell's "SHELLDLL_DefView"; null when there is none.
    HWND FindShellDefView();
    // The "SysListView32" of the shell view, which shows the desktop icons.
    HWND FindDesktopListView();

private:
    bool Valid(HWND cached) const { return cached && tree_.IsWindow(cached); }

    WindowTree& tree_;
    SystemVersion version_;
    HWND host_ = nullptr;
    HWND shellView_ = nullptr;
    HWND listView_ = nullptr;
};

} // namespace win

#include "platform/win/DesktopHost.h"

#include <array>

namespace win {

DesktopHost::DesktopHost(WindowSystem& windows, const RECT& area) : windows_(windows), area_(area)
{
    RegisterClasses();
    // New windows come to the top, so the lowest is made first.
    progman_ = Create(kProgmanClass, nullptr, WS_VISIBLE);
    host_ = Create(kWorkerClass, nullptr, WS_VISIBLE);
    iconWorker_ = Create(kWorkerClass, nullptr, WS_VISIBLE);
    shellView_ = Create(kShellViewClass, iconWorker_, WS_CHILD | WS_VISIBLE);
    listView_ = Create(kListViewClass, shellView_, WS_CHILD | WS_VISIBLE);
}

DesktopHost::~DesktopHost()
{
    for (HWND window : {iconWorker_, host_, progman_})
        windows_.DestroyWindow(window);
}

void DesktopHost::RegisterClasses()
{
    WindowSystem& windows = windows_;
    const WindowProc plain = [&windows](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return windows.DefWindowProc(window, message, wParam, lParam);
    };
    const WindowProc progman = [&windows](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == kSpawnWorkerMessage)
            return 0; // the worker behind the icons exists from the start
        return windows.DefWindowProc(window, message, wParam, lParam);
    };
    const std::array<WindowClass, 4> classes{
        WindowClass{std::string(kProgmanClass), progman},
        WindowClass{std::string(kWorkerClass), plain},
        WindowClass{std::string(kShellViewClass), plain},
        WindowClass{std::string(kListViewClass), plain},
    };
    // A second desktop in the same window system reuses the classes.
    for (const WindowClass& windowClass : classes) {
        if (!windows_.IsClassRegistered(windowClass.name))
            windows_.RegisterClass(windowClass);
    }
}

HWND DesktopHost::Create(std::string_view className, HWND parent, DWORD style)
{
    // Children sit at their parent's origin; everything spans the area.
    const int x = parent ? 0 : area_.left;
    const int y = parent ? 0 : area_.top;
    return windows_.CreateWindow(className, "", style, x, y, area_.Width(), area_.Height(), parent);
}

} // namespace win

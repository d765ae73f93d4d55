#include "platform/win/ShellWindows.h"

namespace win {

bool ShellWindows::IsVersionAtLeast(DWORD minor) const
{
    return version_.major > 6 || (version_.major == 6 && version_.minor >= minor);
}

HWND ShellWindows::FindDesktopHostWindow()
{
    if (Valid(host_))
        return host_;
    const HWND progman = tree_.FindWindow(kProgmanClass);
    if (progman)
        tree_.SendMessage(progman, kSpawnWorkerMessage, 0, 0);
    // Every worker is looked at; the last one that holds the shell view wins.
    // Without any, the cache keeps what it held.
    for (HWND worker = tree_.FindWindowEx(nullptr, nullptr, kWorkerClass); worker;
         worker = tree_.FindWindowEx(nullptr, worker, kWorkerClass)) {
        if (tree_.FindWindowEx(worker, nullptr, kShellViewClass))
            host_ = tree_.GetNextWindow(worker);
    }
    if (IsVersionAtLeast(2))
        return host_;
    // Older shells draw the wallpaper in "Progman" itself: the worker behind
    // the icons would cover it.
    if (host_)
        tree_.ShowWindow(host_, SW_HIDE);
    host_ = progman;
    return progman;
}

HWND ShellWindows::FindShellDefView()
{
    if (Valid(shellView_))
        return shellView_;
    const HWND progman = tree_.FindWindow(kProgmanClass);
    HWND view = progman ? tree_.FindWindowEx(progman, nullptr, kShellViewClass) : nullptr;
    for (HWND worker = tree_.FindWindowEx(nullptr, nullptr, kWorkerClass); !view && worker;
         worker = tree_.FindWindowEx(nullptr, worker, kWorkerClass))
        view = tree_.FindWindowEx(worker, nullptr, kShellViewClass);
    shellView_ = view;
    return view;
}

HWND ShellWindows::FindDesktopListView()
{
    if (Valid(listView_))
        return listView_;
    const HWND view = FindShellDefView();
    listView_ = view ? tree_.FindWindowEx(view, nullptr, kListViewClass) : nullptr;
    return listView_;
}

} // namespace win


#pragma once
// The desktop icons: shown or hidden by showing or hiding the shell's icon
// list view ("SysListView32" inside "SHELLDLL_DefView"). The visibility is
// kept nowhere else: it is read back from the window whenever it is needed,
// and it outlives the program.
//
// Without a shell (our Linux desktop has no icon view of the shell) the
// icons count as not visible and toggling does nothing.

#include "platform/win/ShellWindows.h"

class DS_Desktop {
public:
    DS_Desktop() = default;
    explicit DS_Desktop(win::ShellWindows* shell) : shell_(shell) {}

    bool AreIconsVisible() const;
    // Hides the icons when they are visible, else shows them.
    void ToggleIcons();

private:
    win::HWND ListView() const;

    win::ShellWindows* shell_ = nullptr;
};

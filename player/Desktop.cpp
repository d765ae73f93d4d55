#include "player/Desktop.h"

win::HWND DS_Desktop::ListView() const
{
    return shell_ ? shell_->FindDesktopListView() : nullptr;
}

bool DS_Desktop::AreIconsVisible() const
{
    const win::HWND listView = ListView();
    return listView && shell_->Tree().IsWindowVisible(listView);
}

void DS_Desktop::ToggleIcons()
{
    const win::HWND listView = ListView();
    if (!listView)
        return;
    const bool visible = shell_->Tree().IsWindowVisible(listView);
    shell_->Tree().ShowWindow(listView, visible ? win::SW_HIDE : win::SW_SHOW);
}

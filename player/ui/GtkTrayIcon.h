#pragma once
// The tray icon on a Linux desktop, in one of two forms:
//  - a StatusNotifier item through ayatana-appindicator. An indicator
//    cannot report clicks: its menu is attached to it and opened by the
//    desktop, so the menu's check marks are kept in step instead.
//  - a GtkStatusIcon in an X system tray, which reports its mouse messages
//    (button down, up, double click) as the system's tray would.

#include <functional>
#include <memory>

#include "player/TrayIcon.h"
#include "player/TrayMenu.h"

namespace player {

class GtkTrayMenu;

class GtkTrayIcon {
public:
    virtual ~GtkTrayIcon() = default;
    virtual void UpdateMenu(const TrayMenu& menu) = 0;
    // The menu attached to the icon; null when it opens a new one per click.
    virtual GtkTrayMenu* AttachedMenu() = 0;
};

// The mouse message on the icon (WM_LBUTTONUP, ...).
using TrayMouseHandler = std::function<void(win::LPARAM message)>;
using TrayCommandHandler = std::function<void(win::WPARAM command)>;

// Null when the indicator could not be made.
std::unique_ptr<GtkTrayIcon> MakeIndicatorTrayIcon(const TrayIconData& icon, const TrayMenu& menu,
                                                   TrayCommandHandler chosen);
std::unique_ptr<GtkTrayIcon> MakeStatusTrayIcon(const TrayIconData& icon, TrayMouseHandler mouse);

} // namespace player

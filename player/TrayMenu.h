#pragma once
// The tray icon's popup menu (menu 102): its items with their command ids,
// and the check marks it carries when it opens. Check marks are set by
// position, as the menu's layout fixes them: the picture-position popup
// checks the item at the "PicPos" index, the icons popup item 0 for visible
// desktop icons and item 1 for icon smoothing.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/WindowTypes.h"

namespace player {

// WM_COMMAND ids of the tray menu (the whole wParam).
namespace tray_command {
inline constexpr win::WPARAM kSettings = 40008;
inline constexpr win::WPARAM kShowIcons = 40009;
inline constexpr win::WPARAM kIconSmoothing = 40012;
inline constexpr win::WPARAM kStretch = 40014;
inline constexpr win::WPARAM kFit = 40015;
inline constexpr win::WPARAM kFill = 40016;
inline constexpr win::WPARAM kExit = 40001;
inline constexpr win::WPARAM kMoreWallpapers = 40006;
// No menu item sends it; the manager window still answers it.
inline constexpr win::WPARAM kToggleMute = 40010;
} // namespace tray_command

// The tray icon's callback: the mouse message in lParam.
inline constexpr win::LPARAM WM_LBUTTONDOWN = 0x201;
inline constexpr win::LPARAM WM_LBUTTONUP = 0x202;
inline constexpr win::LPARAM WM_LBUTTONDBLCLK = 0x203;
inline constexpr win::LPARAM WM_RBUTTONDOWN = 0x204;
inline constexpr win::LPARAM WM_RBUTTONUP = 0x205;
inline constexpr win::LPARAM WM_RBUTTONDBLCLK = 0x206;

inline constexpr std::uint16_t kTrayMenuId = 102;

struct TrayMenuItem {
    std::string text;         // UTF-8; empty for a separator
    win::WPARAM command = 0;  // 0 for a popup or a separator
    bool separator = false;
    bool checked = false;
    std::vector<TrayMenuItem> items; // a popup's items
};

struct TrayMenu {
    std::vector<TrayMenuItem> items;

    // The item at `position`, or null outside the menu.
    TrayMenuItem* At(std::size_t position);
    const TrayMenuItem* At(std::size_t position) const;
    // The item carrying `command` anywhere in the menu, or null.
    const TrayMenuItem* Find(win::WPARAM command) const;
};

// Positions in the menu that the check marks use.
inline constexpr std::size_t kIconsPopupPosition = 1;
inline constexpr std::size_t kPicturePositionPopupPosition = 2;

// What the check marks show.
struct TrayMenuState {
    std::int32_t picturePosition = 0;
    bool iconsVisible = false;
    bool iconSmoothing = false;
};

// The menu as its template gives it, nothing checked.
TrayMenu LoadTrayMenu();
// Sets the check marks by position; a picture position with no item checks none.
void CheckTrayMenu(TrayMenu& menu, const TrayMenuState& state);

} // namespace player

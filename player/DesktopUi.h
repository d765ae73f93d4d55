#pragma once
// What the desktop program's start-up and its manager window ask of the
// user interface: the settings dialog, the tray icon with its menu, and the
// commands that menu sends back. The host (DesktopHostApp.h) owns one; the
// toolkit behind it is chosen where it is made (MakeDesktopUi).
#include <functional>
#include <memory>
#include <string_view>

#include "platform/win/Launch.h"
#include "platform/win/WindowTypes.h"
#include "player/Autorun.h"
#include "player/Desktop.h"
#include "player/LocalisedStrings.h"
#include "player/Settings.h"

namespace win {
class WindowSystem;
}

namespace player {

class WallpaperPlayer;

class DesktopUi {
public:
    virtual ~DesktopUi() = default;
    // Makes the modeless settings dialog and keeps it; it is shown when the
    // "Show dialog" setting is on or `forceShow` is true (or when no tray
    // would let the user reach it otherwise). False when it cannot be made.
    virtual bool CreateSettingsDialog(bool forceShow) = 0;
    // Adds the tray icon (and shows its balloon); removing it again is harmless.
    virtual bool AddTrayIcon() = 0;
    virtual void RemoveTrayIcon() = 0;
    // The tray icon's callback message (WM_KXW_TRAY): `lParam` is the mouse message.
    virtual void ShowTrayMenu(win::LPARAM lParam) = 0;
    // WM_COMMAND at the manager window: the whole wParam is the command id.
    virtual void OnTrayCommand(win::WPARAM wParam) = 0;
};

// What the user interface works with; all of it outlives the interface.
struct DesktopUiServices {
    win::WindowSystem& windows;
    win::HWND managerWindow;
    Settings& settings;
    const Autorun& autorun;
    DS_Desktop& desktop;
    LocalisedStrings& strings;
    win::UriLauncher& launcher;
    WallpaperPlayer& player;
};

// How the program makes its user interface and tells the user that start-up
// failed. The toolkit's own library provides the two functions below; the
// host takes them as values so that it does not depend on the toolkit.
struct DesktopUiToolkit {
    std::function<std::unique_ptr<DesktopUi>(DesktopUiServices)> makeUi;
    std::function<void(std::string_view text, std::string_view title)> showError;
};

// The interface for this session: the toolkit's when a display is there,
// otherwise one with no windows, whose commands still act on the settings
// and the player.
std::unique_ptr<DesktopUi> MakeDesktopUi(DesktopUiServices services);

// Tells the user that start-up failed: always on standard error, and as a
// message box when a display is there.
void ShowStartupError(std::string_view text, std::string_view title);

} // namespace player

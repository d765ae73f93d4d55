#pragma once
// What the tray logic (TrayUi.h) asks of a toolkit: the tray icon with its
// balloon and menu, and the settings dialog's window. The toolkit reports
// back through the manager window, as the system's tray does: mouse
// messages on the icon as WM_KXW_TRAY, a chosen menu item as WM_COMMAND.
// The dialog's controls report to the SettingsDialogController they show.

#include "player/SettingsDialogController.h"
#include "player/TrayIcon.h"
#include "player/TrayMenu.h"

namespace player {

class TrayUiView {
public:
    virtual ~TrayUiView() = default;

    // Whether the desktop shows tray icons at all. Without, the settings
    // dialog is the only way to the settings.
    virtual bool HasTrayHost() = 0;
    // Adds the icon; `menu` is the menu as it would open now, for a tray
    // that keeps its menu attached to the icon. False when it failed.
    virtual bool AddTrayIcon(const TrayIconData& icon, const TrayMenu& menu) = 0;
    // Harmless when there is no icon.
    virtual void RemoveTrayIcon() = 0;
    // Keeps an attached menu's check marks in step.
    virtual void UpdateTrayMenu(const TrayMenu& menu) = 0;
    // The balloon of the icon record; false when nobody could show it.
    virtual bool ShowBalloon(const TrayIconData& icon) = 0;
    // Opens `menu` at the pointer; the chosen item's command goes to the
    // manager window as WM_COMMAND.
    virtual void PopupTrayMenu(const TrayMenu& menu) = 0;

    // Makes the dialog's window for `controller`, whose state is set up;
    // hidden until ShowDialog. False when it cannot be made. The controller
    // belongs to the TrayUi: the window must be gone before it.
    virtual bool CreateDialog(SettingsDialogController& controller) = 0;
    virtual bool HasDialog() const = 0;
    // Shows the control's current state (the controller's observer).
    virtual void RefreshDialogControl(int id) = 0;
    // Shows the dialog, also when it was iconified, and raises it.
    virtual void ShowDialog() = 0;
    virtual void HideDialog() = 0;
    virtual void IconifyDialog() = 0;
};

} // namespace player

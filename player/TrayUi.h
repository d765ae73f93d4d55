#pragma once
// The desktop user interface's logic without a toolkit: the tray icon's
// record, when its menu opens and with which check marks, what each menu
// command does, and the settings dialog's life (made once, shown, hidden).
// A TrayUiView shows it; without a view (no display) there is no tray and
// no dialog, and the commands still act on the settings and the player.
//
// Without a tray host the dialog is the only way to the settings: it is
// shown at start and closing it iconifies it instead of hiding it.

#include <memory>

#include "player/DesktopUi.h"
#include "player/SettingsDialogController.h"
#include "player/TrayIcon.h"
#include "player/TrayMenu.h"
#include "player/TrayUiView.h"

namespace player {

class TrayUi final : public DesktopUi, private SettingsDialogHost {
public:
    // `view` may be null: no windows. The view must outlive the interface.
    TrayUi(DesktopUiServices services, TrayUiView* view);
    ~TrayUi() override;
    TrayUi(const TrayUi&) = delete;
    TrayUi& operator=(const TrayUi&) = delete;

    // Without a view there is nothing to make: true.
    bool CreateSettingsDialog(bool show) override;
    // True also when the desktop has no tray (the dialog stands in for it)
    // and without a view; false when a tray is there and refused the icon.
    bool AddTrayIcon() override;
    void RemoveTrayIcon() override;
    void ShowTrayMenu(win::LPARAM lParam) override;
    void OnTrayCommand(win::WPARAM wParam) override;

    // The menu as it would open now, check marks set.
    TrayMenu CurrentMenu();
    TrayIconData IconData();
    // The dialog's logic; null until the dialog is made.
    SettingsDialogController* Dialog() { return dialog_.get(); }
    bool HasTrayIcon() const { return iconAdded_; }

private:
    // SettingsDialogHost: what the dialog asks of the player.
    void SetPicturePosition(std::int32_t position) override;
    void SetVolume(std::int32_t volume, bool mute) override;
    void HideSettingsDialog() override;

    bool EnsureDialog();
    void ShowSettingsDialog();
    void ToggleIcons();
    void ToggleIconSmoothing();
    void ChoosePicturePosition(std::int32_t position);
    void ToggleMute();
    void OpenMoreWallpapers();
    void Exit();
    void UpdateMenu();
    bool HasTrayHost();

    DesktopUiServices s_;
    TrayUiView* view_;
    std::unique_ptr<SettingsDialogController> dialog_;
    bool iconAdded_ = false;
};

// The interface with no windows, for a session without a display.
std::unique_ptr<DesktopUi> MakeWindowlessDesktopUi(DesktopUiServices services);

} // namespace player

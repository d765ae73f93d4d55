#pragma once
// The tray and the settings dialog over GTK: the tray icon as an indicator
// where a StatusNotifier host exists, else as a GtkStatusIcon where an X
// system tray exists, else none (the dialog then stands in for it); the
// balloon as a notification; the popup menu made anew at every click and
// released once it closes. Clicks and chosen commands go to the manager
// window as the system's tray sends them.

#include <memory>
#include <optional>

#include "platform/win/Window.h"
#include "player/TrayUiView.h"
#include "player/ui/GtkSettingsDialog.h"
#include "player/ui/GtkTrayIcon.h"
#include "player/ui/GtkTrayMenu.h"
#include "player/ui/NotifyBalloon.h"

namespace player {

enum class TrayHostKind { None, StatusNotifier, XSystemTray };

class GtkTrayUiView final : public TrayUiView {
public:
    // Needs GTK initialised. `host` fixes the tray host instead of asking
    // the desktop (tests).
    GtkTrayUiView(win::WindowSystem& windows, win::HWND managerWindow, std::optional<TrayHostKind> host = {});
    ~GtkTrayUiView() override;
    GtkTrayUiView(const GtkTrayUiView&) = delete;
    GtkTrayUiView& operator=(const GtkTrayUiView&) = delete;

    bool HasTrayHost() override;
    bool AddTrayIcon(const TrayIconData& icon, const TrayMenu& menu) override;
    void RemoveTrayIcon() override;
    void UpdateTrayMenu(const TrayMenu& menu) override;
    bool ShowBalloon(const TrayIconData& icon) override;
    void PopupTrayMenu(const TrayMenu& menu) override;

    bool CreateDialog(SettingsDialogController& controller) override;
    bool HasDialog() const override { return dialog_ != nullptr; }
    void RefreshDialogControl(int id) override;
    void ShowDialog() override;
    void HideDialog() override;
    void IconifyDialog() override;

    TrayHostKind Host();
    GtkSettingsDialog* Dialog() { return dialog_.get(); }
    // The open popup menu, until it is released.
    GtkTrayMenu* Popup() { return popup_.get(); }
    bool HasTrayIcon() const { return icon_ != nullptr; }
    // The indicator's menu; null for other icons and without one.
    GtkTrayMenu* AttachedMenu() { return icon_ ? icon_->AttachedMenu() : nullptr; }

private:
    void PostCommand(win::WPARAM command);
    void SendMouseMessage(win::LPARAM message);
    void ReleasePopupLater();
    void CancelPendingRelease();

    win::WindowSystem& windows_;
    win::HWND managerWindow_;
    std::optional<TrayHostKind> host_;
    std::unique_ptr<GtkTrayIcon> icon_;
    std::unique_ptr<GtkTrayMenu> popup_;
    unsigned releaseSource_ = 0;
    NotifyBalloon balloon_;
    std::unique_ptr<GtkSettingsDialog> dialog_;
};

} // namespace player

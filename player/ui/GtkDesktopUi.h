#pragma once
// The desktop user interface over GTK: the tray logic (TrayUi) shown
// through GtkTrayUiView. GTK runs in GLib's default main context, which the
// program's main loop iterates; nothing here runs a loop of its own.

#include <memory>
#include <optional>

#include "player/DesktopUi.h"
#include "player/TrayUi.h"
#include "player/ui/GtkTrayUiView.h"

namespace player {

class GtkDesktopUi final : public DesktopUi {
public:
    // Needs GTK initialised. `host` fixes the tray host (tests).
    explicit GtkDesktopUi(DesktopUiServices services, std::optional<TrayHostKind> host = {});
    // The dialog's widgets go before the logic they report to.
    ~GtkDesktopUi() override;

    bool CreateSettingsDialog(bool show) override { return logic_->CreateSettingsDialog(show); }
    bool AddTrayIcon() override { return logic_->AddTrayIcon(); }
    void RemoveTrayIcon() override { logic_->RemoveTrayIcon(); }
    void ShowTrayMenu(win::LPARAM lParam) override { logic_->ShowTrayMenu(lParam); }
    void OnTrayCommand(win::WPARAM wParam) override { logic_->OnTrayCommand(wParam); }

    GtkTrayUiView& View() { return *view_; }
    TrayUi& Logic() { return *logic_; }

private:
    std::unique_ptr<GtkTrayUiView> view_;
    std::unique_ptr<TrayUi> logic_;
};

} // namespace player

#include "player/ui/GtkTrayUiView.h"

#include <glib.h>

#include "platform/crt/WideString.h"
#include "platform/win/Message.h"
#include "player/ui/TrayHost.h"

namespace player {

GtkTrayUiView::GtkTrayUiView(win::WindowSystem& windows, win::HWND managerWindow, std::optional<TrayHostKind> host)
    : windows_(windows), managerWindow_(managerWindow), host_(host)
{
}

GtkTrayUiView::~GtkTrayUiView() { CancelPendingRelease(); }

TrayHostKind GtkTrayUiView::Host()
{
    if (!host_) {
        host_ = HasStatusNotifierHost() ? TrayHostKind::StatusNotifier
                : HasXSystemTray()      ? TrayHostKind::XSystemTray
                                        : TrayHostKind::None;
    }
    return *host_;
}

bool GtkTrayUiView::HasTrayHost() { return Host() != TrayHostKind::None; }

void GtkTrayUiView::PostCommand(win::WPARAM command)
{
    windows_.PostMessage(managerWindow_, win::WM_COMMAND, command, 0);
}

void GtkTrayUiView::SendMouseMessage(win::LPARAM message)
{
    // Sent, not posted: the menu opens while the click is the current event.
    windows_.SendMessage(managerWindow_, win::WM_KXW_TRAY, kTrayIconId, message);
}

bool GtkTrayUiView::AddTrayIcon(const TrayIconData& icon, const TrayMenu& menu)
{
    if (icon_)
        return true;
    switch (Host()) {
    case TrayHostKind::StatusNotifier:
        icon_ = MakeIndicatorTrayIcon(icon, menu, [this](win::WPARAM command) { PostCommand(command); });
        break;
    case TrayHostKind::XSystemTray:
        icon_ = MakeStatusTrayIcon(icon, [this](win::LPARAM message) { SendMouseMessage(message); });
        break;
    case TrayHostKind::None: break;
    }
    return icon_ != nullptr;
}

void GtkTrayUiView::RemoveTrayIcon() { icon_.reset(); }

void GtkTrayUiView::UpdateTrayMenu(const TrayMenu& menu)
{
    if (icon_)
        icon_->UpdateMenu(menu);
}

bool GtkTrayUiView::ShowBalloon(const TrayIconData& icon)
{
    return balloon_.Show(crt::ToUtf8(icon.balloonTitle), crt::ToUtf8(icon.balloonText));
}

void GtkTrayUiView::PopupTrayMenu(const TrayMenu& menu)
{
    CancelPendingRelease();
    popup_ = std::make_unique<GtkTrayMenu>(menu, [this](win::WPARAM command) { PostCommand(command); });
    popup_->OnClosed([this] { ReleasePopupLater(); });
    popup_->PopupAtPointer();
}

void GtkTrayUiView::ReleasePopupLater()
{
    // The menu closes before its chosen item is activated: release it once
    // the toolkit is done with it.
    if (releaseSource_ != 0)
        return;
    releaseSource_ = g_idle_add(
        [](gpointer self) -> gboolean {
            auto* view = static_cast<GtkTrayUiView*>(self);
            view->releaseSource_ = 0;
            view->popup_.reset();
            return G_SOURCE_REMOVE;
        },
        this);
}

void GtkTrayUiView::CancelPendingRelease()
{
    if (releaseSource_ != 0)
        g_source_remove(releaseSource_);
    releaseSource_ = 0;
}

bool GtkTrayUiView::CreateDialog(SettingsDialogController& controller)
{
    dialog_ = std::make_unique<GtkSettingsDialog>(controller);
    return true;
}

void GtkTrayUiView::RefreshDialogControl(int id)
{
    if (dialog_)
        dialog_->Refresh(id);
}

void GtkTrayUiView::ShowDialog()
{
    if (dialog_)
        dialog_->Show();
}

void GtkTrayUiView::HideDialog()
{
    if (dialog_)
        dialog_->Hide();
}

void GtkTrayUiView::IconifyDialog()
{
    if (dialog_)
        dialog_->Iconify();
}

} // namespace player

#include "player/TrayUi.h"

#include "platform/win/Message.h"
#include "platform/win/Window.h"
#include "player/Browser.h"
#include "player/WallpaperPlayer.h"

namespace player {

namespace {

constexpr std::uint16_t kWallpapersAddressString = 3;

struct PicturePositionCommand {
    win::WPARAM command;
    std::int32_t position;
};

constexpr PicturePositionCommand kPicturePositionCommands[] = {
    {tray_command::kStretch, kPicPosStretch},
    {tray_command::kFit, kPicPosFit},
    {tray_command::kFill, kPicPosFill},
};

} // namespace

TrayUi::TrayUi(DesktopUiServices services, TrayUiView* view) : s_(services), view_(view) {}

TrayUi::~TrayUi() = default;

bool TrayUi::HasTrayHost() { return view_ && view_->HasTrayHost(); }

TrayMenu TrayUi::CurrentMenu()
{
    TrayMenu menu = LoadTrayMenu();
    CheckTrayMenu(menu, TrayMenuState{s_.settings.GetPicturePositionSetting(), s_.desktop.AreIconsVisible(),
                                      s_.settings.GetIconSmoothingSetting() != 0});
    return menu;
}

TrayIconData TrayUi::IconData() { return MakeTrayIconData(s_.managerWindow, s_.strings); }

void TrayUi::UpdateMenu()
{
    if (view_ && iconAdded_)
        view_->UpdateTrayMenu(CurrentMenu());
}

// ---- the settings dialog

bool TrayUi::EnsureDialog()
{
    if (!view_)
        return false;
    if (dialog_ && view_->HasDialog())
        return true;
    auto dialog = std::make_unique<SettingsDialogController>(SettingsDialogController::Services{
        s_.settings, s_.autorun, s_.desktop, s_.strings, s_.launcher, *this});
    dialog->OnInitDialog();
    if (!view_->CreateDialog(*dialog))
        return false;
    dialog->SetObserver([this](int id) {
        view_->RefreshDialogControl(id);
        // The dialog changes what the attached menu shows (icons, position).
        UpdateMenu();
    });
    dialog_ = std::move(dialog);
    return true;
}

bool TrayUi::CreateSettingsDialog(bool show)
{
    if (!view_)
        return true;
    if (!EnsureDialog())
        return false;
    if (show || !HasTrayHost())
        view_->ShowDialog();
    return true;
}

void TrayUi::ShowSettingsDialog()
{
    if (EnsureDialog())
        view_->ShowDialog();
}

void TrayUi::HideSettingsDialog()
{
    if (!view_ || !view_->HasDialog())
        return;
    // With no tray the hidden dialog could never be reached again.
    if (HasTrayHost())
        view_->HideDialog();
    else
        view_->IconifyDialog();
}

// ---- the tray icon

bool TrayUi::AddTrayIcon()
{
    if (!view_)
        return true;
    const TrayIconData icon = IconData();
    if (HasTrayHost()) {
        if (!view_->AddTrayIcon(icon, CurrentMenu()))
            return false;
        iconAdded_ = true;
    }
    view_->ShowBalloon(icon);
    return true;
}

void TrayUi::RemoveTrayIcon()
{
    if (!view_ || !iconAdded_)
        return;
    view_->RemoveTrayIcon();
    iconAdded_ = false;
}

void TrayUi::ShowTrayMenu(win::LPARAM lParam)
{
    if (lParam != WM_LBUTTONUP && lParam != WM_RBUTTONUP)
        return;
    if (view_)
        view_->PopupTrayMenu(CurrentMenu());
}

// ---- the menu's commands

void TrayUi::SetPicturePosition(std::int32_t position) { s_.player.SetPicturePosition(position); }

void TrayUi::SetVolume(std::int32_t volume, bool mute) { s_.player.SetVolume(volume, mute); }

void TrayUi::ToggleIcons()
{
    s_.desktop.ToggleIcons();
    if (dialog_)
        dialog_->RefreshIconsCheck();
}

void TrayUi::ToggleIconSmoothing()
{
    s_.settings.SetIconSmoothingSetting(s_.settings.GetIconSmoothingSetting() == 0);
}

void TrayUi::ChoosePicturePosition(std::int32_t position)
{
    s_.settings.SetPicturePositionSetting(position);
    s_.player.SetPicturePosition(s_.settings.GetPicturePositionSetting());
    if (dialog_)
        dialog_->RefreshPicturePosition();
}

void TrayUi::ToggleMute()
{
    s_.settings.SetMuteSetting(s_.settings.GetMuteSetting() == 0);
    s_.player.SetVolume(s_.settings.GetSoundVolumeSetting(), s_.settings.GetMuteSetting() != 0);
    if (dialog_)
        dialog_->RefreshMute();
}

void TrayUi::OpenMoreWallpapers()
{
    OpenUrlInBrowser(s_.launcher, s_.strings.LoadLocalisedWideString(kWallpapersAddressString));
}

void TrayUi::Exit() { s_.windows.SendMessage(s_.managerWindow, win::WM_CLOSE, 0, 0); }

void TrayUi::OnTrayCommand(win::WPARAM wParam)
{
    for (const PicturePositionCommand& entry : kPicturePositionCommands) {
        if (entry.command == wParam) {
            ChoosePicturePosition(entry.position);
            UpdateMenu();
            return;
        }
    }
    switch (wParam) {
    case tray_command::kSettings: ShowSettingsDialog(); break;
    case tray_command::kShowIcons: ToggleIcons(); break;
    case tray_command::kIconSmoothing: ToggleIconSmoothing(); break;
    case tray_command::kToggleMute: ToggleMute(); break;
    case tray_command::kMoreWallpapers: OpenMoreWallpapers(); break;
    // The window is gone afterwards; nothing of it may be touched.
    case tray_command::kExit: Exit(); return;
    default: return;
    }
    UpdateMenu();
}

std::unique_ptr<DesktopUi> MakeWindowlessDesktopUi(DesktopUiServices services)
{
    return std::make_unique<TrayUi>(services, nullptr);
}

} // namespace player

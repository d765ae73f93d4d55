#include "player/SettingsDialogController.h"

#include <algorithm>

#include "player/Browser.h"

namespace {

struct Label {
    int control;
    std::uint16_t string;
};

constexpr Label kLabels[] = {
    {dialog_id::kTopText, 6},
    {dialog_id::kMoreWallpapers, 313},
    {dialog_id::kOpenFaq, 314},
    {dialog_id::kHide, 315},
    {dialog_id::kDontShowAtStartup, 308},
    {dialog_id::kAutorun, 311},
    {dialog_id::kMuteSound, 326},
    {dialog_id::kShowIcons, 309},
    {dialog_id::kPicturePositionLabel, 320},
};
constexpr std::uint16_t kTitleString = 300;

} // namespace

DialogControl& SettingsDialogController::Mutable(int id) { return controls_[id]; }

const DialogControl& SettingsDialogController::Control(int id) const
{
    static const DialogControl kNone;
    const auto found = controls_.find(id);
    return found == controls_.end() ? kNone : found->second;
}

void SettingsDialogController::SetChecked(int id, bool checked)
{
    Mutable(id).checked = checked;
    if (observer_)
        observer_(id);
}

void SettingsDialogController::SetSelection(int id, int selection)
{
    DialogControl& control = Mutable(id);
    control.selection = selection >= 0 && selection < static_cast<int>(control.items.size()) ? selection : -1;
    if (observer_)
        observer_(id);
}

void SettingsDialogController::FillList(int id, std::initializer_list<std::uint16_t> strings, int selection)
{
    DialogControl& control = Mutable(id);
    control.items.clear();
    for (const std::uint16_t string : strings)
        control.items.push_back(s_.strings.LoadLocalisedWideString(string));
    SetSelection(id, selection);
}

void SettingsDialogController::ApplyLanguage()
{
    title_ = s_.strings.LoadLocalisedWideString(kTitleString);
    for (const Label& label : kLabels) {
        Mutable(label.control).text = s_.strings.LoadLocalisedWideString(label.string);
        if (observer_)
            observer_(label.control);
    }
    FillList(dialog_id::kPriority, {316, 317, 318}, s_.settings.GetSleepTimeSetting());
    FillList(dialog_id::kPicturePosition, {321, 322, 323}, s_.settings.GetPicturePositionSetting());
}

void SettingsDialogController::OnInitDialog()
{
    ApplyLanguage();
    SetChecked(dialog_id::kDontShowAtStartup, !s_.settings.GetShowDialogSetting());
    SetChecked(dialog_id::kAutorun, s_.autorun.IsAutorunSet());
    SetChecked(dialog_id::kMuteSound, s_.settings.GetMuteSetting() != 0);
    SetChecked(dialog_id::kShowIcons, s_.desktop.AreIconsVisible());
    DialogControl& volume = Mutable(dialog_id::kVolume);
    volume.ticFrequency = 10;
    volume.rangeMin = 0;
    volume.rangeMax = 100;
    volume.position = s_.settings.GetSoundVolumeSetting();
    if (observer_)
        observer_(dialog_id::kVolume);
}

void SettingsDialogController::OpenAddress(std::uint16_t stringId)
{
    // An address the tables do not hold opens nothing.
    OpenUrlInBrowser(s_.launcher, s_.strings.LoadLocalisedWideString(stringId));
}

void SettingsDialogController::ApplyVolume()
{
    s_.host.SetVolume(s_.settings.GetSoundVolumeSetting(), s_.settings.GetMuteSetting() != 0);
}

void SettingsDialogController::OnDontShowAtStartup()
{
    s_.settings.SetShowDialogSetting(!Control(dialog_id::kDontShowAtStartup).checked);
}

void SettingsDialogController::OnAutorun()
{
    if (Control(dialog_id::kAutorun).checked)
        s_.autorun.SetAutorun();
    else
        s_.autorun.RemoveAutorun();
    // The check mark shows what is so, also when the entry could not be changed.
    SetChecked(dialog_id::kAutorun, s_.autorun.IsAutorunSet());
}

void SettingsDialogController::OnMuteSound()
{
    s_.settings.SetMuteSetting(s_.settings.GetMuteSetting() == 0);
    RefreshMute();
    ApplyVolume();
}

void SettingsDialogController::OnShowIcons()
{
    s_.desktop.ToggleIcons();
    // Where the icons cannot be switched the check mark must not claim so.
    RefreshIconsCheck();
}

void SettingsDialogController::OnCommand(win::WPARAM wParam)
{
    const int id = static_cast<int>(wParam & 0xFFFF);
    const auto notification = static_cast<std::uint16_t>((wParam >> 16) & 0xFFFF);
    if (id == dialog_id::kPriority || id == dialog_id::kPicturePosition) {
        if (notification != CBN_SELENDOK)
            return;
        const int selection = Control(id).selection;
        if (id == dialog_id::kPriority) {
            s_.settings.SetSleepTimeSetting(selection);
            return;
        }
        s_.settings.SetPicturePositionSetting(selection);
        s_.host.SetPicturePosition(s_.settings.GetPicturePositionSetting());
        return;
    }
    if (notification != BN_CLICKED)
        return;
    switch (id) {
    case dialog_id::kMoreWallpapers: OpenAddress(kWallpapersAddress); break;
    case dialog_id::kOpenFaq: OpenAddress(kFaqAddress); break;
    case dialog_id::kHide: s_.host.HideSettingsDialog(); break;
    case dialog_id::kDontShowAtStartup: OnDontShowAtStartup(); break;
    case dialog_id::kAutorun: OnAutorun(); break;
    case dialog_id::kMuteSound: OnMuteSound(); break;
    case dialog_id::kShowIcons: OnShowIcons(); break;
    default: break;
    }
}

void SettingsDialogController::OnHScroll()
{
    s_.settings.SetSoundVolumeSetting(Control(dialog_id::kVolume).position);
    ApplyVolume();
}

void SettingsDialogController::Click(int id)
{
    constexpr int kCheckBoxes[] = {dialog_id::kDontShowAtStartup, dialog_id::kAutorun, dialog_id::kMuteSound,
                                   dialog_id::kShowIcons};
    for (const int checkBox : kCheckBoxes) {
        if (checkBox == id)
            SetChecked(id, !Control(id).checked);
    }
    OnCommand(MakeCommand(id, BN_CLICKED));
}

void SettingsDialogController::SelectItem(int id, int index)
{
    SetSelection(id, index);
    OnCommand(MakeCommand(id, CBN_SELENDOK));
}

void SettingsDialogController::MoveSlider(int position)
{
    DialogControl& slider = Mutable(dialog_id::kVolume);
    slider.position = std::clamp(position, slider.rangeMin, slider.rangeMax);
    OnHScroll();
}

void SettingsDialogController::RefreshIconsCheck() { SetChecked(dialog_id::kShowIcons, s_.desktop.AreIconsVisible()); }

void SettingsDialogController::RefreshPicturePosition()
{
    SetSelection(dialog_id::kPicturePosition, s_.settings.GetPicturePositionSetting());
}

void SettingsDialogController::RefreshMute() { SetChecked(dialog_id::kMuteSound, s_.settings.GetMuteSetting() != 0); }

#pragma once
// The settings dialog's behaviour, without a toolkit: its controls by id
// with their state (label, check mark, list items and selection, slider
// range and position), what each control does when used, what it writes to
// the settings and what it tells the player. A view (the GTK dialog) shows
// the state and reports the user's actions; the tray menu keeps the
// controls in step through the Refresh calls.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/win/Launch.h"
#include "platform/win/WindowTypes.h"
#include "player/Autorun.h"
#include "player/Desktop.h"
#include "player/LocalisedStrings.h"
#include "player/Settings.h"

namespace dialog_id {
inline constexpr int kTopText = 1033;
inline constexpr int kMoreWallpapers = 1004;
inline constexpr int kOpenFaq = 1005;
inline constexpr int kHide = 2;
inline constexpr int kDontShowAtStartup = 1009;
inline constexpr int kAutorun = 1007;
inline constexpr int kMuteSound = 1016;
inline constexpr int kShowIcons = 1017;
inline constexpr int kPriority = 1022;
inline constexpr int kPicturePosition = 1032;
inline constexpr int kVolume = 1020;
inline constexpr int kPicturePositionLabel = 1031;
} // namespace dialog_id

// Notification codes in the high word of a command.
inline constexpr std::uint16_t BN_CLICKED = 0;
inline constexpr std::uint16_t CBN_SELENDOK = 9;

constexpr win::WPARAM MakeCommand(int id, std::uint16_t notification)
{
    return (static_cast<win::WPARAM>(notification) << 16) | (static_cast<win::WPARAM>(id) & 0xFFFF);
}

struct DialogControl {
    std::u16string text;
    bool checked = false;
    std::vector<std::u16string> items;
    int selection = -1;
    int rangeMin = 0;
    int rangeMax = 0;
    int ticFrequency = 0;
    int position = 0;
};

// What the dialog asks of the player.
class SettingsDialogHost {
public:
    virtual ~SettingsDialogHost() = default;
    virtual void SetPicturePosition(std::int32_t position) = 0;
    virtual void SetVolume(std::int32_t volume, bool mute) = 0;
    // Hides the dialog; it stays available to the tray menu.
    virtual void HideSettingsDialog() = 0;
};

class SettingsDialogController {
public:
    struct Services {
        Settings& settings;
        const Autorun& autorun;
        DS_Desktop& desktop;
        LocalisedStrings& strings;
        win::UriLauncher& launcher;
        SettingsDialogHost& host;
    };

    explicit SettingsDialogController(Services services) : s_(services) {}

    // Sets every control up from the settings and the texts.
    void OnInitDialog();
    // The title, the labels and both lists from the interface language.
    void ApplyLanguage();
    // A command: the control id in the low word, the notification above.
    void OnCommand(win::WPARAM wParam);
    // The slider moved: its position is written and applied.
    void OnHScroll();

    // User actions as a view reports them: a click (check boxes toggle
    // themselves first), a list choice, a slider move.
    void Click(int id);
    void SelectItem(int id, int index);
    void MoveSlider(int position);

    // Brings controls in step after the tray menu changed what they show.
    void RefreshIconsCheck();
    void RefreshPicturePosition();
    void RefreshMute();

    const DialogControl& Control(int id) const;
    const std::u16string& Title() const { return title_; }
    // Told the id of every control whose state changed.
    void SetObserver(std::function<void(int)> observer) { observer_ = std::move(observer); }

    // Strings of the dialog.
    static constexpr std::uint16_t kWallpapersAddress = 3;
    static constexpr std::uint16_t kFaqAddress = 5;

private:
    DialogControl& Mutable(int id);
    void SetChecked(int id, bool checked);
    void SetSelection(int id, int selection);
    void FillList(int id, std::initializer_list<std::uint16_t> strings, int selection);
    void OpenAddress(std::uint16_t stringId);
    void ApplyVolume();

    void OnDontShowAtStartup();
    void OnAutorun();
    void OnMuteSound();
    void OnShowIcons();

    Services s_;
    std::u16string title_;
    std::map<int, DialogControl> controls_;
    std::function<void(int)> observer_;
};

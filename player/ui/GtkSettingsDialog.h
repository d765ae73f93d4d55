#pragma once
// The settings dialog (111) as a GTK window: every control of the
// SettingsDialogController with its id, showing the controller's state and
// reporting the user's actions to it. Modeless and never destroyed while the
// interface lives: closing it sends the Hide button's command, so the
// controller's host decides whether it hides or iconifies.
//
// The query and action functions below drive and read the real widgets, as
// a user would; the tests use them.

#include <map>
#include <string>

#include "player/SettingsDialogController.h"

struct _GtkWidget;

namespace player {

class GtkSettingsDialog {
public:
    explicit GtkSettingsDialog(SettingsDialogController& controller);
    ~GtkSettingsDialog();
    GtkSettingsDialog(const GtkSettingsDialog&) = delete;
    GtkSettingsDialog& operator=(const GtkSettingsDialog&) = delete;

    // Shows the controller's current state of one control.
    void Refresh(int id);
    void Show();
    void Hide();
    void Iconify();

    // ---- what the user sees
    bool IsVisible() const;
    std::string Title() const;
    // A label's, button's or check box's text; the chosen item of a list.
    std::string Text(int id) const;
    bool IsChecked(int id) const;
    // The chosen item of a list, -1 for none.
    int Selection(int id) const;
    int SliderPosition() const;

    // ---- what the user does
    void Click(int id);
    void ChooseItem(int id, int index);
    void MoveSlider(int position);
    // The close box: a delete request as the window manager sends it,
    // delivered by the main loop (only to a window that has been shown).
    void RequestClose();

private:
    enum class Kind { Label, Button, CheckBox, List, Slider };
    struct Control {
        Kind kind;
        _GtkWidget* widget;
    };

    void Build();
    _GtkWidget* AddControl(int id, Kind kind);
    const Control* Find(int id) const;
    void RefreshList(_GtkWidget* widget, const DialogControl& state);
    void Connect(int id, const Control& control);

    static void OnClicked(_GtkWidget* widget, void* self);
    static void OnToggled(_GtkWidget* widget, void* self);
    static void OnListChanged(_GtkWidget* widget, void* self);
    static void OnSliderChanged(_GtkWidget* widget, void* self);
    static int OnDelete(_GtkWidget* widget, void* event, void* self);

    SettingsDialogController& controller_;
    _GtkWidget* window_ = nullptr;
    std::map<int, Control> controls_;
    // Set while the widgets are changed from the controller, so that their
    // signals are not taken for the user's actions.
    bool refreshing_ = false;
};

} // namespace player

#include "player/ui/GtkSettingsDialog.h"

#include <gtk/gtk.h>

#include <cmath>

#include "platform/crt/WideString.h"

namespace player {

namespace {

namespace id = dialog_id;

// Texts of the layout that no string table gives.
constexpr const char* kGroupTitle = "Settings";
constexpr const char* kPriorityLabel = "Execution priority:";
constexpr const char* kVolumeLabel = "Sound volume";
constexpr const char* kControlIdKey = "orvanta-control-id";
constexpr int kSpacing = 6;
constexpr int kBorder = 10;

int ControlId(GtkWidget* widget)
{
    return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kControlIdKey));
}

std::string Utf8(const std::u16string& text) { return crt::ToUtf8(text); }

GtkWidget* StaticLabel(const char* text)
{
    GtkWidget* label = gtk_label_new(text);
    gtk_widget_set_halign(label, GTK_ALIGN_START);
    return label;
}

} // namespace

GtkSettingsDialog::GtkSettingsDialog(SettingsDialogController& controller) : controller_(controller)
{
    Build();
    for (const auto& [controlId, control] : controls_)
        Refresh(controlId);
    for (const auto& [controlId, control] : controls_)
        Connect(controlId, control);
}

GtkSettingsDialog::~GtkSettingsDialog()
{
    if (window_)
        gtk_widget_destroy(window_);
}

GtkWidget* GtkSettingsDialog::AddControl(int controlId, Kind kind)
{
    GtkWidget* widget = nullptr;
    switch (kind) {
    case Kind::Label: widget = StaticLabel(""); break;
    case Kind::Button: widget = gtk_button_new_with_label(""); break;
    case Kind::CheckBox: widget = gtk_check_button_new_with_label(""); break;
    case Kind::List: widget = gtk_combo_box_text_new(); break;
    case Kind::Slider:
        widget = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 0, 100, 1);
        gtk_scale_set_draw_value(GTK_SCALE(widget), FALSE);
        gtk_range_set_round_digits(GTK_RANGE(widget), 0);
        gtk_widget_set_hexpand(widget, TRUE);
        break;
    }
    g_object_set_data(G_OBJECT(widget), kControlIdKey, GINT_TO_POINTER(controlId));
    controls_[controlId] = Control{kind, widget};
    return widget;
}

void GtkSettingsDialog::Build()
{
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_window_set_title(GTK_WINDOW(window_), Utf8(controller_.Title()).c_str());
    g_signal_connect(window_, "delete-event", G_CALLBACK(OnDelete), this);

    GtkWidget* content = gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing);
    gtk_container_set_border_width(GTK_CONTAINER(content), kBorder);
    gtk_container_add(GTK_CONTAINER(window_), content);
    gtk_box_pack_start(GTK_BOX(content), AddControl(id::kTopText, Kind::Label), FALSE, FALSE, 0);

    GtkWidget* group = gtk_frame_new(kGroupTitle);
    gtk_box_pack_start(GTK_BOX(content), group, FALSE, FALSE, 0);
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), kSpacing);
    gtk_grid_set_column_spacing(GTK_GRID(grid), kSpacing * 2);
    gtk_container_set_border_width(GTK_CONTAINER(grid), kBorder);
    gtk_container_add(GTK_CONTAINER(group), grid);

    int row = 0;
    for (const int checkBox : {id::kDontShowAtStartup, id::kAutorun, id::kMuteSound, id::kShowIcons})
        gtk_grid_attach(GTK_GRID(grid), AddControl(checkBox, Kind::CheckBox), 0, row++, 2, 1);
    gtk_grid_attach(GTK_GRID(grid), StaticLabel(kPriorityLabel), 0, row, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), AddControl(id::kPriority, Kind::List), 1, row++, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), AddControl(id::kPicturePositionLabel, Kind::Label), 0, row, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), AddControl(id::kPicturePosition, Kind::List), 1, row++, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), StaticLabel(kVolumeLabel), 0, row, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), AddControl(id::kVolume, Kind::Slider), 1, row++, 1, 1);

    gtk_box_pack_start(GTK_BOX(content), gtk_separator_new(GTK_ORIENTATION_HORIZONTAL), FALSE, FALSE, 0);
    GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
    gtk_box_set_spacing(GTK_BOX(buttons), kSpacing);
    for (const int button : {id::kMoreWallpapers, id::kOpenFaq, id::kHide})
        gtk_container_add(GTK_CONTAINER(buttons), AddControl(button, Kind::Button));
    gtk_box_pack_start(GTK_BOX(content), buttons, FALSE, FALSE, 0);
    gtk_widget_show_all(content);
}

void GtkSettingsDialog::Connect(int, const Control& control)
{
    struct Signal {
        Kind kind;
        const char* name;
        GCallback callback;
    };
    static const Signal kSignals[] = {
        {Kind::Button, "clicked", G_CALLBACK(OnClicked)},
        {Kind::CheckBox, "toggled", G_CALLBACK(OnToggled)},
        {Kind::List, "changed", G_CALLBACK(OnListChanged)},
        {Kind::Slider, "value-changed", G_CALLBACK(OnSliderChanged)},
    };
    for (const Signal& signal : kSignals) {
        if (signal.kind == control.kind)
            g_signal_connect(control.widget, signal.name, signal.callback, this);
    }
}

const GtkSettingsDialog::Control* GtkSettingsDialog::Find(int controlId) const
{
    const auto found = controls_.find(controlId);
    return found == controls_.end() ? nullptr : &found->second;
}

void GtkSettingsDialog::RefreshList(GtkWidget* widget, const DialogControl& state)
{
    GtkComboBoxText* list = GTK_COMBO_BOX_TEXT(widget);
    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(widget));
    // Rebuilt only when the items differ, so that a selection change leaves
    // an open list alone.
    bool same = gtk_tree_model_iter_n_children(model, nullptr) == static_cast<int>(state.items.size());
    for (std::size_t index = 0; same && index < state.items.size(); ++index) {
        GtkTreeIter iter;
        gchar* text = nullptr;
        if (gtk_tree_model_iter_nth_child(model, &iter, nullptr, static_cast<int>(index)))
            gtk_tree_model_get(model, &iter, 0, &text, -1);
        same = text && Utf8(state.items[index]) == text;
        g_free(text);
    }
    if (!same) {
        gtk_combo_box_text_remove_all(list);
        for (const std::u16string& item : state.items)
            gtk_combo_box_text_append_text(list, Utf8(item).c_str());
    }
    gtk_combo_box_set_active(GTK_COMBO_BOX(widget), state.selection);
}

void GtkSettingsDialog::Refresh(int controlId)
{
    const Control* control = Find(controlId);
    if (!control)
        return;
    const DialogControl& state = controller_.Control(controlId);
    const std::string text = Utf8(state.text);
    refreshing_ = true;
    switch (control->kind) {
    case Kind::Label: gtk_label_set_text(GTK_LABEL(control->widget), text.c_str()); break;
    case Kind::Button: gtk_button_set_label(GTK_BUTTON(control->widget), text.c_str()); break;
    case Kind::CheckBox:
        gtk_button_set_label(GTK_BUTTON(control->widget), text.c_str());
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(control->widget), state.checked);
        break;
    case Kind::List: RefreshList(control->widget, state); break;
    case Kind::Slider:
        gtk_range_set_range(GTK_RANGE(control->widget), state.rangeMin,
                            std::max(state.rangeMin + 1, state.rangeMax));
        gtk_range_set_value(GTK_RANGE(control->widget), state.position);
        break;
    }
    refreshing_ = false;
}

void GtkSettingsDialog::Show() { gtk_window_present(GTK_WINDOW(window_)); }

void GtkSettingsDialog::Hide() { gtk_widget_hide(window_); }

void GtkSettingsDialog::Iconify()
{
    gtk_window_iconify(GTK_WINDOW(window_));
}

bool GtkSettingsDialog::IsVisible() const { return gtk_widget_get_visible(window_); }

std::string GtkSettingsDialog::Title() const
{
    const char* title = gtk_window_get_title(GTK_WINDOW(window_));
    return title ? title : "";
}

std::string GtkSettingsDialog::Text(int controlId) const
{
    const Control* control = Find(controlId);
    if (!control)
        return {};
    const char* text = nullptr;
    switch (control->kind) {
    case Kind::Label: text = gtk_label_get_text(GTK_LABEL(control->widget)); break;
    case Kind::Button:
    case Kind::CheckBox: text = gtk_button_get_label(GTK_BUTTON(control->widget)); break;
    case Kind::List: {
        gchar* chosen = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(control->widget));
        std::string result = chosen ? chosen : "";
        g_free(chosen);
        return result;
    }
    case Kind::Slider: break;
    }
    return text ? text : "";
}

bool GtkSettingsDialog::IsChecked(int controlId) const
{
    const Control* control = Find(controlId);
    return control && control->kind == Kind::CheckBox &&
           gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(control->widget));
}

int GtkSettingsDialog::Selection(int controlId) const
{
    const Control* control = Find(controlId);
    if (!control || control->kind != Kind::List)
        return -1;
    return gtk_combo_box_get_active(GTK_COMBO_BOX(control->widget));
}

int GtkSettingsDialog::SliderPosition() const
{
    const Control* control = Find(dialog_id::kVolume);
    return control ? static_cast<int>(std::lround(gtk_range_get_value(GTK_RANGE(control->widget)))) : 0;
}

void GtkSettingsDialog::Click(int controlId)
{
    const Control* control = Find(controlId);
    if (control && (control->kind == Kind::Button || control->kind == Kind::CheckBox))
        gtk_button_clicked(GTK_BUTTON(control->widget));
}

void GtkSettingsDialog::ChooseItem(int controlId, int index)
{
    const Control* control = Find(controlId);
    if (control && control->kind == Kind::List)
        gtk_combo_box_set_active(GTK_COMBO_BOX(control->widget), index);
}

void GtkSettingsDialog::MoveSlider(int position)
{
    if (const Control* control = Find(dialog_id::kVolume))
        gtk_range_set_value(GTK_RANGE(control->widget), position);
}

void GtkSettingsDialog::RequestClose() { gtk_window_close(GTK_WINDOW(window_)); }

// ---- signals

void GtkSettingsDialog::OnClicked(GtkWidget* widget, void* self)
{
    auto* dialog = static_cast<GtkSettingsDialog*>(self);
    dialog->controller_.Click(ControlId(widget));
}

void GtkSettingsDialog::OnToggled(GtkWidget* widget, void* self)
{
    auto* dialog = static_cast<GtkSettingsDialog*>(self);
    if (dialog->refreshing_)
        return;
    // The check box has toggled itself; the controller toggles its state
    // and then shows what is really so.
    dialog->controller_.Click(ControlId(widget));
}

void GtkSettingsDialog::OnListChanged(GtkWidget* widget, void* self)
{
    auto* dialog = static_cast<GtkSettingsDialog*>(self);
    const int index = gtk_combo_box_get_active(GTK_COMBO_BOX(widget));
    if (dialog->refreshing_ || index < 0)
        return;
    dialog->controller_.SelectItem(ControlId(widget), index);
}

void GtkSettingsDialog::OnSliderChanged(GtkWidget* widget, void* self)
{
    auto* dialog = static_cast<GtkSettingsDialog*>(self);
    if (dialog->refreshing_)
        return;
    dialog->controller_.MoveSlider(static_cast<int>(std::lround(gtk_range_get_value(GTK_RANGE(widget)))));
}

int GtkSettingsDialog::OnDelete(GtkWidget*, void*, void* self)
{
    auto* dialog = static_cast<GtkSettingsDialog*>(self);
    // The close box is the Hide button, and the window stays.
    dialog->controller_.OnCommand(MakeCommand(dialog_id::kHide, BN_CLICKED));
    return TRUE;
}

} // namespace player

// gtk_menu_popup is deprecated; it is the one way to open a menu at the
// pointer when no input event triggered it.
#define GDK_DISABLE_DEPRECATION_WARNINGS
#include "player/ui/GtkTrayMenu.h"

#include <gtk/gtk.h>

namespace player {

namespace {

constexpr const char* kCommandKey = "orvanta-command";

win::WPARAM CommandOf(GtkWidget* item)
{
    return static_cast<win::WPARAM>(GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(item), kCommandKey)));
}

} // namespace

GtkTrayMenu::GtkTrayMenu(const TrayMenu& menu, Chosen chosen) : chosen_(std::move(chosen))
{
    menu_ = gtk_menu_new();
    g_object_ref_sink(menu_);
    AddItems(menu_, menu.items, false);
    g_signal_connect(menu_, "deactivate", G_CALLBACK(OnDeactivate), this);
    Update(menu);
    gtk_widget_show_all(menu_);
}

GtkTrayMenu::~GtkTrayMenu()
{
    g_signal_handlers_disconnect_by_data(menu_, this);
    gtk_widget_destroy(menu_);
    g_object_unref(menu_);
}

void GtkTrayMenu::AddItems(GtkWidget* shell, const std::vector<TrayMenuItem>& items, bool checkable)
{
    for (const TrayMenuItem& item : items) {
        if (item.separator) {
            gtk_menu_shell_append(GTK_MENU_SHELL(shell), gtk_separator_menu_item_new());
            continue;
        }
        if (!item.items.empty()) {
            GtkWidget* popupItem = gtk_menu_item_new_with_label(item.text.c_str());
            GtkWidget* popup = gtk_menu_new();
            AddItems(popup, item.items, true);
            gtk_menu_item_set_submenu(GTK_MENU_ITEM(popupItem), popup);
            gtk_menu_shell_append(GTK_MENU_SHELL(shell), popupItem);
            continue;
        }
        GtkWidget* widget = checkable ? gtk_check_menu_item_new_with_label(item.text.c_str())
                                      : gtk_menu_item_new_with_label(item.text.c_str());
        g_object_set_data(G_OBJECT(widget), kCommandKey, GSIZE_TO_POINTER(item.command));
        g_signal_connect(widget, "activate", G_CALLBACK(OnActivate), this);
        gtk_menu_shell_append(GTK_MENU_SHELL(shell), widget);
        items_[item.command] = widget;
    }
}

void GtkTrayMenu::Update(const TrayMenu& menu)
{
    updating_ = true;
    for (const auto& [command, widget] : items_) {
        const TrayMenuItem* item = menu.Find(command);
        if (item && GTK_IS_CHECK_MENU_ITEM(widget))
            gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), item->checked);
    }
    updating_ = false;
}

void GtkTrayMenu::PopupAtPointer()
{
    GdkEvent* event = gtk_get_current_event();
    if (!event) {
        gtk_menu_popup(GTK_MENU(menu_), nullptr, nullptr, nullptr, nullptr, 0, GDK_CURRENT_TIME);
        return;
    }
    gtk_menu_popup_at_pointer(GTK_MENU(menu_), event);
    gdk_event_free(event);
}

bool GtkTrayMenu::IsChecked(win::WPARAM command) const
{
    const auto found = items_.find(command);
    return found != items_.end() && GTK_IS_CHECK_MENU_ITEM(found->second) &&
           gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(found->second));
}

void GtkTrayMenu::Activate(win::WPARAM command)
{
    const auto found = items_.find(command);
    if (found == items_.end())
        return;
    // As a click does: the menu closes, then the item activates.
    gtk_menu_shell_deactivate(GTK_MENU_SHELL(menu_));
    gtk_menu_item_activate(GTK_MENU_ITEM(found->second));
}

void GtkTrayMenu::OnActivate(GtkWidget* item, void* self)
{
    auto* menu = static_cast<GtkTrayMenu*>(self);
    // Setting a check mark activates the item too; that is no choice.
    if (menu->updating_ || !menu->chosen_)
        return;
    menu->chosen_(CommandOf(item));
}

void GtkTrayMenu::OnDeactivate(GtkWidget*, void* self)
{
    auto* menu = static_cast<GtkTrayMenu*>(self);
    if (menu->onClosed_)
        menu->onClosed_();
}

} // namespace player

#pragma once
// A GtkMenu made from the tray menu's model. Items inside a popup show
// check marks; choosing an item hands its command on. Update sets the
// check marks of a menu that stays (an indicator's) without taking the
// change for a choice.

#include <functional>
#include <map>

#include "player/TrayMenu.h"

struct _GtkWidget;

namespace player {

class GtkTrayMenu {
public:
    using Chosen = std::function<void(win::WPARAM command)>;

    GtkTrayMenu(const TrayMenu& menu, Chosen chosen);
    ~GtkTrayMenu();
    GtkTrayMenu(const GtkTrayMenu&) = delete;
    GtkTrayMenu& operator=(const GtkTrayMenu&) = delete;

    void Update(const TrayMenu& menu);
    _GtkWidget* Widget() const { return menu_; }
    // Opens the menu at the pointer, for the event being handled if any.
    void PopupAtPointer();
    // Calls `onClosed` once the menu closes (chosen or dismissed).
    void OnClosed(std::function<void()> onClosed) { onClosed_ = std::move(onClosed); }

    // An item's check mark, and choosing it as the user does (the menu
    // closes, the item activates).
    bool IsChecked(win::WPARAM command) const;
    void Activate(win::WPARAM command);

private:
    void AddItems(_GtkWidget* shell, const std::vector<TrayMenuItem>& items, bool checkable);
    static void OnActivate(_GtkWidget* item, void* self);
    static void OnDeactivate(_GtkWidget* menu, void* self);

    _GtkWidget* menu_ = nullptr;
    Chosen chosen_;
    std::function<void()> onClosed_;
    std::map<win::WPARAM, _GtkWidget*> items_;
    bool updating_ = false;
};

} // namespace player

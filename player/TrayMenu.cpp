#include "player/TrayMenu.h"

namespace player {

namespace {

TrayMenuItem Command(std::string text, win::WPARAM command)
{
    TrayMenuItem item;
    item.text = std::move(text);
    item.command = command;
    return item;
}

TrayMenuItem Popup(std::string text, std::vector<TrayMenuItem> items)
{
    TrayMenuItem item;
    item.text = std::move(text);
    item.items = std::move(items);
    return item;
}

TrayMenuItem Separator()
{
    TrayMenuItem item;
    item.separator = true;
    return item;
}

const TrayMenuItem* FindIn(const std::vector<TrayMenuItem>& items, win::WPARAM command)
{
    for (const TrayMenuItem& item : items) {
        if (item.command == command && command != 0)
            return &item;
        if (const TrayMenuItem* found = FindIn(item.items, command))
            return found;
    }
    return nullptr;
}

void SetCheck(TrayMenuItem* popup, std::size_t position, bool checked)
{
    if (!popup || position >= popup->items.size())
        return;
    popup->items[position].checked = checked;
}

} // namespace

TrayMenuItem* TrayMenu::At(std::size_t position) { return position < items.size() ? &items[position] : nullptr; }

const TrayMenuItem* TrayMenu::At(std::size_t position) const
{
    return position < items.size() ? &items[position] : nullptr;
}

const TrayMenuItem* TrayMenu::Find(win::WPARAM command) const { return FindIn(items, command); }

TrayMenu LoadTrayMenu()
{
    using namespace tray_command;
    TrayMenu menu;
    menu.items.push_back(Command("Settings...", kSettings));
    menu.items.push_back(Popup("Icons", {Command("Show desktop icons", kShowIcons),
                                         Command("Icon smoothing", kIconSmoothing)}));
    menu.items.push_back(Popup("Picture position", {Command("Stretch", kStretch), Command("Fit", kFit),
                                                    Command("Fill", kFill)}));
    menu.items.push_back(Command("Exit", kExit));
    menu.items.push_back(Separator());
    menu.items.push_back(Command("Get more wallpapers", kMoreWallpapers));
    return menu;
}

void CheckTrayMenu(TrayMenu& menu, const TrayMenuState& state)
{
    TrayMenuItem* pictures = menu.At(kPicturePositionPopupPosition);
    if (pictures) {
        for (std::size_t position = 0; position < pictures->items.size(); ++position)
            pictures->items[position].checked = static_cast<std::int64_t>(position) == state.picturePosition;
    }
    TrayMenuItem* icons = menu.At(kIconsPopupPosition);
    SetCheck(icons, 0, state.iconsVisible);
    SetCheck(icons, 1, state.iconSmoothing);
}

} // namespace player

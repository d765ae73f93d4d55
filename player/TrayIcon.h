#pragma once
// The tray icon's record: which window it reports to, under which id and
// callback message, the icon, the tip and the balloon shown when it is added.
// Texts are cut to the sizes of the record's fields (tip 128, balloon text
// 256, balloon title 64 units with their terminating zero), never inside a
// surrogate pair.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win/Message.h"
#include "platform/win/WindowTypes.h"
#include "player/LocalisedStrings.h"

namespace player {

inline constexpr UINT kTrayIconId = 1025;
// NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO
inline constexpr UINT kTrayIconFlags = 0x17;
inline constexpr std::uint16_t kTrayIconResource = 1;

inline constexpr std::uint16_t kTrayTipString = 303;
inline constexpr std::uint16_t kTrayBalloonTextString = 301;
inline constexpr std::uint16_t kTrayBalloonTitleString = 302;

inline constexpr std::size_t kTrayTipSize = 128;
inline constexpr std::size_t kTrayBalloonTextSize = 256;
inline constexpr std::size_t kTrayBalloonTitleSize = 64;

// The icon the desktop's theme offers for a wallpaper program; the program
// carries no icon picture of its own.
inline constexpr std::string_view kTrayIconName = "preferences-desktop-wallpaper";

struct TrayIconData {
    win::HWND window = nullptr;
    UINT id = kTrayIconId;
    UINT flags = kTrayIconFlags;
    UINT callbackMessage = win::WM_KXW_TRAY;
    std::uint16_t icon = kTrayIconResource;
    std::u16string tip;
    std::u16string balloonText;
    std::u16string balloonTitle;
};

// The record for the manager window with the texts of the interface language.
TrayIconData MakeTrayIconData(win::HWND window, LocalisedStrings& strings);

// `text` cut to fit a field of `size` units with its terminating zero.
std::u16string FitTrayText(std::u16string_view text, std::size_t size);

} // namespace player

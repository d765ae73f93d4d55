#include "player/TrayIcon.h"

#include <algorithm>

namespace player {

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

} // namespace

std::u16string FitTrayText(std::u16string_view text, std::size_t size)
{
    if (size == 0)
        return {};
    std::size_t length = std::min(text.size(), size - 1);
    // Cutting between the two halves of a pair would leave half a character.
    if (length < text.size() && length > 0 && IsHighSurrogate(text[length - 1]))
        --length;
    return std::u16string(text.substr(0, length));
}

TrayIconData MakeTrayIconData(win::HWND window, LocalisedStrings& strings)
{
    TrayIconData data;
    data.window = window;
    data.tip = FitTrayText(strings.LoadLocalisedWideString(kTrayTipString), kTrayTipSize);
    data.balloonText = FitTrayText(strings.LoadLocalisedWideString(kTrayBalloonTextString), kTrayBalloonTextSize);
    data.balloonTitle =
        FitTrayText(strings.LoadLocalisedWideString(kTrayBalloonTitleString), kTrayBalloonTitleSize);
    return data;
}

} // namespace player

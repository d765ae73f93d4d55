#pragma once
// The services the desktop user interface works with, set up for tests: a
// manager window that records its messages (in a model of the Windows
// shell, whose icon list view gives the desktop icons), settings over a
// store of the test's choice, a string table of our own, a launcher that
// records the addresses and a WallpaperPlayer without a scene.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../platform/win/KeyFileTestSupport.h"
#include "../platform/win/ShellWindowsModel.h"
#include "../platform/win/WindowTestSupport.h"
#include "platform/win/Launch.h"
#include "platform/win/SettingsStore.h"
#include "platform/win/ShellWindows.h"
#include "player/Autorun.h"
#include "player/Desktop.h"
#include "player/DesktopUi.h"
#include "player/LocalisedStrings.h"
#include "player/Settings.h"
#include "player/WallpaperPlayer.h"

namespace traytest {

struct RecordingLauncher : win::UriLauncher {
    std::vector<std::string> uris;
    bool Launch(std::string_view uri) override
    {
        uris.emplace_back(uri);
        return true;
    }
};

inline constexpr const char* kWallpapersAddress = "https://www.example.org/orvanta/wallpapers";

// English texts as the program's table has them; no tip (303), no FAQ (5).
inline std::optional<std::string> TestStrings(LANGID language)
{
    if (language != kLangEnglish)
        return std::nullopt;
    return std::string("3\t") + kWallpapersAddress +
           "\n6\t\\n\n300\tSettings\n301\tAnimated wallpaper is running\n302\tAnimated Wallpaper\n"
           "308\tDon’t show this at startup\n309\tShow desktop icons\n311\tStart at login\n"
           "313\tGet more wallpapers…\n314\tOpen FAQ\n315\tHide this window\n316\tHigh\n317\tNormal\n318\tLow\n"
           "320\tPicture position:\n321\tStretch\n322\tFit\n323\tFill\n326\tMute sound\n";
}

class UiServices {
public:
    explicit UiServices(win::SettingsStore& store) : settings(store)
    {
        // Records every message, hands it to `route` when set (the host's
        // window procedure in a test), then to DefWindowProc.
        windows.RegisterClass({"KXWManager", [this](win::HWND window, UINT message, win::WPARAM wParam,
                                                    win::LPARAM lParam) {
                                   messages.push_back({window, message, wParam, lParam});
                                   if (route)
                                       route(message, wParam, lParam);
                                   return windows.DefWindowProc(window, message, wParam, lParam);
                               }});
        managerWindow = windows.CreateWindow("KXWManager", "", win::WS_VISIBLE, 0, 0, 640, 480, nullptr);
    }

    player::DesktopUiServices Services()
    {
        return player::DesktopUiServices{windows,  managerWindow, settings, autorun,
                                         desktop,  strings,       launcher, player};
    }
    std::vector<wintest::Received> MessagesOf(UINT message) const
    {
        std::vector<wintest::Received> found;
        for (const wintest::Received& received : messages) {
            if (received.message == message)
                found.push_back(received);
        }
        return found;
    }
    bool IconListViewVisible() const { return windows.IsWindowVisible(shellModel.listViews.front()); }

    wintest::ShellModel shellModel{wintest::ShellScenario{"Windows 10", {10, 0}, true}};
    win::WindowSystem& windows = shellModel.windows;
    win::ShellWindows shell{shellModel.windows, win::SystemVersion{10, 0}};
    std::vector<wintest::Received> messages;
    std::function<void(UINT, win::WPARAM, win::LPARAM)> route;
    win::HWND managerWindow = nullptr;
    keyfiletest::TempDir autostartDir;
    Settings settings;
    Autorun autorun{win::AutostartEntry(autostartDir.Path() / "orvanta.desktop"), "/opt/orvanta/orvanta"};
    DS_Desktop desktop{&shell};
    LocalisedStrings strings{TestStrings};
    RecordingLauncher launcher;
    player::WallpaperPlayer player;
};

} // namespace traytest

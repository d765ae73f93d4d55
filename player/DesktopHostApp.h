#pragma once
// The desktop program's host state and its manager window: the window the
// wallpaper is drawn into, placed in the desktop host window behind the
// desktop icons and spanning every monitor; the frame timer; the window
// procedure; starting the player, hiding and showing the wallpaper, and the
// orderly shutdown.
//
// Everything runs on the main thread, inside the window system's main loop.
// The process entry (main.cpp) makes the window system, the desktop and one
// DesktopHostApp, then runs the loop until the window is destroyed.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/Launch.h"
#include "platform/win/Monitor.h"
#include "platform/win/SettingsStore.h"
#include "platform/win/ShellWindows.h"
#include "platform/win/Window.h"
#include "player/Autorun.h"
#include "player/Desktop.h"
#include "player/DesktopUi.h"
#include "player/LocalisedStrings.h"
#include "player/PlayerDevice.h"
#include "player/Settings.h"
#include "player/WallpaperPlayer.h"
#include "render/RenderContext.h"

namespace player {

inline constexpr std::string_view kManagerWindowClass = "KXWManager";
// The window class of a companion program whose window a starting instance
// also closes.
inline constexpr std::string_view kCompanionWindowClass = "KXWManager_prv";
inline constexpr win::UINT_PTR kFrameTimerId = 1;
inline constexpr std::uint16_t kSceneResourceId = 107;
inline constexpr std::string_view kProgramTitle = "Orvanta";
inline constexpr std::string_view kWrongFormatMessage = "Cannot open file: Wrong file format.";

// Where the host's services come from; tests replace any of them.
struct DesktopHostEnvironment {
    win::WindowSystem& windows;
    win::ShellWindows& shell;
    win::SettingsStore& settingsStore;
    // The monitors (virtual-screen pixels); the system's displays by default.
    std::function<std::vector<win::MonitorEntry>()> monitors = [] { return win::QueryDisplayMonitors(); };
    // The scene; the program's own "DDS" 107 by default.
    DocumentSource scene;
    // The user interface and how start-up errors reach the user
    // (MakeDesktopUi and ShowStartupError in the program).
    DesktopUiToolkit ui;
};

class DesktopHostApp {
public:
    explicit DesktopHostApp(DesktopHostEnvironment environment);
    // Deletes the scene before the device goes, then the device.
    ~DesktopHostApp();
    DesktopHostApp(const DesktopHostApp&) = delete;
    DesktopHostApp& operator=(const DesktopHostApp&) = delete;

    // Registers the class, creates the manager window in the desktop host
    // window and starts the host. False when there is no host window, the
    // window cannot be made or the start failed (LastError says why; a
    // refused scene has been shown to the user).
    bool CreateManagerWindow();
    bool RegisterManagerWindowClass();
    bool StartDesktopHost(win::HWND window);
    bool ReadShowDialogSetting();
    bool StartPlayer();
    // Deletes the scene; false only when an icon list view it needs is missing.
    bool StopPlayer();

    win::LRESULT ManagerWindowProc(win::HWND window, UINT message, win::WPARAM wParam, win::LPARAM lParam);
    void ArmFrameTimer(win::HWND window);
    void RenderTick();
    void HideWallpaper();
    void ShowWallpaper();

    win::HWND ManagerWindow() const { return managerWindow_; }
    WallpaperPlayer& Player() { return player_; }
    PlayerDevice& Device() { return device_; }
    Settings& GetSettings() { return settings_; }
    DesktopUi* Ui() { return ui_.get(); }
    // The period the frame timer was last armed with, in ms.
    std::uint32_t FrameTimerPeriodMs() const { return timerPeriodMs_; }
    const std::string& LastError() const { return lastError_; }

private:
    bool Fail(std::string message);
    bool RefusedScene(std::string why);
    // Before Vista the shell's icon list view was made regional so that the
    // wallpaper shows between the icons, and the window sent to the bottom.
    bool MakeIconListViewRegional(bool regional);
    void OnDestroy();
    void OnGraphEvent();

    DesktopHostEnvironment env_;
    Settings settings_;
    LocalisedStrings strings_;
    Autorun autorun_;
    win::DefaultUriLauncher launcher_;
    DS_Desktop desktop_;
    // The main thread's render context until the scene brings its own.
    RenderContext mainRenderContext_;
    WallpaperPlayer player_;
    PlayerDevice device_;
    std::unique_ptr<DesktopUi> ui_;
    win::HWND managerWindow_ = nullptr;
    bool classRegistered_ = false;
    std::uint32_t timerPeriodMs_ = 0;
    std::string lastError_;
};

} // namespace player

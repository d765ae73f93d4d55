#include "player/DesktopProgram.h"

#include <chrono>
#include <cstring>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "platform/win/DesktopHost.h"
#include "platform/win/Instance.h"
#include "platform/win/KeyFileStore.h"
#include "platform/win/MainLoop.h"
#include "platform/win/Monitor.h"
#include "platform/win/ShellWindows.h"
#include "platform/win/Window.h"
#include "platform/win/WindowNative.h"
#include "player/DesktopHostApp.h"
#include "player/ResourceAdapters.h"
#include "player/SlideShow.h"

namespace player {

namespace {

int StartupFailed(const std::string& what)
{
    std::cerr << "orvanta: " << what << '\n';
    return 1;
}

// Tells a running instance to close and waits (briefly) until it has gone,
// so that this one takes its place. Without a safe place for the socket the
// program still runs, alone in its session as far as it can tell.
std::optional<std::filesystem::path> CloseRunningInstance()
{
    std::string error;
    auto socket = win::InstanceSocketPath(&error);
    if (!socket) {
        std::cerr << "orvanta: other instances cannot be reached: " << error << '\n';
        return std::nullopt;
    }
    win::TellRunningInstanceToClose(*socket);
    return socket;
}

int RunDesktop(const std::vector<win::MonitorEntry>& monitors, const std::optional<std::filesystem::path>& socket,
               const DesktopUiToolkit& ui)
{
    win::MainLoop loop;
    win::WindowSystem windows(loop);
    // Our desktop: the host window the wallpaper window goes into.
    win::DesktopHost desktop(windows, win::GetMonitorsUnionRect(monitors, WallpaperPlayer::kAllMonitors));
    win::ShellWindows shell(windows, win::kDesktopHostVersion);
    win::KeyFileStore settingsStore(win::KeyFileStore::DefaultFile());
    DesktopHostEnvironment environment{windows, shell, settingsStore, [monitors] { return monitors; }, {}, ui};
    DesktopHostApp app(std::move(environment));
    if (!app.CreateManagerWindow())
        return StartupFailed(app.LastError());

    std::unique_ptr<win::InstanceServer> server;
    if (socket) {
        std::string error;
        server = win::InstanceServer::Listen(loop, *socket,
                                             win::PostInstanceCommandsTo(windows, app.ManagerWindow()), &error);
        if (!server)
            std::cerr << "orvanta: later instances cannot reach this one: " << error << '\n';
    }
    // The loop ends with the window: WM_DESTROY posts the quit. The normal
    // desktop background shows again by itself once our window is gone.
    return loop.Run();
}

} // namespace

bool IsDelayedStart(int argc, const char* const* argv)
{
    return argc == 2 && argv[1] && std::strcmp(argv[1], "-d") == 0;
}

int RunDesktopProgram(int argc, const char* const* argv, const DesktopUiToolkit& ui)
{
    try {
        if (IsDelayedStart(argc, argv))
            std::this_thread::sleep_for(std::chrono::milliseconds(kStartDelayMs));
        InstallPlayerDocumentClasses();
        InstallResourceFinders();
        std::string error;
        if (!win::SdlVideo::Start(&error))
            return StartupFailed("no display to show the wallpaper on: " + error);
        const std::vector<win::MonitorEntry> monitors = win::QueryDisplayMonitors();
        if (monitors.empty())
            return StartupFailed("the display reports no monitors");
        const auto socket = CloseRunningInstance();
        return RunDesktop(monitors, socket, ui);
    } catch (const std::exception& failure) {
        return StartupFailed(failure.what());
    } catch (...) {
        return StartupFailed("an unexpected error ended the program");
    }
}

} // namespace player

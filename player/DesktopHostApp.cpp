#include "player/DesktopHostApp.h"

#include <exception>
#include <iostream>
#include <utility>

#include "objectmodel/DocumentError.h"
#include "objectmodel/SceneDocument.h"
#include "platform/audio/FilterGraph.h"
#include "player/AudioPlaylist.h"
#include "player/SoundDevice.h"

namespace player {

namespace {

// The system versions whose behaviour differs.
constexpr DWORD kVista = 0;

DocumentSource EmbeddedScene()
{
    return [] { return OpenDocumentResource(kSceneResourceId); };
}

} // namespace

DesktopHostApp::DesktopHostApp(DesktopHostEnvironment environment)
    : env_(std::move(environment)),
      settings_(env_.settingsStore),
      autorun_(Autorun::ForCurrentUser()),
      device_(player_)
{
    if (!env_.scene)
        env_.scene = EmbeddedScene();
    if (!env_.ui.showError)
        env_.ui.showError = [](std::string_view text, std::string_view title) {
            std::cerr << title << ": " << text << '\n';
        };
}

DesktopHostApp::~DesktopHostApp()
{
    // The window procedure refers to this object: a window that still
    // exists is destroyed now (which stops the player as closing does), and
    // the class goes with it.
    if (managerWindow_ && env_.windows.IsWindow(managerWindow_))
        env_.windows.DestroyWindow(managerWindow_);
    if (classRegistered_)
        env_.windows.UnregisterClass(kManagerWindowClass);
    // The scene holds device resources: it goes first, then the device.
    ui_.reset();
    player_.StopScene();
    device_.Release();
    ReleaseAudioGraph();
    if (g_RenderContextTls == &mainRenderContext_)
        g_RenderContextTls = nullptr;
}

bool DesktopHostApp::Fail(std::string message)
{
    lastError_ = std::move(message);
    return false;
}

bool DesktopHostApp::RegisterManagerWindowClass()
{
    win::WindowClass windowClass;
    windowClass.name = std::string(kManagerWindowClass);
    windowClass.proc = [this](win::HWND window, UINT message, win::WPARAM wParam, win::LPARAM lParam) {
        return ManagerWindowProc(window, message, wParam, lParam);
    };
    windowClass.style = win::CS_HREDRAW | win::CS_VREDRAW;
    windowClass.surface = win::WindowSurface::Desktop;
    classRegistered_ = env_.windows.RegisterClass(std::move(windowClass)) != 0;
    return classRegistered_;
}

bool DesktopHostApp::CreateManagerWindow()
{
    if (!RegisterManagerWindowClass())
        return Fail("the manager window's class cannot be registered: " + env_.windows.LastError());
    const win::HWND host = env_.shell.FindDesktopHostWindow();
    if (!host)
        return Fail("no desktop window to place the wallpaper in");
    win::RECT hostRect;
    env_.windows.GetWindowRect(host, &hostRect);
    const DWORD style = env_.shell.IsVersionAtLeast(kVista)
                                 ? win::WS_CHILD
                                 : win::WS_CHILD | win::WS_CLIPSIBLINGS | win::WS_CLIPCHILDREN;
    const win::HWND window = env_.windows.CreateWindow(kManagerWindowClass, kManagerWindowClass, style, 0, 0,
                                                       hostRect.Width(), hostRect.Height(), host);
    if (!window)
        return Fail("the manager window cannot be made: " + env_.windows.LastError());
    // The window keeps its origin at the host's and spans every monitor.
    const win::RECT all = win::GetMonitorsUnionRect(env_.monitors(), WallpaperPlayer::kAllMonitors);
    env_.windows.SetWindowPos(window, win::HWND_TOP, 0, 0, all.Width(), all.Height(), win::SWP_NOMOVE);
    return StartDesktopHost(window);
}

bool DesktopHostApp::StartDesktopHost(win::HWND window)
{
    managerWindow_ = window;
    try {
        if (!ReadShowDialogSetting() || !StartPlayer())
            return false;
        if (env_.ui.makeUi)
            ui_ = env_.ui.makeUi(DesktopUiServices{env_.windows, managerWindow_, settings_, autorun_, desktop_, strings_,
                                            launcher_, player_});
        if (!ui_ || !ui_->CreateSettingsDialog(false) || !ui_->AddTrayIcon())
            return Fail("the user interface cannot be made");
        ArmFrameTimer(window);
        return true;
    } catch (const DS_Error& failure) {
        return RefusedScene(failure.what());
    } catch (const DocumentOpenFailure&) {
        return RefusedScene("the embedded scene cannot be opened");
    } catch (const std::exception& failure) {
        return RefusedScene(failure.what());
    }
}

// Whatever escaped start-up (chiefly a refused or missing scene) is shown
// to the user with the one message the program has for it.
bool DesktopHostApp::RefusedScene(std::string why)
{
    env_.ui.showError(kWrongFormatMessage, kProgramTitle);
    return Fail(std::move(why));
}

// The value is kept in the settings' cache, where the dialog reads it.
bool DesktopHostApp::ReadShowDialogSetting()
{
    settings_.GetShowDialogSetting();
    strings_.SetLanguage(LanguageToLangId(0));
    return true;
}

bool DesktopHostApp::StartPlayer()
{
    g_RenderContextTls = &mainRenderContext_;
    InitDirectSound(managerWindow_);
    if (!device_.InitDevice(env_.windows, managerWindow_, managerWindow_, env_.monitors()))
        return Fail(device_.LastError());
    // Graph events come back as the window's graph-event message.
    InitAudioGraph([windows = &env_.windows, window = managerWindow_] {
        windows->PostMessage(window, win::WM_KXW_GRAPH_EVENT, 0, 0);
    });
    player_.LoadScene(env_.scene);
    player_.SetPicturePosition(settings_.GetPicturePositionSetting());
    player_.SetVolume(settings_.GetSoundVolumeSetting(), settings_.GetMuteSetting() != 0);
    env_.windows.ShowWindow(managerWindow_, win::SW_SHOW);
    return MakeIconListViewRegional(true);
}

bool DesktopHostApp::MakeIconListViewRegional(bool regional)
{
    if (env_.shell.IsVersionAtLeast(kVista))
        return true;
    const win::HWND listView =
        env_.windows.FindWindowEx(env_.windows.GetParent(managerWindow_), nullptr, win::kListViewClass);
    if (!listView)
        return false;
    env_.windows.SendMessage(listView, win::LVM_SETEXTENDEDLISTVIEWSTYLE, win::WPARAM(win::LVS_EX_REGIONAL),
                             regional ? win::LVS_EX_REGIONAL : 0);
    if (regional)
        env_.windows.SetWindowPos(managerWindow_, win::HWND_BOTTOM, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
    return true;
}

bool DesktopHostApp::StopPlayer()
{
    player_.StopScene();
    return MakeIconListViewRegional(false);
}

void DesktopHostApp::ArmFrameTimer(win::HWND window)
{
    timerPeriodMs_ = FramePeriodMs(settings_.GetSleepTimeSetting());
    env_.windows.SetTimer(window, kFrameTimerId, timerPeriodMs_);
}

void DesktopHostApp::RenderTick()
{
    PollAudioEvents();
    device_.RenderFrameStep();
}

void DesktopHostApp::HideWallpaper()
{
    StopPlayer();
    device_.Pause(true, true);
    if (ui_)
        ui_->RemoveTrayIcon();
    env_.windows.ShowWindow(managerWindow_, win::SW_HIDE);
}

void DesktopHostApp::ShowWallpaper()
{
    device_.Pause(false, false);
    MakeIconListViewRegional(true);
    if (ui_)
        ui_->AddTrayIcon();
    env_.windows.ShowWindow(managerWindow_, win::SW_SHOW);
}

void DesktopHostApp::OnDestroy()
{
    StopPrimarySoundBuffer();
    StopPlayer();
    if (ui_)
        ui_->RemoveTrayIcon();
    env_.windows.PostQuitMessage(0);
}

// The next track follows when one has played to its end, and also when one
// broke off because it could not be decoded further: a damaged track is
// skipped rather than ending the playlist.
void DesktopHostApp::OnGraphEvent()
{
    const long event = GetAudioGraphEvent();
    if (event == audio::kEventComplete || event == audio::kEventErrorAbort)
        player_.PlayNextTrack();
}

win::LRESULT DesktopHostApp::ManagerWindowProc(win::HWND window, UINT message, win::WPARAM wParam,
                                               win::LPARAM lParam)
{
    switch (message) {
    case win::WM_DESTROY:
        OnDestroy();
        return 0;
    case win::WM_PAINT:
        device_.RenderFrameStep();
        return 1;
    case win::WM_COMMAND:
        if (ui_)
            ui_->OnTrayCommand(wParam);
        return 0;
    case win::WM_TIMER:
        ArmFrameTimer(window);
        RenderTick();
        return 0;
    case win::WM_KXW_TRAY:
        if (ui_)
            ui_->ShowTrayMenu(lParam);
        return 0;
    case win::WM_KXW_HIDE:
        HideWallpaper();
        return 0;
    case win::WM_KXW_SHOW:
        ShowWallpaper();
        return 0;
    case win::WM_KXW_GRAPH_EVENT:
        OnGraphEvent();
        return env_.windows.DefWindowProc(window, message, wParam, lParam);
    default:
        return env_.windows.DefWindowProc(window, message, wParam, lParam);
    }
}

} // namespace player

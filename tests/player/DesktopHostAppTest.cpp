// The desktop host: start-up into the desktop host window, the frame timer,
// the window procedure's messages (paint, hide and show, tray and commands,
// close) and start-up failures, on headless windows (SDL's offscreen
// driver) with a recording user interface.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objectmodel/SceneDocument.h"
#include "platform/win/DesktopHost.h"
#include "platform/win/SettingsStore.h"
#include "player/DesktopHostApp.h"
#include "player/DesktopProgram.h"
#include "player/ResourceAdapters.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/platform/win/ShellWindowsModel.h"
#include "tests/player/PlayerTestSupport.h"

namespace {

using player::DesktopHostApp;

// What the host asked of the user interface, in order.
struct UiLog {
    std::vector<std::string> calls;
};

class RecordingUi final : public player::DesktopUi {
public:
    explicit RecordingUi(UiLog& log) : log_(log) {}
    bool CreateSettingsDialog(bool forceShow) override
    {
        return Note(std::string("dialog ") + (forceShow ? "forced" : "as set"));
    }
    bool AddTrayIcon() override { return Note("add tray"); }
    void RemoveTrayIcon() override { Note("remove tray"); }
    void ShowTrayMenu(win::LPARAM lParam) override { Note("menu " + std::to_string(lParam)); }
    void OnTrayCommand(win::WPARAM wParam) override { Note("command " + std::to_string(wParam)); }

private:
    bool Note(std::string call)
    {
        log_.calls.push_back(std::move(call));
        return true;
    }
    UiLog& log_;
};

std::vector<std::uint8_t> TwoSlideDocument()
{
    player_test::SlideFields slide;
    return player_test::WriteDocument({slide, slide});
}

player::DocumentSource SceneOf(std::vector<std::uint8_t> bytes)
{
    return [bytes] {
        MemoryArchive archive(bytes);
        archive.Reader().ReadWideString();
        return ReadSceneDocument(archive.Reader());
    };
}

struct ShownError {
    std::string text, title;
};

// Two small monitors side by side, the second lower: union 260 x 90.
const std::vector<win::MonitorEntry> kMonitors{
    {reinterpret_cast<win::HMONITOR>(std::uintptr_t{1}), win::RECT{0, 0, 160, 90}},
    {reinterpret_cast<win::HMONITOR>(std::uintptr_t{2}), win::RECT{160, 0, 260, 80}},
};

// The host over a window system with our Linux desktop in it.
class DesktopHostAppTest : public ::testing::Test {
protected:
    DesktopHostAppTest()
    {
        wintest::UseOffscreenVideo();
        InstallPlayerDocumentClasses();
        player::InstallResourceFinders();
    }

    player::DesktopHostEnvironment Environment(win::WindowSystem& windows, win::ShellWindows& shell)
    {
        player::DesktopHostEnvironment environment{windows, shell, store, [] { return kMonitors; },
                                                   SceneOf(TwoSlideDocument()), {}};
        environment.ui.makeUi = [this](player::DesktopUiServices) {
            return std::make_unique<RecordingUi>(ui);
        };
        environment.ui.showError = [this](std::string_view text, std::string_view title) {
            errors.push_back({std::string(text), std::string(title)});
        };
        return environment;
    }

    void Start(player::DesktopHostEnvironment environment)
    {
        app = std::make_unique<DesktopHostApp>(std::move(environment));
        ASSERT_TRUE(app->CreateManagerWindow()) << app->LastError();
        window = app->ManagerWindow();
    }

    win::LRESULT Send(UINT message, win::WPARAM wParam = 0, win::LPARAM lParam = 0)
    {
        return windows.SendMessage(window, message, wParam, lParam);
    }

    win::MemorySettingsStore store;
    win::MainLoop loop;
    win::WindowSystem windows{loop};
    win::DesktopHost desktop{windows, win::RECT{0, 0, 260, 90}};
    win::ShellWindows shell{windows, win::kDesktopHostVersion};
    UiLog ui;
    std::vector<ShownError> errors;
    std::unique_ptr<DesktopHostApp> app;
    win::HWND window = nullptr;
};

TEST_F(DesktopHostAppTest, StartsInTheHostWindowSpanningEveryMonitor)
{
    Start(Environment(windows, shell));
    EXPECT_EQ(windows.GetParent(window), desktop.Host());
    EXPECT_EQ(windows.GetClassName(window), "KXWManager");
    EXPECT_EQ(windows.GetWindowText(window), "KXWManager");
    EXPECT_EQ(windows.GetStyle(window) & win::WS_CHILD, win::WS_CHILD);
    win::RECT rect;
    ASSERT_TRUE(windows.GetWindowRect(window, &rect));
    EXPECT_EQ(rect, (win::RECT{0, 0, 260, 90}));
    EXPECT_TRUE(windows.IsWindowVisible(window));

    // The dialog comes before the tray icon; the scene plays with the
    // stored picture position.
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"dialog as set", "add tray"}));
    ASSERT_NE(app->Player().Scene(), nullptr);
    EXPECT_EQ(app->Player().PicturePosition(), 2);
    EXPECT_TRUE(errors.empty());
}

TEST_F(DesktopHostAppTest, FrameTimerFollowsTheExecutionPriority)
{
    struct Case {
        std::uint32_t stored;
        std::uint32_t periodMs;
    };
    // 3 is offered by no dialog; 7 is out of range and gives the default.
    for (const Case c : {Case{0, 10}, Case{1, 30}, Case{2, 60}, Case{3, 100}, Case{7, 30}}) {
        store.SetDword(kSettingsKeyPath, kSleepTimeValue, c.stored);
        DesktopHostApp host(Environment(windows, shell));
        host.ArmFrameTimer(desktop.Host());
        EXPECT_EQ(host.FrameTimerPeriodMs(), c.periodMs) << "SleepTime " << c.stored;
    }
}

TEST_F(DesktopHostAppTest, ChangedPriorityAppliesFromTheNextTick)
{
    store.SetDword(kSettingsKeyPath, kSleepTimeValue, 1);
    Start(Environment(windows, shell));
    EXPECT_EQ(app->FrameTimerPeriodMs(), 30u);
    app->GetSettings().SetSleepTimeSetting(0);
    EXPECT_EQ(app->FrameTimerPeriodMs(), 30u);
    Send(win::WM_TIMER, player::kFrameTimerId);
    EXPECT_EQ(app->FrameTimerPeriodMs(), 10u);
}

TEST_F(DesktopHostAppTest, PaintRendersAFrameAtOnce)
{
    Start(Environment(windows, shell));
    EXPECT_TRUE(app->Player().LastPasses().empty());
    EXPECT_EQ(Send(win::WM_PAINT), 1);
    // Two monitors and Fill: one pass per monitor.
    EXPECT_EQ(app->Player().LastPasses().size(), 2u);
}

TEST_F(DesktopHostAppTest, TimerTicksRenderFramesFromTheLoop)
{
    store.SetDword(kSettingsKeyPath, kSleepTimeValue, 0);
    Start(Environment(windows, shell));
    ASSERT_TRUE(wintest::RunUntil(loop, [&] { return !app->Player().LastPasses().empty(); }));
}

TEST_F(DesktopHostAppTest, HideStopsTheSceneAndShowBringsBackWindowAndTray)
{
    Start(Environment(windows, shell));
    ui.calls.clear();

    Send(win::WM_KXW_HIDE);
    EXPECT_EQ(app->Player().Scene(), nullptr);
    EXPECT_FALSE(windows.IsWindowVisible(window));
    EXPECT_TRUE(app->Device().Host().IsTimePaused());
    EXPECT_TRUE(app->Device().Host().IsRenderingPaused());

    Send(win::WM_KXW_SHOW);
    EXPECT_TRUE(windows.IsWindowVisible(window));
    EXPECT_FALSE(app->Device().Host().IsTimePaused());
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"remove tray", "add tray"}));
    // The scene is not read again: frames draw nothing but black.
    EXPECT_EQ(app->Player().Scene(), nullptr);
    Send(win::WM_PAINT);
    EXPECT_TRUE(app->Player().LastPasses().empty());
}

// A lost device: frames stop until it can be reset; the reset reads the
// scene again with the stored picture position and asks our window, and
// only ours, to repaint.
TEST_F(DesktopHostAppTest, LostDeviceIsResetAndTheSceneReadAgain)
{
    Start(Environment(windows, shell));
    app->Player().SetPicturePosition(1);
    const DS_SlideShow_Light* before = app->Player().Scene();
    app->Device().Host().SimulateDeviceLost();
    app->RenderTick();
    EXPECT_TRUE(app->Device().Host().IsDeviceLost());
    EXPECT_EQ(app->Player().Scene(), before);

    const bool hostPaintBefore = windows.HasPendingPaint(desktop.Host());
    app->Device().Host().SimulateDeviceRestored();
    app->RenderTick();
    EXPECT_FALSE(app->Device().Host().IsDeviceLost());
    ASSERT_NE(app->Player().Scene(), nullptr);
    EXPECT_NE(app->Player().Scene(), before);
    EXPECT_EQ(app->Player().PicturePosition(), 1);
    EXPECT_TRUE(windows.HasPendingPaint(window));
    EXPECT_EQ(windows.HasPendingPaint(desktop.Host()), hostPaintBefore);
    EXPECT_EQ(app->Player().LastPasses().size(), 2u);
}

TEST_F(DesktopHostAppTest, TrayMessagesAndCommandsReachTheInterface)
{
    Start(Environment(windows, shell));
    ui.calls.clear();
    EXPECT_EQ(Send(win::WM_KXW_TRAY, 1025, 0x205), 0);
    EXPECT_EQ(Send(win::WM_COMMAND, 40015), 0);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"menu 517", "command 40015"}));
}

TEST_F(DesktopHostAppTest, CloseDestroysTheWindowAndEndsTheLoopWithZero)
{
    Start(Environment(windows, shell));
    ui.calls.clear();
    windows.PostMessage(window, win::WM_CLOSE, 0, 0);
    EXPECT_EQ(loop.Run(), 0);
    EXPECT_FALSE(windows.IsWindow(window));
    EXPECT_EQ(app->Player().Scene(), nullptr);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"remove tray"}));
}

TEST_F(DesktopHostAppTest, RefusedSceneShowsTheMessageAndFailsStartUp)
{
    auto environment = Environment(windows, shell);
    environment.scene = SceneOf({'n', 'o', 't', ' ', 'a', ' ', 's', 'c', 'e', 'n', 'e'});
    DesktopHostApp host(std::move(environment));
    EXPECT_FALSE(host.CreateManagerWindow());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text, "Cannot open file: Wrong file format.");
    EXPECT_EQ(errors[0].title, "Orvanta");
    EXPECT_TRUE(ui.calls.empty());
}

// The same host-finding logic against models of the Windows shell.
TEST(DesktopHostAppShellTest, HostWindowByShellVersion)
{
    wintest::UseOffscreenVideo();
    InstallPlayerDocumentClasses();
    const wintest::ShellScenario windows7{"Windows 7", {6, 1}, true};
    const wintest::ShellScenario windows10{"Windows 10", {10, 0}, true};
    const wintest::ShellScenario noWorker{"Windows 10 without a worker", {10, 0}, false};

    for (const auto& scenario : {windows7, windows10, noWorker}) {
        SCOPED_TRACE(scenario.name);
        wintest::ShellModel model(scenario);
        win::ShellWindows shell(model.windows, scenario.version);
        win::MemorySettingsStore store;
        UiLog ui;
        std::vector<ShownError> errors;
        player::DesktopHostEnvironment environment{model.windows, shell, store, [] { return kMonitors; },
                                                   SceneOf(TwoSlideDocument()), {}};
        environment.ui.makeUi = [&ui](player::DesktopUiServices) { return std::make_unique<RecordingUi>(ui); };
        environment.ui.showError = [&errors](std::string_view text, std::string_view title) {
            errors.push_back({std::string(text), std::string(title)});
        };
        DesktopHostApp host(std::move(environment));
        const bool started = host.CreateManagerWindow();
        if (scenario.name == noWorker.name) {
            // No host window: start-up fails without a message.
            EXPECT_FALSE(started);
            EXPECT_TRUE(errors.empty());
            continue;
        }
        ASSERT_TRUE(started) << host.LastError();
        const win::HWND parent = model.windows.GetParent(host.ManagerWindow());
        if (scenario.name == windows7.name) {
            EXPECT_EQ(parent, model.progman);
            EXPECT_FALSE(model.windows.IsWindowVisible(model.behindIcons.at(0)));
        } else {
            EXPECT_EQ(parent, model.behindIcons.at(0));
        }
    }
}

TEST(DesktopProgramTest, OnlyTheSingleArgumentDashDDelaysStartUp)
{
    struct Case {
        std::vector<const char*> arguments;
        bool delayed;
    };
    const Case cases[] = {
        {{"orvanta", "-d"}, true},
        {{"orvanta"}, false},
        {{"orvanta", "-d "}, false},
        {{"orvanta", "/d"}, false},
        {{"orvanta", "-D"}, false},
        {{"orvanta", "-d", "-d"}, false},
        {{"orvanta", "-dd"}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(player::IsDelayedStart(int(c.arguments.size()), c.arguments.data()), c.delayed)
            << c.arguments.size() - 1 << " arguments, last '" << c.arguments.back() << "'";
}

} // namespace

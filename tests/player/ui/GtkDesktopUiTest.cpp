// The GTK user interface on a display: the settings dialog shows the stored
// settings and its controls act through the real widgets; the tray's popup
// menu carries the check marks and its commands reach the manager window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "../TrayTestSupport.h"
#include "platform/win/KeyFileStore.h"
#include "platform/win/Message.h"
#include "player/TrayMenu.h"
#include "player/ui/GtkDesktopUi.h"

namespace {

using namespace player;
namespace id = dialog_id;

bool RunUntil(win::MainLoop& loop, const std::function<bool()>& done)
{
    return wintest::RunUntil(loop, done, std::chrono::seconds(5));
}

// Runs what the toolkit has queued (a close request is delivered from the loop).
// Bounded, so that work that never ends shows in the assertions after it.
void RunPending(win::MainLoop& loop)
{
    constexpr int kMaxIterations = 1000;
    int idleRounds = 0;
    for (int iteration = 0; iteration < kMaxIterations && idleRounds < 3; ++iteration)
        idleRounds = loop.Iterate(false) ? 0 : idleRounds + 1;
}

struct GtkUiFixture : ::testing::Test {
    keyfiletest::TempDir configDir;
    std::optional<win::KeyFileStore> store;
    std::optional<traytest::UiServices> services;

    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", configDir.Path().c_str(), 1);
        store.emplace(win::KeyFileStore::DefaultFile());
        ASSERT_EQ(store->File().parent_path().parent_path(), configDir.Path());
    }
    void Store(std::string_view name, std::uint32_t value)
    {
        ASSERT_TRUE(store->SetDword(kSettingsKeyPath, name, value));
    }
    // What the file holds now, read by a store of its own.
    std::optional<std::uint32_t> OnDisk(std::string_view name)
    {
        win::KeyFileStore fresh(store->File());
        return fresh.QueryDword(kSettingsKeyPath, name);
    }
    traytest::UiServices& Services()
    {
        if (!services)
            services.emplace(*store);
        return *services;
    }
    win::MainLoop& Loop() { return Services().shellModel.loop; }
};

// First in the file: GTK is not yet connected to the display.
TEST_F(GtkUiFixture, WithoutADisplayTheInterfaceHasNoWindows)
{
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr) << "runs under xvfb-run";
    const std::string kept = display;
    unsetenv("DISPLAY");
    std::unique_ptr<DesktopUi> ui = MakeDesktopUi(Services().Services());
    testing::internal::CaptureStderr();
    ShowStartupError("Cannot open file: Wrong file format.", "Orvanta");
    const std::string said = testing::internal::GetCapturedStderr();
    setenv("DISPLAY", kept.c_str(), 1);

    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(dynamic_cast<GtkDesktopUi*>(ui.get()), nullptr);
    EXPECT_TRUE(ui->CreateSettingsDialog(true));
    EXPECT_TRUE(ui->AddTrayIcon());
    ui->OnTrayCommand(tray_command::kStretch);
    EXPECT_EQ(OnDisk(kPicPosValue), 0u);
    EXPECT_EQ(Services().player.PicturePosition(), kPicPosStretch);
    EXPECT_NE(said.find("Orvanta: Cannot open file: Wrong file format."), std::string::npos) << said;
}

TEST_F(GtkUiFixture, DialogShowsStoredSettingsAndActs)
{
    Store(kShowDialogValue, 0);
    Store(kSleepTimeValue, 2);
    Store(kPicPosValue, 0);
    Store(kSoundVolumeValue, 35);
    Store(kMuteValue, 0);

    std::unique_ptr<DesktopUi> made = MakeDesktopUi(Services().Services());
    auto* ui = dynamic_cast<GtkDesktopUi*>(made.get());
    ASSERT_NE(ui, nullptr) << "a display is there, so the interface is GTK's";
    // Xvfb has neither a StatusNotifier host nor an X tray.
    ASSERT_EQ(ui->View().Host(), TrayHostKind::None);

    // "Show dialog" is 0, yet with no tray the dialog is the only way in.
    ASSERT_TRUE(ui->CreateSettingsDialog(false));
    EXPECT_TRUE(ui->AddTrayIcon());
    EXPECT_FALSE(ui->View().HasTrayIcon());
    GtkSettingsDialog* dialog = ui->View().Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->IsVisible());
    EXPECT_EQ(dialog->Title(), "Settings");
    EXPECT_EQ(dialog->Text(id::kHide), "Hide this window");
    EXPECT_EQ(dialog->Text(id::kPicturePositionLabel), "Picture position:");
    EXPECT_TRUE(dialog->IsChecked(id::kDontShowAtStartup));
    EXPECT_FALSE(dialog->IsChecked(id::kMuteSound));
    EXPECT_FALSE(dialog->IsChecked(id::kAutorun));
    EXPECT_EQ(dialog->Selection(id::kPriority), 2);
    EXPECT_EQ(dialog->Text(id::kPriority), "Low");
    EXPECT_EQ(dialog->Selection(id::kPicturePosition), 0);
    EXPECT_EQ(dialog->Text(id::kPicturePosition), "Stretch");
    EXPECT_EQ(dialog->SliderPosition(), 35);

    dialog->ChooseItem(id::kPicturePosition, 1);
    EXPECT_EQ(OnDisk(kPicPosValue), 1u);
    EXPECT_EQ(Services().player.PicturePosition(), kPicPosFit);

    dialog->Click(id::kMuteSound);
    EXPECT_TRUE(dialog->IsChecked(id::kMuteSound));
    EXPECT_EQ(OnDisk(kMuteValue), 1u);
    EXPECT_TRUE(Services().player.Mute());

    dialog->MoveSlider(80);
    EXPECT_EQ(OnDisk(kSoundVolumeValue), 80u);
    EXPECT_EQ(Services().player.Volume(), 80);

    dialog->Click(id::kMoreWallpapers);
    EXPECT_EQ(Services().launcher.uris, (std::vector<std::string>{traytest::kWallpapersAddress}));
    dialog->Click(id::kOpenFaq); // no FAQ address: nothing starts
    EXPECT_EQ(Services().launcher.uris.size(), 1u);

    // The tray's command reaches the open dialog's list.
    ui->OnTrayCommand(tray_command::kFill);
    EXPECT_EQ(dialog->Selection(id::kPicturePosition), 2);
    EXPECT_EQ(OnDisk(kPicPosValue), 2u);

    // Closing iconifies (no tray to bring a hidden dialog back): it stays shown.
    dialog->RequestClose();
    RunPending(Loop());
    EXPECT_TRUE(dialog->IsVisible());
    ui->RemoveTrayIcon();
}

TEST_F(GtkUiFixture, HideButtonHidesWhereATrayExists)
{
    Services();
    GtkDesktopUi ui(Services().Services(), TrayHostKind::XSystemTray);
    ASSERT_TRUE(ui.CreateSettingsDialog(true));
    GtkSettingsDialog* dialog = ui.View().Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->IsVisible());
    dialog->Click(id::kHide);
    EXPECT_FALSE(dialog->IsVisible());
    ui.OnTrayCommand(tray_command::kSettings);
    EXPECT_TRUE(dialog->IsVisible());
    // The close box does what the Hide button does.
    RunPending(Loop());
    dialog->RequestClose();
    RunPending(Loop());
    EXPECT_FALSE(dialog->IsVisible());
}

TEST_F(GtkUiFixture, PopupMenuCarriesCheckMarksAndSendsItsCommand)
{
    Store(kPicPosValue, 2);
    Store(kIconSmoothingValue, 1);
    GtkDesktopUi ui(Services().Services(), TrayHostKind::XSystemTray);
    // The host's window procedure: tray callbacks and commands to the interface.
    Services().route = [&ui](UINT message, win::WPARAM wParam, win::LPARAM lParam) {
        if (message == win::WM_KXW_TRAY)
            ui.ShowTrayMenu(lParam);
        if (message == win::WM_COMMAND)
            ui.OnTrayCommand(wParam);
    };
    ASSERT_TRUE(ui.AddTrayIcon());
    EXPECT_TRUE(ui.View().HasTrayIcon());

    ui.ShowTrayMenu(WM_LBUTTONDOWN);
    EXPECT_EQ(ui.View().Popup(), nullptr);
    Services().windows.SendMessage(Services().managerWindow, win::WM_KXW_TRAY, kTrayIconId, WM_RBUTTONUP);
    GtkTrayMenu* popup = ui.View().Popup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->IsChecked(tray_command::kFill));
    EXPECT_FALSE(popup->IsChecked(tray_command::kFit));
    EXPECT_TRUE(popup->IsChecked(tray_command::kIconSmoothing));
    EXPECT_TRUE(popup->IsChecked(tray_command::kShowIcons)); // the model shell's icons are visible

    popup->Activate(tray_command::kFit);
    // The command is posted, as the system's menu posts it.
    EXPECT_TRUE(Services().MessagesOf(win::WM_COMMAND).empty());
    EXPECT_TRUE(RunUntil(Loop(), [&] { return !Services().MessagesOf(win::WM_COMMAND).empty(); }));
    EXPECT_EQ(Services().MessagesOf(win::WM_COMMAND).front().wParam, tray_command::kFit);
    EXPECT_EQ(OnDisk(kPicPosValue), 1u);
    EXPECT_EQ(Services().player.PicturePosition(), kPicPosFit);
    // The closed menu is released.
    EXPECT_TRUE(RunUntil(Loop(), [&] { return ui.View().Popup() == nullptr; }));
    ui.RemoveTrayIcon();
    EXPECT_FALSE(ui.View().HasTrayIcon());
}

TEST_F(GtkUiFixture, IndicatorKeepsItsMenuInStep)
{
    GtkDesktopUi ui(Services().Services(), TrayHostKind::StatusNotifier);
    Services().route = [&ui](UINT message, win::WPARAM wParam, win::LPARAM) {
        if (message == win::WM_COMMAND)
            ui.OnTrayCommand(wParam);
    };
    ASSERT_TRUE(ui.AddTrayIcon());
    GtkTrayMenu* menu = ui.View().AttachedMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->IsChecked(tray_command::kFill));
    EXPECT_FALSE(menu->IsChecked(tray_command::kIconSmoothing));

    // The desktop opens the attached menu and the user chooses an item.
    menu->Activate(tray_command::kIconSmoothing);
    ASSERT_TRUE(RunUntil(Loop(), [&] { return OnDisk(kIconSmoothingValue) == 1u; }));
    ui.OnTrayCommand(tray_command::kStretch);
    EXPECT_TRUE(menu->IsChecked(tray_command::kIconSmoothing));
    EXPECT_TRUE(menu->IsChecked(tray_command::kStretch));
    EXPECT_FALSE(menu->IsChecked(tray_command::kFill));
    // Setting the check marks is taken for no choice: one command per click.
    RunPending(Loop());
    EXPECT_EQ(Services().MessagesOf(win::WM_COMMAND).size(), 1u);
    EXPECT_EQ(OnDisk(kIconSmoothingValue), 1u);

    ui.RemoveTrayIcon();
    EXPECT_FALSE(ui.View().HasTrayIcon());
}

} // namespace

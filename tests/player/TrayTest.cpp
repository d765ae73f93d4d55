#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "TrayTestSupport.h"
#include "platform/crt/WideString.h"
#include "platform/win/Message.h"
#include "player/TrayIcon.h"
#include "player/TrayMenu.h"
#include "player/TrayUi.h"
#include "player/TrayUiView.h"

namespace {

using namespace player;
namespace cmd = player::tray_command;

// A view that records what the logic asks of it.
struct RecordingView : TrayUiView {
    bool trayHost = true;
    bool acceptIcon = true;
    std::vector<TrayIconData> icons;
    std::vector<TrayIconData> balloons;
    std::vector<TrayMenu> popups;
    std::vector<TrayMenu> menuUpdates;
    int removals = 0;
    int dialogsCreated = 0;
    bool dialogVisible = false;
    bool dialogIconified = false;
    std::vector<int> refreshed;
    SettingsDialogController* controller = nullptr;

    bool HasTrayHost() override { return trayHost; }
    bool AddTrayIcon(const TrayIconData& icon, const TrayMenu&) override
    {
        if (acceptIcon)
            icons.push_back(icon);
        return acceptIcon;
    }
    void RemoveTrayIcon() override { ++removals; }
    void UpdateTrayMenu(const TrayMenu& menu) override { menuUpdates.push_back(menu); }
    bool ShowBalloon(const TrayIconData& icon) override
    {
        balloons.push_back(icon);
        return true;
    }
    void PopupTrayMenu(const TrayMenu& menu) override { popups.push_back(menu); }
    bool CreateDialog(SettingsDialogController& dialog) override
    {
        ++dialogsCreated;
        controller = &dialog;
        return true;
    }
    bool HasDialog() const override { return controller != nullptr; }
    void RefreshDialogControl(int id) override { refreshed.push_back(id); }
    void ShowDialog() override
    {
        dialogVisible = true;
        dialogIconified = false;
    }
    void HideDialog() override { dialogVisible = false; }
    void IconifyDialog() override { dialogIconified = true; }
};

struct TrayFixture : ::testing::Test {
    win::MemorySettingsStore store;
    traytest::UiServices services{store};
    RecordingView view;
    std::optional<TrayUi> ui;

    TrayUi& Ui()
    {
        if (!ui)
            ui.emplace(services.Services(), &view);
        return *ui;
    }
    std::optional<std::uint32_t> Stored(std::string_view name) { return store.QueryDword(kSettingsKeyPath, name); }
    static bool Checked(const TrayMenu& menu, win::WPARAM command)
    {
        const TrayMenuItem* item = menu.Find(command);
        return item && item->checked;
    }
};

TEST(TrayMenuTest, TemplateHasTheItemsAtTheirPositions)
{
    const TrayMenu menu = LoadTrayMenu();
    ASSERT_EQ(menu.items.size(), 6u);
    EXPECT_EQ(menu.items[0].command, cmd::kSettings);
    EXPECT_EQ(menu.items[3].command, cmd::kExit);
    EXPECT_TRUE(menu.items[4].separator);
    EXPECT_EQ(menu.items[5].command, cmd::kMoreWallpapers);
    const TrayMenuItem& icons = menu.items[kIconsPopupPosition];
    ASSERT_EQ(icons.items.size(), 2u);
    EXPECT_EQ(icons.items[0].command, cmd::kShowIcons);
    EXPECT_EQ(icons.items[1].command, cmd::kIconSmoothing);
    const TrayMenuItem& pictures = menu.items[kPicturePositionPopupPosition];
    ASSERT_EQ(pictures.items.size(), 3u);
    EXPECT_EQ(pictures.items[0].text, "Stretch");
    EXPECT_EQ(pictures.items[1].command, cmd::kFit);
    EXPECT_EQ(pictures.items[2].command, cmd::kFill);
    EXPECT_EQ(menu.Find(cmd::kToggleMute), nullptr); // offered by no item
}

TEST_F(TrayFixture, OnlyButtonReleaseOpensTheMenu)
{
    const struct {
        win::LPARAM message;
        bool opens;
    } kCases[] = {
        {WM_LBUTTONDOWN, false}, {WM_LBUTTONUP, true},  {WM_LBUTTONDBLCLK, false},
        {WM_RBUTTONDOWN, false}, {WM_RBUTTONUP, true},  {WM_RBUTTONDBLCLK, false},
        {0x200 /* mouse move */, false}, {0, false},
    };
    for (const auto& testCase : kCases) {
        view.popups.clear();
        Ui().ShowTrayMenu(testCase.message);
        EXPECT_EQ(view.popups.size(), testCase.opens ? 1u : 0u) << "lParam 0x" << std::hex << testCase.message;
    }
}

TEST_F(TrayFixture, CheckMarksShowTheSettingsAndIcons)
{
    const struct {
        std::uint32_t picPos;
        std::uint32_t smoothing;
        bool hideIcons;
        win::WPARAM checkedPosition;
    } kCases[] = {
        {2, 0, false, cmd::kFill},
        {0, 1, true, cmd::kStretch},
        {1, 7, false, cmd::kFit}, // any non-zero smoothing value is on
    };
    for (const auto& testCase : kCases) {
        win::MemorySettingsStore caseStore;
        caseStore.SetDword(kSettingsKeyPath, kPicPosValue, testCase.picPos);
        caseStore.SetDword(kSettingsKeyPath, kIconSmoothingValue, testCase.smoothing);
        traytest::UiServices caseServices(caseStore);
        if (testCase.hideIcons)
            caseServices.desktop.ToggleIcons();
        RecordingView caseView;
        TrayUi caseUi(caseServices.Services(), &caseView);
        caseUi.ShowTrayMenu(WM_RBUTTONUP);
        ASSERT_EQ(caseView.popups.size(), 1u);
        const TrayMenu& menu = caseView.popups.front();
        for (const win::WPARAM position : {cmd::kStretch, cmd::kFit, cmd::kFill})
            EXPECT_EQ(Checked(menu, position), position == testCase.checkedPosition) << "PicPos " << testCase.picPos;
        EXPECT_EQ(Checked(menu, cmd::kShowIcons), !testCase.hideIcons);
        EXPECT_EQ(Checked(menu, cmd::kIconSmoothing), testCase.smoothing != 0);
    }
}

TEST_F(TrayFixture, ChoosingFitReachesSettingsPlayerDialogAndMenu)
{
    ASSERT_TRUE(Ui().CreateSettingsDialog(true));
    ASSERT_TRUE(Ui().AddTrayIcon());
    ASSERT_EQ(view.controller->Control(dialog_id::kPicturePosition).selection, kPicPosFill);
    view.refreshed.clear();

    Ui().OnTrayCommand(cmd::kFit);

    EXPECT_EQ(Stored(kPicPosValue), 1u);
    EXPECT_EQ(services.player.PicturePosition(), kPicPosFit);
    EXPECT_EQ(view.controller->Control(dialog_id::kPicturePosition).selection, kPicPosFit);
    EXPECT_NE(std::find(view.refreshed.begin(), view.refreshed.end(), dialog_id::kPicturePosition),
              view.refreshed.end());
    ASSERT_FALSE(view.menuUpdates.empty());
    EXPECT_TRUE(Checked(view.menuUpdates.back(), cmd::kFit));
    EXPECT_FALSE(Checked(view.menuUpdates.back(), cmd::kFill));
}

TEST_F(TrayFixture, PicturePositionWithoutDialogStillActs)
{
    Ui().OnTrayCommand(cmd::kStretch);
    EXPECT_EQ(Stored(kPicPosValue), 0u);
    EXPECT_EQ(services.player.PicturePosition(), kPicPosStretch);
    EXPECT_EQ(view.dialogsCreated, 0);
}

TEST_F(TrayFixture, SmoothingTogglesAndLeavesSoundAlone)
{
    store.SetDword(kSettingsKeyPath, kMuteValue, 0);
    store.SetDword(kSettingsKeyPath, kSoundVolumeValue, 40);
    services.player.SetVolume(40, false);

    Ui().OnTrayCommand(cmd::kIconSmoothing);
    EXPECT_EQ(Stored(kIconSmoothingValue), 1u);
    EXPECT_EQ(services.settings.GetIconSmoothingSetting(), 1);
    Ui().OnTrayCommand(cmd::kIconSmoothing);
    EXPECT_EQ(Stored(kIconSmoothingValue), 0u);

    EXPECT_EQ(Stored(kMuteValue), 0u);
    EXPECT_EQ(Stored(kSoundVolumeValue), 40u);
    EXPECT_EQ(services.player.Volume(), 40);
    EXPECT_FALSE(services.player.Mute());
}

TEST_F(TrayFixture, MuteTogglesAndReachesPlayerAndDialog)
{
    store.SetDword(kSettingsKeyPath, kSoundVolumeValue, 60);
    ASSERT_TRUE(Ui().CreateSettingsDialog(false));
    ASSERT_TRUE(view.controller->Control(dialog_id::kMuteSound).checked); // muted by default

    Ui().OnTrayCommand(cmd::kToggleMute);
    EXPECT_EQ(Stored(kMuteValue), 0u);
    EXPECT_EQ(services.player.Volume(), 60);
    EXPECT_FALSE(services.player.Mute());
    EXPECT_FALSE(view.controller->Control(dialog_id::kMuteSound).checked);

    Ui().OnTrayCommand(cmd::kToggleMute);
    EXPECT_TRUE(services.player.Mute());
    EXPECT_TRUE(view.controller->Control(dialog_id::kMuteSound).checked);
}

TEST_F(TrayFixture, ShowIconsTogglesTheShellsIconsAndTheDialogCheck)
{
    ASSERT_TRUE(Ui().CreateSettingsDialog(false));
    ASSERT_TRUE(services.IconListViewVisible());
    ASSERT_TRUE(view.controller->Control(dialog_id::kShowIcons).checked);

    Ui().OnTrayCommand(cmd::kShowIcons);
    EXPECT_FALSE(services.IconListViewVisible());
    EXPECT_FALSE(view.controller->Control(dialog_id::kShowIcons).checked);
    Ui().ShowTrayMenu(WM_LBUTTONUP);
    EXPECT_FALSE(Checked(view.popups.back(), cmd::kShowIcons));

    Ui().OnTrayCommand(cmd::kShowIcons);
    EXPECT_TRUE(services.IconListViewVisible());
    EXPECT_TRUE(view.controller->Control(dialog_id::kShowIcons).checked);
}

TEST_F(TrayFixture, ExitSendsCloseToTheManagerWindow)
{
    Ui().OnTrayCommand(cmd::kExit);
    const auto closes = services.MessagesOf(win::WM_CLOSE);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes.front().window, services.managerWindow);
    // Sent, not posted: the window is gone when the command returns.
    EXPECT_FALSE(services.windows.IsWindow(services.managerWindow));
}

TEST_F(TrayFixture, MoreWallpapersOpensStringThree)
{
    Ui().OnTrayCommand(cmd::kMoreWallpapers);
    EXPECT_EQ(services.launcher.uris, (std::vector<std::string>{traytest::kWallpapersAddress}));
}

TEST_F(TrayFixture, MoreWallpapersWithoutAnAddressStartsNothing)
{
    traytest::UiServices bare(store);
    bare.strings = LocalisedStrings([](LANGID) { return std::optional<std::string>("301\tRunning\n"); });
    TrayUi bareUi(bare.Services(), &view);
    bareUi.OnTrayCommand(cmd::kMoreWallpapers);
    EXPECT_TRUE(bare.launcher.uris.empty());
}

TEST_F(TrayFixture, UnknownCommandsDoNothing)
{
    ASSERT_TRUE(Ui().AddTrayIcon());
    const std::size_t messagesBefore = services.messages.size();
    const std::size_t updatesBefore = view.menuUpdates.size();
    // The whole wParam is the id: a notification code above it makes another id.
    for (const win::WPARAM command : {win::WPARAM{0}, win::WPARAM{40002}, win::WPARAM{40013}, win::WPARAM{40017},
                                      win::WPARAM{(1u << 16) | 40015}, win::WPARAM{2}, win::WPARAM{1017}})
        Ui().OnTrayCommand(command);
    EXPECT_EQ(services.messages.size(), messagesBefore);
    EXPECT_EQ(view.menuUpdates.size(), updatesBefore);
    EXPECT_EQ(view.dialogsCreated, 0);
    EXPECT_TRUE(services.launcher.uris.empty());
    EXPECT_FALSE(Stored(kPicPosValue).has_value());
    EXPECT_FALSE(Stored(kIconSmoothingValue).has_value());
    EXPECT_FALSE(Stored(kMuteValue).has_value());
    EXPECT_TRUE(services.IconListViewVisible());
}

TEST_F(TrayFixture, SettingsCommandShowsTheKeptDialog)
{
    Ui().OnTrayCommand(cmd::kSettings);
    EXPECT_EQ(view.dialogsCreated, 1);
    EXPECT_TRUE(view.dialogVisible);
    view.controller->Click(dialog_id::kHide);
    EXPECT_FALSE(view.dialogVisible);
    Ui().OnTrayCommand(cmd::kSettings);
    EXPECT_EQ(view.dialogsCreated, 1);
    EXPECT_TRUE(view.dialogVisible);
}

TEST_F(TrayFixture, DialogStaysReachableWithoutATray)
{
    const struct {
        bool trayHost;
        bool shownAtStart;
        bool iconAdded;
        bool hideIconifies;
    } kCases[] = {
        {true, false, true, false},
        {false, true, false, true},
    };
    for (const auto& testCase : kCases) {
        RecordingView caseView;
        caseView.trayHost = testCase.trayHost;
        TrayUi caseUi(services.Services(), &caseView);
        ASSERT_TRUE(caseUi.CreateSettingsDialog(false));
        EXPECT_EQ(caseView.dialogVisible, testCase.shownAtStart);
        EXPECT_TRUE(caseUi.AddTrayIcon()); // no tray is no failure: the dialog stands in
        EXPECT_EQ(caseView.icons.size(), testCase.iconAdded ? 1u : 0u);
        EXPECT_EQ(caseView.balloons.size(), 1u);

        caseUi.OnTrayCommand(cmd::kSettings);
        caseView.controller->OnCommand(MakeCommand(dialog_id::kHide, BN_CLICKED));
        EXPECT_EQ(caseView.dialogIconified, testCase.hideIconifies) << "tray host " << testCase.trayHost;
        EXPECT_EQ(caseView.dialogVisible, testCase.hideIconifies);
    }
}

TEST_F(TrayFixture, TrayIconRecordAndRemoval)
{
    ASSERT_TRUE(Ui().AddTrayIcon());
    ASSERT_EQ(view.icons.size(), 1u);
    const TrayIconData& icon = view.icons.front();
    EXPECT_EQ(icon.window, services.managerWindow);
    EXPECT_EQ(icon.id, 1025u);
    EXPECT_EQ(icon.flags, 0x17u);
    EXPECT_EQ(icon.callbackMessage, win::WM_KXW_TRAY);
    EXPECT_EQ(icon.tip, u""); // the table has no string 303
    EXPECT_EQ(icon.balloonText, u"Animated wallpaper is running");
    EXPECT_EQ(icon.balloonTitle, u"Animated Wallpaper");
    ASSERT_EQ(view.balloons.size(), 1u);

    Ui().RemoveTrayIcon();
    Ui().RemoveTrayIcon();
    EXPECT_EQ(view.removals, 1);
    // Added again (the wallpaper shown again): a new icon and balloon.
    ASSERT_TRUE(Ui().AddTrayIcon());
    EXPECT_EQ(view.icons.size(), 2u);
    EXPECT_EQ(view.balloons.size(), 2u);
}

TEST_F(TrayFixture, RefusedTrayIconIsAFailure)
{
    view.acceptIcon = false;
    EXPECT_FALSE(Ui().AddTrayIcon());
    EXPECT_FALSE(Ui().HasTrayIcon());
    EXPECT_TRUE(view.balloons.empty());
    Ui().RemoveTrayIcon();
    EXPECT_EQ(view.removals, 0);
}

TEST(TrayIconTest, TextsAreCutToTheirFieldsWithoutSplittingPairs)
{
    const std::u16string longText(300, u'a');
    EXPECT_EQ(FitTrayText(longText, kTrayTipSize).size(), 127u);
    EXPECT_EQ(FitTrayText(longText, kTrayBalloonTitleSize).size(), 63u);
    EXPECT_EQ(FitTrayText(u"short", kTrayTipSize), u"short");
    // A pair across the cut is dropped whole.
    std::u16string paired(62, u'a');
    paired += u"\U0001F600";
    EXPECT_EQ(FitTrayText(paired, kTrayBalloonTitleSize), std::u16string(62, u'a'));
    EXPECT_EQ(FitTrayText(u"abc", 0), u"");
}

TEST_F(TrayFixture, WindowlessInterfaceStillActs)
{
    const std::unique_ptr<DesktopUi> windowless = MakeWindowlessDesktopUi(services.Services());
    EXPECT_TRUE(windowless->CreateSettingsDialog(true));
    EXPECT_TRUE(windowless->AddTrayIcon());
    windowless->ShowTrayMenu(WM_LBUTTONUP);
    windowless->OnTrayCommand(cmd::kSettings);
    windowless->OnTrayCommand(cmd::kFit);
    EXPECT_EQ(Stored(kPicPosValue), 1u);
    EXPECT_EQ(services.player.PicturePosition(), kPicPosFit);
    windowless->OnTrayCommand(cmd::kIconSmoothing);
    EXPECT_EQ(Stored(kIconSmoothingValue), 1u);
    windowless->OnTrayCommand(cmd::kMoreWallpapers);
    EXPECT_EQ(services.launcher.uris.size(), 1u);
    windowless->RemoveTrayIcon();
    windowless->OnTrayCommand(cmd::kExit);
    EXPECT_EQ(services.MessagesOf(win::WM_CLOSE).size(), 1u);
}

} // namespace

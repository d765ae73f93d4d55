#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../../platform/win/KeyFileTestSupport.h"
#include "../../platform/win/ShellWindowsModel.h"
#include "platform/crt/WideString.h"
#include "platform/win/SettingsStore.h"
#include "player/SettingsDialogController.h"

namespace {

namespace id = dialog_id;

struct RecordingHost : SettingsDialogHost {
    std::vector<std::int32_t> positions;
    std::vector<std::pair<std::int32_t, bool>> volumes;
    int hides = 0;
    void SetPicturePosition(std::int32_t position) override { positions.push_back(position); }
    void SetVolume(std::int32_t volume, bool mute) override { volumes.emplace_back(volume, mute); }
    void HideSettingsDialog() override { ++hides; }
};

struct RecordingLauncher : win::UriLauncher {
    std::vector<std::string> uris;
    bool Launch(std::string_view uri) override
    {
        uris.emplace_back(uri);
        return true;
    }
};

// A dialog over in-memory settings, a temporary autostart folder and, when
// asked for, a model of the Windows shell with its icon list view.
struct DialogFixture : ::testing::Test {
    keyfiletest::TempDir dir;
    win::MemorySettingsStore store;
    Settings settings{store};
    Autorun autorun{win::AutostartEntry(dir.Path() / "orvanta.desktop"), "/opt/orvanta/orvanta"};
    std::unique_ptr<wintest::ShellModel> shellModel;
    std::unique_ptr<win::ShellWindows> shell;
    DS_Desktop desktop;
    LocalisedStrings strings;
    RecordingLauncher launcher;
    RecordingHost host;
    std::vector<int> changed;
    std::unique_ptr<SettingsDialogController> dialog;

    void WithShell()
    {
        shellModel = std::make_unique<wintest::ShellModel>(wintest::ShellScenario{"Windows 10", {10, 0}, true});
        shell = std::make_unique<win::ShellWindows>(shellModel->windows, win::SystemVersion{10, 0});
        desktop = DS_Desktop(shell.get());
    }

    SettingsDialogController& Open()
    {
        dialog = std::make_unique<SettingsDialogController>(
            SettingsDialogController::Services{settings, autorun, desktop, strings, launcher, host});
        dialog->SetObserver([this](int control) { changed.push_back(control); });
        dialog->OnInitDialog();
        return *dialog;
    }
    const DialogControl& Control(int control) const { return dialog->Control(control); }
};

TEST_F(DialogFixture, InitialStateShowsTheSettingsAndTexts)
{
    store.SetDword(kSettingsKeyPath, kSleepTimeValue, 2);
    store.SetDword(kSettingsKeyPath, kSoundVolumeValue, 35);
    Open();
    EXPECT_EQ(dialog->Title(), u"Settings");
    EXPECT_EQ(Control(id::kTopText).text, u"\n");
    EXPECT_EQ(Control(id::kHide).text, u"Hide this window");
    EXPECT_EQ(Control(id::kPicturePositionLabel).text, u"Picture position:");
    EXPECT_EQ(Control(id::kPriority).items, (std::vector<std::u16string>{u"High", u"Normal", u"Low"}));
    EXPECT_EQ(Control(id::kPriority).selection, 2);
    EXPECT_EQ(Control(id::kPicturePosition).items, (std::vector<std::u16string>{u"Stretch", u"Fit", u"Fill"}));
    EXPECT_EQ(Control(id::kPicturePosition).selection, kPicPosFill);
    EXPECT_FALSE(Control(id::kDontShowAtStartup).checked);
    EXPECT_FALSE(Control(id::kAutorun).checked);
    EXPECT_TRUE(Control(id::kMuteSound).checked);
    EXPECT_FALSE(Control(id::kShowIcons).checked); // no shell: icons count as hidden
    const DialogControl& slider = Control(id::kVolume);
    EXPECT_EQ(slider.rangeMin, 0);
    EXPECT_EQ(slider.rangeMax, 100);
    EXPECT_EQ(slider.ticFrequency, 10);
    EXPECT_EQ(slider.position, 35);

    // Applying the language again does not duplicate the list items.
    dialog->ApplyLanguage();
    EXPECT_EQ(Control(id::kPriority).items.size(), 3u);
}

TEST_F(DialogFixture, DontShowCheckBoxWritesShowDialog)
{
    Open();
    dialog->Click(id::kDontShowAtStartup);
    EXPECT_TRUE(Control(id::kDontShowAtStartup).checked);
    EXPECT_EQ(store.QueryDword(kSettingsKeyPath, kShowDialogValue), 0u);
    EXPECT_FALSE(Settings(store).GetShowDialogSetting()); // the next start shows no dialog
    dialog->Click(id::kDontShowAtStartup);
    EXPECT_EQ(store.QueryDword(kSettingsKeyPath, kShowDialogValue), 1u);
}

TEST_F(DialogFixture, SliderWritesAndAppliesOnEveryMove)
{
    store.SetDword(kSettingsKeyPath, kMuteValue, 0);
    Open();
    for (int position : {80, 79, 50, 0})
        dialog->MoveSlider(position);
    EXPECT_EQ(store.QueryDword(kSettingsKeyPath, kSoundVolumeValue), 0u);
    EXPECT_EQ(host.volumes,
              (std::vector<std::pair<std::int32_t, bool>>{{80, false}, {79, false}, {50, false}, {0, false}}));
    dialog->MoveSlider(250); // held to the slider's range
    EXPECT_EQ(host.volumes.back(), std::make_pair(100, false));
}

TEST_F(DialogFixture, MuteCheckBoxTogglesAndApplies)
{
    store.SetDword(kSettingsKeyPath, kSoundVolumeValue, 60);
    Open();
    dialog->Click(id::kMuteSound);
    EXPECT_FALSE(Control(id::kMuteSound).checked);
    EXPECT_EQ(store.QueryDword(kSettingsKeyPath, kMuteValue), 0u);
    dialog->Click(id::kMuteSound);
    EXPECT_TRUE(Control(id::kMuteSound).checked);
    EXPECT_EQ(host.volumes, (std::vector<std::pair<std::int32_t, bool>>{{60, false}, {60, true}}));
}

TEST_F(DialogFixture, ListsWriteOnSelEndOkAndFitReachesThePlayer)
{
    Open();
    dialog->SelectItem(id::kPicturePosition, kPicPosFit);
    EXPECT_EQ(store.QueryDword(kSettingsKeyPath, kPicPosValue), 1u);
    EXPECT_EQ(host.positions, std::vector<std::int32_t>{kPicPosFit});

    dialog->SelectItem(id::kPriority, kPriorityHigh);
    EXPECT_EQ(FramePeriodMs(settings.GetSleepTimeSetting()), 10u);

    // Other notifications of a list change nothing.
    store.SetDword(kSettingsKeyPath, kSleepTimeValue, 9);
    dialog->OnCommand(MakeCommand(id::kPriority, 1)); // CBN_SELCHANGE
    EXPECT_EQ(store.QueryDword(kSettingsKeyPath, kSleepTimeValue), 9u);
    EXPECT_EQ(host.positions.size(), 1u);
}

TEST_F(DialogFixture, TrayChangesShowInTheDialog)
{
    Open();
    settings.SetPicturePositionSetting(kPicPosStretch);
    changed.clear();
    dialog->RefreshPicturePosition();
    EXPECT_EQ(Control(id::kPicturePosition).selection, kPicPosStretch);
    EXPECT_EQ(changed, std::vector<int>{id::kPicturePosition});
    settings.SetMuteSetting(false);
    dialog->RefreshMute();
    EXPECT_FALSE(Control(id::kMuteSound).checked);
}

TEST_F(DialogFixture, AutorunCheckBoxCreatesAndRemovesTheEntry)
{
    Open();
    dialog->Click(id::kAutorun);
    EXPECT_TRUE(Control(id::kAutorun).checked);
    EXPECT_TRUE(autorun.IsAutorunSet());
    EXPECT_EQ(win::AutostartEntry(dir.Path() / "orvanta.desktop").ReadCommand(), "\"/opt/orvanta/orvanta\" -d");
    dialog->Click(id::kAutorun);
    EXPECT_FALSE(Control(id::kAutorun).checked);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "orvanta.desktop"));
}

TEST_F(DialogFixture, AutorunCheckShowsWhatIsSoWhenTheEntryCannotBeWritten)
{
    keyfiletest::WriteFile(dir.Path() / "blocker", "a file");
    autorun = Autorun(win::AutostartEntry(dir.Path() / "blocker" / "orvanta.desktop"), "/opt/orvanta/orvanta");
    Open();
    dialog->Click(id::kAutorun);
    EXPECT_FALSE(Control(id::kAutorun).checked);
}

TEST_F(DialogFixture, WebButtonsAndHide)
{
    Open();
    dialog->Click(id::kMoreWallpapers);
    ASSERT_EQ(launcher.uris.size(), 1u);
    EXPECT_EQ(launcher.uris[0], crt::ToUtf8(strings.LoadLocalisedWideString(3)));
    dialog->Click(id::kOpenFaq); // no FAQ address: nothing is started
    EXPECT_EQ(launcher.uris.size(), 1u);
    dialog->Click(id::kHide);
    EXPECT_EQ(host.hides, 1);
}

TEST_F(DialogFixture, IconsToggleAgainstTheShellModel)
{
    WithShell();
    Open();
    const win::HWND listView = shell->FindDesktopListView();
    ASSERT_NE(listView, nullptr);
    EXPECT_TRUE(Control(id::kShowIcons).checked);
    dialog->Click(id::kShowIcons);
    EXPECT_FALSE(shellModel->windows.IsWindowVisible(listView));
    EXPECT_FALSE(Control(id::kShowIcons).checked);
    // The tray toggles them back; the dialog follows.
    desktop.ToggleIcons();
    dialog->RefreshIconsCheck();
    EXPECT_TRUE(shellModel->windows.IsWindowVisible(listView));
    EXPECT_TRUE(Control(id::kShowIcons).checked);
}

TEST_F(DialogFixture, IconsWithoutShellViewStayHidden)
{
    Open();
    EXPECT_FALSE(desktop.AreIconsVisible());
    dialog->Click(id::kShowIcons);
    EXPECT_FALSE(desktop.AreIconsVisible());
    EXPECT_FALSE(Control(id::kShowIcons).checked); // the check mark does not claim otherwise
}

TEST(Desktop, ToggleAgainstShellModelsPerVersion)
{
    const wintest::ShellScenario scenarios[] = {
        {"Windows 7", {6, 1}, true},
        {"Windows 10", {10, 0}, true},
        {"shell without workers", {10, 0}, false},
    };
    for (const auto& scenario : scenarios) {
        wintest::ShellModel model(scenario);
        win::ShellWindows shell(model.windows, scenario.version);
        DS_Desktop desktop(&shell);
        EXPECT_TRUE(desktop.AreIconsVisible()) << scenario.name;
        desktop.ToggleIcons();
        EXPECT_FALSE(desktop.AreIconsVisible()) << scenario.name;
        desktop.ToggleIcons();
        EXPECT_TRUE(desktop.AreIconsVisible()) << scenario.name;
    }
    wintest::ShellModel none({"no shell view", {10, 0}, false, false});
    win::ShellWindows shell(none.windows, {10, 0});
    DS_Desktop desktop(&shell);
    EXPECT_FALSE(desktop.AreIconsVisible());
    desktop.ToggleIcons();
    EXPECT_FALSE(desktop.AreIconsVisible());
}

} // namespace

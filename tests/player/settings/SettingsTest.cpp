#include <gtest/gtest.h>

#include <filesystem>

#include "../../platform/win/KeyFileTestSupport.h"
#include "platform/win/KeyFileStore.h"
#include "platform/win/SettingsStore.h"
#include "player/Settings.h"
#include "player/SettingsVolume.h"

namespace {

TEST(Settings, FreshUserGetsTheDefaults)
{
    win::MemorySettingsStore store;
    Settings settings(store);
    EXPECT_EQ(settings.GetSleepTimeSetting(), kPriorityNormal);
    EXPECT_EQ(FramePeriodMs(settings.GetSleepTimeSetting()), 30u);
    EXPECT_NE(settings.GetMuteSetting(), 0);
    EXPECT_EQ(settings.GetSoundVolumeSetting(), 100);
    EXPECT_EQ(settings.GetPicturePositionSetting(), kPicPosFill);
    EXPECT_EQ(settings.GetIconSmoothingSetting(), 0);
    EXPECT_TRUE(settings.GetShowDialogSetting());
}

TEST(Settings, TimerPeriodPerPriority)
{
    const struct {
        std::int32_t sleepTime;
        std::uint32_t periodMs;
    } cases[] = {{0, 10}, {1, 30}, {2, 60}, {3, 100}};
    for (const auto& c : cases) {
        win::MemorySettingsStore store;
        store.SetDword(kSettingsKeyPath, kSleepTimeValue, static_cast<std::uint32_t>(c.sleepTime));
        Settings settings(store);
        EXPECT_EQ(FramePeriodMs(settings.GetSleepTimeSetting()), c.periodMs) << c.sleepTime;
    }
}

TEST(Settings, StoredValuesOutOfRangeGiveTheDefault)
{
    const struct {
        std::string_view name;
        std::uint32_t stored;
        std::int32_t expected;
    } cases[] = {
        {kSleepTimeValue, 3, 3},           {kSleepTimeValue, 4, kPriorityNormal},
        {kSleepTimeValue, 0xFFFFFFFF, 1},  {kPicPosValue, 0, 0},
        {kPicPosValue, 3, kPicPosFill},    {kPicPosValue, 0x80000000, kPicPosFill},
        {kSoundVolumeValue, 0, 0},         {kSoundVolumeValue, 100, 100},
        {kSoundVolumeValue, 101, 100},     {kSoundVolumeValue, 0xFFFFFFFF, 100},
        {kMuteValue, 0, 0},                {kMuteValue, 7, 7}, // any non-zero mutes
    };
    for (const auto& c : cases) {
        win::MemorySettingsStore store;
        store.SetDword(kSettingsKeyPath, c.name, c.stored);
        Settings settings(store);
        const std::int32_t value = c.name == kSleepTimeValue ? settings.GetSleepTimeSetting()
                                   : c.name == kPicPosValue  ? settings.GetPicturePositionSetting()
                                   : c.name == kMuteValue    ? settings.GetMuteSetting()
                                                             : settings.GetSoundVolumeSetting();
        EXPECT_EQ(value, c.expected) << c.name << " " << c.stored;
    }
}

TEST(Settings, ReadOnceThenCachedAndWrittenAtEachChange)
{
    win::MemorySettingsStore store;
    Settings settings(store);
    EXPECT_EQ(settings.GetPicturePositionSetting(), kPicPosFill);
    const int reads = store.Reads();
    // A change from outside is not seen while the program runs.
    store.SetDword(kSettingsKeyPath, kPicPosValue, 0);
    EXPECT_EQ(settings.GetPicturePositionSetting(), kPicPosFill);
    EXPECT_EQ(store.Reads(), reads);

    EXPECT_EQ(settings.SetPicturePositionSetting(kPicPosFit), kPicPosFit);
    EXPECT_EQ(store.QueryDword(kSettingsKeyPath, kPicPosValue), 1u);
    EXPECT_TRUE(settings.SetIconSmoothingSetting(true));
    EXPECT_EQ(store.QueryDword(kSettingsKeyPath, kIconSmoothingValue), 1u);
    EXPECT_FALSE(settings.SetMuteSetting(false));
    EXPECT_EQ(store.QueryDword(kSettingsKeyPath, kMuteValue), 0u);
    EXPECT_FALSE(settings.SetShowDialogSetting(false));
    EXPECT_EQ(store.QueryDword(kSettingsKeyPath, kShowDialogValue), 0u);
}

TEST(Settings, SettersRefuseValuesOutOfRange)
{
    win::MemorySettingsStore store;
    Settings settings(store);
    EXPECT_EQ(settings.SetSleepTimeSetting(-1), kPriorityNormal); // a list with no selection
    EXPECT_EQ(settings.SetPicturePositionSetting(3), kPicPosFill);
    EXPECT_EQ(settings.SetSoundVolumeSetting(101), 100);
    EXPECT_FALSE(store.QueryDword(kSettingsKeyPath, kSleepTimeValue));
    EXPECT_FALSE(store.QueryDword(kSettingsKeyPath, kPicPosValue));
    EXPECT_FALSE(store.QueryDword(kSettingsKeyPath, kSoundVolumeValue));
}

TEST(Settings, FailedWriteChangesOnlyTheCache)
{
    win::MemorySettingsStore store;
    store.SetWritable(false);
    Settings settings(store);
    EXPECT_EQ(settings.SetSoundVolumeSetting(40), 40);
    EXPECT_EQ(settings.GetSoundVolumeSetting(), 40);
    EXPECT_FALSE(store.QueryDword(kSettingsKeyPath, kSoundVolumeValue));
}

TEST(Settings, DamagedFileKeepsDefaultsAndIsNotLost)
{
    keyfiletest::TempDir dir;
    const auto file = dir.Path() / "settings.ini";
    const std::string damaged = "[Software\\Kexvale\\Vistrelle\\]\nPicPos=0\n[unterminated group\n";
    keyfiletest::WriteFile(file, damaged);
    win::KeyFileStore store(file);
    Settings settings(store);
    EXPECT_EQ(settings.GetPicturePositionSetting(), kPicPosFill);
    EXPECT_EQ(settings.GetSoundVolumeSetting(), 100);
    EXPECT_EQ(keyfiletest::ReadFile(file), damaged);

    settings.SetSoundVolumeSetting(30);
    EXPECT_EQ(keyfiletest::ReadFile(dir.Path() / "settings.ini.damaged"), damaged);
    Settings next(store);
    EXPECT_EQ(next.GetSoundVolumeSetting(), 30);
    EXPECT_EQ(next.GetPicturePositionSetting(), kPicPosFill);
}

TEST(SettingsVolume, MapsVolumeAndMuteToBothOutputs)
{
    const struct {
        std::int32_t volume;
        bool mute;
        AudioOutputVolumes expected;
    } cases[] = {
        {100, false, {0, 0}},
        {50, false, {-2000, -2500}},
        {0, false, {-4000, -5000}},
        {33, false, {-2680, -3350}},
        {50, true, {-10000, -10000}},
        {100, true, {-10000, -10000}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapVolume(c.volume, c.mute), c.expected) << c.volume << " " << c.mute;
}

} // namespace

#include <gtest/gtest.h>

#include "KeyFileTestSupport.h"
#include "platform/win/KeyFile.h"
#include "platform/win/KeyFileStore.h"

namespace {

using keyfiletest::ReadFile;
using keyfiletest::TempDir;
using keyfiletest::WriteFile;

constexpr std::string_view kKey = "Software\\Kexvale\\Vistrelle\\";

TEST(KeyFileStore, WritesAndReadsValuesWithAwkwardNames)
{
    TempDir dir;
    const auto file = dir.Path() / "orvanta" / "settings.ini"; // folder made on the first write
    win::KeyFileStore store(file);
    EXPECT_FALSE(store.QueryDword(kKey, "PicPos"));
    ASSERT_TRUE(store.SetDword(kKey, "\"Icon smoothing\"", 1));
    ASSERT_TRUE(store.SetDword(kKey, "Show dialog", 0));
    ASSERT_TRUE(store.SetDword(kKey, "SoundVolume", 4294967295u));

    win::KeyFileStore reopened(file);
    EXPECT_EQ(reopened.QueryDword(kKey, "\"Icon smoothing\""), 1u);
    EXPECT_EQ(reopened.QueryDword(kKey, "Show dialog"), 0u);
    EXPECT_EQ(reopened.QueryDword(kKey, "SoundVolume"), 4294967295u);
    EXPECT_FALSE(reopened.QueryDword(kKey, "Icon smoothing")); // the quotes belong to the name
}

TEST(KeyFileStore, KeepsValuesWrittenByAnotherProcess)
{
    TempDir dir;
    const auto file = dir.Path() / "settings.ini";
    win::KeyFileStore first(file);
    win::KeyFileStore second(file);
    ASSERT_TRUE(first.SetDword(kKey, "PicPos", 1));
    ASSERT_TRUE(second.SetDword(kKey, "SleepTime", 2));
    EXPECT_EQ(first.QueryDword(kKey, "PicPos"), 1u);
    EXPECT_EQ(first.QueryDword(kKey, "SleepTime"), 2u);
}

TEST(KeyFileStore, UnreadableValuesCountAsMissing)
{
    TempDir dir;
    const auto file = dir.Path() / "settings.ini";
    WriteFile(file, "[Software\\Kexvale\\Vistrelle\\]\nPicPos=fill\nSleepTime=-1\nMute=12x\nSoundVolume=4294967296\n"
                    "SleepTime2=\nShow dialog=0\n");
    win::KeyFileStore store(file);
    for (const char* name : {"PicPos", "SleepTime", "Mute", "SoundVolume", "SleepTime2"})
        EXPECT_FALSE(store.QueryDword(kKey, name)) << name;
    EXPECT_EQ(store.QueryDword(kKey, "Show dialog"), 0u);
}

TEST(KeyFileStore, DamagedFileIsKeptAsBackupNotOverwritten)
{
    TempDir dir;
    const auto file = dir.Path() / "settings.ini";
    const std::string damaged = "this is [not a key file\n\x01\x02";
    WriteFile(file, damaged);
    win::KeyFileStore store(file);
    EXPECT_FALSE(store.QueryDword(kKey, "PicPos"));
    EXPECT_EQ(ReadFile(file), damaged); // reading leaves it alone

    ASSERT_TRUE(store.SetDword(kKey, "PicPos", 0));
    EXPECT_EQ(ReadFile(dir.Path() / "settings.ini.damaged"), damaged);
    EXPECT_EQ(store.QueryDword(kKey, "PicPos"), 0u);

    // A second damaged file does not replace the first backup.
    WriteFile(file, "[broken");
    ASSERT_TRUE(store.SetDword(kKey, "PicPos", 1));
    EXPECT_EQ(ReadFile(dir.Path() / "settings.ini.damaged"), damaged);
    EXPECT_EQ(ReadFile(dir.Path() / "settings.ini.damaged.1"), "[broken");
}

TEST(KeyFileStore, OversizedFileIsRefused)
{
    TempDir dir;
    const auto file = dir.Path() / "settings.ini";
    WriteFile(file, "[Software\\Kexvale\\Vistrelle\\]\nPicPos=1\n#" +
                        std::string(static_cast<std::size_t>(win::KeyFile::kMaxFileSize), 'x') + "\n");
    win::KeyFileStore store(file);
    EXPECT_FALSE(store.QueryDword(kKey, "PicPos"));
}

TEST(KeyFileStore, WriteFailsWhereNoFileCanBeMade)
{
    TempDir dir;
    WriteFile(dir.Path() / "blocker", "a file, not a folder");
    win::KeyFileStore store(dir.Path() / "blocker" / "settings.ini");
    EXPECT_FALSE(store.SetDword(kKey, "PicPos", 1));
}

TEST(KeyFileStore, DefaultFileFollowsXdgConfigHome)
{
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string restore = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", "/tmp/orvanta-config", 1);
    EXPECT_EQ(win::KeyFileStore::DefaultFile(), std::filesystem::path("/tmp/orvanta-config/orvanta/settings.ini"));
    setenv("XDG_CONFIG_HOME", "relative/path", 1); // not absolute: ignored
    setenv("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/root", 1);
    EXPECT_EQ(win::UserConfigDir(), std::filesystem::path(std::getenv("HOME")) / ".config");
    if (saved)
        setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

} // namespace

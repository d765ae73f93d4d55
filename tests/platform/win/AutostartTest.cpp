#include <gtest/gtest.h>

#include "KeyFileTestSupport.h"
#include "platform/win/Autostart.h"
#include "platform/win/Launch.h"

namespace {

using keyfiletest::ReadFile;
using keyfiletest::TempDir;

TEST(Autostart, WritesReadsAndRemovesTheEntry)
{
    TempDir dir;
    const win::AutostartEntry entry(dir.Path() / "autostart" / "orvanta.desktop");
    EXPECT_FALSE(entry.ReadCommand());
    ASSERT_TRUE(entry.Write("Animated Wallpaper", "\"/opt/a b/orvanta\" -d"));
    EXPECT_EQ(entry.ReadCommand(), "\"/opt/a b/orvanta\" -d");
    const std::string text = ReadFile(entry.File());
    EXPECT_NE(text.find("[Desktop Entry]"), std::string::npos);
    EXPECT_NE(text.find("Type=Application"), std::string::npos);
    EXPECT_NE(text.find("Name=Animated Wallpaper"), std::string::npos);
    // The key file escapes the backslash once more when it is stored.
    ASSERT_TRUE(entry.Write("Animated Wallpaper", "\"/x\\\\y\" -d"));
    EXPECT_NE(ReadFile(entry.File()).find("Exec=\"/x\\\\\\\\y\" -d"), std::string::npos);
    EXPECT_EQ(entry.ReadCommand(), "\"/x\\\\y\" -d");

    EXPECT_TRUE(entry.Remove());
    EXPECT_FALSE(std::filesystem::exists(entry.File()));
    EXPECT_TRUE(entry.Remove()); // nothing left to remove is no failure
}

TEST(Autostart, QuotesExecArguments)
{
    const struct {
        const char* argument;
        const char* quoted;
    } cases[] = {
        {"/usr/bin/orvanta", "\"/usr/bin/orvanta\""},
        {"/opt/my apps/orvanta", "\"/opt/my apps/orvanta\""},
        {"/a\"b`c$d\\e", "\"/a\\\"b\\`c\\$d\\\\e\""},
        {"/100%/orvanta", "\"/100%%/orvanta\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(win::QuoteExecArgument(c.argument), c.quoted) << c.argument;
}

TEST(Autostart, CurrentExecutablePathIsTheTestProgram)
{
    const std::string path = win::CurrentExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(std::filesystem::path(path).filename(), "test_platform_win");
}

TEST(Launch, FailureIsReportedAsFailure)
{
    win::DefaultUriLauncher launcher;
    EXPECT_FALSE(launcher.Launch(""));
    EXPECT_FALSE(launcher.Launch("orvanta-no-such-scheme-handler://nothing"));
}

} // namespace

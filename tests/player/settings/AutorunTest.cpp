#include <gtest/gtest.h>

#include "../../platform/win/KeyFileTestSupport.h"
#include "player/Autorun.h"

namespace {

struct AutorunFixture : ::testing::Test {
    keyfiletest::TempDir dir;
    std::filesystem::path file = dir.Path() / "autostart" / "orvanta.desktop";
    Autorun For(const std::string& executable) const { return Autorun(win::AutostartEntry(file), executable); }
};

TEST_F(AutorunFixture, CommandIsTheQuotedPathAndTheDelaySwitch)
{
    EXPECT_EQ(Autorun::CommandFor("/opt/apps/wall"), "\"/opt/apps/wall\" -d");
    const Autorun autorun = For("/opt/apps/wall");
    EXPECT_FALSE(autorun.IsAutorunSet());
    ASSERT_TRUE(autorun.SetAutorun());
    EXPECT_TRUE(autorun.IsAutorunSet());
    EXPECT_NE(keyfiletest::ReadFile(file).find("Exec=\"/opt/apps/wall\" -d"), std::string::npos);
    ASSERT_TRUE(autorun.RemoveAutorun());
    EXPECT_FALSE(autorun.IsAutorunSet());
}

TEST_F(AutorunFixture, DetectionComparesTheWholeCommand)
{
    const Autorun autorun = For("/opt/apps/wall");
    const char* others[] = {
        "/opt/apps/wall",                // bare path without quotes
        "/opt/apps/wall -d",             //
        "\"/opt/apps/wall\"",            // without the switch
        "\"/opt/apps/wall2\" -d",        // another program that contains the path
        "\"/x/opt/apps/wall\" -d",       //
        "\"/opt/apps/wall\" -d --other", //
    };
    for (const char* command : others) {
        ASSERT_TRUE(win::AutostartEntry(file).Write(kAutorunName, command));
        EXPECT_FALSE(autorun.IsAutorunSet()) << command;
    }
}

TEST_F(AutorunFixture, PathsOfAnyLengthAndCharacters)
{
    const std::string longPath = "/" + std::string(600, 'd') + "/my wall$paper \"100%\"/orvanta";
    const Autorun autorun = For(longPath);
    ASSERT_TRUE(autorun.SetAutorun());
    EXPECT_TRUE(autorun.IsAutorunSet());
    EXPECT_FALSE(For(longPath.substr(0, 300)).IsAutorunSet());
}

TEST_F(AutorunFixture, UnknownExecutableSetsNothing)
{
    const Autorun autorun = For("");
    EXPECT_FALSE(autorun.SetAutorun());
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(autorun.IsAutorunSet());
}

} // namespace

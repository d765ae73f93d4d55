#include "platform/win/ResourceModule.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "platform/win/ProgramResources.h"

namespace win {
namespace {

namespace fs = std::filesystem;

class ResourceModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("orvanta-modules-" + std::to_string(::getpid()));
        fs::create_directories(root_ / "first");
        fs::create_directories(root_ / "second");
        SetResourceModuleSearchDirsForTesting({root_ / "first", root_ / "second"});
    }
    void TearDown() override {
        SetResourceModuleSearchDirsForTesting({});
        fs::remove_all(root_);
    }

    static void Write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<std::uint8_t> Pack(std::uint16_t id, std::string_view text) {
        ResourcePackWriter writer;
        writer.Add("DDS", id, {text.begin(), text.end()});
        return writer.Build();
    }
    static std::string Text(ResourceBytes bytes) { return {bytes.begin(), bytes.end()}; }

    fs::path root_;
};

TEST_F(ResourceModuleTest, FoundInTheFirstFolderThatHasIt) {
    Write(root_ / "second" / "shared.dll", Pack(5, "second"));
    const ResourceModule* module = LoadResourceModule("shared.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(Text(*module->Find("DDS", 5)), "second");

    Write(root_ / "first" / "early.dll", Pack(5, "first"));
    Write(root_ / "second" / "early.dll", Pack(5, "second"));
    ASSERT_NE(LoadResourceModule("early.dll"), nullptr);
    EXPECT_EQ(Text(*LoadResourceModule("early.dll")->Find("DDS", 5)), "first");
}

TEST_F(ResourceModuleTest, CachedByFileName) {
    Write(root_ / "second" / "cached.dll", Pack(5, "one"));
    const ResourceModule* module = LoadResourceModule("cached.dll");
    ASSERT_NE(module, nullptr);
    // Windows paths and other folders with the same file name share it.
    EXPECT_EQ(LoadResourceModule("C:\\Program Files\\x\\cached.dll"), module);
    EXPECT_EQ(LoadResourceModule("/nowhere/cached.dll"), module);
    // Replacing the file does not reload it.
    Write(root_ / "second" / "cached.dll", Pack(5, "two"));
    EXPECT_EQ(Text(*LoadResourceModule("cached.dll")->Find("DDS", 5)), "one");
}

TEST_F(ResourceModuleTest, FolderOfTheLinkIsNeverRead) {
    // A pack elsewhere on the machine, named by its absolute path, a relative
    // path, a parent folder or a Windows path: only the search folders count.
    fs::create_directories(root_ / "elsewhere");
    Write(root_ / "elsewhere" / "given.dll", Pack(7, "elsewhere"));
    Write(root_ / "given.dll", Pack(7, "parent"));
    const std::string absolute = (root_ / "elsewhere" / "given.dll").string();
    const std::string links[] = {absolute, "../given.dll", (root_ / "first" / ".." / "given.dll").string(),
                                 "elsewhere\\given.dll"};
    for (const std::string& link : links) {
        EXPECT_FALSE(FindResourceModuleFile(link)) << link;
        EXPECT_EQ(LoadResourceModule(link), nullptr) << link;
    }
    EXPECT_FALSE(FindResourceModuleFile((root_ / "first" / "..").string()));

    // The module of that name beside the program is the one used.
    Write(root_ / "second" / "given.dll", Pack(7, "beside"));
    const ResourceModule* module = LoadResourceModule(absolute);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(Text(*module->Find("DDS", 7)), "beside");
}

TEST_F(ResourceModuleTest, MissingModuleFailsAndIsRetried) {
    EXPECT_EQ(LoadResourceModule("late.dll"), nullptr);
    EXPECT_EQ(LoadResourceModule(""), nullptr);
    EXPECT_EQ(LoadResourceModule("folder/"), nullptr);
    Write(root_ / "first" / "late.dll", Pack(1, "late"));
    EXPECT_NE(LoadResourceModule("late.dll"), nullptr);
}

TEST_F(ResourceModuleTest, MissingModuleNeverAnswersWithProgramResources) {
    static const std::uint8_t kProgramBytes[] = {'p', 'r', 'o', 'g'};
    static const ProgramResourceRegistration registration("DDS", 4242, kProgramBytes, sizeof kProgramBytes);
    ASSERT_TRUE(FindProgramResource("DDS", 4242));
    EXPECT_EQ(Text(*FindProgramResource("dds", 4242)), "prog");
    EXPECT_EQ(LoadResourceModule("absent.dll"), nullptr);
    EXPECT_FALSE(FindProgramResource(RT_RCDATA, 4242));
}

TEST_F(ResourceModuleTest, DamagedModuleIsRefusedWithItsReason) {
    auto bytes = Pack(5, "payload");
    bytes.resize(bytes.size() - 3);
    Write(root_ / "first" / "damaged.dll", bytes);
    EXPECT_EQ(LoadResourceModule("damaged.dll"), nullptr);
    std::string error;
    EXPECT_FALSE(ResourceModule::Open(root_ / "first" / "damaged.dll", error));
    EXPECT_NE(error.find("outside the pack"), std::string::npos) << error;

    // A program (or anything else) under a module name is data we refuse, never code we run.
    Write(root_ / "first" / "program.dll", {'\x7f', 'E', 'L', 'F', 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(LoadResourceModule("program.dll"), nullptr);
}

TEST(ModuleFileNameTest, TakesTheTextAfterTheLastSeparator) {
    EXPECT_EQ(ModuleFileName("common_res.dll"), "common_res.dll");
    EXPECT_EQ(ModuleFileName("C:\\a\\b\\common_res.dll"), "common_res.dll");
    EXPECT_EQ(ModuleFileName("/a/b\\c/x.dll"), "x.dll");
    EXPECT_EQ(ModuleFileName("dir/"), "");
}

}  // namespace
}  // namespace win

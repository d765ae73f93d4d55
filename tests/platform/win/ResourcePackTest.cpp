#include "platform/win/ResourcePack.h"

#include <gtest/gtest.h>

#include <cstring>

namespace win {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::string Text(ResourceBytes bytes) { return {bytes.begin(), bytes.end()}; }

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::uint8_t> SamplePack() {
    ResourcePackWriter writer;
    EXPECT_TRUE(writer.Add("DDS", 5, Bytes("picture five")));
    EXPECT_TRUE(writer.Add(RT_RCDATA, 202, Bytes("effect")));
    EXPECT_TRUE(writer.Add("dds", 6, {}));
    return writer.Build();
}

TEST(ResourceTypeTest, ParsesNumbersSymbolsAndNames) {
    struct Case {
        const char* text;
        std::optional<ResourceType> expected;
    };
    const Case cases[] = {
        {"10", ResourceType(RT_RCDATA)},       {"RCDATA", ResourceType(RT_RCDATA)},
        {"rt_rcdata", ResourceType(RT_RCDATA)}, {"GROUP_ICON", ResourceType(RT_GROUP_ICON)},
        {"DDS", ResourceType("DDS")},           {"dds", ResourceType("DDS")},
        {"", std::nullopt},                     {"0", std::nullopt},
        {"65536", std::nullopt},                {"two words", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ResourceType::Parse(c.text), c.expected) << c.text;
    EXPECT_EQ(ResourceType(RT_RCDATA).ToString(), "RCDATA");
    EXPECT_EQ(ResourceType(300).ToString(), "300");
    EXPECT_EQ(ResourceType("Dds").ToString(), "DDS");
}

TEST(ResourcePackTest, WrittenPackReadsBack) {
    std::string error;
    auto pack = ResourcePack::Parse(SamplePack(), error);
    ASSERT_TRUE(pack) << error;
    EXPECT_EQ(pack->Count(), 3u);
    EXPECT_EQ(Text(*pack->Find("DDS", 5)), "picture five");
    EXPECT_EQ(Text(*pack->Find(RT_RCDATA, 202)), "effect");
    ASSERT_TRUE(pack->Find("Dds", 6));  // type names compare case-insensitively
    EXPECT_TRUE(pack->Find("DDS", 6)->empty());
    EXPECT_FALSE(pack->Find("DDS", 202));  // same id, other type
    EXPECT_FALSE(pack->Find(RT_RCDATA, 5));
}

TEST(ResourcePackTest, WriterRefusesDuplicatesAndIdZero) {
    ResourcePackWriter writer;
    EXPECT_TRUE(writer.Add("DDS", 1, Bytes("a")));
    EXPECT_FALSE(writer.Add("dds", 1, Bytes("b")));
    EXPECT_FALSE(writer.Add("DDS", 0, Bytes("c")));
}

TEST(ResourcePackTest, EveryTruncationIsRefused) {
    // The last resource's bytes end the file, so every cut loses something.
    const auto whole = SamplePack();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        std::string error;
        EXPECT_FALSE(ResourcePack::Parse({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)}, error))
            << "cut at " << size;
        EXPECT_FALSE(error.empty());
    }
}

TEST(ResourcePackTest, MaliciousTablesAreRefused) {
    // Entry 0 starts at byte 16: type, name offset, name length, id, offset, size.
    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"huge count", 8, 0xFFFFFFFFu},
        {"count one too many", 8, 4},
        {"offset past the end", 16 + 16, 0xFFFFFFF0u},
        {"size past the end", 16 + 20, 0xFFFFFFFFu},
        {"offset inside the table", 16 + 16, 0},
        {"name past the end", 16 + 4, 0x7FFFFFFFu},
        {"name too long", 16 + 8, 100000},
        {"id zero", 16 + 12, 0},
        {"id beyond 16 bits", 16 + 12, 70000},
    };
    for (const Case& c : cases) {
        auto bytes = SamplePack();
        // Entries are sorted by (type, id): entry 0 is the named "DDS" 5.
        PutU32(bytes, c.at, c.value);
        std::string error;
        EXPECT_FALSE(ResourcePack::Parse(bytes, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(ResourcePackTest, DuplicateEntriesAndForeignFilesAreRefused) {
    auto bytes = SamplePack();
    // Make entry 1 a copy of entry 0.
    std::memcpy(bytes.data() + 16 + 24, bytes.data() + 16, 24);
    std::string error;
    EXPECT_FALSE(ResourcePack::Parse(bytes, error));
    EXPECT_NE(error.find("twice"), std::string::npos) << error;

    EXPECT_FALSE(ResourcePack::Parse(Bytes("MZ\x90\x00 a Windows program"), error));
    EXPECT_EQ(error, "not a resource pack");
}

}  // namespace
}  // namespace win

// Counted vectors, GUIDs, and module blobs filled from resource modules.

#include <gtest/gtest.h>

#include <list>
#include <map>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/IntParamVector.h"
#include "objectmodel/ResourceBlob.h"
#include "objectmodel/ResourceSource.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------- vectors

TEST(ArchiveVector, IntVectorAppendsInStoredOrder)
{
    const std::vector<std::int32_t> stored = {5, -1, 1 << 30};
    MemoryArchive archive(DocumentWriter().IntVector(stored).Bytes());
    std::vector<std::int32_t> values = {42};
    ReadIntVector(archive.Reader(), &values);
    EXPECT_EQ(values, (std::vector<std::int32_t>{42, 5, -1, 1 << 30}));
    EXPECT_EQ(archive.Remaining(), 0u);
}

TEST(ArchiveVector, IntParamVectorMakesOneParameterPerValue)
{
    MemoryArchive archive(DocumentWriter().IntVector(std::vector<std::int32_t>{-4, 9}).Bytes());
    std::vector<MediaParamT<std::int32_t>> params(1);
    ReadIntParamVector(archive.Reader(), params);
    ASSERT_EQ(params.size(), 3u);
    EXPECT_EQ(params[1].value, -4);
    EXPECT_EQ(params[2].value, 9);
    EXPECT_EQ(archive.Remaining(), 0u);
}

TEST(ArchiveVector, CountZeroReadsNothingAfterTheCount)
{
    MemoryArchive archive(DocumentWriter().Int(0).Int(77).Bytes());
    std::vector<std::int32_t> values = {1, 2};
    ReadIntVector(archive.Reader(), &values);
    EXPECT_EQ(values, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(archive.Consumed(), 4u);
}

TEST(ArchiveVector, BufferReadsInt32VectorDirectly)
{
    MemoryArchive archive(DocumentWriter().IntVector(std::vector<std::int32_t>{3, 4}).Bytes());
    std::vector<std::int32_t> values;
    archive.Buffer().ReadInt32Vector(&values);
    EXPECT_EQ(values, (std::vector<std::int32_t>{3, 4}));

    MemoryArchive damaged(DocumentWriter().Int(1000).Int(1).Bytes());
    EXPECT_THROW(damaged.Buffer().ReadInt32Vector(&values), DS_Error);
}

TEST(ArchiveVector, ModuleBlobListReadsEachRecord)
{
    ModuleResourceBlob first(12, u"common_res.dll");
    ModuleResourceBlob second(u"picture.png");
    second.SetBytes({1, 2, 3});
    DocumentWriter writer;
    writer.Count(2).ModuleBlob(first).ModuleBlob(second);
    MemoryArchive archive(writer.Bytes());
    std::list<ModuleResourceBlob> blobs;
    ReadModuleBlobList(archive.Reader(), &blobs);
    EXPECT_EQ(blobs, (std::list<ModuleResourceBlob>{first, second}));
}

TEST(ArchiveVector, CountIsCheckedAgainstTheSmallestElement)
{
    // Two module blobs take at least 32 bytes; 31 are left.
    MemoryArchive archive(DocumentWriter().Int(2).Raw(Bytes(31, 0)).Bytes());
    std::list<ModuleResourceBlob> blobs;
    EXPECT_THROW(ReadModuleBlobList(archive.Reader(), &blobs), DS_Error);
    EXPECT_TRUE(blobs.empty());
}

// ---------------------------------------------------------------- GUIDs

TEST(ArchiveGuid, ReadsTheRegistryForm)
{
    const std::uint8_t bytes[16] = {0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD,
                                    0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    const crt::Guid expected = crt::GuidFromBytes(bytes);
    const struct {
        const char16_t* text;
        crt::Guid guid;
    } cases[] = {
        {u"{01234567-89AB-CDEF-0123-456789ABCDEF}", expected},
        {u"{01234567-89ab-cdef-0123-456789abcdef}", expected},
        {u"01234567-89AB-CDEF-0123-456789ABCDEF", crt::Guid{}},
        {u"{01234567-89AB-CDEF-0123-456789ABCDEG}", crt::Guid{}},
        {u"", crt::Guid{}},
    };
    for (const auto& c : cases) {
        MemoryArchive archive(DocumentWriter().GuidText(c.text).Bytes());
        crt::Guid read = crt::CreateGuid();
        ReadGuid(archive.Reader(), &read);
        EXPECT_EQ(read, c.guid) << crt::ToUtf8(c.text);
    }
    MemoryArchive written(DocumentWriter().Guid(expected).Bytes());
    EXPECT_EQ(written.Consumed() + written.Remaining(), 4u + 2u * 38u);
}

// ---------------------------------------------------------------- module blobs

// A fake resource layer: modules by file name, each a map (type, id) -> bytes.
struct FakeResources {
    static inline std::map<kxi_string, std::map<std::pair<kxi_string, std::uint16_t>, Bytes>> modules;
    static inline std::map<std::uint16_t, Bytes> program;
    static inline std::vector<kxi_string> askedModules;

    static kxi_string TypeKey(const ResourceType& type)
    {
        return type.name.empty() ? u"#" + crt::FromUtf8(std::to_string(type.number)) : kxi_string(type.name);
    }

    static std::optional<std::vector<std::uint8_t>> FindInModule(std::u16string_view file, const ResourceType& type,
                                                                 std::uint16_t id)
    {
        askedModules.emplace_back(file);
        const auto module = modules.find(kxi_string(file));
        if (module == modules.end())
            return std::nullopt;
        const auto resource = module->second.find({TypeKey(type), id});
        if (resource == module->second.end())
            return std::nullopt;
        return resource->second;
    }

    static std::optional<std::span<const std::uint8_t>> FindInProgram(const ResourceType&, std::uint16_t id)
    {
        const auto resource = program.find(id);
        if (resource == program.end())
            return std::nullopt;
        return std::span<const std::uint8_t>(resource->second);
    }
};

class ModuleBlobTest : public testing::Test {
protected:
    void SetUp() override
    {
        FakeResources::modules = {{u"common_res.dll",
                                   {{{u"DDS", 7}, Bytes{1, 1}},
                                    {{u"#10", 8}, Bytes{2, 2, 2}},
                                    {{u"DDS", 9}, Bytes{3}},
                                    {{u"#10", 9}, Bytes{4}}}}};
        FakeResources::program = {{7, Bytes{9, 9, 9}}};
        FakeResources::askedModules.clear();
        InstallModuleResourceFinder(&FakeResources::FindInModule);
        InstallProgramResourceFinder(&FakeResources::FindInProgram);
    }
    void TearDown() override
    {
        InstallModuleResourceFinder(nullptr);
        InstallProgramResourceFinder(nullptr);
    }
};

TEST_F(ModuleBlobTest, LoadsTheDdsResourceThenRcData)
{
    const struct {
        std::int32_t id;
        Bytes expected;
    } cases[] = {{7, {1, 1}}, {8, {2, 2, 2}}, {9, {3}}};
    for (const auto& c : cases) {
        ModuleResourceBlob blob(c.id, u"common_res.dll");
        blob.SetBytes({0xEE});
        EXPECT_TRUE(blob.LoadFromModule()) << c.id;
        EXPECT_EQ(Bytes(blob.Bytes().begin(), blob.Bytes().end()), c.expected) << c.id;
    }
}

TEST_F(ModuleBlobTest, MissingModuleOrResourceFailsWithoutTheProgramsOwnResources)
{
    const struct {
        const char16_t* module;
        std::int32_t id;
    } cases[] = {
        {u"missing.dll", 7},    // the program has a resource 7: it must not stand in
        {u"common_res.dll", 6}, // no such id in the module
        {u"", 7},               // no module named at all
    };
    for (const auto& c : cases) {
        ModuleResourceBlob blob(c.id, c.module);
        blob.SetBytes({0xEE});
        EXPECT_FALSE(blob.LoadFromModule()) << crt::ToUtf8(c.module);
        EXPECT_EQ(Bytes(blob.Bytes().begin(), blob.Bytes().end()), Bytes{0xEE});
    }
    // An empty module name is never looked up: it would name the program itself.
    for (const kxi_string& asked : FakeResources::askedModules)
        EXPECT_FALSE(asked.empty());
}

TEST_F(ModuleBlobTest, NoInstalledResourceLayerMeansNoResources)
{
    InstallModuleResourceFinder(nullptr);
    ModuleResourceBlob blob(7, u"common_res.dll");
    EXPECT_FALSE(blob.LoadFromModule());
    InstallProgramResourceFinder(nullptr);
    EXPECT_FALSE(FindProgramResource(kResourceTypeDDS, 7));
}

} // namespace

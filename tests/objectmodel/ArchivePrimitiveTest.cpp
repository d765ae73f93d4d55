// The archive's primitive encodings: what each read yields and how many
// bytes it consumes, from memory and from a file, and how a document that
// lies about its sizes is refused.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/ResourceBlob.h"
#include "tests/objectmodel/ArchiveAllocationProbe.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

kxi_string Repeat(char16_t unit, std::size_t count)
{
    return kxi_string(count, unit);
}

// ---------------------------------------------------------------- wide strings

struct WideStringCase {
    const char* name;
    Bytes bytes;
    kxi_string expected;
    std::uint64_t consumed;
};

std::vector<WideStringCase> WideStringCases()
{
    const kxi_string header = u"VIZ v 4.0.0";
    const kxi_string long300 = Repeat(u'a', 300);
    const kxi_string withNul = kxi_string(u"ab") + u'\0' + u"cd";
    return {
        {"header in L8 form", DocumentWriter().WideString(header).Bytes(), header, 26},
        {"short string in L16 form", DocumentWriter().WideString(u"abc", LengthForm::L16).Bytes(), u"abc", 6 + 6},
        {"short string in L32 form", DocumentWriter().WideString(u"abc", LengthForm::L32).Bytes(), u"abc", 10 + 6},
        {"300 units need L16", DocumentWriter().WideString(long300).Bytes(), long300, 6 + 600},
        {"254 units still fit L8", DocumentWriter().WideString(Repeat(u'z', 254)).Bytes(), Repeat(u'z', 254),
         4 + 508},
        {"255 units need L16", DocumentWriter().WideString(Repeat(u'y', 255)).Bytes(), Repeat(u'y', 255), 6 + 510},
        {"65535 units need L32", DocumentWriter().WideString(Repeat(u'x', 65535)).Bytes(), Repeat(u'x', 65535),
         10 + 131070},
        {"embedded NUL cuts the value, all units consumed", DocumentWriter().WideString(withNul).Bytes(), u"ab",
         4 + 10},
        {"markers are never examined",
         DocumentWriter().WideString(u"ok", LengthForm::L8, {0x00, 0x12, 0x34}).Bytes(), u"ok", 4 + 4},
        {"non-ASCII units are kept", DocumentWriter().WideString(u"\u00e9\u4e2d\U0001F600").Bytes(),
         u"\u00e9\u4e2d\U0001F600", 4 + 8},
        {"empty string from memory clears", DocumentWriter().WideString(u"").Bytes(), u"", 4},
        {"empty string in L32 form", DocumentWriter().WideString(u"", LengthForm::L32).Bytes(), u"", 10},
    };
}

TEST(ArchiveWideString, ReadsEveryLengthFormFromMemoryAndFile)
{
    for (const WideStringCase& c : WideStringCases()) {
        SCOPED_TRACE(c.name);
        MemoryArchive memory(c.bytes);
        kxi_string fromMemory = u"previous";
        memory.Reader()->ReadWideString(&fromMemory);
        EXPECT_EQ(fromMemory, c.expected);
        EXPECT_EQ(memory.Consumed(), c.consumed);

        TempFile file(c.bytes);
        FileArchive stream(file.Path());
        ASSERT_TRUE(stream.IsOpen());
        kxi_string fromFile = u"previous";
        stream.Reader()->ReadWideString(&fromFile);
        // The one difference between the two paths: an empty string read from
        // a file leaves the destination as it was.
        EXPECT_EQ(fromFile, c.expected.empty() ? kxi_string(u"previous") : c.expected);
        EXPECT_EQ(stream.Remaining(), c.bytes.size() - c.consumed);
    }
}

TEST(ArchiveWideString, FixedBytesOfTheDocumentHeader)
{
    Bytes expected = {0xFF, 0xFE, 0xFF, 0x0B};
    for (char c : std::string("VIZ v 4.0.0")) {
        expected.push_back(static_cast<std::uint8_t>(c));
        expected.push_back(0);
    }
    EXPECT_EQ(DocumentWriter().Header().Bytes(), expected);
    const Bytes l16 = DocumentWriter().WideString(Repeat(u'a', 300)).Bytes();
    EXPECT_EQ(Bytes(l16.begin(), l16.begin() + 6), (Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}));
}

// ---------------------------------------------------------------- scalars

struct ScalarCase {
    const char* name;
    Bytes bytes;
    std::function<std::string(ArchiveReader)> read; // the value read, printed
    std::string expected;
    std::uint64_t consumed;
};

TEST(ArchiveScalars, ReadLittleEndianValuesOfTheirWidth)
{
    const std::vector<ScalarCase> cases = {
        {"int", DocumentWriter().Int(-2).Bytes(), [](ArchiveReader ar) { return std::to_string(ar.ReadInt()); },
         "-2", 4},
        {"long", DocumentWriter().Long(123456).Bytes(),
         [](ArchiveReader ar) { return std::to_string(ar.ReadLong()); }, "123456", 4},
        {"dword", Bytes{0x78, 0x56, 0x34, 0x12}, [](ArchiveReader ar) { return std::to_string(ar.ReadDword()); },
         std::to_string(0x12345678u), 4},
        {"word", Bytes{0x34, 0x12}, [](ArchiveReader ar) { return std::to_string(ar.ReadWord()); },
         std::to_string(0x1234), 2},
        {"byte", Bytes{0xAB}, [](ArchiveReader ar) { return std::to_string(ar.ReadByte()); }, "171", 1},
        {"bool any non-zero byte", Bytes{0x02}, [](ArchiveReader ar) { return std::to_string(ar.ReadBool()); }, "1",
         1},
        {"bool zero", Bytes{0x00}, [](ArchiveReader ar) { return std::to_string(ar.ReadBool()); }, "0", 1},
        {"float", Bytes{0x00, 0x00, 0xC0, 0x3F}, [](ArchiveReader ar) { return std::to_string(ar.ReadFloat()); },
         std::to_string(1.5f), 4},
        {"int64", DocumentWriter().Int64(-0x123456789LL).Bytes(),
         [](ArchiveReader ar) { return std::to_string(ar.ReadInt64()); }, std::to_string(-0x123456789LL), 8},
        {"qword", Bytes{1, 0, 0, 0, 0, 0, 0, 0x80},
         [](ArchiveReader ar) { return std::to_string(ar.ReadQword()); }, std::to_string(0x8000000000000001ull),
         8},
        {"int pair first then second", DocumentWriter().Int(7).Int(-9).Bytes(),
         [](ArchiveReader ar) {
             const IntPair pair = ar.ReadIntPair();
             return std::to_string(pair.first) + "," + std::to_string(pair.second);
         },
         "7,-9", 8},
        {"section header", DocumentWriter().Section(u"KXI_Timing", 3).Bytes(),
         [](ArchiveReader ar) {
             const SectionHeader header = ar.ReadSectionHeader();
             return crt::ToUtf8(header.className) + "/" + std::to_string(header.version);
         },
         "KXI_Timing/3", 4 + 20 + 4},
    };
    for (const ScalarCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryArchive archive(c.bytes);
        EXPECT_EQ(c.read(archive.Reader()), c.expected);
        EXPECT_EQ(archive.Consumed(), c.consumed);
    }
}

TEST(ArchiveScalars, WithNoSourceReadsLeaveTheirDestination)
{
    ResourceBuffer buffer;
    DS_IOF_R<ResourceBuffer> archive(buffer);
    std::int32_t value = 77;
    kxi_string text = u"kept";
    ResourceBlob blob(u"name");
    blob.SetBytes({1, 2});
    archive.ReadInt(&value);
    archive.ReadWideString(&text);
    archive.ReadBlob(&blob);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(text, u"kept");
    EXPECT_EQ(blob.Size(), 2);
    EXPECT_EQ(archive.BytesRemaining(), 0u);
}

// ---------------------------------------------------------------- narrow strings

TEST(ArchiveNarrowString, MemoryPathConsumesNothingAndFilePathReadsEveryForm)
{
    const Bytes bytes = DocumentWriter().NarrowString("abc").Bytes();
    MemoryArchive memory(bytes);
    std::string fromMemory = "previous";
    memory.Reader()->ReadNarrowString(&fromMemory);
    EXPECT_EQ(fromMemory, "");
    EXPECT_EQ(memory.Consumed(), 0u);

    const struct {
        LengthForm form;
        std::uint64_t header;
    } forms[] = {{LengthForm::L8, 1}, {LengthForm::L16, 3}, {LengthForm::L32, 7}};
    for (const auto& form : forms) {
        const std::string text = std::string("ab") + '\0' + "c";
        TempFile file(DocumentWriter().NarrowString(text, form.form).Bytes());
        FileArchive stream(file.Path());
        std::string fromFile;
        stream.Reader()->ReadNarrowString(&fromFile);
        EXPECT_EQ(fromFile, "ab");
        EXPECT_EQ(stream.Remaining(), 0u) << form.header;
    }
}

// ---------------------------------------------------------------- blobs

TEST(ArchiveBlob, ReadsSizeBytesAndName)
{
    ResourceBlob written(u"C:\\music\\track.wav");
    written.SetBytes({1, 2, 3, 4, 5});
    const Bytes bytes = DocumentWriter().Blob(written).Int(99).Bytes();
    MemoryArchive archive(bytes);
    ResourceBlob read;
    archive.Reader()->ReadBlob(&read);
    EXPECT_EQ(read, written);
    EXPECT_EQ(archive.Consumed(), 4u + 5u + 4u + 2u * written.Name().size());
    EXPECT_EQ(archive.Reader().ReadInt(), 99);
}

TEST(ArchiveBlob, SizeZeroReadsNoBytesThenItsName)
{
    const Bytes bytes = DocumentWriter().Int(0).WideString(u"empty").Bytes();
    MemoryArchive archive(bytes);
    ResourceBlob read;
    archive.Reader()->ReadBlob(&read);
    EXPECT_TRUE(read.IsEmpty());
    EXPECT_EQ(read.Data(), nullptr);
    EXPECT_EQ(read.Name(), u"empty");
    EXPECT_EQ(archive.Remaining(), 0u);
}

TEST(ArchiveBlob, ModuleBlobReadsIdModuleFileAndBlob)
{
    ModuleResourceBlob written(205, u"common_res.dll");
    written.SetName(u"glow.png");
    written.SetBytes({9, 8, 7});
    const Bytes bytes = DocumentWriter().ModuleBlob(written).Bytes();
    MemoryArchive archive(bytes);
    ModuleResourceBlob read;
    archive.Reader()->ReadModuleBlob(&read);
    EXPECT_EQ(read.ResourceId(), 205);
    EXPECT_EQ(read.ModuleFile(), u"common_res.dll");
    EXPECT_EQ(read, written);
    EXPECT_EQ(archive.Remaining(), 0u);
}

TEST(ArchiveBlob, CopiesAreDeep)
{
    ResourceBlob original(u"a");
    original.SetBytes({1, 2, 3});
    ResourceBlob copy = original;
    original.SetBytes({4});
    EXPECT_EQ(copy.Size(), 3);
    EXPECT_EQ(copy.Bytes()[0], 1);
}

// ---------------------------------------------------------------- refusals

struct DamagedCase {
    const char* name;
    Bytes bytes;
    std::function<void(ArchiveReader)> read;
};

std::vector<DamagedCase> DamagedCases()
{
    const auto readString = [](ArchiveReader ar) { ar.ReadWideString(); };
    const auto readBlob = [](ArchiveReader ar) {
        ResourceBlob blob;
        ar->ReadBlob(&blob);
    };
    const auto readModuleBlob = [](ArchiveReader ar) {
        ModuleResourceBlob blob;
        ar->ReadModuleBlob(&blob);
    };
    const auto readInts = [](ArchiveReader ar) {
        std::vector<std::int32_t> values;
        ReadIntVector(ar, &values);
    };
    Bytes cutString = DocumentWriter().WideString(u"abcdef").Bytes();
    cutString.pop_back();
    Bytes cutBlobName = DocumentWriter().Int(2).Byte(1).Byte(2).WideString(u"name").Bytes();
    cutBlobName.pop_back();
    return {
        {"int with 3 bytes", Bytes{1, 2, 3}, [](ArchiveReader ar) { ar.ReadInt(); }},
        {"int64 with 7 bytes", Bytes(7, 0), [](ArchiveReader ar) { ar.ReadInt64(); }},
        {"int pair missing its second", DocumentWriter().Int(1).Bytes(), [](ArchiveReader ar) { ar.ReadIntPair(); }},
        {"string without its length", Bytes{0xFF, 0xFE, 0xFF}, readString},
        {"string missing its L16", Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0x01}, readString},
        {"string missing its last byte", cutString, readString},
        {"string of 4 G units", DocumentWriter().WideStringLength(0xFFFFFFFFu).Word(0x41).Bytes(), readString},
        {"L16 string longer than the rest", DocumentWriter().WideStringLength(1000).Bytes(), readString},
        {"blob larger than the rest", DocumentWriter().Int(100).Raw(Bytes(10, 0)).Bytes(), readBlob},
        {"blob of negative size", DocumentWriter().Int(-1).WideString(u"").Bytes(), readBlob},
        {"blob of 2 G bytes", DocumentWriter().Int(0x7FFFFFFF).Bytes(), readBlob},
        {"blob whose name is cut", cutBlobName, readBlob},
        {"module blob without its blob", DocumentWriter().Int(1).WideString(u"m.dll").Bytes(), readModuleBlob},
        {"vector with negative count", DocumentWriter().Int(-1).Bytes(), readInts},
        {"vector count beyond the rest", DocumentWriter().Int(3).Int(1).Int(2).Bytes(), readInts},
        {"vector of 2 G elements", DocumentWriter().Int(0x7FFFFFFF).Bytes(), readInts},
        {"raw bytes beyond the rest", Bytes(4, 0),
         [](ArchiveReader ar) {
             std::uint8_t out[8];
             ar->ReadBytes(sizeof out, out);
         }},
    };
}

TEST(ArchiveRefusal, SizesThatCannotFitRefuseTheDocumentBeforeAllocating)
{
    // No stored size may make the reader ask for more than a little memory.
    constexpr std::size_t kLargestAllowed = 64 * 1024;
    for (const DamagedCase& c : DamagedCases()) {
        SCOPED_TRACE(c.name);
        MemoryArchive memory(c.bytes);
        TempFile file(c.bytes);
        FileArchive stream(file.Path());
        ArchiveAllocationProbe probe;
        try {
            c.read(memory.Reader());
            ADD_FAILURE() << "read did not refuse";
        } catch (const DS_Error& error) {
            EXPECT_EQ(error.Message().rfind(u"Cannot open file: the document is damaged", 0), 0u)
                << error.what();
        }
        EXPECT_THROW(c.read(stream.Reader()), DS_Error);
        if (ArchiveAllocationProbe::Available()) {
            EXPECT_LT(probe.Largest(), kLargestAllowed);
        }
    }
}

TEST(ArchiveRefusal, DsErrorCarriesTheMessageInBothForms)
{
    MemoryArchive archive(Bytes{1});
    try {
        archive.Reader().ReadInt();
        FAIL();
    } catch (const std::exception& error) {
        const auto& dsError = dynamic_cast<const DS_Error&>(error);
        EXPECT_EQ(crt::ToUtf8(dsError.Message()), error.what());
        EXPECT_NE(std::string(error.what()).find("1 left"), std::string::npos) << error.what();
    }
}

} // namespace

// Stored forms of plain and compound parameters: bytes made with the
// document writer are read back with the right way of setting, damaged
// counts and truncated records refuse the document, and the writers mirror
// the readers byte for byte.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "objectmodel/DocumentError.h"
#include "objectmodel/ParamRecords.h"
#include "objectmodel/SmartColor.h"
#include "objectmodel/SmartVector.h"
#include "objectmodel/StoredParams.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"

namespace {

class CountingControl : public MediaControl {
public:
    void OnParamChanged(MediaControl*) override { ++calls; }
    int calls = 0;
};

// Counts the notifications of several parameters while it lives.
class Watch {
public:
    void On(MediaParam& param)
    {
        param.AddControl(&m_control);
        m_params.push_back(&param);
    }
    ~Watch()
    {
        for (MediaParam* param : m_params)
            param->RemoveControl(&m_control);
    }
    int Calls() const { return m_control.calls; }

private:
    CountingControl m_control;
    std::vector<MediaParam*> m_params;
};

// An archive whose writes go to a DocumentWriter, to compare what the
// parameter writers produce with the bytes the readers take. It reads
// nothing.
class WritingArchive final : public DS_IOF_Virtual {
public:
    void WriteWideString(const kxi_string& text) override { bytes.WideString(text); }
    void WriteInt64(std::int64_t value) override { bytes.Int64(value); }
    void WriteFloat(float value) override { bytes.Float(value); }
    void WriteIntPair(const IntPair& pair) override { bytes.IntPair(pair); }
    void WriteVersion(std::int32_t value) override { bytes.Int(value); }
    void WriteWord(std::uint16_t value) override { bytes.Word(value); }
    void WriteDword(std::uint32_t value) override { bytes.Dword(value); }
    void WriteByte(std::uint8_t value) override { bytes.Byte(value); }
    void WriteBool(bool value) override { bytes.Bool(value); }
    void WriteLong(std::int32_t value) override { bytes.Long(value); }

    void ReadModuleBlob(ModuleResourceBlob*) override { Unexpected(); }
    void ReadBlob(ResourceBlob*) override { Unexpected(); }
    void ReadNarrowString(std::string*) override { Unexpected(); }
    void ReadWideString(kxi_string*) override { Unexpected(); }
    void ReadQword(std::uint64_t*) override { Unexpected(); }
    void ReadInt64(std::int64_t*) override { Unexpected(); }
    void ReadFloat(float*) override { Unexpected(); }
    void ReadIntPair(IntPair*) override { Unexpected(); }
    void ReadInt(std::int32_t*) override { Unexpected(); }
    void ReadWord(std::uint16_t*) override { Unexpected(); }
    void ReadDword(std::uint32_t*) override { Unexpected(); }
    void ReadByte(std::uint8_t*) override { Unexpected(); }
    void ReadBool(bool*) override { Unexpected(); }
    void ReadLong(std::int32_t*) override { Unexpected(); }
    void ReadBytes(std::size_t, void*) override { Unexpected(); }
    std::uint64_t BytesRemaining() const override { return 0; }

    ArchiveWriter Writer() { return ArchiveWriter(*this); }
    DocumentWriter bytes;

private:
    static void Unexpected() { ADD_FAILURE() << "the writing archive was read"; }
};

TEST(CompoundStoredForm, PlainValuesReadDirectlyOrAsChangedValues)
{
    crt::Guid guid;
    guid.Data1 = 0x01234567;
    guid.Data4[7] = 0xEF;
    DocumentWriter writer;
    writer.Long(-7).Dword(4000000000u).Float(2.5f).Float(1).Float(2).Float(3).WideString(u"name").Guid(guid);
    writer.Long(-7).Dword(9); // read again as changed values
    MemoryArchive archive(writer.Bytes());
    ArchiveReader ar = archive.Reader();

    MediaParamT<std::int32_t> integer(-7);
    MediaParamT<std::uint32_t> word(0);
    KXI_MediaFloat real;
    MediaParamT<math::Vec3> vector;
    MediaParamT<kxi_string> text;
    MediaParamT<crt::Guid> link;
    Watch watch;
    watch.On(integer);
    watch.On(word);
    watch.On(real);
    watch.On(vector);
    watch.On(text);
    watch.On(link);

    ReadParamValue(ar, integer);
    ReadParamValue(ar, word);
    ReadParamValue(ar, real);
    ReadParamValue(ar, vector);
    ReadParamValue(ar, text);
    ReadParamValue(ar, link);
    EXPECT_EQ(watch.Calls(), 0);
    EXPECT_EQ(integer.value, -7);
    EXPECT_EQ(word.value, 4000000000u);
    EXPECT_EQ(real.value, 2.5f);
    EXPECT_EQ(vector.value.z, 3.0f);
    EXPECT_EQ(text.value, u"name");
    EXPECT_EQ(link.value, guid);

    ReadChangedParamValue(ar, integer); // the same value: nobody is told
    EXPECT_EQ(watch.Calls(), 0);
    ReadChangedParamValue(ar, word);
    EXPECT_EQ(watch.Calls(), 1);
    EXPECT_EQ(word.value, 9u);
    EXPECT_EQ(archive.Remaining(), 0u);

    // The writers produce the bytes the readers took (the GUID's 16 bytes
    // come back through its text form).
    WritingArchive out;
    WriteParamValue(out.Writer(), integer);
    word.StoreValue(4000000000u);
    WriteParamValue(out.Writer(), word);
    WriteParamValue(out.Writer(), real);
    WriteParamValue(out.Writer(), vector);
    WriteParamValue(out.Writer(), text);
    WriteParamValue(out.Writer(), link);
    WriteParamValue(out.Writer(), integer);
    word.StoreValue(9);
    WriteParamValue(out.Writer(), word);
    EXPECT_EQ(out.bytes.Bytes(), writer.Bytes());
}

TEST(CompoundStoredForm, QuadAndRectangleAreStoredDirectly)
{
    DocumentWriter writer;
    for (int i = 0; i < 12; ++i)
        writer.Float(static_cast<float>(i) + 0.5f);
    writer.Long(-10).Long(10).Long(-20).Long(20).Long(3).Long(4);
    MemoryArchive archive(writer.Bytes());

    MediaQuad quad;
    MediaRectangle rectangle;
    Watch watch;
    watch.On(quad);
    for (auto& corner : quad.corners)
        watch.On(corner);
    watch.On(rectangle.left);
    watch.On(rectangle.bottom);
    watch.On(rectangle.centreX);

    ReadMediaQuad(archive.Reader(), quad);
    EXPECT_EQ(archive.Consumed(), 48u);
    ReadMediaRectangle(archive.Reader(), rectangle);
    EXPECT_EQ(archive.Remaining(), 0u);

    EXPECT_EQ(watch.Calls(), 0);
    EXPECT_EQ(quad.corners[0].value.x, 0.5f);
    EXPECT_EQ(quad.corners[1].value.x, 3.5f);
    EXPECT_EQ(quad.corners[3].value.z, 11.5f);
    EXPECT_EQ(rectangle.left.value, -10);
    EXPECT_EQ(rectangle.right.value, 10);
    EXPECT_EQ(rectangle.top.value, -20);
    EXPECT_EQ(rectangle.bottom.value, 20);
    EXPECT_EQ(rectangle.centreX.value, 3);
    EXPECT_EQ(rectangle.centreY.value, 4);

    WritingArchive out;
    WriteMediaQuad(out.Writer(), quad);
    WriteMediaRectangle(out.Writer(), rectangle);
    EXPECT_EQ(out.bytes.Bytes(), writer.Bytes());
}

TEST(CompoundStoredForm, HsbColourKeepsTheStoredRgba)
{
    DocumentWriter writer;
    writer.Dword(120).Dword(100).Dword(100).Float(0.1f).Float(0.2f).Float(0.3f).Float(0.4f);
    MemoryArchive archive(writer.Bytes());
    SmartColorHSB color;
    ReadColorHSB(archive.Reader(), color);
    EXPECT_EQ(color.hue.value, 120u);
    EXPECT_EQ(color.saturation.value, 100u);
    // Not recomputed: the stored colour stands until a part changes.
    EXPECT_EQ(color.r, 0.1f);
    EXPECT_EQ(color.a, 0.4f);
    color.brightness.SetValue(100, nullptr);
    EXPECT_EQ(color.r, 0.0f);
    EXPECT_EQ(color.g, 1.0f);

    WritingArchive out;
    color.r = 0.1f;
    color.g = 0.2f;
    color.b = 0.3f;
    color.a = 0.4f;
    WriteColorHSB(out.Writer(), color);
    EXPECT_EQ(out.bytes.Bytes(), writer.Bytes());
}

TEST(CompoundStoredForm, ColourSequenceReplacesItsListAndSetsTransparency)
{
    DocumentWriter writer;
    writer.Int(1).Count(3).Dword(0x0000FF).Dword(0x00FF00).Dword(0xFF0000).Long(2).Long(1).Dword(50);
    MemoryArchive archive(writer.Bytes());

    ColorSequenceParams params;
    Watch plain, transparency;
    plain.On(params.colorMode);
    plain.On(params.randomPick);
    plain.On(params.colors);
    transparency.On(params.transparency);

    ReadColorSequenceParams(archive.Reader(), params);
    EXPECT_EQ(archive.Remaining(), 0u);
    EXPECT_EQ(params.colors.value, (std::vector<COLORREF>{0x0000FF, 0x00FF00, 0xFF0000}));
    EXPECT_EQ(params.colorMode.value, 2);
    EXPECT_EQ(params.randomPick.value, 1);
    EXPECT_EQ(plain.Calls(), 0);
    EXPECT_EQ(transparency.Calls(), 1);
    EXPECT_EQ(params.transparency.Scaled(), 127);

    WritingArchive out;
    WriteColorSequenceParams(out.Writer(), params);
    EXPECT_EQ(out.bytes.Bytes(), writer.Bytes());
}

TEST(CompoundStoredForm, ColourSequenceWithAnEmptyList)
{
    DocumentWriter writer;
    writer.Int(1).Count(0).Long(0).Long(0).Dword(0);
    MemoryArchive archive(writer.Bytes());
    ColorSequenceParams params;
    Watch transparency;
    transparency.On(params.transparency);
    ReadColorSequenceParams(archive.Reader(), params);
    EXPECT_TRUE(params.colors.value.empty());
    EXPECT_EQ(transparency.Calls(), 0); // 0 was already the value
}

TEST(CompoundStoredForm, DamagedRecordsRefuseTheDocument)
{
    struct Case {
        const char* name;
        DocumentWriter bytes;
        void (*read)(ArchiveReader);
    };
    auto readColours = [](ArchiveReader ar) {
        ColorSequenceParams params;
        ReadColorSequenceParams(ar, params);
    };
    auto readQuad = [](ArchiveReader ar) {
        MediaQuad quad;
        ReadMediaQuad(ar, quad);
    };
    auto readGroup = [](ArchiveReader ar) {
        PercentParamGroup group;
        ReadPercentParamGroup(ar, group);
    };
    std::vector<Case> cases;
    cases.push_back({"colour count beyond the bytes", DocumentWriter().Int(1).Int(1000000).Dword(1), readColours});
    cases.push_back({"negative colour count", DocumentWriter().Int(1).Int(-1).Long(0).Long(0).Dword(0), readColours});
    cases.push_back({"huge colour count", DocumentWriter().Int(1).Int(0x7FFFFFFF), readColours});
    cases.push_back({"quad cut short", DocumentWriter().Float(1).Float(2).Float(3), readQuad});
    cases.push_back({"group cut short", DocumentWriter().Int(1).Dword(1).Dword(2), readGroup});
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        MemoryArchive archive(test.bytes.Bytes());
        EXPECT_THROW(test.read(archive.Reader()), DS_Error);
    }
}

TEST(CompoundStoredForm, PercentRecordsNotifyOnlyDifferingValues)
{
    DocumentWriter quadBytes;
    quadBytes.Dword(0).Dword(100).Dword(25).Dword(0); // only the third differs
    DocumentWriter groupBytes;
    groupBytes.Int(99).Dword(0).Dword(5).Dword(100).Dword(100).Dword(0).Dword(0).Dword(1);

    PercentParamQuad quad;
    PercentParamGroup group;
    Watch quadWatch, groupWatch;
    for (auto& percent : quad.percents)
        quadWatch.On(percent);
    for (auto& percent : group.percents)
        groupWatch.On(percent);

    MemoryArchive quadArchive(quadBytes.Bytes());
    ReadPercentParamQuad(quadArchive.Reader(), quad);
    EXPECT_EQ(quadWatch.Calls(), 1);
    EXPECT_FLOAT_EQ(quad.percents[2].Scaled(), 0.25f);

    MemoryArchive groupArchive(groupBytes.Bytes());
    ReadPercentParamGroup(groupArchive.Reader(), group);
    EXPECT_EQ(groupWatch.Calls(), 1);
    EXPECT_EQ(group.tag, 1); // the stored int is not kept
    EXPECT_FLOAT_EQ(group.percents[1].Scaled(), 0.05f);
    EXPECT_EQ(groupArchive.Remaining(), 0u);

    WritingArchive out;
    WritePercentParamQuad(out.Writer(), quad);
    EXPECT_EQ(out.bytes.Bytes(), quadBytes.Bytes());
}

// A small polymorphic node for the handle vector: a section header and an id.
struct TestNode {
    virtual ~TestNode() = default;
    std::int32_t id = 0;
};

std::unique_ptr<TestNode> ReadTestNode(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    const std::int32_t id = ar.ReadInt();
    if (header.className != u"TestNode")
        return nullptr; // a record that yields no object
    auto node = std::make_unique<TestNode>();
    node->id = id;
    return node;
}

TEST(CompoundStoredForm, NodeVectorAppendsAHandlePerRecord)
{
    DocumentWriter writer;
    writer.Count(3).Section(u"TestNode", 1).Int(7).Section(u"Other", 1).Int(8).Section(u"TestNode", 1).Int(9);
    MemoryArchive archive(writer.Bytes());

    KXI_SmartVectorPtr<TestNode> nodes;
    EXPECT_EQ(nodes.selected.value, -1);
    nodes.Append(MakeSafePtr<TestNode>()); // reading appends after what is there
    Watch watch;
    watch.On(nodes);
    ReadSmartVectorPtr(archive.Reader(), nodes, ReadTestNode);

    EXPECT_EQ(watch.Calls(), 3);
    ASSERT_EQ(nodes.value.size(), 4u);
    EXPECT_EQ(nodes.value[1]->id, 7);
    EXPECT_TRUE(nodes.value[2].IsEmpty());
    EXPECT_FALSE(nodes.value[2].IsNull());
    EXPECT_EQ(nodes.value[3]->id, 9);
    EXPECT_EQ(nodes.undo.Current(), nodes.value);

    WritingArchive out;
    int saved = 0;
    WriteSmartVectorPtr(out.Writer(), nodes, [&](ArchiveWriter, const DS_SafePtr<TestNode>&) { ++saved; });
    EXPECT_EQ(saved, 4);
    EXPECT_EQ(out.bytes.Bytes(), DocumentWriter().Count(4).Bytes());
}

TEST(CompoundStoredForm, NodeVectorCountIsCheckedBeforeReading)
{
    DocumentWriter writer;
    writer.Count(1000).Section(u"TestNode", 1).Int(7);
    MemoryArchive archive(writer.Bytes());
    KXI_SmartVectorPtr<TestNode> nodes;
    int reads = 0;
    EXPECT_THROW(ReadSmartVectorPtr(archive.Reader(), nodes,
                                    [&](ArchiveReader ar) {
                                        ++reads;
                                        return ReadTestNode(ar);
                                    }),
                 DS_Error);
    EXPECT_EQ(reads, 0);
    EXPECT_TRUE(nodes.value.empty());
}

} // namespace

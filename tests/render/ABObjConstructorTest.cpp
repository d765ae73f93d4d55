// The description root and its data part: reading the DS_ABObj_Constructor
// section of every stored version (with the legacy timing record or the
// KXI_RenderObjData section), writing it back, cloning, and the base
// answers every description inherits.

#include <gtest/gtest.h>

#include "objectmodel/DocumentError.h"
#include "render/RenderContext.h"
#include "render/Timelines.h"
#include "tests/render/RenderObjectTestSupport.h"
#include "tests/support/DescriptionWriter.h"

namespace {

using namespace render_object_test;
using namespace description_writer;

// A plain description: the DS_ABObj_Constructor level and nothing more.
class PlainDescription : public DS_ABObj_Constructor {
public:
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override
    {
        return std::make_unique<TestRenderObject>(std::make_unique<PlainDescription>(*this));
    }
};

std::vector<std::uint8_t> ConstructorBytes(const ConstructorFields& fields)
{
    DocumentWriter w;
    WriteConstructor(w, fields);
    return w.Bytes();
}

// Reads a section and checks that exactly its bytes were consumed.
void ReadAll(std::span<const std::uint8_t> bytes, DS_ABObj_Constructor& description)
{
    MemoryArchive archive(bytes);
    description.DS_ABObj_Constructor::Load(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
}

struct VersionCase {
    const char* label;
    std::int32_t version;
    std::uint32_t expectedDepth;
    int expectedSelector;
    bool expectsGuid;
};

class ConstructorVersionTest : public testing::TestWithParam<VersionCase> {};

TEST_P(ConstructorVersionTest, ReadsTheFieldsItsVersionStores)
{
    const VersionCase& c = GetParam();
    ConstructorFields fields;
    fields.version = c.version;
    fields.name = u"Fountain";
    fields.depth = 250;
    fields.legacy.kind = 1; // random, for versions 2 and 3
    fields.guid = TestGuid(77);
    fields.timing.selector = 2;
    fields.timing.kind = TimelineKind::Manual;

    PlainDescription description;
    ReadAll(ConstructorBytes(fields), description);

    EXPECT_EQ(description.name, u"Fountain");
    EXPECT_EQ(description.depth.value, c.expectedDepth);
    EXPECT_EQ(description.timing.Selector(), c.expectedSelector);
    EXPECT_EQ(description.guid, c.expectsGuid ? TestGuid(77) : crt::Guid{});
}

INSTANTIATE_TEST_SUITE_P(
    AllVersions, ConstructorVersionTest,
    testing::Values(
        // Name only: depth stays 100, always on, no GUID.
        VersionCase{"v0", 0, 100, KXI_SmartTiming::kContinuous, false},
        VersionCase{"v1", 1, 100, KXI_SmartTiming::kContinuous, false},
        // A legacy timeline, no depth yet.
        VersionCase{"v2", 2, 100, KXI_SmartTiming::kRandom, false},
        // Depth and a legacy timeline, still no GUID.
        VersionCase{"v3", 3, 250, KXI_SmartTiming::kRandom, false},
        // Depth and the data section with GUID and timing.
        VersionCase{"v4", 4, 250, KXI_SmartTiming::kManual, true},
        // A newer version reads as the newest known.
        VersionCase{"v9", 9, 250, KXI_SmartTiming::kManual, true}),
    [](const testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.label); });

TEST(ConstructorSection, OldVersionsKeepTheContinuousTimeline)
{
    for (std::int32_t version : {0, 1}) {
        ConstructorFields fields;
        fields.version = version;
        PlainDescription description;
        ReadAll(ConstructorBytes(fields), description);
        EXPECT_NE(dynamic_cast<KXI_ContinuesTimeLine*>(description.timing.CurrentTimeline()), nullptr);
    }
}

TEST(ConstructorSection, LegacyManualRecordBecomesTheTimeline)
{
    ConstructorFields fields;
    fields.version = 3;
    fields.legacy.kind = 2;
    fields.legacy.clockMode = 2;
    fields.legacy.period = 500;
    fields.legacy.intervals = {{1.0f, 2.0f, 1.5f, 1.5f}, {3.0f, 4.0f, 3.5f, 3.5f}};

    PlainDescription description;
    ReadAll(ConstructorBytes(fields), description);

    auto* manual = dynamic_cast<KXI_ManualTimeLine*>(description.timing.CurrentTimeline());
    ASSERT_NE(manual, nullptr);
    EXPECT_EQ(manual->period.value, 500u);
    EXPECT_FLOAT_EQ(manual->period.Scaled(), 5.0f);
    EXPECT_EQ(manual->intervals.Size(), 2u);
    EXPECT_EQ(description.timing.clockMode.value, 2);
}

TEST(ConstructorSection, DataSectionCarriesTimingRecord)
{
    ConstructorFields fields;
    fields.guid = TestGuid(5);
    fields.timing.selector = 1;
    fields.timing.clockMode = 2;
    fields.timing.flags = 0x21;
    fields.timing.kind = TimelineKind::Random;

    PlainDescription description;
    ReadAll(ConstructorBytes(fields), description);

    EXPECT_NE(dynamic_cast<KXI_RandomTimeLine*>(description.timing.CurrentTimeline()), nullptr);
    EXPECT_EQ(description.timing.clockMode.value, 2);
    EXPECT_EQ(description.timing.flags, 0x21);
}

TEST(DataSection, UnreadableGuidReadsAsNone)
{
    DocumentWriter w;
    w.Section(u"KXI_RenderObjData", 1).GuidText(u"{not-a-guid}");
    WriteSmartTiming(w, TimingFields{});
    PlainDescription description;
    description.guid = TestGuid(4);
    MemoryArchive archive(w.Bytes());
    description.KXI_RenderObjData::Load(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    EXPECT_TRUE(description.guid.IsNull());
}

TEST(DataSection, UnknownTimelineClassIsRefused)
{
    DocumentWriter w;
    w.Section(u"KXI_RenderObjData", 1).Guid(TestGuid(4));
    w.Section(u"KXI_SmartTiming", 1).Long(0).Long(0).Int(0).Section(u"KXI_NoSuchTimeLine", 1);
    PlainDescription description;
    MemoryArchive archive(w.Bytes());
    EXPECT_THROW(description.KXI_RenderObjData::Load(archive.Reader()), DS_Error);
}

TEST(ConstructorSection, TruncatedSectionIsRefused)
{
    ConstructorFields fields;
    fields.name = u"Cut short";
    std::vector<std::uint8_t> bytes = ConstructorBytes(fields);
    for (std::size_t keep : {bytes.size() - 1, bytes.size() / 2, std::size_t{10}}) {
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep));
        PlainDescription description;
        MemoryArchive archive(cut);
        EXPECT_THROW(description.DS_ABObj_Constructor::Load(archive.Reader()), DS_Error) << "kept " << keep;
    }
}

TEST(ConstructorSection, WrittenSectionReadsBack)
{
    PlainDescription original;
    original.name = u"Birds";
    original.depth.QuietSet(40);
    original.guid = TestGuid(9);
    original.timing.SetValue(KXI_SmartTiming::kRandom, nullptr);
    original.timing.clockMode.QuietSet(2);

    RecordingArchive recording;
    original.Save(recording.Writer());

    PlainDescription copy;
    ReadAll(recording.writer.Bytes(), copy);
    EXPECT_EQ(copy.name, u"Birds");
    EXPECT_EQ(copy.depth.value, 40u);
    EXPECT_EQ(copy.guid, TestGuid(9));
    EXPECT_EQ(copy.timing.Selector(), KXI_SmartTiming::kRandom);
    EXPECT_NE(dynamic_cast<KXI_RandomTimeLine*>(copy.timing.CurrentTimeline()), nullptr);
    EXPECT_EQ(copy.timing.clockMode.value, 2);
}

TEST(ConstructorClone, KeepsIdentityAndSharesTheTimeline)
{
    PlainDescription original;
    original.name = u"Fish";
    original.depth.QuietSet(50);
    original.guid = TestGuid(3);
    original.keepId = 0;
    original.category = 6;

    const PlainDescription clone(original);
    EXPECT_EQ(clone.guid, original.guid);
    EXPECT_EQ(clone.keepId, 0);
    EXPECT_EQ(clone.name, u"Fish");
    EXPECT_EQ(clone.depth.value, 50u);
    EXPECT_EQ(clone.category, 6);
    // One timeline for both: advancing the clone's moves the original's.
    ASSERT_EQ(clone.timing.CurrentTimeline(), original.timing.CurrentTimeline());
    clone.timing.CurrentTimeline()->Advance(0.1f);
    EXPECT_FLOAT_EQ(original.timing.CurrentTimeline()->LocalClock(), 0.1f);
}

TEST(ConstructorBase, AnswersOfTheRoot)
{
    PlainDescription description;
    EXPECT_EQ(description.GetKind(), 3);
    EXPECT_TRUE(description.IsNonBrush());
    EXPECT_EQ(description.QueryExtra(), 0);
    EXPECT_EQ(description.OnMouseMove(10, 10), 0);
    EXPECT_FALSE(description.ApplyToObject(description));
    EXPECT_EQ(description.CreateExtraRenderObject(), nullptr);

    const DS_FileLink3 stale;
    PreviewImage preview{&stale, 7, 0.5f, 0.25f};
    description.GetPreviewImage(preview);
    EXPECT_EQ(preview.link, nullptr);
    EXPECT_EQ(preview.imageKind, 0);
    EXPECT_FLOAT_EQ(preview.frameWidth, 1.0f);

    FileLinkList links;
    description.CollectFileLinks(links);
    EXPECT_TRUE(links.empty());
}

TEST(ConstructorBase, BoundingRectIsTheContextsPicture)
{
    PlainDescription description;
    BoundingRectList rects;
    {
        RenderContext context;
        context.pictureWidth = 1024.0f;
        context.pictureHeight = 768.0f;
        CurrentRenderContextScope scope(&context);
        EXPECT_FALSE(description.AddBoundingRect(rects));
    }
    // Without a context the object covers no known picture.
    description.AddBoundingRect(rects);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0], (BoundingRect{0.0f, 0.0f, 1024.0f, 768.0f}));
    EXPECT_EQ(rects[1], (BoundingRect{0.0f, 0.0f, 0.0f, 0.0f}));
}

} // namespace

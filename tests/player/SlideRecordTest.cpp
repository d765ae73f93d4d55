// Reading slide records of every stored version, and documents of slides.

#include <gtest/gtest.h>

#include "objectmodel/DocumentError.h"
#include "objectmodel/SceneDocument.h"
#include "render/Timelines.h"
#include "tests/player/PlayerTestSupport.h"

namespace {

using player_test::SlideFields;

std::unique_ptr<DS_SlideContainer> ReadSlide(const SlideFields& fields)
{
    RegisterSlideContainerClass();
    DocumentWriter w;
    player_test::WriteSlide(w, fields);
    MemoryArchive archive(w.Bytes());
    auto slide = ReadSlideContainer(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u) << "the record was not read to its end";
    return slide;
}

// The period (hundredths) of each first-list object's manual timeline.
std::vector<std::uint32_t> ManualPeriods(const DS_SlideContainer& slide)
{
    std::vector<std::uint32_t> periods;
    for (const auto& item : slide.StoredObjects()) {
        const auto* data = dynamic_cast<const KXI_RenderObjData*>(item.get());
        const auto* manual = data ? dynamic_cast<const KXI_ManualTimeLine*>(data->timing.CurrentTimeline()) : nullptr;
        periods.push_back(manual ? manual->period.value : 0u);
    }
    return periods;
}

TEST(SlideRecord, DefaultsOfANewSlide)
{
    DS_SlideContainer slide;
    EXPECT_EQ(slide.mode.value, 0);
    EXPECT_FLOAT_EQ(slide.fadeIn.value, 1.0f);
    EXPECT_FLOAT_EQ(slide.fadeOut.value, 1.0f);
    EXPECT_FLOAT_EQ(slide.hold.value, 10.0f);
    EXPECT_EQ(slide.PictureScene(), nullptr);
}

TEST(SlideRecord, EveryVersionReadsItsFields)
{
    struct Case {
        std::int32_t version;
        std::int32_t expectedMode;
        std::size_t expectedSounds;
    } cases[] = {
        {0, 0, 0}, {1, 0, 0}, {2, 0, 1}, {3, 0, 1}, {4, 0, 1}, {5, 1, 1}, {6, 1, 1},
    };
    for (const Case& c : cases) {
        SlideFields fields;
        fields.version = c.version;
        fields.mode = 1; // not stored before version 5
        fields.fadeIn = 2.0f;
        fields.fadeOut = 3.0f;
        fields.hold = 7.0f;
        fields.option = 9;
        fields.name = u"dunes";
        fields.objects = {u"a", u"b"};
        fields.sounds = {u"s"};
        auto slide = ReadSlide(fields);
        ASSERT_NE(slide, nullptr) << "version " << c.version;
        EXPECT_EQ(slide->mode.value, c.expectedMode) << "version " << c.version;
        EXPECT_FLOAT_EQ(slide->fadeIn.value, 2.0f);
        EXPECT_FLOAT_EQ(slide->fadeOut.value, 3.0f);
        EXPECT_FLOAT_EQ(slide->hold.value, 7.0f);
        EXPECT_EQ(slide->option.value, 9);
        EXPECT_EQ(slide->name.value, u"dunes");
        EXPECT_NE(slide->PictureScene(), nullptr);
        EXPECT_EQ(slide->StoredObjects().size(), 2u);
        EXPECT_EQ(slide->StoredSounds().size(), c.expectedSounds) << "version " << c.version;
    }
}

TEST(SlideRecord, LegacyDurationReachesTheManualTimelines)
{
    struct Case {
        std::int32_t version;
        std::uint32_t stored;
        std::uint32_t expectedPeriod;
    } cases[] = {
        {3, 10, 1000},   // version 3 stores tenths of the period's unit: x 100
        {5, 2500, 2500},
        {2, 77, 1000},   // no stored duration: the default
        {6, 77, 1234},   // version 6 leaves the object's own period
    };
    for (const Case& c : cases) {
        SlideFields fields;
        fields.version = c.version;
        fields.legacyDuration = c.stored;
        fields.objects = {u"x"};
        // The probes' own stored period.
        auto slide = [&] {
            RegisterSlideContainerClass();
            DocumentWriter w;
            w.Section(u"DS_SlideContainer", c.version);
            if (c.version >= 5)
                w.Int(0).Float(1).Float(1).Float(10);
            else
                w.Dword(1).Dword(1).Dword(10);
            w.Int(0).WideString(u"n");
            if (c.version >= 3 && c.version <= 5)
                w.Dword(c.stored);
            picture_scene_writer::WriteLightRecord(w, {});
            description_writer::ConstructorFields object;
            object.timing.kind = description_writer::TimelineKind::Manual;
            object.timing.period = 1234;
            w.Count(1).Section(player_test::kProbeClass, 1);
            description_writer::WriteConstructor(w, object);
            if (c.version > 1)
                w.Count(0);
            MemoryArchive archive(w.Bytes());
            return ReadSlideContainer(archive.Reader());
        }();
        EXPECT_EQ(ManualPeriods(*slide), std::vector<std::uint32_t>{c.expectedPeriod}) << "version " << c.version;
    }
}

TEST(SlideRecord, OlderVersionsStoreWholeSecondsAsUnsigned)
{
    SlideFields fields;
    fields.version = 4;
    fields.fadeIn = 4000000000.0f; // a large unsigned value stays positive
    auto slide = ReadSlide(fields);
    EXPECT_FLOAT_EQ(slide->fadeIn.value, 4000000000.0f);
}

TEST(SlideRecord, UnknownSlideClassRefusesTheDocument)
{
    RegisterSlideContainerClass();
    DocumentWriter w;
    w.Section(u"DS_OtherContainer", 6).Int(0);
    MemoryArchive archive(w.Bytes());
    EXPECT_THROW(ReadSlideContainer(archive.Reader()), DS_Error);
}

TEST(SlideRecord, DamagedSlideRecordsAreRefused)
{
    SlideFields fields;
    fields.objects = {u"a"};
    DocumentWriter w;
    player_test::WriteSlide(w, fields);
    const auto& full = w.Bytes();
    RegisterSlideContainerClass();
    for (std::size_t cut : {std::size_t(10), full.size() / 2, full.size() - 1}) {
        MemoryArchive archive(std::span(full.data(), cut));
        EXPECT_THROW(ReadSlideContainer(archive.Reader()), DS_Error) << "cut at " << cut;
    }
    // A count that cannot fit in what remains.
    DocumentWriter huge;
    huge.Section(u"DS_SlideContainer", 6).Int(0).Float(1).Float(1).Float(10).Int(0).WideString(u"n");
    picture_scene_writer::WriteLightRecord(huge, {});
    huge.Int(0x7FFFFFFF);
    MemoryArchive archive(huge.Bytes());
    EXPECT_THROW(ReadSlideContainer(archive.Reader()), DS_Error);
}

TEST(SlideRecord, DocumentOfSlidesOpensAsASlideShow)
{
    InstallPlayerDocumentClasses();
    SlideFields first, second;
    first.name = u"one";
    second.name = u"two";
    second.version = 4;
    const auto bytes = player_test::WriteDocument({first, second});
    MemoryArchive archive(bytes);
    archive.Reader().ReadWideString();
    SceneDocument document = ReadSceneDocument(archive.Reader());
    auto* show = dynamic_cast<DS_SlideShow_Light*>(document.SlideShow());
    ASSERT_NE(show, nullptr);
    ASSERT_EQ(show->Slides().size(), 2u);
    EXPECT_EQ(show->Slides()[0]->name.value, u"one");
    EXPECT_EQ(show->Slides()[1]->name.value, u"two");
}

} // namespace

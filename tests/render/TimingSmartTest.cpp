// KXI_SmartTiming (the timeline kind of an object and its cache), the
// timing registry, the stored records, and the legacy DS_TimeLineControl.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "objectmodel/ClassRegistry.h"
#include "render/TimelineDepended.h"
#include "render/Timelines.h"
#include "render/TimingLegacy.h"
#include "tests/render/TimingTestSupport.h"

using namespace timing_test;

namespace {

template <class T>
bool Is(const KXI_Timing* timeline)
{
    return dynamic_cast<const T*>(timeline) != nullptr;
}

// Records the timeline that was current when the selector's observers ran.
class SelectorWatch final : public MediaControlT<MediaParam> {
public:
    explicit SelectorWatch(KXI_SmartTiming& timing) : m_timing(timing) { BindWithoutNotice(&timing); }
    void OnParamChanged(MediaControl*) override { seen.push_back(m_timing.CurrentTimeline()); }
    std::vector<KXI_Timing*> seen;

private:
    KXI_SmartTiming& m_timing;
};

TEST(SmartTiming, StartsWithACachedContinuousTimeline)
{
    KXI_SmartTiming timing;
    EXPECT_EQ(timing.Selector(), KXI_SmartTiming::kContinuous);
    ASSERT_TRUE(Is<KXI_ContinuesTimeLine>(timing.CurrentTimeline()));
    EXPECT_EQ(timing.CachedTimeline(0), timing.CurrentTimeline());
    for (int kind = 1; kind < KXI_SmartTiming::kKindCount; ++kind)
        EXPECT_EQ(timing.CachedTimeline(kind), nullptr);
    EXPECT_EQ(timing.clockMode.value, 0);
    EXPECT_EQ(timing.flags, 0);
}

TEST(SmartTiming, ASelectorChangeSwitchesToTheCachedTimelineOfTheKind)
{
    KXI_SmartTiming timing;
    KXI_Timing* continuous = timing.CurrentTimeline();
    SelectorWatch watch(timing);

    timing.defaultFadeIn = 0.25f;
    timing.defaultOnLength = 3.0f;
    timing.SetValue(KXI_SmartTiming::kRandom, nullptr);
    auto* random = dynamic_cast<KXI_RandomTimeLine*>(timing.CurrentTimeline());
    ASSERT_NE(random, nullptr);
    EXPECT_EQ(timing.CachedTimeline(KXI_SmartTiming::kRandom), random);
    EXPECT_EQ(random->fadeIn.value, 25u) << "a new random timeline takes the timing's defaults";
    EXPECT_EQ(random->onLength.min.value, 300u);
    EXPECT_EQ(watch.seen, std::vector<KXI_Timing*>{random}) << "observers are told after the switch";

    random->Advance(0.125f);
    timing.SetValue(KXI_SmartTiming::kContinuous, nullptr);
    EXPECT_EQ(timing.CurrentTimeline(), continuous);
    timing.SetValue(KXI_SmartTiming::kRandom, nullptr);
    EXPECT_EQ(timing.CurrentTimeline(), random) << "a kind chosen again finds its cached timeline";
    EXPECT_FLOAT_EQ(random->LocalClock(), 0.125f) << "with its running state";

    const std::function<bool(const KXI_Timing*)> kindOf[] = {Is<KXI_ContinuesTimeLine>, Is<KXI_RandomTimeLine>,
                                                             Is<KXI_ManualTimeLine>, Is<KXI_DependedTimeLine>};
    for (int kind = 0; kind < KXI_SmartTiming::kKindCount; ++kind) {
        timing.SetChangedValue(kind, nullptr);
        EXPECT_TRUE(kindOf[kind](timing.CurrentTimeline())) << "kind " << kind;
    }
}

TEST(SmartTiming, QuietOrDirectSelectorWritesSwitchNothing)
{
    KXI_SmartTiming timing;
    KXI_Timing* continuous = timing.CurrentTimeline();
    timing.QuietSet(KXI_SmartTiming::kManual);
    EXPECT_EQ(timing.CurrentTimeline(), continuous);
    timing.StoreValue(KXI_SmartTiming::kRandom);
    EXPECT_EQ(timing.CurrentTimeline(), continuous);
    EXPECT_EQ(timing.CachedTimeline(KXI_SmartTiming::kRandom), nullptr);
}

TEST(SmartTiming, ASelectorOutsideTheKindsKeepsTheCurrentTimeline)
{
    KXI_SmartTiming timing;
    KXI_Timing* continuous = timing.CurrentTimeline();
    SelectorWatch watch(timing);
    for (int selector : {4, -1, 1000}) {
        timing.SetValue(selector, nullptr);
        EXPECT_EQ(timing.CurrentTimeline(), continuous);
        EXPECT_EQ(timing.CachedTimeline(selector), nullptr);
    }
    EXPECT_EQ(watch.seen.size(), 3u) << "the observers are still told";
    EXPECT_TRUE(KXI_SmartTiming::ClassNameOfKind(4).empty());

    timing.SetTimeline(std::make_unique<KXI_ManualTimeLine>());
    EXPECT_TRUE(Is<KXI_ManualTimeLine>(timing.CurrentTimeline())) << "installed, though no cache slot takes it";
}

TEST(SmartTiming, ACopySharesTheTimelines)
{
    auto original = std::make_unique<KXI_SmartTiming>();
    original->SetValue(KXI_SmartTiming::kRandom, nullptr);
    original->clockMode.QuietSet(2);
    original->flags = 0x21;
    original->defaultOnLength = 4.0f;
    original->lastGlobalTime = 7.0f;
    original->objectClock = 3.5f;

    KXI_SmartTiming copy(*original);
    EXPECT_EQ(copy.Selector(), KXI_SmartTiming::kRandom);
    EXPECT_EQ(copy.clockMode.value, 2);
    EXPECT_EQ(copy.flags, 0x21);
    EXPECT_EQ(copy.defaultOnLength, 4.0f);
    EXPECT_EQ(copy.lastGlobalTime, 7.0f);
    EXPECT_EQ(copy.objectClock, 3.5f);
    EXPECT_EQ(copy.CurrentTimeline(), original->CurrentTimeline());
    EXPECT_EQ(copy.CachedTimeline(0), original->CachedTimeline(0));
    EXPECT_EQ(copy.CurrentHandle().UseCount(), 4) << "current and cache handles of both timings";

    copy.CurrentTimeline()->Advance(0.125f);
    EXPECT_FLOAT_EQ(original->CurrentTimeline()->LocalClock(), 0.125f) << "one timeline, driven through the copy";

    original.reset();
    copy.CurrentTimeline()->Advance(0.25f); // still alive through the copy's handles
    EXPECT_FLOAT_EQ(copy.CurrentTimeline()->LocalClock(), 0.25f);
    EXPECT_EQ(copy.CurrentHandle().UseCount(), 2);
}

TEST(SmartTiming, SetTimelineFillsTheCacheSlotOfTheCurrentKind)
{
    KXI_SmartTiming timing;
    timing.StoreValue(KXI_SmartTiming::kManual);
    auto manual = std::make_unique<KXI_ManualTimeLine>();
    KXI_Timing* raw = manual.get();
    timing.SetTimeline(std::move(manual));
    EXPECT_EQ(timing.CurrentTimeline(), raw);
    EXPECT_EQ(timing.CachedTimeline(KXI_SmartTiming::kManual), raw);
    EXPECT_EQ(timing.CurrentHandle().UseCount(), 2);

    timing.SetTimeline(nullptr);
    EXPECT_EQ(timing.CurrentTimeline(), raw) << "nothing to install changes nothing";
}

// ---- registry -------------------------------------------------------------

TEST(TimingRegistry, HoldsTheFourTimelinesUnderTheirExactNames)
{
    const std::vector<kxi_string> expected = {u"KXI_ContinuesTimeLine", u"KXI_DependedTimeLine",
                                              u"KXI_ManualTimeLine", u"KXI_RandomTimeLine"};
    EXPECT_EQ(GetTimingClassRegistry().Names(), expected);

    EXPECT_TRUE(Is<KXI_ContinuesTimeLine>(CreateObjectByClassName(u"KXI_ContinuesTimeLine").get()));
    EXPECT_TRUE(Is<KXI_RandomTimeLine>(CreateObjectByClassName(u"KXI_RandomTimeLine").get()));
    EXPECT_TRUE(Is<KXI_ManualTimeLine>(CreateObjectByClassName(u"KXI_ManualTimeLine").get()));
    EXPECT_TRUE(Is<KXI_DependedTimeLine>(CreateObjectByClassName(u"KXI_DependedTimeLine").get()));
    for (std::u16string_view name : {u"", u"KXI_ContinuousTimeLine", u"kxi_randomtimeline", u"KXI_Timing",
                                     u"KXI_SmartTiming", u"DS_TimeLineControl"})
        EXPECT_EQ(CreateObjectByClassName(name), nullptr);
}

// ---- the stored record ----------------------------------------------------

struct RecordCase {
    const char* what;
    std::int32_t selector;
    std::function<void(DocumentWriter&)> writeTimeline;
    std::function<bool(const KXI_Timing*)> isExpectedClass;
};

class SmartTimingRecord : public ::testing::TestWithParam<RecordCase> {};

TEST_P(SmartTimingRecord, ReadsTheTimelineAsCurrentAndResetsIt)
{
    const RecordCase& c = GetParam();
    DocumentWriter w;
    SmartTimingHeader(w, c.selector, 2, 0x21);
    c.writeTimeline(w);
    w.Int(0x7777); // what follows the record stays unread

    KXI_SmartTiming timing;
    KXI_Timing* constructed = timing.CurrentTimeline();
    SelectorWatch watch(timing);
    MemoryArchive archive(w.Bytes());
    timing.Read(archive.Reader());

    EXPECT_EQ(archive.Remaining(), 4u);
    EXPECT_EQ(timing.Selector(), c.selector);
    EXPECT_EQ(timing.clockMode.value, 2);
    EXPECT_EQ(timing.flags, 0x21);
    EXPECT_TRUE(watch.seen.empty()) << "the selector is stored directly";
    EXPECT_TRUE(c.isExpectedClass(timing.CurrentTimeline())) << c.what;
    EXPECT_NE(timing.CurrentTimeline(), constructed);
    EXPECT_EQ(timing.CachedTimeline(0), constructed) << "reading sets only the current timeline";
    EXPECT_EQ(timing.CurrentTimeline()->LocalClock(), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SmartTimingRecord,
    ::testing::Values(
        RecordCase{"continuous", 0, [](DocumentWriter& w) { ContinuousRecord(w); }, Is<KXI_ContinuesTimeLine>},
        RecordCase{"random", 1, [](DocumentWriter& w) { RandomRecord(w, {}); }, Is<KXI_RandomTimeLine>},
        RecordCase{"manual", 2, [](DocumentWriter& w) { ManualRecord(w, 500, {{1, 2, 1, 2}}); },
                   Is<KXI_ManualTimeLine>},
        RecordCase{"depended", 3, [](DocumentWriter& w) { DependedRecord(w, 2, TestGuid(5)); },
                   Is<KXI_DependedTimeLine>},
        RecordCase{"a selector that does not match the record", 1,
                   [](DocumentWriter& w) { ContinuousRecord(w); }, Is<KXI_ContinuesTimeLine>}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(SmartTimingRecord, ThePlayersOwnSceneTimingsRead)
{
    DocumentWriter w;
    SmartTimingHeader(w, 0, 0, 1);
    ContinuousRecord(w);
    SmartTimingHeader(w, 1, 0, 0);
    RandomLengths lengths;
    lengths.offMin = lengths.offMax = 0;
    lengths.onMin = lengths.onMax = 50;
    RandomRecord(w, lengths);
    MemoryArchive archive(w.Bytes());

    KXI_SmartTiming first;
    first.Read(archive.Reader());
    EXPECT_EQ(first.flags, 1);
    EXPECT_TRUE(Is<KXI_ContinuesTimeLine>(first.CurrentTimeline()));

    KXI_SmartTiming second;
    second.Read(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    auto* random = dynamic_cast<KXI_RandomTimeLine*>(second.CurrentTimeline());
    ASSERT_NE(random, nullptr);
    EXPECT_EQ(random->GetState(), kTimingOff);
    EXPECT_FLOAT_EQ(random->CurrentOnLength(), 0.5f) << "drawn by the reset after reading";
    EXPECT_FLOAT_EQ(random->GetLength(), 1.5f);
}

struct BadRecordCase {
    const char* what;
    std::function<void(DocumentWriter&)> writeTimeline;
};

class SmartTimingBadRecord : public ::testing::TestWithParam<BadRecordCase> {};

TEST_P(SmartTimingBadRecord, IsRefused)
{
    DocumentWriter w;
    SmartTimingHeader(w, 0, 0, 0);
    GetParam().writeTimeline(w);
    KXI_SmartTiming timing;
    KXI_Timing* constructed = timing.CurrentTimeline();
    MemoryArchive archive(w.Bytes());
    EXPECT_THROW(timing.Read(archive.Reader()), DS_Error) << GetParam().what;
    EXPECT_EQ(timing.CurrentTimeline(), constructed) << "a refused record installs nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SmartTimingBadRecord,
    ::testing::Values(
        BadRecordCase{"unknown class", [](DocumentWriter& w) { w.Section(u"KXI_FancyTimeLine", 1); }},
        BadRecordCase{"name in another case", [](DocumentWriter& w) { w.Section(u"kxi_ContinuesTimeLine", 1); }},
        BadRecordCase{"no timeline at all", [](DocumentWriter&) {}},
        BadRecordCase{"truncated random body", [](DocumentWriter& w) { w.Section(u"KXI_RandomTimeLine", 1).Dword(5); }},
        BadRecordCase{"missing KXI_Timing section", [](DocumentWriter& w) { w.Section(u"KXI_ContinuesTimeLine", 1); }},
        BadRecordCase{"interval count beyond the bytes",
                      [](DocumentWriter& w) { w.Section(u"KXI_ManualTimeLine", 1).Dword(100).Int(1000000); }}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// ---- the legacy record ----------------------------------------------------

DocumentWriter& LegacyRecord(DocumentWriter& w, std::int32_t version, std::int32_t kind, std::int32_t clockMode,
                             std::uint32_t period)
{
    w.Section(u"DS_TimeLineControl", version).Long(kind).Long(clockMode);
    w.Dword(10).Dword(20).Dword(30).Dword(40); // off min, off max, on min, on max
    w.Dword(60).Dword(70);                     // fade-in, fade-out
    Intervals(w, {{0.5f, 1.5f, 1.0f, 1.0f}, {2.0f, 3.0f, 2.5f, 2.5f}});
    if (version >= 2)
        w.Dword(period);
    return w;
}

TEST(LegacyTiming, AManualRecordBecomesAManualTimeline)
{
    DocumentWriter w;
    LegacyRecord(w, 2, DS_TimeLineControl::kManual, 2, 500);
    MemoryArchive archive(w.Bytes());
    KXI_SmartTiming timing;
    ReadLegacyTiming(archive.Reader(), timing);
    EXPECT_EQ(archive.Remaining(), 0u);

    EXPECT_EQ(timing.Selector(), KXI_SmartTiming::kManual);
    EXPECT_EQ(timing.clockMode.value, 2);
    EXPECT_EQ(timing.clockMode.undo.Current(), 2);
    auto* manual = dynamic_cast<KXI_ManualTimeLine*>(timing.CurrentTimeline());
    ASSERT_NE(manual, nullptr);
    EXPECT_EQ(timing.CachedTimeline(KXI_SmartTiming::kManual), manual);
    EXPECT_FLOAT_EQ(manual->period.Scaled(), 5.0f);
    ASSERT_EQ(manual->intervals.Size(), 2u);
    EXPECT_EQ(*manual->intervals.begin(), (TimeInterval{0.5f, 1.5f, 1.0f, 1.0f}));
}

TEST(LegacyTiming, ARandomRecordBecomesARandomTimelineWithTheRecordsLengths)
{
    DocumentWriter w;
    LegacyRecord(w, 2, DS_TimeLineControl::kRandom, 0, 1000);
    MemoryArchive archive(w.Bytes());
    KXI_SmartTiming timing;
    ReadLegacyTiming(archive.Reader(), timing);

    EXPECT_EQ(timing.Selector(), KXI_SmartTiming::kRandom);
    auto* random = dynamic_cast<KXI_RandomTimeLine*>(timing.CurrentTimeline());
    ASSERT_NE(random, nullptr);
    EXPECT_EQ(random->offLength.min.value, 10u);
    EXPECT_EQ(random->offLength.max.value, 20u);
    EXPECT_EQ(random->onLength.min.value, 30u);
    EXPECT_EQ(random->onLength.max.value, 40u);
    EXPECT_EQ(random->onLength.max.undo.Current(), 40u);
    EXPECT_EQ(random->fadeIn.value, 60u) << "the record's fade, not the timing's default";
    EXPECT_FLOAT_EQ(random->fadeOut.Scaled(), 0.7f);
    EXPECT_FLOAT_EQ(random->CurrentOnLength(), 1.0f) << "drawn at construction from the default 100/100";
}

struct LegacyKindCase {
    std::int32_t version;
    std::int32_t kind;
    std::function<bool(const KXI_Timing*)> isExpectedClass;
    bool replacesTheConstructedTimeline;
};

class LegacyTimingKind : public ::testing::TestWithParam<LegacyKindCase> {};

TEST_P(LegacyTimingKind, InstallsTheTimelineOfItsKind)
{
    const LegacyKindCase& c = GetParam();
    DocumentWriter w;
    LegacyRecord(w, c.version, c.kind, 1, 700);
    w.Byte(0xAB); // the byte after the record stays unread
    MemoryArchive archive(w.Bytes());
    KXI_SmartTiming timing;
    KXI_Timing* constructed = timing.CurrentTimeline();
    ReadLegacyTiming(archive.Reader(), timing);
    EXPECT_EQ(archive.Remaining(), 1u) << "version " << c.version << " reads exactly its fields";
    EXPECT_EQ(timing.Selector(), c.kind);
    EXPECT_EQ(timing.clockMode.value, 1);
    EXPECT_TRUE(c.isExpectedClass(timing.CurrentTimeline()));
    EXPECT_EQ(timing.CurrentTimeline() != constructed, c.replacesTheConstructedTimeline);
    if (auto* manual = dynamic_cast<KXI_ManualTimeLine*>(timing.CurrentTimeline())) {
        EXPECT_EQ(manual->period.value, c.version >= 2 ? 700u : 1000u);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, LegacyTimingKind,
                         ::testing::Values(LegacyKindCase{2, 0, Is<KXI_ContinuesTimeLine>, true},
                                           LegacyKindCase{2, 1, Is<KXI_RandomTimeLine>, true},
                                           LegacyKindCase{2, 2, Is<KXI_ManualTimeLine>, true},
                                           LegacyKindCase{1, 2, Is<KXI_ManualTimeLine>, true},
                                           LegacyKindCase{0, 1, Is<KXI_RandomTimeLine>, true},
                                           LegacyKindCase{2, 3, Is<KXI_ContinuesTimeLine>, false},
                                           LegacyKindCase{2, -5, Is<KXI_ContinuesTimeLine>, false}));

// ---- writing mirrors reading ----------------------------------------------

std::vector<std::uint8_t> Saved(const DS_IOF_Item& item)
{
    RecordingArchive archive;
    item.Save(archive.Writer());
    return archive.writer.Bytes();
}

TEST(TimingSave, WritesTheRecordsItReads)
{
    KXI_SmartTiming timing;
    timing.SetValue(KXI_SmartTiming::kManual, nullptr);
    timing.clockMode.QuietSet(2);
    timing.flags = 1;
    auto& manual = static_cast<KXI_ManualTimeLine&>(*timing.CurrentTimeline());
    manual.period.QuietSet(750);
    manual.intervals.Insert({1, 2, 1.25f, 1.75f});
    DocumentWriter expected;
    SmartTimingHeader(expected, 2, 2, 1);
    ManualRecord(expected, 750, {{1, 2, 1.25f, 1.75f}});
    EXPECT_EQ(Saved(timing), expected.Bytes());

    KXI_RandomTimeLine random;
    random.offLength.max.QuietSet(300);
    RandomLengths lengths;
    lengths.offMax = 300;
    DocumentWriter randomBytes;
    RandomRecord(randomBytes, lengths);
    EXPECT_EQ(Saved(random), randomBytes.Bytes());

    KXI_DependedTimeLine depended;
    depended.link.StoreValue(TestGuid(9));
    depended.mode.StoreValue(1);
    DocumentWriter dependedBytes;
    DependedRecord(dependedBytes, 2, TestGuid(9));
    EXPECT_EQ(Saved(depended), dependedBytes.Bytes());

    KXI_ContinuesTimeLine continuous;
    DocumentWriter continuousBytes;
    ContinuousRecord(continuousBytes);
    EXPECT_EQ(Saved(continuous), continuousBytes.Bytes());
}

TEST(TimingSave, TheLegacyRecordRoundTrips)
{
    DocumentWriter w;
    LegacyRecord(w, 2, DS_TimeLineControl::kManual, 1, 900);
    MemoryArchive archive(w.Bytes());
    DS_TimeLineControl record;
    record.Read(archive.Reader());
    EXPECT_EQ(Saved(record), w.Bytes());
}

} // namespace

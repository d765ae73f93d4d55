// Sprite properties: the stored section of every version, the legacy
// pictures of version 1 turned into links, cloning, the two clocks, the
// timeline alpha and the frame-strip answers.

#include <gtest/gtest.h>

#include <limits>

#include "render/DocResManager.h"
#include "render/Timelines.h"
#include "tests/render/RenderObjectTestSupport.h"
#include "tests/support/DescriptionWriter.h"

namespace {

using namespace render_object_test;
using namespace description_writer;

// Fields with values that differ from every default, so that each read
// (and each field left alone) shows.
SpriteFields DistinctSprite(std::int32_t version)
{
    SpriteFields f;
    f.version = version;
    f.view.animationRate = 60;
    f.view.base.name = u"Sparkles";
    f.view.base.guid = TestGuid(21);
    f.spriteCount = 12;
    f.animationRate = 90;
    f.spriteSize = 32;
    f.transparency = 50;
    f.blendMode = 1;
    f.colour = 0x00336699;
    f.floats = {0.5f, 0.25f, 0.75f, 0.5f, 2.0f};
    f.legacyBlobs = {ModuleResourceBlob(u"stars.png"), ModuleResourceBlob(u"stars2.png")};
    f.legacyBlob = ModuleResourceBlob(7, u"common_res.dll");
    f.spriteImage = {u"common_res.dll", 40};
    f.secondImage = {u"C:\\pics\\glow.png", 1234};
    f.frameLayoutValue = 3;
    f.frameLayoutFloat = 1.5f;
    f.frameCount = 4;
    f.frameRate = 12.0f;
    f.framesInOneImage = 1;
    f.legacyValues = {100, 200};
    f.imageKind = 2;
    f.flipV = 1;
    f.flipU = 1;
    f.redrawOnFrameChange = 1;
    f.speed = 50;
    return f;
}

std::vector<std::uint8_t> SpriteBytes(const SpriteFields& fields)
{
    DocumentWriter w;
    WriteSprite(w, fields);
    return w.Bytes();
}

void ReadSprite(std::span<const std::uint8_t> bytes, DS_BaseSpriteProp& sprite)
{
    MemoryArchive archive(bytes);
    sprite.DS_BaseSpriteProp::Load(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
}

class SpriteSectionTest : public testing::TestWithParam<std::int32_t> {};

TEST_P(SpriteSectionTest, ReadsWhatItsVersionStores)
{
    const std::int32_t v = GetParam();
    TestDescription sprite;
    ReadSprite(SpriteBytes(DistinctSprite(v)), sprite);

    // Every version: the levels below, and the common fields.
    EXPECT_EQ(sprite.name, u"Sparkles");
    EXPECT_EQ(sprite.guid, TestGuid(21));
    EXPECT_EQ(sprite.spriteCount.value, 12u);
    EXPECT_EQ(sprite.spriteSize.value, 32u);
    EXPECT_EQ(sprite.transparency.value, 50u);
    EXPECT_EQ(sprite.blendMode.value, 1);
    EXPECT_EQ(sprite.colour.value, 0x00336699u);
    EXPECT_FLOAT_EQ(sprite.brightnessRate, 0.5f);
    EXPECT_FLOAT_EQ(sprite.brightnessMin, 0.25f);
    EXPECT_FLOAT_EQ(sprite.brightnessMax, 0.75f);
    EXPECT_FLOAT_EQ(sprite.scaleMin, 0.5f);
    EXPECT_FLOAT_EQ(sprite.scaleMax, 2.0f);
    EXPECT_EQ(sprite.frameLayoutValue, 3u);
    EXPECT_FLOAT_EQ(sprite.frameLayoutFloat, 1.5f);
    EXPECT_EQ(sprite.frameCount, 4u);
    EXPECT_FLOAT_EQ(sprite.frameRate, 12.0f);
    EXPECT_EQ(sprite.framesInOneImage, 1);

    // Before version 3 the rate lived here and overrides the view's.
    EXPECT_EQ(sprite.animationRate.value, v < 3 ? 90u : 60u);

    // Version 1 keeps its pictures inside; later versions link them.
    if (v == 1) {
        EXPECT_EQ(sprite.legacyBlobs.size(), 2u);
        EXPECT_EQ(sprite.legacyBlob.ResourceId(), 7);
        EXPECT_EQ(sprite.legacyValues, (std::vector<std::uint32_t>{100, 200}));
        EXPECT_TRUE(sprite.spriteImage.Path().empty());
    } else {
        EXPECT_TRUE(sprite.legacyBlobs.empty());
        EXPECT_TRUE(sprite.legacyValues.empty());
        EXPECT_EQ(sprite.spriteImage.Key(), (LinkKey{u"common_res.dll", 40}));
        EXPECT_EQ(sprite.secondImage.Key(), (LinkKey{u"C:\\pics\\glow.png", 1234}));
    }

    EXPECT_EQ(sprite.imageKind, v >= 4 ? 2 : 0);
    EXPECT_EQ(sprite.flipV.value, v >= 5 ? 1 : 0);
    EXPECT_EQ(sprite.flipU.value, v >= 5 ? 1 : 0);
    EXPECT_EQ(sprite.redrawOnFrameChange.value, v >= 6 ? 1 : 0);
    EXPECT_EQ(sprite.speed.value, v >= 7 ? 50u : 100u);
    EXPECT_FLOAT_EQ(sprite.SpeedFactor(), v >= 7 ? 0.5f : 1.0f);
}

INSTANTIATE_TEST_SUITE_P(AllVersions, SpriteSectionTest, testing::Range(1, 9));

TEST(SpriteSection, TransparencyIsAnnouncedSoAlphaFollows)
{
    for (auto [percent, alpha] : {std::pair{0u, 255}, std::pair{50u, 127}, std::pair{100u, 0}}) {
        SpriteFields fields = DistinctSprite(7);
        fields.transparency = percent;
        TestDescription sprite;
        ReadSprite(SpriteBytes(fields), sprite);
        EXPECT_EQ(sprite.Alpha(), alpha) << percent;
    }
}

TEST(SpriteSection, HugeLegacyCountIsRefused)
{
    // A version 1 record that claims more pictures than the bytes hold.
    DocumentWriter w;
    w.Section(u"DS_BaseSpriteProp", 1);
    WriteView(w, ViewFields{});
    w.Dword(1).Dword(50).Dword(0).Dword(0).Long(0).Long(0xFFFFFF);
    for (int i = 0; i < 5; ++i)
        w.Float(0.0f);
    w.Int(0x7FFFFFFF);

    TestDescription sprite;
    MemoryArchive archive(w.Bytes());
    EXPECT_THROW(sprite.DS_BaseSpriteProp::Load(archive.Reader()), DS_Error);
}

TEST(SpriteSection, WrittenSectionReadsBack)
{
    TestDescription original;
    ReadSprite(SpriteBytes(DistinctSprite(7)), original);

    RecordingArchive recording;
    original.Save(recording.Writer());
    TestDescription copy;
    ReadSprite(recording.writer.Bytes(), copy);

    EXPECT_EQ(copy.name, original.name);
    EXPECT_EQ(copy.guid, original.guid);
    EXPECT_EQ(copy.spriteCount.value, 12u);
    EXPECT_EQ(copy.transparency.value, 50u);
    EXPECT_EQ(copy.colour.value, 0x00336699u);
    EXPECT_FLOAT_EQ(copy.scaleMax, 2.0f);
    EXPECT_EQ(copy.spriteImage.Key(), original.spriteImage.Key());
    EXPECT_EQ(copy.secondImage.Key(), original.secondImage.Key());
    EXPECT_EQ(copy.frameCount, 4u);
    EXPECT_EQ(copy.imageKind, 2);
    EXPECT_EQ(copy.flipU.value, 1);
    EXPECT_EQ(copy.redrawOnFrameChange.value, 1);
    EXPECT_EQ(copy.speed.value, 50u);
}

TEST(SpriteLegacyPictures, LoadTexturesTurnsThemIntoLinksOnce)
{
    DS_DocResManager manager;
    CurrentDocResManagerScope current(&manager);

    TestDescription sprite;
    ReadSprite(SpriteBytes(DistinctSprite(1)), sprite);
    sprite.LoadTextures();

    // The set is named after its first picture, the blob after its module.
    EXPECT_EQ(sprite.spriteImage.Path(), u"stars.png");
    EXPECT_EQ(sprite.secondImage.Key(), (LinkKey{u"common_res.dll", 7}));
    EXPECT_TRUE(sprite.legacyBlobs.empty());
    EXPECT_TRUE(sprite.legacyValues.empty());

    // Once linked, a second call changes nothing.
    const LinkKey first = sprite.spriteImage.Key();
    sprite.legacyBlobs.push_back(ModuleResourceBlob(u"other.png"));
    sprite.LoadTextures();
    EXPECT_EQ(sprite.spriteImage.Key(), first);
    EXPECT_EQ(sprite.legacyBlobs.size(), 1u);
}

TEST(SpriteLegacyPictures, WithoutManagerNothingIsLost)
{
    TestDescription sprite;
    ReadSprite(SpriteBytes(DistinctSprite(1)), sprite);
    sprite.LoadTextures();
    EXPECT_EQ(sprite.legacyBlobs.size(), 2u);
    EXPECT_EQ(sprite.legacyValues.size(), 2u);
    EXPECT_TRUE(sprite.spriteImage.Path().empty());
}

TEST(SpriteLegacyPictures, BlobWithoutResourceIdLeavesSecondImage)
{
    DS_DocResManager manager;
    CurrentDocResManagerScope current(&manager);
    SpriteFields fields = DistinctSprite(1);
    fields.legacyBlob = ModuleResourceBlob();
    TestDescription sprite;
    ReadSprite(SpriteBytes(fields), sprite);
    sprite.LoadTextures();
    EXPECT_FALSE(sprite.spriteImage.Path().empty());
    EXPECT_TRUE(sprite.secondImage.Path().empty());
}

TEST(SpriteClone, CopiesValuesWithItsOwnObservers)
{
    TestDescription original;
    ReadSprite(SpriteBytes(DistinctSprite(7)), original);
    original.spriteEvent = 1;

    TestDescription clone(original);
    EXPECT_EQ(clone.guid, original.guid);
    EXPECT_EQ(clone.timing.CurrentTimeline(), original.timing.CurrentTimeline());
    EXPECT_EQ(clone.spriteImage.Key(), original.spriteImage.Key());
    EXPECT_EQ(clone.spriteImage.Undo().Link(), &clone.spriteImage);
    EXPECT_EQ(clone.Alpha(), original.Alpha());
    EXPECT_FLOAT_EQ(clone.SpeedFactor(), 0.5f);
    EXPECT_EQ(clone.spriteEvent, 1);
    EXPECT_EQ(clone.frameCount, 4u);

    // Changing the clone's transparency moves only the clone's alpha.
    clone.transparency.SetValue(100, nullptr);
    EXPECT_EQ(clone.Alpha(), 0);
    EXPECT_EQ(original.Alpha(), 127);
}

TEST(SpriteClocks, JumpBackCountsForwardForAnimationOnly)
{
    TestDescription sprite;
    sprite.StepClocks(1.0f);
    EXPECT_FLOAT_EQ(sprite.animationClock, 0.2f); // 1.0 clamped, rate 50 = real time
    EXPECT_FLOAT_EQ(sprite.objectClock, 0.2f);

    sprite.StepClocks(0.5f);
    EXPECT_FLOAT_EQ(sprite.animationStep, 0.2f);
    EXPECT_FLOAT_EQ(sprite.animationClock, 0.4f);
    EXPECT_FLOAT_EQ(sprite.objectStep, 0.0f);
    EXPECT_FLOAT_EQ(sprite.objectClock, 0.2f);

    sprite.StepClocks(0.6f);
    EXPECT_NEAR(sprite.objectStep, 0.1f, 1e-6f);
}

TEST(SpriteClocks, RatesAndSpeedScaleTheSteps)
{
    TestDescription sprite;
    sprite.animationRate.QuietSet(25); // half real time
    sprite.speed.QuietSet(200);        // twice
    sprite.StepClocks(0.1f);
    EXPECT_FLOAT_EQ(sprite.animationStep, 0.05f);
    EXPECT_FLOAT_EQ(sprite.objectStep, 0.2f);
    sprite.StepClocks(10.0f); // a stall counts as 0.2 s
    EXPECT_FLOAT_EQ(sprite.animationStep, 0.1f);
    EXPECT_FLOAT_EQ(sprite.objectStep, 0.4f);
}

// A timeline that reports a fixed level.
class FixedLevelTimeline : public KXI_Timing {
public:
    explicit FixedLevelTimeline(float level) { m_level = level; }
};

TEST(SpriteAlpha, TimelineLevelScalesTheAlpha)
{
    TestDescription sprite;
    sprite.timing.SetValue(KXI_SmartTiming::kManual, nullptr);
    auto* manual = dynamic_cast<KXI_ManualTimeLine*>(sprite.timing.CurrentTimeline());
    ASSERT_NE(manual, nullptr);
    manual->intervals.Insert(TimeInterval{2.0f, 6.0f, 3.0f, 5.0f});
    for (int k = 1; k <= 20; ++k)
        manual->Advance(0.125f * static_cast<float>(k)); // cycle time 2.5: half way up
    ASSERT_FLOAT_EQ(manual->GetValue(), 0.5f);

    EXPECT_EQ(sprite.ApplyTimingAlpha(0x80123456u), 0x40123456u);
    EXPECT_EQ(sprite.ApplyTimingAlpha(0x00ABCDEFu), 0x00ABCDEFu);
}

TEST(SpriteAlpha, LevelOutsideZeroToOneIsClamped)
{
    struct Case {
        float level;
        std::uint32_t expected;
    };
    for (const Case c : {Case{1.5f, 0xFF102030u}, Case{-1.0f, 0x00102030u},
                         Case{std::numeric_limits<float>::quiet_NaN(), 0x00102030u}, Case{1.0f, 0xFF102030u}}) {
        TestDescription sprite;
        sprite.timing.SetTimeline(std::make_unique<FixedLevelTimeline>(c.level));
        EXPECT_EQ(sprite.ApplyTimingAlpha(0xFF102030u), c.expected) << c.level;
    }
}

TEST(SpriteFrames, StripAnswersGuardAnEmptyStrip)
{
    TestDescription sprite;
    sprite.frameCount = 3;
    EXPECT_EQ(sprite.NextFrameIndex(0), 1u);
    EXPECT_EQ(sprite.NextFrameIndex(2), 0u);
    PreviewImage preview;
    sprite.imageKind = 2;
    sprite.GetPreviewImage(preview);
    EXPECT_EQ(preview.link, &sprite.spriteImage);
    EXPECT_EQ(preview.imageKind, 2);
    EXPECT_FLOAT_EQ(preview.frameStart, 0.0f);
    EXPECT_FLOAT_EQ(preview.frameWidth, 1.0f / 3.0f);

    sprite.frameCount = 0;
    EXPECT_EQ(sprite.NextFrameIndex(5), 0u);
    sprite.GetPreviewImage(preview);
    EXPECT_FLOAT_EQ(preview.frameWidth, 1.0f);
}

TEST(SpriteBase, CountsLimitAndLinks)
{
    TestDescription sprite;
    EXPECT_FALSE(sprite.CountLimitReached(10));
    EXPECT_TRUE(sprite.CountLimitReached(11));
    sprite.spriteCount.QuietSet(7);
    EXPECT_EQ(sprite.ActiveSpriteCount(), 7u);

    sprite.spriteImage.StorePathAndId(u"common_res.dll", 40);
    sprite.colour.QuietSet(0x00112233);
    FileLinkList links;
    sprite.CollectFileLinks(links);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].link->Key(), (LinkKey{u"common_res.dll", 40}));
    EXPECT_EQ(links[0].link->Undo().Link(), links[0].link.get());
    EXPECT_EQ(links[0].link->Undo().Current(), (LinkKey{u"common_res.dll", 40}));
    EXPECT_EQ(links[0].colour, 0x00112233u);
}

} // namespace

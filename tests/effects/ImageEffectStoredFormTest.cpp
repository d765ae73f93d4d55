// Stored image effects through the document writer and the readers: the
// DS_FX_Constructor level in its versions, each class level, and the
// version conversions of the move effect and light II.

#include "effects/PatternBrush.h"
#include "effects/WaterMoveFX.h"
#include "effects/WavesLightFX.h"
#include "objectmodel/DocumentError.h"
#include "tests/effects/ImageEffectTestSupport.h"
#include "tests/support/RecordingArchive.h"

namespace image_effect_test {
namespace {

using namespace image_effect_writer;

const crt::Guid kKey = crt::ParseGuid("{11223344-5566-4778-899A-ABBCCDDEEFF0}");

FxFields Fx(std::int32_t version)
{
    FxFields fx;
    fx.version = version;
    fx.speed = 7;
    fx.mode = 1;
    fx.guid = kKey;
    fx.keyName = u"mask";
    fx.keyFlag = 0;
    fx.effectLink = {u"effects.dll", 42};
    fx.scale = 25;
    for (int i = 0; i < 12; ++i)
        fx.region[i] = float(i + 1);
    fx.extraInt = 9;
    fx.phaseOffset = 25;
    return fx;
}

TEST(ImageEffectStoredFormTest, FxLevelVersionsKeepDefaultsForWhatTheyLack)
{
    struct Case {
        std::int32_t version;
        float scale;
        float firstCornerX;
        std::int32_t extraInt;
        float phaseOffset;
    };
    const Case cases[] = {
        {1, 1.0f, 0.0f, 0, 0.0f},
        {2, 0.5f, 0.0f, 0, 0.0f},
        {3, 0.5f, 1.0f, 9, 0.0f},
        {4, 0.5f, 1.0f, 9, 25 * DS_FX_Constructor::kPhaseOffsetFactor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        MoveFields move;
        move.direction.fx = Fx(c.version);
        DocumentWriter w;
        WriteMove(w, move);
        const auto fx = ReadRecord<DS_MoveFX>(w);
        ASSERT_TRUE(fx);
        EXPECT_EQ(fx->speed.value, 7u);
        EXPECT_EQ(fx->mode.value, 1);
        EXPECT_EQ(fx->key.guid, kKey);
        EXPECT_EQ(fx->key.name, u"mask");
        EXPECT_EQ(fx->key.flag, 0);
        EXPECT_EQ(fx->effectLink.Path(), u"effects.dll");
        EXPECT_EQ(fx->effectLink.Id(), 42);
        EXPECT_FLOAT_EQ(fx->scale.Scaled(), c.scale);
        EXPECT_EQ(fx->region.corners[0].value.x, c.firstCornerX);
        EXPECT_EQ(fx->extraInt.value, c.extraInt);
        EXPECT_FLOAT_EQ(fx->phaseOffset.Scaled(), c.phaseOffset);
    }
}

TEST(ImageEffectStoredFormTest, OldSectionsResetAPhaseOffsetTheObjectHad)
{
    DS_MoveFX fx;
    fx.phaseOffset.SetValue(40, nullptr);
    DocumentWriter w;
    MoveFields move;
    move.direction.fx = Fx(3);
    WriteDirectionLevel(w, move.direction);
    MemoryArchive archive(w.Bytes());
    DS_DirectionBased::Load(archive.Reader(), fx);
    EXPECT_EQ(fx.phaseOffset.value, 0u);
    EXPECT_EQ(fx.phaseOffset.Scaled(), 0.0f);
}

TEST(ImageEffectStoredFormTest, EachClassLevelReadsItsOwnValues)
{
    {
        PatternFields f;
        f.pattern = {u"pictures\\tile.bmp", 3};
        f.flipY = 1;
        f.angle = 90;
        f.tileSize = 200;
        f.offsetX = 10;
        f.offsetY = 20;
        DocumentWriter w;
        WritePatternBrush(w, f);
        const auto fx = ReadRecord<DS_PatternBrush>(w);
        ASSERT_TRUE(fx);
        EXPECT_EQ(fx->patternLink.Path(), u"pictures\\tile.bmp");
        EXPECT_EQ(fx->flipY.value, 1);
        EXPECT_EQ(fx->flipX.value, 0);
        EXPECT_EQ(fx->angle.value, 90u);
        EXPECT_FLOAT_EQ(fx->tileSize.Scaled(), 2.0f);
        EXPECT_FLOAT_EQ(fx->offsetX.Scaled(), -0.1f);
        EXPECT_FLOAT_EQ(fx->offsetY.Scaled(), 0.2f);
        const DS_FX_Constructor& read = *fx;
        EXPECT_EQ(StoredClassNameOf(typeid(read)), u"DS_PatternBrush");
    }
    {
        // The C form reads the whole pattern level and keeps its own name.
        PatternFields f;
        f.storedAsC = true;
        f.angle = 45;
        DocumentWriter w;
        WritePatternBrush(w, f);
        const auto fx = ReadRecord<DS_PatternBrushC>(w);
        ASSERT_TRUE(fx);
        EXPECT_EQ(fx->angle.value, 45u);
        const auto clone = fx->Clone();
        const DS_FX_Constructor& read = *fx;
        const DS_FX_Constructor& cloned = *clone;
        EXPECT_EQ(StoredClassNameOf(typeid(read)), u"DS_PatternBrushC");
        EXPECT_EQ(StoredClassNameOf(typeid(cloned)), u"DS_PatternBrushC");
    }
    {
        BackgroundCopyFields f;
        f.rectangle = {1, 2, 3, 4, 64, -8};
        f.flagY = 1;
        DocumentWriter w;
        WriteBackgroundCopy(w, f);
        const auto fx = ReadRecord<DS_BackgroundCopy>(w);
        ASSERT_TRUE(fx);
        EXPECT_EQ(fx->rectangle.left.value, 1);
        EXPECT_EQ(fx->rectangle.bottom.value, 4);
        EXPECT_EQ(fx->rectangle.centreX.value, 64);
        EXPECT_EQ(fx->rectangle.centreY.value, -8);
        EXPECT_EQ(fx->flagY.value, 1);
        EXPECT_EQ(fx->flagX.value, 0);
    }
    {
        WavesFields f;
        f.amplitude = 100;
        f.wavelength = 10;
        f.angle = 90;
        f.reverse = 1;
        DocumentWriter w;
        WriteWaves(w, f);
        const auto fx = ReadRecord<DS_WavesFX>(w);
        ASSERT_TRUE(fx);
        EXPECT_FLOAT_EQ(fx->amplitude.Scaled(), 0.025f);
        EXPECT_FLOAT_EQ(fx->wavelength.Scaled(), 0.006f);
        EXPECT_EQ(fx->angle.value, 90u);
        EXPECT_EQ(fx->reverse.value, 1);
    }
    {
        LightFields f;
        f.strength = 80;
        f.flickerMode = 2;
        DocumentWriter w;
        WriteLight(w, f);
        const auto fx = ReadRecord<DS_LightFX>(w);
        ASSERT_TRUE(fx);
        EXPECT_FLOAT_EQ(fx->strength.Scaled(), 0.8f);
        EXPECT_EQ(fx->flickerMode.value, 2);
    }
    {
        UnderwaterFields f;
        f.amplitude = 80;
        f.wavelength = 100;
        DocumentWriter w;
        WriteUnderwater(w, f);
        const auto fx = ReadRecord<DS_UnderwaterFX>(w);
        ASSERT_TRUE(fx);
        EXPECT_FLOAT_EQ(fx->amplitude.Scaled(), 0.01f);
        EXPECT_FLOAT_EQ(fx->wavelength.Scaled(), 0.201f);
    }
    {
        WaterFields f;
        f.shape = 30;
        f.angle = 0;
        f.colour = 0x00FF8040;
        f.bump = {u"pictures\\bump.png", 5};
        DocumentWriter w;
        WriteWater(w, f);
        const auto fx = ReadRecord<DS_WaterFX>(w);
        ASSERT_TRUE(fx);
        EXPECT_FLOAT_EQ(fx->shape.Scaled(), 0.003f);
        EXPECT_EQ(fx->angle.value, 0u);
        EXPECT_EQ(fx->colour.value, 0x00FF8040u);
        EXPECT_EQ(fx->bumpLink.Path(), u"pictures\\bump.png");
        // The runtime clone turns its direction by the stored angle.
        const auto clone = fx->Clone();
        EXPECT_NEAR(static_cast<DS_WaterFX&>(*clone).direction.x, 1.0f, 1e-6f);
    }
}

TEST(ImageEffectStoredFormTest, LightTwoVersionOneTakesEffect190AndPlaysItsThreeAsSum)
{
    struct Case {
        std::int32_t version;
        std::int32_t blendMode;
        std::int32_t played;
        std::int64_t linkId;
    };
    const Case cases[] = {{1, 3, 4, 190}, {1, 2, 2, 190}, {2, 3, 3, 42}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << " blend " << c.blendMode);
        LightIIFields f;
        f.version = c.version;
        f.blendMode = c.blendMode;
        f.colour = 0x0000FF;
        f.fx = Fx(4);
        DocumentWriter w;
        WriteLightII(w, f);
        const auto fx = ReadRecord<DS_LightFX_II>(w);
        ASSERT_TRUE(fx);
        EXPECT_EQ(fx->blendMode.value, c.played);
        EXPECT_EQ(fx->effectLink.Id(), c.linkId);
        EXPECT_EQ(fx->colour.value, 0x0000FFu);
    }
}

TEST(ImageEffectStoredFormTest, MoveVersionsOneAndTwoConvertKindAndSecondMagnitude)
{
    struct Case {
        std::int32_t version;
        std::int32_t kind;
        std::int32_t playedKind;
        float second;
    };
    // The stored magnitude is 80 (0.016); the stored second magnitude 10.
    const Case cases[] = {{1, 0, 3, 0.016f}, {2, 1, 4, 0.002f}, {3, 1, 1, 0.002f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        MoveFields f;
        f.version = c.version;
        f.kind = c.kind;
        f.secondMagnitude = 10;
        f.direction.magnitude = 80;
        DocumentWriter w;
        WriteMove(w, f);
        const auto fx = ReadRecord<DS_MoveFX>(w);
        ASSERT_TRUE(fx);
        EXPECT_EQ(fx->kind.value, c.playedKind);
        EXPECT_FLOAT_EQ(fx->magnitude.Scaled(), 0.016f);
        EXPECT_FLOAT_EQ(fx->secondMagnitude.Scaled(), c.second);
    }
}

// What each class saves reads back as the same values (the writers mirror
// the readers, version by version).
template <class T>
std::unique_ptr<T> SavedAndRead(const T& fx)
{
    RecordingArchive archive;
    fx.Save(ArchiveWriter(archive));
    return ReadRecord<T>(archive.writer);
}

TEST(ImageEffectStoredFormTest, WhatEachClassSavesReadsBack)
{
    DS_PatternBrushC pattern;
    pattern.patternLink.StorePathAndId(u"tile.bmp", 4);
    pattern.angle.value = 30;
    pattern.tileSize.SetValue(150, nullptr);
    pattern.key.name = u"named";
    pattern.region.corners[3].value = {5.0f, 6.0f, 7.0f};
    pattern.phaseOffset.SetValue(12, nullptr);
    const auto pattern2 = SavedAndRead(pattern);
    ASSERT_TRUE(pattern2);
    EXPECT_EQ(pattern2->patternLink.Id(), 4);
    EXPECT_EQ(pattern2->angle.value, 30u);
    EXPECT_EQ(pattern2->tileSize.value, 150u);
    EXPECT_EQ(pattern2->key.guid, pattern.key.guid);
    EXPECT_EQ(pattern2->key.name, u"named");
    EXPECT_EQ(pattern2->region.corners[3].value.z, 7.0f);
    EXPECT_EQ(pattern2->phaseOffset.value, 12u);

    DS_BackgroundCopy copy;
    copy.rectangle.centreY.value = 33;
    copy.flagX.value = 1;
    const auto copy2 = SavedAndRead(copy);
    ASSERT_TRUE(copy2);
    EXPECT_EQ(copy2->rectangle.centreY.value, 33);
    EXPECT_EQ(copy2->flagX.value, 1);

    DS_WavesFX waves;
    waves.reverse.value = 1;
    waves.wavelength.SetValue(70, nullptr);
    const auto waves2 = SavedAndRead(waves);
    ASSERT_TRUE(waves2);
    EXPECT_EQ(waves2->reverse.value, 1);
    EXPECT_EQ(waves2->wavelength.value, 70u);
    EXPECT_EQ(waves2->speed.value, 25u);

    DS_LightFX light;
    light.flickerMode.value = 2;
    const auto light2 = SavedAndRead(light);
    ASSERT_TRUE(light2);
    EXPECT_EQ(light2->flickerMode.value, 2);

    DS_LightFX_II overlay;
    overlay.blendMode.value = 3;
    overlay.colour.value = 0x123456;
    const auto overlay2 = SavedAndRead(overlay);
    ASSERT_TRUE(overlay2);
    EXPECT_EQ(overlay2->blendMode.value, 3);
    EXPECT_EQ(overlay2->colour.value, 0x123456u);

    DS_UnderwaterFX underwater;
    underwater.amplitude.SetValue(77, nullptr);
    const auto underwater2 = SavedAndRead(underwater);
    ASSERT_TRUE(underwater2);
    EXPECT_EQ(underwater2->amplitude.value, 77u);

    DS_WaterFX water;
    water.lightHeight.SetValue(5, nullptr);
    water.colour.value = 0x00AABBCC;
    const auto water2 = SavedAndRead(water);
    ASSERT_TRUE(water2);
    EXPECT_EQ(water2->lightHeight.value, 5u);
    EXPECT_EQ(water2->colour.value, 0x00AABBCCu);
    EXPECT_EQ(water2->bumpLink.Id(), 89);

    DS_MoveFX move;
    move.kind.value = 4;
    move.secondMagnitude.SetValue(9, nullptr);
    move.angle.value = 270;
    move.mode.value = 1;
    const auto move2 = SavedAndRead(move);
    ASSERT_TRUE(move2);
    EXPECT_EQ(move2->kind.value, 4);
    EXPECT_EQ(move2->secondMagnitude.value, 9u);
    EXPECT_EQ(move2->angle.value, 270u);
    EXPECT_EQ(move2->mode.value, 1);
}

TEST(ImageEffectStoredFormTest, ATruncatedRecordIsRefused)
{
    RegisterEffectClasses();
    DocumentWriter w;
    WriteWater(w, WaterFields{});
    for (std::size_t cut : {std::size_t(30), w.Size() / 2, w.Size() - 1}) {
        SCOPED_TRACE(cut);
        const std::vector<std::uint8_t> bytes(w.Bytes().begin(), w.Bytes().begin() + std::ptrdiff_t(cut));
        MemoryArchive archive(bytes);
        EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
    }
}

} // namespace
} // namespace image_effect_test

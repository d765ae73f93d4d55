// Stored distortion effects through the document writer and the readers:
// each class level in every version its reader knows, the renumbered kinds
// of older records, what each class saves read back, and cut records.

#include "effects/CentreDistortionFX.h"
#include "objectmodel/DocumentError.h"
#include "tests/effects/ImageEffectTestSupport.h"
#include "tests/support/DistortionEffectWriter.h"
#include "tests/support/RecordingArchive.h"

namespace image_effect_test {
namespace {

using namespace image_effect_writer;

CentralFields Centre(float x, float y)
{
    CentralFields c;
    c.centre = {x, y, 0.0f};
    return c;
}

TEST(DistortionStoredFormTest, ExpandAndBendRenumberTheKindsOfVersionOne)
{
    struct Case {
        std::int32_t version;
        std::int32_t kind;
        std::int32_t expandPlays;
        std::int32_t bendPlays;
    };
    // Version 1 numbered the swinging kinds from 0: expand plays kind + 2,
    // bend kind + 3 (kind 1 reads as sine and noise respectively).
    const Case cases[] = {{1, 1, 3, 4}, {1, 0, 2, 3}, {2, 1, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << " kind " << c.kind);
        ExpandFields expand;
        expand.version = c.version;
        expand.kind = c.kind;
        expand.outward = 60;
        expand.inward = 20;
        expand.central = Centre(10.0f, 20.0f);
        DocumentWriter we;
        WriteExpand(we, expand);
        const auto e = ReadRecord<DS_ExpandFX>(we);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->kind.value, c.expandPlays);
        EXPECT_FLOAT_EQ(e->outward.Scaled(), 0.3f);
        EXPECT_FLOAT_EQ(e->inward.Scaled(), 0.1f);
        EXPECT_EQ(e->centre.value.y, 20.0f);

        BendFields bend;
        bend.version = c.version;
        bend.kind = c.kind;
        bend.amplitudeA = 100;
        bend.bend = 50;
        DocumentWriter wb;
        WriteBend(wb, bend);
        const auto b = ReadRecord<DS_BendFX>(wb);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->kind.value, c.bendPlays);
        EXPECT_FLOAT_EQ(b->amplitudeA.Scaled(), 0.2f);
        EXPECT_FLOAT_EQ(b->bend.Scaled(), 1.0f);
    }
}

TEST(DistortionStoredFormTest, AnOldKindAtTheIntegerLimitWrapsInsteadOfOverflowing)
{
    ExpandFields expand;
    expand.version = 1;
    expand.kind = 0x7FFFFFFF;
    DocumentWriter w;
    WriteExpand(w, expand);
    const auto e = ReadRecord<DS_ExpandFX>(w);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind.value, std::int32_t(0x80000001u));
}

TEST(DistortionStoredFormTest, RadialWaveVersionOneKeepsTheDefaultsVersionsTwoAndThreeReadAlike)
{
    struct Case {
        std::int32_t version;
        float amplitude;
        float width;
        std::int32_t outward;
    };
    const Case cases[] = {{1, 0.0125f, 75.0f, 0}, {2, 0.025f, 35.0f, 1}, {3, 0.025f, 35.0f, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        RadialWaveFields f;
        f.version = c.version;
        f.amplitude = 100;
        f.width = 10;
        f.outward = 1;
        f.central = Centre(3.0f, 4.0f);
        DocumentWriter w;
        WriteRadialWave(w, f);
        const auto fx = ReadRecord<DS_RadialWaveFX>(w);
        ASSERT_TRUE(fx);
        EXPECT_FLOAT_EQ(fx->amplitude.Scaled(), c.amplitude);
        EXPECT_FLOAT_EQ(fx->width.Scaled(), c.width);
        EXPECT_EQ(fx->outwardFlag.value, c.outward);
        EXPECT_EQ(fx->centre.value.x, 3.0f);
    }
}

TEST(DistortionStoredFormTest, RotationReadsItsFields)
{
    RotationFields f;
    f.aspect = 500;
    f.tilt = 30;
    f.reverse = 1;
    DocumentWriter w;
    WriteRotation(w, f);
    const auto fx = ReadRecord<DS_RotationFX>(w);
    ASSERT_TRUE(fx);
    EXPECT_FLOAT_EQ(fx->aspect.Scaled(), 0.5f);
    EXPECT_EQ(fx->tilt.value, 30u);
    EXPECT_EQ(fx->reverse.value, 1);
}

// What each class saves reads back as the same values.
template <class T>
std::unique_ptr<T> SavedAndRead(const T& fx)
{
    RecordingArchive archive;
    fx.Save(ArchiveWriter(archive));
    return ReadRecord<T>(archive.writer);
}

TEST(DistortionStoredFormTest, WhatEachCentreClassSavesReadsBack)
{
    DS_ExpandFX expand;
    expand.kind.value = 4;
    expand.inward.SetValue(33, nullptr);
    expand.centre.value = {7.0f, 8.0f, 0.0f};
    const auto expand2 = SavedAndRead(expand);
    ASSERT_TRUE(expand2);
    EXPECT_EQ(expand2->kind.value, 4);
    EXPECT_EQ(expand2->inward.value, 33u);
    EXPECT_EQ(expand2->centre.value.y, 8.0f);
    EXPECT_EQ(expand2->effectLink.Id(), kCommonResExpandEffect);

    DS_RadialWaveFX wave;
    wave.outwardFlag.value = 1;
    wave.wavelength.SetValue(70, nullptr);
    const auto wave2 = SavedAndRead(wave);
    ASSERT_TRUE(wave2);
    EXPECT_EQ(wave2->outwardFlag.value, 1);
    EXPECT_EQ(wave2->wavelength.value, 70u);

    DS_RotationFX rotation;
    rotation.tilt.value = 45;
    rotation.aspect.SetValue(2000, nullptr);
    const auto rotation2 = SavedAndRead(rotation);
    ASSERT_TRUE(rotation2);
    EXPECT_EQ(rotation2->tilt.value, 45u);
    EXPECT_EQ(rotation2->aspect.value, 2000u);
    EXPECT_EQ(rotation2->effectLink.Path(), u"");

    DS_BendFX bend;
    bend.kind.value = 3;
    bend.amplitudeB.SetValue(12, nullptr);
    const auto bend2 = SavedAndRead(bend);
    ASSERT_TRUE(bend2);
    EXPECT_EQ(bend2->kind.value, 3);
    EXPECT_EQ(bend2->amplitudeB.value, 12u);
}

TEST(DistortionStoredFormTest, ATruncatedRecordIsRefused)
{
    RegisterEffectClasses();
    DocumentWriter w;
    WriteBend(w, BendFields{});
    for (std::size_t cut : {std::size_t(20), w.Size() / 2, w.Size() - 1}) {
        SCOPED_TRACE(cut);
        const std::vector<std::uint8_t> bytes(w.Bytes().begin(), w.Bytes().begin() + std::ptrdiff_t(cut));
        MemoryArchive archive(bytes);
        EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
    }
}

} // namespace
} // namespace image_effect_test

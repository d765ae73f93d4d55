// Stored distortion effects through the document writer and the readers:
// each class level in every version its reader knows, the renumbered kinds
// of older records, what each class saves read back, and cut records.

#include "effects/CentreDistortionFX.h"
#include "effects/FlowFieldFX.h"
#include "effects/LineDistortionFX.h"
#include "effects/WaterfallCloudFX.h"
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

TEST(DistortionStoredFormTest, PerspectiveVersionOneTurnsItsTiltIntoASineSwingToOneSide)
{
    struct Case {
        std::int32_t version;
        std::int32_t kindOrSide;
        std::uint32_t a, b;
        std::int32_t kind;
    };
    // A stored 40, B stored 25 (read from version 3 only).
    const Case cases[] = {
        {1, 1, 0, 40, 3}, // side 1: A goes to B
        {1, 0, 40, 0, 3}, // side 0: A stays, B 0
        {2, 4, 40, 0, 4},
        {3, 2, 40, 25, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version << " stored " << c.kindOrSide);
        PerspectiveFields f;
        f.version = c.version;
        f.amplitudeA = 40;
        f.depth = 3;
        f.kind = c.kindOrSide;
        f.sideFlag = c.kindOrSide;
        f.amplitudeB = 25;
        f.line.angle = 30;
        f.line.centre = {5.0f, 6.0f, 0.0f};
        DocumentWriter w;
        WritePerspective(w, f);
        const auto fx = ReadRecord<DS_PerspectiveFX>(w);
        ASSERT_TRUE(fx);
        EXPECT_EQ(fx->amplitudeA.value, c.a);
        EXPECT_EQ(fx->amplitudeB.value, c.b);
        EXPECT_EQ(fx->kind.value, c.kind);
        EXPECT_FLOAT_EQ(fx->depth.Scaled(), 30.0f);
        EXPECT_EQ(fx->lineDirection.value, 30u);
        EXPECT_EQ(fx->centre.value.y, 6.0f);
    }
    // Side 1 of the edge case: B is 40 x 0.002.
    PerspectiveFields f;
    f.version = 1;
    f.amplitudeA = 40;
    f.sideFlag = 1;
    DocumentWriter w;
    WritePerspective(w, f);
    const auto fx = ReadRecord<DS_PerspectiveFX>(w);
    ASSERT_TRUE(fx);
    EXPECT_FLOAT_EQ(fx->amplitudeB.Scaled(), 0.08f);
}

TEST(DistortionStoredFormTest, StretchWaterfallAndCloudReadTheirFields)
{
    {
        StretchFields f;
        f.kind = 1;
        f.amplitudeA = 30;
        f.amplitudeB = 70;
        f.line.angle = 90;
        DocumentWriter w;
        WriteStretch(w, f);
        const auto fx = ReadRecord<DS_StretchFX>(w);
        ASSERT_TRUE(fx);
        EXPECT_EQ(fx->kind.value, 1);
        EXPECT_FLOAT_EQ(fx->amplitudeA.Scaled(), 0.3f);
        EXPECT_FLOAT_EQ(fx->amplitudeB.Scaled(), 0.7f);
        EXPECT_EQ(fx->lineDirection.value, 90u);
    }
    {
        // The stored layer count is kept as stored, however large.
        WaterfallFields f;
        f.translucency = 40;
        f.layers = 0xFFFFFFFFu;
        f.noiseAmplitude = 120;
        f.spare = 9;
        f.threshold = 300;
        f.noise = {u"pictures\\noise.bmp", 12};
        f.baseColour = 0x00804020;
        f.hidden = 1;
        f.direction.magnitude = 250;
        f.direction.angle = 270;
        DocumentWriter w;
        WriteWaterfall(w, f);
        const auto fx = ReadRecord<DS_WaterfallFX>(w);
        ASSERT_TRUE(fx);
        EXPECT_FLOAT_EQ(fx->translucency.Scaled(), 0.6f);
        EXPECT_EQ(fx->layerCount.value, 0xFFFFFFFFu);
        EXPECT_TRUE(fx->layers.empty());
        EXPECT_FLOAT_EQ(fx->noiseAmplitude.Scaled(), 0.012f);
        EXPECT_EQ(fx->spare.value, 9u);
        EXPECT_FLOAT_EQ(fx->threshold.Scaled(), 0.7f);
        EXPECT_EQ(fx->noiseLink.Path(), u"pictures\\noise.bmp");
        EXPECT_EQ(fx->noiseLink.Id(), 12);
        EXPECT_EQ(fx->baseColour.value, 0x00804020u);
        EXPECT_EQ(fx->hidden.value, 1);
        EXPECT_FLOAT_EQ(fx->magnitude.Scaled(), 1.0f);
        EXPECT_EQ(fx->angle.value, 270u);
    }
    {
        CloudFields f;
        f.colour1 = 0x00FFFFFF;
        f.colour2 = 0x00A0A0A0;
        f.cloud = {u"pictures\\clouds.bmp", 3};
        f.second = {u"pictures\\other.bmp", 4};
        f.threshold = 50;
        f.density = 25;
        f.horizon = 100;
        f.height = 8;
        f.shift = 20;
        f.flip = 1;
        f.spare1 = 10;
        f.spare2 = 5;
        DocumentWriter w;
        WriteCloud(w, f);
        const auto fx = ReadRecord<DS_CloudFX>(w);
        ASSERT_TRUE(fx);
        EXPECT_EQ(fx->colour1.value, 0x00FFFFFFu);
        EXPECT_EQ(fx->colour2.value, 0x00A0A0A0u);
        EXPECT_EQ(fx->cloudLink.Path(), u"pictures\\clouds.bmp");
        EXPECT_EQ(fx->secondLink.Id(), 4);
        EXPECT_FLOAT_EQ(fx->threshold.Scaled(), 2.0f);
        EXPECT_FLOAT_EQ(fx->density.Scaled(), 0.5f);
        EXPECT_FLOAT_EQ(fx->perspective.horizon.Scaled(), 3.0f);
        EXPECT_FLOAT_EQ(fx->perspective.height.Scaled(), 2.0f);
        EXPECT_FLOAT_EQ(fx->perspective.shift.Scaled(), 0.2f);
        EXPECT_EQ(fx->perspective.flip.value, 1);
        EXPECT_FLOAT_EQ(fx->perspective.spare1.Scaled(), 2.0f);
        EXPECT_EQ(fx->perspective.spare2.value, 5u);
    }
}

TEST(DistortionStoredFormTest, FlowsReadTheirFieldsAndRadialVersionOneLeavesTheFlagZero)
{
    for (std::int32_t version : {1, 2}) {
        SCOPED_TRACE(version);
        RadialFlowFields f;
        f.version = version;
        f.amplitude = 100;
        f.outward = 1;
        DocumentWriter w;
        WriteRadialFlow(w, f);
        const auto fx = ReadRecord<DS_VarrowRadial>(w);
        ASSERT_TRUE(fx);
        EXPECT_FLOAT_EQ(fx->amplitude.Scaled(), 0.5f);
        EXPECT_EQ(fx->outwardFlag.value, version == 1 ? 0 : 1);
    }
    VortexFields v;
    v.deform = 500;
    v.angle = 45;
    v.reverse = 2;
    v.amplitude = 40;
    DocumentWriter wv;
    WriteVortex(wv, v);
    const auto vortex = ReadRecord<DS_VarrowVortical>(wv);
    ASSERT_TRUE(vortex);
    EXPECT_FLOAT_EQ(vortex->ellipseDeform.Scaled(), 0.5f);
    EXPECT_EQ(vortex->ellipseAngle.value, 45u);
    EXPECT_EQ(vortex->reverse.value, 2);
    EXPECT_FLOAT_EQ(vortex->amplitude.Scaled(), 0.2f);

    LinearFlowFields l;
    l.direction.magnitude = 100;
    l.direction.angle = 90;
    DocumentWriter wl;
    WriteLinearFlow(wl, l);
    const auto linear = ReadRecord<DS_VarrowLinear>(wl);
    ASSERT_TRUE(linear);
    EXPECT_FLOAT_EQ(linear->magnitude.Scaled(), 0.2f);
    // The runtime clone turns its direction by the stored angle.
    const auto clone = linear->Clone();
    EXPECT_NEAR(static_cast<DS_VarrowLinear&>(*clone).direction.y, -1.0f, 1e-6f);
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

TEST(DistortionStoredFormTest, WhatEachLineFlowWaterfallAndCloudClassSavesReadsBack)
{
    DS_PerspectiveFX perspective;
    perspective.kind.value = 2;
    perspective.amplitudeB.SetValue(17, nullptr);
    perspective.depth.SetValue(4, nullptr);
    const auto perspective2 = SavedAndRead(perspective);
    ASSERT_TRUE(perspective2);
    EXPECT_EQ(perspective2->kind.value, 2);
    EXPECT_EQ(perspective2->amplitudeB.value, 17u);
    EXPECT_EQ(perspective2->depth.value, 4u);

    DS_StretchFX stretch;
    stretch.kind.value = 3;
    stretch.amplitudeB.SetValue(8, nullptr);
    const auto stretch2 = SavedAndRead(stretch);
    ASSERT_TRUE(stretch2);
    EXPECT_EQ(stretch2->kind.value, 3);
    EXPECT_EQ(stretch2->amplitudeB.value, 8u);

    DS_VarrowLinear linear;
    linear.angle.value = 120;
    const auto linear2 = SavedAndRead(linear);
    ASSERT_TRUE(linear2);
    EXPECT_EQ(linear2->angle.value, 120u);

    DS_VarrowRadial radial;
    radial.outwardFlag.value = 1;
    radial.amplitude.SetValue(5, nullptr);
    const auto radial2 = SavedAndRead(radial);
    ASSERT_TRUE(radial2);
    EXPECT_EQ(radial2->outwardFlag.value, 1);
    EXPECT_EQ(radial2->amplitude.value, 5u);

    DS_VarrowVortical vortex;
    vortex.reverse.value = 1;
    vortex.ellipseAngle.value = 10;
    const auto vortex2 = SavedAndRead(vortex);
    ASSERT_TRUE(vortex2);
    EXPECT_EQ(vortex2->reverse.value, 1);
    EXPECT_EQ(vortex2->ellipseAngle.value, 10u);

    DS_WaterfallFX waterfall;
    waterfall.layerCount.value = 6;
    waterfall.baseColour.value = 0x102030;
    waterfall.noiseLink.StorePathAndId(u"noise.bmp", 2);
    const auto waterfall2 = SavedAndRead(waterfall);
    ASSERT_TRUE(waterfall2);
    EXPECT_EQ(waterfall2->layerCount.value, 6u);
    EXPECT_EQ(waterfall2->baseColour.value, 0x102030u);
    EXPECT_EQ(waterfall2->noiseLink.Id(), 2);

    DS_CloudFX cloud;
    cloud.perspective.flip.value = 1;
    cloud.perspective.height.SetValue(3, nullptr);
    cloud.colour2.value = 0xABCDEF;
    cloud.cloudLink.StorePathAndId(u"clouds.bmp", 9);
    const auto cloud2 = SavedAndRead(cloud);
    ASSERT_TRUE(cloud2);
    EXPECT_EQ(cloud2->perspective.flip.value, 1);
    EXPECT_EQ(cloud2->perspective.height.value, 3u);
    EXPECT_EQ(cloud2->colour2.value, 0xABCDEFu);
    EXPECT_EQ(cloud2->cloudLink.Id(), 9);
}

TEST(DistortionStoredFormTest, ATruncatedRecordIsRefused)
{
    RegisterEffectClasses();
    DocumentWriter bend, waterfall, cloud, perspective;
    WriteBend(bend, BendFields{});
    WriteWaterfall(waterfall, WaterfallFields{});
    WriteCloud(cloud, CloudFields{});
    WritePerspective(perspective, PerspectiveFields{});
    for (const DocumentWriter* w : {&bend, &waterfall, &cloud, &perspective}) {
        for (std::size_t cut : {std::size_t(20), w->Size() / 2, w->Size() - 1}) {
            SCOPED_TRACE(cut);
            const std::vector<std::uint8_t> bytes(w->Bytes().begin(), w->Bytes().begin() + std::ptrdiff_t(cut));
            MemoryArchive archive(bytes);
            EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
        }
    }
}

} // namespace
} // namespace image_effect_test

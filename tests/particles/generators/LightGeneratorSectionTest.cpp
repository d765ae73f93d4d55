// Stored sections of the generators that leave trails of light: every
// section read from the writer's bytes and written back byte for byte, the
// origin section without its spread, and the lightning's older record with
// its timing numbers turned into a random timeline.

#include <gtest/gtest.h>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"
#include "particles/generators/FallingStars.h"
#include "particles/generators/Firework.h"
#include "particles/generators/GeneratorClasses.h"
#include "particles/generators/Lightning.h"
#include "particles/generators/Smoke.h"
#include "render/Timelines.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/LightGeneratorWriter.h"
#include "tests/particles/generators/GeneratorRecordSupport.h"

namespace {

using namespace generator_writer;

using generator_test::ReadRecord;
using generator_test::Saved;

TexGeneratorFields SomeTexturedFields()
{
    TexGeneratorFields textured;
    textured.textures = {{u"star.png", 1}, {u"trail.png", 2}, {u"glow.png", 3}, {u"glow2.png", 4}};
    textured.effect = {u"glow.fx", 9};
    textured.colour = 0x2040FF;
    textured.opacity = 80;
    textured.colour2 = 0x10FF10;
    textured.opacity2 = 60;
    textured.generator.lifetime = 150;
    textured.generator.rate = 12;
    textured.generator.size = 30;
    textured.generator.speed = 40;
    textured.generator.emissionSwitch = 1;
    textured.generator.base.name = u"Sky";
    return textured;
}

FallingStarsFields SomeStars()
{
    FallingStarsFields stars;
    stars.starSpeed = 25;
    stars.starRate = 50;
    stars.direction = 90;
    stars.starSize = 16;
    stars.glowFactor = 75;
    stars.holdTime = 200;
    stars.fadeInTime = 100;
    stars.fadeOutTime = 100;
    stars.region = RectangleQuad(320, 100, 640, 200);
    stars.textured = SomeTexturedFields();
    return stars;
}

OriginGeneratorFields SomeOrigin()
{
    OriginGeneratorFields origin;
    origin.launchLifetime = 100;
    origin.launchRate = 3;
    origin.launchSize = 40;
    origin.direction = 90;
    origin.spread = 20;
    origin.originSpeed = 60;
    origin.base.position = {300.0f, 400.0f, 0.0f};
    origin.base.textured = SomeTexturedFields();
    return origin;
}

LightningFields SomeLightning(std::int32_t version)
{
    LightningFields bolt;
    bolt.version = version;
    bolt.coreWidth = 6;
    bolt.passes = 5;
    bolt.jaggedness = 50;
    bolt.seed = 77;
    bolt.branchLength = 40;
    bolt.branchAngle = 30;
    bolt.endWidth = 60;
    bolt.branches = 3;
    bolt.subBranches = 2;
    bolt.twigs = 4;
    bolt.legacyTiming = {1000, 2000, 3000, 4000, 5000, 6000, 7000};
    bolt.flicker = 30;
    bolt.glowWidth = 24;
    bolt.randomFlag = 0;
    bolt.string.start = {100.0f, 10.0f, 0.0f};
    bolt.string.end = {160.0f, 300.0f, 0.0f};
    bolt.string.textured = SomeTexturedFields();
    return bolt;
}

TEST(LightGeneratorSectionTest, FallingStarsReadWholeAndWriteBack)
{
    DocumentWriter writer;
    WriteFallingStars(writer, SomeStars());
    const auto stars = ReadRecord<DS_FallingStars>(writer);
    ASSERT_NE(stars, nullptr);
    EXPECT_FLOAT_EQ(stars->starSpeed.Scaled(), 200.0f);
    EXPECT_EQ(stars->starRate.value, 50u);
    EXPECT_FLOAT_EQ(stars->direction.Direction().y, 1.0f);
    EXPECT_EQ(stars->starSize.value, 16u);
    EXPECT_FLOAT_EQ(stars->glowFactor.Scaled(), 4.0f);
    EXPECT_FLOAT_EQ(stars->holdTime.Scaled(), 2.0f);
    EXPECT_FLOAT_EQ(stars->fadeInTime.Scaled(), 1.0f);
    EXPECT_EQ(stars->region.corners[3].value, (math::Vec3{640.0f, 200.0f, 0.0f}));
    EXPECT_EQ(stars->textureLinks.size(), 4u);
    // The copy recomputes the rates' floats from their stored values.
    const auto owned = stars->Clone();
    const auto& copy = static_cast<DS_FallingStars&>(*owned);
    EXPECT_FLOAT_EQ(copy.starRate.Scaled(), 1.0f);
    EXPECT_FLOAT_EQ(copy.lifetime.Scaled(), 1.5f);
    EXPECT_FLOAT_EQ(copy.particleSize.Scaled(), 0.3f);
    EXPECT_FLOAT_EQ(copy.emissionRate.Scaled(), 24.0f);
    EXPECT_EQ(Saved(*stars), writer.Bytes());
}

TEST(LightGeneratorSectionTest, FireworksReadEveryOriginVersion)
{
    for (std::int32_t version = 1; version <= 2; ++version) {
        SCOPED_TRACE(version);
        FireworkFields fields;
        fields.rocketCount = 5;
        fields.quadSize = 12;
        fields.rocketSpeed = 50;
        fields.glowFactor = 100;
        fields.origin = SomeOrigin();
        fields.origin.version = version;
        DocumentWriter writer;
        WriteFireworkSimple(writer, fields);
        const auto firework = ReadRecord<DS_FireworkSimple>(writer);
        ASSERT_NE(firework, nullptr);
        EXPECT_EQ(firework->rocketCount.value, 5u);
        EXPECT_EQ(firework->quadSize.value, 12u);
        EXPECT_FLOAT_EQ(firework->rocketSpeed.Scaled(), 200.0f);
        EXPECT_FLOAT_EQ(firework->glowFactor.Scaled(), 5.0f);
        EXPECT_FLOAT_EQ(firework->launchLifetime.Scaled(), 4.0f);
        EXPECT_EQ(firework->launchRate.value, 3u);
        EXPECT_EQ(firework->launchSize.value, 40u);
        EXPECT_EQ(firework->direction.value, 90u);
        EXPECT_NEAR(firework->direction.Direction().y, 1.0f, 1e-6f);
        EXPECT_EQ(firework->direction.spread.value, version > 1 ? 20u : 0u);
        EXPECT_FLOAT_EQ(firework->originSpeed.Scaled(), 1.2f);
        EXPECT_EQ(firework->position.value, (math::Vec3{300.0f, 400.0f, 0.0f}));
        const auto owned = firework->Clone();
        const auto& copy = static_cast<DS_FireworkSimple&>(*owned);
        EXPECT_FLOAT_EQ(copy.lifetime.Scaled(), 1.5f);
        EXPECT_FLOAT_EQ(copy.emissionRate.Scaled(), 25.0f);
        EXPECT_FLOAT_EQ(copy.particleSize.Scaled(), 3.0f);
        // Written back as version 2; an older record gains a spread of 0.
        fields.origin.version = 2;
        fields.origin.spread = version > 1 ? 20 : 0;
        DocumentWriter expected;
        WriteFireworkSimple(expected, fields);
        EXPECT_EQ(Saved(*firework), expected.Bytes());
    }
}

TEST(LightGeneratorSectionTest, SmokeReadsWholeAndWritesBack)
{
    SmokeFields fields;
    fields.drift = 50;
    fields.origin = SomeOrigin();
    DocumentWriter writer;
    WriteSmoke(writer, fields);
    const auto smoke = ReadRecord<DS_Smoke>(writer);
    ASSERT_NE(smoke, nullptr);
    EXPECT_FLOAT_EQ(smoke->drift.Scaled(), 0.0f);
    EXPECT_EQ(smoke->launchSize.value, 40u);
    EXPECT_EQ(Saved(*smoke), writer.Bytes());
}

TEST(LightGeneratorSectionTest, LightningReadsBothVersions)
{
    for (std::int32_t version = 1; version <= 2; ++version) {
        SCOPED_TRACE(version);
        DocumentWriter writer;
        WriteLightning(writer, SomeLightning(version));
        const auto bolt = ReadRecord<DS_LightningGN>(writer);
        ASSERT_NE(bolt, nullptr);
        EXPECT_EQ(bolt->coreWidth.value, 6u);
        EXPECT_EQ(bolt->passes.value, 5u);
        EXPECT_FLOAT_EQ(bolt->jaggedness.Scaled(), 0.2f);
        EXPECT_EQ(bolt->seed.value, 77u);
        EXPECT_FLOAT_EQ(bolt->branchLength.Scaled(), 0.4f);
        EXPECT_FLOAT_EQ(bolt->branchAngle.Scaled(), 30.0f * 0.015707964f);
        EXPECT_FLOAT_EQ(bolt->endWidth.Scaled(), 0.4f);
        EXPECT_EQ(bolt->branches.value, 3u);
        EXPECT_EQ(bolt->subBranches.value, 2u);
        EXPECT_EQ(bolt->twigs.value, 4u);
        EXPECT_FLOAT_EQ(bolt->flicker.Scaled(), 0.3f);
        EXPECT_EQ(bolt->glowWidth.value, 24u);
        EXPECT_EQ(bolt->randomFlag.value, 0);
        EXPECT_EQ(bolt->startPoint.value, (math::Vec3{100.0f, 10.0f, 0.0f}));
        EXPECT_EQ(bolt->endPoint.value, (math::Vec3{160.0f, 300.0f, 0.0f}));
        if (version == 2) {
            EXPECT_EQ(Saved(*bolt), writer.Bytes());
            EXPECT_EQ(bolt->timing.Selector(), 0);
            continue;
        }
        // The legacy thousandths become hundredths of a random timeline,
        // installed after the base sections and cached as the random kind.
        EXPECT_EQ(bolt->timing.Selector(), KXI_SmartTiming::kRandom);
        const auto* timeline = dynamic_cast<const KXI_RandomTimeLine*>(bolt->timing.CurrentTimeline());
        ASSERT_NE(timeline, nullptr);
        EXPECT_EQ(timeline->fadeIn.value, 100u);
        EXPECT_EQ(timeline->fadeOut.value, 200u);
        EXPECT_EQ(timeline->onLength.min.value, 300u);
        EXPECT_EQ(timeline->onLength.max.value, 300u);
        EXPECT_EQ(timeline->offLength.min.value, 400u);
        EXPECT_EQ(timeline->offLength.max.value, 500u);
        EXPECT_EQ(bolt->timing.CachedTimeline(KXI_SmartTiming::kRandom), bolt->timing.CurrentTimeline());
    }
}

TEST(LightGeneratorSectionTest, RecordsCutShortRefuseTheDocument)
{
    RegisterGeneratorClasses();
    std::vector<DocumentWriter> records(4);
    WriteFallingStars(records[0], SomeStars());
    FireworkFields firework;
    firework.origin = SomeOrigin();
    WriteFireworkSimple(records[1], firework);
    WriteLightning(records[2], SomeLightning(1));
    SmokeFields smoke;
    smoke.origin = SomeOrigin();
    WriteSmoke(records[3], smoke);
    for (const DocumentWriter& record : records) {
        std::vector<std::uint8_t> bytes = record.Bytes();
        bytes.resize(bytes.size() / 2);
        MemoryArchive archive(bytes);
        EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
    }
}

} // namespace

// The line systems' stored forms: every class read from writer-made records
// and saved back byte for byte, the older versions that stored the two
// blocks the other way round, and damaged records refused.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "objectmodel/DocumentError.h"
#include "tests/particles/systems/LineTestSupport.h"
#include "tests/support/RecordingArchive.h"

namespace {

using namespace line_test;
using namespace line_writer;

StaticLineFields SampleStatic(std::int32_t lineVersion)
{
    StaticLineFields f;
    f.width = 12;
    f.sizeEnvelope = {10, 80, 20, 30};
    f.alphaEnvelope = {5, 95, 0, 50};
    f.line.version = lineVersion;
    f.line.points = Straight(0.0f, 100.0f, 5.0f, 3);
    f.line.showParticles = 1;
    f.line.layer = Ribbon();
    f.line.layer.textureName = u"Layer";
    f.line.layer.blendMode = 1;
    f.line.headSideOffset = 2.5f;
    f.line.headForwardOffset = -4.0f;
    f.line.extra = 1234;
    f.line.controller = HeadController(50);
    f.line.controller.block.blendMode = 0;
    return f;
}

ShootingFields SampleShots(std::int32_t version)
{
    ShootingFields f;
    f.version = version;
    f.points = Straight(0.0f, 50.0f, 10.0f);
    f.layer = Ribbon();
    f.layer.textureName = u"Layer";
    f.layer.glowMode = 2;
    f.minimumInterval = 0.25f;
    f.maximumInterval = 2.0f;
    f.speed = 40;
    f.amplitude = 6;
    f.tailDelay = 30;
    f.width = 5;
    f.widthEnvelope = {0, 50, 0, 10};
    f.waveFrequency = 100;
    f.showParticles = 1;
    f.unused = {1.5f, -3.0f};
    f.controller = HeadController(50);
    return f;
}

void ExpectSavedAsWritten(const DS_IOF_Item& item, const DocumentWriter& written)
{
    RecordingArchive saved;
    item.Save(saved.Writer());
    EXPECT_EQ(saved.writer.Bytes(), written.Bytes());
}

TEST(LineRecordTest, EveryClassReadsItsFieldsAndSavesThemBackByteForByte)
{
    {
        GrowingFields f;
        f.startSizeEnvelope = {1, 2, 3, 4};
        f.startAlphaEnvelope = {5, 6, 7, 8};
        f.retract = 1;
        f.base = SampleStatic(2);
        DocumentWriter w;
        WriteGrowingLine(w, f);
        const auto line = ReadLine<KXI_GrovingLine>(w);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->GetKind(), 9);
        EXPECT_EQ(line->retractFromStart.value, 1);
        EXPECT_EQ(line->startAlphaEnvelope.percents[3].value, 8u);
        EXPECT_EQ(line->width.value, 12u);
        EXPECT_FLOAT_EQ(line->sizeEnvelope.percents[2].Scaled(), 0.2f);
        EXPECT_EQ(line->path.GetPointCount(), 3);
        EXPECT_EQ(line->showParticles.value, 1);
        EXPECT_EQ(line->lineLayer.block.textureName.value, u"Layer");
        EXPECT_EQ(line->lineLayer.block.blendMode.value, 1);
        EXPECT_EQ(line->params.textureName.value, u"Head");
        EXPECT_FLOAT_EQ(line->headSideOffset.value, 2.5f);
        EXPECT_FLOAT_EQ(line->headForwardOffset.value, -4.0f);
        ExpectSavedAsWritten(*line, w);
    }
    {
        SlidingFields f;
        f.pieceLength = 33;
        f.directionMode = 1;
        f.base = SampleStatic(2);
        DocumentWriter w;
        WriteSlidingLine(w, f);
        const auto line = ReadLine<KXI_SlidingLine>(w);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->pieceLength.value, 33u);
        EXPECT_EQ(line->directionMode.value, 1);
        ExpectSavedAsWritten(*line, w);
    }
    for (const bool tears : {false, true}) {
        DocumentWriter w;
        tears ? WriteTears(w, SampleShots(2)) : WriteShootingLine(w, SampleShots(2));
        const auto line = ReadLine<KXI_ShootingLine>(w);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(dynamic_cast<KXI_Tears*>(line.get()) != nullptr, tears);
        EXPECT_EQ(line->GetKind(), 8);
        EXPECT_FLOAT_EQ(line->emitter.minimum.value, 0.25f);
        EXPECT_FLOAT_EQ(line->emitter.maximum.value, 2.0f);
        EXPECT_FLOAT_EQ(line->shotSpeed.Scaled(), 40.0f);
        EXPECT_EQ(line->waveAmplitude.value, 6u);
        EXPECT_EQ(line->tailDelay.value, 30u);
        EXPECT_FLOAT_EQ(line->width.Scaled(), 5.0f);
        EXPECT_FLOAT_EQ(line->widthEnvelope.percents[1].Scaled(), 0.5f);
        EXPECT_FLOAT_EQ(line->waveFrequency.Scaled(), 0.02f);
        EXPECT_EQ(line->lineLayer.block.glowMode.value, 2);
        EXPECT_FLOAT_EQ(line->unusedSecond.value, -3.0f);
        ExpectSavedAsWritten(*line, w);
        // The clone keeps the class.
        EXPECT_EQ(dynamic_cast<KXI_Tears*>(line->Clone().get()) != nullptr, tears);
    }
    {
        WavingFields f;
        f.width = 7;
        f.sizeEnvelope = {0, 70, 0, 40};
        f.layer = Ribbon();
        f.amplitude = 9;
        f.secondWave = 50;
        f.showParticles = 1;
        f.headSideOffset = 1.0f;
        f.headForwardOffset = 2.0f;
        f.start = {1.0f, 2.0f, 3.0f};
        f.end = {40.0f, 5.0f, 0.0f};
        f.controller = HeadController();
        DocumentWriter w;
        WriteWavingLine(w, f);
        const auto line = ReadLine<KXI_WavingLine>(w);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->GetKind(), 8);
        EXPECT_EQ(line->amplitude.value, 9u);
        EXPECT_FLOAT_EQ(line->secondWave.Scaled(), 0.5f);
        EXPECT_FLOAT_EQ(line->start.value.z, 3.0f);
        EXPECT_FLOAT_EQ(line->end.value.x, 40.0f);
        ExpectSavedAsWritten(*line, w);
    }
}

TEST(LineRecordTest, VersionOneSectionsExchangeTheTwoBlocks)
{
    // A growing line of version 1 (no retract) over a line section of
    // version 1 (one more int32 after the offsets).
    GrowingFields growing;
    growing.version = 1;
    growing.base = SampleStatic(1);
    DocumentWriter w;
    WriteGrowingLine(w, growing);
    const auto line = ReadLine<KXI_GrovingLine>(w); // every byte consumed
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->retractFromStart.value, 0);
    EXPECT_EQ(line->lineLayer.block.textureName.value, u"Head");
    EXPECT_EQ(line->lineLayer.block.particleSize.value, 50u);
    EXPECT_EQ(line->params.textureName.value, u"Layer");
    EXPECT_EQ(line->params.blendMode.value, 1);
    EXPECT_EQ(line->lineLayer.block.blendMode.value, 0);

    for (const bool tears : {false, true}) {
        DocumentWriter shots;
        tears ? WriteTears(shots, SampleShots(1)) : WriteShootingLine(shots, SampleShots(1));
        const auto read = ReadLine<KXI_ShootingLine>(shots);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->lineLayer.block.textureName.value, u"Head");
        EXPECT_EQ(read->lineLayer.block.glowMode.value, 0);
        EXPECT_EQ(read->params.textureName.value, u"Layer");
        EXPECT_EQ(read->params.glowMode.value, 2);
    }
}

TEST(LineRecordTest, DamagedRecordsAreRefused)
{
    RegisterParticleSystemClasses();
    const std::vector<std::function<void(DocumentWriter&)>> writers = {
        [](DocumentWriter& w) {
            GrowingFields f;
            f.base = SampleStatic(2);
            WriteGrowingLine(w, f);
        },
        [](DocumentWriter& w) {
            SlidingFields f;
            f.base = SampleStatic(1);
            WriteSlidingLine(w, f);
        },
        [](DocumentWriter& w) { WriteShootingLine(w, SampleShots(2)); },
        [](DocumentWriter& w) { WriteTears(w, SampleShots(1)); },
        [](DocumentWriter& w) {
            WavingFields f;
            f.controller = HeadController();
            WriteWavingLine(w, f);
        },
    };
    for (std::size_t i = 0; i < writers.size(); ++i) {
        DocumentWriter whole;
        writers[i](whole);
        const std::vector<std::uint8_t>& bytes = whole.Bytes();
        for (const std::size_t keep : {bytes.size() - 1, bytes.size() / 2, std::size_t{40}}) {
            MemoryArchive truncated(std::span(bytes.data(), keep));
            EXPECT_THROW(ReadSceneObject(truncated.Reader()), DS_Error) << i << " kept " << keep;
        }
    }
    // A point count far beyond the bytes that remain.
    for (const std::u16string_view name : {KXI_ShootingLine::kClassName, KXI_Tears::kClassName}) {
        DocumentWriter huge;
        huge.Section(name, 2);
        if (name == KXI_Tears::kClassName)
            huge.Section(KXI_ShootingLine::kClassName, 2);
        huge.Int(0x7FFFFFFF).Int(1).Float(0.0f);
        MemoryArchive archive(huge.Bytes());
        EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
    }
}

} // namespace

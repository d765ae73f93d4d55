// Stored sections of the painted and placed generators, from the document
// writer to the readers and back through Save: the airbrush dab records of
// every version and pair count, the bling, twinkle, aurora and animated-font
// fields, the single rect of every version, the plant, the path generator
// (through a small subclass), and the counts that refuse a document.

#include <gtest/gtest.h>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"
#include "particles/generators/AirBrush.h"
#include "particles/generators/AnimatedFont.h"
#include "particles/generators/Aurora.h"
#include "particles/generators/Bling.h"
#include "particles/generators/GeneratorClasses.h"
#include "particles/generators/PathGenerator.h"
#include "particles/generators/SingleRect.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/PaintedGeneratorWriter.h"
#include "tests/particles/generators/GeneratorRecordSupport.h"

namespace {

using namespace generator_writer;

using generator_test::ReadRecord;
using generator_test::Saved;

TexGeneratorFields SomeTextured()
{
    TexGeneratorFields textured;
    textured.textures = {{u"dab.png", 1}, {u"glint.png", 2}};
    textured.effect = {u"blend.fx", 9};
    textured.colour = 0x2040FF;
    textured.opacity = 20;
    textured.colour2 = 0x10FF10;
    textured.opacity2 = 60;
    textured.blendMode = 1;
    textured.generator.base.name = u"Painted";
    return textured;
}

DabRecord Dab(float x, float y, std::array<float, 10> channels)
{
    DabRecord dab;
    dab.position = {x, y, 3.0f};
    dab.channels = channels;
    return dab;
}

AirBrushFields SomeBrush()
{
    AirBrushFields brush;
    brush.brushSize = 24;
    brush.dabs = {Dab(10, 20, {0.1f, 0.5f, 0.8f, 0, 0.3f, 1, 2.0f, 1, 1, 0.25f}),
                  Dab(30, 40, {0.9f, 1.5f, 0.4f, 0, 1.2f, 1, 0.5f, 1, 1, 0.75f})};
    brush.textured = SomeTextured();
    return brush;
}

TEST(PaintedGeneratorSectionTest, DabRecordsReadInEveryVersionAndPairCount)
{
    struct Case {
        std::int32_t version;
        std::uint32_t pairs;
        std::array<float, 10> expected; // of the second dab
    };
    const std::array<float, 10> defaults{0, 1, 1, 0, 0, 1, 1, 1, 1, 1};
    const Case cases[] = {
        {1, 5, defaults},
        {2, 5, {0.9f, 1.5f, 0.4f, 0, 1.2f, 1, 1, 1, 1, 0}},
        {2, 4, {0.9f, 1.5f, 0.4f, 0, 0, 1, 1, 1, 1, 0}},
        {3, 5, {0.9f, 1.5f, 0.4f, 0, 1.2f, 1, 0.5f, 1, 1, 0.75f}},
        {3, 4, {0.9f, 1.5f, 0.4f, 0, 0, 1, 0.5f, 1, 1, 1}},
        {3, 7, {0.9f, 1.5f, 0.4f, 0, 1.2f, 1, 0.5f, 1, 1, 0.75f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("version " + std::to_string(c.version) + ", " + std::to_string(c.pairs) + " pairs");
        CustomAirBrushFields fields;
        fields.image = {u"brush.gif", 5};
        fields.frameSpeed = 50;
        fields.brush = SomeBrush();
        fields.brush.version = c.version;
        for (DabRecord& dab : fields.brush.dabs)
            dab.pairCount = c.pairs;
        DocumentWriter writer;
        WriteCustomAirBrush(writer, fields);
        const auto brush = ReadRecord<DS_CustomAirBrush>(writer);
        ASSERT_NE(brush, nullptr);
        EXPECT_EQ(brush->image.GetPath(), u"brush.gif");
        EXPECT_FLOAT_EQ(brush->frameSpeed.Scaled(), 0.5f);
        EXPECT_EQ(brush->brushSize.value, 24u);
        ASSERT_EQ(brush->dabs.size(), 2u);
        EXPECT_EQ(brush->dabs.back().position, (math::Vec3{30, 40, 3}));
        for (std::size_t k = 0; k < 10; ++k)
            EXPECT_FLOAT_EQ(brush->dabs.back().channels[k], c.expected[k]) << "channel " << k;
        EXPECT_EQ(brush->textureLinks.size(), 2u);
        EXPECT_EQ(brush->blendMode.value, 1);
        EXPECT_FALSE(brush->IsNonBrush());
    }
}

TEST(PaintedGeneratorSectionTest, EveryClassReadsWholeAndWritesBackTheSameBytes)
{
    struct Case {
        const char* name;
        std::function<void(DocumentWriter&)> write;
        std::function<void(const DS_IOF_Item&)> check;
    };
    CustomAirBrushFields custom;
    custom.image = {u"brush.gif", 5};
    custom.frameSpeed = 100;
    custom.brush = SomeBrush();

    BlingFields bling;
    bling.lifeSpeed = 50, bling.shrinkTime = 150, bling.growTime = 50, bling.spinSpeed = 25, bling.sizeFloor = 30;
    bling.brush = SomeBrush();

    TwinklingStarsFields stars;
    stars.twinkleSpeed = 0;
    stars.brush = SomeBrush();

    AuroraFields aurora;
    aurora.bandHeight = 120;
    aurora.waves = {{{10, 20, 0}, {11, 150, 4}, {12, 20, 9}}};
    aurora.swayDirection = 90;
    aurora.brush = SomeBrush();

    AnimatedFontFields font;
    font.text = u"Hi!";
    font.frameSpeed = 100;
    font.scale = 50;
    font.settings = {1, 2, 3};
    font.signedSetting = -4;
    font.characterTable = {{u'!', {u"bang.png", 7}}, {u'H', {u"h.gif", 8}}, {u'i', {u"i.png", 9}}};
    font.glyphImages = {{u"h.gif", 8}, {u"i.png", 9}, {u"bang.png", 7}};
    font.base.position = {100, 50, 0};
    font.base.textured = SomeTextured();
    font.base.textured.generator.emitters = {{100, 50, 0}, {140, 50, 0}, {170, 50, 0}};

    PlantFields plant;
    plant.swaySpeed = 60, plant.frequency = 5, plant.wMagnitude = 30, plant.bMagnitude = 40;
    plant.rect.rect = RectCorners(10, 20, 64, 128);
    plant.rect.base.position = {42, 84, 0};
    plant.rect.base.textured = SomeTextured();

    const Case cases[] = {
        {"custom airbrush", [&](DocumentWriter& w) { WriteCustomAirBrush(w, custom); },
         [](const DS_IOF_Item& item) {
             const auto& brush = dynamic_cast<const DS_CustomAirBrush&>(item);
             EXPECT_FLOAT_EQ(brush.frameSpeed.Scaled(), 1.0f);
         }},
        {"bling", [&](DocumentWriter& w) { WriteBling(w, bling); },
         [](const DS_IOF_Item& item) {
             const auto& b = dynamic_cast<const DS_Bling&>(item);
             EXPECT_FLOAT_EQ(b.lifeSpeed.Scaled(), 1.0f);
             EXPECT_FLOAT_EQ(b.shrinkTime.Scaled(), 1.5f) << "shrink time is stored before grow time";
             EXPECT_FLOAT_EQ(b.growTime.Scaled(), 0.5f);
             EXPECT_FLOAT_EQ(b.spinSpeed.Scaled(), 0.5f);
             EXPECT_FLOAT_EQ(b.sizeFloor.Scaled(), 0.3f);
             EXPECT_EQ(b.dabs.size(), 2u);
         }},
        {"twinkling stars", [&](DocumentWriter& w) { WriteTwinklingStars(w, stars); },
         [](const DS_IOF_Item& item) {
             EXPECT_FLOAT_EQ(dynamic_cast<const DS_TwinklingStars&>(item).twinkleSpeed.Scaled(), 1.0f);
         }},
        {"aurora", [&](DocumentWriter& w) { WriteAurora(w, aurora); },
         [](const DS_IOF_Item& item) {
             const auto& a = dynamic_cast<const DS_Aurora&>(item);
             EXPECT_EQ(a.bandHeight.value, 120u);
             EXPECT_FLOAT_EQ(a.waves[0].speed.Scaled(), 0.3f);
             EXPECT_FLOAT_EQ(a.waves[0].amplitude.Scaled(), 0.2f);
             EXPECT_FLOAT_EQ(a.waves[0].length.Scaled(), 1.0f) << "a stored length 0 is length 1";
             EXPECT_FLOAT_EQ(a.waves[1].amplitude.Scaled(), 1.5f);
             EXPECT_FLOAT_EQ(a.waves[1].length.Scaled(), 5.0f);
             EXPECT_FLOAT_EQ(a.waves[2].amplitude.Scaled(), 20.0f) << "the sway amplitude is in pixels";
             EXPECT_EQ(a.swayDirection.value, 90u);
         }},
        {"animated font", [&](DocumentWriter& w) { WriteAnimatedFont(w, font); },
         [](const DS_IOF_Item& item) {
             const auto& f = dynamic_cast<const DS_AnimatedFont&>(item);
             EXPECT_EQ(f.text.value, u"Hi!");
             EXPECT_FLOAT_EQ(f.scale.Scaled(), 0.5f);
             EXPECT_EQ(f.signedSetting.value, -4);
             ASSERT_EQ(f.characterTable.size(), 3u);
             EXPECT_EQ(f.characterTable.at(u'H').GetPath(), u"h.gif");
             ASSERT_EQ(f.glyphImages.size(), 3u);
             EXPECT_EQ(f.glyphImages[2].Id(), 7);
             EXPECT_EQ(f.emitters.size(), 3u);
             EXPECT_EQ(f.position.value, (math::Vec3{100, 50, 0}));
         }},
        {"plant", [&](DocumentWriter& w) { WritePlant(w, plant); },
         [](const DS_IOF_Item& item) {
             const auto& p = dynamic_cast<const DS_Plant&>(item);
             EXPECT_FLOAT_EQ(p.swaySpeed.Scaled(), 1.2f);
             EXPECT_FLOAT_EQ(p.frequency.Scaled(), 0.5f);
             EXPECT_FLOAT_EQ(p.wMagnitude.Scaled(), 0.06f);
             EXPECT_FLOAT_EQ(p.bMagnitude.Scaled(), 0.08f);
             EXPECT_EQ(p.rect.corners[1].value, (math::Vec3{10, 148, 0})) << "corner 2 is the bottom left";
             EXPECT_EQ(p.rect.corners[2].value, (math::Vec3{74, 20, 0}));
             EXPECT_EQ(p.position.value, (math::Vec3{42, 84, 0}));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentWriter writer;
        c.write(writer);
        const auto item = ReadRecord<DS_IOF_Item>(writer);
        ASSERT_NE(item, nullptr);
        c.check(*item);
        EXPECT_EQ(Saved(*item), writer.Bytes());
        // The clone carries every stored field.
        const auto clone = dynamic_cast<DS_ParticleGenerator&>(*item).Clone();
        EXPECT_EQ(Saved(*clone), writer.Bytes());
    }
}

TEST(PaintedGeneratorSectionTest, OlderSectionsKeepTheirDefaults)
{
    BlingFields bling;
    bling.version = 1;
    bling.lifeSpeed = 50, bling.shrinkTime = 150, bling.growTime = 50;
    bling.brush = SomeBrush();
    DocumentWriter blingWriter;
    WriteBling(blingWriter, bling);
    const auto b = ReadRecord<DS_Bling>(blingWriter);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->spinSpeed.value, 1u);
    EXPECT_FLOAT_EQ(b->spinSpeed.Scaled(), 0.02f);
    EXPECT_FLOAT_EQ(b->sizeFloor.Scaled(), 0.0f);

    for (std::int32_t version = 0; version <= 2; ++version) {
        SCOPED_TRACE("DS_SingleRectGN version " + std::to_string(version));
        PlantFields plant;
        plant.rect.version = version;
        plant.rect.rect = RectCorners(1, 2, 3, 4);
        plant.rect.extras = {77.0f, 88.0f};
        plant.rect.base.position = {5, 6, 7};
        DocumentWriter writer;
        WritePlant(writer, plant);
        const auto p = ReadRecord<DS_Plant>(writer);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->rect.corners[3].value, (math::Vec3{4, 6, 0}));
        EXPECT_EQ(p->position.value, (math::Vec3{5, 6, 7})) << "the two extra floats were not dropped";
    }
}

// The path generator's only stored subclass belongs elsewhere; this one
// reads and writes the section and nothing more.
class TestPathGenerator : public DS_PathGenerator {
public:
    void Read(ArchiveReader ar) { ReadPathGeneratorSection(ar); }
    void Render(DS_ABRender&, DS_ParticlesObj&) override {}
    void BuildGeometry(DS_ParticlesObj& target) override { DS_TexParticleGenerator::BuildGeometry(target); }
    std::unique_ptr<DS_ParticleGenerator> Clone() const override { return std::make_unique<TestPathGenerator>(*this); }
};

TEST(PaintedGeneratorSectionTest, ThePathKeepsItsPointsInOrderWithTheirDepth)
{
    for (const std::size_t count : {0u, 1u, 4u}) {
        SCOPED_TRACE(count);
        PathGeneratorFields fields;
        for (std::size_t i = 0; i < count; ++i)
            fields.points.push_back({float(10 * i), float(100 - i), float(i) - 2.0f});
        fields.textured = SomeTextured();
        DocumentWriter writer;
        WritePathGeneratorSection(writer, fields);
        MemoryArchive archive(writer.Bytes());
        TestPathGenerator path;
        path.Read(archive.Reader());
        EXPECT_EQ(archive.Remaining(), 0u);
        ASSERT_EQ(path.path.points.size(), count);
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(path.path.points[i]->Position(), (math::Vec3{float(10 * i), float(100 - i), float(i) - 2.0f}));
        EXPECT_EQ(path.textureLinks.size(), 2u);
        EXPECT_EQ(Saved(path), writer.Bytes());
    }
}

TEST(PaintedGeneratorSectionTest, CountsThatCannotFitRefuseTheDocument)
{
    struct Case {
        const char* name;
        std::function<void(DocumentWriter&)> write;
    };
    const Case cases[] = {
        {"dab count past the end",
         [](DocumentWriter& w) {
             TwinklingStarsFields stars;
             stars.brush = SomeBrush();
             stars.brush.dabCount = 1000;
             WriteTwinklingStars(w, stars);
         }},
        {"negative dab count",
         [](DocumentWriter& w) {
             BlingFields bling;
             bling.brush = SomeBrush();
             bling.brush.dabCount = -1;
             WriteBling(w, bling);
         }},
        {"pair count past the end",
         [](DocumentWriter& w) {
             AuroraFields aurora;
             aurora.brush = SomeBrush();
             aurora.brush.dabs.front().storedPairCount = 0x10000000;
             WriteAurora(w, aurora);
         }},
        {"version 1 dab count past the end",
         [](DocumentWriter& w) {
             CustomAirBrushFields custom;
             custom.brush = SomeBrush();
             custom.brush.version = 1;
             custom.brush.dabCount = 50;
             WriteCustomAirBrush(w, custom);
         }},
        {"character table past the end",
         [](DocumentWriter& w) {
             w.Section(u"DS_AnimatedFont", 1).WideString(u"a").Dword(1).Dword(100).Dword(0).Dword(0).Dword(0).Long(0);
             w.Dword(100000);
         }},
    };
    RegisterGeneratorClasses();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentWriter writer;
        c.write(writer);
        MemoryArchive archive(writer.Bytes());
        EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
    }
}

} // namespace

#include "tests/support/PaintedGeneratorSampleDocuments.h"

#include "tests/support/DocumentWriter.h"
#include "tests/support/PaintedGeneratorWriter.h"
#include "tests/support/PictureSceneWriter.h"

namespace {

using namespace generator_writer;

TexGeneratorFields Linked(std::u16string name)
{
    TexGeneratorFields textured;
    textured.textures = {{u"pictures\\dab.png", 80}, {u"pictures\\glint.png", 81}};
    textured.effect = {u"common_res.dll", 97};
    textured.colour = 0xFFE0C0;
    textured.opacity = 10;
    textured.colour2 = 0x80C0FF;
    textured.opacity2 = 40;
    textured.blendMode = 3;
    textured.generator.base.name = std::move(name);
    return textured;
}

AirBrushFields Dabs(std::u16string name, std::int32_t version = 3)
{
    AirBrushFields brush;
    brush.version = version;
    brush.brushSize = 24;
    for (int i = 0; i < 3; ++i) {
        DabRecord dab;
        dab.position = {100.0f + 40.0f * float(i), 200.0f, 0.0f};
        dab.channels[0] = 0.5f * float(i);
        dab.channels[4] = 0.25f * float(i);
        dab.channels[6] = 1.5f;
        dab.channels[9] = 0.1f * float(i);
        brush.dabs.push_back(dab);
    }
    brush.textured = Linked(std::move(name));
    return brush;
}

std::vector<std::uint8_t> PaintedGeneratorsDocument(bool damaged)
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"Painted");
    picture_scene_writer::WriteLightRecord(w, {});
    w.Count(7);

    CustomAirBrushFields custom;
    custom.image = {u"pictures\\glint.gif", 82};
    custom.frameSpeed = 100;
    custom.brush = Dabs(u"Brush");
    if (damaged)
        custom.brush.dabs.front().storedPairCount = 0x40000000;
    WriteCustomAirBrush(w, custom);

    for (const std::int32_t version : {2, 1}) {
        BlingFields bling;
        bling.version = version;
        bling.lifeSpeed = 50;
        bling.shrinkTime = 150;
        bling.growTime = 50;
        bling.spinSpeed = 25;
        bling.sizeFloor = 30;
        bling.brush = Dabs(version == 2 ? u"Bling" : u"Old bling", version);
        WriteBling(w, bling);
    }

    TwinklingStarsFields stars;
    stars.twinkleSpeed = 0;
    stars.brush = Dabs(u"Stars", 2);
    WriteTwinklingStars(w, stars);

    AuroraFields aurora;
    aurora.bandHeight = 120;
    aurora.waves = {{{10, 20, 0}, {11, 150, 4}, {12, 20, 9}}};
    aurora.swayDirection = 90;
    aurora.brush = Dabs(u"Aurora");
    WriteAurora(w, aurora);

    AnimatedFontFields font;
    font.text = u"Hi";
    font.frameSpeed = 100;
    font.scale = 50;
    font.settings = {1, 2, 3};
    font.signedSetting = -4;
    font.characterTable = {{u'H', {u"glyphs\\h.png", 90}}, {u'i', {u"glyphs\\i.png", 91}}};
    font.glyphImages = {{u"glyphs\\h.png", 90}, {u"glyphs\\i.png", 91}};
    font.base.position = {300.0f, 100.0f, 0.0f};
    font.base.textured = Linked(u"Glyphs");
    font.base.textured.textureSets = 1;
    font.base.textured.generator.emitters = {{300.0f, 100.0f, 0.0f}, {340.0f, 100.0f, 0.0f}};
    WriteAnimatedFont(w, font);

    PlantFields plant;
    plant.swaySpeed = 60;
    plant.frequency = 5;
    plant.wMagnitude = 30;
    plant.bMagnitude = 40;
    plant.rect.version = 1;
    plant.rect.rect = RectCorners(400.0f, 300.0f, 64.0f, 128.0f);
    plant.rect.base.position = {432.0f, 364.0f, 0.0f};
    plant.rect.base.textured = Linked(u"Plant");
    WritePlant(w, plant);

    w.Count(0);
    w.AudioFiles({});
    w.DocResManager({});
    return w.Bytes();
}

} // namespace

std::vector<SampleDocument> PaintedGeneratorSampleDocuments()
{
    return {
        {"painted-generators.vsd", PaintedGeneratorsDocument(false), true},
        {"painted-generators-damaged.vsd", PaintedGeneratorsDocument(true), false},
    };
}

// The painted and placed generators in one writer-made document, played
// headless through the player over a flat picture: a brush drawn with an
// animated GIF, sparkles, twinkling stars, an aurora band, a line of glyphs
// stored as texture sets and a swaying plant each show in their own part of
// the frame, and the picture comes through exactly wherever nothing was
// drawn, with their blend modes reading the picture.

#include <gtest/gtest.h>

#include <bit>

#include "render/BuiltinEffects.h"
#include "tests/player/HeadlessDocumentFixture.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/support/GifFixture.h"
#include "tests/support/PaintedGeneratorWriter.h"
#include "tests/support/PictureSceneWriter.h"

namespace {

using namespace generator_writer;
using description_writer::StoredLink;
using player_test::StoreBytes;

constexpr std::uint32_t kWidth = 320, kHeight = 180;
constexpr std::uint32_t kPictureRgb = 0x203040;
const LinkKey kPictureLink{u"pictures\\flat.bmp", 41};
const StoredLink kWhiteLink{u"pictures\\white.bmp", 42};
const StoredLink kGifLink{u"pictures\\brush.gif", 43};
const StoredLink kGlyphLink{u"pictures\\glyph.bmp", 44};
const StoredLink kBlendLink{u"effects\\blend.fx", 45};
const StoredLink kSwayLink{u"effects\\sway.fx", 46};
const StoredLink kQuadsLink{u"effects\\quads.fx", 47};

TexGeneratorFields White(std::u16string name, const StoredLink& effect, std::int32_t blendMode, std::size_t textures = 1)
{
    TexGeneratorFields textured;
    textured.textures.assign(textures, kWhiteLink);
    textured.effect = effect;
    textured.colour = textured.colour2 = 0xFFFFFF;
    textured.opacity = textured.opacity2 = 0; // opaque
    textured.blendMode = blendMode;
    textured.generator.base.name = std::move(name);
    return textured;
}

AirBrushFields Row(float x, float y, std::uint32_t size, std::size_t count, TexGeneratorFields textured)
{
    AirBrushFields brush;
    brush.brushSize = size;
    for (std::size_t i = 0; i < count; ++i) {
        DabRecord dab;
        dab.position = {x + float(i) * float(size), y, 0.0f};
        dab.channels[0] = float(i);
        brush.dabs.push_back(dab);
    }
    brush.textured = std::move(textured);
    return brush;
}

void StoreEffect(DocResManagerRecord& record, const StoredLink& link, std::string_view builtin)
{
    const auto source = FindBuiltinEffectSource(builtin);
    StoreBytes(record.storedResources, link, std::vector<std::uint8_t>(source.begin(), source.end()));
}

// Regions (x from, x to, y): brush 20..60, sparkles 80..120, stars
// 140..180, aurora 200..240 (all around y 40), glyphs 20..60 and plant
// 100..140 around y 120. The right edge and the bottom stay empty.
std::vector<std::uint8_t> PaintedDocument()
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.0f).Float(1.5f).Float(60.0f).Int(0).WideString(u"Painted");
    picture_scene_writer::LightFields light;
    light.backgroundPath = kPictureLink.path;
    light.backgroundId = kPictureLink.id;
    light.camera.mode = 0;
    picture_scene_writer::WriteLightRecord(w, light);
    w.Count(6);

    CustomAirBrushFields brush;
    brush.image = kGifLink;
    brush.frameSpeed = 100;
    brush.brush = Row(25, 40, 10, 4, White(u"Brush", kBlendLink, 0, 0));
    WriteCustomAirBrush(w, brush);

    BlingFields bling;
    bling.lifeSpeed = 50, bling.growTime = 100, bling.shrinkTime = 100, bling.sizeFloor = 100;
    bling.brush = Row(85, 40, 10, 4, White(u"Sparkles", kBlendLink, 1, 2));
    WriteBling(w, bling);

    TwinklingStarsFields stars;
    stars.brush = Row(145, 40, 10, 4, White(u"Stars", kBlendLink, 3));
    WriteTwinklingStars(w, stars);

    AuroraFields aurora;
    aurora.bandHeight = 20;
    aurora.brush = Row(205, 40, 10, 4, White(u"Aurora", kBlendLink, 2));
    WriteAurora(w, aurora);

    AnimatedFontFields font;
    font.frameSpeed = 100;
    font.scale = 100;
    font.glyphImages = {kGlyphLink, kGlyphLink};
    font.base.position = {20.0f, 110.0f, 0.0f};
    font.base.textured = White(u"Glyphs", kQuadsLink, 0, 0);
    font.base.textured.generator.emitters = {{20.0f, 110.0f, 0.0f}, {40.0f, 110.0f, 0.0f}};
    WriteAnimatedFont(w, font);

    PlantFields plant;
    plant.frequency = 5, plant.wMagnitude = 20;
    plant.rect.rect = RectCorners(100.0f, 100.0f, 40.0f, 40.0f);
    plant.rect.base.textured = White(u"Plant", kSwayLink, 1);
    WritePlant(w, plant);

    w.Count(0);
    w.AudioFiles({});
    DocResManagerRecord record;
    StoreBytes(record.textureSetRecords, {kPictureLink.path, kPictureLink.id},
               docres_test::SolidBmp(kWidth, kHeight, kPictureRgb));
    StoreBytes(record.textureSetRecords, kWhiteLink, docres_test::SolidBmp(8, 8, 0xFFFFFF));
    // The glyph: two frames of 0.5 s, 16 x 16.
    for (const std::uint32_t rgb : {0xFFFFFFu, 0xC0C0C0u}) {
        StoreBytes(record.textureSetRecords, kGlyphLink, docres_test::SolidBmp(16, 16, rgb));
        record.textureSetValues[LinkKey{kGlyphLink.path, kGlyphLink.id}].push_back(std::bit_cast<std::uint32_t>(0.5f));
    }
    const std::uint32_t palette[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    for (std::uint8_t frame = 0; frame < 3; ++frame)
        record.frames[LinkKey{kGifLink.path, kGifLink.id}].push_back(
            {gfx::testing::WriteGif(8, 8, palette, {{std::vector<std::uint8_t>(64, frame), 10}}), 0.1f});
    StoreEffect(record, kBlendLink, "generator-blend");
    StoreEffect(record, kSwayLink, "plant-sway");
    StoreEffect(record, kQuadsLink, "stage0-textured-quads");
    w.DocResManager(record);
    return w.Bytes();
}

class PaintedGeneratorsSceneTest : public player_test::HeadlessDocumentFixture {
protected:
    PaintedGeneratorsSceneTest() : HeadlessDocumentFixture("painted") {}

    player::HeadlessFrame Render(double seconds) { return RenderDocument(PaintedDocument(), kWidth, kHeight, seconds); }
};

TEST_F(PaintedGeneratorsSceneTest, EveryGeneratorShowsAndThePictureStaysElsewhere)
{
    const player::HeadlessFrame frame = Render(1.05);
    ASSERT_EQ(frame.width, kWidth);
    for (const auto& [x, y] : {std::pair{300u, 20u}, std::pair{300u, 170u}, std::pair{180u, 150u}, std::pair{70u, 40u}})
        EXPECT_EQ(Rgb(frame, x, y), kPictureRgb) << x << ", " << y;
    const struct {
        const char* name;
        std::uint32_t x, y;
    } shown[] = {{"brush", 40, 40}, {"sparkles", 100, 40}, {"stars", 160, 40}, {"aurora", 220, 40},
                 {"glyphs", 30, 118}, {"plant", 120, 135}};
    for (const auto& s : shown)
        EXPECT_NE(Rgb(frame, s.x, s.y), kPictureRgb) << s.name;
    // The brush shows a frame of its GIF (red, green or blue at full).
    const std::uint32_t brush = Rgb(frame, 40, 40);
    int full = 0, none = 0;
    for (const int shift : {0, 8, 16}) {
        const std::uint32_t channel = (brush >> shift) & 0xFF;
        full += channel > 0xF0 ? 1 : 0;
        none += channel < 0x10 ? 1 : 0;
    }
    EXPECT_TRUE(full == 1 && none == 2) << std::hex << brush;
}

} // namespace

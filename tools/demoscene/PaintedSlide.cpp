#include "tools/demoscene/PaintedSlide.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "objectmodel/ResourceBlob.h"
#include "render/BuiltinEffects.h"
#include "tests/support/GifFixture.h"
#include "tests/support/PaintedGeneratorWriter.h"
#include "tests/support/PictureSceneWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace {

using namespace generator_writer;
using description_writer::StoredLink;

constexpr std::uint32_t kWidth = 1280;
constexpr std::uint32_t kHeight = 720;
constexpr char16_t kPicturePath[] = u"pictures\\meadow.png";
constexpr std::int64_t kPictureId = 601;
const StoredLink kCurtainLink{u"pictures\\meadow-curtain.png", 602};
const StoredLink kStarLink{u"pictures\\meadow-star.png", 603};
const StoredLink kGlowLink{u"pictures\\meadow-glow.png", 604};
const StoredLink kBrushLink{u"pictures\\meadow-brush.gif", 605};
const StoredLink kPlantLink{u"pictures\\meadow-plant.png", 606};
const StoredLink kGlyphLinks[] = {{u"pictures\\meadow-glyph-ring.png", 607},
                                  {u"pictures\\meadow-glyph-bar.png", 608},
                                  {u"pictures\\meadow-glyph-diamond.png", 609}};
const StoredLink kBlendEffectLink{u"common_res.dll", 97};
const StoredLink kSwayEffectLink{u"effects\\plant-sway.fx", 611};
const StoredLink kQuadsEffectLink{u"effects\\stage0-textured-quads.fx", 612};

double Clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t)
{
    t = Clamp01(t);
    std::uint32_t out = 0;
    for (const int shift : {0, 8, 16}) {
        const double ca = double((a >> shift) & 0xFF), cb = double((b >> shift) & 0xFF);
        out |= std::uint32_t(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return out;
}

// A night sky over a dark meadow with a low moon.
std::uint32_t Meadow(std::uint32_t px, std::uint32_t py)
{
    const double x = px + 0.5, y = py + 0.5;
    std::uint32_t colour = Mix(0x050a1e, 0x1a2a4a, y / kHeight * 1.4);
    const double mx = x - kWidth * 0.82, my = y - kHeight * 0.22;
    const double moon = std::exp(-(mx * mx + my * my) / 900.0);
    colour = Mix(colour, 0xe8e4d0, moon * 1.6);
    const double ground = kHeight * 0.78 + 18.0 * std::sin(x / 140.0) + 8.0 * std::sin(x / 37.0 + 0.7);
    colour = Mix(colour, Mix(0x0c1a10, 0x050a06, (y - ground) / 160.0), Clamp01(y - ground + 0.5));
    return colour;
}

void StorePng(DocResManagerRecord& record, const StoredLink& link, std::vector<std::uint8_t> png,
              std::vector<std::uint32_t> frameValues = {})
{
    ModuleResourceBlob stored(link.path.substr(link.path.rfind(u'\\') + 1));
    stored.SetBytes(std::move(png));
    record.textureSetRecords[LinkKey{link.path, link.id}].push_back(stored);
    for (const std::uint32_t value : frameValues)
        record.textureSetValues[LinkKey{link.path, link.id}].push_back(value);
}

void StoreEffect(DocResManagerRecord& record, const StoredLink& link, std::string_view builtin)
{
    const auto bytes = FindBuiltinEffectSource(builtin);
    ModuleResourceBlob stored(link.path.substr(link.path.rfind(u'\\') + 1));
    stored.SetBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    record.storedResources[LinkKey{link.path, link.id}] = {stored};
}

// A soft vertical streak: bright at its foot, fading upwards and to the
// sides, the curtain of the aurora.
Painted Curtain(double u, double v)
{
    const double across = std::exp(-std::pow((u - 0.5) * 3.0, 2.0));
    const double along = Clamp01(v * 1.4) * std::exp(-(1.0 - v) * 2.2);
    return {across * along, Mix(0x40ffa0, 0xa060ff, 1.0 - v)};
}

Painted Star(double u, double v)
{
    const double dx = std::abs(u - 0.5), dy = std::abs(v - 0.5);
    const double rays = std::exp(-dx * 50) * std::exp(-dy * 5) + std::exp(-dy * 50) * std::exp(-dx * 5);
    return {Clamp01(std::exp(-(dx * dx + dy * dy) * 60) + rays), 0xffffff};
}

Painted Glow(double u, double v)
{
    const double dx = u - 0.5, dy = v - 0.5;
    return {std::exp(-(dx * dx + dy * dy) * 14), 0xffffff};
}

// A stem with leaves, rooted at the bottom middle.
Painted Plant(double u, double v)
{
    const double stem = std::exp(-std::pow((u - 0.5 - 0.06 * (1.0 - v)) * 60.0, 2.0)) * (v > 0.15 ? 1.0 : 0.0);
    double leaves = 0.0;
    for (int i = 0; i < 4; ++i) {
        const double ly = 0.3 + 0.17 * i, side = (i % 2) ? 1.0 : -1.0;
        const double lx = 0.5 + side * 0.17;
        const double dx = (u - lx) / 0.17, dy = (v - ly + side * (u - 0.5) * 0.25) / 0.05;
        leaves = std::max(leaves, Clamp01(1.2 - (dx * dx + dy * dy)));
    }
    const double bud = Clamp01(1.3 - (std::pow((u - 0.56) / 0.07, 2.0) + std::pow((v - 0.12) / 0.07, 2.0)));
    const double coverage = std::max({stem, leaves, bud});
    return {coverage, bud > 0.5 ? 0xf0a0d0 : Mix(0x3a8a40, 0x80c860, v)};
}

// A glyph picture of three frames: the shape at three brightnesses.
void StoreGlyph(DocResManagerRecord& record, const StoredLink& link, double (*shape)(double, double))
{
    for (const double level : {0.45, 0.75, 1.0}) {
        const auto paint = [shape, level](double u, double v) {
            return Painted{shape(u, v), Mix(0x000000, 0xffe890, level)};
        };
        StorePng(record, link, EncodePng(32, 32, 4, PaintRgba(32, 32, paint)), {std::bit_cast<std::uint32_t>(0.25f)});
    }
}

double Ring(double u, double v)
{
    const double r = std::hypot(u - 0.5, v - 0.5);
    return Clamp01(1.0 - std::abs(r - 0.33) / 0.08);
}

double Bar(double u, double v)
{
    return (std::abs(u - 0.5) < 0.1 && std::abs(v - 0.5) < 0.4) ? 1.0 : 0.0;
}

double Diamond(double u, double v)
{
    return Clamp01((0.42 - std::abs(u - 0.5) - std::abs(v - 0.5)) * 12.0);
}

// Three 16 x 16 frames of a glinting cross, 0.1 s each, as GIF pictures.
void StoreBrushGif(DocResManagerRecord& record)
{
    const std::uint32_t palette[4] = {0x000000, 0x4060c0, 0xa0c0ff, 0xffffff};
    for (int frame = 0; frame < 3; ++frame) {
        std::vector<std::uint8_t> indices;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int dx = std::abs(2 * x - 15), dy = std::abs(2 * y - 15);
                const int arm = frame == 1 ? std::min(dx, dy) : (frame == 2 ? std::abs(dx - dy) : dx + dy);
                const int reach = std::max(dx, dy);
                indices.push_back(std::uint8_t(arm <= 1 && reach < 14 ? 3 : (arm <= 4 && reach < 10 ? 2 : (reach < 4 ? 1 : 0))));
            }
        const std::vector<std::uint8_t> gif = gfx::testing::WriteGif(16, 16, palette, {{indices, 10}});
        record.frames[LinkKey{kBrushLink.path, kBrushLink.id}].push_back({gif, 0.1f});
    }
}

TexGeneratorFields Textured(std::u16string name, std::vector<StoredLink> textures, const StoredLink& effect,
                            std::int32_t colour, std::int32_t colour2, std::int32_t blendMode)
{
    TexGeneratorFields textured;
    textured.textures = std::move(textures);
    textured.effect = effect;
    textured.colour = colour;
    textured.opacity = 0;
    textured.colour2 = colour2;
    textured.opacity2 = 0;
    textured.blendMode = blendMode;
    textured.generator.base.name = std::move(name);
    return textured;
}

DabRecord DabAt(float x, float y, float scale = 1.0f, float opacity = 1.0f)
{
    DabRecord dab;
    dab.position = {x, y, 0.0f};
    dab.channels[1] = scale;
    dab.channels[2] = opacity;
    return dab;
}

// A repeatable pseudo-random unit value for the i-th draw of a stream.
float Hash(std::uint32_t i, std::uint32_t stream)
{
    std::uint32_t h = i * 2654435761u ^ (stream * 40503u + 0x9e3779b9u);
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return float(h & 0xFFFF) / 65535.0f;
}

void WriteAurora(DocumentWriter& w)
{
    AuroraFields aurora;
    aurora.bandHeight = 170;
    aurora.waves = {{{20, 35, 3}, {30, 60, 5}, {15, 30, 7}}};
    aurora.swayDirection = 100;
    aurora.brush.brushSize = 46;
    for (int i = 0; i < 48; ++i) {
        DabRecord dab = DabAt(90.0f + 23.0f * float(i), 200.0f - 50.0f * std::sin(float(i) / 9.0f), 1.0f, 0.55f);
        dab.channels[0] = float(i) * 0.6f; // the place along the band
        aurora.brush.dabs.push_back(dab);
    }
    aurora.brush.textured = Textured(u"Aurora", {kCurtainLink}, kBlendEffectLink, 0xFFFFFF, 0xFFFFFF, 1);
    generator_writer::WriteAurora(w, aurora);
}

void WriteStars(DocumentWriter& w)
{
    TwinklingStarsFields stars;
    stars.twinkleSpeed = 40;
    stars.brush.brushSize = 14;
    for (std::uint32_t i = 0; i < 70; ++i)
        stars.brush.dabs.push_back(DabAt(Hash(i, 1) * kWidth, Hash(i, 2) * kHeight * 0.6f, 0.5f + Hash(i, 3),
                                         0.5f + 0.5f * Hash(i, 4)));
    stars.brush.textured = Textured(u"Twinkling stars", {kStarLink}, kBlendEffectLink, 0xFFF0E0, 0xFFFFFF, 3);
    generator_writer::WriteTwinklingStars(w, stars);
}

void WriteSparkles(DocumentWriter& w)
{
    BlingFields bling;
    bling.lifeSpeed = 50;
    bling.growTime = 40;
    bling.shrinkTime = 90;
    bling.spinSpeed = 30;
    bling.sizeFloor = 10;
    bling.brush.brushSize = 36;
    for (std::uint32_t i = 0; i < 24; ++i) {
        DabRecord dab = DabAt(180.0f + 200.0f * Hash(i, 5), 470.0f + 90.0f * Hash(i, 6));
        dab.channels[6] = 0.6f + 0.8f * Hash(i, 7);
        dab.channels[9] = 6.2831855f * Hash(i, 8);
        bling.brush.dabs.push_back(dab);
    }
    // Layer 0 (second colour) a soft glow, layer 1 (first colour) the star.
    bling.brush.textured = Textured(u"Sparkles", {kGlowLink, kStarLink}, kBlendEffectLink, 0xFFFFFF, 0xFF9050, 3);
    generator_writer::WriteBling(w, bling);
}

void WriteBrushTrail(DocumentWriter& w)
{
    CustomAirBrushFields brush;
    brush.image = kBrushLink;
    brush.frameSpeed = 100;
    brush.brush.brushSize = 28;
    for (int i = 0; i < 12; ++i) {
        DabRecord dab = DabAt(560.0f + 42.0f * float(i), 560.0f - 60.0f * std::sin(float(i) / 3.5f), 0.7f + 0.05f * i);
        dab.channels[4] = 0.4f * float(i);
        brush.brush.dabs.push_back(dab);
    }
    brush.brush.textured = Textured(u"Glint brush", {}, kBlendEffectLink, 0xFFFFFF, 0xFFFFFF, 3);
    WriteCustomAirBrush(w, brush);
}

void WriteGlyphs(DocumentWriter& w)
{
    AnimatedFontFields font;
    font.text = u"o|<>o";
    font.frameSpeed = 100;
    font.scale = 150;
    font.base.position = {820.0f, 420.0f, 0.0f};
    font.base.textured = Textured(u"Glyphs", {}, kQuadsEffectLink, 0xFFFFFF, 0xFFFFFF, 0);
    font.base.textured.textureSets = 1;
    const int order[] = {0, 1, 2, 1, 0};
    for (int i = 0; i < 5; ++i) {
        font.glyphImages.push_back(kGlyphLinks[order[i]]);
        font.base.textured.generator.emitters.push_back({820.0f + 34.0f * float(i), 420.0f, 0.0f});
    }
    for (int i = 0; i < 3; ++i)
        font.characterTable.push_back({u"o|<"[i], kGlyphLinks[i]});
    WriteAnimatedFont(w, font);
}

void WritePlantObject(DocumentWriter& w)
{
    PlantFields plant;
    plant.swaySpeed = 50;
    plant.frequency = 4;
    plant.wMagnitude = 30;
    plant.bMagnitude = 40;
    plant.rect.rect = RectCorners(1010.0f, 470.0f, 128.0f, 200.0f);
    plant.rect.base.position = {1074.0f, 570.0f, 0.0f};
    plant.rect.base.textured = Textured(u"Plant", {kPlantLink}, kSwayEffectLink, 0xFFFFFF, 0xFFFFFF, 0);
    WritePlant(w, plant);
}

} // namespace

void WritePaintedSlide(DocumentWriter& w, DocResManagerRecord& record)
{
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.0f).Float(1.5f).Float(10.0f).Int(0).WideString(u"Moonlit meadow");
    picture_scene_writer::LightFields light;
    light.backgroundPath = kPicturePath;
    light.backgroundId = kPictureId;
    light.camera.mode = 0;
    picture_scene_writer::WriteLightRecord(w, light);
    w.Count(6);
    WriteAurora(w);
    WriteStars(w);
    WriteSparkles(w);
    WriteBrushTrail(w);
    WriteGlyphs(w);
    WritePlantObject(w);
    w.Count(0); // no sounds

    ModuleResourceBlob stored(u"meadow.png");
    stored.SetBytes(EncodePng(kWidth, kHeight, 3, PixelsOf(kWidth, kHeight, Meadow)));
    record.textureSetRecords[LinkKey{kPicturePath, kPictureId}] = {stored};
    StorePng(record, kCurtainLink, EncodePng(32, 128, 4, PaintRgba(32, 128, Curtain)));
    StorePng(record, kStarLink, EncodePng(32, 32, 4, PaintRgba(32, 32, Star)));
    StorePng(record, kGlowLink, EncodePng(32, 32, 4, PaintRgba(32, 32, Glow)));
    StorePng(record, kPlantLink, EncodePng(128, 256, 4, PaintRgba(128, 256, Plant)));
    StoreGlyph(record, kGlyphLinks[0], Ring);
    StoreGlyph(record, kGlyphLinks[1], Bar);
    StoreGlyph(record, kGlyphLinks[2], Diamond);
    StoreBrushGif(record);
    StoreEffect(record, kSwayEffectLink, "plant-sway");
    StoreEffect(record, kQuadsEffectLink, "stage0-textured-quads");
}

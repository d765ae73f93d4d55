// Objects that blur a glow or take the picture drawn so far, played through
// the player's own frame (its device reset states: alpha is not written to
// the back buffer) from writer-made documents over the 32 x 16 ground
// picture (dark blue above, grey below): glows show around their particles,
// and an object that lacks its effect, texture or blur gives the picture
// back instead of blacking it out.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "objectmodel/SceneDocument.h"
#include "player/HeadlessRender.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/GeneratorWriter.h"
#include "tests/support/ImageEffectWriter.h"
#include "tests/support/ParticleSampleDocuments.h"
#include "tests/support/TreeWriter.h"
#include "tests/support/WanderWriter.h"

namespace {

constexpr std::uint32_t kScale = 4; // frame pixels per picture pixel
constexpr std::uint32_t kFrameWidth = 32 * kScale, kFrameHeight = 16 * kScale;
constexpr std::uint32_t kBlueRgb = 0x203040, kGreyRgb = 0x808080;
constexpr double kAfterFadeIn = 2.0;

struct Point {
    float x, y; // picture pixels
};

using WriteObject = std::function<void(DocumentWriter&)>;

player::HeadlessFrame Play(const WriteObject& writeObject)
{
    docres_test::TestModuleFolder(); // the shared module with its blur and generator effects
    const std::vector<std::uint8_t> bytes = ParticleSlideDocument(1, writeObject);
    player::HeadlessRenderOptions options;
    options.width = kFrameWidth;
    options.height = kFrameHeight;
    options.seconds = kAfterFadeIn;
    options.picturePosition = 0; // stretch: the frame is the picture, four times as big
    player::HeadlessFrame frame;
    std::string error;
    const auto open = [bytes] {
        MemoryArchive archive(bytes);
        archive.Reader().ReadWideString(); // the header
        return ReadSceneDocument(archive.Reader());
    };
    EXPECT_TRUE(player::RenderHeadless(open, options, frame, error)) << error;
    return frame;
}

std::uint32_t Rgb(const player::HeadlessFrame& frame, Point at)
{
    const auto x = static_cast<std::size_t>(at.x * float(kScale));
    const auto y = static_cast<std::size_t>(at.y * float(kScale));
    if (frame.pixels.size() != std::size_t(kFrameWidth) * kFrameHeight)
        return 0xDEADBEEF;
    return frame.pixels[y * kFrameWidth + x] & 0xFFFFFF;
}

int Channel(std::uint32_t rgb, int shift)
{
    return int((rgb >> shift) & 0xFF);
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 4)
{
    for (const int shift : {0, 8, 16})
        if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance)
            return false;
    return true;
}

std::string Hex(std::uint32_t rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06X", rgb);
    return text;
}

// ---- what the documents hold -------------------------------------------------------

constexpr std::int32_t kRedGlow = 0x000000FF; // COLORREF: red in the low byte
// Percent of 0.02: the blurred coverage times 20, so the halo of a dot of
// two pixels shows a few pixels around it.
constexpr std::uint32_t kGlowBrightness = 1000;
const Point kDot{8.0f, 12.0f};               // on the grey half
const Point kBesideTheDot{10.5f, 12.0f};     // outside the dot, inside the glow
const Point kFarAway{27.0f, 4.0f};           // on the blue half
const Point kFarBelow{27.0f, 13.0f};         // on the grey half

// A dark dot standing still at kDot, glowing red.
particle_writer::FieldFields GlowingField(std::int32_t glowMode)
{
    particle_writer::FieldFields field = SampleField(u"Glowing dot", 0);
    field.positions = {{kDot.x, kDot.y, 0.0f}};
    field.lifetime = 100000;
    field.speed = 0;
    field.spread = 0;
    field.density = 100;
    particle_writer::BlockFields& block = field.controller.block;
    block.particleSize = 2;
    block.colours = {0x00101010, 0x00000000};
    block.glowMode = glowMode;
    block.glowColour = kRedGlow;
    block.glowStrength = 0;
    block.glowBrightness = kGlowBrightness;
    return field;
}

tree_writer::StoredGeometry VisibleGeometry()
{
    tree_writer::StoredGeometry geometry;
    geometry.name = u"dot";
    geometry.sizeJitter[0] = 100;
    geometry.sizeEnvelope[6] = 100;
    geometry.opacityEnvelope[6] = 100;
    return geometry;
}

// A tree whose one leaf draws a dark dot at kDot, glowing red.
void WriteGlowingTree(DocumentWriter& w, std::int32_t glowMode, description_writer::StoredLink rootEffect)
{
    tree_writer::StoredLeaf leaf;
    leaf.pictures = {{kSampleDotPicture, kSampleDotId}};
    leaf.size = 2;
    leaf.colours = {0x00101010};
    leaf.glowMode = glowMode;
    leaf.glowColour = kRedGlow;
    leaf.glowStrength = 0;
    leaf.glowBrightness = kGlowBrightness;
    tree_writer::StoredRoot root;
    root.effect = rootEffect;
    root.offset[0] = kDot.x;
    root.offset[1] = kDot.y;
    root.base.name = u"Glowing tree";
    tree_writer::WriteRoot(w, root, {[&](DocumentWriter& l) {
                               tree_writer::WriteLeaf(l, leaf, u"dot", [](DocumentWriter& g) {
                                   tree_writer::WritePointGeometry(g, VisibleGeometry());
                               });
                           }});
}

// Where no glow of a dot at kDot reaches (the blur spreads at most 12
// pixels along each axis) and no ray of Rays() does.
const Point kAway[] = {kFarAway, kFarBelow, {24.0f, 1.0f}, {22.0f, 14.5f}};

// Fireflies wandering in a small box around kDot, glowing red; their trail
// draws nothing of its own (no picture).
wander_writer::FireflyFields GlowingFireflies(std::int32_t glowMode)
{
    wander_writer::FireflyFields f;
    f.brown.count = 3;
    f.brown.driftScale = 1;
    f.brown.changeRate = 50;
    f.brown.turnTime = 25;
    f.brown.area = wander_writer::BoxCorners(kDot.x - 0.5f, kDot.y - 0.5f, kDot.x + 0.5f, kDot.y + 0.5f);
    particle_writer::BlockFields& block = f.brown.controller.block;
    block.textureName = u"Dot";
    block.pictures = {{kSampleDotPicture, kSampleDotId}};
    block.particleSize = 2;
    block.colours = {0x00101010, 0x00000000};
    block.flags = 0x2;
    block.glowMode = glowMode;
    block.glowColour = kRedGlow;
    block.glowStrength = 0;
    block.glowBrightness = kGlowBrightness;
    f.brown.controller.base.name = u"Fireflies";
    f.trail.block.particleSize = 2;
    return f;
}

// ---- glows --------------------------------------------------------------------------

struct GlowCase {
    const char* name;
    WriteObject write;
};

const GlowCase kGlowCases[] = {
    {"field system, glow mode 1", [](DocumentWriter& w) { particle_writer::WriteFieldSystem(w, GlowingField(1)); }},
    {"field system, glow mode 2", [](DocumentWriter& w) { particle_writer::WriteFieldSystem(w, GlowingField(2)); }},
    {"tree leaf, glow mode 2", [](DocumentWriter& w) { WriteGlowingTree(w, 2, {u"common_res.dll", 185}); }},
    {"firefly, glow mode 2", [](DocumentWriter& w) { wander_writer::WriteFirefly(w, GlowingFireflies(2)); }},
};

TEST(PictureTakersPlayerTest, GlowsTintThePictureNearTheirParticlesOnly)
{
    for (const GlowCase& c : kGlowCases) {
        SCOPED_TRACE(c.name);
        const player::HeadlessFrame frame = Play(c.write);
        const std::uint32_t beside = Rgb(frame, kBesideTheDot);
        // Red rises well over the grey; green and blue do not rise with it.
        EXPECT_GT(Channel(beside, 16), Channel(kGreyRgb, 16) + 24) << Hex(beside);
        EXPECT_GT(Channel(beside, 16) - Channel(beside, 8), 24) << Hex(beside);
        EXPECT_TRUE(Near(Rgb(frame, kFarAway), kBlueRgb)) << Hex(Rgb(frame, kFarAway));
        EXPECT_TRUE(Near(Rgb(frame, kFarBelow), kGreyRgb)) << Hex(Rgb(frame, kFarBelow));
    }
}

// ---- objects that take the picture and lack what they draw with -------------------

// A fan of rays from the top edge's middle, reaching 6 picture pixels down.
generator_writer::RadialRaysFields Rays(std::int32_t blendMode, description_writer::StoredLink effect,
                                        std::vector<description_writer::StoredLink> textures)
{
    generator_writer::RadialRaysFields rays;
    rays.length = 6;
    rays.width = 3;
    rays.count = 6;
    rays.base.position = {16.0f, 0.0f, 0.0f};
    generator_writer::TexGeneratorFields& textured = rays.base.textured;
    textured.textures = std::move(textures);
    textured.effect = effect;
    textured.blendMode = blendMode;
    textured.generator.base.name = u"Rays";
    return rays;
}

const description_writer::StoredLink kBlendEffect{u"common_res.dll", 97};
const description_writer::StoredLink kRayPicture{u"common_res.dll", 123};
const description_writer::StoredLink kMissing{u"common_res.dll", 9999};
const description_writer::StoredLink kPatternSet{u"docres_test.dll", docres_test::kTextureSetId};

image_effect_writer::PatternFields Pattern(description_writer::StoredLink pattern)
{
    image_effect_writer::PatternFields brush;
    brush.pattern = pattern;
    brush.fx.mode = 1; // reads the picture drawn so far
    brush.fx.effectLink = {u"common_res.dll", 78};
    brush.fx.base.name = u"Pattern";
    return brush;
}

particle_writer::FieldFields WithoutPictures(particle_writer::FieldFields field)
{
    field.controller.block.pictures.clear();
    return field;
}

tree_writer::StoredLeaf WithoutPictures(tree_writer::StoredLeaf leaf)
{
    leaf.pictures.clear();
    return leaf;
}

wander_writer::FireflyFields FirefliesWithoutPictures()
{
    wander_writer::FireflyFields f = GlowingFireflies(2);
    f.brown.controller.block.pictures.clear();
    f.trail.block.glowMode = 2; // the trail takes the picture too
    f.trail.block.pictures.clear();
    return f;
}

struct TakerCase {
    const char* name;
    WriteObject lacking; // takes the picture, lacks its effect, texture or blur
    WriteObject complete;
    // Where the complete object changes the picture; none: somewhere.
    std::optional<Point> drawsAt;
    // Whether the complete object leaves the picture far from it alone.
    bool keepsTheRest = true;
};

const TakerCase kTakerCases[] = {
    {"field system, screen glow without its picture",
     [](DocumentWriter& w) { particle_writer::WriteFieldSystem(w, WithoutPictures(GlowingField(2))); },
     [](DocumentWriter& w) { particle_writer::WriteFieldSystem(w, GlowingField(2)); }, kBesideTheDot},
    {"tree leaf, screen glow without its picture",
     [](DocumentWriter& w) {
         tree_writer::StoredRoot root;
         root.offset[0] = kDot.x;
         root.offset[1] = kDot.y;
         tree_writer::StoredLeaf leaf = WithoutPictures(tree_writer::StoredLeaf{});
         leaf.glowMode = 2;
         tree_writer::WriteRoot(w, root, {[&](DocumentWriter& l) {
                                    tree_writer::WriteLeaf(l, leaf, u"dot", [](DocumentWriter& g) {
                                        tree_writer::WritePointGeometry(g, VisibleGeometry());
                                    });
                                }});
     },
     [](DocumentWriter& w) { WriteGlowingTree(w, 2, {u"common_res.dll", 185}); }, kBesideTheDot},
    {"fireflies and trail, screen glows without their pictures",
     [](DocumentWriter& w) { wander_writer::WriteFirefly(w, FirefliesWithoutPictures()); },
     [](DocumentWriter& w) { wander_writer::WriteFirefly(w, GlowingFireflies(2)); }, kBesideTheDot},
    {"radial rays, screen blend without an effect",
     [](DocumentWriter& w) { generator_writer::WriteRadialRays(w, Rays(1, {}, {kRayPicture})); },
     [](DocumentWriter& w) { generator_writer::WriteRadialRays(w, Rays(1, kBlendEffect, {kRayPicture})); },
     std::nullopt},
    {"radial rays, dodge blend without a texture",
     [](DocumentWriter& w) { generator_writer::WriteRadialRays(w, Rays(2, kBlendEffect, {})); },
     [](DocumentWriter& w) { generator_writer::WriteRadialRays(w, Rays(2, kBlendEffect, {kRayPicture})); },
     std::nullopt},
    {"pattern brush over the picture without its pattern",
     [](DocumentWriter& w) { image_effect_writer::WritePatternBrush(w, Pattern(kMissing)); },
     [](DocumentWriter& w) { image_effect_writer::WritePatternBrush(w, Pattern(kPatternSet)); }, std::nullopt,
     false},
};

bool ShowsThePicture(const player::HeadlessFrame& frame, Point at)
{
    return Near(Rgb(frame, at), at.y < 8.0f ? kBlueRgb : kGreyRgb);
}

bool ChangesThePictureSomewhere(const player::HeadlessFrame& frame)
{
    for (float y = 0.5f; y < 16.0f; y += 1.0f)
        for (float x = 0.5f; x < 32.0f; x += 1.0f)
            if (!Near(Rgb(frame, {x, y}), y < 8.0f ? kBlueRgb : kGreyRgb, 16))
                return true;
    return false;
}

TEST(PictureTakersPlayerTest, ObjectsThatTakeThePictureGiveItBackWhateverTheyLack)
{
    for (const TakerCase& c : kTakerCases) {
        SCOPED_TRACE(c.name);
        const player::HeadlessFrame lacking = Play(c.lacking);
        for (const Point& at : kAway)
            EXPECT_TRUE(ShowsThePicture(lacking, at)) << at.x << ", " << at.y << ": " << Hex(Rgb(lacking, at));
        const player::HeadlessFrame complete = Play(c.complete);
        if (c.drawsAt)
            EXPECT_FALSE(Near(Rgb(complete, *c.drawsAt), Rgb(lacking, *c.drawsAt), 16)) << Hex(Rgb(complete, *c.drawsAt));
        else
            EXPECT_TRUE(ChangesThePictureSomewhere(complete));
        if (!c.keepsTheRest)
            continue;
        for (const Point& at : kAway)
            EXPECT_TRUE(ShowsThePicture(complete, at)) << at.x << ", " << at.y << ": " << Hex(Rgb(complete, at));
    }
}

} // namespace

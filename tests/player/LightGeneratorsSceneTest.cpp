// Smoke, lightning, fireworks and falling stars in one writer-made document,
// played headless through the player over a dark picture: the smoke drawn
// first stays visible under the three glow composites that follow it, the
// bolt lights the picture along its line, the picture comes through
// unchanged wherever nothing was drawn, and a bolt that cannot light the
// picture (no effect link, no texture) gives the picture back exactly.

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "player/HeadlessRender.h"
#include "render/BuiltinEffects.h"
#include "tests/player/PlayerTestSupport.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/support/LightGeneratorWriter.h"

namespace {

using namespace generator_writer;

constexpr std::uint32_t kWidth = 320, kHeight = 180;
constexpr std::uint32_t kPictureRgb = 0x202840;
const LinkKey kPictureLink{u"pictures\\night.bmp", 41};
const description_writer::StoredLink kWhiteLink{u"pictures\\white.bmp", 42};
const description_writer::StoredLink kGlowEffectLink{u"effects\\glow.fx", 43};

struct Variant {
    const char* name;
    bool boltEffect;
    bool boltTexture;
};

TexGeneratorFields White(bool effect, bool texture, std::size_t textures)
{
    TexGeneratorFields textured;
    if (texture)
        textured.textures.assign(textures, kWhiteLink);
    if (effect)
        textured.effect = kGlowEffectLink;
    textured.colour = textured.colour2 = 0xFFFFFF;
    textured.opacity = textured.opacity2 = 0; // opaque
    return textured;
}

std::vector<std::uint8_t> NightDocument(const Variant& variant)
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.0f).Float(1.5f).Float(60.0f).Int(0).WideString(u"Night");
    picture_scene_writer::LightFields light;
    light.backgroundPath = std::u16string(kPictureLink.path);
    light.backgroundId = kPictureLink.id;
    picture_scene_writer::WriteLightRecord(w, light);
    w.Count(4);

    SmokeFields smoke;
    smoke.drift = 50; // no push
    smoke.origin.launchLifetime = 250;
    smoke.origin.launchRate = 10;
    smoke.origin.launchSize = 40;
    smoke.origin.direction = 90;
    smoke.origin.base.position = {200.0f, 90.0f, 0.0f};
    smoke.origin.base.textured = White(false, true, 1);
    smoke.origin.base.textured.generator.base.name = u"Smoke";
    WriteSmoke(w, smoke);

    LightningFields bolt;
    bolt.coreWidth = 6;
    bolt.glowWidth = 20;
    bolt.endWidth = 0; // the same width all along
    bolt.string.start = {40.0f, 20.0f, 0.0f};
    bolt.string.end = {40.0f, 160.0f, 0.0f};
    bolt.string.textured = White(variant.boltEffect, variant.boltTexture, 1);
    bolt.string.textured.colour2 = 0x404040;
    bolt.string.textured.generator.base.name = u"Bolt";
    WriteLightning(w, bolt);

    FireworkFields firework;
    firework.rocketCount = 4;
    firework.quadSize = 4;
    firework.rocketSpeed = 5;
    firework.glowFactor = 25;
    firework.origin.base.position = {280.0f, 40.0f, 0.0f};
    firework.origin.base.textured = White(true, true, 1);
    firework.origin.base.textured.generator.base.name = u"Fireworks";
    WriteFireworkSimple(w, firework);

    FallingStarsFields stars;
    stars.starSpeed = 2;
    stars.starRate = 100;
    stars.starSize = 4;
    stars.glowFactor = 25;
    stars.holdTime = 100;
    stars.fadeInTime = 50;
    stars.fadeOutTime = 50;
    stars.region = RectangleQuad(120.0f, 30.0f, 60.0f, 30.0f);
    stars.textured = White(true, true, 4);
    stars.textured.generator.base.name = u"Stars";
    WriteFallingStars(w, stars);

    w.Count(0);
    w.AudioFiles({});
    DocResManagerRecord record;
    ModuleResourceBlob picture(u"night.bmp");
    picture.SetBytes(docres_test::SolidBmp(kWidth, kHeight, kPictureRgb));
    record.textureSetRecords[kPictureLink] = {picture};
    ModuleResourceBlob white(u"white.bmp");
    white.SetBytes(docres_test::SolidBmp(8, 8, 0xFFFFFF));
    record.textureSetRecords[LinkKey{kWhiteLink.path, kWhiteLink.id}] = {white};
    const auto effect = FindBuiltinEffectSource("generator-glow");
    ModuleResourceBlob glow(u"glow.fx");
    glow.SetBytes(std::vector<std::uint8_t>(effect.begin(), effect.end()));
    record.storedResources[LinkKey{kGlowEffectLink.path, kGlowEffectLink.id}] = {glow};
    w.DocResManager(record);
    return w.Bytes();
}

class LightGeneratorsSceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("orvanta-night-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    player::HeadlessFrame Render(const Variant& variant, double seconds)
    {
        const std::filesystem::path document = folder / "night.dds";
        EXPECT_TRUE(DocumentWriter().Raw(NightDocument(variant)).SaveTo(document));
        player::HeadlessRenderOptions options;
        options.width = kWidth;
        options.height = kHeight;
        options.seconds = seconds;
        player::HeadlessFrame frame;
        std::string error;
        const kxi_string path = crt::FromUtf8(document.string());
        EXPECT_TRUE(player::RenderHeadless([path] { return OpenDocumentFile(path); }, options, frame, error)) << error;
        return frame;
    }

    static std::uint32_t Rgb(const player::HeadlessFrame& frame, std::uint32_t x, std::uint32_t y)
    {
        return frame.pixels.at(std::size_t(y) * frame.width + x) & 0xFFFFFFu;
    }
    static int Green(std::uint32_t rgb) { return int((rgb >> 8) & 0xFF); }

    std::filesystem::path folder;
};

TEST_F(LightGeneratorsSceneTest, TheGlowCompositesKeepWhatWasDrawnBeforeThem)
{
    const Variant variants[] = {
        {"the glow effect", true, true},
        {"an empty effect link", false, true},
        {"no bolt texture", true, false},
    };
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.name);
        const player::HeadlessFrame frame = Render(variant, 3.0);
        ASSERT_EQ(frame.width, kWidth);
        // Nothing drawn here: the picture exactly.
        for (const auto& [x, y] : {std::pair{100u, 170u}, std::pair{10u, 100u}, std::pair{300u, 170u}})
            EXPECT_EQ(Rgb(frame, x, y), kPictureRgb) << x << ", " << y;
        // The smoke, drawn first, stays visible.
        EXPECT_GT(Green(Rgb(frame, 200, 60)), Green(kPictureRgb) + 60);
        if (variant.boltEffect && variant.boltTexture) {
            EXPECT_GE(Green(Rgb(frame, 40, 60)), 0xF0) << "the core lies over the picture";
            const int glow = Green(Rgb(frame, 47, 60));
            EXPECT_GT(glow, Green(kPictureRgb) + 20) << "the glow brightens";
            EXPECT_LT(glow, 0xF0);
        } else {
            EXPECT_EQ(Rgb(frame, 40, 60), kPictureRgb) << "the picture comes back exactly";
            EXPECT_EQ(Rgb(frame, 47, 60), kPictureRgb);
        }
    }
}

} // namespace

// The lines drawn through the player's frame on the headless scene: the
// screen passes each line claims against the switches it makes, a ribbon
// along its path, the multiply blend, and the picture handed over by a line
// that glows over the screen.

#include <gtest/gtest.h>

#include <functional>

#include "tests/particles/systems/LineTestSupport.h"
#include "tests/render/RenderObjectTestSupport.h"

namespace {

using namespace line_test;
using namespace line_writer;

constexpr std::uint32_t kRedColourRef = 0x000000FF;
const LinkKey kWhitePicture{u"pictures\\white.bmp", 31};

struct Setting {
    std::int32_t blend;
    std::int32_t layerGlow;
    std::int32_t show;
    std::int32_t headGlow;
};

// A line of each kind along y = 12 of the canvas, its layer red.
std::vector<std::function<void(DocumentWriter&, const Setting&)>> LineKinds()
{
    const auto layer = [](const Setting& s) {
        BlockFields block = Ribbon();
        block.colours = {kRedColourRef};
        block.blendMode = s.blend;
        block.glowMode = s.layerGlow;
        return block;
    };
    const auto head = [](const Setting& s) {
        ControllerFields controller = HeadController(25);
        controller.block.glowMode = s.headGlow;
        return controller;
    };
    return {
        [=](DocumentWriter& w, const Setting& s) {
            GrowingFields f;
            f.base.width = 4;
            f.base.line.points = Straight(4.0f, 28.0f, 12.0f);
            f.base.line.showParticles = s.show;
            f.base.line.layer = layer(s);
            f.base.line.controller = head(s);
            WriteGrowingLine(w, f);
        },
        [=](DocumentWriter& w, const Setting& s) {
            ShootingFields f;
            f.points = Straight(4.0f, 28.0f, 12.0f);
            f.layer = layer(s);
            f.minimumInterval = 0.0f;
            f.maximumInterval = 0.0f;
            f.speed = 10;
            f.tailDelay = 20;
            f.width = 4;
            f.showParticles = s.show;
            f.controller = head(s);
            WriteShootingLine(w, f);
        },
        [=](DocumentWriter& w, const Setting& s) {
            WavingFields f;
            f.width = 4;
            f.layer = layer(s);
            f.showParticles = s.show;
            f.start = {4.0f, 12.0f, 0.0f};
            f.end = {28.0f, 12.0f, 0.0f};
            f.controller = head(s);
            WriteWavingLine(w, f);
        },
    };
}

std::unique_ptr<KXI_ParticleSystemCtrl> ReadKind(std::size_t kind, const Setting& s)
{
    DocumentWriter w;
    LineKinds()[kind](w, s);
    return ReadLine<KXI_ParticleSystemCtrl>(w);
}

class LineRenderTest : public LineSceneTest {
protected:
    std::unique_ptr<DS_2D_Light> MakeWhiteLight()
    {
        ModuleResourceBlob stored(u"white.bmp");
        stored.SetBytes(docres_test::BmpPicture(kPictureWidth, kPictureHeight, [](std::uint32_t, std::uint32_t) {
            return 0xFFFFFFu;
        }));
        DocResManagerRecord record;
        record.textureSetRecords[kWhitePicture] = {stored};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
        return MakeLight(kWhitePicture, PicturePosition::kStretch);
    }

    std::vector<std::uint32_t> Frame(DS_2D_Light& light, const RenderObjectList& objects, int frames = 2)
    {
        for (int frame = 1; frame <= frames; ++frame) {
            for (const auto& object : objects)
                object->Animate(0.1f * static_cast<float>(frame));
        }
        light.RenderFrame(objects, false);
        return BackBufferPixels();
    }

    static void ExpectShows(const std::vector<std::uint32_t>& pixels, std::uint32_t x, std::uint32_t y,
                            std::uint32_t rgb, const std::string& what)
    {
        const std::uint32_t pixel = At(pixels, x, y);
        EXPECT_TRUE(ShowsRgb(pixel, rgb)) << what << ": (" << x << ", " << y << ") shows " << quad_test::Hex(pixel)
                                          << ", expected " << quad_test::Hex(rgb);
    }
};

TEST_F(LineRenderTest, ScreenPassesMatchTheSwitchesOfEveryCombination)
{
    for (std::size_t kind = 0; kind < LineKinds().size(); ++kind) {
        for (const std::int32_t blend : {0, 1, 7}) {
            for (const std::int32_t layerGlow : {0, 1, 2}) {
                for (const std::int32_t show : {0, 1}) {
                    for (const std::int32_t headGlow : {0, 2}) {
                        const Setting s{blend, layerGlow, show, headGlow};
                        const int expected =
                            (blend == 1 ? 1 : 0) + (layerGlow == 2 ? 1 : 0) + (show && headGlow == 2 ? 1 : 0);
                        auto description = ReadKind(kind, s);
                        ASSERT_NE(description, nullptr);
                        RunningLine running = Run(*description);
                        running.Mech().Animate(0.1f);
                        render_object_test::RecordingRenderer renderer;
                        int counter = 10;
                        running.Mech().RenderTo(renderer, counter);
                        const std::string what = "kind " + std::to_string(kind) + " blend " + std::to_string(blend) +
                                                 " layer glow " + std::to_string(layerGlow) + " show " +
                                                 std::to_string(show) + " head glow " + std::to_string(headGlow);
                        EXPECT_EQ(running.Mech().NeedsRenderTarget(), expected) << what;
                        EXPECT_EQ(renderer.switches, expected) << what;
                        EXPECT_EQ(counter, 10 - expected) << what;
                    }
                }
            }
        }
    }
}

TEST_F(LineRenderTest, RibbonsLieAlongTheirPaths)
{
    // Canvas 32 x 16 over 64 x 64: a canvas point (x, y) shows at (2x, 4y).
    for (std::size_t kind = 0; kind < LineKinds().size(); ++kind) {
        auto light = MakeStripesLight(PicturePosition::kStretch);
        auto description = ReadKind(kind, Setting{0, 0, 0, 0});
        RunningLine running = Run(*description);
        const RenderObjectList objects = {running.object};
        const auto pixels = Frame(*light, objects);
        const std::string what = "kind " + std::to_string(kind);
        const std::int32_t ribbon = kind == 1 ? 1 : 0;
        EXPECT_GT(running.Mech().QuadCount(ribbon), 0) << what;
        ExpectShows(pixels, 2 * 6, 4 * 12, kRedRgb, what);
        ExpectShows(pixels, 2 * 6, 4 * 9, kGrey, what);
        ExpectShows(pixels, 2 * 2 - 1, 4 * 12, kGrey, what);
    }
}

TEST_F(LineRenderTest, MultiplyKeepsThePictureUnderWhiteAndFiltersItUnderColour)
{
    enum class Lacking { kNothing, kTexture, kSurface };
    for (const Lacking lacking : {Lacking::kNothing, Lacking::kTexture, Lacking::kSurface}) {
        auto light = MakeWhiteLight();
        GrowingFields f;
        f.base.width = 4;
        f.base.line.points = Straight(4.0f, 28.0f, 12.0f);
        f.base.line.layer = Ribbon();
        f.base.line.layer.colours = {kRedColourRef};
        f.base.line.layer.blendMode = 1;
        if (lacking == Lacking::kTexture)
            f.base.line.layer.pictures.clear();
        f.base.line.controller = HeadController();
        DocumentWriter w;
        WriteGrowingLine(w, f);
        auto description = ReadLine<KXI_GrovingLine>(w);
        RunningLine running = Run(*description);
        if (lacking == Lacking::kSurface)
            running.Line<KXI_GrovingLine>().lineLayer.surface = KXI_PrerenderSurface();
        const auto pixels = Frame(*light, {running.object});
        const std::string what = "lacking " + std::to_string(static_cast<int>(lacking));
        ExpectShows(pixels, 2 * 16, 4 * 12, lacking == Lacking::kNothing ? kRedRgb : 0xFFFFFF, what);
        ExpectShows(pixels, 2 * 16, 4 * 6, 0xFFFFFF, what);
        ExpectShows(pixels, 2 * 30, 4 * 12, 0xFFFFFF, what);
    }
}

TEST_F(LineRenderTest, ScreenGlowLineHandsTheRibbonOnToTheNextReader)
{
    auto light = MakeStripesLight(PicturePosition::kStretch);
    auto description = ReadKind(0, Setting{0, 2, 0, 0});
    ProbeLog log;
    gfx::Ref<gfx::Effect> copy = LoadTestEffect();
    const RenderObjectList objects = {Run(*description).object, ReaderProbe("reader", log, *copy)};
    const auto pixels = Frame(*light, objects);
    // The reader draws back only what it was handed: the ribbon reached it.
    ASSERT_NE(log.Find("reader"), nullptr);
    ExpectShows(pixels, 2 * 16, 4 * 12, kRedRgb, "drawn back");
    ExpectShows(pixels, 2 * 16, 4 * 9, kGrey, "drawn back");
    ExpectShows(pixels, 4, 4, kStripes[0], "drawn back");
}

} // namespace

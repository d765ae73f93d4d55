// The painted generators' common part and the custom brush: the dab quads
// (size, aspect, turn, alpha), an empty dab list, the brush's own picture
// (a GIF's frames by the frame clock, any other picture as a texture), and
// a brush that follows its timeline.

#include <gtest/gtest.h>

#include <cmath>

#include "particles/generators/AirBrush.h"
#include "tests/particles/generators/GeneratorTestSupport.h"
#include "tests/particles/generators/LightGeneratorTestSupport.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"

namespace {

using generator_test::RecordingRenderer;
using light_test::Alpha;
using light_test::LayerVertices;

const LinkKey kGif{u"brushes\\glint.GIF", 4};
const LinkKey kStill{u"brushes\\dab.bmp", 5};

GenParticle Dab(float x, float y, float scale, float opacity, float angle)
{
    GenParticle dab;
    dab.Init(x, y, 0.0f);
    dab.channels[GenParticle::kScale] = scale;
    dab.channels[GenParticle::kOpacity] = opacity;
    dab.channels[GenParticle::kAngle] = angle;
    return dab;
}

class AirBrushTest : public quad_test::DeviceFixture {
protected:
    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        DocResManagerRecord record;
        // Three frames of 0.1 s in three colours, 16 x 8 (ratio 0.5).
        for (const std::uint32_t rgb : {0xFF0000u, 0x00FF00u, 0x0000FFu})
            record.frames[kGif].push_back({docres_test::SolidGif(16, 8, rgb), 0.1f});
        ModuleResourceBlob still(u"dab.bmp");
        still.SetBytes(docres_test::SolidBmp(8, 16, 0xFFFFFF));
        record.textureSetRecords[kStill] = {still};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);

        brush.image.StorePathAndId(kGif.path, kGif.id);
        brush.brushSize.StoreValue(20);
        brush.colour.colour.StoreValue(0x00336699);
        brush.colour.opacity.QuietSet(0); // alpha 255
        brush.frameSpeed.QuietSet(100);
    }

    std::unique_ptr<DS_ParticlesObj> MakeObject() { return std::make_unique<DS_ParticlesObj>(brush.Clone()); }
    static DS_CustomAirBrush& Clone(DS_ParticlesObj& object)
    {
        return static_cast<DS_CustomAirBrush&>(*object.Generator());
    }

    DS_CustomAirBrush brush;
};

TEST_F(AirBrushTest, EachDabIsAQuadOfBrushSizeAndAspectTurnedAndFaded)
{
    brush.dabs.push_back(Dab(50, 40, 1.0f, 1.0f, 0.0f));
    brush.dabs.push_back(Dab(100, 40, 2.0f, 0.5f, 3.14159265f / 2));
    brush.colour.opacity.QuietSet(20); // alpha 204
    light_test::Script(brush, 1).Set(kTimingRising, 0.5f);
    auto object = MakeObject();
    EXPECT_FLOAT_EQ(Clone(*object).aspect, 0.5f) << "the aspect is the picture's ratio";
    const auto v = LayerVertices(*object, 0);
    ASSERT_EQ(v.size(), 8u);
    // Dab 0: 20 wide, 10 high, centred on (50, 40).
    EXPECT_NEAR(light_test::QuadWidth(v, 0), 20.0f, 1e-4f);
    EXPECT_NEAR(std::abs(v[0].y - v[1].y), 10.0f, 1e-4f);
    EXPECT_NEAR((v[0].x + v[3].x) / 2, 50.0f, 1e-4f);
    EXPECT_NEAR((v[0].y + v[3].y) / 2, 40.0f, 1e-4f);
    // Dab 1: twice the size, turned by 90 degrees: 20 wide along x, 40 along y.
    EXPECT_NEAR(light_test::QuadWidth(v, 1), 20.0f, 1e-3f);
    float top = v[4].y, bottom = v[4].y;
    for (std::size_t i = 4; i < 8; ++i) {
        top = std::min(top, v[i].y);
        bottom = std::max(bottom, v[i].y);
    }
    EXPECT_NEAR(bottom - top, 40.0f, 1e-3f);
    // Alpha: opacity byte x timeline level x the dab's opacity.
    EXPECT_EQ(Alpha(v[0].colour), 102u);
    EXPECT_EQ(Alpha(v[4].colour), 51u);
    EXPECT_EQ(v[0].colour & 0xFFFFFFu, 0x996633u);
}

TEST_F(AirBrushTest, NoDabsKeepOneEmptyLayerAndDrawNothing)
{
    auto object = MakeObject();
    ASSERT_EQ(object->LayerCount(), 1u);
    EXPECT_EQ(object->QuadCount(0), 0);
    RecordingRenderer renderer(*device);
    Clone(*object).Render(renderer, *object);
    for (const auto& event : renderer.events)
        EXPECT_NE(event.what, "layer");
    // The brush tool's entry writes the quads at once.
    Clone(*object).AddParticleAt({5, 6, 0}, {});
    EXPECT_EQ(object->QuadCount(0), 1);
}

TEST_F(AirBrushTest, AGifBrushPlaysItsFramesByTheFrameClock)
{
    brush.dabs.push_back(Dab(50, 40, 1.0f, 1.0f, 0.0f));
    struct Case {
        std::uint32_t speed;
        float frameSeconds; // real seconds per frame
    };
    for (const Case c : {Case{100, 0.1f}, Case{50, 0.2f}}) {
        SCOPED_TRACE(c.speed);
        brush.frameSpeed.QuietSet(c.speed);
        auto object = MakeObject();
        DS_CustomAirBrush& clone = Clone(*object);
        ASSERT_EQ(clone.frames.FrameCount(), 3u);
        std::vector<int> shown;
        // Steps of a tenth of a frame; a frame changes at the first step
        // past its duration, so each is sampled halfway through.
        for (int step = 1; step <= 35; ++step) {
            clone.Step(float(step) * c.frameSeconds / 10, *object);
            if (step % 10 == 5)
                shown.push_back(clone.frames.currentFrame);
        }
        EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0}));
        // Without an effect link the dabs go straight, with the frame shown.
        ASSERT_FALSE(clone.effect);
        RecordingRenderer renderer(*device);
        clone.Render(renderer, *object);
        ASSERT_EQ(renderer.Whats(), std::vector<std::string>{"layer straight"});
        EXPECT_EQ(renderer.events[0].stageTexture, clone.frames.CurrentTexture());
    }
}

TEST_F(AirBrushTest, AStillPictureLoadsAsATextureAndAMissingOneDrawsNothing)
{
    brush.image.StorePathAndId(kStill.path, kStill.id);
    brush.dabs.push_back(Dab(50, 40, 1.0f, 1.0f, 0.0f));
    auto object = MakeObject();
    EXPECT_NE(Clone(*object).frames.CurrentTexture(), nullptr);
    EXPECT_FLOAT_EQ(Clone(*object).aspect, 2.0f);

    brush.image.StorePathAndId(u"brushes\\missing.gif", 77);
    auto missing = MakeObject();
    EXPECT_EQ(Clone(*missing).frames.CurrentTexture(), nullptr);
    RecordingRenderer renderer(*device);
    Clone(*missing).Render(renderer, *missing);
    for (const auto& event : renderer.events)
        EXPECT_NE(event.what, "layer");
}

TEST_F(AirBrushTest, ABrushOnATimelineIsInvisibleWhileOffAndFadesWithIt)
{
    brush.dabs.push_back(Dab(50, 40, 1.0f, 1.0f, 0.0f));
    light_test::ScriptedTimeline& timeline = light_test::Script(brush, 1);
    timeline.Set(kTimingOff, 0.0f);
    auto object = MakeObject();
    DS_CustomAirBrush& clone = Clone(*object);
    const struct {
        int state;
        float level;
        std::uint32_t alpha;
    } steps[] = {{kTimingOff, 0.0f, 0}, {kTimingRising, 0.5f, 128}, {kTimingOn, 1.0f, 255}, {kTimingFalling, 0.2f, 51}};
    float t = 0.0f;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.level);
        timeline.Set(s.state, s.level);
        clone.Step(t += 0.05f, *object);
        EXPECT_EQ(Alpha(LayerVertices(*object, 0)[0].colour), s.alpha);
    }
}

} // namespace

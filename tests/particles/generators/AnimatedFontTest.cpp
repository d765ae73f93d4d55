// The animated font: glyph quads at their pictures' pixel size, the line
// scaled about the position by layer 0's world matrix, each glyph's frames,
// the common prefix of positions and pictures, and one draw per glyph.

#include <gtest/gtest.h>

#include <bit>

#include "particles/generators/AnimatedFont.h"
#include "platform/math/MathFunctions.h"
#include "tests/particles/generators/GeneratorTestSupport.h"
#include "tests/particles/generators/LightGeneratorTestSupport.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"

namespace {

using generator_test::RecordingRenderer;
using light_test::LayerVertices;

const LinkKey kWide{u"glyphs\\a.bmp", 1};  // 16 x 8, three frames of 0.2 s
const LinkKey kTall{u"glyphs\\b.bmp", 2};  // 4 x 8, two frames of 0.3 s

class AnimatedFontTest : public quad_test::DeviceFixture {
protected:
    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        DocResManagerRecord record;
        Store(record, kWide, 16, 8, {0xFF0000u, 0x00FF00u, 0x0000FFu}, 0.2f);
        Store(record, kTall, 4, 8, {0xFFFFFFu, 0x000000u}, 0.3f);
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);

        font.keepId = 1;
        font.position.StoreValue({100.0f, 40.0f, 0.0f});
        font.scale.QuietSet(100);
        font.frameSpeed.QuietSet(100);
        AddGlyph(kWide, {100.0f, 40.0f, 0.0f});
        AddGlyph(kTall, {120.0f, 40.0f, 0.0f});
    }

    static void Store(DocResManagerRecord& record, const LinkKey& link, std::uint32_t w, std::uint32_t h,
                      std::initializer_list<std::uint32_t> colours, float seconds)
    {
        for (const std::uint32_t rgb : colours) {
            ModuleResourceBlob frame(u"frame.bmp");
            frame.SetBytes(docres_test::SolidBmp(w, h, rgb));
            record.textureSetRecords[link].push_back(frame);
            record.textureSetValues[link].push_back(std::bit_cast<std::uint32_t>(seconds));
        }
    }

    void AddGlyph(const LinkKey& link, const math::Vec3& at)
    {
        DS_ImageFileLink image;
        image.StorePathAndId(link.path, link.id);
        font.glyphImages.push_back(image);
        GenParticle place;
        place.Init(at.x, at.y, at.z);
        font.emitters.push_back(place);
    }

    static DS_AnimatedFont& Clone(DS_ParticlesObj& object)
    {
        return static_cast<DS_AnimatedFont&>(*object.Generator());
    }

    // Vertex i of layer 0 through the layer's world matrix.
    static math::Vec3 Placed(DS_ParticlesObj& object, std::size_t i)
    {
        const auto v = LayerVertices(object, 0);
        math::Vec3 out;
        math::Vec3TransformCoord(&out, {v[i].x, v[i].y, v[i].z}, object.Layer(0)->header.world);
        return out;
    }

    DS_AnimatedFont font;
};

TEST_F(AnimatedFontTest, GlyphsTakeTheirPicturesSizeAndTheLineScalesAboutThePosition)
{
    struct Case {
        std::uint32_t scale;
        float factor;
    };
    for (const Case c : {Case{100, 1.0f}, Case{50, 0.5f}, Case{0, 0.0f}}) {
        SCOPED_TRACE(c.scale);
        font.scale.QuietSet(c.scale);
        DS_ParticlesObj object(font.Clone());
        ASSERT_EQ(object.QuadCount(0), 2);
        // Glyph 0: corner (0, 0) of the picture at (100, 40), 16 x 8.
        const auto v = LayerVertices(object, 0);
        EXPECT_EQ((math::Vec3{v[1].x, v[1].y, v[1].z}), (math::Vec3{100, 40, 0}));
        EXPECT_EQ(v[1].u, 0.0f);
        EXPECT_EQ(v[1].v, 0.0f);
        EXPECT_EQ((math::Vec3{v[2].x, v[2].y, v[2].z}), (math::Vec3{116, 48, 0}));
        // Glyph 1: 4 x 8 at (120, 40).
        EXPECT_EQ((math::Vec3{v[6].x, v[6].y, v[6].z}), (math::Vec3{124, 48, 0}));
        // What reaches the screen: scaled about (100, 40).
        const math::Vec3 far = Placed(object, 6);
        EXPECT_NEAR(far.x, 100.0f + 24.0f * c.factor, 1e-3f);
        EXPECT_NEAR(far.y, 40.0f + 8.0f * c.factor, 1e-3f);
        const math::Vec3 origin = Placed(object, 1);
        EXPECT_NEAR(origin.x, 100.0f, 1e-3f);
        EXPECT_NEAR(origin.y, 40.0f, 1e-3f);
        EXPECT_NEAR(Clone(object).outline.corners[3].value.x, 100.0f + 24.0f * c.factor, 1e-3f);
    }
}

TEST_F(AnimatedFontTest, EachGlyphPlaysItsOwnFrames)
{
    DS_ParticlesObj object(font.Clone());
    DS_AnimatedFont& clone = Clone(object);
    ASSERT_EQ(clone.glyphPictures.size(), 2u);
    ASSERT_EQ(clone.glyphPictures[0].FrameCount(), 3u);
    struct Change {
        float time;
        int frame;
    };
    std::vector<Change> changes[2];
    const float step = 0.01f;
    for (int i = 1; i <= 130; ++i) {
        const int before[2] = {clone.glyphPictures[0].currentFrame, clone.glyphPictures[1].currentFrame};
        clone.Step(step * float(i), object);
        for (std::size_t g = 0; g < 2; ++g)
            if (clone.glyphPictures[g].currentFrame != before[g])
                changes[g].push_back({step * float(i), clone.glyphPictures[g].currentFrame});
    }
    // A frame ends at the first step past its duration.
    const struct {
        float duration;
        std::vector<int> frames;
    } expected[2] = {{0.2f, {1, 2, 0, 1, 2, 0}}, {0.3f, {1, 0, 1, 0}}};
    for (std::size_t g = 0; g < 2; ++g) {
        SCOPED_TRACE(g);
        std::vector<int> frames;
        float last = 0.0f;
        for (const Change& change : changes[g]) {
            frames.push_back(change.frame);
            EXPECT_GE(change.time - last, expected[g].duration - 1e-4f);
            EXPECT_LE(change.time - last, expected[g].duration + step + 1e-4f);
            last = change.time;
        }
        EXPECT_EQ(frames, expected[g].frames);
    }
}

TEST_F(AnimatedFontTest, OneDrawPerGlyphOfTheCommonPrefix)
{
    struct Case {
        const char* name;
        std::size_t pictures, positions, draws;
    };
    const Case cases[] = {
        {"two of each", 2, 2, 2},
        {"three positions, two pictures", 2, 3, 2},
        {"two positions, one picture", 1, 2, 1},
        {"no glyph images", 0, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DS_AnimatedFont line = font;
        line.glyphImages.resize(c.pictures);
        while (line.emitters.size() < c.positions) {
            GenParticle place;
            place.Init(140.0f, 40.0f, 0.0f);
            line.emitters.push_back(place);
        }
        DS_ParticlesObj object(line.Clone());
        EXPECT_EQ(object.QuadCount(0), std::int32_t(c.draws));
        RecordingRenderer renderer(*device);
        Clone(object).Render(renderer, object);
        ASSERT_EQ(renderer.events.size(), c.draws);
        for (std::size_t i = 0; i < c.draws; ++i) {
            EXPECT_EQ(renderer.events[i].quads, 1u);
            EXPECT_EQ(renderer.events[i].stageTexture, Clone(object).glyphPictures[i].CurrentTexture());
        }
    }
    EXPECT_FALSE(font.NeedsBackground());
}

} // namespace

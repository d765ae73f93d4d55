// Party balloons: what the tree effect's "PartyBalloon" technique draws
// (headless read-back against "BlendNormal" and against the light-map rule),
// the stored record, and a balloon in a tree: which textures and opacities
// it binds, that it never switches the render target, and that it draws
// nothing without a picture.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "objectmodel/ClassRegistry.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "particles/engine/PartyBalloon.h"
#include "particles/engine/TreeRendering.h"
#include "render/BuiltinEffects.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/render/RenderObjectTestSupport.h"
#include "tests/support/RecordingArchive.h"
#include "tests/support/TreePresetWriter.h"
#include "tests/support/TreeWriter.h"

namespace {

using namespace picture_scene_test;

// ARGB of one texel.
constexpr std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

class PartyBalloonEffectTest : public PictureSceneTest {
protected:
    gfx::Ref<gfx::Effect> LoadTreeEffect()
    {
        const std::span<const std::uint8_t> bytes = FindBuiltinEffectSource("particle-tree");
        EXPECT_FALSE(bytes.empty());
        gfx::Effect* raw = nullptr;
        std::string errors;
        EXPECT_EQ(gfx::Effect::Create(*device, bytes, &raw, &errors, BuiltinEffectIncludes()), gfx::kOk) << errors;
        return gfx::Ref<gfx::Effect>::Adopt(raw);
    }

    gfx::Ref<gfx::Texture> Solid(std::uint32_t argb) { return quad_test::MakeTexture(*device, 2, 2, {argb, argb, argb, argb}); }

    struct Draw {
        std::string technique;
        std::uint32_t picture = 0;
        std::uint32_t highlight = 0;
        std::uint32_t shade = 0;
        float opacities[3] = {1.0f, 0.0f, 0.0f};
        std::uint32_t vertexColour = 0xFFFFFFFFu;
    };

    // The stripes picture stretched over the target, then one quad over the
    // canvas's grey bottom half drawn with `draw`; the pixel in its middle.
    std::uint32_t DrawOverGrey(const Draw& draw)
    {
        auto light = MakeStripesLight(PicturePosition::kStretch);
        gfx::Ref<gfx::Effect> effect = LoadTreeEffect();
        if (!effect)
            return 0xDEADBEEFu;
        std::shared_ptr<QuadBatchBuffer> batch = MakeRectBatch(*device, 0.0f, 8.0f, 32.0f, 16.0f, draw.vertexColour);
        auto picture = Solid(draw.picture);
        auto highlight = Solid(draw.highlight);
        auto shade = Solid(draw.shade);
        gfx::Effect* fx = effect.Get();
        auto paint = [&, batch, fx](DS_ABRender& renderer) {
            fx->SetTechnique(draw.technique);
            fx->SetTexture("Texture0", picture.Get());
            fx->SetTexture("Texture1", highlight.Get());
            fx->SetTexture("Texture2", shade.Get());
            fx->SetFloatArray("LightMapsOpacity", draw.opacities, 3);
            renderer.DrawIndexedOptionalEffect(*batch, fx, 0, 1);
        };
        ProbeLog log;
        const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(new ProbeObject("balloon", log, 100, paint))};
        light->RenderFrame(objects, false);
        fx->SetTexture("Texture0", nullptr);
        fx->SetTexture("Texture1", nullptr);
        fx->SetTexture("Texture2", nullptr);
        return At(BackBufferPixels(), 32, 48);
    }
};

TEST_F(PartyBalloonEffectTest, WithoutLightMapsABalloonDrawsAsBlendNormal)
{
    // A half-transparent picture tinted by the vertex colour, with light maps
    // bound that must not show.
    Draw balloon{"PartyBalloon", Argb(0x80, 200, 100, 40), Argb(0xFF, 255, 255, 255), Argb(0xFF, 0, 0, 0)};
    balloon.vertexColour = Argb(0xC0, 255, 128, 255);
    Draw normal = balloon;
    normal.technique = "BlendNormal";

    const std::uint32_t drawn = DrawOverGrey(balloon);
    const std::uint32_t expected = DrawOverGrey(normal);
    EXPECT_TRUE(ShowsRgb(drawn, expected, 1)) << Hex(drawn) << " vs " << Hex(expected);
    EXPECT_FALSE(ShowsRgb(drawn, kGrey, 8)) << "the picture did not show";
}

TEST_F(PartyBalloonEffectTest, TheFirstLightMapAddsAndTheSecondShades)
{
    // An opaque picture (0.4, 0.2, 0.6), a highlight (0.2, 0.6, 0.0) and a
    // half shade (0.5, 1.0, 0.25): rgb = clamp((P + H x o1) x mix(1, S, o2))
    // x vertex colour.
    const std::uint32_t picture = Argb(0xFF, 102, 51, 153);
    const std::uint32_t highlight = Argb(0xFF, 51, 153, 0);
    const std::uint32_t shade = Argb(0xFF, 128, 255, 64);
    struct Case {
        float o1, o2;
        std::uint32_t vertexColour;
        double expected[3];
        const char* what;
    };
    const Case cases[] = {
        {1.0f, 0.0f, 0xFFFFFFFFu, {0.6, 0.8, 0.6}, "highlight added"},
        {0.5f, 0.0f, 0xFFFFFFFFu, {0.5, 0.5, 0.6}, "half the highlight"},
        {0.0f, 1.0f, 0xFFFFFFFFu, {0.2, 0.2, 0.15}, "shaded"},
        {1.0f, 0.5f, 0xFFFFFFFFu, {0.45, 0.8, 0.375}, "both, shade at half"},
        // The sum is clamped to 1 before the vertex colour halves it.
        {4.0f, 0.0f, 0xFF808080u, {0.5, 0.5, 0.3}, "clamped, then tinted"},
    };
    for (const Case& c : cases) {
        Draw balloon{"PartyBalloon", picture, highlight, shade, {1.0f, c.o1, c.o2}, c.vertexColour};
        const std::uint32_t drawn = DrawOverGrey(balloon);
        std::uint32_t expected = 0;
        for (int i = 0; i < 3; ++i)
            expected |= std::uint32_t(std::lround(std::min(c.expected[i], 1.0) * 255.0)) << (16 - 8 * i);
        EXPECT_TRUE(ShowsRgb(drawn, expected, 3)) << c.what << ": " << Hex(drawn) << " vs " << Hex(expected);
    }
    // The picture's alpha alone decides the cover: a clear picture leaves the
    // grey, however bright the light maps.
    Draw clear{"PartyBalloon", Argb(0, 0, 0, 0), Argb(0xFF, 255, 255, 255), shade, {1.0f, 1.0f, 1.0f}};
    const std::uint32_t through = DrawOverGrey(clear);
    EXPECT_TRUE(ShowsRgb(through, kGrey, 1)) << Hex(through);
}

// ---- the stored record ----------------------------------------------------------

TEST(PartyBalloonRecordTest, WriterMadeBalloonReadsAndSavesBack)
{
    tree_writer::StoredLeaf leaf;
    leaf.pictures = {{u"pictures\\balloon.png", 1}, {u"pictures\\shine.png", 2}, {u"pictures\\shade.png", 3}};
    leaf.size = 24;
    leaf.glowMode = 2;
    DocumentWriter w;
    tree_writer::WriteBalloon(w, {30, 250}, [&](DocumentWriter& out) {
        tree_writer::WriteLeaf(out, leaf, u"balloons", [](DocumentWriter& g) { tree_writer::WritePointGeometry(g, {}); });
    });

    RegisterParticleEngineClasses();
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<KXI_IOF_Item> item = ReadItemObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    auto* balloon = dynamic_cast<KXI_PartyBalloon*>(item.get());
    ASSERT_TRUE(balloon);
    EXPECT_FLOAT_EQ(balloon->firstLightMapOpacity.Scaled(), 0.3f);
    EXPECT_FLOAT_EQ(balloon->secondLightMapOpacity.Scaled(), 2.5f);
    EXPECT_EQ(balloon->name, u"balloons");
    EXPECT_EQ(balloon->textures.value.pictures.size(), 3u);
    EXPECT_EQ(balloon->size.value, 24u);
    EXPECT_TRUE(dynamic_cast<KXI_PSGeometry_Point*>(balloon->geometry.get()));
    // Glow mode 2 is kept for the document, but a balloon costs no pass.
    EXPECT_EQ(balloon->glowMode.value, 2);
    EXPECT_EQ(balloon->CountScreenPasses(), 0);

    RecordingArchive saved;
    balloon->Save(saved.Writer());
    EXPECT_EQ(saved.writer.Bytes(), w.Bytes());
}

// ---- a balloon in a tree ----------------------------------------------------------

const LinkKey kBalloonPicture{u"pictures\\balloon.bmp", 21};
const LinkKey kHighlight{u"pictures\\highlight.bmp", 22};
const LinkKey kShade{u"pictures\\shade.bmp", 23};
const LinkKey kNotStored{u"pictures\\missing.bmp", 24};
// The picture (0.4, 0.2, 0.6), a highlight (0.2, 0.6, 0) and a shade
// (0.5, 1, 0.25), as in the technique's own test.
constexpr std::uint32_t kPictureRgb = 0x663399;
constexpr std::uint32_t kHighlightRgb = 0x339900;
constexpr std::uint32_t kShadeRgb = 0x80FF40;

class PartyBalloonTreeTest : public PictureSceneTest {
protected:
    void SetUp() override
    {
        PictureSceneTest::SetUp();
        DocResManagerRecord record;
        for (const auto& [link, rgb] : {std::pair{kBalloonPicture, kPictureRgb}, std::pair{kHighlight, kHighlightRgb},
                                        std::pair{kShade, kShadeRgb}})
            record.frames[link] = {StoredFrame{docres_test::SolidBmp(4, 4, rgb), 0.0f}};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
    }

    // The nodes hold textures of the device: they go first.
    void TearDown() override
    {
        root.children.value.clear();
        PictureSceneTest::TearDown();
    }

    // A balloon of one particle riding on the root particle at (16, 12) of
    // the stripes canvas (the grey half), 8 canvas units wide, white.
    static KXI_PartyBalloon* NewBalloon(const std::vector<LinkKey>& pictures, std::uint32_t o1, std::uint32_t o2)
    {
        auto* point = new KXI_PSGeometry_Point;
        // Full size and opacity (a new geometry's are 0 and 1 %).
        point->sizeJitter.QuietSet(100);
        point->sizeEnvelope.percents[6].QuietSet(100);
        point->opacityEnvelope.percents[6].QuietSet(100);
        auto* balloon = new KXI_PartyBalloon(DS_SafePtr<KXI_PtclSys_Geometry>(point));
        for (const LinkKey& link : pictures) {
            balloon->textures.value.pictures.emplace_back(static_cast<std::int32_t>(link.id), link.path);
            balloon->textures.value.pictures.back().StorePathAndId(link.path, link.id);
        }
        balloon->size.value = 8;
        balloon->colours.colors.value = {0x00FFFFFF};
        balloon->firstLightMapOpacity.SetValue(o1, nullptr);
        balloon->secondLightMapOpacity.SetValue(o2, nullptr);
        return balloon;
    }

    // The running tree of `balloon`, one frame on.
    std::unique_ptr<KXI_PtclSys_Mesh> RunTree(KXI_PartyBalloon* balloon)
    {
        root.offset.value = {16.0f, 12.0f, 0.0f};
        root.children.Append(TreeNodeHandle(balloon));
        std::unique_ptr<KXI_RenderObj> object = root.CreateRenderObject();
        auto* mesh = dynamic_cast<KXI_PtclSys_Mesh*>(object.get());
        EXPECT_TRUE(mesh);
        object.release();
        std::unique_ptr<KXI_PtclSys_Mesh> running(mesh);
        running->Animate(0.1f);
        return running;
    }

    // The middle of the balloon's quad after a frame of the stripes light.
    std::uint32_t DrawnPixel(std::unique_ptr<KXI_PtclSys_Mesh> mesh)
    {
        auto light = MakeStripesLight(PicturePosition::kStretch);
        const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(mesh.release())};
        light->RenderFrame(objects, false);
        return At(BackBufferPixels(), 32, 48);
    }

    KXI_PSTree_Root root;
};

TEST_F(PartyBalloonTreeTest, ABalloonBindsItsLightMapsAndTheirOpacities)
{
    const std::vector<LinkKey> all = {kBalloonPicture, kHighlight, kShade};
    struct Case {
        std::vector<LinkKey> pictures;
        std::uint32_t o1, o2;
        std::array<float, 3> opacities;
        std::uint32_t rgb;
        const char* what;
    };
    const Case cases[] = {
        {all, 0, 0, {1.0f, 0.0f, 0.0f}, kPictureRgb, "opacities 0: the picture alone"},
        {all, 100, 0, {1.0f, 1.0f, 0.0f}, 0x99CC99, "the highlight added"},
        {all, 100, 100, {1.0f, 1.0f, 1.0f}, 0x4DCC26, "added, then shaded"},
        {all, 0, 50, {1.0f, 0.0f, 0.5f}, 0x4D3360, "half shaded"},
        // Light maps without a texture count with opacity 0.
        {{kBalloonPicture}, 100, 100, {1.0f, 0.0f, 0.0f}, kPictureRgb, "the picture only"},
        {{kBalloonPicture, kHighlight}, 100, 100, {1.0f, 1.0f, 0.0f}, 0x99CC99, "no shade"},
        {{kBalloonPicture, kNotStored, kShade}, 100, 100, {1.0f, 0.0f, 1.0f}, 0x333326, "a highlight that did not load"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        root.children.value.clear();
        KXI_PartyBalloon* balloon = NewBalloon(c.pictures, c.o1, c.o2);
        std::unique_ptr<KXI_PtclSys_Mesh> mesh = RunTree(balloon);
        EXPECT_EQ(balloon->LightMapsOpacity(), c.opacities);
        ASSERT_EQ(mesh->BatchCount(), 1u);
        EXPECT_EQ(mesh->Batch(0)->quadCount, 1);
        const std::uint32_t drawn = DrawnPixel(std::move(mesh));
        EXPECT_TRUE(ShowsRgb(drawn, c.rgb, 3)) << Hex(drawn) << " vs " << Hex(c.rgb);
    }
}

TEST_F(PartyBalloonTreeTest, ABalloonNeverSwitchesTheTargetAndWithoutAPictureDrawsNothing)
{
    KXI_PartyBalloon* glowing = NewBalloon({kBalloonPicture}, 0, 0);
    glowing->glowMode.value = 2;
    std::unique_ptr<KXI_PtclSys_Mesh> mesh = RunTree(glowing);
    EXPECT_EQ(mesh->NeedsRenderTarget(), 0);
    render_object_test::RecordingRenderer recorder;
    int counter = 0;
    mesh->RenderTo(recorder, counter);
    EXPECT_EQ(recorder.switches, 0);
    EXPECT_EQ(counter, 0);
    // One draw of its batch with the balloon technique, and no glow.
    ASSERT_EQ(recorder.draws.size(), 1u);
    EXPECT_EQ(recorder.draws[0].batch, mesh->Batch(0));
    EXPECT_EQ(recorder.draws[0].quads, 1u);
    ASSERT_NE(recorder.draws[0].effect, nullptr);
    EXPECT_EQ(recorder.draws[0].effect->CurrentTechnique(), KXI_PartyBalloon::kTechnique);
    EXPECT_EQ(recorder.screenDraws, 0);
    EXPECT_TRUE(ShowsRgb(DrawnPixel(std::move(mesh)), kPictureRgb, 3));

    for (const std::vector<LinkKey>& pictures : {std::vector<LinkKey>{}, std::vector<LinkKey>{kNotStored, kHighlight}}) {
        root.children.value.clear();
        std::unique_ptr<KXI_PtclSys_Mesh> bare = RunTree(NewBalloon(pictures, 100, 100));
        render_object_test::RecordingRenderer none;
        bare->RenderTo(none, counter);
        EXPECT_TRUE(none.draws.empty());
        const std::uint32_t drawn = DrawnPixel(std::move(bare));
        EXPECT_TRUE(ShowsRgb(drawn, kGrey, 1)) << Hex(drawn);
    }
}

} // namespace

// Particle quads and their drawing: batch growth, texture coordinates and
// colours, and what a field system draws through the picture scene with
// each blend mode (headless read-back).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <utility>

#include "objectmodel/ClassRegistry.h"
#include "particles/engine/FieldPtclSys.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "particles/engine/ParticleRoutines.h"
#include "render/QuadTextured.h"
#include "tests/particles/engine/GlowExpectations.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/support/ParticleWriter.h"

namespace {

using namespace picture_scene_test;

const LinkKey kDotLink{u"pictures\\dot.bmp", 11};

// Records the batch draws and the render-target switches.
class DrawRecorder : public DS_ABRender {
public:
    void PushView(std::uint32_t, std::uint32_t, int) override {}
    void PopView() override {}
    void DrawIndexedWithEffect(QuadBatchBuffer&, gfx::Effect&) override {}
    void DrawWithEffect(TexturedQuad&, gfx::Effect&) override { ++screenDraws; }
    void DrawIndexedOptionalEffect(QuadBatchBuffer& batch, gfx::Effect*, std::uint32_t, std::uint32_t quads) override
    {
        draws.push_back({batch.QuadCapacity(), quads});
    }
    void DrawColoredWithEffect(QuadBatchBuffer&, gfx::Effect&) override {}
    void DrawSpriteList(MeshItem&) override {}
    void DrawTexturedBatch(DS_SpriteArrayObj&) override {}
    void DrawMeshList(TexturedBatch&) override {}
    void DrawMirrored(MirroredGrid&, int) override {}
    void SwitchRenderTarget(int& counter) override
    {
        --counter;
        ++switches;
    }
    gfx::Texture* GetTargetTexture() override { return nullptr; }
    TexturedQuad& GetBackgroundQuad() override { return background; }
    std::uint32_t GetWidth() const override { return 0; }
    std::uint32_t GetHeight() const override { return 0; }

    TexturedQuad background;
    std::vector<std::pair<std::int32_t, std::uint32_t>> draws; // capacity, quads drawn
    int switches = 0;
    int screenDraws = 0;
};

// Renders `mech` with a recorder: no batch and no screen quad drawn.
void ExpectNothingDrawn(KXI_ParticleSystemMech& mech)
{
    DrawRecorder recorder;
    int counter = 0;
    mech.RenderTo(recorder, counter);
    EXPECT_TRUE(recorder.draws.empty());
    EXPECT_EQ(recorder.screenDraws, 0);
}

class ParticleRenderTest : public PictureSceneTest {
protected:
    void StorePicture(const LinkKey& link, std::uint32_t width, std::uint32_t height, std::uint32_t rgb)
    {
        DocResManagerRecord record;
        record.frames[link] = {StoredFrame{docres_test::SolidBmp(width, height, rgb), 0.0f}};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
    }

    // A running field with one particle per position, standing still.
    std::unique_ptr<KXI_ParticleSystemMech> RunField(KXI_FieldPtclSys& field)
    {
        field.density.SetValue(100, nullptr);
        field.lifetime.SetValue(100000, nullptr);
        auto object = field.CreateRenderObject();
        auto* mech = dynamic_cast<KXI_ParticleSystemMech*>(object.get());
        EXPECT_NE(mech, nullptr);
        object.release();
        std::unique_ptr<KXI_ParticleSystemMech> running(mech);
        running->Animate(0.0f);
        return running;
    }

    void UseDot(KXI_FieldPtclSys& field, std::uint32_t rgb, float x, float y)
    {
        StorePicture(kDotLink, 4, 4, 0xFFFFFF);
        field.params.textureLink.value.pictures.emplace_back(static_cast<std::int32_t>(kDotLink.id), kDotLink.path);
        field.params.textureLink.value.pictures.back().StorePathAndId(kDotLink.path, kDotLink.id);
        field.params.flags = ParticleSystemParams::kFlagFilteredTextures;
        field.params.colours.colors.value = {rgb};
        field.params.particleSize.value = 4;
        field.positions.AddPosition(x, y, 0.0f);
    }
};

TEST_F(ParticleRenderTest, BatchesOnlyGrowAndDrawTheirQuadCount)
{
    KXI_FieldPtclSys description;
    auto mech = RunField(description);
    ParticleSystemParams& block = mech->Controller().params;
    mech->PrepareBatch(0, 10, nullptr, block);
    EXPECT_EQ(mech->Batch(0)->QuadCapacity(), 10);
    mech->PrepareBatch(0, 11, nullptr, block);
    EXPECT_EQ(mech->Batch(0)->QuadCapacity(), 11);
    mech->PrepareBatch(0, 5, nullptr, block);
    EXPECT_EQ(mech->Batch(0)->QuadCapacity(), 11);
    EXPECT_EQ(mech->QuadCount(0), 5);

    DrawRecorder recorder;
    auto effect = LoadTestEffect();
    mech->DrawBatch(recorder, effect.Get(), "Copy", 0);
    ASSERT_EQ(recorder.draws.size(), 1u);
    EXPECT_EQ(recorder.draws[0].second, 5u);
    // Batches beyond the count do nothing.
    mech->PrepareBatch(3, 5, nullptr, block);
    mech->DrawBatch(recorder, effect.Get(), "Copy", 3);
    EXPECT_EQ(recorder.draws.size(), 1u);
    EXPECT_EQ(mech->Batch(3), nullptr);
}

TEST_F(ParticleRenderTest, FlipsAndColourClamp)
{
    KXI_FieldPtclSys description;
    auto mech = RunField(description);
    KXI_ParticleSystemCtrl& field = mech->Controller();
    field.params.flipHorizontal.value = 1;
    field.params.flipVertical.value = 1;
    SpriteFrameInfo padded;
    padded.uScale = 0.75f;
    padded.vScale = 0.5f;
    mech->PrepareBatch(0, 2, &padded, field.params);
    QuadBatchVertex* v = mech->Batch(0)->LockQuads();
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v[4].u, 0.75f);
    EXPECT_EQ(v[4].v, 0.0f);
    EXPECT_EQ(v[7].u, 0.0f);
    EXPECT_EQ(v[7].v, 0.5f);

    field.params.colours.transparency.SetValue(0, nullptr); // alpha byte 255 ...
    field.params.colours.transparency.Rescale(0.0f, 200.0f); // ... made 200
    field.params.colours.colors.value.clear();               // an empty list draws white
    mech->SetQuadColour(v, 2.0f);
    EXPECT_EQ(v[0].colour, 0xFFFFFFFFu);
    mech->SetQuadColour(v, 0.5f);
    EXPECT_EQ(v[3].colour, 0x64FFFFFFu);
    mech->Batch(0)->UnlockQuads();
}

TEST_F(ParticleRenderTest, CellsOfAPaddedSheetScaleByTheExtent)
{
    KXI_FieldPtclSys description;
    description.params.textureLink.value.columns = 3;
    auto mech = RunField(description);
    KXI_ParticleSystemCtrl& field = mech->Controller();
    ParticleHandle& p = field.particles.Create({10.0f, 10.0f, 0.0f});
    p->cell = {1.0f / 3.0f, 1.0f, 2.0f / 3.0f, 0.0f};
    field.params.particleSize.value = 2;
    SpriteFrameInfo padded;
    padded.uScale = 300.0f / 512.0f;
    field.params.textures = {padded};
    field.params.textures[0].frameTextures.push_back(white);
    field.params.BuildQuads(field.particles, *mech, 2, 0);
    QuadBatchVertex* v = mech->Batch(0)->LockQuads();
    ASSERT_NE(v, nullptr);
    // The third cell of the picture's 300 px: u from 200/512 to 300/512.
    const std::int32_t last = mech->QuadCount(0) - 1;
    EXPECT_FLOAT_EQ(v[4 * last].u, 200.0f / 512.0f);
    EXPECT_FLOAT_EQ(v[4 * last + 2].u, 300.0f / 512.0f);
    mech->Batch(0)->UnlockQuads();
}

TEST_F(ParticleRenderTest, FieldDrawsItsDotWithEachBlendMode)
{
    auto light = MakeStripesLight(PicturePosition::kStretch);
    // Canvas 32 x 16 over a 64 x 64 target: a canvas unit is 2 x 4 pixels.
    KXI_FieldPtclSys normal;
    UseDot(normal, 0x00FFFFFF, 8.0f, 12.0f);
    KXI_FieldPtclSys sum;
    UseDot(sum, 0x00202020, 24.0f, 12.0f);
    sum.params.blendMode.value = 1;
    auto a = RunField(normal);
    auto b = RunField(sum);
    ASSERT_EQ(a->Controller().particles.Size(), 1u);
    ASSERT_NE(a->Controller().params.FirstTexture(), nullptr);
    ASSERT_NE(a->Controller().params.effect.Get(), nullptr);
    EXPECT_EQ(a->QuadCount(0), 1);
    const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(a.release()), DS_SafePtr<KXI_RenderObj>(b.release())};
    light->RenderFrame(objects, false);
    const auto pixels = BackBufferPixels();
    EXPECT_TRUE(ShowsRgb(At(pixels, 16, 48), 0xFFFFFF)) << Hex(At(pixels, 16, 48));
    EXPECT_TRUE(ShowsRgb(At(pixels, 48, 48), 0xA0A0A0)) << Hex(At(pixels, 48, 48));
    EXPECT_TRUE(ShowsRgb(At(pixels, 32, 48), kGrey)) << Hex(At(pixels, 32, 48));
    EXPECT_TRUE(ShowsRgb(At(pixels, 4, 4), kStripes[0])) << Hex(At(pixels, 4, 4));
}

TEST_F(ParticleRenderTest, EachCellOfAnUnfilteredSheetShowsItsOwnColour)
{
    // A 3 x 1 sheet 300 pixels square, loaded unfiltered: padded to 512.
    const LinkKey sheet{u"pictures\\sheet.bmp", 12};
    DocResManagerRecord record;
    record.frames[sheet] = {StoredFrame{docres_test::BmpPicture(300, 300,
                                                                [](std::uint32_t x, std::uint32_t) {
                                                                    return kStripes[std::min(x / 100, 2u)];
                                                                }),
                                        0.0f}};
    DocumentWriter writer;
    writer.DocResManager(record);
    MemoryArchive archive(writer.Bytes());
    ReadDocResManagerRecord(archive.Reader(), *manager);

    auto light = MakeStripesLight(PicturePosition::kStretch);
    KXI_FieldPtclSys field;
    field.params.textureLink.value.pictures.emplace_back(0, sheet.path);
    field.params.textureLink.value.pictures.back().StorePathAndId(sheet.path, sheet.id);
    field.params.textureLink.value.columns = 3;
    field.params.particleSize.value = 4;
    field.params.colours.colors.value = {0x00FFFFFF};
    for (const float x : {6.0f, 16.0f, 26.0f})
        field.positions.AddPosition(x, 12.0f, 0.0f);
    auto mech = RunField(field);
    ASSERT_NE(mech->Controller().params.FirstTexture(), nullptr);
    EXPECT_LT(mech->Controller().params.FirstTexture()->uScale, 1.0f);
    for (const ParticleHandle& p : mech->Controller().particles.Particles()) {
        const float k = std::round((p->position.x - 6.0f) / 10.0f);
        p->cell = {1.0f / 3.0f, 1.0f, k / 3.0f, 0.0f};
    }
    mech->Animate(0.0f);
    const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(mech.release())};
    light->RenderFrame(objects, false);
    const auto pixels = BackBufferPixels();
    for (std::uint32_t k = 0; k < 3; ++k) {
        const std::uint32_t x = 12 + 20 * k;
        EXPECT_TRUE(ShowsRgb(At(pixels, x, 48), kStripes[k])) << k << ": " << Hex(At(pixels, x, 48));
    }
}

TEST_F(ParticleRenderTest, ScreenGlowWithoutItsBlurStillShowsThePicture)
{
    auto light = MakeStripesLight(PicturePosition::kStretch);
    KXI_FieldPtclSys screen;
    UseDot(screen, 0x00FFFFFF, 8.0f, 12.0f);
    screen.params.glowMode.value = 2; // no blur effect in this test's resources
    auto mech = RunField(screen);
    const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(mech.release())};
    EXPECT_EQ(light->CountRenderTargetPasses(objects), 1);
    light->RenderFrame(objects, false);
    const auto pixels = BackBufferPixels();
    EXPECT_TRUE(ShowsRgb(At(pixels, 16, 48), 0xFFFFFF)) << Hex(At(pixels, 16, 48));
    EXPECT_TRUE(ShowsRgb(At(pixels, 40, 48), kGrey)) << Hex(At(pixels, 40, 48));
    EXPECT_TRUE(ShowsRgb(At(pixels, 4, 4), kStripes[0])) << Hex(At(pixels, 4, 4));
    EXPECT_TRUE(ShowsRgb(At(pixels, 20, 4), kStripes[1])) << Hex(At(pixels, 20, 4));
}

TEST_F(ParticleRenderTest, GlowOverTheScreenSwitchesOnceAndMissingResourcesDrawNothing)
{
    KXI_FieldPtclSys description;
    description.params.glowMode.value = 2;
    description.positions.AddPosition(4.0f, 4.0f, 0.0f);
    auto mech = RunField(description); // no picture, no colours
    KXI_ParticleSystemCtrl& field = mech->Controller();
    field.params.colours.colors.value.clear();
    EXPECT_EQ(mech->NeedsRenderTarget(), 1);
    mech->SetEnabled(0);
    EXPECT_EQ(mech->NeedsRenderTarget(), 0);
    DrawRecorder recorder;
    int counter = 1;
    mech->Animate(0.1f);
    mech->RenderTo(recorder, counter);
    EXPECT_EQ(recorder.switches, 1);
    EXPECT_TRUE(recorder.draws.empty());
    EXPECT_EQ(recorder.screenDraws, 1); // the picture handed over is drawn back
    field.params.glowMode.value = 7; // unknown: no glow and no pass
    EXPECT_EQ(field.CountScreenPasses(), 0);
}

} // namespace

namespace {

class ParticleGlowTest : public ParticleRenderTest {
protected:
    // The blur the shared module would give, taken from the built-in effects.
    void GiveBlur(KXI_ParticleSystemMech& mech)
    {
        ParticleSystemParams& params = mech.Controller().params;
        params.glowEffect = manager->GetBuiltinEffect("gaussian-blur");
        ASSERT_TRUE(params.glowEffect);
        params.glowSurface.SetEffect(params.glowEffect.Get());
        params.glowSurface.SetViewSize(std::int32_t(kPictureWidth), std::int32_t(kPictureHeight));
        params.glowSurface.strength.SetValue(0, nullptr);
        params.glowSurface.Resize();
    }

    std::vector<std::uint32_t> RenderGlowingDot(std::int32_t mode, COLORREF dotColour, COLORREF glowColour)
    {
        auto light = MakeStripesLight(PicturePosition::kStretch);
        KXI_FieldPtclSys field;
        UseDot(field, dotColour, 8.0f, 12.0f);
        field.params.glowMode.value = mode;
        field.params.glowColour.value = glowColour;
        field.params.particleSize.value = 2;
        renderContext->pictureWidth = float(kPictureWidth);
        renderContext->pictureHeight = float(kPictureHeight);
        auto mech = RunField(field);
        GiveBlur(*mech);
        const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(mech.release())};
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }
};

TEST_F(ParticleGlowTest, NormalGlowLaysItsColourAroundTheParticles)
{
    // A blue dot under the default yellow glow: the halo is yellow, not the
    // dot's colour times the glow's (black).
    const auto pixels = RenderGlowingDot(1, 0x00FF0000, 0x0000FFFF);
    const std::uint32_t halo = At(pixels, 22, 48);
    EXPECT_GT((halo >> 16) & 0xFF, 0x84u) << Hex(halo);
    EXPECT_GT((halo >> 8) & 0xFF, 0x84u) << Hex(halo);
    EXPECT_LT(halo & 0xFF, 0x7Cu) << Hex(halo);
    EXPECT_TRUE(ShowsRgb(At(pixels, 56, 48), kGrey)) << Hex(At(pixels, 56, 48));
}

TEST_F(ParticleGlowTest, ScreenGlowBrightensNearTheParticlesAndKeepsThePicture)
{
    const auto pixels = RenderGlowingDot(2, 0x00FF0000, 0x00FFFFFF);
    glow_expectations::ExpectScreenGlowNearTheDotKeepingThePicture(pixels);
}

} // namespace

// ---- guards: locks that fail, modes outside the known ones, missing pictures ----

namespace {

// Ways a batch that held three quads stops yielding vertex memory, and the
// quads the next build asks for.
struct LockFailure {
    const char* name;
    std::function<void(QuadBatchBuffer&)> breakBatch;
    bool noDevice; // growing the batch is refused as well
    std::int32_t extraParticles;
};

const LockFailure kLockFailures[] = {
    {"vertex buffer released", [](QuadBatchBuffer& b) { b.vertices.Release(); }, false, 0},
    {"vertex buffer of another layout",
     [](QuadBatchBuffer& b) { b.vertices.AllocateVertices(*GetResourceDevice(), 12); }, false, 0},
    {"no device to grow the batch", [](QuadBatchBuffer&) {}, true, 2},
};

TEST_F(ParticleRenderTest, BatchWithoutVertexMemoryDrawsNoQuadsThatFrame)
{
    using Build = void (*)(KXI_ParticleSystemMech&);
    const std::pair<const char*, Build> builders[] = {
        {"BuildQuads",
         [](KXI_ParticleSystemMech& m) {
             m.Controller().params.BuildQuads(m.Controller().particles, m, 2, 0);
         }},
        {"BuildSquareQuads",
         [](KXI_ParticleSystemMech& m) { m.Controller().BuildSquareQuads(m.Controller().particles, 1.0f); }},
        {"PrepareBatch",
         [](KXI_ParticleSystemMech& m) {
             const auto n = static_cast<std::int32_t>(m.Controller().particles.Size());
             m.PrepareBatch(0, n, nullptr, m.Controller().params);
         }},
    };
    auto effect = LoadTestEffect();
    for (const LockFailure& failure : kLockFailures) {
        for (const auto& [builderName, build] : builders) {
            SCOPED_TRACE(testing::Message() << failure.name << ", " << builderName);
            KXI_FieldPtclSys description;
            for (const float x : {2.0f, 6.0f, 10.0f})
                description.positions.AddPosition(x, 4.0f, 0.0f);
            auto mech = RunField(description);
            ASSERT_EQ(mech->QuadCount(0), 3);
            for (std::int32_t i = 0; i < failure.extraParticles; ++i)
                mech->Controller().particles.Create({1.0f, 1.0f, 0.0f});
            failure.breakBatch(*mech->Batch(0));
            {
                const ResourceDeviceScope noDevice(failure.noDevice ? nullptr : device.get());
                build(*mech);
            }
            EXPECT_EQ(mech->QuadCount(0), 0);
            DrawRecorder recorder;
            mech->DrawBatch(recorder, effect.Get(), "Copy", 0);
            for (const auto& [capacity, quads] : recorder.draws)
                EXPECT_EQ(quads, 0u) << "stale quads drawn from a capacity of " << capacity;
        }
    }
}

TEST_F(ParticleRenderTest, UnknownBlendModesDrawAsNormal)
{
    struct Case {
        std::int32_t mode;
        std::uint32_t shown; // a dark grey dot over the grey picture
    };
    for (const Case& c : {Case{1, 0xA0A0A0}, Case{2, 0x202020}, Case{-1, 0x202020}, Case{255, 0x202020}}) {
        SCOPED_TRACE(c.mode);
        auto light = MakeStripesLight(PicturePosition::kStretch);
        KXI_FieldPtclSys field;
        UseDot(field, 0x00202020, 24.0f, 12.0f);
        field.params.blendMode.value = c.mode;
        const RenderObjectList objects = {DS_SafePtr<KXI_RenderObj>(RunField(field).release())};
        light->RenderFrame(objects, false);
        const auto pixels = BackBufferPixels();
        EXPECT_TRUE(ShowsRgb(At(pixels, 48, 48), c.shown)) << Hex(At(pixels, 48, 48));
    }
}

TEST_F(ParticleRenderTest, GlowModesOutsideOneAndTwoAreNoGlow)
{
    // This test's resources hold no blur effect: glow mode 1 then draws no
    // glow, glow mode 2 still hands the picture over and draws it back.
    struct Case {
        std::int32_t mode;
        int passes;
        int screenDraws;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{1, 0, 0}, Case{2, 1, 1}, Case{3, 0, 0}, Case{-2, 0, 0}}) {
        SCOPED_TRACE(c.mode);
        KXI_FieldPtclSys field;
        UseDot(field, 0x00FFFFFF, 8.0f, 12.0f);
        field.params.glowMode.value = c.mode;
        auto mech = RunField(field);
        ASSERT_FALSE(mech->Controller().params.glowEffect);
        EXPECT_EQ(mech->NeedsRenderTarget(), c.passes);
        DrawRecorder recorder;
        int counter = c.passes;
        mech->RenderTo(recorder, counter);
        EXPECT_EQ(recorder.switches, c.passes);
        EXPECT_EQ(counter, 0);
        EXPECT_EQ(recorder.screenDraws, c.screenDraws);
        ASSERT_EQ(recorder.draws.size(), 1u) << "the particles alone, no capture";
        EXPECT_EQ(recorder.draws[0].second, 1u);
    }
}

TEST_F(ParticleRenderTest, LegacyBlocksWithoutPicturesLeaveTheLinkEmptyAndDrawNothing)
{
    RegisterParticleEngineClasses();
    struct Case {
        std::int32_t controller;
        std::int32_t block;
    };
    const Case cases[] = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {5, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "controller " << c.controller << ", block " << c.block);
        particle_writer::FieldFields fields;
        fields.positions = {{4.0f, 4.0f, 0.0f}};
        fields.controller.version = c.controller;
        fields.controller.block.version = c.block;
        fields.controller.block.particleSize = 4;
        DocumentWriter writer;
        particle_writer::WriteFieldSystem(writer, fields);
        MemoryArchive archive(writer.Bytes());
        std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
        auto* field = dynamic_cast<KXI_FieldPtclSys*>(item.get());
        ASSERT_NE(field, nullptr);
        const DS_NamedFileLinkData& link = field->params.textureLink.value;
        EXPECT_TRUE(link.pictures.empty());
        EXPECT_TRUE(link.sourcePath.empty());
        EXPECT_EQ(link.sourceId, 0);

        auto mech = RunField(*field);
        EXPECT_EQ(mech->Controller().params.FirstTexture(), nullptr);
        ExpectNothingDrawn(*mech);
    }
}

} // namespace

namespace {

TEST_F(ParticleGlowTest, FirstPictureWithoutAFrameDrawsNothingGlowIncluded)
{
    // A missing picture first; a 6 x 3 picture that exists (half as high as
    // wide, padded to 8 x 4) comes second and is not used.
    const LinkKey wide{u"pictures\\wide.bmp", 13};
    StorePicture(wide, 6, 3, 0xFFFFFF);
    KXI_FieldPtclSys description;
    auto& pictures = description.params.textureLink.value.pictures;
    for (const LinkKey& link : {LinkKey{u"pictures\\missing.bmp", 99}, wide}) {
        pictures.emplace_back(0, link.path);
        pictures.back().StorePathAndId(link.path, link.id);
    }
    description.params.colours.colors.value = {0x00FFFFFF};
    description.params.particleSize.value = 4;
    description.params.glowMode.value = 1;
    description.positions.AddPosition(8.0f, 12.0f, 0.0f);
    auto mech = RunField(description);
    GiveBlur(*mech);
    const ParticleSystemParams& params = mech->Controller().params;
    ASSERT_EQ(params.textures.size(), 2u);
    ASSERT_TRUE(params.textures[1].HasTexture());
    ASSERT_EQ(params.textures[1].uScale, 0.75f);
    EXPECT_EQ(params.FirstTexture(), nullptr);

    // The quad is built with ratio 1 over extents 1.
    ASSERT_EQ(mech->QuadCount(0), 1);
    QuadBatchVertex* v = mech->Batch(0)->LockQuads();
    ASSERT_NE(v, nullptr);
    EXPECT_FLOAT_EQ(v[0].y - v[1].y, 4.0f);
    EXPECT_FLOAT_EQ(v[2].x - v[0].x, 4.0f);
    EXPECT_EQ(v[0].u, 0.0f);
    EXPECT_EQ(v[2].u, 1.0f);
    EXPECT_EQ(v[0].v, 1.0f);
    EXPECT_EQ(v[1].v, 0.0f);
    mech->Batch(0)->UnlockQuads();

    ExpectNothingDrawn(*mech);
}

} // namespace

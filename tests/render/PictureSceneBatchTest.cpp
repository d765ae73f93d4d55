// What render objects draw through the picture scene: meshes at their nodes
// (culling per node, a second pass for transparent meshes), sprite arrays
// (normal, additive, overlay), batches and grids through effects, quad
// ranges, mirrored quads, and the slide show's pre-transformed quads.

#include <array>
#include <cstring>

#include "tests/render/PictureSceneTestSupport.h"

// The scene-object layer's sprite array, as far as these tests need one:
// the record the describer hands to the renderer.
class DS_SpriteArrayObj {
public:
    SpriteArrayDraw draw;
};

namespace picture_scene_test {
namespace {

struct MeshVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(MeshVertex) == kMeshVertexStride);

// A square mesh of `size` canvas units at the origin whose two triangles
// appear clockwise on the target.
void BuildSquareMesh(gfx::Device& device, TexturedBatch& mesh, float size, gfx::Texture* texture)
{
    // The quad-batch vertex creator sizes in 24-byte records; six of them
    // hold the four 32-byte mesh vertices.
    ASSERT_TRUE(mesh.vertices.CreateVertexBuffer(device, 6));
    const MeshVertex corners[4] = {{0, size, 0, 0, 0, -1, 0, 1},
                                   {0, 0, 0, 0, 0, -1, 0, 0},
                                   {size, size, 0, 0, 0, -1, 1, 1},
                                   {size, 0, 0, 0, 0, -1, 1, 0}};
    void* locked = mesh.vertices.Lock();
    ASSERT_NE(locked, nullptr);
    std::memcpy(locked, corners, sizeof corners);
    mesh.vertices.Unlock();

    ASSERT_TRUE(mesh.indices.Create(device, 12, 2));
    {
        IndexBatch::LockGuard guard = mesh.indices.Lock();
        ASSERT_NE(guard.Indices(), nullptr);
        const std::uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
        std::memcpy(guard.Indices(), indices, sizeof indices);
    }
    mesh.texture = gfx::Ref<gfx::Texture>(texture);
}

math::Matrix Translation(float x, float y)
{
    math::Matrix m;
    m.m[3][0] = x;
    m.m[3][1] = y;
    return m;
}

std::uint32_t RenderStateOf(gfx::Device& device, gfx::RenderState state)
{
    std::uint32_t value = 0xFFFFFFFFu;
    device.GetRenderState(state, &value);
    return value;
}

void UseBlend(gfx::Device& device, gfx::Blend source, gfx::Blend destination, gfx::BlendOp operation)
{
    device.SetRenderState(gfx::RenderState::SrcBlend, std::uint32_t(source));
    device.SetRenderState(gfx::RenderState::DestBlend, std::uint32_t(destination));
    device.SetRenderState(gfx::RenderState::BlendOp, std::uint32_t(operation));
}

class PictureSceneBatchTest : public PictureSceneTest {
protected:
    void SetUp() override
    {
        PictureSceneTest::SetUp();
        if (HasFatalFailure())
            return;
        light = MakeStripesLight(PicturePosition::kStretch);
        light->DrawBackground(false);
        red = quad_test::MakeTexture(*device, 1, 1, {0xFFFF0000u});
        green = quad_test::MakeTexture(*device, 1, 1, {0xFF00FF00u});
    }
    void TearDown() override
    {
        light.reset();
        PictureSceneTest::TearDown();
    }

    void Expect(std::uint32_t x, std::uint32_t y, std::uint32_t rgb, int tolerance = 8)
    {
        const std::uint32_t pixel = At(BackBufferPixels(), x, y);
        EXPECT_TRUE(ShowsRgb(pixel, rgb, tolerance))
            << "(" << x << ", " << y << ") shows " << Hex(pixel) << ", expected " << Hex(rgb);
    }

    std::unique_ptr<DS_2D_Light> light;
    gfx::Ref<gfx::Texture> red;
    gfx::Ref<gfx::Texture> green;
};

// Canvas x maps to 2 x, canvas y to 4 y (the 32 x 16 picture stretched).

TEST_F(PictureSceneBatchTest, MeshItemsCullPerNodeAndTransparentOnesShowBothSides)
{
    MeshItem item;
    BuildSquareMesh(*device, item, 4, red.Get());
    TransformNode showsFront; // culls counter-clockwise faces: the square shows
    TransformNode showsBack;  // culls clockwise faces: the square is its back
    showsBack.cullCounterClockwise = false;
    showsFront.world = Translation(0, 0);
    showsBack.world = Translation(16, 0);
    item.nodes = {&showsFront, &showsBack};

    light->DrawSpriteList(item);
    Expect(4, 8, kRedRgb);
    Expect(36, 8, kBlueRgb);
    EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::CullMode), std::uint32_t(gfx::Cull::None));
    EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::AlphaBlendEnable), gfx::kFalse);

    item.flag = true; // transparent: a second pass with the opposite culling
    light->DrawSpriteList(item);
    Expect(4, 8, kRedRgb);
    Expect(36, 8, kRedRgb);
}

TEST_F(PictureSceneBatchTest, MeshListsDrawEveryChildNodeWithBothCullModes)
{
    TexturedBatch batch;
    BuildSquareMesh(*device, batch, 4, red.Get());
    TransformNode left;
    TransformNode right;
    left.cullCounterClockwise = false;
    right.world = Translation(16, 8);
    batch.header.AddChild(&left);
    batch.header.AddChild(&right);

    light->DrawMeshList(batch);
    Expect(4, 8, kRedRgb);
    Expect(36, 40, kRedRgb);
    Expect(20, 40, kGrey);
    EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::CullMode), std::uint32_t(gfx::Cull::None));
    EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::AlphaBlendEnable), gfx::kFalse);
}

TEST_F(PictureSceneBatchTest, MeshesWithoutATextureAreNotDrawn)
{
    MeshItem item;
    BuildSquareMesh(*device, item, 4, nullptr);
    TransformNode node;
    item.nodes = {&node};
    item.flag = true;
    light->DrawSpriteList(item);
    TexturedBatch batch;
    BuildSquareMesh(*device, batch, 4, nullptr);
    TransformNode child;
    child.world = Translation(16, 8);
    batch.header.AddChild(&child);
    light->DrawMeshList(batch);
    // The picture shows where white squares would otherwise stand.
    Expect(4, 8, kStripes[0]);
    Expect(36, 40, kGrey);
    EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::CullMode), std::uint32_t(gfx::Cull::None));
}

TEST_F(PictureSceneBatchTest, SpriteArraysBlendNormallyAdditivelyAndWithAnOverlay)
{
    // Half-transparent red over the blue stripe (canvas x 16..24).
    const auto quads = MakeRectBatch(*device, 16, 0, 24, 4, 0x80FF0000u);
    struct Case {
        const char* name;
        std::int32_t blendMode;
        bool overlay;
        std::uint32_t rgb;
    };
    const Case cases[] = {
        {"normal", 0, false, 0x80007F},
        {"additive", 2, false, 0x8000FF},
        {"overlay added over the normal pass", 1, true, 0x80807F},
        {"overlay blended over the normal pass", 0, true, 0x40803F},
    };
    InstallSpriteArrayDescriber([](DS_SpriteArrayObj& array) { return array.draw; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseBlend(*device, gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha, gfx::BlendOp::Add);
        light->DrawBackground(false);
        DS_SpriteArrayObj array;
        array.draw = {quads.get(), white.Get(), c.overlay ? green.Get() : nullptr, c.blendMode, 5};
        light->DrawTexturedBatch(array);
        Expect(40, 8, c.rgb, 4);
        Expect(56, 8, 0xFFFFFF); // outside the quad
        EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::AlphaBlendEnable), gfx::kFalse);
        EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::DestBlend), std::uint32_t(gfx::Blend::InvSrcAlpha));
    }

    // Without a describer a sprite array draws nothing.
    InstallSpriteArrayDescriber(nullptr);
    light->DrawBackground(false);
    DS_SpriteArrayObj array;
    array.draw = {quads.get(), white.Get(), nullptr, 0, 1};
    light->DrawTexturedBatch(array);
    Expect(40, 8, kBlueRgb);
}

TEST_F(PictureSceneBatchTest, GridsAndColouredBatchesGoThroughEveryPassOfTheEffect)
{
    auto effect = LoadTestEffect();

    QuadBatchBuffer grid;
    ASSERT_TRUE(grid.BuildGrid(*device, 2, 2));
    FillGridFromCorners(grid, {0, 8, 0, 0, 0}, {8, 8, 0, 1, 0}, {0, 16, 0, 0, 1}, {8, 16, 0, 1, 1});
    effect->SetTechnique("Copy");
    effect->SetTexture("Texture", green.Get());
    light->DrawIndexedWithEffect(grid, *effect);
    effect->SetTexture("Texture", nullptr);

    const auto coloured = MakeRectBatch(*device, 24, 8, 32, 16, 0xFFFFFF00u);
    effect->SetTechnique("VertexColour");
    light->DrawColoredWithEffect(*coloured, *effect);

    Expect(8, 48, kGreenRgb);
    Expect(24, 48, kGrey);
    Expect(56, 48, kYellowRgb);
}

TEST_F(PictureSceneBatchTest, QuadRangesDrawOnlyTheQuadsAsked)
{
    // Three quads side by side in the bottom half: canvas x 0..8, 8..16, 16..24.
    QuadBatchBuffer batch;
    ASSERT_TRUE(batch.BuildQuadIndices(*device, 3));
    QuadBatchVertex* v = batch.LockQuads();
    ASSERT_NE(v, nullptr);
    for (int quad = 0; quad < 3; ++quad) {
        const float left = 8.0f * float(quad);
        const float right = left + 8.0f;
        v[4 * quad + 0] = {left, 16, 0, 0xFFFF00FFu, 0, 1};
        v[4 * quad + 1] = {left, 8, 0, 0xFFFF00FFu, 0, 0};
        v[4 * quad + 2] = {right, 16, 0, 0xFFFF00FFu, 1, 1};
        v[4 * quad + 3] = {right, 8, 0, 0xFFFF00FFu, 1, 0};
    }
    batch.UnlockQuads();

    struct Case {
        const char* name;
        bool withEffect;
        std::uint32_t first;
        std::uint32_t count;
        std::array<bool, 3> drawn;
    };
    const Case cases[] = {
        {"the middle quad through the effect", true, 1, 1, {false, true, false}},
        {"the last two without an effect", false, 1, 2, {false, true, true}},
        {"a count past the end is cut to the batch", false, 2, 50, {false, false, true}},
        {"a first quad past the end draws nothing", false, 3, 1, {false, false, false}},
        {"no quads", true, 0, 0, {false, false, false}},
    };
    auto effect = LoadTestEffect();
    effect->SetTechnique("VertexColour");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseBlend(*device, gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha, gfx::BlendOp::Add);
        light->DrawBackground(false);
        device->SetTexture(0, white.Get());
        light->DrawIndexedOptionalEffect(batch, c.withEffect ? effect.Get() : nullptr, c.first, c.count);
        const auto pixels = BackBufferPixels();
        for (std::uint32_t quad = 0; quad < 3; ++quad) {
            const std::uint32_t pixel = At(pixels, 8 + 16 * quad, 48);
            EXPECT_EQ(ShowsRgb(pixel, kMagentaRgb), c.drawn[quad]) << "quad " << quad << ": " << Hex(pixel);
        }
    }
}

// The item's own picture, drawn mirrored after the item prepared itself
// with the argument given (here: it fills its grid only then).
TEST_F(PictureSceneBatchTest, MirroredGridDrawsItsPictureMirrored)
{
    struct PreparedGrid : MirroredGrid {
        std::vector<int> prepared;
        void Prepare(int arg) override
        {
            prepared.push_back(arg);
            // u runs from 0 to 2 across canvas x 0..16 of the bottom half.
            FillGridFromCorners(*this, {0, 8, 0, 0, 0}, {16, 8, 0, 2, 0}, {0, 16, 0, 0, 1}, {16, 16, 0, 2, 1});
        }
    };
    PreparedGrid grid;
    ASSERT_TRUE(grid.BuildGrid(*device, 1, 1));
    grid.texture = quad_test::MakeTexture(*device, 2, 1, {0xFFFF0000u, 0xFF00FF00u});
    device->SetTransform(gfx::TransformState::World, renderContext->WorldMatrix(math::Matrix{}));
    device->SetTexture(0, nullptr); // the item binds its own
    light->DrawMirrored(grid, 7);

    EXPECT_EQ(grid.prepared, std::vector<int>{7});

    Expect(4, 48, kRedRgb);
    Expect(12, 48, kGreenRgb);
    Expect(20, 48, kGreenRgb);
    Expect(28, 48, kRedRgb); // clamped addressing would repeat green here
    EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::AlphaBlendEnable), gfx::kFalse);
    std::uint32_t flags = 0xFFFFFFFFu;
    device->GetTextureStageState(0, gfx::TextureStageState::TextureTransformFlags, &flags);
    EXPECT_EQ(flags, gfx::TextureTransform::Disable);
}

TEST_F(PictureSceneBatchTest, PreTransformedQuadsOfTheSlideShowAreBlendedOverThePicture)
{
    EXPECT_EQ(light->DrawColorQuad(nullptr), 0);

    ScreenQuad fade;
    ASSERT_TRUE(fade.SetQuadAndColor(*device, QuadVertices::FromRect(0, 0, 16, 16), 0x80000000u));
    EXPECT_EQ(light->DrawColorQuad(&fade), gfx::kOk);
    std::uint32_t argument = 0;
    device->GetTextureStageState(0, gfx::TextureStageState::ColorArg1, &argument);
    EXPECT_EQ(argument, gfx::TextureArg::Texture);

    TexturedQuad snapshot;
    ASSERT_TRUE(snapshot.SetTexture(*device, green.Get(), QuadVertices::FromRect(48, 48, 16, 16)));
    EXPECT_EQ(light->DrawTexturedQuad(snapshot), gfx::kOk);
    device->GetTextureStageState(0, gfx::TextureStageState::AlphaOp, &argument);
    EXPECT_EQ(argument, std::uint32_t(gfx::TextureOp::SelectArg1));

    Expect(8, 8, 0x7F0000, 3);
    Expect(24, 8, kGreenRgb);
    Expect(56, 56, kGreenRgb);
    Expect(40, 56, kGrey);
}

// The slide show draws a transparent black quad over the whole target in
// every frame of a slide's hold. It is left out only where drawing it could
// not change a pixel; under any blend that would darken the target, it is
// drawn as before.
TEST_F(PictureSceneBatchTest, ATransparentBlackQuadIsLeftOutOnlyWhereItChangesNothing)
{
    struct Case {
        const char* name;
        gfx::Blend source, destination;
        gfx::BlendOp operation;
        bool changes;
    };
    const Case cases[] = {
        {"Fade", gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha, gfx::BlendOp::Add, false},
        {"Additive", gfx::Blend::One, gfx::Blend::One, gfx::BlendOp::Add, false},
        {"Maximum", gfx::Blend::One, gfx::Blend::One, gfx::BlendOp::Max, false},
        {"DestinationZero", gfx::Blend::SrcAlpha, gfx::Blend::Zero, gfx::BlendOp::Add, true},
        {"DestinationAlpha", gfx::Blend::SrcAlpha, gfx::Blend::SrcAlpha, gfx::BlendOp::Add, true},
        {"Minimum", gfx::Blend::One, gfx::Blend::One, gfx::BlendOp::Min, true},
        {"Subtract", gfx::Blend::One, gfx::Blend::One, gfx::BlendOp::Subtract, true},
    };
    ScreenQuad fade;
    ASSERT_TRUE(fade.SetQuadAndColor(*device, QuadVertices::FromRect(0, 0, 64, 64), 0x00000000u));
    ASSERT_TRUE(fade.IsTransparentBlack());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseBlend(*device, gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha, gfx::BlendOp::Add);
        light->DrawBackground(false);
        const std::vector<std::uint32_t> before = quad_test::ReadSurface(*device, quad_test::BackBuffer(*device).Get());
        UseBlend(*device, c.source, c.destination, c.operation);
        EXPECT_EQ(light->DrawColorQuad(&fade), gfx::kOk);
        const std::vector<std::uint32_t> after = quad_test::ReadSurface(*device, quad_test::BackBuffer(*device).Get());
        if (c.changes)
            EXPECT_NE(after, before) << "the quad was left out although it darkens the target";
        else
            EXPECT_EQ(after, before);
    }
    UseBlend(*device, gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha, gfx::BlendOp::Add);
}

} // namespace
} // namespace picture_scene_test

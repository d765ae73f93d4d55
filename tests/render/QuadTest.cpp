// The quad family on a headless device: the vertices each quad writes
// (positions, colours, texture coordinates in strip order), where it draws,
// corner alphas, and the grid routines.

#include <array>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "render/FileLink.h"
#include "render/QuadGrid.h"
#include "render/QuadTextured.h"
#include "render/QuadVertices.h"
#include "render/ScreenQuad.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/render/QuadTestSupport.h"

namespace {

using namespace quad_test;

class QuadTest : public DeviceFixture {};

// ---- QuadVertices --------------------------------------------------------------

TEST_F(QuadTest, FillTargetCoversTheBackBufferInStripOrder)
{
    QuadVertices quad = QuadVertices::FromRect(5, 6, 7, 8);
    quad.vertices[0].u = 0.25f;
    quad.FillTarget(*device);
    const QuadVertices expected = QuadVertices::FromRect(0, 0, float(kWidth), float(kHeight));
    EXPECT_EQ(quad, expected) << "FillTarget starts from the default quad";
    EXPECT_EQ(quad.vertices[0].x, 0.0f);
    EXPECT_EQ(quad.vertices[0].y, float(kHeight));
    EXPECT_EQ(quad.vertices[3].x, float(kWidth));
    EXPECT_EQ(quad.vertices[3].y, 0.0f);
}

TEST(QuadVerticesTest, FillTargetOnAFullHdBackBuffer)
{
    std::string error;
    auto device = gfx::CreateHeadlessDevice(1920, 1080, &error);
    ASSERT_TRUE(device) << error;
    QuadVertices quad;
    quad.FillTarget(*device);
    const std::array<std::array<float, 2>, 4> corners = {{{0, 1080}, {0, 0}, {1920, 1080}, {1920, 0}}};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        EXPECT_EQ(quad.vertices[i].x, corners[i][0]) << i;
        EXPECT_EQ(quad.vertices[i].y, corners[i][1]) << i;
    }
}

TEST_F(QuadTest, ScaleToTargetMapsASpaceOntoTheBackBuffer)
{
    struct Case {
        const char* name;
        int a, b;
        float x, y; // expected top-right corner of a (0, 0, 100, 50) quad
    };
    const Case cases[] = {
        {"BothAxes", 100, 50, float(kWidth), float(kHeight)},
        {"HalfSpace", 200, 100, kWidth / 2.0f, kHeight / 2.0f},
        {"NoWidthLeavesX", 0, 50, 100, float(kHeight)},
        {"NegativeHeightLeavesY", 100, -5, float(kWidth), 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QuadVertices quad = QuadVertices::FromRect(0, 0, 100, 50);
        quad.ScaleToTarget(*device, c.a, c.b);
        EXPECT_FLOAT_EQ(quad.vertices[3].x, c.x);
        EXPECT_FLOAT_EQ(quad.vertices[0].y, c.y);
        EXPECT_TRUE(std::isfinite(quad.vertices[0].x) && std::isfinite(quad.vertices[0].y));
    }
}

// ---- ScreenQuad ----------------------------------------------------------------

TEST_F(QuadTest, ScreenQuadWritesPreTransformedCornersAndDrawsThere)
{
    QuadVertices corners = QuadVertices::FromRect(4, 2, 8, 6);
    corners.vertices[1].z = 0.5f;
    ScreenQuad quad;
    ASSERT_TRUE(quad.SetQuadAndColor(*device, corners, kRed));
    EXPECT_EQ(quad.VertexCount(), 4);
    EXPECT_EQ(quad.PrimitiveCount(), 2);
    EXPECT_EQ(quad.PrimitiveType(), gfx::PrimitiveType::TriangleStrip);
    EXPECT_EQ(quad.Fvf(), 0x44u);

    const auto vertices = BufferRecords<ScreenQuadVertex>(quad.Buffer());
    ASSERT_EQ(vertices.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(vertices[i].x, corners.vertices[i].x) << i;
        EXPECT_EQ(vertices[i].y, corners.vertices[i].y) << i;
        EXPECT_EQ(vertices[i].z, 0.0f) << i;
        EXPECT_EQ(vertices[i].rhw, corners.vertices[i].z) << "the corner's z becomes rhw, " << i;
        EXPECT_EQ(vertices[i].colour, kRed) << i;
    }

    UseDiffuseOnly(*device);
    quad.BindStream(*device);
    ASSERT_EQ(quad.DrawStrip(*device), gfx::kOk);
    const auto pixels = BackBufferPixels();
    EXPECT_EQ(pixels[3 * kWidth + 5] & 0xFFFFFFu, kRed & 0xFFFFFFu) << "inside";
    EXPECT_EQ(pixels[7 * kWidth + 11] & 0xFFFFFFu, kRed & 0xFFFFFFu) << "last pixel inside";
    EXPECT_EQ(pixels[1 * kWidth + 5] & 0xFFFFFFu, 0u) << "above";
    EXPECT_EQ(pixels[3 * kWidth + 12] & 0xFFFFFFu, 0u) << "right of it";
    EXPECT_EQ(pixels[8 * kWidth + 5] & 0xFFFFFFu, 0u) << "below";
}

TEST_F(QuadTest, ScreenQuadMovesItsCornersInPlaceKeepingItsColours)
{
    ScreenQuad quad;
    quad.WritePositions(QuadVertices::FromRect(0, 0, 4, 4)); // no buffer: nothing
    ASSERT_TRUE(quad.SetQuadAndColor(*device, QuadVertices::FromRect(0, 0, 4, 4), 0xFF123456u));
    quad.SetCornerAlphas(1.0f, 1.0f, 0.0f, 0.0f);
    const gfx::VertexBuffer* buffer = quad.Buffer();
    QuadVertices moved = QuadVertices::FromRect(8, 6, 5, 3);
    moved.vertices[2].z = 0.25f;
    quad.WritePositions(moved);
    EXPECT_EQ(quad.Buffer(), buffer) << "the same buffer";
    const auto vertices = BufferRecords<ScreenQuadVertex>(quad.Buffer());
    ASSERT_EQ(vertices.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(vertices[i].x, moved.vertices[i].x) << i;
        EXPECT_EQ(vertices[i].y, moved.vertices[i].y) << i;
        EXPECT_EQ(vertices[i].rhw, moved.vertices[i].z) << i;
        EXPECT_EQ(vertices[i].colour, i % 2 == 0 ? 0xFF123456u : 0x00123456u) << i;
    }
}

TEST_F(QuadTest, CornerAlphasFollowTheArgumentOrderAndKeepTheColour)
{
    ScreenQuad quad;
    ASSERT_TRUE(quad.SetQuadAndColor(*device, QuadVertices::FromRect(0, 0, 4, 4), 0x80123456u));
    quad.SetCornerAlphas(1.0f, 0.5f, 0.0f, 0.25f); // bottom-left, bottom-right, top-left, top-right
    const auto vertices = BufferRecords<ScreenQuadVertex>(quad.Buffer());
    ASSERT_EQ(vertices.size(), 4u);
    EXPECT_EQ(vertices[0].colour, 0xFF123456u) << "bottom-left is vertex 0";
    EXPECT_EQ(vertices[2].colour, 0x7F123456u) << "bottom-right is vertex 2; 0.5 gives 127";
    EXPECT_EQ(vertices[1].colour, 0x00123456u) << "top-left is vertex 1";
    EXPECT_EQ(vertices[3].colour, 0x3F123456u) << "top-right is vertex 3";
}

TEST(QuadAlphaTest, CornerAlphaByteTruncatesAndClamps)
{
    struct Case {
        float opacity;
        int alpha;
    };
    const Case cases[] = {
        {1.0f, 255}, {0.5f, 127}, {0.0f, 0}, {0.999f, 254},
        // An overshooting fade stays opaque instead of wrapping to 254.
        {2.0f, 255}, {-0.5f, 0}, {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(int(CornerAlphaByte(c.opacity)), c.alpha) << c.opacity;
}

TEST(QuadEmptyTest, QuadsWithoutABufferIgnoreWritesAndDraws)
{
    ScreenQuad screen;
    screen.SetCornerAlphas(1, 1, 1, 1);
    ColorQuad colour;
    colour.SetRgb(0x123456);
    colour.SetCornerAlphas(1, 1, 1, 1);
    colour.SetPositions({}, {}, {}, {});
    PictureQuad picture;
    picture.SetSize(10, 20);
    EXPECT_FALSE(screen.HasBuffer());
    EXPECT_FALSE(colour.HasBuffer());
    EXPECT_EQ(picture.Picture().width, 10u) << "the size is kept even without a buffer";
}

// ---- ColorQuad -----------------------------------------------------------------

TEST_F(QuadTest, ColorQuadWritesTheRectangleAndChangesColoursInPlace)
{
    ColorQuad quad;
    ASSERT_TRUE(quad.SetRectColor(*device, {2, 3, 10, 5}, 0x80FF0000u));
    EXPECT_EQ(quad.Fvf(), 0x42u);
    gfx::VertexBuffer* const built = quad.Buffer();

    auto vertices = BufferRecords<ColorQuadVertex>(quad.Buffer());
    ASSERT_EQ(vertices.size(), 4u);
    const std::array<std::array<float, 2>, 4> corners = {{{2, 8}, {2, 3}, {12, 8}, {12, 3}}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(vertices[i].x, corners[i][0]) << i;
        EXPECT_EQ(vertices[i].y, corners[i][1]) << i;
        EXPECT_EQ(vertices[i].z, 0.0f) << i;
    }

    quad.SetRgb(0xAB00FF00u);
    quad.SetCornerAlphas(0, 1, 1, 0);
    quad.SetPositions({1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12});
    EXPECT_EQ(quad.Buffer(), built) << "changing colours or positions keeps the buffer";
    vertices = BufferRecords<ColorQuadVertex>(quad.Buffer());
    EXPECT_EQ(vertices[0].colour, 0x0000FF00u) << "low 24 bits replaced, then the alpha of its corner";
    EXPECT_EQ(vertices[2].colour, 0xFF00FF00u);
    EXPECT_EQ(vertices[3].x, 10.0f);
    EXPECT_EQ(vertices[3].z, 12.0f);
}

TEST_F(QuadTest, DrawDiffuseQuadBlendsItsVertexColourAndRestoresTheTextureArguments)
{
    device->Clear(0, nullptr, gfx::ClearFlags::Target, kWhite, 1.0f, 0);
    device->SetTransform(gfx::TransformState::Projection, OrthoOverTarget(float(kWidth), float(kHeight)));
    device->SetRenderState(gfx::RenderState::SrcBlend, std::uint32_t(gfx::Blend::SrcAlpha));
    device->SetRenderState(gfx::RenderState::DestBlend, std::uint32_t(gfx::Blend::InvSrcAlpha));
    device->SetTextureStageState(0, gfx::TextureStageState::ColorOp, std::uint32_t(gfx::TextureOp::SelectArg1));
    device->SetTextureStageState(0, gfx::TextureStageState::AlphaOp, std::uint32_t(gfx::TextureOp::SelectArg1));

    ColorQuad quad;
    ASSERT_TRUE(quad.SetRectColor(*device, {0, 0, 8, 8}, 0x80FF0000u));
    DrawDiffuseQuad(*device, quad);

    const auto pixels = BackBufferPixels();
    const std::uint32_t inside = pixels[4 * kWidth + 4];
    EXPECT_EQ(Channel(inside, 16), 255) << Hex(inside);
    EXPECT_NEAR(Channel(inside, 8), 127, 2) << "half-transparent red over white: " << Hex(inside);
    EXPECT_EQ(pixels[4 * kWidth + 9], kWhite) << "outside untouched";
    std::uint32_t arg = 0;
    device->GetTextureStageState(0, gfx::TextureStageState::ColorArg1, &arg);
    EXPECT_EQ(arg, gfx::TextureArg::Texture);
    device->GetTextureStageState(0, gfx::TextureStageState::AlphaArg1, &arg);
    EXPECT_EQ(arg, gfx::TextureArg::Texture);
}

// ---- TexturedQuad and PictureQuad ----------------------------------------------

TEST_F(QuadTest, TexturedQuadWorldFormHasTheDefaultTextureCoordinates)
{
    TexturedQuad quad;
    ASSERT_TRUE(quad.Build(*device));
    EXPECT_EQ(quad.Fvf(), 0x102u);
    EXPECT_EQ(quad.Stride(), 20u);
    const auto vertices = BufferRecords<TexturedQuadVertex>(quad.Buffer());
    ASSERT_EQ(vertices.size(), 4u);
    const std::array<std::array<float, 2>, 4> uv = {{{0, 1}, {0, 0}, {1, 1}, {1, 0}}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(vertices[i].x, 0.0f);
        EXPECT_EQ(vertices[i].y, 0.0f);
        EXPECT_EQ(vertices[i].u, uv[i][0]) << i;
        EXPECT_EQ(vertices[i].v, uv[i][1]) << i;
    }
}

TEST_F(QuadTest, TexturedQuadScreenFormDrawsItsTextureTopRowFirst)
{
    // 2 x 2: red, green / blue, white.
    const auto texture = MakeTexture(*device, 2, 2, {kRed, kGreen, kBlue, kWhite});
    TexturedQuad quad;
    QuadVertices corners = QuadVertices::FromRect(4, 4, 8, 8);
    ASSERT_TRUE(quad.SetTexture(*device, texture.Get(), corners));
    EXPECT_EQ(quad.Texture(), texture.Get());
    EXPECT_EQ(quad.Fvf(), 0x144u);
    const auto vertices = BufferRecords<TexturedScreenVertex>(quad.Buffer());
    ASSERT_EQ(vertices.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(vertices[i].colour, 0xFFFFFFFFu);
        EXPECT_EQ(vertices[i].rhw, 1.0f);
        EXPECT_EQ(vertices[i].u, corners.vertices[i].u);
        EXPECT_EQ(vertices[i].v, corners.vertices[i].v);
    }

    UseTextureOnly(*device);
    quad.Bind(*device);
    ASSERT_EQ(quad.DrawStrip(*device), gfx::kOk);
    const auto pixels = BackBufferPixels();
    EXPECT_EQ(pixels[5 * kWidth + 5] & 0xFFFFFFu, kRed & 0xFFFFFFu) << "top-left quarter";
    EXPECT_EQ(pixels[5 * kWidth + 10] & 0xFFFFFFu, kGreen & 0xFFFFFFu) << "top-right quarter";
    EXPECT_EQ(pixels[10 * kWidth + 5] & 0xFFFFFFu, kBlue & 0xFFFFFFu) << "bottom-left quarter";
    EXPECT_EQ(pixels[10 * kWidth + 10] & 0xFFFFFFu, kWhite & 0xFFFFFFu) << "bottom-right quarter";
    EXPECT_EQ(pixels[2 * kWidth + 2] & 0xFFFFFFu, 0u) << "outside";

    EXPECT_TRUE(quad.LoadProgramTexture(*device, corners));
    EXPECT_EQ(quad.Texture(), nullptr) << "no program picture: the quad is set up without a texture";
    EXPECT_TRUE(quad.HasBuffer());
}

TEST_F(QuadTest, TexturedQuadRewritesPositionsInEitherFormAndKeepsTextureCoordinates)
{
    const std::array<TexturedQuadVertex, 4> given = {{
        {0, 0, 0, 0, 0}, {800, 0, 0, 1, 0}, {0, 600, 0, 0, 0.95f}, {800, 600, 0, 1, 0.95f}}};
    const std::array<math::Vec3, 4> moved = {{{0, 10, 1}, {20, 10, 2}, {0, 30, 3}, {20, 30, 4}}};

    TexturedQuad world;
    ASSERT_TRUE(world.SetVertices(*device, given));
    EXPECT_EQ(world.Fvf(), TexturedQuadVertex::kFvf);
    world.SetPositions(moved);
    const auto worldVertices = BufferRecords<TexturedQuadVertex>(world.Buffer());
    ASSERT_EQ(worldVertices.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(worldVertices[i].x, moved[i].x) << i;
        EXPECT_EQ(worldVertices[i].y, moved[i].y) << i;
        EXPECT_EQ(worldVertices[i].z, moved[i].z) << i;
        EXPECT_EQ(worldVertices[i].u, given[i].u) << i;
        EXPECT_EQ(worldVertices[i].v, given[i].v) << i;
    }

    TexturedQuad screen;
    const QuadVertices corners = QuadVertices::FromRect(4, 4, 8, 8);
    ASSERT_TRUE(screen.SetTexture(*device, nullptr, corners));
    screen.SetPositions(moved);
    const auto screenVertices = BufferRecords<TexturedScreenVertex>(screen.Buffer());
    ASSERT_EQ(screenVertices.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(screenVertices[i].x, moved[i].x) << i;
        EXPECT_EQ(screenVertices[i].y, moved[i].y) << i;
        EXPECT_EQ(screenVertices[i].z, 0.0f) << i;
        EXPECT_EQ(screenVertices[i].rhw, moved[i].z) << "the point's z is the corner's rhw, as SetTexture places it";
        EXPECT_EQ(screenVertices[i].colour, 0xFFFFFFFFu) << i;
        EXPECT_EQ(screenVertices[i].u, corners.vertices[i].u) << i;
    }

    TexturedQuad empty;
    empty.SetPositions(moved);
    EXPECT_FALSE(empty.HasBuffer()) << "a quad without a buffer ignores the write";
}

TEST_F(QuadTest, PictureQuadCoversThePictureSize)
{
    const auto texture = MakeTexture(*device, 2, 1, {kRed, kBlue});
    PictureQuad quad;
    ASSERT_TRUE(quad.Build(*device));
    TextureRef picture;
    picture.texture = texture;
    picture.width = 20;
    picture.height = 10;
    quad.SetPicture(picture);
    EXPECT_EQ(quad.Texture(), texture.Get());
    EXPECT_EQ(quad.Picture().width, 20u);
    EXPECT_EQ(quad.Picture().height, 10u);
    const auto vertices = BufferRecords<TexturedQuadVertex>(quad.Buffer());
    const std::array<std::array<float, 2>, 4> corners = {{{0, 10}, {0, 0}, {20, 10}, {20, 0}}};
    const std::array<std::array<float, 2>, 4> uv = {{{0, 1}, {0, 0}, {1, 1}, {1, 0}}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(vertices[i].x, corners[i][0]) << i;
        EXPECT_EQ(vertices[i].y, corners[i][1]) << i;
        EXPECT_EQ(vertices[i].u, uv[i][0]) << "texture coordinates stay, " << i;
        EXPECT_EQ(vertices[i].v, uv[i][1]) << i;
    }

    quad.SetSize(-3.0f, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(quad.Picture().width, 0u) << "a negative size is no size";
    EXPECT_EQ(quad.Picture().height, 0u);

    // Drawn through the transforms, the picture lands on its pixels.
    quad.SetSize(20, 10);
    device->SetTransform(gfx::TransformState::Projection, OrthoOverTarget(float(kWidth), float(kHeight)));
    UseTextureOnly(*device);
    quad.Bind(*device);
    ASSERT_EQ(quad.DrawStrip(*device), gfx::kOk);
    const auto pixels = BackBufferPixels();
    EXPECT_EQ(pixels[5 * kWidth + 4] & 0xFFFFFFu, kRed & 0xFFFFFFu);
    EXPECT_EQ(pixels[5 * kWidth + 15] & 0xFFFFFFu, kBlue & 0xFFFFFFu);
    EXPECT_EQ(pixels[5 * kWidth + 25] & 0xFFFFFFu, 0u);
}

TEST_F(QuadTest, PictureQuadLoadsThePictureOfItsLinkFromTheCurrentManager)
{
    ModuleResourceBlob stored;
    stored.SetName(u"picture.bmp");
    stored.SetBytes(docres_test::BmpPicture(6, 3, [](std::uint32_t, std::uint32_t) { return 0xFF0000u; }));
    const DS_ImageFileLink link = manager->ImportLegacyBlob(stored);

    PictureQuad quad;
    ASSERT_TRUE(quad.Build(*device));
    quad.LoadImage(link);
    ASSERT_NE(quad.Picture().texture, nullptr);
    EXPECT_EQ(quad.Texture(), quad.Picture().texture.Get());
    EXPECT_EQ(quad.Picture().width, 6u) << "the picture's own size, not its texture's";
    EXPECT_EQ(quad.Picture().height, 3u);
    auto vertices = BufferRecords<TexturedQuadVertex>(quad.Buffer());
    EXPECT_EQ(vertices[2].x, 6.0f);
    EXPECT_EQ(vertices[2].y, 3.0f);

    // A link nobody can resolve: an empty picture on a degenerate quad.
    quad.LoadImage(DS_ImageFileLink(5, u"missing-module.dll"));
    EXPECT_EQ(quad.Picture().texture, nullptr);
    EXPECT_EQ(quad.Picture().width, 0u);
    vertices = BufferRecords<TexturedQuadVertex>(quad.Buffer());
    EXPECT_EQ(vertices[2].x, 0.0f);
    EXPECT_EQ(vertices[2].y, 0.0f);

    CurrentDocResManagerScope none(nullptr);
    quad.LoadImage(link);
    EXPECT_EQ(quad.Picture().texture, nullptr) << "without a current manager there is no picture";
}

TEST_F(QuadTest, PictureQuadRenderTextureIsASquareCopy)
{
    const auto texture = MakeTexture(*device, 4, 2, std::vector<std::uint32_t>(8, kGreen));
    TextureRef source;
    source.texture = texture;
    source.width = 4;
    source.height = 2;
    PictureQuad quad;
    quad.SetPicture(source);
    quad.CreateRenderTexture(*device, source, 1);
    // CreateRenderTexture changes the picture's texture, not the quad's.
    ASSERT_NE(quad.Picture().texture, nullptr);
    EXPECT_EQ(quad.Picture().texture->Width(), 256u);
    EXPECT_EQ(quad.Picture().texture->Height(), 256u);
    EXPECT_EQ(ReadTexture(*device, quad.Picture().texture.Get())[1000], kGreen);

    quad.CreateRenderTexture(*device, TextureRef{}, 1);
    EXPECT_EQ(quad.Picture().texture, nullptr) << "no source: the copy is let go";

    EXPECT_EQ(RenderTextureSide(0), 128u);
    EXPECT_EQ(RenderTextureSide(-4), 128u);
    EXPECT_EQ(RenderTextureSide(3), 1024u);
    EXPECT_EQ(RenderTextureSide(40), 4096u) << "a shift the type cannot hold is held to the largest copy";
}

// ---- Grids ---------------------------------------------------------------------

TEST_F(QuadTest, GridIndexBufferHasTwoTrianglesPerCell)
{
    IndexBatch batch;
    ASSERT_TRUE(CreateGridIndexBuffer(*device, batch, 3, 2));
    EXPECT_EQ(batch.PrimitiveCount(), 4);
    EXPECT_EQ(batch.Buffer()->Size(), 4u * 16u);
    EXPECT_FALSE(batch.IsLocked()) << "the guard unlocked";
    const auto indices = BufferRecords<std::uint16_t>(batch.Buffer());
    const std::vector<std::uint16_t> expected = {0, 1, 3, 3, 1, 4, 1, 2, 4, 4, 2, 5};
    EXPECT_EQ(std::vector<std::uint16_t>(indices.begin(), indices.begin() + 12), expected);
}

TEST_F(QuadTest, GridsWithoutCellsOrBeyondSixteenBitIndicesGetNoBuffer)
{
    struct Case {
        const char* name;
        std::int32_t columns, rows;
    };
    const Case cases[] = {{"OneColumn", 1, 5}, {"NoRows", 4, 0}, {"Negative", -3, 4}, {"TooManyVertices", 300, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IndexBatch batch;
        ASSERT_TRUE(CreateGridIndexBuffer(*device, batch, 2, 2));
        EXPECT_FALSE(CreateGridIndexBuffer(*device, batch, c.columns, c.rows));
        EXPECT_EQ(batch.Buffer(), nullptr) << "the old buffer is released";
        EXPECT_EQ(batch.PrimitiveCount(), 0);
    }
}

TEST_F(QuadTest, GridFillBlendsTheCorners)
{
    VertexBufferRef grid;
    ASSERT_TRUE(CreateQuadVertexBuffer(*device, grid, 6, gfx::Usage::WriteOnly, gfx::Pool::Managed));
    EXPECT_EQ(grid.vertexCount, 6);
    const TexturedQuadVertex c0{0, 0, 0, 0, 0}, c1{10, 0, 0, 1, 0}, c2{0, 20, 2, 0, 1}, c3{10, 20, 4, 1, 1};

    // 2 x 1 cells: 3 x 2 vertices.
    FillGridFromCorners(grid.buffer.Get(), 2, 1, c0, c1, c2, c3);
    auto vertices = BufferRecords<TexturedQuadVertex>(grid.buffer.Get());
    ASSERT_EQ(vertices.size(), 6u);
    EXPECT_FLOAT_EQ(vertices[1].x, 5.0f);
    EXPECT_FLOAT_EQ(vertices[1].u, 0.5f);
    EXPECT_FLOAT_EQ(vertices[3].y, 20.0f);
    EXPECT_FLOAT_EQ(vertices[4].z, 3.0f) << "z is blended too";
    EXPECT_FLOAT_EQ(vertices[5].x, 10.0f);

    // One cell: the corners as they are.
    FillGridFromCorners(grid.buffer.Get(), 1, 1, c0, c1, c2, c3);
    vertices = BufferRecords<TexturedQuadVertex>(grid.buffer.Get());
    const std::array<TexturedQuadVertex, 4> corners = {c0, c1, c2, c3};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(vertices[i].x, corners[i].x) << i;
        EXPECT_EQ(vertices[i].y, corners[i].y) << i;
        EXPECT_EQ(vertices[i].z, corners[i].z) << i;
        EXPECT_EQ(vertices[i].u, corners[i].u) << i;
        EXPECT_EQ(vertices[i].v, corners[i].v) << i;
    }

    // No cells across: one column at the first corners, no division by 0.
    FillGridFromCorners(grid.buffer.Get(), 0, 1, c0, c1, c2, c3);
    vertices = BufferRecords<TexturedQuadVertex>(grid.buffer.Get());
    EXPECT_EQ(vertices[1].y, 20.0f);
    EXPECT_TRUE(std::isfinite(vertices[0].x) && std::isfinite(vertices[1].x));

    // A grid larger than the buffer writes nothing.
    const auto before = BufferRecords<TexturedQuadVertex>(grid.buffer.Get());
    FillGridFromCorners(grid.buffer.Get(), 4, 4, c3, c3, c3, c3);
    EXPECT_EQ(BufferRecords<TexturedQuadVertex>(grid.buffer.Get())[0].x, before[0].x);
}

TEST_F(QuadTest, VertexBufferHoldersRefuseEmptyCounts)
{
    VertexBufferRef holder;
    ASSERT_TRUE(CreateColorVertexBuffer(*device, holder, 4, gfx::Usage::WriteOnly, gfx::Pool::Managed));
    EXPECT_EQ(holder.buffer->Size(), 64u);
    EXPECT_FALSE(CreateColorVertexBuffer(*device, holder, 0, gfx::Usage::WriteOnly, gfx::Pool::Managed));
    EXPECT_EQ(holder.buffer, nullptr);
    EXPECT_EQ(holder.vertexCount, 0);
    EXPECT_FALSE(CreateQuadVertexBuffer(*device, holder, std::numeric_limits<std::int32_t>::max(),
                                        gfx::Usage::WriteOnly, gfx::Pool::Managed));
    EXPECT_EQ(holder.buffer, nullptr);
}

} // namespace

// Render-to-texture surfaces on a headless device: what is drawn between
// BeginRender and EndRender lands in the texture top row first, the
// previous target and the renderer's view come back, and a surface without
// a texture changes nothing.

#include <gtest/gtest.h>

#include "render/PrerenderSurface.h"
#include "tests/render/QuadTestSupport.h"

namespace {

using namespace quad_test;

class PrerenderSurfaceTest : public DeviceFixture {};

TEST_F(PrerenderSurfaceTest, RendersIntoItsTextureTopRowFirst)
{
    SurfaceRenderer renderer(*device, kWidth, kHeight);
    KXI_PrerenderSurface surface;
    ASSERT_TRUE(surface.SetSize(8, 4));
    ASSERT_NE(surface.Texture(), nullptr);
    EXPECT_EQ(surface.Texture()->Width(), 8u);
    EXPECT_EQ(surface.Texture()->Height(), 4u);

    const auto backBuffer = BackBuffer(*device);
    ASSERT_TRUE(surface.BeginRender(renderer));
    ASSERT_EQ(renderer.pushes.size(), 1u);
    EXPECT_EQ(renderer.pushes[0].width, 8u);
    EXPECT_EQ(renderer.pushes[0].height, 4u);
    EXPECT_EQ(renderer.pushes[0].mode, PicturePosition::kRenderTarget);
    EXPECT_EQ(CurrentTarget(*device)->Container(), surface.Texture());
    gfx::Surface* depth = nullptr;
    EXPECT_EQ(device->GetDepthStencilSurface(&depth), gfx::kNotFound) << "drawn without depth";

    FillRect(*device, 0, 0, 8, 1, kRed);  // the top row
    FillRect(*device, 0, 3, 4, 4, kBlue); // the left half of the bottom row
    gfx::Texture* texture = surface.EndRender(renderer);
    ASSERT_EQ(texture, surface.Texture());
    EXPECT_EQ(renderer.pops, 1);
    EXPECT_EQ(CurrentTarget(*device).Get(), backBuffer.Get()) << "the back buffer is the target again";
    EXPECT_EQ(device->GetDepthStencilSurface(&depth), gfx::kOk) << "and its depth buffer";
    gfx::Ref<gfx::Surface>::Adopt(depth);

    const auto pixels = ReadTexture(*device, texture);
    ASSERT_EQ(pixels.size(), 32u);
    EXPECT_EQ(pixels[0], kRed) << "row 0 holds what was drawn at the top";
    EXPECT_EQ(pixels[7], kRed);
    EXPECT_EQ(pixels[8], 0u) << "cleared to transparent black";
    EXPECT_EQ(pixels[3 * 8 + 0], kBlue);
    EXPECT_EQ(pixels[3 * 8 + 5], 0u);

    // Drawn back as a picture, the texture keeps its orientation.
    TexturedQuad quad;
    ASSERT_TRUE(quad.SetTextureFull(*device, texture, 8, 4));
    UseTextureOnly(*device);
    quad.Bind(*device);
    ASSERT_EQ(quad.DrawStrip(*device), gfx::kOk);
    const auto screen = BackBufferPixels();
    EXPECT_EQ(screen[0] & 0xFFFFFFu, kRed & 0xFFFFFFu);
    EXPECT_EQ(screen[3 * kWidth + 1] & 0xFFFFFFu, kBlue & 0xFFFFFFu);
}

TEST_F(PrerenderSurfaceTest, ASurfaceWithoutATextureChangesNothing)
{
    SurfaceRenderer renderer(*device, kWidth, kHeight);
    struct Case {
        const char* name;
        std::int32_t width, height;
    };
    const Case cases[] = {{"NeverSized", 0, 0}, {"ZeroWidth", 0, 4}, {"Negative", -8, 4}, {"TooLarge", 1 << 20, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KXI_PrerenderSurface surface;
        if (c.width != 0 || c.height != 0) {
            EXPECT_FALSE(surface.SetSize(c.width, c.height));
        }
        EXPECT_EQ(surface.Texture(), nullptr);
        const auto target = CurrentTarget(*device);
        EXPECT_FALSE(surface.BeginRender(renderer));
        EXPECT_EQ(CurrentTarget(*device).Get(), target.Get());
        EXPECT_EQ(surface.EndRender(renderer), nullptr) << "nothing was begun";
        EXPECT_TRUE(renderer.pushes.empty());
        EXPECT_EQ(renderer.pops, 0) << "no view popped that was never pushed";
    }
}

TEST_F(PrerenderSurfaceTest, SetSizeReplacesTheTexture)
{
    KXI_PrerenderSurface surface;
    ASSERT_TRUE(surface.SetSize(4, 4));
    ASSERT_TRUE(surface.SetSize(6, 2));
    EXPECT_EQ(surface.Texture()->Width(), 6u);
    EXPECT_EQ(device->DefaultPoolResourceCount(), 1u) << "the old texture is gone";

    const KXI_PrerenderSurface copy = surface;
    EXPECT_NE(copy.Texture(), surface.Texture()) << "a copy draws into a texture of its own";
    EXPECT_EQ(copy.Width(), 6);
    EXPECT_NE(copy.Name(), surface.Name());
}

} // namespace

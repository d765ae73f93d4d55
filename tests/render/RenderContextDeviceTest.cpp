// The render context on a real (headless) device: border bars drawn and read
// back, transforms handed to the device, views over render targets.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "render/Camera.h"
#include "render/RenderContext.h"

namespace {

constexpr std::uint32_t kWidth = 64;
constexpr std::uint32_t kHeight = 32;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;

class RenderContextDeviceTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        device = gfx::CreateHeadlessDevice(kWidth, kHeight, &error);
        ASSERT_TRUE(device) << error;
    }

    std::vector<std::uint32_t> BackBufferPixels()
    {
        gfx::Surface* raw = nullptr;
        EXPECT_GE(device->GetBackBuffer(&raw), 0);
        const auto backBuffer = gfx::Ref<gfx::Surface>::Adopt(raw);
        std::vector<std::uint32_t> pixels;
        EXPECT_GE(device->ReadPixels(backBuffer.Get(), &pixels), 0);
        return pixels;
    }

    std::unique_ptr<gfx::Device> device;
};

struct BarCase {
    const char* name;
    float canvasW, canvasH;
    int mode;
    // The pixels the fitted canvas covers: x in [left, right), y in [top, bottom).
    int left, top, right, bottom;
    bool cameraMoved = false;
};

TEST_F(RenderContextDeviceTest, BorderBarsBlackenExactlyTheViewOutsideTheCanvas)
{
    const BarCase cases[] = {
        {"FitTaller", 64, 64, PicturePosition::kFit, 16, 0, 48, 32},
        {"FitWider", 256, 64, PicturePosition::kFit, 0, 8, 64, 24},
        {"FitTallerCameraMovedBarsStay", 64, 64, PicturePosition::kFit, 16, 0, 48, 32, true},
        {"FillTaller", 64, 64, PicturePosition::kFill, 0, 0, 64, 32},
        {"FillWider", 256, 64, PicturePosition::kFill, 0, 0, 64, 32},
        {"Stretch", 64, 64, PicturePosition::kStretch, 0, 0, 64, 32},
        // A missing picture: the bars collapse with the canvas, nothing is drawn.
        {"MissingPictureDrawsNothing", 0, 0, PicturePosition::kFit, 0, 0, 64, 32},
    };
    for (const BarCase& c : cases) {
        SCOPED_TRACE(c.name);
        RenderContext context;
        context.ResetBorderBars(*device);
        context.SetView(*device, {0, 0, float(kWidth), float(kHeight)}, c.canvasW, c.canvasH, c.mode);
        context.SetPanZoom(1, 0, 0);
        if (c.cameraMoved)
            context.SetCameraView(64, 64, {10, 20, 0}, 2.0f, true);

        ASSERT_GE(device->BeginScene(), 0);
        device->Clear(0, nullptr, gfx::ClearFlags::Target | gfx::ClearFlags::ZBuffer, kWhite, 1.0f, 0);
        context.DrawBorderBars(*device);
        device->EndScene();

        const std::vector<std::uint32_t> pixels = BackBufferPixels();
        ASSERT_EQ(pixels.size(), std::size_t(kWidth * kHeight));
        int wrong = 0;
        for (int y = 0; y < int(kHeight); ++y) {
            for (int x = 0; x < int(kWidth); ++x) {
                const bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                if (pixels[std::size_t(y) * kWidth + std::size_t(x)] != (inside ? kWhite : kBlack))
                    ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0);

        // The stage arguments are handed back to the texture.
        std::uint32_t colourArg = 0;
        device->GetTextureStageState(0, gfx::TextureStageState::ColorArg1, &colourArg);
        EXPECT_EQ(colourArg, gfx::TextureArg::Texture);
    }
}

TEST_F(RenderContextDeviceTest, BarsWithoutBuffersDrawNothing)
{
    RenderContext context;
    context.SetView(*device, {0, 0, float(kWidth), float(kHeight)}, 64, 64, PicturePosition::kFit);
    ASSERT_GE(device->BeginScene(), 0);
    device->Clear(0, nullptr, gfx::ClearFlags::Target | gfx::ClearFlags::ZBuffer, kWhite, 1.0f, 0);
    context.DrawBorderBars(*device);
    device->EndScene();
    for (std::uint32_t pixel : BackBufferPixels())
        ASSERT_EQ(pixel, kWhite);

    context.ResetBorderBars(*device);
    context.DestroyBorderBars();
    EXPECT_FALSE(context.Bar(RenderContext::kTopBar).HasBuffer());
}

TEST_F(RenderContextDeviceTest, ProjectionCoversTheCurrentRenderTarget)
{
    RenderContext context;
    context.SetView(*device, {0, 0, 16, 16}, 100, 100, PicturePosition::kFit);
    EXPECT_EQ(context.projection, OrthoOverTarget(float(kWidth), float(kHeight)));

    gfx::Texture* raw = nullptr;
    ASSERT_GE(device->CreateTexture(16, 8, 1, gfx::Usage::RenderTarget, gfx::Format::A8R8G8B8, gfx::Pool::Default,
                                    &raw),
              0);
    const auto target = gfx::Ref<gfx::Texture>::Adopt(raw);
    ASSERT_GE(device->SetRenderTarget(0, target->SurfaceLevel(0).Get()), 0);
    context.SetView(*device, {0, 0, 16, 8}, 100, 100, PicturePosition::kRenderTarget);
    EXPECT_EQ(context.projection, OrthoOverTarget(16, 8));
    device->SetRenderTarget(0, nullptr);
}

TEST_F(RenderContextDeviceTest, CameraViewFitsTheViewStateAndSetsTheDeviceTransforms)
{
    RenderContext context;
    CurrentRenderContextScope scope(&context);
    DSM_Camera camera;
    camera.mode.StoreValue(DSM_Camera::kPath);
    camera.animate.StoreValue(1);
    camera.SetSize(2000, 1000);

    // A 32 x 16 view in the corner of the 64 x 32 back buffer.
    camera.SetView(*device, QuadVertices::FromRect(0, 0, 32, 16), {2000, 1000}, PicturePosition::kFit, false);
    EXPECT_EQ(camera.pictureWidth, 2000u);
    EXPECT_FLOAT_EQ(context.canvasWidth, 1600);  // the path size while animated
    EXPECT_FLOAT_EQ(context.canvasHeight, 800);
    EXPECT_FLOAT_EQ(context.pictureWidth, 2000);
    EXPECT_FLOAT_EQ(context.viewWidth, 32);

    const ViewState& state = context.GetViewState();
    EXPECT_EQ(state.fitted, (ViewState::FittedRect{0, 0, 32, 16}));
    EXPECT_EQ(state.projection, OrthoOverTarget(32, 16)); // over the view, not the back buffer
    math::Matrix transform;
    device->GetTransform(gfx::TransformState::Projection, &transform);
    EXPECT_EQ(transform, state.projection);
    device->GetTransform(gfx::TransformState::View, &transform);
    EXPECT_EQ(transform, state.view);

    // The world transform of an object goes through the camera.
    context.SetCameraView(2000, 1000, {900, 400, 0}, 1.0f, true);
    math::Matrix object;
    context.SetWorldTransform(*device, object);
    device->GetTransform(gfx::TransformState::World, &transform);
    EXPECT_EQ(transform, context.WorldMatrix(object));
    EXPECT_FLOAT_EQ(transform(3, 0), -100); // the canvas middle (800) minus the centre
}

} // namespace

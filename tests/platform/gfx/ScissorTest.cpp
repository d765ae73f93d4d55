// The scissor rectangle: draws stay inside it while the scissor test is on,
// and a new render target starts with the whole target.

#include <gtest/gtest.h>

#include "GfxTestSupport.h"

namespace gfx::test {
namespace {

class ScissorTest : public DeviceTest {};

TEST_F(ScissorTest, DrawsStayInsideTheRectangleWhileEnabled)
{
    UseDiffuseOnly(*device);
    ASSERT_EQ(device->SetScissorRect(Rect{4, 2, 10, 7}), kOk);
    ASSERT_EQ(device->SetRenderState(RenderState::ScissorTestEnable, kTrue), kOk);
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, kWidth, kHeight, 0xFFFFFFFF)), kOk);
    auto pixels = ReadTarget(*device);
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const bool inside = x >= 4 && x < 10 && y >= 2 && y < 7;
            EXPECT_EQ(Pixel(pixels, x, y), inside ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
        }

    // Off again: the whole target is drawn.
    ASSERT_EQ(device->SetRenderState(RenderState::ScissorTestEnable, kFalse), kOk);
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, kWidth, kHeight, 0xFF00FF00)), kOk);
    pixels = ReadTarget(*device);
    EXPECT_EQ(Pixel(pixels, 0, 0), 0xFF00FF00u);
    EXPECT_EQ(Pixel(pixels, 15, 15), 0xFF00FF00u);
}

TEST_F(ScissorTest, RectangleIsReadBackAndResetByANewTarget)
{
    Rect rect;
    ASSERT_EQ(device->GetScissorRect(&rect), kOk);
    EXPECT_EQ(rect.right, std::int32_t(kWidth));
    EXPECT_EQ(rect.bottom, std::int32_t(kHeight));
    ASSERT_EQ(device->SetScissorRect(Rect{1, 2, 3, 4}), kOk);
    ASSERT_EQ(device->GetScissorRect(&rect), kOk);
    EXPECT_EQ(rect.left, 1);
    EXPECT_EQ(rect.bottom, 4);
    EXPECT_EQ(device->SetScissorRect(Rect{5, 0, 2, 4}), kInvalidCall);

    const auto target = MakeRenderTarget(*device, 8, 8);
    ASSERT_EQ(device->SetRenderTarget(0, target->SurfaceLevel(0).Get()), kOk);
    ASSERT_EQ(device->GetScissorRect(&rect), kOk);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 8);
    EXPECT_EQ(rect.bottom, 8);
}

} // namespace
} // namespace gfx::test

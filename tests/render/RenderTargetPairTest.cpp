// The render-target pair on a headless device: sizing from the player's
// values, ping-pong between its textures, saving and restoring the device's
// target, seeding from a texture, and a pair that could not be made.

#include <gtest/gtest.h>

#include "render/RenderTargetPair.h"
#include "tests/render/QuadTestSupport.h"

namespace {

using namespace quad_test;

class RenderTargetPairTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        savedSizing = g_RenderTargetSizing;
    }
    void TearDown() override
    {
        g_RenderTargetSizing = savedSizing;
        DeviceFixture::TearDown();
    }

    RenderTargetSizing savedSizing;
};

TEST_F(RenderTargetPairTest, CreateUsesTheSizingValues)
{
    struct Case {
        const char* name;
        RenderTargetSizing sizing;
        bool made;
        std::int32_t width, height;
    };
    const Case cases[] = {
        {"OneMonitor", {1, 8, 4}, true, 8, 4},
        {"Doubled", {2, 8, 4}, true, 16, 8},
        {"HugeMultiplierStartsAtTheLargestUsable", {1 << 30, 8192, 16}, true, 16384, 32},
        {"MultiplierZeroMakesNothing", {0, 8, 4}, false, 0, 0},
        {"NegativeMultiplier", {-2, 8, 4}, false, 0, 0},
        {"NoBaseSize", {1, 0, 4}, false, 0, 0},
        {"LargerThanAnyTarget", {1, 20000, 10}, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_RenderTargetSizing = c.sizing;
        RenderTargetPair pair;
        if (c.made && c.width > 8192) {
            // Only where the device makes targets that large.
            gfx::Texture* probe = nullptr;
            if (device->CreateTexture(std::uint32_t(c.width), std::uint32_t(c.height), 1, gfx::Usage::RenderTarget,
                                      gfx::Format::A8R8G8B8, gfx::Pool::Default, &probe) != gfx::kOk)
                continue;
            probe->Release();
        }
        EXPECT_EQ(pair.Create(), c.made);
        EXPECT_EQ(pair.IsValid(), c.made) << "callers can tell whether the pair exists";
        EXPECT_EQ(pair.Width(), c.width);
        EXPECT_EQ(pair.Height(), c.height);
        EXPECT_EQ(pair.CurrentTexture(), pair.TextureAt(0));
        if (c.made) {
            EXPECT_EQ(pair.TextureAt(1)->Width(), std::uint32_t(c.width));
            EXPECT_TRUE(pair.TextureAt(0)->IsRenderTarget());
        }
    }
}

TEST_F(RenderTargetPairTest, SwapPingPongsBetweenTheTwoTextures)
{
    RenderTargetPair pair;
    ASSERT_TRUE(pair.Resize(8, 4));
    gfx::Texture* first = pair.TextureAt(0);
    gfx::Texture* second = pair.TextureAt(1);
    const auto backBuffer = BackBuffer(*device);

    ASSERT_TRUE(pair.Begin(pair.CurrentTexture()));
    EXPECT_TRUE(pair.IsSaving());
    EXPECT_EQ(CurrentTarget(*device)->Container(), first);
    gfx::Surface* depth = nullptr;
    EXPECT_EQ(device->GetDepthStencilSurface(&depth), gfx::kNotFound) << "no depth while drawing into the pair";
    FillRect(*device, 0, 0, 8, 4, kRed);

    EXPECT_EQ(pair.Swap(), first) << "returns the texture drawn into until now";
    EXPECT_EQ(pair.Index(), 1);
    EXPECT_EQ(pair.CurrentTexture(), second);
    EXPECT_EQ(CurrentTarget(*device)->Container(), second);
    EXPECT_EQ(ReadTexture(*device, second)[5], kBlack) << "the new target is cleared to opaque black";
    FillRect(*device, 0, 0, 2, 4, kBlue);
    EXPECT_EQ(ReadTexture(*device, first)[5], kRed) << "the finished picture is kept";

    EXPECT_EQ(pair.Swap(), second);
    EXPECT_EQ(pair.Index(), 0);
    EXPECT_EQ(CurrentTarget(*device)->Container(), first);
    const auto secondPixels = ReadTexture(*device, second);
    EXPECT_EQ(secondPixels[0], kBlue);
    EXPECT_EQ(secondPixels[5], kBlack);

    pair.End();
    EXPECT_FALSE(pair.IsSaving());
    EXPECT_EQ(CurrentTarget(*device).Get(), backBuffer.Get());
    EXPECT_EQ(device->GetDepthStencilSurface(&depth), gfx::kOk) << "the depth buffer is back";
    gfx::Ref<gfx::Surface>::Adopt(depth);
}

// A monitor's pass confines its drawing with the scissor rectangle; drawing
// into the pair uses the whole texture, and after End the pass is confined
// to its monitor again.
TEST_F(RenderTargetPairTest, EndPutsTheScissorRectangleBack)
{
    const gfx::Rect rightMonitor{16, 0, std::int32_t(kWidth), std::int32_t(kHeight)};
    ASSERT_EQ(device->SetScissorRect(rightMonitor), gfx::kOk);
    ASSERT_EQ(device->SetRenderState(gfx::RenderState::ScissorTestEnable, gfx::kTrue), gfx::kOk);
    RenderTargetPair pair;
    ASSERT_TRUE(pair.Resize(8, 4));

    ASSERT_TRUE(pair.Begin(pair.CurrentTexture()));
    FillRect(*device, 0, 0, 8, 4, kRed);
    EXPECT_EQ(ReadTexture(*device, pair.CurrentTexture())[0], kRed) << "the texture is drawn whole";
    pair.End();

    gfx::Rect scissor;
    ASSERT_EQ(device->GetScissorRect(&scissor), gfx::kOk);
    EXPECT_EQ(scissor.left, rightMonitor.left);
    EXPECT_EQ(scissor.right, rightMonitor.right);
    EXPECT_EQ(scissor.bottom, rightMonitor.bottom);
    std::uint32_t enabled = 0;
    device->GetRenderState(gfx::RenderState::ScissorTestEnable, &enabled);
    EXPECT_EQ(enabled, gfx::kTrue) << "the pass's own setting is left alone";
    FillRect(*device, 0, 0, float(kWidth), float(kHeight), kGreen);
    const auto pixels = BackBufferPixels();
    for (std::uint32_t y = 0; y < kHeight; y += 5)
        for (std::uint32_t x = 0; x < kWidth; ++x)
            EXPECT_EQ(pixels[y * kWidth + x], x >= 16 ? kGreen : kBlack) << x << "," << y;
}

// The player's frame writes no alpha. A shared pair is read by its alpha
// (masks, glow targets), so drawing into it writes every channel; the
// picture scene's own pair holds the frame and is written as the frame is.
// Either way the frame's mask is back after End.
TEST_F(RenderTargetPairTest, DrawsIntoThePairWriteTheChannelsItIsReadBy)
{
    constexpr std::uint32_t kFrameMask = gfx::ColorWrite::Red | gfx::ColorWrite::Green | gfx::ColorWrite::Blue;
    constexpr std::uint32_t kTranslucentRed = 0x80FF0000u;
    struct Case {
        const char* name;
        TargetChannels channels;
        std::uint32_t alphaAfterDrawing; // over a clear to transparent black
    };
    const Case cases[] = {{"shared pair", TargetChannels::All, 0x80u}, {"the frame's pair", TargetChannels::Frame, 0x00u}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(device->SetRenderState(gfx::RenderState::ColorWriteEnable, kFrameMask), gfx::kOk);
        RenderTargetPair pair;
        ASSERT_TRUE(pair.Resize(8, 4));
        ASSERT_TRUE(pair.Begin(pair.CurrentTexture(), c.channels));
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0x00000000u, 1.0f, 0);
        FillRect(*device, 0, 0, 8, 4, kTranslucentRed);
        const std::uint32_t texel = ReadTexture(*device, pair.CurrentTexture())[0];
        EXPECT_EQ(texel >> 24, c.alphaAfterDrawing) << std::hex << texel;
        EXPECT_EQ((texel >> 16) & 0xFF, 0xFFu) << std::hex << texel;
        pair.End();
        std::uint32_t mask = 0;
        device->GetRenderState(gfx::RenderState::ColorWriteEnable, &mask);
        EXPECT_EQ(mask, kFrameMask);
    }
}

TEST_F(RenderTargetPairTest, AnEmptyPairLeavesTheDeviceAlone)
{
    g_RenderTargetSizing = {1, 0, 0};
    RenderTargetPair pair;
    ASSERT_FALSE(pair.Create());
    const auto target = CurrentTarget(*device);
    EXPECT_FALSE(pair.Begin(pair.CurrentTexture()));
    EXPECT_EQ(pair.Swap(), nullptr);
    pair.End();
    EXPECT_EQ(CurrentTarget(*device).Get(), target.Get());
    EXPECT_EQ(device->DefaultPoolResourceCount(), 0u);
}

TEST_F(RenderTargetPairTest, ResizeRefusesEmptySizesAndSeedsFromATexture)
{
    RenderTargetPair pair;
    ASSERT_TRUE(pair.Resize(4, 4));
    EXPECT_FALSE(pair.Resize(0, 5));
    EXPECT_EQ(pair.Width(), 0);
    EXPECT_EQ(pair.Height(), 5) << "the size asked for is stored";
    EXPECT_FALSE(pair.Resize(-4, 4));

    const auto source = MakeTexture(*device, 2, 2, {kGreen, kGreen, kGreen, kGreen});
    ASSERT_TRUE(pair.ResizeAndCopy(source.Get(), 8, 8));
    EXPECT_EQ(ReadTexture(*device, pair.CurrentTexture())[27], kGreen);
    EXPECT_EQ(device->DefaultPoolResourceCount(), 2u);

    pair.ReleaseTextures();
    EXPECT_FALSE(pair.IsValid());
    EXPECT_EQ(device->DefaultPoolResourceCount(), 0u) << "a lost device can be reset";
    EXPECT_EQ(pair.Width(), 8) << "the size is kept for the reset";
}

} // namespace

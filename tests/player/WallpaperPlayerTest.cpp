// The player's frame: monitor layout, one pass or one pass per monitor,
// frames without a scene, device resets, and the frame timer's periods.

#include <gtest/gtest.h>

#include "player/WallpaperPlayer.h"
#include "render/RenderTargetPair.h"
#include "tests/player/PlayerTestSupport.h"

namespace {

using player::WallpaperPlayer;

win::MonitorEntry Monitor(int left, int top, int right, int bottom)
{
    return win::MonitorEntry{nullptr, win::RECT{left, top, right, bottom}};
}

TEST(WallpaperPlayerFrame, FramePeriodFollowsTheSleepTimeSetting)
{
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {{0, 10}, {1, 30}, {2, 60}, {3, 100}, {4000000000u, 100}};
    for (const auto& [setting, period] : cases)
        EXPECT_EQ(player::FramePeriodMs(setting), period) << "setting " << setting;
}

TEST(WallpaperPlayerFrame, MonitorsAreSortedAndUnited)
{
    WallpaperPlayer wallpaper;
    wallpaper.SetMonitors({Monitor(0, 0, 1920, 1080), Monitor(-1280, 0, 0, 1024)});
    ASSERT_EQ(wallpaper.Monitors().size(), 2u);
    EXPECT_EQ(wallpaper.Monitors()[0].rect.left, -1280);
    EXPECT_EQ(wallpaper.UnionRect(), (win::RECT{-1280, 0, 1920, 1080}));
}

class WallpaperPlayerDeviceTest : public player_test::DeviceFixture {
protected:
    void LoadTwoSlides()
    {
        player_test::SlideFields slide;
        const auto bytes = player_test::WriteDocument({slide, slide});
        wallpaper.LoadScene([bytes] {
            MemoryArchive archive(bytes);
            archive.Reader().ReadWideString();
            return ReadSceneDocument(archive.Reader());
        });
    }

    void SetUp() override
    {
        savedSizing = g_RenderTargetSizing;
        DeviceFixture::SetUp();
    }
    // The scene's device resources go before the device.
    void TearDown() override
    {
        wallpaper.StopScene();
        g_RenderTargetSizing = savedSizing;
        DeviceFixture::TearDown();
    }

    WallpaperPlayer wallpaper;
    RenderTargetSizing savedSizing;
};

TEST_F(WallpaperPlayerDeviceTest, PassesFollowMonitorsAndPicturePosition)
{
    struct Case {
        std::vector<win::MonitorEntry> monitors;
        int position;
        std::vector<win::RECT> passes;
    } cases[] = {
        {{Monitor(0, 0, 64, 48)}, 1, {{0, 0, 64, 48}}},
        {{Monitor(0, 0, 32, 48), Monitor(32, 0, 64, 48)}, 0, {{0, 0, 64, 48}}},
        {{Monitor(0, 0, 1920, 1080), Monitor(-1280, 0, 0, 1024)},
         1,
         {{0, 0, 1280, 1024}, {1280, 0, 3200, 1080}}},
        {{Monitor(0, 0, 1920, 1080), Monitor(-1280, 0, 0, 1024)},
         2,
         {{0, 0, 1280, 1024}, {1280, 0, 3200, 1080}}},
    };
    LoadTwoSlides();
    for (const Case& c : cases) {
        wallpaper.SetMonitors(c.monitors);
        wallpaper.SetDeviceWindowSize(std::int32_t(width), std::int32_t(height));
        wallpaper.SetPicturePosition(c.position);
        wallpaper.FrameMove(1.0);
        EXPECT_EQ(wallpaper.FrameRender(*device), S_OK);
        ASSERT_EQ(wallpaper.LastPasses().size(), c.passes.size()) << "position " << c.position;
        for (std::size_t i = 0; i < c.passes.size(); ++i)
            EXPECT_EQ(wallpaper.LastPasses()[i], c.passes[i]) << "pass " << i;
        std::uint32_t clipPlanes = 1;
        device->GetRenderState(gfx::RenderState::ClipPlaneEnable, &clipPlanes);
        EXPECT_EQ(clipPlanes, 0u) << "clip planes left on after the passes";
        std::uint32_t scissor = 1;
        device->GetRenderState(gfx::RenderState::ScissorTestEnable, &scissor);
        EXPECT_EQ(scissor, 0u) << "the scissor test left on after the passes";
    }
}

// After the wallpaper was hidden and shown the player has no scene: the
// frame reports that nothing was drawn but leaves opaque black, never the
// back buffer's old content.
TEST_F(WallpaperPlayerDeviceTest, FrameWithoutSceneFailsAndLeavesBlack)
{
    wallpaper.SetMonitors({Monitor(0, 0, 64, 48)});
    device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF123456u, 1.0f, 0);
    EXPECT_EQ(wallpaper.FrameRender(*device), E_FAIL);
    std::vector<std::uint32_t> pixels;
    gfx::Surface* raw = nullptr;
    ASSERT_EQ(device->GetBackBuffer(&raw), gfx::kOk);
    const auto backBuffer = gfx::Ref<gfx::Surface>::Adopt(raw);
    ASSERT_EQ(device->ReadPixels(backBuffer.Get(), &pixels), gfx::kOk);
    EXPECT_EQ(pixels.at(0) & 0xFFFFFFu, 0u);
    EXPECT_EQ(pixels.at(pixels.size() - 1) & 0xFFFFFFu, 0u);
}

TEST_F(WallpaperPlayerDeviceTest, ResetReadsTheSceneAgainWithStoredSettings)
{
    wallpaper.SetMonitors({Monitor(0, 0, 800, 600), Monitor(800, 0, 2720, 1080)});
    wallpaper.SetDeviceWindowSize(std::int32_t(width), std::int32_t(height));
    LoadTwoSlides();
    wallpaper.SetPicturePosition(2);
    wallpaper.SetVolume(40, false);
    wallpaper.FrameMove(0.0);
    wallpaper.FrameMove(20.0); // on the second slide
    ASSERT_EQ(wallpaper.Scene()->CurrentIndex(), 1);

    device->SetRenderState(gfx::RenderState::ColorWriteEnable, 0xF);
    wallpaper.DeviceLost();
    EXPECT_EQ(wallpaper.DeviceReset(*device), S_OK);
    ASSERT_NE(wallpaper.Scene(), nullptr);
    EXPECT_EQ(wallpaper.Scene()->CurrentSlide(), nullptr) << "the scene restarts from its first slide";
    for (const auto& slide : wallpaper.Scene()->Slides())
        EXPECT_EQ(slide->PictureScene()->PictureMode(), 2);
    EXPECT_EQ(wallpaper.Volume(), 40);
    EXPECT_FALSE(wallpaper.Mute());
    std::uint32_t mask = 0;
    device->GetRenderState(gfx::RenderState::ColorWriteEnable, &mask);
    EXPECT_EQ(mask, 7u) << "alpha is written again after a reset";
    EXPECT_EQ(g_RenderTargetSizing.baseWidth, 1920);
    EXPECT_EQ(g_RenderTargetSizing.baseHeight, 1080);
    EXPECT_EQ(g_RenderContextTls, wallpaper.Scene()->GetRenderContext());
}

TEST_F(WallpaperPlayerDeviceTest, StoppedSceneIsNotReloadedByAReset)
{
    wallpaper.SetMonitors({Monitor(0, 0, 64, 48)});
    LoadTwoSlides();
    wallpaper.StopScene();
    EXPECT_EQ(wallpaper.DeviceReset(*device), S_OK);
    EXPECT_EQ(wallpaper.Scene(), nullptr);
}

} // namespace

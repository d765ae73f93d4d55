// The player's frame: monitor layout, one pass or one pass per monitor,
// frames without a scene, device resets, and the frame timer's periods.

#include <gtest/gtest.h>

#include "player/WallpaperPlayer.h"
#include "render/RenderTargetPair.h"
#include "render/RenderTargetPairTextures.h"
#include "render/ScreenQuad.h"
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

// An object that draws into a texture of its own, as picture effects and
// glows do, and then fills the whole target with the colour of its pass:
// red in the first pass of a frame, green in the second.
class TargetSwitchObject : public DS_ABObj {
public:
    using DS_ABObj::DS_ABObj;
    static inline int s_passes = 0;

    void Animate(float) override {}
    void Render(DS_ABRender&) override
    {
        gfx::Device* device = GetResourceDevice();
        if (!device)
            return;
        gfx::Ref<gfx::Texture> texture;
        ASSERT_EQ(CreateRenderTargetTexture(*device, texture, 8, 8, gfx::Usage::RenderTarget), gfx::kOk);
        SavedRenderTargets saved;
        ASSERT_TRUE(saved.Redirect(*device, texture.Get()));
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFFFFFFFFu, 1.0f, 0);
        saved.Restore(*device);

        const gfx::SurfaceDesc target = GetRenderTargetDesc(*device);
        ScreenQuad quad;
        ASSERT_TRUE(quad.SetQuadAndColor(*device,
                                         QuadVertices::FromRect(0, 0, float(target.width), float(target.height)),
                                         s_passes++ % 2 == 0 ? 0xFFFF0000u : 0xFF00FF00u));
        device->SetRenderState(gfx::RenderState::ZEnable, gfx::kFalse);
        device->SetRenderState(gfx::RenderState::AlphaBlendEnable, gfx::kFalse);
        device->SetTextureStageState(0, gfx::TextureStageState::ColorOp, std::uint32_t(gfx::TextureOp::SelectArg1));
        device->SetTextureStageState(0, gfx::TextureStageState::ColorArg1, gfx::TextureArg::Diffuse);
        quad.BindStream(*device);
        EXPECT_EQ(quad.DrawStrip(*device), gfx::kOk);
    }
};

class TargetSwitchDescription : public DS_ABObj_Constructor {
public:
    TargetSwitchDescription() = default;
    TargetSwitchDescription(const TargetSwitchDescription&) = default;
    void ReadBody(ArchiveReader ar, std::int32_t) { Load(ar); }
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override
    {
        return std::make_unique<TargetSwitchObject>(std::make_unique<TargetSwitchDescription>(*this));
    }
};

constexpr char16_t kTargetSwitchClass[] = u"PlayerTargetSwitchObject";
const bool g_targetSwitchRegistered = RegisterMainClass<TargetSwitchDescription>(kTargetSwitchClass);

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

// An object that switches the render target in the middle of a monitor's
// pass leaves the pass inside its monitor: what it draws afterwards over
// the whole target lands on its own monitor only.
TEST_F(WallpaperPlayerDeviceTest, APassStaysInsideItsMonitorAfterATargetSwitch)
{
    player_test::SlideFields slide;
    slide.fadeIn = 0.0f;
    slide.objects = {u"switch"};
    slide.objectClass = kTargetSwitchClass;
    const auto bytes = player_test::WriteDocument({slide});
    wallpaper.LoadScene([bytes] {
        MemoryArchive archive(bytes);
        archive.Reader().ReadWideString();
        return ReadSceneDocument(archive.Reader());
    });
    wallpaper.SetMonitors({Monitor(0, 0, 32, 48), Monitor(32, 0, 64, 48)});
    wallpaper.SetDeviceWindowSize(std::int32_t(width), std::int32_t(height));
    wallpaper.SetPicturePosition(1);
    TargetSwitchObject::s_passes = 0;
    wallpaper.FrameMove(1.0);
    ASSERT_EQ(wallpaper.FrameRender(*device), S_OK);
    ASSERT_EQ(wallpaper.LastPasses().size(), 2u);
    ASSERT_EQ(TargetSwitchObject::s_passes, 2) << "the object draws once in each monitor's pass";

    gfx::Surface* raw = nullptr;
    ASSERT_EQ(device->GetBackBuffer(&raw), gfx::kOk);
    const auto backBuffer = gfx::Ref<gfx::Surface>::Adopt(raw);
    std::vector<std::uint32_t> pixels;
    ASSERT_EQ(device->ReadPixels(backBuffer.Get(), &pixels), gfx::kOk);
    for (std::uint32_t y = 0; y < height; y += 7)
        for (std::uint32_t x = 0; x < width; x += 3)
            EXPECT_EQ(pixels[y * width + x] & 0xFFFFFFu, x < 32 ? 0xFF0000u : 0x00FF00u) << x << "," << y;
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

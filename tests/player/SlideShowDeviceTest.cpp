// The slide show on a device: slides initialised and switched as the player
// does it, the black transition over the picture, and black frames for a
// show with nothing to show.

#include <gtest/gtest.h>

#include "objectmodel/SceneDocument.h"
#include "player/WallpaperPlayer.h"
#include "tests/player/PlayerTestSupport.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/render/QuadTestSupport.h"
#include "tests/support/RgbCompare.h"

namespace {

using player_test::g_probeEvents;
using player_test::SlideFields;

constexpr std::uint32_t kPictureRgb = 0x20C040;
const LinkKey kPictureLink{u"pictures\\green.bmp", 11};

using rgb_compare::ShowsRgb;

class SlideShowDeviceTest : public player_test::DeviceFixture {
protected:
    // A document of `slides`, whose manager stores a green picture under
    // kPictureLink, and each slide shows it.
    void Open(std::vector<SlideFields> slides)
    {
        const auto bytes = DocumentBytes(std::move(slides));
        MemoryArchive archive(bytes);
        archive.Reader().ReadWideString();
        document = ReadSceneDocument(archive.Reader());
        show = dynamic_cast<DS_SlideShow_Light*>(document.SlideShow());
        ASSERT_NE(show, nullptr);
        for (const auto& slide : show->Slides()) {
            slide->InitSlide();
            slide->SetPictureMode(PicturePosition::kStretch);
        }
    }

    // Two slides of fade-in 1, hold 2 and fade-out 1 seconds.
    void OpenTwoFadingSlides()
    {
        SlideFields slide;
        slide.fadeIn = 1;
        slide.hold = 2;
        slide.fadeOut = 1;
        Open({slide, slide});
    }

    static std::vector<std::uint8_t> DocumentBytes(std::vector<SlideFields> slides)
    {
        for (auto& slide : slides) {
            slide.light.backgroundPath = std::u16string(kPictureLink.path);
            slide.light.backgroundId = kPictureLink.id;
        }
        DocumentWriter w;
        w.Header().SlideShowBegin(std::int32_t(slides.size()));
        for (const auto& slide : slides)
            player_test::WriteSlide(w, slide);
        w.AudioFiles({});
        ModuleResourceBlob stored(u"green.bmp");
        stored.SetBytes(docres_test::BmpPicture(8, 8, [](std::uint32_t, std::uint32_t) { return kPictureRgb; }));
        DocResManagerRecord record;
        record.textureSetRecords[kPictureLink] = {stored};
        w.DocResManager(record);
        return w.Bytes();
    }

    std::uint32_t CentrePixel()
    {
        const auto pixels = quad_test::ReadSurface(*device, quad_test::BackBuffer(*device).Get());
        return pixels.at(std::size_t(height / 2) * width + width / 2) & 0xFFFFFFu;
    }

    std::uint32_t RenderAt(float t)
    {
        show->Update(t);
        show->Render(false);
        return CentrePixel();
    }

    // The scene's device resources go before the device.
    void TearDown() override
    {
        document = SceneDocument();
        DeviceFixture::TearDown();
    }

    SceneDocument document;
    DS_SlideShow_Light* show = nullptr;
};

TEST_F(SlideShowDeviceTest, SwitchingRestartsObjectsAndMovesTheSounds)
{
    SlideFields first, second;
    first.fadeIn = 0;
    first.hold = 1;
    first.fadeOut = 0;
    first.objects = {u"a1", u"a2"};
    first.sounds = {u"as"};
    second.objects = {u"b1"};
    second.sounds = {u"bs"};
    Open({first, second});
    EXPECT_TRUE(show->Slides()[0]->StoredObjects().empty());
    EXPECT_TRUE(show->Slides()[0]->StoredSounds().empty());
    EXPECT_EQ(show->Slides()[0]->Objects().size(), 2u);

    g_probeEvents.events.clear();
    show->Update(0.0f);
    EXPECT_EQ(g_probeEvents.events, (std::vector<std::string>{"restart a1", "restart a2", "enable as"}));
    g_probeEvents.events.clear();
    show->Update(1.5f);
    EXPECT_EQ(g_probeEvents.events, (std::vector<std::string>{"disable as", "restart b1", "enable bs"}));
}

TEST_F(SlideShowDeviceTest, TransitionCoversThePictureDuringFades)
{
    OpenTwoFadingSlides();
    EXPECT_TRUE(ShowsRgb(RenderAt(0.0f), kPictureRgb)) << std::hex << CentrePixel();
    ASSERT_NE(show->Transition(), nullptr);
    EXPECT_TRUE(ShowsRgb(RenderAt(2.0f), kPictureRgb));
    // Half-way through the fade-out: half the picture's brightness.
    EXPECT_TRUE(ShowsRgb(RenderAt(2.5f), 0x106020, 12)) << std::hex << CentrePixel();
    // The next slide begins fully covered.
    EXPECT_TRUE(ShowsRgb(RenderAt(3.01f), 0x000000, 12)) << std::hex << CentrePixel();
    EXPECT_TRUE(ShowsRgb(RenderAt(4.5f), kPictureRgb));
}

// A first update without a device cannot make the black quad (nor set the
// slide's view); the first update with a device starts the show again, and
// it fades from there.
TEST_F(SlideShowDeviceTest, TransitionIsMadeOnceADeviceAppears)
{
    OpenTwoFadingSlides();
    {
        const ResourceDeviceScope noDevice(nullptr);
        show->Update(0.0f);
        EXPECT_EQ(show->Transition(), nullptr);
    }
    EXPECT_TRUE(ShowsRgb(RenderAt(2.5f), kPictureRgb)) << std::hex << CentrePixel();
    EXPECT_NE(show->Transition(), nullptr);
    // Started again at 2.5 past its fade-in: half-way through the fade-out at 5.
    EXPECT_TRUE(ShowsRgb(RenderAt(5.0f), 0x106020, 12)) << std::hex << CentrePixel();
}

TEST_F(SlideShowDeviceTest, PerMonitorPassesDarkenEachMonitorOnce)
{
    SlideFields slide;
    slide.fadeIn = 1;
    slide.hold = 2;
    slide.fadeOut = 1;
    const auto bytes = DocumentBytes({slide, slide});
    player::WallpaperPlayer wallpaper;
    wallpaper.SetMonitors({win::MonitorEntry{nullptr, win::RECT{0, 0, 32, 48}},
                           win::MonitorEntry{nullptr, win::RECT{32, 0, 64, 48}}});
    wallpaper.SetDeviceWindowSize(std::int32_t(width), std::int32_t(height));
    wallpaper.LoadScene([bytes] {
        MemoryArchive archive(bytes);
        archive.Reader().ReadWideString();
        return ReadSceneDocument(archive.Reader());
    });
    wallpaper.SetPicturePosition(PicturePosition::kFill);
    wallpaper.FrameMove(0.0);
    wallpaper.FrameMove(2.5); // half-way through the fade-out
    ASSERT_EQ(wallpaper.FrameRender(*device), S_OK);
    const auto pixels = quad_test::ReadSurface(*device, quad_test::BackBuffer(*device).Get());
    for (std::uint32_t x : {16u, 48u}) {
        const std::uint32_t rgb = pixels.at(std::size_t(height / 2) * width + x) & 0xFFFFFFu;
        EXPECT_TRUE(ShowsRgb(rgb, 0x106020, 12)) << "monitor at x " << x << ": " << std::hex << rgb;
    }
    wallpaper.StopScene();
}

TEST_F(SlideShowDeviceTest, ShowWithoutSlidesDrawsBlack)
{
    Open({});
    device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFFFF00FFu, 1.0f, 0);
    EXPECT_EQ(RenderAt(1.0f), 0x000000u);
}

} // namespace

// The fire, day-to-night and heat-shimmer effects drawn headless on a
// slide's picture scene and read back: the fire burns red to yellow inside
// its region and nowhere else, the night drains the stripes to their grey,
// and the shimmer moves the stripes inside its region, differently at two
// shimmer times, and leaves the rest of the picture.

#include <algorithm>

#include "effects/DayNightHeatFX.h"
#include "effects/FireFX.h"
#include "tests/effects/DistortionTestSupport.h"
#include "tests/render/PictureSceneTestSupport.h"

namespace image_effect_test {
namespace {

using namespace picture_scene_test;

class FireHeatReadbackTest : public EffectReadbackTest {
protected:
    // The picture alone, no effect drawn.
    std::vector<std::uint32_t> PlainFrame()
    {
        light->RenderFrame({}, false);
        return BackBufferPixels();
    }
};

// A rectangle of target pixels, [left, right) x [top, bottom).
struct PixelRect {
    std::uint32_t left, top, right, bottom;

    bool Contains(std::uint32_t x, std::uint32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// No pixel: outside it is everywhere.
constexpr PixelRect kNowhere{0, 0, 0, 0};

int Channel(std::uint32_t pixel, int shift)
{
    return int((pixel >> shift) & 0xFF);
}
int Red(std::uint32_t pixel)
{
    return Channel(pixel, 16);
}
int Green(std::uint32_t pixel)
{
    return Channel(pixel, 8);
}
int Blue(std::uint32_t pixel)
{
    return Channel(pixel, 0);
}

// Pixels inside `rect` where the two frames differ by more than `tolerance`
// in any channel.
int DifferingPixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, const PixelRect& rect,
                    int tolerance)
{
    int count = 0;
    for (std::uint32_t y = rect.top; y < rect.bottom; ++y)
        for (std::uint32_t x = rect.left; x < rect.right; ++x)
            count += !ShowsRgb(At(a, x, y), At(b, x, y) & 0xFFFFFF, tolerance);
    return count;
}

// Every pixel outside `rect` within 1 / 255 of the reference frame.
void ExpectUnchangedOutside(const std::vector<std::uint32_t>& frame, const std::vector<std::uint32_t>& reference,
                            const PixelRect& rect)
{
    int changed = 0;
    for (std::uint32_t y = 0; y < kTargetSize; ++y)
        for (std::uint32_t x = 0; x < kTargetSize; ++x) {
            if (rect.Contains(x, y) || ShowsRgb(At(frame, x, y), At(reference, x, y) & 0xFFFFFF, 1))
                continue;
            if (changed++ == 0)
                ADD_FAILURE() << "first changed pixel (" << x << ", " << y << ") shows " << Hex(At(frame, x, y))
                              << " instead of " << Hex(At(reference, x, y));
        }
    EXPECT_EQ(changed, 0) << "pixels changed outside the effect's region";
}

// ---- fire

// The fire's region: picture pixels 8..24 across, 9..16 down (the middle of
// the grey lower half, a row below the stripes so that no filtered pixel of
// theirs is under it), target pixels 16..48 x 36..64.
constexpr PixelRect kFireRect{16, 36, 48, 64};

void PlaceFire(DS_FireFX& fire)
{
    fire.region.SetRectangle(16.0f, 7.0f, {16.0f, 12.5f, 0.0f});
}

// Over the neutral grey, blue is what the fire left of the picture: red -
// blue is the fire's strength and (green - blue) / (red - blue) its own
// green-to-red ratio, 0 for red, 1 for yellow.
float Yellowness(std::uint32_t pixel)
{
    return float(Green(pixel) - Blue(pixel)) / float(Red(pixel) - Blue(pixel));
}

TEST_F(FireHeatReadbackTest, FireBurnsRedToYellowInItsRegionAtLevelOneAndNowhereAtLevelZero)
{
    const auto reference = PlainFrame();
    ASSERT_TRUE(ShowsRgb(At(reference, 32, 48), kGrey)) << Hex(At(reference, 32, 48));
    struct Case {
        std::int32_t mode;
        float level;
    };
    // In mode 1 the light hands the picture over and the fire draws it back
    // before it burns.
    for (const Case& c : {Case{0, 0.0f}, Case{0, 1.0f}, Case{1, 0.0f}, Case{1, 1.0f}}) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", level " << c.level);
        DS_FireFX fire;
        Prepare(fire, c.level);
        PlaceFire(fire);
        fire.mode.value = c.mode;
        // In mode 1 the fire draws on the back buffer the pass ended on, not
        // on the picture: blacked out, it shows only what the fire puts back.
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        const auto pixels = FrameAt(fire, 0.5f);
        if (c.level == 0.0f) {
            ExpectUnchangedOutside(pixels, reference, kNowhere);
            continue;
        }
        ExpectUnchangedOutside(pixels, reference, kFireRect);
        int burning = 0, faint = 0, core = 0;
        float faintMostYellow = 0.0f, coreLeastYellow = 1.0f;
        for (std::uint32_t y = kFireRect.top; y < kFireRect.bottom; ++y)
            for (std::uint32_t x = kFireRect.left; x < kFireRect.right; ++x) {
                const std::uint32_t p = At(pixels, x, y);
                // Warm wherever it shows: never less red or more blue than
                // the grey, never greener than red.
                ASSERT_GE(Red(p), Red(kGrey) - 1) << "(" << x << ", " << y << ") " << Hex(p);
                ASSERT_LE(Blue(p), Blue(kGrey) + 1) << "(" << x << ", " << y << ") " << Hex(p);
                ASSERT_GE(Red(p), Green(p) - 1) << "(" << x << ", " << y << ") " << Hex(p);
                const int strength = Red(p) - Blue(p);
                burning += strength >= 0x20;
                if (strength >= 0x10 && strength < 0x30) {
                    ++faint;
                    faintMostYellow = std::max(faintMostYellow, Yellowness(p));
                }
                if (strength >= 0x60) {
                    ++core;
                    coreLeastYellow = std::min(coreLeastYellow, Yellowness(p));
                }
            }
        EXPECT_GT(burning, 40) << "the fire shows in its region";
        // Red at the faint edge, towards yellow in the core.
        ASSERT_GT(faint, 0);
        ASSERT_GT(core, 0);
        EXPECT_LT(faintMostYellow, 0.3f);
        EXPECT_GT(coreLeastYellow, 0.45f);
    }
}

// ---- day to night

TEST_F(FireHeatReadbackTest, DayToNightWithANeutralSoftLightAndFullDesaturationTurnsThePictureGrey)
{
    const auto reference = PlainFrame();
    // Target pixels in the middle of the red, green, blue and white stripes
    // and of the grey.
    const std::uint32_t points[5][2] = {{8, 16}, {24, 16}, {40, 16}, {56, 16}, {32, 48}};
    struct Case {
        float level;
        std::uint32_t expected[5];
    };
    // Each colour's grey is its luminance 0.299 r + 0.587 g + 0.114 b; at
    // level 0.5 the night weighs sin(pi / 4) = 0.707 over the picture.
    const Case cases[] = {
        {0.0f, {kRedRgb, kGreenRgb, kBlueRgb, 0xFFFFFF, kGrey}},
        {0.5f, {0x813636, 0x6AB56A, 0x15155F, 0xFFFFFF, kGrey}},
        {1.0f, {0x4C4C4C, 0x969696, 0x1D1D1D, 0xFFFFFF, kGrey}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level);
        DS_DayToNight night;
        Prepare(night, c.level);
        night.multiplyColour.value = 0xFFFFFF; // the picture as it is
        night.softLightColour.SetHSB(0, 0, 50); // mid grey: soft light changes nothing
        night.desaturation.SetValue(100, nullptr);
        const auto pixels = FrameAt(night);
        for (int i = 0; i < 5; ++i) {
            const std::uint32_t p = At(pixels, points[i][0], points[i][1]);
            EXPECT_TRUE(ShowsRgb(p, c.expected[i], 3))
                << "(" << points[i][0] << ", " << points[i][1] << ") shows " << Hex(p) << " instead of "
                << Hex(c.expected[i]);
        }
        if (c.level == 0.0f)
            ExpectUnchangedOutside(pixels, reference, kNowhere);
    }
}

// ---- heat shimmer

// The shimmer's region: the left half of the picture (the red and green
// stripes over the grey), target pixels 0..32 x 0..64.
constexpr PixelRect kHeatRect{0, 0, 32, kTargetSize};

TEST_F(FireHeatReadbackTest, HeatShimmerMovesTheStripesInItsRegionAndChangesWithTheShimmerClock)
{
    const auto reference = PlainFrame();
    DS_HeatDistortion heat;
    Prepare(heat);
    heat.region.SetRectangle(16.0f, 16.0f, {8.0f, 8.0f, 0.0f});
    heat.strength.SetValue(2500, nullptr);    // "stenght" 0.25 of the picture
    heat.shimmerSpeed.SetValue(500, nullptr); // the bump map drifts 0.5 a second
    struct Case {
        float time;
        std::vector<std::uint32_t> pixels;
    };
    Case frames[] = {{0.2f, {}}, {0.8f, {}}};
    for (Case& c : frames) {
        SCOPED_TRACE(testing::Message() << "time " << c.time);
        c.pixels = FrameAt(heat, c.time);
        ExpectUnchangedOutside(c.pixels, reference, kHeatRect);
        EXPECT_GT(DifferingPixels(c.pixels, reference, kHeatRect, 0x20), 40) << "the stripes moved";
    }
    EXPECT_GT(DifferingPixels(frames[0].pixels, frames[1].pixels, kHeatRect, 0x20), 40)
        << "the shimmer moved between the two times";
}

} // namespace
} // namespace image_effect_test

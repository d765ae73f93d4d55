// The demo scene as the player shows it at 1920 x 1080: its pictures are
// painted at that size with smoothed edges, so an edge of a shape follows
// its true curve from column to column instead of climbing in the steps of
// a small picture scaled up.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "player/HeadlessRender.h"
#include "player/ResourceAdapters.h"
#include "tests/player/PlayerTestSupport.h"

namespace {

constexpr std::uint32_t kWidth = 1920, kHeight = 1080;

int Green(std::uint32_t argb) { return int((argb >> 8) & 0xFF); }
int Red(std::uint32_t argb) { return int((argb >> 16) & 0xFF); }

// The demo's green circle: green high, red low.
bool IsCircleGreen(std::uint32_t argb) { return Green(argb) > 150 && Red(argb) < 120; }

TEST(DemoScene, EdgesFollowTheirCurveAtFullHd)
{
    InstallPlayerDocumentClasses();
    player::InstallResourceFinders();
    player::HeadlessRenderOptions options;
    options.width = kWidth;
    options.height = kHeight;
    // The slide of shapes, its camera at rest in the middle of the hold, after
    // the 12.5 s of the opening Light Beams slide.
    options.seconds = 24.5;
    options.framePeriodMs = 500;
    player::HeadlessFrame frame;
    std::string error;
    const kxi_string path = crt::FromUtf8(ORVANTA_DEMO_SCENE_FILE);
    ASSERT_TRUE(player::RenderHeadless([path] { return OpenDocumentFile(path); }, options, frame, error)) << error;
    ASSERT_EQ(frame.pixels.size(), std::size_t(kWidth) * kHeight);
    const auto at = [&](std::uint32_t x, std::uint32_t y) { return frame.pixels[std::size_t(y) * kWidth + x]; };

    // The green circle's extent in the frame.
    std::uint32_t left = kWidth, right = 0, top = kHeight;
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x)
            if (IsCircleGreen(at(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
            }
    ASSERT_LT(left, right) << "the green circle is not in the frame";
    const double centre = (left + right) / 2.0, radius = (right - left) / 2.0;
    ASSERT_GT(radius, 200.0);
    ASSERT_GT(top, 8u) << "the circle's top must be inside the frame";

    // Along the upper edge where it falls 0.25 to 0.6 pixels a column, the
    // height where green crosses half-way from the ground, to a fraction of
    // a pixel, must move on in nearly every column: a picture scaled up
    // keeps it level for several columns and then jumps.
    const int ground = Green(at(std::uint32_t(centre), top - 6));
    const int fill = Green(at(std::uint32_t(centre), top + 20));
    const double half = (ground + fill) / 2.0;
    std::vector<double> crossings;
    for (auto x = std::uint32_t(centre + 0.25 * radius); x <= std::uint32_t(centre + 0.5 * radius); ++x) {
        for (std::uint32_t y = top - 6; y + 1 < kHeight; ++y) {
            const int a = Green(at(x, y)), b = Green(at(x, y + 1));
            if (a < half && b >= half) {
                crossings.push_back(y + (half - a) / double(b - a));
                break;
            }
        }
    }
    ASSERT_GT(crossings.size(), 40u);
    int levelRun = 0, longestLevelRun = 0;
    for (std::size_t i = 1; i < crossings.size(); ++i) {
        levelRun = std::fabs(crossings[i] - crossings[i - 1]) < 0.08 ? levelRun + 1 : 0;
        longestLevelRun = std::max(longestLevelRun, levelRun);
    }
    EXPECT_LE(longestLevelRun, 2) << "the edge climbs in steps";
}

} // namespace

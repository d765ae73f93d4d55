// The demo scene's harbour slide as the player shows it: the ready-made
// systems draw where the slide places them (rays from the upper left, the
// fire on the quay, the water jet, drops on the window pane).

#include <gtest/gtest.h>

#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "player/HeadlessRender.h"
#include "player/ResourceAdapters.h"
#include "tests/player/PlayerTestSupport.h"

namespace {

constexpr std::uint32_t kWidth = 640, kHeight = 360;

int Channel(std::uint32_t argb, int shift)
{
    return int((argb >> shift) & 0xFF);
}

TEST(ReadyMadeDemo, HarbourSlideShowsItsSystems)
{
    InstallPlayerDocumentClasses();
    player::InstallResourceFinders();
    player::HeadlessRenderOptions options;
    options.width = kWidth;
    options.height = kHeight;
    options.seconds = 50.0; // the harbour slide's hold
    options.framePeriodMs = 100;
    player::HeadlessFrame frame;
    std::string error;
    const kxi_string path = crt::FromUtf8(ORVANTA_DEMO_SCENE_FILE);
    ASSERT_TRUE(player::RenderHeadless([path] { return OpenDocumentFile(path); }, options, frame, error)) << error;
    ASSERT_EQ(frame.pixels.size(), std::size_t(kWidth) * kHeight);

    // Pixels of a window (fractions of the frame) that pass `test`.
    const auto count = [&](double left, double top, double right, double bottom, auto test) {
        int n = 0;
        for (auto y = std::uint32_t(top * kHeight); y < std::uint32_t(bottom * kHeight); ++y)
            for (auto x = std::uint32_t(left * kWidth); x < std::uint32_t(right * kWidth); ++x)
                n += test(frame.pixels[std::size_t(y) * kWidth + x]) ? 1 : 0;
        return n;
    };
    const auto bright = [](std::uint32_t p) { return Channel(p, 0) > 120 && Channel(p, 8) > 120; };
    const auto flame = [](std::uint32_t p) { return Channel(p, 16) > 200 && Channel(p, 8) > 120; };
    // The night sky is dark blue; the rays light it up to the upper left.
    EXPECT_GT(count(0.05, 0.05, 0.4, 0.5, bright), 200);
    // The fire burns on the quay.
    EXPECT_GT(count(0.72, 0.72, 0.84, 0.88, flame), 20);
    // Drops run on the window pane, the jet rises from the quay.
    EXPECT_GT(count(0.56, 0.06, 0.94, 0.44, bright), 100);
    EXPECT_GT(count(0.38, 0.4, 0.5, 0.86, bright), 20);
}

} // namespace

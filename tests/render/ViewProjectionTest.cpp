// Projection of fitted-quad coordinates to picture pixels, and rounding.

#include "render/ViewProjection.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "render/ScreenInfo.h"
#include "render/ViewState.h"

namespace {

// A picture of 800 x 600 fitted into the quad x 100..500, y 50..350.
ScreenInfo FittedScreen()
{
    ScreenInfo screen;
    screen.pictureWidth = 800;
    screen.pictureHeight = 600;
    screen.quad.SetRect(100.0f, 50.0f, 400.0f, 300.0f);
    return screen;
}

TEST(ProjectToView, UndoesFitModeScaleAndZoom)
{
    const ScreenInfo screen = FittedScreen();
    ViewState view;
    view.inverseModeScaleX = 0.5f;
    view.inverseModeScaleY = 0.25f;
    view.modeTranslationX = 10.0f;
    view.modeTranslationY = 20.0f;
    view.zoom = 2.0f;
    view.zoomOffsetX = 3.0f;
    view.zoomOffsetY = 4.0f;

    // x: 800 x (300 - 100) / 400 = 400; x 0.5 / 2 = 100; - (10 / 2 + 3) = 92.
    // y: 600 x (200 - 50) / 300 = 300; x 0.25 / 2 = 37.5; - (20 / 2 + 4) = 23.5.
    const math::Vec3 p = ProjectToView(screen, view, 300.0f, 200.0f, 7.0f);
    EXPECT_FLOAT_EQ(p.x, 92.0f);
    EXPECT_FLOAT_EQ(p.y, 23.5f);
    EXPECT_FLOAT_EQ(p.z, 7.0f);

    // The identity view maps the quad's corners to the picture's corners.
    const ViewState identity;
    const math::Vec3 corner = ProjectToView(screen, identity, 500.0f, 350.0f, 0.0f);
    EXPECT_FLOAT_EQ(corner.x, 800.0f);
    EXPECT_FLOAT_EQ(corner.y, 600.0f);
}

TEST(ProjectToView, DegenerateQuadOrZoomLeavesThePoint)
{
    struct Case {
        const char* what;
        float width;
        float height;
        float zoom;
    };
    const Case cases[] = {
        {"zero-width quad", 0.0f, 300.0f, 1.0f},
        {"zero-height quad", 400.0f, 0.0f, 1.0f},
        {"zoom 0", 400.0f, 300.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScreenInfo screen = FittedScreen();
        screen.quad.SetRect(100.0f, 50.0f, c.width, c.height);
        ViewState view;
        view.zoom = c.zoom;
        const math::Vec3 p = ProjectToView(screen, view, 12.5f, -3.0f, 1.0f);
        EXPECT_EQ(p, (math::Vec3{12.5f, -3.0f, 1.0f}));
    }
}

TEST(RoundToInt, TiesGoToEvenInTheDefaultMode)
{
    ASSERT_EQ(std::fegetround(), FE_TONEAREST);
    const std::pair<float, std::int32_t> cases[] = {
        {2.5f, 2}, {3.5f, 4}, {-2.5f, -2}, {2.4f, 2}, {2.6f, 3}, {-0.5f, 0},
    };
    for (const auto& [x, expected] : cases)
        EXPECT_EQ(RoundToInt(x), expected) << x;
}

} // namespace

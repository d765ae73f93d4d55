// The view state's letterbox, mode scale and zoom, computed without a device.

#include <cmath>

#include <gtest/gtest.h>

#include "platform/math/MathFunctions.h"
#include "render/PictureFit.h"
#include "render/ViewState.h"

namespace {

math::Vec3 Transform(const math::Vec3& p, const math::Matrix& m)
{
    math::Vec3 out;
    math::Vec3TransformCoord(&out, p, m);
    return out;
}

bool AllFinite(const math::Matrix& m)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(m(r, c)))
                return false;
    return true;
}

// Where the picture's corners land in the view: through the mode scale
// (which widens the letterbox for Stretch and Fill), then the picture fit.
struct Landing {
    math::Vec3 topLeft, bottomRight;
};

Landing LandPicture(const ViewState& state)
{
    const math::Matrix m = state.modeScale * state.pictureFit;
    return {Transform({0, 0, 0}, m),
            Transform({float(state.pictureWidth), float(state.pictureHeight), 0}, m)};
}

struct FitCase {
    const char* name;
    std::uint32_t pictureW, pictureH;
    int mode;
    // The picture's corners in the 1920 x 1080 view.
    float left, top, right, bottom;
    float modeScaleX, modeScaleY;
};

TEST(ViewStateTest, LetterboxesInEveryModeAndWidensByTheModeScale)
{
    const FitCase cases[] = {
        {"FitWider", 2000, 1000, PicturePosition::kFit, 0, 60, 1920, 1020, 1, 1},
        {"FitTaller", 1000, 1000, PicturePosition::kFit, 420, 0, 1500, 1080, 1, 1},
        {"StretchWider", 2000, 1000, PicturePosition::kStretch, 0, 0, 1920, 1080, 1, 1.125f},
        {"StretchTaller", 1000, 1000, PicturePosition::kStretch, 0, 0, 1920, 1080, 1920.0f / 1080.0f, 1},
        {"RenderTargetTaller", 1000, 1000, PicturePosition::kRenderTarget, 0, 0, 1920, 1080, 1920.0f / 1080.0f, 1},
        {"FillWider", 2000, 1000, PicturePosition::kFill, -120, 0, 2040, 1080, 1.125f, 1.125f},
        {"FillTaller", 1000, 1000, PicturePosition::kFill, 0, -420, 1920, 1500, 1920.0f / 1080.0f,
         1920.0f / 1080.0f},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        ViewState state;
        state.FitToTarget(1920, 1080, c.pictureW, c.pictureH, c.mode, 1920, 1080);

        EXPECT_EQ(state.mode, c.mode);
        EXPECT_FLOAT_EQ(1.0f / state.inverseModeScaleX, c.modeScaleX);
        EXPECT_FLOAT_EQ(1.0f / state.inverseModeScaleY, c.modeScaleY);
        const Landing landing = LandPicture(state);
        EXPECT_NEAR(landing.topLeft.x, c.left, 0.01f);
        EXPECT_NEAR(landing.topLeft.y, c.top, 0.01f);
        EXPECT_NEAR(landing.bottomRight.x, c.right, 0.01f);
        EXPECT_NEAR(landing.bottomRight.y, c.bottom, 0.01f);
    }
}

TEST(ViewStateTest, FittedRectangleAndScalesOfAWiderPicture)
{
    ViewState state;
    state.FitToTarget(1920, 1080, 2000, 1000, PicturePosition::kFit, 1920, 1080);
    EXPECT_EQ(state.fitted, (ViewState::FittedRect{0, 60, 1920, 1020}));
    EXPECT_FLOAT_EQ(state.picturePixelsPerViewPixel, 2000.0f / 1920.0f); // spans the width
    EXPECT_FLOAT_EQ(state.backBufferScaleX, 1.0f);
    EXPECT_FLOAT_EQ(state.backBufferScaleY, 1.125f);
    // The projection is over the view.
    EXPECT_EQ(state.projection, OrthoOverTarget(1920, 1080));

    ViewState taller;
    taller.FitToTarget(1920, 1080, 1000, 1000, PicturePosition::kFit, 1920, 1080);
    EXPECT_EQ(taller.fitted, (ViewState::FittedRect{420, 0, 1500, 1080}));
    EXPECT_FLOAT_EQ(taller.picturePixelsPerViewPixel, 1000.0f / 1080.0f); // spans the height
}

TEST(ViewStateTest, ScalingToTheBackBufferKeepsThePictureInViewPixels)
{
    // A 960 x 540 view shown on a 1920 x 1080 back buffer.
    ViewState state;
    state.FitToTarget(960, 540, 2000, 1000, PicturePosition::kFit, 1920, 1080);
    EXPECT_EQ(state.fitted, (ViewState::FittedRect{0, 30, 960, 510})); // in view pixels
    EXPECT_FLOAT_EQ(state.backBufferScaleX, 1.0f);                     // 1920 / 1920
    EXPECT_FLOAT_EQ(state.backBufferScaleY, 1.125f);                   // 1080 / 960
    const Landing landing = LandPicture(state);
    EXPECT_NEAR(landing.topLeft.y, 30, 0.01f);
    EXPECT_NEAR(landing.bottomRight.x, 960, 0.01f);
    EXPECT_EQ(state.projection, OrthoOverTarget(960, 540));
}

TEST(ViewStateTest, ZoomScalesAboutThePictureCentre)
{
    ViewState state;
    state.FitToTarget(1920, 1080, 2000, 1000, PicturePosition::kFit, 1920, 1080);
    state.ApplyZoom(1, 0, 0);
    EXPECT_EQ(state.zoomMatrix, math::Matrix{});

    state.ApplyZoom(2, 0.1f, 0);
    EXPECT_FLOAT_EQ(state.zoom, 2);
    EXPECT_FLOAT_EQ(state.zoomOffsetX, -300); // (1 - 2) x 0.5 x 2000 / 2 + 200
    EXPECT_FLOAT_EQ(state.zoomOffsetY, -250);
    const math::Vec3 centre = Transform({1000, 500, 0}, state.zoomMatrix);
    EXPECT_NEAR(centre.x, 1400, 1e-3f);
    EXPECT_NEAR(centre.y, 500, 1e-3f);
}

TEST(ViewStateTest, MissingPictureOrEmptyViewStoresNoInfinity)
{
    const struct {
        int viewW, viewH;
        std::uint32_t pictureW, pictureH;
    } cases[] = {{1920, 1080, 0, 0}, {1920, 1080, 0, 500}, {0, 0, 2000, 1000}, {0, 0, 0, 0}};
    for (const auto& c : cases) {
        for (int mode = 0; mode <= 3; ++mode) {
            SCOPED_TRACE(testing::Message() << c.viewW << "x" << c.viewH << " picture " << c.pictureW << "x"
                                            << c.pictureH << " mode " << mode);
            ViewState state;
            state.FitToTarget(c.viewW, c.viewH, c.pictureW, c.pictureH, mode, 1920, 1080);
            state.ApplyZoom(0, 0, 0);
            EXPECT_TRUE(AllFinite(state.pictureFit));
            EXPECT_TRUE(AllFinite(state.modeScale));
            EXPECT_TRUE(AllFinite(state.projection));
            EXPECT_TRUE(AllFinite(state.zoomMatrix));
            for (float value : {state.inverseModeScaleX, state.inverseModeScaleY, state.modeTranslationX,
                                state.modeTranslationY, state.zoomOffsetX, state.zoomOffsetY,
                                state.backBufferScaleX, state.backBufferScaleY, state.picturePixelsPerViewPixel})
                EXPECT_TRUE(std::isfinite(value));
            EXPECT_EQ(state.fitted, ViewState::FittedRect{});
        }
    }
}

} // namespace

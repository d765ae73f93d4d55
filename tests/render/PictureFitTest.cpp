// Placing a canvas of one aspect in a view of another for Stretch, Fit and
// Fill, and the letterbox of the view state.

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "render/PictureFit.h"

namespace {

constexpr float kViewW = 1920.0f;
constexpr float kViewH = 1080.0f;

struct FitCase {
    const char* name;
    float contentW, contentH;
    int mode;
    FitRect expected;
};

// A 2:1 picture is wider than the 16:9 view, a square one taller.
const FitCase kFitCases[] = {
    {"FitWider", 2000, 1000, PicturePosition::kFit, {0, 60, 1920, 960}},
    {"FitTaller", 1000, 1000, PicturePosition::kFit, {420, 0, 1080, 1080}},
    {"FillWider", 2000, 1000, PicturePosition::kFill, {-120, 0, 2160, 1080}},
    {"FillTaller", 1000, 1000, PicturePosition::kFill, {0, -420, 1920, 1920}},
    {"FitSameAspect", 3840, 2160, PicturePosition::kFit, {0, 0, 1920, 1080}},
    {"FillSameAspect", 3840, 2160, PicturePosition::kFill, {0, 0, 1920, 1080}},
    {"StretchWider", 2000, 1000, PicturePosition::kStretch, {0, 0, 1920, 1080}},
    {"StretchTaller", 1000, 1000, PicturePosition::kStretch, {0, 0, 1920, 1080}},
    {"RenderTarget", 1000, 1000, PicturePosition::kRenderTarget, {0, 0, 1920, 1080}},
    {"UnknownModeStretches", 1000, 1000, 7, {0, 0, 1920, 1080}},
};

TEST(PictureFitTest, PlacesContentForEachMode)
{
    for (const FitCase& c : kFitCases) {
        SCOPED_TRACE(c.name);
        const FitRect fit = FitPictureRect(c.contentW, c.contentH, kViewW, kViewH, c.mode);
        EXPECT_FLOAT_EQ(fit.x, c.expected.x);
        EXPECT_FLOAT_EQ(fit.y, c.expected.y);
        EXPECT_FLOAT_EQ(fit.width, c.expected.width);
        EXPECT_FLOAT_EQ(fit.height, c.expected.height);
    }
}

TEST(PictureFitTest, FitKeepsContentInsideAndFillCoversTheView)
{
    const float sizes[][2] = {{2000, 1000}, {1000, 1000}, {640, 480}, {300, 2000}, {5000, 10}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1]);
        const FitRect fit = FitPictureRect(size[0], size[1], kViewW, kViewH, PicturePosition::kFit);
        const FitRect fill = FitPictureRect(size[0], size[1], kViewW, kViewH, PicturePosition::kFill);
        // Both keep the content's aspect.
        EXPECT_NEAR(fit.height / fit.width, size[1] / size[0], 1e-4f);
        EXPECT_NEAR(fill.height / fill.width, size[1] / size[0], 1e-4f);
        // Fit: inside, touching two opposite edges. Fill: covering, cropped.
        EXPECT_GE(fit.x, 0.0f);
        EXPECT_GE(fit.y, 0.0f);
        EXPECT_TRUE(fit.x == 0.0f || fit.y == 0.0f);
        EXPECT_LE(fit.x + fit.width, kViewW + 1e-3f);
        EXPECT_LE(fit.y + fit.height, kViewH + 1e-3f);
        EXPECT_LE(fill.x, 0.0f);
        EXPECT_LE(fill.y, 0.0f);
        EXPECT_TRUE(fill.x == 0.0f || fill.y == 0.0f);
        EXPECT_GE(fill.x + fill.width, kViewW - 1e-3f);
        EXPECT_GE(fill.y + fill.height, kViewH - 1e-3f);
    }
}

TEST(PictureFitTest, EmptyContentOrViewGivesAnEmptyRectangle)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float sizes[][4] = {
        {0, 0, kViewW, kViewH}, {0, 500, kViewW, kViewH}, {500, 0, kViewW, kViewH},
        {500, 500, 0, 0},       {500, 500, 0, kViewH},    {nan, 500, kViewW, kViewH},
    };
    for (const auto& s : sizes) {
        for (int mode : {PicturePosition::kFit, PicturePosition::kFill}) {
            SCOPED_TRACE(testing::Message() << s[0] << "x" << s[1] << " in " << s[2] << "x" << s[3] << " mode "
                                            << mode);
            EXPECT_EQ(FitPictureRect(s[0], s[1], s[2], s[3], mode), FitRect{});
        }
    }
    // Stretch never looks at the content.
    EXPECT_EQ(FitPictureRect(0, 0, kViewW, kViewH, PicturePosition::kStretch), (FitRect{0, 0, kViewW, kViewH}));
}

TEST(PictureFitTest, LetterboxCentresThePictureWhateverItsAspect)
{
    const FitEdges wider = LetterboxPicture(2000, 1000, kViewW, kViewH);
    EXPECT_EQ(wider, (FitEdges{0, 60, 1920, 1020}));
    const FitEdges taller = LetterboxPicture(1000, 1000, kViewW, kViewH);
    EXPECT_EQ(taller, (FitEdges{420, 0, 1500, 1080}));
    EXPECT_EQ(LetterboxPicture(0, 0, kViewW, kViewH), FitEdges{});
    EXPECT_EQ(LetterboxPicture(2000, 1000, 0, 0), FitEdges{});
}

TEST(PictureFitTest, GuardedArithmetic)
{
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_FLOAT_EQ(GuardedDivide(3.0f, 2.0f), 1.5f);
    EXPECT_EQ(GuardedDivide(3.0f, 0.0f), 0.0f);
    EXPECT_EQ(GuardedDivide(0.0f, 0.0f), 0.0f);
    EXPECT_EQ(GuardedDivide(inf, 2.0f), 0.0f);
    EXPECT_EQ(GuardedDivide(3e38f, 1e-38f), 0.0f); // overflows to infinity

    EXPECT_EQ(TruncateToInt(12.9f), 12);
    EXPECT_EQ(TruncateToInt(-12.9f), -12);
    EXPECT_EQ(TruncateToInt(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(TruncateToInt(1e20f), std::numeric_limits<int>::max());
    EXPECT_EQ(TruncateToInt(-1e20f), std::numeric_limits<int>::min());

    // A target with no area gets the identity rather than infinities.
    EXPECT_EQ(OrthoOverTarget(0, 1080), math::Matrix{});
    const math::Matrix ortho = OrthoOverTarget(1920, 1080);
    EXPECT_FLOAT_EQ(ortho(0, 0), 2.0f / 1920.0f);
    EXPECT_FLOAT_EQ(ortho(1, 1), -2.0f / 1080.0f); // y grows downward
    EXPECT_FLOAT_EQ(ortho(3, 0), -1.0f);
    EXPECT_FLOAT_EQ(ortho(3, 1), 1.0f);
}

} // namespace

// The render context's matrices and border bars, computed without a device.

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "platform/math/MathFunctions.h"
#include "render/RenderContext.h"

namespace {

math::Vec3 Transform(const math::Vec3& p, const math::Matrix& m)
{
    math::Vec3 out;
    math::Vec3TransformCoord(&out, p, m);
    return out;
}

void ExpectPointNear(const math::Vec3& actual, float x, float y, float tolerance = 1e-3f)
{
    EXPECT_NEAR(actual.x, x, tolerance);
    EXPECT_NEAR(actual.y, y, tolerance);
}

void ExpectMatrixNear(const math::Matrix& a, const math::Matrix& b, float tolerance = 1e-4f)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a(r, c), b(r, c), tolerance) << "at " << r << "," << c;
}

bool AllFinite(const math::Matrix& m)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(m(r, c)))
                return false;
    return true;
}

math::Matrix Translation(float x, float y)
{
    math::Matrix m;
    math::MatrixTranslation(&m, x, y, 0.0f);
    return m;
}

// The screen-space box a bar covers (bars are axis-aligned rectangles).
struct Box {
    float left, top, right, bottom;
    bool Contains(float x, float y) const { return x > left && x < right && y > top && y < bottom; }
};

Box ScreenBoxOfBar(const RenderContext& context, int bar)
{
    Box box{1e30f, 1e30f, -1e30f, -1e30f};
    const auto corners = BorderBarCorners(context.canvasWidth, context.canvasHeight);
    for (const math::Vec3& corner : corners[static_cast<std::size_t>(bar)]) {
        const math::Vec3 p = Transform(corner, context.view);
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    return box;
}

struct BarCase {
    const char* name;
    FitRect view;
    float canvasW, canvasH;
    int mode;
};

// Every pixel centre of the view is covered by a bar exactly when it lies
// outside the fitted canvas.
TEST(RenderContextTest, BorderBarsMaskEverythingOutsideTheFittedCanvas)
{
    const BarCase cases[] = {
        {"FitWider", {0, 0, 1920, 1080}, 2000, 1000, PicturePosition::kFit},
        {"FitTaller", {0, 0, 1920, 1080}, 1000, 1000, PicturePosition::kFit},
        {"FitInOffsetView", {100, 40, 800, 600}, 1000, 1000, PicturePosition::kFit},
        {"FillWider", {0, 0, 1920, 1080}, 2000, 1000, PicturePosition::kFill},
        {"FillTaller", {0, 0, 1920, 1080}, 1000, 1000, PicturePosition::kFill},
        {"Stretch", {0, 0, 1920, 1080}, 1000, 1000, PicturePosition::kStretch},
    };
    for (const BarCase& c : cases) {
        SCOPED_TRACE(c.name);
        RenderContext context;
        context.SetViewForTarget(c.view, c.canvasW, c.canvasH, c.mode, 1920, 1080);

        const FitRect fit = FitPictureRect(c.canvasW, c.canvasH, c.view.width, c.view.height, c.mode);
        const Box canvas{c.view.x + fit.x, c.view.y + fit.y, c.view.x + fit.x + fit.width,
                         c.view.y + fit.y + fit.height};
        Box bars[RenderContext::kBarCount];
        for (int i = 0; i < RenderContext::kBarCount; ++i)
            bars[i] = ScreenBoxOfBar(context, i);

        int mismatches = 0;
        for (float y = c.view.y + 0.5f; y < c.view.y + c.view.height; y += 7.0f) {
            for (float x = c.view.x + 0.5f; x < c.view.x + c.view.width; x += 7.0f) {
                const bool covered = std::any_of(std::begin(bars), std::end(bars),
                                                 [&](const Box& b) { return b.Contains(x, y); });
                if (covered == canvas.Contains(x, y))
                    ++mismatches;
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(RenderContextTest, BarsLieOnTheCanvasEdgesInStripOrder)
{
    const auto bars = BorderBarCorners(2000, 1000);
    const BarCorners top{{{3000, -1000, 0}, {3000, 0, 0}, {-1000, -1000, 0}, {-1000, 0, 0}}};
    const BarCorners right{{{3000, 2000, 0}, {2000, 2000, 0}, {3000, -1000, 0}, {2000, -1000, 0}}};
    EXPECT_EQ(bars[RenderContext::kTopBar], top);
    EXPECT_EQ(bars[RenderContext::kRightBar], right);
}

TEST(RenderContextTest, ViewMapsTheCanvasOntoItsFittedRectangle)
{
    RenderContext context;
    const FitRect rect{100, 40, 800, 600};
    context.SetViewForTarget(rect, 1000, 1000, PicturePosition::kFit, 1920, 1080);

    // 1000 x 1000 in 800 x 600: 600 x 600, centred at x 100 + 100.
    ExpectPointNear(Transform({0, 0, 0}, context.view), 200, 40);
    ExpectPointNear(Transform({1000, 1000, 0}, context.view), 800, 640);
    ExpectPointNear(Transform({800, 640, 0}, context.inverseView), 1000, 1000);
    EXPECT_FLOAT_EQ(context.viewWidth, 800);
    EXPECT_FLOAT_EQ(context.viewHeight, 600);
    EXPECT_FLOAT_EQ(context.canvasWidth, 1000);
    EXPECT_EQ(context.mode, PicturePosition::kFit);
    // (800 - 100) x (1000 / 600): the canvas x at the view's right edge.
    EXPECT_NEAR(context.viewRightEdge, 1166.6666f, 1e-3f);
    // The projection covers the render target, not the view.
    ExpectMatrixNear(context.projection, OrthoOverTarget(1920, 1080));
}

TEST(RenderContextTest, ViewQuadGivesTheViewRectangle)
{
    const QuadVertices quad = QuadVertices::FromRect(10, 20, 300, 200);
    EXPECT_EQ(ViewRectOfQuad(quad), (FitRect{10, 20, 300, 200}));
}

TEST(RenderContextTest, PanZoomScalesAboutTheCanvasCentre)
{
    RenderContext context;
    context.SetViewForTarget({0, 0, 1920, 1080}, 2000, 1000, PicturePosition::kFit, 1920, 1080);

    context.SetPanZoom(1, 0, 0);
    ExpectMatrixNear(context.scene, math::Matrix{});
    ExpectMatrixNear(context.inverseScene, math::Matrix{});

    context.SetPanZoom(2, 0.1f, 0);
    // The pan (0.1 W) is applied before the zoom about the centre, so it is zoomed too.
    ExpectPointNear(Transform({1000, 500, 0}, context.scene), 1400, 500);
    ExpectPointNear(Transform({1500, 500, 0}, context.scene), 2400, 500);
    ExpectPointNear(Transform(Transform({123, 456, 0}, context.scene), context.inverseScene), 123, 456);

    // A zoom of 0 has no inverse: the identity is kept rather than infinities.
    context.SetPanZoom(0, 0, 0);
    EXPECT_TRUE(AllFinite(context.scene));
    EXPECT_EQ(context.inverseScene, math::Matrix{});
}

TEST(RenderContextTest, CameraViewCentresTheCameraAndSetsParallaxOffsets)
{
    RenderContext context;
    context.SetViewForTarget({0, 0, 1920, 1080}, 1600, 900, PicturePosition::kFit, 1920, 1080);

    context.SetCameraView(2000, 1000, {700, 400, 0}, 1.5f, true);
    EXPECT_TRUE(context.cameraActive);
    ExpectPointNear(Transform({700, 400, 0}, context.camera), 800, 450);   // the canvas middle
    ExpectPointNear(Transform({800, 400, 0}, context.camera), 950, 450);   // scaled about it
    EXPECT_FLOAT_EQ(context.parallaxOffset.x, 300);                        // 2000 / 2 - 700
    EXPECT_FLOAT_EQ(context.parallaxOffset.y, 100);                        // 1000 / 2 - 400
    EXPECT_FLOAT_EQ(context.parallaxOffset.z, 0);

    context.SetCameraView(2000, 1000, {1000, 500, 0}, 1, false);
    EXPECT_FALSE(context.cameraActive);
}

TEST(RenderContextTest, WorldMatrixByModeAndCamera)
{
    RenderContext context;
    context.SetViewForTarget({0, 0, 1920, 1080}, 1920, 1080, PicturePosition::kFit, 1920, 1080);
    context.scene = Translation(1, 0);
    context.camera = Translation(0, 10);
    context.parallax = Translation(100, 0);
    const math::Matrix object = Translation(0, 1000);

    struct Case {
        const char* name;
        int mode;
        bool cameraActive;
        math::Vec3 expected; // where the object's origin lands
    };
    const Case cases[] = {
        {"SceneWhenCameraInactive", PicturePosition::kFit, false, {1, 1000, 0}},
        {"CameraAndParallaxWhenActive", PicturePosition::kFill, true, {100, 1010, 0}},
        {"RenderTargetInactiveIsTheObject", PicturePosition::kRenderTarget, false, {0, 1000, 0}},
        {"RenderTargetActiveAddsParallaxOnly", PicturePosition::kRenderTarget, true, {100, 1000, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        context.mode = c.mode;
        context.cameraActive = c.cameraActive;
        const math::Matrix world = context.WorldMatrix(object);
        ExpectPointNear(Transform({0, 0, 0}, world), c.expected.x, c.expected.y);
    }
}

TEST(RenderContextTest, EmptyCanvasOrViewStoresNoInfinity)
{
    const struct {
        FitRect view;
        float canvasW, canvasH;
    } cases[] = {{{0, 0, 1920, 1080}, 0, 0}, {{0, 0, 0, 0}, 1000, 500}, {{0, 0, 0, 0}, 0, 0}};
    for (const auto& c : cases) {
        for (int mode = 0; mode <= 3; ++mode) {
            RenderContext context;
            context.SetViewForTarget(c.view, c.canvasW, c.canvasH, mode, 1920, 1080);
            context.SetPanZoom(1, 0, 0);
            context.SetCameraView(0, 0, {0, 0, 0}, 1, true);
            EXPECT_TRUE(AllFinite(context.view));
            EXPECT_TRUE(AllFinite(context.inverseView));
            EXPECT_TRUE(AllFinite(context.scene));
            EXPECT_TRUE(AllFinite(context.camera));
            EXPECT_TRUE(std::isfinite(context.viewRightEdge));
            // Whatever is placed on the canvas collapses to one point.
            if (c.canvasW > 0) {
                const math::Vec3 a = Transform({0, 0, 0}, context.view);
                const math::Vec3 b = Transform({c.canvasW, c.canvasH, 0}, context.view);
                EXPECT_EQ(a.x, b.x);
                EXPECT_EQ(a.y, b.y);
            }
        }
    }
}

TEST(RenderContextTest, ThreadSlotScopeRestoresThePreviousContext)
{
    EXPECT_EQ(g_RenderContextTls, nullptr);
    RenderContext outer;
    RenderContext inner;
    {
        CurrentRenderContextScope outerScope(&outer);
        {
            CurrentRenderContextScope innerScope(&inner);
            EXPECT_EQ(g_RenderContextTls, &inner);
        }
        EXPECT_EQ(g_RenderContextTls, &outer);
    }
    EXPECT_EQ(g_RenderContextTls, nullptr);
}

} // namespace

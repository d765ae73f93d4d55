#include "render/ViewState.h"

#include "platform/gfx/Device.h"
#include "platform/math/MathFunctions.h"
#include "render/PictureFit.h"

namespace {

math::Matrix LookAtFromFront()
{
    math::Matrix m;
    math::MatrixLookAtLH(&m, math::Vec3{0.0f, 0.0f, -1.0f}, math::Vec3{0.0f, 0.0f, 0.0f}, math::Vec3{0.0f, 1.0f, 0.0f});
    return m;
}

// The factor that widens an extent starting at `offset` to the whole span
// around it: (2 offset + extent) / extent. An empty extent widens nothing.
float WideningFactor(float offset, float extent)
{
    if (extent == 0.0f)
        return 1.0f;
    const float factor = GuardedDivide(2.0f * offset + extent, extent);
    return factor == 0.0f ? 1.0f : factor;
}

struct ModeFactors {
    float x = 1.0f;
    float y = 1.0f;
};

ModeFactors ModeScaleFactors(int mode, const FitEdges& fitted)
{
    const float sx = WideningFactor(fitted.left, fitted.Width());
    const float sy = WideningFactor(fitted.top, fitted.Height());
    switch (mode) {
    case PicturePosition::kStretch:
    case PicturePosition::kRenderTarget:
        return {sx, sy};
    case PicturePosition::kFill: {
        // One factor for both axes: the one of the axis with bars.
        const float s = fitted.left != 0.0f ? sx : sy;
        return {s, s};
    }
    default:
        return {};
    }
}

} // namespace

ViewState::ViewState() : view(LookAtFromFront()) {}

void ViewState::Fit(gfx::Device& device, int viewWidth, int viewHeight, std::uint32_t pictureWidthPixels,
                    std::uint32_t pictureHeightPixels, int pictureMode, bool viewPushed)
{
    float targetWidth = static_cast<float>(viewWidth);
    float targetHeight = static_cast<float>(viewHeight);
    gfx::SurfaceDesc backBuffer;
    if (!viewPushed && device.GetBackBufferDesc(&backBuffer) >= 0) {
        targetWidth = static_cast<float>(backBuffer.width);
        targetHeight = static_cast<float>(backBuffer.height);
    }
    FitToTarget(viewWidth, viewHeight, pictureWidthPixels, pictureHeightPixels, pictureMode, targetWidth,
                targetHeight);
    device.SetTransform(gfx::TransformState::World, world);
    device.SetTransform(gfx::TransformState::View, view);
    device.SetTransform(gfx::TransformState::Projection, projection);
}

void ViewState::FitToTarget(int viewWidth, int viewHeight, std::uint32_t pictureWidthPixels,
                            std::uint32_t pictureHeightPixels, int pictureMode, float targetWidth,
                            float targetHeight)
{
    mode = pictureMode;
    pictureWidth = pictureWidthPixels;
    pictureHeight = pictureHeightPixels;

    const float vw = static_cast<float>(viewWidth);
    const float vh = static_cast<float>(viewHeight);
    const float pw = static_cast<float>(pictureWidthPixels);
    const float ph = static_cast<float>(pictureHeightPixels);

    const FitEdges letterbox = LetterboxPicture(pw, ph, vw, vh);
    fitted = {TruncateToInt(letterbox.left), TruncateToInt(letterbox.top), TruncateToInt(letterbox.right),
              TruncateToInt(letterbox.bottom)};

    // The picture spans the view's width exactly or its height.
    picturePixelsPerViewPixel = letterbox.right - letterbox.left == vw ? GuardedDivide(pw, vw)
                                                                       : GuardedDivide(ph, vh);

    const float toTargetX = GuardedDivide(targetWidth, vw);
    const float toTargetY = GuardedDivide(targetHeight, vh);
    const FitEdges scaled{letterbox.left * toTargetX, letterbox.top * toTargetY, letterbox.right * toTargetX,
                          letterbox.bottom * toTargetY};

    projection = OrthoOverTarget(vw, vh);

    backBufferScaleX = GuardedDivide(targetWidth, scaled.Width());
    backBufferScaleY = GuardedDivide(targetHeight, scaled.Height());

    const float pictureToView = GuardedDivide(1.0f, picturePixelsPerViewPixel);
    pictureFit = Scaling2D(pictureToView, pictureToView) *
                 Translation2D(GuardedDivide(scaled.left, toTargetX), GuardedDivide(scaled.top, toTargetY));

    const ModeFactors factors = ModeScaleFactors(pictureMode, scaled);
    const float tx = GuardedDivide((1.0f - factors.x) * 0.5f * pw, factors.x);
    const float ty = GuardedDivide((1.0f - factors.y) * 0.5f * ph, factors.y);
    SetModeScale(tx, ty, factors.x, factors.y);
}

void ViewState::SetModeScale(float tx, float ty, float sx, float sy)
{
    modeTranslationX = tx;
    modeTranslationY = ty;
    inverseModeScaleX = GuardedDivide(1.0f, sx);
    inverseModeScaleY = GuardedDivide(1.0f, sy);
    modeScale = Translation2D(tx, ty) * Scaling2D(sx, sy);
}

void ViewState::ApplyZoom(float zoomFactor, float panX, float panY)
{
    const float pw = static_cast<float>(pictureWidth);
    const float ph = static_cast<float>(pictureHeight);
    const float x = GuardedDivide((1.0f - zoomFactor) * 0.5f * pw, zoomFactor) + pw * panX;
    const float y = GuardedDivide((1.0f - zoomFactor) * 0.5f * ph, zoomFactor) + ph * panY;
    zoom = zoomFactor;
    zoomOffsetY = y;
    zoomOffsetX = x;
    zoomMatrix = Translation2D(x, y) * Scaling2D(zoomFactor, zoomFactor);
}

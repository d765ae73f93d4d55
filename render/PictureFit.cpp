#include "render/PictureFit.h"

#include <cmath>

#include "platform/math/MathFunctions.h"

namespace {

bool IsPositiveSize(float width, float height)
{
    // Written so that a NaN counts as empty as well.
    return width > 0.0f && height > 0.0f && std::isfinite(width) && std::isfinite(height);
}

// The content wider than the container's aspect (r <= c) spans the
// container's width; a taller one spans its height.
FitRect SpanWidth(float ratio, float containerWidth, float containerHeight)
{
    const float height = ratio * containerWidth;
    return {0.0f, (containerHeight - height) * 0.5f, containerWidth, height};
}

FitRect SpanHeight(float ratio, float containerWidth, float containerHeight)
{
    const float width = containerHeight / ratio;
    return {(containerWidth - width) * 0.5f, 0.0f, width, containerHeight};
}

} // namespace

float GuardedDivide(float numerator, float denominator)
{
    if (denominator == 0.0f)
        return 0.0f;
    const float quotient = numerator / denominator;
    return std::isfinite(quotient) ? quotient : 0.0f;
}

math::Matrix Translation2D(float x, float y)
{
    math::Matrix m;
    math::MatrixTranslation(&m, x, y, 0.0f);
    return m;
}

math::Matrix Scaling2D(float x, float y)
{
    math::Matrix m;
    math::MatrixScaling(&m, x, y, 1.0f);
    return m;
}

math::Matrix OrthoOverTarget(float width, float height)
{
    constexpr float kNear = -5000.0f;
    constexpr float kFar = 5000.0f;
    math::Matrix projection;
    if (GuardedDivide(1.0f, width) == 0.0f || GuardedDivide(1.0f, height) == 0.0f)
        return projection;
    math::MatrixOrthoOffCenterLH(&projection, 0.0f, width, height, 0.0f, kNear, kFar);
    return projection;
}

FitRect FitPictureRect(float contentWidth, float contentHeight, float containerWidth, float containerHeight,
                       int mode)
{
    if (mode != PicturePosition::kFit && mode != PicturePosition::kFill)
        return {0.0f, 0.0f, containerWidth, containerHeight};
    if (!IsPositiveSize(contentWidth, contentHeight) || !IsPositiveSize(containerWidth, containerHeight))
        return {};

    const float ratio = contentHeight / contentWidth;
    const bool taller = ratio > containerHeight / containerWidth;
    // Fit spans the content's long side, Fill its short side.
    const bool spanHeight = (mode == PicturePosition::kFit) == taller;
    return spanHeight ? SpanHeight(ratio, containerWidth, containerHeight)
                      : SpanWidth(ratio, containerWidth, containerHeight);
}

FitEdges LetterboxPicture(float pictureWidth, float pictureHeight, float viewWidth, float viewHeight)
{
    if (!IsPositiveSize(pictureWidth, pictureHeight) || !IsPositiveSize(viewWidth, viewHeight))
        return {};

    const float ratio = pictureHeight / pictureWidth;
    FitEdges edges;
    if (ratio > viewHeight / viewWidth) {
        const float width = viewHeight / ratio;
        edges.left = (viewWidth - width) * 0.5f;
        edges.top = 0.0f;
        edges.right = edges.left + width;
        edges.bottom = viewHeight;
    } else {
        const float height = viewWidth * ratio;
        edges.left = 0.0f;
        edges.top = (viewHeight - height) * 0.5f;
        edges.right = viewWidth;
        edges.bottom = edges.top + height;
    }
    return edges;
}

int TruncateToInt(float value)
{
    // 2^31 is exactly representable; every float below it converts safely.
    constexpr float kLimit = 2147483648.0f;
    if (!(value > -kLimit))
        return value < 0.0f ? -2147483647 - 1 : 0;
    if (value >= kLimit)
        return 2147483647;
    return static_cast<int>(value);
}

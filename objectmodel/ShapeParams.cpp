#include "objectmodel/ShapeParams.h"

#include "platform/math/MathFunctions.h"

namespace {

CanvasTransformProvider g_canvasTransformProvider = nullptr;

} // namespace

MediaQuad::MediaQuad()
{
    for (auto& corner : corners)
        corner.StoreValue(math::Vec3{0.0f, 0.0f, 0.0f});
}

MediaQuad::MediaQuad(const MediaQuad& other) : MediaParam(), corners(other.corners) {}

MediaQuad& MediaQuad::operator=(const MediaQuad& other)
{
    for (std::size_t i = 0; i < corners.size(); ++i)
        corners[i].StoreValue(other.corners[i].value);
    return *this;
}

void MediaQuad::SetRectangle(float width, float height, const math::Vec3& centre)
{
    const float halfWidth = width / 2.0f;
    const float halfHeight = height / 2.0f;
    corners[0].StoreValue({centre.x - halfWidth, centre.y - halfHeight, centre.z});
    corners[1].StoreValue({centre.x - halfWidth, centre.y + halfHeight, centre.z});
    corners[2].StoreValue({centre.x + halfWidth, centre.y - halfHeight, centre.z});
    corners[3].StoreValue({centre.x + halfWidth, centre.y + halfHeight, centre.z});
}

CanvasTransformProvider SetCanvasTransformProvider(CanvasTransformProvider provider)
{
    CanvasTransformProvider previous = g_canvasTransformProvider;
    g_canvasTransformProvider = provider;
    return previous;
}

MediaRectangle::MediaRectangle() : centreX(0), centreY(0)
{
    left.QuietSet(0);
    right.QuietSet(0);
    top.QuietSet(0);
    bottom.QuietSet(0);
}

MediaRectangle::MediaRectangle(const MediaRectangle& other)
    : MediaParam(), left(other.left), right(other.right), top(other.top), bottom(other.bottom),
      centreX(other.centreX), centreY(other.centreY)
{
}

MediaRectangle& MediaRectangle::operator=(const MediaRectangle& other)
{
    left = other.left;
    right = other.right;
    top = other.top;
    bottom = other.bottom;
    centreX = other.centreX;
    centreY = other.centreY;
    return *this;
}

bool MediaRectangle::ContainsPoint(float x, float y) const
{
    CanvasInverseTransforms transforms;
    if (!g_canvasTransformProvider || !g_canvasTransformProvider(transforms))
        return false;
    return ContainsPoint(x, y, transforms);
}

bool MediaRectangle::ContainsPoint(float x, float y, const CanvasInverseTransforms& transforms) const
{
    math::Vec4 onView;
    math::Vec4Transform(&onView, math::Vec4{x, y, 0.0f, 1.0f}, transforms.inverseView);
    math::Vec4 onCanvas;
    math::Vec4Transform(&onCanvas, onView, transforms.inverseScene);
    const float px = onCanvas.x;
    const float py = onCanvas.y;
    return static_cast<float>(left.value) <= px && px <= static_cast<float>(right.value) &&
           static_cast<float>(top.value) <= py && py <= static_cast<float>(bottom.value);
}

#include "render/ViewProjection.h"

#include <cmath>

#include "render/RenderContext.h"
#include "render/ScreenInfo.h"
#include "render/ViewState.h"

math::Vec3 ProjectToView(const ScreenInfo& screen, float x, float y, float z)
{
    if (!g_RenderContextTls)
        return {x, y, z};
    return ProjectToView(screen, g_RenderContextTls->GetViewState(), x, y, z);
}

math::Vec3 ProjectToView(const ScreenInfo& screen, const ViewState& view, float x, float y, float z)
{
    const auto& corners = screen.quad.vertices;
    const float left = corners[1].x;
    const float right = corners[3].x;
    const float top = corners[1].y;
    const float bottom = corners[0].y;
    const float width = right - left;
    const float height = bottom - top;
    const float zoom = view.zoom;
    if (width == 0.0f || height == 0.0f || zoom == 0.0f)
        return {x, y, z};
    const auto pictureWidth = static_cast<float>(screen.pictureWidth);
    const auto pictureHeight = static_cast<float>(screen.pictureHeight);
    const float px = pictureWidth * (x - left) / width * (view.inverseModeScaleX / zoom) -
                     (view.modeTranslationX / zoom + view.zoomOffsetX);
    const float py = pictureHeight * (y - top) / height * (view.inverseModeScaleY / zoom) -
                     (view.modeTranslationY / zoom + view.zoomOffsetY);
    return {px, py, z};
}

std::int32_t RoundToInt(float x)
{
    return static_cast<std::int32_t>(std::lrintf(x));
}

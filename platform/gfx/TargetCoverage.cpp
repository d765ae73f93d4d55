#include "platform/gfx/TargetCoverage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/math/MathFunctions.h"

namespace gfx {
namespace {

// A full-target pass may leave a frame of up to a pixel around the target
// undrawn: a quad from pixel centre to pixel centre, or a picture a pixel
// narrower than the target after its aspect was fitted.
constexpr float kEdgeSlack = 1.0f;

// Area of the polygon (any winding).
double PolygonArea(const std::vector<math::Vec2>& polygon)
{
    double twice = 0.0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const math::Vec2& a = polygon[i];
        const math::Vec2& b = polygon[(i + 1) % polygon.size()];
        twice += double(a.x) * b.y - double(b.x) * a.y;
    }
    return std::fabs(twice) * 0.5;
}

// Keeps the part of `polygon` where inside(p) >= 0, `inside` linear in p.
template <typename Inside>
std::vector<math::Vec2> ClipPolygon(const std::vector<math::Vec2>& polygon, Inside inside)
{
    std::vector<math::Vec2> kept;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const math::Vec2& a = polygon[i];
        const math::Vec2& b = polygon[(i + 1) % polygon.size()];
        const float da = inside(a), db = inside(b);
        if (da >= 0)
            kept.push_back(a);
        if ((da >= 0) != (db >= 0)) {
            const float t = da / (da - db);
            kept.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
        }
    }
    return kept;
}

// Area of the triangle inside the width x height target.
double AreaInsideTarget(const math::Vec2& a, const math::Vec2& b, const math::Vec2& c, float width, float height)
{
    std::vector<math::Vec2> polygon{a, b, c};
    polygon = ClipPolygon(polygon, [](const math::Vec2& p) { return p.x; });
    polygon = ClipPolygon(polygon, [width](const math::Vec2& p) { return width - p.x; });
    polygon = ClipPolygon(polygon, [](const math::Vec2& p) { return p.y; });
    polygon = ClipPolygon(polygon, [height](const math::Vec2& p) { return height - p.y; });
    return polygon.size() < 3 ? 0.0 : PolygonArea(polygon);
}

// Where vertex `index` of the stream lands on the target, in pixels; nothing
// when it lies outside the stream or behind the eye.
std::optional<math::Vec2> TargetPoint(const DrawGeometry& draw, std::int64_t index, float width, float height)
{
    const std::int32_t offset = draw.layout->offset[std::uint32_t(VertexAttribute::Position)];
    const std::uint32_t floats = draw.layout->preTransformed ? 4 : 3;
    const std::int64_t start = index * std::int64_t(draw.stride) + offset;
    if (offset < 0 || index < 0 || start + std::int64_t(floats * sizeof(float)) > std::int64_t(draw.vertices.size()))
        return std::nullopt;
    float p[4] = {};
    std::memcpy(p, draw.vertices.data() + start, floats * sizeof(float));
    if (draw.layout->preTransformed)
        return math::Vec2{p[0], p[1]};
    math::Vec4 clip;
    math::Vec3Transform(&clip, math::Vec3{p[0], p[1], p[2]}, draw.worldViewProjection);
    if (!(clip.w > 0.0f))
        return std::nullopt;
    return math::Vec2{(clip.x / clip.w + 1.0f) * 0.5f * width, (1.0f - clip.y / clip.w) * 0.5f * height};
}

std::int64_t StreamIndex(const DrawGeometry& draw, std::uint32_t i)
{
    if (draw.indices.empty())
        return draw.firstVertex + i;
    const std::uint8_t* at = draw.indices.data() + std::size_t(i) * 2;
    return draw.firstVertex + (at[0] | (at[1] << 8));
}

} // namespace

bool TrianglesCoverTarget(std::span<const math::Vec2> corners, float width, float height)
{
    if (corners.size() < 3 || width <= 2 * kEdgeSlack || height <= 2 * kEdgeSlack)
        return false;
    double inside = 0.0;
    for (std::size_t i = 0; i + 2 < corners.size(); i += 3)
        inside += AreaInsideTarget(corners[i], corners[i + 1], corners[i + 2], width, height);
    return inside >= double(width - 2 * kEdgeSlack) * double(height - 2 * kEdgeSlack);
}

bool DrawCoversTarget(const DrawGeometry& draw, float width, float height)
{
    if (!draw.layout || draw.vertexCount < 3 || draw.vertexCount > kMaxCoverageVertices ||
        (!draw.indices.empty() && draw.indices.size() < std::size_t(draw.vertexCount) * 2))
        return false;
    std::vector<math::Vec2> points;
    points.reserve(draw.vertexCount);
    for (std::uint32_t i = 0; i < draw.vertexCount; ++i) {
        const auto point = TargetPoint(draw, StreamIndex(draw, i), width, height);
        if (!point)
            return false;
        points.push_back(*point);
    }
    if (draw.type == PrimitiveType::TriangleList)
        return TrianglesCoverTarget(points, width, height);
    // A strip: triangle k has corners k, k + 1 and k + 2.
    std::vector<math::Vec2> corners;
    corners.reserve((points.size() - 2) * 3);
    for (std::size_t k = 0; k + 2 < points.size(); ++k)
        corners.insert(corners.end(), {points[k], points[k + 1], points[k + 2]});
    return TrianglesCoverTarget(corners, width, height);
}

} // namespace gfx

#include "particles/generators/QuadBuilders.h"

#include <algorithm>

#include "objectmodel/ShapeParams.h"

namespace {

constexpr std::array<std::array<float, 2>, 4> kTextureCorners{{{0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}}};

QuadBatchVertex Vertex(float x, float y, float z, std::size_t corner)
{
    return {x, y, z, kOpaqueWhite, kTextureCorners[corner][0], kTextureCorners[corner][1]};
}

QuadBatchVertex Vertex(const math::Vec3& p, std::size_t corner)
{
    return Vertex(p.x, p.y, p.z, corner);
}

math::Vec3 Offset(const math::Vec3& p, const math::Vec3& a, float sa, const math::Vec3& b, float sb)
{
    return {p.x + a.x * sa + b.x * sb, p.y + a.y * sa + b.y * sb, p.z + a.z * sa + b.z * sb};
}

} // namespace

GenQuad BuildQuadCorners(const math::Vec3& c, float w, float h)
{
    const float hw = w / 2.0f, hh = h / 2.0f;
    return {Vertex(c.x - hw, c.y + hh, c.z, 0), Vertex(c.x - hw, c.y - hh, c.z, 1), Vertex(c.x + hw, c.y + hh, c.z, 2),
            Vertex(c.x + hw, c.y - hh, c.z, 3)};
}

GenQuad BuildCornerQuad(const math::Vec3& c, float w, float h)
{
    return {Vertex(c.x, c.y + h, c.z, 0), Vertex(c.x, c.y, c.z, 1), Vertex(c.x + w, c.y + h, c.z, 2),
            Vertex(c.x + w, c.y, c.z, 3)};
}

GenQuad BuildAnchoredQuadCorners(const math::Vec3& p, const math::Vec3& u, const math::Vec3& v, float s)
{
    const float h = s / 2.0f;
    return {Vertex(Offset(p, u, -h, v, h), 0), Vertex(Offset(p, u, -h, v, -h), 1), Vertex(Offset(p, u, h, v, h), 2),
            Vertex(Offset(p, u, h, v, -h), 3)};
}

GenQuad BuildQuadFromCorners(const MediaQuad& quad)
{
    return {Vertex(quad.corners[1].value, 0), Vertex(quad.corners[0].value, 1), Vertex(quad.corners[3].value, 2),
            Vertex(quad.corners[2].value, 3)};
}

GenQuad BuildSegmentQuad(const math::Vec3& s, const math::Vec3& d, float length, float w0, float w1)
{
    // Half the unit normal in the picture plane; none for a zero length.
    math::Vec3 n;
    if (length != 0.0f)
        n = {-d.y / length * 0.5f, d.x / length * 0.5f, 0.0f};
    const math::Vec3 end{s.x + d.x, s.y + d.y, s.z + d.z};
    GenQuad quad{Vertex(Offset(s, n, w0, {}, 0.0f), 0), Vertex(Offset(s, n, -w0, {}, 0.0f), 1),
                 Vertex(Offset(end, n, w1, {}, 0.0f), 2), Vertex(Offset(end, n, -w1, {}, 0.0f), 3)};
    for (QuadBatchVertex& vertex : quad)
        vertex.u = vertex.v = 0.0f;
    return quad;
}

BoundingRect QuadBounds(const GenQuad& quad)
{
    float left = quad[0].x, right = quad[0].x, top = quad[0].y, bottom = quad[0].y;
    for (const QuadBatchVertex& vertex : quad) {
        left = std::min(left, vertex.x);
        right = std::max(right, vertex.x);
        top = std::min(top, vertex.y);
        bottom = std::max(bottom, vertex.y);
    }
    return {left, top, right - left, bottom - top};
}

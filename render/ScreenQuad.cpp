#include "render/ScreenQuad.h"

#include <cstring>

#include <array>

#include "platform/gfx/Device.h"

namespace {

// Strip order of the corners named by SetCornerAlphas' arguments.
constexpr std::array<int, 4> kCornerOfArgument = {0, 2, 1, 3};

template <class Vertex>
void WriteCornerAlphas(Vertex* vertices, const std::array<float, 4>& opacities)
{
    for (std::size_t argument = 0; argument < opacities.size(); ++argument) {
        Vertex& vertex = vertices[kCornerOfArgument[argument]];
        vertex.colour = (vertex.colour & 0x00FFFFFFu) | (std::uint32_t(CornerAlphaByte(opacities[argument])) << 24);
    }
}

} // namespace

std::uint8_t CornerAlphaByte(float opacity)
{
    if (!(opacity > 0.0f))
        return 0;
    if (opacity >= 1.0f)
        return 255;
    return static_cast<std::uint8_t>(static_cast<int>(opacity * 255.0f));
}

// ---- ScreenQuad ----------------------------------------------------------------

bool ScreenQuad::SetQuadAndColor(gfx::Device& device, const QuadVertices& quad, std::uint32_t colour)
{
    if (!CreateBuffer(device, ScreenQuadVertex::kFvf, sizeof(ScreenQuadVertex)))
        return false;
    VertexLock<ScreenQuadVertex> lock(*this);
    if (!lock.Usable())
        return true;
    for (int i = 0; i < kQuadVertexCount; ++i) {
        const QuadVertex& corner = quad.vertices[static_cast<std::size_t>(i)];
        lock[static_cast<std::size_t>(i)] = {corner.x, corner.y, 0.0f, corner.z, colour};
    }
    return true;
}

void ScreenQuad::WritePositions(const QuadVertices& quad)
{
    VertexLock<ScreenQuadVertex> lock(*this);
    if (!lock.Usable())
        return;
    for (int i = 0; i < kQuadVertexCount; ++i) {
        const QuadVertex& corner = quad.vertices[static_cast<std::size_t>(i)];
        ScreenQuadVertex& vertex = lock[static_cast<std::size_t>(i)];
        vertex.x = corner.x;
        vertex.y = corner.y;
        vertex.z = 0.0f;
        vertex.rhw = corner.z;
    }
}

void ScreenQuad::SetCornerAlphas(float bottomLeft, float bottomRight, float topLeft, float topRight)
{
    VertexLock<ScreenQuadVertex> lock(*this);
    if (lock.Usable())
        WriteCornerAlphas(lock.Data(), {bottomLeft, bottomRight, topLeft, topRight});
}

bool ScreenQuad::IsTransparentBlack() const
{
    const gfx::VertexBuffer* buffer = Buffer();
    if (!buffer || buffer->Size() < kQuadVertexCount * sizeof(ScreenQuadVertex))
        return false;
    for (int corner = 0; corner < kQuadVertexCount; ++corner) {
        ScreenQuadVertex vertex;
        std::memcpy(&vertex, buffer->Bytes() + corner * sizeof(ScreenQuadVertex), sizeof vertex);
        if (vertex.colour != 0)
            return false;
    }
    return true;
}

// ---- ColorQuad -----------------------------------------------------------------

bool ColorQuad::SetRectColor(gfx::Device& device, const FitRect& rect, std::uint32_t colour)
{
    if (!CreateBuffer(device, ColorQuadVertex::kFvf, sizeof(ColorQuadVertex)))
        return false;
    VertexLock<ColorQuadVertex> lock(*this);
    if (!lock.Usable())
        return true;
    const QuadVertices corners = QuadVertices::FromRect(rect.x, rect.y, rect.width, rect.height);
    for (std::size_t i = 0; i < corners.vertices.size(); ++i)
        lock[i] = {corners.vertices[i].x, corners.vertices[i].y, 0.0f, colour};
    return true;
}

void ColorQuad::SetRgb(std::uint32_t rgb)
{
    VertexLock<ColorQuadVertex> lock(*this);
    if (!lock.Usable())
        return;
    for (int i = 0; i < kQuadVertexCount; ++i) {
        std::uint32_t& colour = lock[static_cast<std::size_t>(i)].colour;
        colour = (colour & 0xFF000000u) | (rgb & 0x00FFFFFFu);
    }
}

void ColorQuad::SetCornerAlphas(float bottomLeft, float bottomRight, float topLeft, float topRight)
{
    VertexLock<ColorQuadVertex> lock(*this);
    if (lock.Usable())
        WriteCornerAlphas(lock.Data(), {bottomLeft, bottomRight, topLeft, topRight});
}

void ColorQuad::SetPositions(const math::Vec3& p0, const math::Vec3& p1, const math::Vec3& p2, const math::Vec3& p3)
{
    VertexLock<ColorQuadVertex> lock(*this);
    if (!lock.Usable())
        return;
    const std::array<const math::Vec3*, 4> positions = {&p0, &p1, &p2, &p3};
    for (std::size_t i = 0; i < positions.size(); ++i) {
        lock[i].x = positions[i]->x;
        lock[i].y = positions[i]->y;
        lock[i].z = positions[i]->z;
    }
}

void DrawDiffuseQuad(gfx::Device& device, const ColorQuad& quad)
{
    using gfx::TextureStageState;
    device.SetRenderState(gfx::RenderState::AlphaBlendEnable, gfx::kTrue);
    device.SetTextureStageState(0, TextureStageState::ColorArg1, gfx::TextureArg::Diffuse);
    device.SetTextureStageState(0, TextureStageState::AlphaArg1, gfx::TextureArg::Diffuse);
    quad.BindStream(device);
    quad.DrawStrip(device);
    device.SetTextureStageState(0, TextureStageState::ColorArg1, gfx::TextureArg::Texture);
    device.SetTextureStageState(0, TextureStageState::AlphaArg1, gfx::TextureArg::Texture);
}

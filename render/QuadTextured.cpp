#include "render/QuadTextured.h"

#include <algorithm>
#include <array>

#include "platform/gfx/Device.h"
#include "render/DocResManager.h"
#include "render/FileLink.h"
#include "render/RenderTargetPairTextures.h"

namespace {

// A picture size as an unsigned number of pixels: truncated, negative and
// NaN sizes 0, huge ones held at the largest value.
std::uint32_t PixelCount(float size)
{
    if (!(size > 0.0f))
        return 0;
    if (size >= 4294967040.0f)
        return 0xFFFFFF00u;
    return static_cast<std::uint32_t>(size);
}

} // namespace

// ---- TexturedQuad --------------------------------------------------------------

bool TexturedQuad::Build(gfx::Device& device)
{
    if (!CreateBuffer(device, TexturedQuadVertex::kFvf, sizeof(TexturedQuadVertex)))
        return false;
    VertexLock<TexturedQuadVertex> lock(*this);
    if (!lock.Usable())
        return true;
    const QuadVertices defaults;
    for (std::size_t i = 0; i < defaults.vertices.size(); ++i)
        lock[i] = {0.0f, 0.0f, 0.0f, defaults.vertices[i].u, defaults.vertices[i].v};
    return true;
}

bool TexturedQuad::SetVertices(gfx::Device& device, const std::array<TexturedQuadVertex, 4>& vertices)
{
    if (!CreateBuffer(device, TexturedQuadVertex::kFvf, sizeof(TexturedQuadVertex)))
        return false;
    VertexLock<TexturedQuadVertex> lock(*this);
    if (!lock.Usable())
        return true;
    for (std::size_t i = 0; i < vertices.size(); ++i)
        lock[i] = vertices[i];
    return true;
}

void TexturedQuad::SetPositions(const std::array<math::Vec3, 4>& positions)
{
    if (Fvf() == TexturedQuadVertex::kFvf) {
        VertexLock<TexturedQuadVertex> lock(*this);
        if (!lock.Usable())
            return;
        for (std::size_t i = 0; i < positions.size(); ++i) {
            lock[i].x = positions[i].x;
            lock[i].y = positions[i].y;
            lock[i].z = positions[i].z;
        }
    } else if (Fvf() == TexturedScreenVertex::kFvf) {
        VertexLock<TexturedScreenVertex> lock(*this);
        if (!lock.Usable())
            return;
        for (std::size_t i = 0; i < positions.size(); ++i) {
            lock[i].x = positions[i].x;
            lock[i].y = positions[i].y;
            lock[i].z = 0.0f;
            lock[i].rhw = positions[i].z;
        }
    }
}

bool TexturedQuad::SetTexture(gfx::Device& device, gfx::Texture* texture, const QuadVertices& quad)
{
    HoldTexture(texture);
    if (!CreateBuffer(device, TexturedScreenVertex::kFvf, sizeof(TexturedScreenVertex)))
        return false;
    VertexLock<TexturedScreenVertex> lock(*this);
    if (!lock.Usable())
        return true;
    for (std::size_t i = 0; i < quad.vertices.size(); ++i) {
        const QuadVertex& corner = quad.vertices[i];
        lock[i] = {corner.x, corner.y, 0.0f, corner.z, 0xFFFFFFFFu, corner.u, corner.v};
    }
    return true;
}

bool TexturedQuad::SetTextureFull(gfx::Device& device, gfx::Texture* texture, float width, float height)
{
    return SetTexture(device, texture, QuadVertices::FromRect(0.0f, 0.0f, width, height));
}

bool TexturedQuad::LoadProgramTexture(gfx::Device& device, const QuadVertices& quad)
{
    ReleaseTexture();
    return SetTexture(device, nullptr, quad);
}

void TexturedQuad::Bind(gfx::Device& device) const
{
    device.SetTexture(0, m_texture.Get());
    BindStream(device);
}

// ---- PictureQuad ---------------------------------------------------------------

void PictureQuad::LoadImage(const DS_ImageFileLink& link)
{
    DS_DocResManager* manager = CurrentDocResManager();
    m_picture = manager ? manager->GetTexture(link).GetFirst() : TextureRef{};
    SetPicture(m_picture);
}

void PictureQuad::SetPicture(const TextureRef& picture)
{
    HoldTexture(picture.texture.Get());
    SetSize(static_cast<float>(picture.width), static_cast<float>(picture.height));
}

void PictureQuad::SetSize(float width, float height)
{
    m_picture.width = PixelCount(width);
    m_picture.height = PixelCount(height);
    VertexLock<TexturedQuadVertex> lock(*this);
    if (!lock.Usable() || Fvf() != TexturedQuadVertex::kFvf)
        return;
    const std::array<std::array<float, 2>, 4> corners = {{{0.0f, height}, {0.0f, 0.0f}, {width, height}, {width, 0.0f}}};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        lock[i].x = corners[i][0];
        lock[i].y = corners[i][1];
        lock[i].z = 0.0f;
    }
}

void PictureQuad::CreateRenderTexture(gfx::Device& device, const TextureRef& source, int n)
{
    if (!source.texture) {
        m_picture.texture.Reset();
        return;
    }
    const std::uint32_t side = RenderTextureSide(n);
    m_picture.texture = CopyTextureResized(device, source.texture.Get(), side, side, gfx::Format::Unknown);
}

std::uint32_t RenderTextureSide(int n)
{
    return 128u << std::clamp(n, 0, kMaxRenderTextureShift);
}

#include "particles/generators/ParticlesObj.h"

#include <algorithm>

#include "particles/generators/ParticleGenerator.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/ResourceLoading.h"

DS_ParticlesObj::DS_ParticlesObj(std::unique_ptr<DS_ParticleGenerator> clone)
    : DS_ABObj(std::move(clone)), m_generator(static_cast<DS_ParticleGenerator*>(OwnedDescription()))
{
    if (m_generator)
        m_generator->BuildGeometry(*this);
}

DS_ParticlesObj::~DS_ParticlesObj() = default;

void DS_ParticlesObj::Render(DS_ABRender& renderer)
{
    if (m_generator)
        m_generator->Render(renderer, *this);
}

int DS_ParticlesObj::NeedsRenderTarget() const
{
    return IsEnabled() && m_generator && m_generator->NeedsBackground() ? 1 : 0;
}

void DS_ParticlesObj::Animate(float localTime)
{
    if (m_generator)
        m_generator->Step(localTime, *this);
}

bool DS_ParticlesObj::AddBoundingRect(BoundingRectList& list) const
{
    for (const std::vector<BoundingRect>& rects : m_rects)
        list.insert(list.end(), rects.begin(), rects.end());
    return false;
}

void DS_ParticlesObj::SetLayerCount(std::size_t count)
{
    m_layers.resize(count);
    m_rects.resize(count);
    m_counts.resize(count, 0);
}

void DS_ParticlesObj::ResizeLayer(std::size_t layer, std::int32_t count)
{
    if (layer >= m_layers.size())
        return;
    const std::int32_t n = std::clamp(count, 0, kMaxLayerQuads);
    QuadBatchBuffer& batch = m_layers[layer];
    if (n > batch.QuadCapacity()) {
        batch.Release();
        if (gfx::Device* device = GetResourceDevice())
            batch.BuildQuadIndices(*device, n);
    }
    m_rects[layer].resize(static_cast<std::size_t>(n));
    m_counts[layer] = n;
}

bool DS_ParticlesObj::LockLayer(std::size_t layer)
{
    if (layer >= m_layers.size())
        return false;
    return m_layers[layer].LockQuads() != nullptr;
}

bool DS_ParticlesObj::LockLayers(std::size_t first, std::size_t last)
{
    for (std::size_t layer = first; layer <= last; ++layer) {
        if (LockLayer(layer))
            continue;
        for (std::size_t locked = first; locked < layer; ++locked)
            UnlockLayer(locked);
        return false;
    }
    return true;
}

void DS_ParticlesObj::UnlockLayer(std::size_t layer)
{
    if (layer < m_layers.size())
        m_layers[layer].UnlockQuads();
}

void DS_ParticlesObj::SetQuad(std::size_t layer, std::int32_t index, const GenQuad& quad)
{
    if (layer >= m_layers.size() || index < 0 || index >= m_counts[layer])
        return;
    QuadBatchBuffer& batch = m_layers[layer];
    auto* vertices = static_cast<QuadBatchVertex*>(batch.vertices.Locked());
    if (!vertices || index >= batch.QuadCapacity())
        return;
    std::copy(quad.begin(), quad.end(), vertices + static_cast<std::size_t>(index) * 4);
    m_rects[layer][static_cast<std::size_t>(index)] = QuadBounds(quad);
}

std::uint32_t ParticleQuadColour(const GenParticle& particle, float opacityFactor, const ColorAndOpacity& colour)
{
    const float alpha =
        particle.channels[GenParticle::kOpacity] * opacityFactor * static_cast<float>(colour.opacity.Scaled());
    return PackVertexColor(colour.colour.value, alpha);
}

namespace {

GenQuad Coloured(GenQuad quad, std::uint32_t colour)
{
    for (QuadBatchVertex& vertex : quad)
        vertex.colour = colour;
    return quad;
}

} // namespace

void DS_ParticlesObj::SetParticleQuad(std::size_t layer, std::int32_t index, const GenParticle& particle, float size,
                                      float opacityFactor, const ColorAndOpacity& colour)
{
    const float side = size * particle.channels[GenParticle::kScale];
    SetQuad(layer, index,
            Coloured(BuildQuadCorners(particle.position, side, side), ParticleQuadColour(particle, opacityFactor, colour)));
}

void DS_ParticlesObj::SetRotatedParticleQuad(std::int32_t index, const GenParticle& particle, float width, float height,
                                             float opacityFactor, const ColorAndOpacity& colour)
{
    const float scale = particle.channels[GenParticle::kScale];
    math::Matrix rotation;
    math::MatrixRotationZ(&rotation, particle.channels[GenParticle::kAngle]);
    math::Vec3 u, v;
    math::Vec3TransformCoord(&u, {width * scale, 0.0f, 0.0f}, rotation);
    math::Vec3TransformCoord(&v, {0.0f, height * scale, 0.0f}, rotation);
    SetQuad(0, index,
            Coloured(BuildAnchoredQuadCorners(particle.position, u, v, 1.0f),
                     ParticleQuadColour(particle, opacityFactor, colour)));
}

void DS_ParticlesObj::DrawLayer(DS_ABRender& renderer, std::size_t layer, gfx::Effect* effect)
{
    if (layer >= m_layers.size() || m_counts[layer] <= 0)
        return;
    renderer.DrawIndexedOptionalEffect(m_layers[layer], effect, 0, static_cast<std::uint32_t>(m_counts[layer]));
}

QuadBatchBuffer* DS_ParticlesObj::Layer(std::size_t layer)
{
    return layer < m_layers.size() ? &m_layers[layer] : nullptr;
}

std::int32_t DS_ParticlesObj::QuadCount(std::size_t layer) const
{
    return layer < m_counts.size() ? m_counts[layer] : 0;
}

const std::vector<BoundingRect>* DS_ParticlesObj::QuadRects(std::size_t layer) const
{
    return layer < m_rects.size() ? &m_rects[layer] : nullptr;
}

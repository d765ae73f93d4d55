#pragma once
// DS_ParticlesObj: the render object of every generator. It owns the
// generator clone, forwards stepping, drawing and the background question to
// it, and holds the generator's geometry: layers of coloured, textured quads
// (one QuadBatchBuffer each, FVF 0x142) with the bounding rectangle of every
// quad and the number of quads in use.
//
// A layer holds at most kMaxLayerQuads quads (the most one batch of 16-bit
// indices takes here). Calls with a layer index outside the layers, or a
// quad index at or past the layer's quad count, do nothing: nothing is ever
// written past a locked buffer. Vertex buffers only grow.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "objectmodel/SmartColor.h"
#include "particles/generators/GenParticle.h"
#include "particles/generators/QuadBuilders.h"
#include "render/ObjectDescription.h"
#include "render/QuadBatchBuffer.h"
#include "render/RenderObject.h"

namespace gfx {
class Effect;
}

class DS_ParticleGenerator;

class DS_ParticlesObj : public DS_ABObj {
public:
    static constexpr std::int32_t kMaxLayerQuads = 16383;

    // Owns `clone`; when there is one, registers the object and lets the
    // clone build its geometry into it.
    explicit DS_ParticlesObj(std::unique_ptr<DS_ParticleGenerator> clone);
    ~DS_ParticlesObj() override;

    void Render(DS_ABRender& renderer) override;
    // 1 while enabled and the generator reads the picture drawn so far.
    int NeedsRenderTarget() const override;
    void Animate(float localTime) override;
    // Every rectangle of every layer, layer by layer. Returns false.
    bool AddBoundingRect(BoundingRectList& list) const override;

    // The number of layers; new layers are empty.
    void SetLayerCount(std::size_t count);
    std::size_t LayerCount() const { return m_layers.size(); }

    // Makes room for `count` quads (held to 0..kMaxLayerQuads): the buffers
    // are rebuilt only when they hold fewer; the rectangles and the quad
    // count become `count`.
    void ResizeLayer(std::size_t layer, std::int32_t count);
    // Locks the whole vertex buffer; false for a missing layer or buffer.
    bool LockLayer(std::size_t layer);
    // Locks layers first..last (both included); when one fails, the ones
    // locked before it are unlocked again and the answer is false.
    bool LockLayers(std::size_t first, std::size_t last);
    // Clears the write pointer and unlocks.
    void UnlockLayer(std::size_t layer);

    // Copies the quad to quad `index` of the locked layer and records its
    // bounding rectangle.
    void SetQuad(std::size_t layer, std::int32_t index, const GenQuad& quad);
    // A square of side size x the particle's scale at its position, coloured
    // by the particle quad colour rule.
    void SetParticleQuad(std::size_t layer, std::int32_t index, const GenParticle& particle, float size,
                         float opacityFactor, const ColorAndOpacity& colour);
    // A width x height quad (times the particle's scale) turned by the
    // particle's angle, in layer 0.
    void SetRotatedParticleQuad(std::int32_t index, const GenParticle& particle, float width, float height,
                                float opacityFactor, const ColorAndOpacity& colour);

    // Draws quads 0..count of a layer through `effect` (or straight without).
    void DrawLayer(DS_ABRender& renderer, std::size_t layer, gfx::Effect* effect);

    QuadBatchBuffer* Layer(std::size_t layer);
    std::int32_t QuadCount(std::size_t layer) const;
    const std::vector<BoundingRect>* QuadRects(std::size_t layer) const;
    DS_ParticleGenerator* Generator() const { return m_generator; }

private:
    std::vector<QuadBatchBuffer> m_layers;
    std::vector<std::vector<BoundingRect>> m_rects;
    std::vector<std::int32_t> m_counts;
    DS_ParticleGenerator* m_generator;
};

// The quad colour of particle quads: the colour word with alpha = opacity
// channel x factor x opacity byte.
std::uint32_t ParticleQuadColour(const GenParticle& particle, float opacityFactor, const ColorAndOpacity& colour);

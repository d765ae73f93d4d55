#include "render/QuadBatchArray.h"

#include <algorithm>

#include "platform/gfx/Device.h"
#include "render/QuadVertices.h"

namespace {

// Position 0, colour 0 and the default texture coordinates for every quad.
void ResetQuads(QuadBatchVertex* vertices, std::int32_t quads)
{
    const QuadVertices defaults;
    for (std::int32_t quad = 0; quad < quads; ++quad) {
        for (const QuadVertex& corner : defaults.vertices)
            *vertices++ = {0.0f, 0.0f, 0.0f, 0u, corner.u, corner.v};
    }
}

} // namespace

bool QuadBatchArray::Resize(gfx::Device& device, std::int32_t count)
{
    UnlockAll();
    count = std::clamp(count, 0, kMaxQuads);
    m_batches.resize(static_cast<std::size_t>(count / kQuadsPerBatch + 1));
    bool built = true;
    for (std::size_t i = 0; i < m_batches.size(); ++i) {
        TexturedBatch& batch = m_batches[i];
        const std::int32_t quads = std::min(count - static_cast<std::int32_t>(i) * kQuadsPerBatch, kQuadsPerBatch);
        if (!batch.BuildQuadIndices(device, quads)) {
            built = false;
            continue;
        }
        if (QuadBatchVertex* vertices = batch.LockQuads()) {
            ResetQuads(vertices, quads);
            batch.UnlockQuads();
        }
    }
    for (std::size_t i = 1; i < m_batches.size(); ++i)
        m_batches[i].texture = m_batches.front().texture;
    m_quadCount = count;
    return built;
}

void QuadBatchArray::LockAll()
{
    for (TexturedBatch& batch : m_batches)
        batch.LockQuads();
}

void QuadBatchArray::UnlockAll()
{
    for (TexturedBatch& batch : m_batches)
        batch.UnlockQuads();
}

QuadBatchVertex* QuadBatchArray::QuadVerticesAt(std::int32_t index)
{
    if (index < 0 || index >= m_quadCount)
        return nullptr;
    const auto batchIndex = static_cast<std::size_t>(index / kQuadsPerBatch);
    const std::int32_t slot = index % kQuadsPerBatch;
    if (batchIndex >= m_batches.size())
        return nullptr;
    TexturedBatch& batch = m_batches[batchIndex];
    auto* vertices = static_cast<QuadBatchVertex*>(batch.vertices.Locked());
    if (!vertices || slot >= batch.QuadCapacity())
        return nullptr;
    return vertices + 4 * slot;
}

void QuadBatchArray::SetTexture(gfx::Texture* texture)
{
    for (TexturedBatch& batch : m_batches)
        batch.texture = gfx::Ref<gfx::Texture>(texture);
}

void QuadBatchArray::DrawAll(gfx::Device& device) const
{
    for (const TexturedBatch& batch : m_batches) {
        if (!batch.HasBuffers() || batch.indices.PrimitiveCount() <= 0)
            continue;
        device.SetTexture(0, batch.texture.Get());
        device.SetIndices(batch.indices.Buffer());
        device.SetFVF(QuadBatchVertex::kFvf);
        device.SetStreamSource(0, batch.vertices.Buffer(), 0, sizeof(QuadBatchVertex));
        device.DrawIndexedPrimitive(batch.vertices.PrimitiveType(), 0, 0,
                                    static_cast<std::uint32_t>(batch.vertices.VertexCount()), 0,
                                    static_cast<std::uint32_t>(batch.indices.PrimitiveCount()));
    }
}

#pragma once
// QuadBatchArray: textured quads of any number, kept in batches that 16-bit
// indices can address (at most 16383 quads, 65532 vertices, each). Quad i of
// the array is quad (i mod 16383) of batch (i div 16383). The owner resizes
// the array when its number of quads changes (the index data is written
// then, once), and every frame locks all batches, writes positions,
// colours and texture coordinates, unlocks and draws: one draw call per
// batch. Every batch shows the same texture.
//
// An array holds at most kMaxQuads quads; a larger count is held to it.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/QuadBatchBuffer.h"

class QuadBatchArray {
public:
    static constexpr std::int32_t kQuadsPerBatch = 16383;
    static constexpr std::int32_t kMaxBatches = 16;
    static constexpr std::int32_t kMaxQuads = kQuadsPerBatch * kMaxBatches;

    QuadBatchArray() = default;
    QuadBatchArray(const QuadBatchArray&) = delete;
    QuadBatchArray& operator=(const QuadBatchArray&) = delete;

    // count / 16383 + 1 batches (a multiple of 16383 gets one more, empty
    // batch); batch i is built for min(count - 16383 i, 16383) quads with
    // every vertex reset: position 0, colour 0, texture coordinates (0, 1),
    // (0, 0), (1, 1), (1, 0) per quad. An empty batch holds no buffers.
    // Every batch after the first takes the first batch's texture. A
    // negative count is 0. False when a batch's buffers could not be made
    // (that batch stays empty).
    bool Resize(gfx::Device& device, std::int32_t count);

    // Locks every batch's vertices until UnlockAll.
    void LockAll();
    void UnlockAll();

    // The four vertices of quad i while the batches are locked; null when i
    // is outside the array or its batch holds no locked vertices.
    QuadBatchVertex* QuadVerticesAt(std::int32_t index);

    // Every batch holds `texture` (the old one released).
    void SetTexture(gfx::Texture* texture);

    // For each batch with quads, in order: texture 0, indices, the vertex
    // format, stream 0 and one indexed draw of all its quads. Render states,
    // transforms and effects are the caller's.
    void DrawAll(gfx::Device& device) const;

    std::int32_t QuadCount() const { return m_quadCount; }
    std::size_t BatchCount() const { return m_batches.size(); }
    const TexturedBatch& Batch(std::size_t index) const { return m_batches[index]; }

private:
    std::int32_t m_quadCount = 0;
    std::vector<TexturedBatch> m_batches;
};

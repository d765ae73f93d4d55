#pragma once
// Grids and plain vertex buffers of the render base:
//
//   IndexBatch               a 16-bit index buffer with its primitive count,
//                            written through a scope guard (IndexBatch::Lock).
//   CreateGridIndexBuffer    two triangles per cell of a row-major grid of
//                            columns x rows vertices.
//   FillGridFromCorners      a row-major grid of XYZ | TEX1 vertices blended
//                            bilinearly (in all five floats) from four corners.
//   VertexBufferRef          a vertex buffer with its vertex count, made by
//                            one creator per vertex format.
//
// Buffers are write-only; grids live in the managed pool and survive a lost
// device. A grid whose vertices a 16-bit index cannot address, or that has
// no cell, gets no buffer and draws nothing.

#include <cstdint>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Buffers.h"
#include "platform/gfx/Formats.h"
#include "platform/gfx/Ref.h"
#include "render/QuadTextured.h"

namespace gfx {
class Device;
}

class IndexBatch {
public:
    // While alive, the whole index buffer is locked: Indices() points at it
    // (null when it did not lock). The destructor clears the batch's locked
    // pointer and unlocks.
    class LockGuard {
    public:
        explicit LockGuard(IndexBatch& batch);
        ~LockGuard();
        LockGuard(const LockGuard&) = delete;
        LockGuard& operator=(const LockGuard&) = delete;

        std::uint16_t* Indices() const { return m_owns ? m_batch.m_locked : nullptr; }
        // How many indices the buffer holds.
        std::uint32_t Count() const { return m_count; }

    private:
        IndexBatch& m_batch;
        std::uint32_t m_count = 0;
        bool m_owns = false; // this guard locked the buffer
    };

    IndexBatch() = default;
    // A copy shares the index buffer (a reference is added); the lock is not copied.
    IndexBatch(const IndexBatch& other) : m_buffer(other.m_buffer), m_primitiveCount(other.m_primitiveCount) {}
    IndexBatch& operator=(const IndexBatch& other);

    LockGuard Lock() { return LockGuard(*this); }

    // Releases the old buffer and makes one of `bytes` bytes of 16-bit
    // indices, write-only, managed. False (no buffer, count 0) when refused.
    bool Create(gfx::Device& device, std::uint32_t bytes, std::int32_t primitiveCount);
    // Shares `buffer` (a reference is added, the old buffer released) with
    // `primitiveCount` triangles; a null buffer or a count below 1 leaves
    // the batch empty.
    void ShareBuffer(const gfx::Ref<gfx::IndexBuffer>& buffer, std::int32_t primitiveCount);
    void Release();

    gfx::IndexBuffer* Buffer() const { return m_buffer.Get(); }
    std::int32_t PrimitiveCount() const { return m_primitiveCount; }
    bool IsLocked() const { return m_locked != nullptr; }

private:
    gfx::Ref<gfx::IndexBuffer> m_buffer;
    std::int32_t m_primitiveCount = 0;
    std::uint16_t* m_locked = nullptr;
};

// Bytes an index buffer gets per primitive (more than the six bytes of a
// triangle: the same sizing as the quad batches).
inline constexpr std::uint32_t kIndexBytesPerPrimitive = 16;
// Vertices a 16-bit index can address.
inline constexpr std::int64_t kMaxIndexedVertices = 65536;

// For a row-major grid of columns x rows vertices: primitive count
// 2 (columns - 1)(rows - 1), and for every cell (r, c) with i = r x columns
// + c the indices i, i + 1, i + columns, i + columns, i + 1, i + columns + 1.
// The old buffer is released first. False (no buffer, count 0) for a grid
// without cells or with more vertices than 16-bit indices address.
bool CreateGridIndexBuffer(gfx::Device& device, IndexBatch& batch, std::int32_t columns, std::int32_t rows);

// Fills the (cellsAcross + 1) x (cellsDown + 1) vertices of a grid buffer,
// row-major: vertex (r, c) is left + (right - left) c / cellsAcross, with
// left = c0 + (c2 - c0) r / cellsDown and right = c1 + (c3 - c1) r /
// cellsDown. c0 is the first row's first vertex, c1 its last, c2 the last
// row's first, c3 its last. A grid of 0 cells along an axis has its one
// line of vertices at the first corner's side. Nothing is written when the
// counts are negative or the buffer is smaller than the grid.
void FillGridFromCorners(gfx::VertexBuffer* buffer, std::int32_t cellsAcross, std::int32_t cellsDown,
                         const TexturedQuadVertex& c0, const TexturedQuadVertex& c1, const TexturedQuadVertex& c2,
                         const TexturedQuadVertex& c3);

struct VertexBufferRef {
    gfx::Ref<gfx::VertexBuffer> buffer;
    void* locked = nullptr;
    std::int32_t vertexCount = 0;
};

// Each releases the holder's buffer, stores n and creates n vertices of its
// format with the given usage and pool. False (no buffer) when n is not
// positive, too large, or the device refuses.
bool CreateQuadVertexBuffer(gfx::Device& device, VertexBufferRef& holder, std::int32_t n, std::uint32_t usage,
                            gfx::Pool pool); // XYZ | TEX1, 20 bytes
bool CreateColorVertexBuffer(gfx::Device& device, VertexBufferRef& holder, std::int32_t n, std::uint32_t usage,
                             gfx::Pool pool); // XYZ | DIFFUSE, 16 bytes

// Shared by the vertex-buffer creators: n x stride bytes in `fvf`.
bool CreateVertexBufferOf(gfx::Device& device, gfx::Ref<gfx::VertexBuffer>& holder, std::int64_t n,
                          std::uint32_t stride, std::uint32_t fvf, std::uint32_t usage, gfx::Pool pool);

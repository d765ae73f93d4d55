#pragma once
// QuadBatchBuffer: one batch of geometry drawn with a single draw call per
// pass: a transform header whose world matrix is the batch's object
// transform, a vertex part (VertexBatch) and a 16-bit index part
// (IndexBatch, QuadGrid.h).
//
// As a quad batch it holds four 24-byte vertices per quad (XYZ | DIFFUSE |
// TEX1) and the indices 4k + (0, 1, 2, 2, 1, 3) for every quad k: quad k is
// the triangles (4k, 4k+1, 4k+2) and (4k+2, 4k+1, 4k+3). Buffers are
// write-only in the managed pool (they survive a lost device) and are only
// ever replaced by larger ones by their owners. As a grid (picture effects)
// it holds XYZ | TEX1 vertices with two triangles per cell.
//
// A copy shares both buffers (a reference is added to each) and copies the
// counts; a batch that was never built, or was asked for 0 quads, holds no
// buffers and draws nothing.
//
// TexturedBatch is a quad batch with its own texture and a flag byte (for
// meshes: transparent); the quad-batch arrays keep their quads in such
// records. MirroredGrid is a textured grid with an operation of its own
// that the renderer calls before drawing it mirrored.

#include <cstddef>
#include <cstdint>

#include "objectmodel/TransformNode.h"
#include "platform/gfx/Buffers.h"
#include "platform/gfx/Formats.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/States.h"
#include "platform/gfx/Texture.h"
#include "render/QuadGrid.h"

struct LoadedMesh;

struct QuadBatchVertex {
    static constexpr std::uint32_t kFvf = 0x142; // XYZ | DIFFUSE | TEX1
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::uint32_t colour = 0; // 0xAARRGGBB
    float u = 0.0f;
    float v = 0.0f;
};
static_assert(sizeof(QuadBatchVertex) == 24);

// The most quads one batch holds: their 4 x n vertices stay within reach of
// 16-bit indices.
inline constexpr std::int32_t kMaxQuadsPerBatch = 16384;

class VertexBatch {
public:
    VertexBatch() = default;
    // A copy shares the buffer (a reference is added); the lock is not copied.
    VertexBatch(const VertexBatch& other);
    VertexBatch& operator=(const VertexBatch& other);

    // n quad-batch vertices (24 bytes, XYZ | DIFFUSE | TEX1), write-only,
    // managed; the primitive type becomes a triangle list.
    bool CreateVertexBuffer(gfx::Device& device, std::int32_t n);
    // n pre-transformed textured vertices (28 bytes, XYZRHW | DIFFUSE | TEX1)
    // with the given usage and pool.
    bool CreateScreenVertexBuffer(gfx::Device& device, std::int32_t n, std::uint32_t usage, gfx::Pool pool);
    // n grid vertices (20 bytes, XYZ | TEX1), write-only, managed; a triangle list.
    bool AllocateVertices(gfx::Device& device, std::int32_t n);

    // Shares `buffer` (a reference is added, the old buffer released) as n
    // vertices of `stride` bytes in `fvf`, drawn as a triangle list. A null
    // buffer or n below 1 leaves the batch empty.
    void ShareBuffer(const gfx::Ref<gfx::VertexBuffer>& buffer, std::int32_t n, std::uint32_t stride,
                     std::uint32_t fvf);

    // Each creator releases the old buffer first and stores n; when the
    // device refuses, the batch is left empty (no buffer, count 0).
    void Release();

    // Locks the whole buffer and keeps the pointer until Unlock; null when
    // there is no buffer or it does not lock. Locking a locked batch hands
    // out the same pointer.
    void* Lock();
    void Unlock();
    void* Locked() const { return m_locked; }

    gfx::VertexBuffer* Buffer() const { return m_buffer.Get(); }
    std::int32_t VertexCount() const { return m_vertexCount; }
    gfx::PrimitiveType PrimitiveType() const { return m_primitiveType; }
    std::uint32_t Stride() const { return m_stride; }
    std::uint32_t Fvf() const { return m_fvf; }

private:
    bool Create(gfx::Device& device, std::int32_t n, std::uint32_t stride, std::uint32_t fvf, std::uint32_t usage,
                gfx::Pool pool);

    gfx::Ref<gfx::VertexBuffer> m_buffer;
    void* m_locked = nullptr;
    std::int32_t m_vertexCount = 0;
    gfx::PrimitiveType m_primitiveType = gfx::PrimitiveType::TriangleStrip;
    std::uint32_t m_stride = 0;
    std::uint32_t m_fvf = 0;
};

class QuadBatchBuffer {
public:
    QuadBatchBuffer() = default;
    QuadBatchBuffer(const QuadBatchBuffer&) = default;
    QuadBatchBuffer& operator=(const QuadBatchBuffer&) = default;
    ~QuadBatchBuffer() = default;

    // Vertex buffer for 4n vertices, primitive count 2n, and a new index
    // buffer of 2n x 16 bytes holding 4k + (0, 1, 2, 2, 1, 3) for each quad
    // k. n = 0 leaves the batch without buffers (true); n below 0 or above
    // kMaxQuadsPerBatch, or a refused buffer, leaves it without buffers and
    // returns false.
    bool BuildQuadIndices(gfx::Device& device, std::int32_t n);

    // A grid of columns x rows cells: (columns + 1) x (rows + 1) grid
    // vertices and two triangles per cell (CreateGridIndexBuffer). The cell
    // counts are kept for FillGridFromCorners.
    bool BuildGrid(gfx::Device& device, std::int32_t columns, std::int32_t rows);

    // The quads the buffers hold: primitive count / 2.
    std::int32_t QuadCapacity() const { return indices.PrimitiveCount() / 2; }
    bool HasBuffers() const { return vertices.Buffer() && indices.Buffer(); }

    // The vertices of the whole batch, locked until UnlockQuads; null when
    // it is not a quad batch or does not lock.
    QuadBatchVertex* LockQuads();
    void UnlockQuads() { vertices.Unlock(); }

    void Release();

    TransformNode header;
    VertexBatch vertices;
    IndexBatch indices;
    std::int32_t gridColumns = 0;
    std::int32_t gridRows = 0;
};

// FillGridFromCorners over a grid built with QuadBatchBuffer::BuildGrid.
void FillGridFromCorners(QuadBatchBuffer& grid, const TexturedQuadVertex& c0, const TexturedQuadVertex& c1,
                         const TexturedQuadVertex& c2, const TexturedQuadVertex& c3);

// Destroying one releases the texture, then the batch's buffers (members
// go before the base).
class TexturedBatch : public QuadBatchBuffer {
public:
    // Shares the mesh's buffers (XYZ | NORMAL | TEX1 vertices of 32 bytes,
    // its faces as a triangle list) in place of the batch's own, and gives
    // the header node the mesh's bounding sphere. An empty mesh leaves the
    // batch without buffers, so it draws nothing.
    void SetMesh(const LoadedMesh& mesh);

    gfx::Ref<gfx::Texture> texture;
    bool flag = false;
};

// The item the renderer draws with mirrored texture addressing
// (DS_ABRender::DrawMirrored): a grid of XYZ | TEX1 vertices
// (QuadBatchBuffer::BuildGrid) with its texture. The renderer calls Prepare
// with the argument it was given before it binds the item; what that does
// (refill the grid, pick the picture) is the owner's affair, and the base
// does nothing.
class MirroredGrid : public TexturedBatch {
public:
    virtual ~MirroredGrid() = default;
    virtual void Prepare(int arg);
};

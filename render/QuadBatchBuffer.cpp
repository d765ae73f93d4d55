#include "render/QuadBatchBuffer.h"

#include "platform/gfx/Device.h"
#include "platform/gfx/Mesh.h"
#include "render/ABRenderItems.h"
#include "render/ResourceLoading.h"

namespace {

// The six indices of quad k, relative to its first vertex 4k.
constexpr std::uint16_t kQuadIndexPattern[6] = {0, 1, 2, 2, 1, 3};

} // namespace

// ---- VertexBatch ---------------------------------------------------------------

VertexBatch::VertexBatch(const VertexBatch& other)
    : m_buffer(other.m_buffer),
      m_vertexCount(other.m_vertexCount),
      m_primitiveType(other.m_primitiveType),
      m_stride(other.m_stride),
      m_fvf(other.m_fvf)
{
}

VertexBatch& VertexBatch::operator=(const VertexBatch& other)
{
    if (this == &other)
        return *this;
    Unlock();
    m_buffer = other.m_buffer;
    m_vertexCount = other.m_vertexCount;
    m_primitiveType = other.m_primitiveType;
    m_stride = other.m_stride;
    m_fvf = other.m_fvf;
    return *this;
}

bool VertexBatch::Create(gfx::Device& device, std::int32_t n, std::uint32_t stride, std::uint32_t fvf,
                         std::uint32_t usage, gfx::Pool pool)
{
    Release();
    m_vertexCount = n;
    if (!CreateVertexBufferOf(device, m_buffer, n, stride, fvf, usage, pool)) {
        m_vertexCount = 0;
        return false;
    }
    m_primitiveType = gfx::PrimitiveType::TriangleList;
    m_stride = stride;
    m_fvf = fvf;
    return true;
}

bool VertexBatch::CreateVertexBuffer(gfx::Device& device, std::int32_t n)
{
    return Create(device, n, sizeof(QuadBatchVertex), QuadBatchVertex::kFvf, gfx::Usage::WriteOnly,
                  gfx::Pool::Managed);
}

bool VertexBatch::CreateScreenVertexBuffer(gfx::Device& device, std::int32_t n, std::uint32_t usage, gfx::Pool pool)
{
    return Create(device, n, sizeof(TexturedScreenVertex), TexturedScreenVertex::kFvf, usage, pool);
}

bool VertexBatch::AllocateVertices(gfx::Device& device, std::int32_t n)
{
    return Create(device, n, sizeof(TexturedQuadVertex), TexturedQuadVertex::kFvf, gfx::Usage::WriteOnly,
                  gfx::Pool::Managed);
}

void VertexBatch::ShareBuffer(const gfx::Ref<gfx::VertexBuffer>& buffer, std::int32_t n, std::uint32_t stride,
                              std::uint32_t fvf)
{
    Release();
    if (!buffer || n < 1)
        return;
    m_buffer = buffer;
    m_vertexCount = n;
    m_primitiveType = gfx::PrimitiveType::TriangleList;
    m_stride = stride;
    m_fvf = fvf;
}

void VertexBatch::Release()
{
    Unlock();
    m_buffer.Reset();
    m_vertexCount = 0;
    m_stride = 0;
    m_fvf = 0;
}

void* VertexBatch::Lock()
{
    if (m_locked || !m_buffer)
        return m_locked;
    void* data = nullptr;
    if (m_buffer->Lock(0, 0, &data, 0) != gfx::kOk)
        return nullptr;
    if (!data) {
        m_buffer->Unlock();
        return nullptr;
    }
    m_locked = data;
    return m_locked;
}

void VertexBatch::Unlock()
{
    if (!m_locked)
        return;
    m_locked = nullptr;
    if (m_buffer)
        m_buffer->Unlock();
}

// ---- QuadBatchBuffer -----------------------------------------------------------

bool QuadBatchBuffer::BuildQuadIndices(gfx::Device& device, std::int32_t n)
{
    Release();
    if (n == 0)
        return true;
    if (n < 0 || n > kMaxQuadsPerBatch)
        return false;
    const std::int32_t primitives = 2 * n;
    if (!vertices.CreateVertexBuffer(device, 4 * n) ||
        !indices.Create(device, std::uint32_t(primitives) * kIndexBytesPerPrimitive, primitives)) {
        Release();
        return false;
    }
    IndexBatch::LockGuard lock = indices.Lock();
    std::uint16_t* out = lock.Indices();
    if (!out)
        return true;
    for (std::int32_t quad = 0; quad < n; ++quad) {
        for (std::uint16_t offset : kQuadIndexPattern)
            *out++ = static_cast<std::uint16_t>(4 * quad + offset);
    }
    return true;
}

bool QuadBatchBuffer::BuildGrid(gfx::Device& device, std::int32_t columns, std::int32_t rows)
{
    Release();
    if (columns < 0 || rows < 0)
        return false;
    gridColumns = columns;
    gridRows = rows;
    const std::int64_t vertexCount = (std::int64_t(columns) + 1) * (std::int64_t(rows) + 1);
    if (vertexCount > kMaxIndexedVertices || !vertices.AllocateVertices(device, std::int32_t(vertexCount)) ||
        !CreateGridIndexBuffer(device, indices, columns + 1, rows + 1)) {
        vertices.Release();
        indices.Release();
        return false;
    }
    return true;
}

QuadBatchVertex* QuadBatchBuffer::LockQuads()
{
    if (vertices.Fvf() != QuadBatchVertex::kFvf)
        return nullptr;
    return static_cast<QuadBatchVertex*>(vertices.Lock());
}

void QuadBatchBuffer::Release()
{
    indices.Release();
    vertices.Release();
}

void FillGridFromCorners(QuadBatchBuffer& grid, const TexturedQuadVertex& c0, const TexturedQuadVertex& c1,
                         const TexturedQuadVertex& c2, const TexturedQuadVertex& c3)
{
    if (grid.vertices.Fvf() != TexturedQuadVertex::kFvf || grid.vertices.Locked())
        return;
    FillGridFromCorners(grid.vertices.Buffer(), grid.gridColumns, grid.gridRows, c0, c1, c2, c3);
}

void TexturedBatch::SetMesh(const LoadedMesh& mesh)
{
    vertices.ShareBuffer(mesh.vertexBuffer, mesh.vertexCount, kMeshVertexStride, gfx::kMeshVertexFvf);
    indices.ShareBuffer(mesh.indexBuffer, mesh.faceCount);
    if (!vertices.Buffer() || !indices.Buffer())
        Release();
    header.boundingRadius = mesh.radius;
    header.boundingCenter = mesh.center;
}

void MirroredGrid::Prepare(int) {}

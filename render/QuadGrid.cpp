#include "render/QuadGrid.h"

#include <limits>

#include "platform/gfx/Device.h"
#include "render/ScreenQuad.h"

// ---- IndexBatch ----------------------------------------------------------------

IndexBatch::LockGuard::LockGuard(IndexBatch& batch) : m_batch(batch)
{
    void* data = nullptr;
    if (!batch.m_buffer || batch.m_locked || batch.m_buffer->Lock(0, 0, &data, 0) != gfx::kOk)
        return;
    if (!data) {
        batch.m_buffer->Unlock();
        return;
    }
    batch.m_locked = static_cast<std::uint16_t*>(data);
    m_count = batch.m_buffer->IndexCount();
    m_owns = true;
}

IndexBatch::LockGuard::~LockGuard()
{
    if (!m_owns)
        return;
    m_batch.m_locked = nullptr;
    if (m_batch.m_buffer)
        m_batch.m_buffer->Unlock();
}

IndexBatch& IndexBatch::operator=(const IndexBatch& other)
{
    if (this != &other) {
        m_buffer = other.m_buffer;
        m_primitiveCount = other.m_primitiveCount;
        m_locked = nullptr;
    }
    return *this;
}

bool IndexBatch::Create(gfx::Device& device, std::uint32_t bytes, std::int32_t primitiveCount)
{
    Release();
    gfx::IndexBuffer* raw = nullptr;
    if (device.CreateIndexBuffer(bytes, gfx::Usage::WriteOnly, gfx::Format::Index16, gfx::Pool::Managed, &raw) !=
            gfx::kOk ||
        !raw)
        return false;
    m_buffer = gfx::Ref<gfx::IndexBuffer>::Adopt(raw);
    m_primitiveCount = primitiveCount;
    return true;
}

void IndexBatch::ShareBuffer(const gfx::Ref<gfx::IndexBuffer>& buffer, std::int32_t primitiveCount)
{
    Release();
    if (!buffer || primitiveCount < 1)
        return;
    m_buffer = buffer;
    m_primitiveCount = primitiveCount;
}

void IndexBatch::Release()
{
    m_buffer.Reset();
    m_primitiveCount = 0;
    m_locked = nullptr;
}

// ---- Grids ---------------------------------------------------------------------

bool CreateGridIndexBuffer(gfx::Device& device, IndexBatch& batch, std::int32_t columns, std::int32_t rows)
{
    batch.Release();
    if (columns < 2 || rows < 2)
        return false;
    if (std::int64_t(columns) * rows > kMaxIndexedVertices)
        return false;
    const std::int32_t primitives = 2 * (columns - 1) * (rows - 1);
    if (!batch.Create(device, std::uint32_t(primitives) * kIndexBytesPerPrimitive, primitives))
        return false;
    IndexBatch::LockGuard lock = batch.Lock();
    std::uint16_t* out = lock.Indices();
    if (!out)
        return true;
    for (std::int32_t r = 0; r < rows - 1; ++r) {
        for (std::int32_t c = 0; c < columns - 1; ++c) {
            const auto i = static_cast<std::uint16_t>(r * columns + c);
            const auto below = static_cast<std::uint16_t>(i + columns);
            const std::uint16_t cell[6] = {i, std::uint16_t(i + 1), below, below, std::uint16_t(i + 1),
                                           std::uint16_t(below + 1)};
            for (std::uint16_t index : cell)
                *out++ = index;
        }
    }
    return true;
}

namespace {

TexturedQuadVertex Blend(const TexturedQuadVertex& a, const TexturedQuadVertex& b, float t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t, a.u + (b.u - a.u) * t,
            a.v + (b.v - a.v) * t};
}

// step / steps, or 0 for an axis without cells.
float Fraction(std::int32_t step, std::int32_t steps)
{
    return steps > 0 ? static_cast<float>(step) / static_cast<float>(steps) : 0.0f;
}

} // namespace

void FillGridFromCorners(gfx::VertexBuffer* buffer, std::int32_t cellsAcross, std::int32_t cellsDown,
                         const TexturedQuadVertex& c0, const TexturedQuadVertex& c1, const TexturedQuadVertex& c2,
                         const TexturedQuadVertex& c3)
{
    if (cellsAcross < 0 || cellsDown < 0)
        return;
    const std::int64_t across = std::int64_t(cellsAcross) + 1;
    const std::int64_t down = std::int64_t(cellsDown) + 1;
    BufferLock<TexturedQuadVertex> lock(buffer);
    if (!lock.Holds(static_cast<std::size_t>(across * down)))
        return;
    TexturedQuadVertex* out = lock.Data();
    for (std::int32_t r = 0; r <= cellsDown; ++r) {
        const float t = Fraction(r, cellsDown);
        const TexturedQuadVertex left = Blend(c0, c2, t);
        const TexturedQuadVertex right = Blend(c1, c3, t);
        for (std::int32_t c = 0; c <= cellsAcross; ++c)
            *out++ = Blend(left, right, Fraction(c, cellsAcross));
    }
}

// ---- Vertex-buffer holders -----------------------------------------------------

bool CreateVertexBufferOf(gfx::Device& device, gfx::Ref<gfx::VertexBuffer>& holder, std::int64_t n,
                          std::uint32_t stride, std::uint32_t fvf, std::uint32_t usage, gfx::Pool pool)
{
    holder.Reset();
    if (n <= 0 || n * stride > std::numeric_limits<std::uint32_t>::max())
        return false;
    gfx::VertexBuffer* raw = nullptr;
    if (device.CreateVertexBuffer(std::uint32_t(n * stride), usage, fvf, pool, &raw) != gfx::kOk || !raw)
        return false;
    holder = gfx::Ref<gfx::VertexBuffer>::Adopt(raw);
    return true;
}

namespace {

bool CreateHolderBuffer(gfx::Device& device, VertexBufferRef& holder, std::int32_t n, std::uint32_t stride,
                        std::uint32_t fvf, std::uint32_t usage, gfx::Pool pool)
{
    holder.locked = nullptr;
    holder.vertexCount = n;
    if (CreateVertexBufferOf(device, holder.buffer, n, stride, fvf, usage, pool))
        return true;
    holder.vertexCount = 0;
    return false;
}

} // namespace

bool CreateQuadVertexBuffer(gfx::Device& device, VertexBufferRef& holder, std::int32_t n, std::uint32_t usage,
                            gfx::Pool pool)
{
    return CreateHolderBuffer(device, holder, n, sizeof(TexturedQuadVertex), TexturedQuadVertex::kFvf, usage, pool);
}

bool CreateColorVertexBuffer(gfx::Device& device, VertexBufferRef& holder, std::int32_t n, std::uint32_t usage,
                             gfx::Pool pool)
{
    return CreateHolderBuffer(device, holder, n, sizeof(ColorQuadVertex), ColorQuadVertex::kFvf, usage, pool);
}

#pragma once
// QuadBase: the layout every quad of the render base shares (screen, colour,
// textured and picture quads): a transform node whose world matrix is the
// quad's object matrix, and a vertex buffer of exactly four vertices drawn
// as a two-triangle strip.
//
// Quad buffers are write-only and live in the managed pool, so they survive
// a lost device. Building a quad always releases its previous buffer first;
// a buffer that cannot be created leaves the quad empty (no buffer, counts
// 0): later writes are skipped and draws draw nothing.
//
// BufferLock is the scope guard through which every write goes: it locks a
// whole buffer, hands out its memory as records of one type and unlocks
// when it goes away. A buffer that does not lock yields no memory.

#include <cstddef>
#include <cstdint>

#include "objectmodel/TransformNode.h"
#include "platform/crt/WinTypes.h"
#include "platform/gfx/Buffers.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/Result.h"
#include "platform/gfx/States.h"

namespace gfx {
class Device;
}

template <class Record>
class BufferLock {
public:
    explicit BufferLock(gfx::Buffer* buffer)
    {
        void* data = nullptr;
        if (!buffer || buffer->Lock(0, 0, &data, 0) != gfx::kOk)
            return;
        m_buffer = buffer;
        m_records = static_cast<Record*>(data);
        m_count = data ? buffer->Size() / sizeof(Record) : 0;
    }
    ~BufferLock()
    {
        if (m_buffer)
            m_buffer->Unlock();
    }
    BufferLock(const BufferLock&) = delete;
    BufferLock& operator=(const BufferLock&) = delete;

    // Whether the buffer holds at least `count` records.
    bool Holds(std::size_t count) const { return m_records && m_count >= count; }
    Record* Data() const { return m_records; }
    std::size_t Count() const { return m_count; }
    Record& operator[](std::size_t index) const { return m_records[index]; }

private:
    gfx::Buffer* m_buffer = nullptr;
    Record* m_records = nullptr;
    std::size_t m_count = 0;
};

class QuadBase {
public:
    static constexpr int kQuadVertexCount = 4;
    static constexpr int kQuadPrimitiveCount = 2;

    QuadBase(const QuadBase&) = delete;
    QuadBase& operator=(const QuadBase&) = delete;

    bool HasBuffer() const { return static_cast<bool>(m_buffer); }
    gfx::VertexBuffer* Buffer() const { return m_buffer.Get(); }
    int VertexCount() const { return m_vertexCount; }
    gfx::PrimitiveType PrimitiveType() const { return m_primitiveType; }
    int PrimitiveCount() const { return m_primitiveCount; }
    // The vertex format and stride of the current buffer (0 without one).
    std::uint32_t Fvf() const { return m_fvf; }
    std::uint32_t Stride() const { return m_stride; }

    // Vertex format and stream 0 := the quad's buffer. Nothing without one.
    void BindStream(gfx::Device& device) const;
    // Draws the strip from the bound stream; nothing without a buffer.
    HRESULT DrawStrip(gfx::Device& device) const;

    // Releases the buffer; the quad is empty again.
    void ReleaseBuffer();

    // The quad's transform header; its world matrix is the object matrix.
    TransformNode node;

protected:
    QuadBase() = default;
    ~QuadBase() = default;

    // Releases the old buffer and creates one of four vertices of `stride`
    // bytes in `fvf`, write-only, managed pool. False (and no buffer) when
    // the device refuses.
    bool CreateBuffer(gfx::Device& device, std::uint32_t fvf, std::uint32_t stride);

    // The four vertices of the buffer, locked for the guard's lifetime.
    template <class Vertex>
    struct VertexLock : BufferLock<Vertex> {
        explicit VertexLock(const QuadBase& quad) : BufferLock<Vertex>(quad.m_buffer.Get()) {}
        bool Usable() const { return this->Holds(kQuadVertexCount); }
    };

private:
    gfx::Ref<gfx::VertexBuffer> m_buffer;
    int m_vertexCount = 0;
    gfx::PrimitiveType m_primitiveType = gfx::PrimitiveType::TriangleStrip;
    int m_primitiveCount = 0;
    std::uint32_t m_fvf = 0;
    std::uint32_t m_stride = 0;
};

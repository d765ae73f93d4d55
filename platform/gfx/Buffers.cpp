#include "platform/gfx/Buffers.h"

#include <algorithm>
#include <new>

#include "platform/gfx/GlObjects.h"
#include "platform/gfx/Result.h"

namespace gfx {

Buffer::Buffer(std::shared_ptr<DeviceLink> link, const BufferDesc& desc)
    : Resource(std::move(link), desc.pool), desc_(desc)
{
}

Buffer::~Buffer()
{
    if (glName_ && DeviceAlive())
        glDeleteBuffers(1, &glName_);
}

bool Buffer::Allocate()
{
    try {
        bytes_.assign(desc_.size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    glGenBuffers(1, &glName_);
    // The copy-write binding point leaves the vertex array's index binding alone.
    glBindBuffer(GL_COPY_WRITE_BUFFER, glName_);
    glBufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(bytes_.size()), bytes_.data(),
                 (desc_.usage & Usage::Dynamic) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    return glGetError() == GL_NO_ERROR;
}

HRESULT Buffer::Lock(std::uint32_t offset, std::uint32_t size, void** data, std::uint32_t /*flags*/)
{
    if (!data)
        return kInvalidCall;
    *data = nullptr;
    const std::uint64_t total = bytes_.size();
    const std::uint64_t length = size == 0 ? (offset <= total ? total - offset : 0) : size;
    if (offset > total || offset + length > total)
        return kInvalidCall;
    if (lockCount_ == 0) {
        dirtyBegin_ = offset;
        dirtyEnd_ = std::uint32_t(offset + length);
    } else {
        dirtyBegin_ = std::min(dirtyBegin_, offset);
        dirtyEnd_ = std::max(dirtyEnd_, std::uint32_t(offset + length));
    }
    ++lockCount_;
    *data = bytes_.data() + offset;
    return kOk;
}

HRESULT Buffer::Unlock()
{
    if (lockCount_ == 0)
        return kInvalidCall;
    if (--lockCount_ > 0)
        return kOk;
    OnContentsChanged();
    if (dirtyEnd_ > dirtyBegin_ && DeviceAlive()) {
        glBindBuffer(GL_COPY_WRITE_BUFFER, glName_);
        glBufferSubData(GL_COPY_WRITE_BUFFER, GLintptr(dirtyBegin_), GLsizeiptr(dirtyEnd_ - dirtyBegin_),
                        bytes_.data() + dirtyBegin_);
        glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    }
    dirtyBegin_ = dirtyEnd_ = 0;
    return kOk;
}

HRESULT Buffer::GetDesc(BufferDesc* out) const
{
    if (!out)
        return kInvalidCall;
    *out = desc_;
    return kOk;
}

VertexBuffer::VertexBuffer(std::shared_ptr<DeviceLink> link, const BufferDesc& desc)
    : Buffer(std::move(link), desc)
{
}

IndexBuffer::IndexBuffer(std::shared_ptr<DeviceLink> link, const BufferDesc& desc)
    : Buffer(std::move(link), desc)
{
}

std::uint16_t IndexBuffer::MaxIndex(std::uint32_t first, std::uint32_t count) const
{
    const std::uint8_t* bytes = Bytes() + std::size_t(first) * 2;
    std::uint16_t largest = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint16_t index = std::uint16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        largest = std::max(largest, index);
    }
    return largest;
}

std::uint16_t IndexBuffer::MaxIndex() const
{
    if (!maxKnown_) {
        max_ = MaxIndex(0, IndexCount());
        maxKnown_ = true;
    }
    return max_;
}

} // namespace gfx

#pragma once
// Vertex and index buffers. Their bytes live in memory the caller reaches
// through Lock/Unlock, and they persist: what was written stays until it is
// written again (also across a lost device). Unlock sends the written range
// to GL. Index buffers hold 16-bit indices.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Formats.h"
#include "platform/gfx/Resource.h"

namespace gfx {

struct BufferDesc {
    Format format = Format::Unknown; // Index16 for index buffers, Unknown for vertex buffers
    std::uint32_t usage = 0;
    Pool pool = Pool::Managed;
    std::uint32_t size = 0;  // bytes
    std::uint32_t fvf = 0;   // vertex buffers: the FVF given at creation (informative)
};

class Buffer : public Resource {
public:
    // Locks `size` bytes from `offset` (size 0: to the end). Locks may nest;
    // the last Unlock sends everything written since the first Lock to GL.
    HRESULT Lock(std::uint32_t offset, std::uint32_t size, void** data, std::uint32_t flags);
    HRESULT Unlock();
    HRESULT GetDesc(BufferDesc* out) const;

    std::uint32_t Size() const { return std::uint32_t(bytes_.size()); }
    const std::uint8_t* Bytes() const { return bytes_.data(); }
    bool IsLocked() const { return lockCount_ > 0; }

    // For the device: the GL buffer name.
    unsigned GlName() const { return glName_; }

protected:
    Buffer(std::shared_ptr<DeviceLink> link, const BufferDesc& desc);
    ~Buffer() override;
    // Whether GL could take the bytes (false when memory ran out).
    bool Allocate();
    virtual void OnContentsChanged() {}

private:
    BufferDesc desc_;
    unsigned glName_ = 0;
    std::vector<std::uint8_t> bytes_;
    std::uint32_t lockCount_ = 0;
    std::uint32_t dirtyBegin_ = 0, dirtyEnd_ = 0;

    friend class Device;
};

class VertexBuffer final : public Buffer {
private:
    VertexBuffer(std::shared_ptr<DeviceLink> link, const BufferDesc& desc);
    friend class Device;
};

class IndexBuffer final : public Buffer {
public:
    std::uint32_t IndexCount() const { return Size() / 2; }
    // The largest index among `count` indices from `first`; count must fit.
    std::uint16_t MaxIndex(std::uint32_t first, std::uint32_t count) const;
    // The largest index in the whole buffer (cached until the next write).
    std::uint16_t MaxIndex() const;

private:
    IndexBuffer(std::shared_ptr<DeviceLink> link, const BufferDesc& desc);
    void OnContentsChanged() override { maxKnown_ = false; }

    mutable bool maxKnown_ = false;
    mutable std::uint16_t max_ = 0;
    friend class Device;
};

} // namespace gfx

#pragma once
// A surface: one mip level of a texture, or a depth-stencil buffer of its own.
// A level surface shares the reference count of its texture, as Direct3D's
// do: holding the surface keeps the texture alive.

#include <cstdint>
#include <memory>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Formats.h"
#include "platform/gfx/Resource.h"

namespace gfx {

class Texture;

class Surface final : public Resource {
public:
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    HRESULT GetDesc(SurfaceDesc* out) const;
    // Locks the level's pixels (see Texture::LockRect); depth surfaces cannot be locked.
    HRESULT LockRect(LockedRect* out, const Rect* rect, std::uint32_t flags);
    HRESULT UnlockRect();

    // The texture whose level this is, or null for a depth-stencil surface.
    Texture* Container() const { return container_; }
    std::uint32_t Level() const { return level_; }
    std::uint32_t Width() const;
    std::uint32_t Height() const;
    bool IsDepthStencil() const { return container_ == nullptr; }

    // For the device: the GL renderbuffer of a depth-stencil surface.
    unsigned GlRenderbuffer() const { return glRenderbuffer_; }

private:
    Surface(std::shared_ptr<DeviceLink> link, Texture& container, std::uint32_t level);
    Surface(std::shared_ptr<DeviceLink> link, std::uint32_t width, std::uint32_t height, bool implicit);
    ~Surface() override;

    Texture* container_ = nullptr;
    std::uint32_t level_ = 0;
    std::uint32_t width_ = 0, height_ = 0;
    unsigned glRenderbuffer_ = 0;

    friend class Texture;
    friend class Device;
    friend struct SurfaceDeleter;
};

struct SurfaceDeleter {
    void operator()(Surface* surface) const;
};

} // namespace gfx

#include "platform/gfx/Surface.h"

#include "platform/gfx/GlObjects.h"
#include "platform/gfx/Result.h"
#include "platform/gfx/Texture.h"

namespace gfx {

Surface::Surface(std::shared_ptr<DeviceLink> link, Texture& container, std::uint32_t level)
    : Resource(std::move(link), container.GetPool(), /*implicit=*/true), container_(&container), level_(level)
{
}

Surface::Surface(std::shared_ptr<DeviceLink> link, std::uint32_t width, std::uint32_t height, bool implicit)
    : Resource(std::move(link), Pool::Default, implicit), width_(width), height_(height)
{
    glGenRenderbuffers(1, &glRenderbuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, glRenderbuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, GLsizei(width), GLsizei(height));
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
}

Surface::~Surface()
{
    if (glRenderbuffer_ && DeviceAlive())
        glDeleteRenderbuffers(1, &glRenderbuffer_);
}

void SurfaceDeleter::operator()(Surface* surface) const { delete surface; }

std::uint32_t Surface::AddRef()
{
    return container_ ? container_->AddRef() : RefCounted::AddRef();
}

std::uint32_t Surface::Release()
{
    return container_ ? container_->Release() : RefCounted::Release();
}

std::uint32_t Surface::Width() const { return container_ ? LevelSize(container_->Width(), level_) : width_; }

std::uint32_t Surface::Height() const { return container_ ? LevelSize(container_->Height(), level_) : height_; }

HRESULT Surface::GetDesc(SurfaceDesc* out) const
{
    if (!out)
        return kInvalidCall;
    if (container_)
        return container_->GetLevelDesc(level_, out);
    *out = {Format::D24S8, ResourceType::Surface, Usage::DepthStencil, Pool::Default, width_, height_};
    return kOk;
}

HRESULT Surface::LockRect(LockedRect* out, const Rect* rect, std::uint32_t flags)
{
    return container_ ? container_->LockRect(level_, out, rect, flags) : kInvalidCall;
}

HRESULT Surface::UnlockRect() { return container_ ? container_->UnlockRect(level_) : kInvalidCall; }

} // namespace gfx

#include "render/RenderTargetPairTextures.h"

#include "platform/gfx/Device.h"
#include "platform/gfx/TextureLoader.h"
#include "platform/gfx/TextureLoaderDevice.h"

gfx::SurfaceDesc GetBackBufferDesc(const gfx::Device& device)
{
    gfx::SurfaceDesc desc;
    if (device.GetBackBufferDesc(&desc) != gfx::kOk)
        return gfx::SurfaceDesc{};
    return desc;
}

gfx::SurfaceDesc GetRenderTargetDesc(const gfx::Device& device)
{
    gfx::Surface* raw = nullptr;
    if (device.GetRenderTarget(0, &raw) != gfx::kOk || !raw)
        return gfx::SurfaceDesc{};
    const auto target = gfx::Ref<gfx::Surface>::Adopt(raw);
    gfx::SurfaceDesc desc;
    if (target->GetDesc(&desc) != gfx::kOk)
        return gfx::SurfaceDesc{};
    return desc;
}

HRESULT CreateRenderTargetTexture(gfx::Device& device, gfx::Ref<gfx::Texture>& holder, std::uint32_t width,
                                  std::uint32_t height, std::uint32_t usage)
{
    holder.Reset();
    gfx::Texture* raw = nullptr;
    const HRESULT result =
        device.CreateTexture(width, height, 1, usage, gfx::Format::A8R8G8B8, gfx::Pool::Default, &raw);
    if (result != gfx::kOk || !raw)
        return result != gfx::kOk ? result : gfx::kInvalidCall;
    holder = gfx::Ref<gfx::Texture>::Adopt(raw);
    return gfx::kOk;
}

gfx::Ref<gfx::Texture> CopyTextureResized(gfx::Device& device, gfx::Texture* source, std::uint32_t width,
                                          std::uint32_t height, gfx::Format format)
{
    if (!source)
        return nullptr;
    gfx::Texture* raw = nullptr;
    if (gfx::CreateTexture(device, width, height, 0, 0, format, gfx::Pool::Managed, &raw) != gfx::kOk || !raw)
        return nullptr;
    auto copy = gfx::Ref<gfx::Texture>::Adopt(raw);
    if (CopyLevelZero(device, copy.Get(), source) != gfx::kOk)
        return nullptr;
    return copy;
}

HRESULT CopyLevelZero(gfx::Device& device, gfx::Texture* target, gfx::Texture* source)
{
    if (!target || !source)
        return gfx::kInvalidCall;
    const gfx::Ref<gfx::Surface> to = target->SurfaceLevel(0);
    const gfx::Ref<gfx::Surface> from = source->SurfaceLevel(0);
    if (!to || !from)
        return gfx::kInvalidCall;
    if (target->IsRenderTarget())
        return device.StretchRect(from.Get(), nullptr, to.Get(), nullptr, gfx::TextureFilter::Linear);
    return gfx::LoadSurfaceFromSurface(to.Get(), from.Get(), gfx::kD3dxFilterTriangle);
}

TextureSize LevelZeroSize(const gfx::Texture* texture)
{
    if (!texture)
        return {};
    gfx::SurfaceDesc desc;
    if (texture->GetLevelDesc(0, &desc) != gfx::kOk)
        return {};
    return {desc.width, desc.height};
}

bool SavedRenderTargets::Redirect(gfx::Device& device, gfx::Texture* texture, TargetChannels channels)
{
    if (!texture)
        return false;
    const gfx::Ref<gfx::Surface> level = texture->SurfaceLevel(0);
    gfx::Surface* target = nullptr;
    if (!level || device.GetRenderTarget(0, &target) != gfx::kOk)
        return false;
    auto savedTarget = gfx::Ref<gfx::Surface>::Adopt(target);
    gfx::Rect scissor;
    device.GetScissorRect(&scissor);
    if (device.SetRenderTarget(0, level.Get()) != gfx::kOk)
        return false;
    m_scissor = scissor;
    gfx::Surface* depthStencil = nullptr;
    device.GetDepthStencilSurface(&depthStencil); // kNotFound: none is set
    m_target = std::move(savedTarget);
    m_depthStencil = gfx::Ref<gfx::Surface>::Adopt(depthStencil);
    device.SetDepthStencilSurface(nullptr);
    // The clip planes confine a monitor's pass in the monitor's units; a
    // texture of the object's own is not in those units.
    device.GetRenderState(gfx::RenderState::ClipPlaneEnable, &m_clipPlanes);
    device.SetRenderState(gfx::RenderState::ClipPlaneEnable, 0);
    // The frame may leave alpha unwritten (the player does); a texture that
    // is read by its alpha must have it written, or its weights stay 0.
    device.GetRenderState(gfx::RenderState::ColorWriteEnable, &m_colourWrites);
    if (channels == TargetChannels::All)
        device.SetRenderState(gfx::RenderState::ColorWriteEnable, gfx::ColorWrite::All);
    return true;
}

void SavedRenderTargets::Restore(gfx::Device& device)
{
    if (!m_target)
        return;
    // A new target resets the scissor rectangle to the whole target; the
    // saved one puts a monitor's pass back inside its monitor.
    if (device.SetRenderTarget(0, m_target.Get()) == gfx::kOk)
        device.SetScissorRect(m_scissor);
    device.SetDepthStencilSurface(m_depthStencil.Get());
    device.SetRenderState(gfx::RenderState::ClipPlaneEnable, m_clipPlanes);
    device.SetRenderState(gfx::RenderState::ColorWriteEnable, m_colourWrites);
    Drop();
}

void SavedRenderTargets::Drop()
{
    m_target.Reset();
    m_depthStencil.Reset();
}

#include "render/PrerenderSurface.h"

#include "platform/gfx/Device.h"
#include "render/ABRender.h"
#include "render/PictureFit.h"
#include "render/ResourceLoading.h"

KXI_PrerenderSurface::KXI_PrerenderSurface(const KXI_PrerenderSurface& other)
    : KXI_LosableObj(other), m_width(other.m_width), m_height(other.m_height)
{
    if (other.m_texture)
        MakeTexture();
}

KXI_PrerenderSurface& KXI_PrerenderSurface::operator=(const KXI_PrerenderSurface& other)
{
    if (this == &other)
        return *this;
    m_width = other.m_width;
    m_height = other.m_height;
    m_texture.Reset();
    if (other.m_texture)
        MakeTexture();
    return *this;
}

bool KXI_PrerenderSurface::SetSize(std::int32_t width, std::int32_t height)
{
    m_width = width;
    m_height = height;
    return MakeTexture();
}

void KXI_PrerenderSurface::OnLostDevice()
{
    m_texture.Reset();
    // A saved target (the back buffer) held across the reset would keep the
    // device from being reset.
    m_saved.Drop();
}

void KXI_PrerenderSurface::OnResetDevice()
{
    MakeTexture();
}

bool KXI_PrerenderSurface::BeginRender(DS_ABRender& renderer)
{
    gfx::Device* device = GetResourceDevice();
    if (!device || !m_texture)
        return false;
    m_saved.Drop();
    if (!m_saved.Redirect(*device, m_texture.Get()))
        return false;
    renderer.PushView(static_cast<std::uint32_t>(m_width), static_cast<std::uint32_t>(m_height),
                      PicturePosition::kRenderTarget);
    device->Clear(0, nullptr, gfx::ClearFlags::Target, 0x00000000u, 1.0f, 0);
    return true;
}

gfx::Texture* KXI_PrerenderSurface::EndRender(DS_ABRender& renderer)
{
    if (!m_saved.IsSaved())
        return nullptr;
    if (gfx::Device* device = GetResourceDevice())
        m_saved.Restore(*device);
    else
        m_saved.Drop();
    renderer.PopView();
    return m_texture.Get();
}

bool KXI_PrerenderSurface::MakeTexture()
{
    m_texture.Reset();
    gfx::Device* device = GetResourceDevice();
    if (!device || m_width <= 0 || m_height <= 0)
        return false;
    return CreateRenderTargetTexture(*device, m_texture, static_cast<std::uint32_t>(m_width),
                                     static_cast<std::uint32_t>(m_height), gfx::Usage::RenderTarget) == gfx::kOk;
}

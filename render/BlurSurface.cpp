#include "render/BlurSurface.h"

#include <algorithm>

#include "platform/gfx/Device.h"
#include "render/ABRender.h"
#include "render/PictureFit.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"

namespace {

constexpr const char* kFirstVerticalTechnique = "GaussianBlurVFirst";
constexpr const char* kVerticalTechnique = "GaussianBlurV";
constexpr const char* kHorizontalTechnique = "GaussianBlurH";
constexpr std::uint32_t kTransparentBlack = 0x00000000u;

// One side of the blurred size: the view side reduced by `strength`
// percent, at least 1. A negative side counts as 0.
std::int32_t BlurredSide(std::int32_t viewSide, unsigned int strength)
{
    const double reduced = double(std::max(viewSide, 0)) * double(100u - strength) / 100.0;
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(reduced));
}

} // namespace

KXI_BlurSurface::KXI_BlurSurface() = default;

KXI_BlurSurface::KXI_BlurSurface(const KXI_BlurSurface& other)
    : KXI_LosableObj(other),
      strength(other.strength),
      m_effect(other.m_effect),
      m_viewWidth(other.m_viewWidth),
      m_viewHeight(other.m_viewHeight),
      m_blurredWidth(other.m_blurredWidth),
      m_blurredHeight(other.m_blurredHeight)
{
    if (other.m_textureA)
        Resize();
}

KXI_BlurSurface& KXI_BlurSurface::operator=(const KXI_BlurSurface& other)
{
    if (this == &other)
        return *this;
    m_effect = other.m_effect;
    m_viewWidth = other.m_viewWidth;
    m_viewHeight = other.m_viewHeight;
    ReleaseTextures();
    strength.QuietSet(other.strength.value);
    ComputeBlurredSize();
    if (other.m_textureA)
        Resize();
    return *this;
}

KXI_BlurSurface::~KXI_BlurSurface()
{
    ReleaseTextures();
}

void KXI_BlurSurface::SetViewSize(std::int32_t width, std::int32_t height)
{
    m_viewWidth = width;
    m_viewHeight = height;
}

void KXI_BlurSurface::ComputeBlurredSize()
{
    const unsigned int s = std::min(strength.value, kMaxStrength);
    m_blurredWidth = BlurredSide(m_viewWidth, s);
    m_blurredHeight = BlurredSide(m_viewHeight, s);
}

bool KXI_BlurSurface::Resize()
{
    ComputeBlurredSize();
    ReleaseTextures();
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return false;
    const auto width = static_cast<std::uint32_t>(m_blurredWidth);
    const auto height = static_cast<std::uint32_t>(m_blurredHeight);
    if (CreateRenderTargetTexture(*device, m_textureA, width, height, gfx::Usage::RenderTarget) != gfx::kOk ||
        CreateRenderTargetTexture(*device, m_textureB, width, height, gfx::Usage::RenderTarget) != gfx::kOk) {
        ReleaseTextures();
        return false;
    }
    return true;
}

void KXI_BlurSurface::ReleaseTextures()
{
    m_textureA.Reset();
    m_textureB.Reset();
}

void KXI_BlurSurface::OnLostDevice()
{
    ReleaseTextures();
    // A saved target (the back buffer) held across the reset would keep the
    // device from being reset.
    m_saved.Drop();
}

void KXI_BlurSurface::OnResetDevice()
{
    if (m_viewWidth != 0 && m_viewHeight != 0)
        Resize();
}

void KXI_BlurSurface::OnViewResize()
{
    const RenderContext* context = g_RenderContextTls;
    if (!context)
        return;
    m_viewWidth = TruncateToInt(context->pictureWidth);
    m_viewHeight = TruncateToInt(context->pictureHeight);
    if (m_viewWidth != 0 && m_viewHeight != 0)
        Resize();
}

bool KXI_BlurSurface::BeginCapture(DS_ABRender& renderer)
{
    gfx::Device* device = GetResourceDevice();
    if (!device || !m_textureA || !m_textureB)
        return false;
    m_saved.Drop();
    if (!m_saved.Redirect(*device, m_textureA.Get()))
        return false;
    renderer.PushView(static_cast<std::uint32_t>(m_blurredWidth), static_cast<std::uint32_t>(m_blurredHeight),
                      PicturePosition::kRenderTarget);
    device->Clear(0, nullptr, gfx::ClearFlags::Target, kTransparentBlack, 1.0f, 0);
    return true;
}

gfx::Texture* KXI_BlurSurface::Blur(DS_ABRender& renderer, std::int32_t passes)
{
    if (!m_saved.IsSaved())
        return nullptr;
    gfx::Device* device = GetResourceDevice();
    if (device && m_effect && m_textureA && m_textureB) {
        m_effect->SetFloat("TexW", static_cast<float>(m_blurredWidth));
        m_effect->SetFloat("TexH", static_cast<float>(m_blurredHeight));
        RunPass(*device, renderer, m_textureB.Get(), m_textureA.Get(), kFirstVerticalTechnique);
        RunPass(*device, renderer, m_textureA.Get(), m_textureB.Get(), kHorizontalTechnique);
        const std::int32_t extra = std::clamp(passes, 0, kMaxExtraPasses);
        for (std::int32_t pass = 0; pass < extra; ++pass) {
            RunPass(*device, renderer, m_textureB.Get(), m_textureA.Get(), kVerticalTechnique);
            RunPass(*device, renderer, m_textureA.Get(), m_textureB.Get(), kHorizontalTechnique);
        }
        // The effect keeps no reference to a target: default-pool textures
        // must all be gone before a lost device can be reset.
        m_effect->SetTexture("Texture", nullptr);
    }
    if (device)
        m_saved.Restore(*device);
    else
        m_saved.Drop();
    renderer.PopView();
    return m_textureA.Get();
}

void KXI_BlurSurface::RunPass(gfx::Device& device, DS_ABRender& renderer, gfx::Texture* target,
                              gfx::Texture* source, const char* technique)
{
    const gfx::Ref<gfx::Surface> level = target->SurfaceLevel(0);
    if (!level || device.SetRenderTarget(0, level.Get()) != gfx::kOk)
        return;
    device.Clear(0, nullptr, gfx::ClearFlags::Target, kTransparentBlack, 1.0f, 0);
    m_effect->SetTexture("Texture", source);
    m_effect->SetTechnique(technique);
    renderer.DrawWithEffect(renderer.GetBackgroundQuad(), *m_effect);
}

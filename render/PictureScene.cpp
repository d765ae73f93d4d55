// The picture scene's construction, stored form, device lifetime and views.
// Render targets and the objects' frame are in PictureSceneTargets.cpp, the
// draw operations in PictureSceneDraw.cpp.

#include "render/PictureScene.h"

#include <algorithm>
#include <limits>

#include "platform/gfx/Device.h"
#include "render/DocResManager.h"
#include "render/RenderContext.h"
#include "render/RenderTargetPairTextures.h"
#include "render/ResourceLoading.h"
#include "render/ScreenInfo.h"

namespace {

// The view stack shared by every picture scene (drawing thread only).
std::vector<QuadVertices>& ViewStack()
{
    static std::vector<QuadVertices> stack;
    return stack;
}

// ---- default device states -------------------------------------------------

enum class StateKind { Render, Sampler, Stage };

struct StateSetting {
    StateKind kind;
    std::uint32_t slot; // sampler or texture stage
    std::uint32_t state;
    std::uint32_t value;
};

constexpr StateSetting Render(gfx::RenderState state, std::uint32_t value)
{
    return {StateKind::Render, 0, static_cast<std::uint32_t>(state), value};
}

constexpr StateSetting Sampler(std::uint32_t sampler, gfx::SamplerState state, std::uint32_t value)
{
    return {StateKind::Sampler, sampler, static_cast<std::uint32_t>(state), value};
}

constexpr StateSetting Stage(std::uint32_t stage, gfx::TextureStageState state, std::uint32_t value)
{
    return {StateKind::Stage, stage, static_cast<std::uint32_t>(state), value};
}

constexpr std::uint32_t Value(auto enumerator)
{
    return static_cast<std::uint32_t>(enumerator);
}

using gfx::RenderState;
using gfx::SamplerState;
using gfx::TextureStageState;
namespace TextureArg = gfx::TextureArg;

// The states every scene draws with, in the order they are set after a
// device reset. Stage 0 passes the texture through; blending, when an
// operation turns it on, is the usual "source over".
constexpr StateSetting kResetStates[] = {
    Render(RenderState::ZEnable, gfx::kFalse),
    Render(RenderState::ZWriteEnable, gfx::kFalse),
    Render(RenderState::Lighting, gfx::kFalse),
    Sampler(0, SamplerState::MinFilter, Value(gfx::TextureFilter::Linear)),
    Sampler(0, SamplerState::MagFilter, Value(gfx::TextureFilter::Linear)),
    Sampler(0, SamplerState::AddressU, Value(gfx::TextureAddress::Mirror)),
    Sampler(0, SamplerState::AddressV, Value(gfx::TextureAddress::Mirror)),
    Stage(1, TextureStageState::TexCoordIndex, 1),
    Stage(0, TextureStageState::TexCoordIndex, 0),
    Stage(0, TextureStageState::ColorArg1, TextureArg::Texture),
    Stage(0, TextureStageState::ColorArg2, TextureArg::Current),
    Stage(1, TextureStageState::ColorArg1, TextureArg::Texture),
    Stage(0, TextureStageState::ColorArg1, TextureArg::Texture),
    Stage(0, TextureStageState::ColorArg2, TextureArg::Diffuse),
    Stage(0, TextureStageState::ColorOp, Value(gfx::TextureOp::Modulate)),
    Stage(0, TextureStageState::ColorOp, Value(gfx::TextureOp::SelectArg1)),
    Stage(1, TextureStageState::ColorOp, Value(gfx::TextureOp::Disable)),
    Render(RenderState::SrcBlend, Value(gfx::Blend::SrcAlpha)),
    Render(RenderState::DestBlend, Value(gfx::Blend::InvSrcAlpha)),
};

void ApplyState(gfx::Device& device, const StateSetting& setting)
{
    switch (setting.kind) {
    case StateKind::Render:
        device.SetRenderState(static_cast<RenderState>(setting.state), setting.value);
        return;
    case StateKind::Sampler:
        device.SetSamplerState(setting.slot, static_cast<SamplerState>(setting.state), setting.value);
        return;
    case StateKind::Stage:
        device.SetTextureStageState(setting.slot, static_cast<TextureStageState>(setting.state), setting.value);
        return;
    }
}

std::int32_t ToStoredInt(std::uint32_t value)
{
    return static_cast<std::int32_t>(std::min<std::uint32_t>(value, std::numeric_limits<std::int32_t>::max()));
}

} // namespace

// ---- construction and stored form ---------------------------------------------

DS_2D_Light::DS_2D_Light()
{
    m_controls.AddMemberCallback(&DS_2D_Light::OnResize, &m_backgroundLink);
}

DS_2D_Light::~DS_2D_Light() = default;

bool DS_2D_Light::ReadBody(ArchiveReader ar, std::int32_t version)
{
    if (version <= 1)
        return true;
    ReadImageFileLink(ar, m_backgroundLink);
    if (version >= 3) {
        const std::unique_ptr<DSM_Camera> camera = DSM_Camera::Load(ar);
        m_camera.CopyFrom(*camera);
    }
    return true;
}

void DS_2D_Light::Load(ArchiveReader ar, DS_2D_Light& light)
{
    const SectionHeader header = ar.ReadSectionHeader();
    light.ReadBody(ar, header.version);
}

void DS_2D_Light::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kStoredVersion);
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->RegisterImage(m_backgroundLink);
    WriteFileLink(ar, m_backgroundLink);
    m_camera.Save(ar);
}

// ---- device lifetime --------------------------------------------------------------

void DS_2D_Light::CreateDeviceObjects()
{
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    m_background.Build(*device);
    m_background.LoadImage(m_backgroundLink);
    if (RenderContext* context = g_RenderContextTls)
        context->ResetBorderBars(*device);
}

void DS_2D_Light::OnResetDevice()
{
    if (gfx::Device* device = GetResourceDevice())
        for (const StateSetting& setting : kResetStates)
            ApplyState(*device, setting);
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->OnResetDevice();
    m_pair.Create();
}

void DS_2D_Light::OnLostDevice()
{
    m_pair.ReleaseTextures();
    m_targetTexture.Reset();
}

void DS_2D_Light::OnResize()
{
    m_background.LoadImage(m_backgroundLink);
    m_camera.SetSize(GetWidth(), GetHeight());
    ApplyView(m_viewQuad);
}

// ---- views ---------------------------------------------------------------------------

void DS_2D_Light::ApplyCameraView(int mode, bool viewPushed)
{
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    m_camera.SetView(*device, m_viewQuad, PixelSize{GetWidth(), GetHeight()}, mode, viewPushed);
}

void DS_2D_Light::ApplyView(const QuadVertices& quad)
{
    if (!m_viewPushed)
        m_viewQuad = quad;
    const RenderContext* context = g_RenderContextTls;
    ApplyCameraView(context ? context->mode : m_pictureMode, m_viewPushed);
    PublishScreenInfo();
}

void DS_2D_Light::PublishScreenInfo()
{
    ScreenInfo* info = GetCurrentScreenInfoForWriting();
    if (!info)
        return;
    const FitRect view = ViewRectOfQuad(m_viewQuad);
    const int viewWidth = TruncateToInt(view.width);
    const int viewHeight = TruncateToInt(view.height);
    const auto pictureWidth = static_cast<float>(GetWidth());
    const auto pictureHeight = static_cast<float>(GetHeight());
    const FitEdges fitted = LetterboxPicture(pictureWidth, pictureHeight, static_cast<float>(viewWidth),
                                             static_cast<float>(viewHeight));

    gfx::SurfaceDesc backBuffer;
    if (const gfx::Device* device = GetResourceDevice())
        backBuffer = GetBackBufferDesc(*device);
    const auto backWidth = static_cast<float>(backBuffer.width);
    const auto backHeight = static_cast<float>(backBuffer.height);

    QuadVertices quad = QuadVertices::FromRect(fitted.left, fitted.top, fitted.Width(), fitted.Height());
    quad.ScaleToSize(backWidth, backHeight, viewWidth, viewHeight);

    info->scaleX = GuardedDivide(backWidth, static_cast<float>(viewWidth));
    info->scaleY = GuardedDivide(backHeight, static_cast<float>(viewHeight));
    info->quad = quad;
    info->pictureWidth = ToStoredInt(GetWidth());
    info->pictureHeight = ToStoredInt(GetHeight());
}

void DS_2D_Light::SetPictureMode(int mode)
{
    m_pictureMode = mode;
    ApplyCameraView(mode, false);
    ApplyView(m_viewQuad);
}

void DS_2D_Light::PushView(std::uint32_t width, std::uint32_t height, int mode)
{
    if (const RenderContext* context = g_RenderContextTls)
        m_pushedViewMode = context->mode;
    PushViewQuad(m_viewQuad);
    m_viewPushed = true;
    m_viewQuad = QuadVertices::FromRect(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height));
    ApplyCameraView(mode, true);
}

void DS_2D_Light::PopView()
{
    QuadVertices restored;
    if (!PopViewQuad(&restored))
        return;
    m_viewQuad = restored;
    if (ViewStack().empty())
        m_viewPushed = false;
    ApplyCameraView(m_pushedViewMode, false);
}

void DS_2D_Light::UpdateCamera(float time)
{
    m_camera.Update(time);
}

bool DS_2D_Light::SetCameraAnimated(bool on)
{
    const bool wasAnimated = m_camera.animate.value == 1;
    m_camera.animate.StoreValue(on ? 1 : 0);
    m_camera.Restart();
    const RenderContext* context = g_RenderContextTls;
    ApplyCameraView(context ? context->mode : m_pictureMode, false);
    return wasAnimated;
}

bool DS_2D_Light::IsCameraAnimated() const
{
    return m_camera.animate.value == 1;
}

bool DS_2D_Light::AddBoundingRect(BoundingRectList&) const
{
    return false;
}

bool DS_2D_Light::NeedsRenderTarget() const
{
    return false;
}

std::size_t DS_2D_Light::ViewStackDepth()
{
    return ViewStack().size();
}

void DS_2D_Light::PushViewQuad(const QuadVertices& quad)
{
    ViewStack().push_back(quad);
}

bool DS_2D_Light::PopViewQuad(QuadVertices* quad)
{
    std::vector<QuadVertices>& stack = ViewStack();
    if (stack.empty())
        return false;
    *quad = stack.back();
    stack.pop_back();
    return true;
}

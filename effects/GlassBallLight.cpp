#include "effects/GlassBallLight.h"

#include <cmath>

#include "effects/GlassBallTextures.h"
#include "effects/LightStageStates.h"
#include "objectmodel/StoredParams.h"
#include "platform/gfx/Device.h"
#include "platform/math/MathFunctions.h"
#include "render/ABObjConstructor.h"
#include "render/DocResManager.h"
#include "render/QuadBase.h"
#include "render/RenderContext.h"
#include "render/SharedResource.h"
#include "render/ViewState.h"

namespace {

using gfx::RenderState;
using gfx::SamplerState;
using gfx::TextureStageState;
namespace TextureArg = gfx::TextureArg;
using light_states::FloatBits;
using light_states::Stage;
using light_states::StageOps;
using light_states::Value;

constexpr float kFieldOfView = 0.7853982f;
constexpr float kNear = 1.0f;
constexpr float kFar = 3000.0f;
constexpr float kBaseCameraZ = -600.0f;
constexpr float kEyeZ = -2001.0f;
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;
// Turn speed of a version-1 record v reads as 2v / 3 + this.
constexpr std::uint32_t kVersion1TurnSpeedBase = 33;

// The ball and stand quads: XYZ | TEX2, the second set never written.
struct BallVertex {
    static constexpr std::uint32_t kFvf = 0x202;
    float x, y, z;
    float u, v;
    float u1 = 0.0f, v1 = 0.0f;
};
static_assert(sizeof(BallVertex) == 28);

constexpr std::array<BallVertex, 4> kBallCorners{{
    {-256.0f, -256.0f, 0.0f, 0.0f, 1.0f},
    {-256.0f, 256.0f, 0.0f, 0.0f, 0.0f},
    {256.0f, -256.0f, 0.0f, 1.0f, 1.0f},
    {256.0f, 256.0f, 0.0f, 1.0f, 0.0f},
}};
constexpr std::array<BallVertex, 4> kStandCorners{{
    {-230.4f, -372.19293f, 0.0f, 0.0f, 1.0f},
    {-230.4f, -185.61412f, 0.0f, 0.0f, 0.0f},
    {232.9f, -372.19293f, 0.0f, 1.0f, 1.0f},
    {232.9f, -185.61412f, 0.0f, 1.0f, 0.0f},
}};

// The turning clock every glass ball shares.
struct SharedTurnClock {
    float phase = 0.0f;
    float previous = 0.0f;
    bool started = false;
};

SharedTurnClock& TurnClock()
{
    static SharedTurnClock clock;
    return clock;
}

float Fraction(float value)
{
    return value - std::floor(value);
}

bool IsPositive(float value)
{
    return std::isfinite(value) && value > 0.0f;
}

gfx::Ref<gfx::VertexBuffer> MakeQuadBuffer(gfx::Device& device, const std::array<BallVertex, 4>& corners)
{
    gfx::VertexBuffer* raw = nullptr;
    if (device.CreateVertexBuffer(sizeof(corners), gfx::Usage::WriteOnly, BallVertex::kFvf, gfx::Pool::Managed,
                                  &raw) != gfx::kOk)
        return {};
    auto buffer = gfx::Ref<gfx::VertexBuffer>::Adopt(raw);
    BufferLock<BallVertex> lock(raw);
    if (lock.Holds(corners.size()))
        std::copy(corners.begin(), corners.end(), lock.Data());
    return buffer;
}

gfx::SurfaceDesc BackBufferSize(const gfx::Device& device)
{
    gfx::SurfaceDesc desc;
    device.GetBackBufferDesc(&desc);
    return desc;
}

std::array<math::Vec3, 4> Corners(const QuadVertices& quad)
{
    std::array<math::Vec3, 4> corners;
    for (std::size_t i = 0; i < corners.size(); ++i)
        corners[i] = {quad.vertices[i].x, quad.vertices[i].y, quad.vertices[i].z};
    return corners;
}

} // namespace

// ---- construction and stored form ---------------------------------------------

DS_GlassBallLight::DS_GlassBallLight()
    : overlayALink(kCommonResGlassBallOverlayPicture1, kxi_string(kCommonResModule)),
      overlayBLink(kCommonResGlassBallOverlayPicture2, kxi_string(kCommonResModule)),
      standLink(kCommonResGlassBallStandSet, kxi_string(kCommonResModule)),
      pictureLink(kCommonResBackgroundPicture, kxi_string(kCommonResModule))
{
}

DS_GlassBallLight::~DS_GlassBallLight() = default;

bool DS_GlassBallLight::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadImageFileLink(ar, overlayALink);
    ReadImageFileLink(ar, overlayBLink);
    ReadImageFileLink(ar, standLink);
    ReadImageFileLink(ar, pictureLink);
    ReadChangedParamValue(ar, turnSpeed);
    ReadParamValue(ar, ballOffsetX);
    ReadParamValue(ar, ballOffsetY);
    ReadParamValue(ar, ballSize);
    ReadParamValue(ar, lensStrength);
    ReadParamValue(ar, overlayAOn);
    ReadParamValue(ar, overlayBOn);
    ReadParamValue(ar, standOn);
    ReadParamValue(ar, backdropMode);
    ReadParamValue(ar, turnMode);
    for (SmartCOLORREF* colour : {&gradientTop, &gradientBottom}) {
        std::int32_t stored = 0;
        ReadStoredValue(ar, stored);
        colour->StoreValue(static_cast<COLORREF>(stored));
    }
    if (version < 2)
        turnSpeed.SetChangedValue(2 * turnSpeed.value / 3 + kVersion1TurnSpeedBase, nullptr);
    DS_2D_Light::Load(ar, *this);
    return true;
}

void DS_GlassBallLight::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kStoredVersion);
    DS_DocResManager* manager = CurrentDocResManager();
    for (const DS_ImageFileLink* link : {&overlayALink, &overlayBLink, &standLink, &pictureLink}) {
        if (manager)
            manager->RegisterImage(*link);
        WriteFileLink(ar, *link);
    }
    WriteParamValue(ar, turnSpeed);
    WriteParamValue(ar, ballOffsetX);
    WriteParamValue(ar, ballOffsetY);
    WriteParamValue(ar, ballSize);
    WriteParamValue(ar, lensStrength);
    WriteParamValue(ar, overlayAOn);
    WriteParamValue(ar, overlayBOn);
    WriteParamValue(ar, standOn);
    WriteParamValue(ar, backdropMode);
    WriteParamValue(ar, turnMode);
    WriteStoredValue(ar, static_cast<std::int32_t>(gradientTop.value));
    WriteStoredValue(ar, static_cast<std::int32_t>(gradientBottom.value));
    DS_2D_Light::Save(ar);
}

// ---- device lifetime ----------------------------------------------------------

void DS_GlassBallLight::CreateDeviceObjects()
{
    m_deviceObjectsComplete = false;
    DS_2D_Light::CreateDeviceObjects();
    gfx::Device* device = GetResourceDevice();
    DS_DocResManager* manager = CurrentDocResManager();
    if (!device)
        return;
    if (manager) {
        m_overlayA = manager->GetTexture(overlayALink).GetFirst().texture;
        m_overlayB = manager->GetTexture(overlayBLink).GetFirst().texture;
        m_stand = manager->GetTextureSet(standLink).GetFirst().texture;
    }
    m_bump = glass_ball::MakeBumpTexture(*device);
    m_mask = glass_ball::MakeMaskTexture(*device);
    m_gradient = glass_ball::MakeGradientTexture(*device, gradientTop.value, gradientBottom.value);
    const gfx::SurfaceDesc target = BackBufferSize(*device);
    const float width = static_cast<float>(target.width), height = static_cast<float>(target.height);
    m_backdrop.SetTextureFull(*device, m_gradient.Get(), width, height);
    m_scrollA.SetTextureFull(*device, nullptr, width, height);
    m_scrollB.SetTextureFull(*device, nullptr, width, height);
    m_ballBuffer = MakeQuadBuffer(*device, kBallCorners);
    if (!m_ballBuffer)
        return;
    for (ScreenQuad& bar : m_bars)
        bar.SetQuadAndColor(*device, QuadVertices::FromRect(0.0f, 0.0f, width, height), kOpaqueBlack);
    m_standBuffer = MakeQuadBuffer(*device, kStandCorners);
    if (!m_standBuffer)
        return;
    math::Matrix world, view, projection;
    math::MatrixScaling(&world, 0.5f, 0.5f, 0.5f);
    math::MatrixLookAtLH(&view, {0.0f, 0.0f, kEyeZ}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    math::MatrixPerspectiveFovLH(&projection, kFieldOfView, 1.0f, kNear, kFar);
    device->SetTransform(gfx::TransformState::World, world);
    device->SetTransform(gfx::TransformState::View, view);
    device->SetTransform(gfx::TransformState::Projection, projection);
    SelectBackdrop();
    LoadPicture();
    m_deviceObjectsComplete = m_bump && m_mask && m_gradient && m_backdrop.HasBuffer() && m_scrollA.HasBuffer() &&
                              m_scrollB.HasBuffer();
}

void DS_GlassBallLight::OnResetDevice()
{
    DS_2D_Light::OnResetDevice();
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    device->SetSamplerState(1, SamplerState::AddressU, Value(gfx::TextureAddress::Wrap));
    device->SetSamplerState(1, SamplerState::AddressV, Value(gfx::TextureAddress::Wrap));
    device->SetSamplerState(1, SamplerState::MinFilter, Value(gfx::TextureFilter::Linear));
    device->SetSamplerState(1, SamplerState::MagFilter, Value(gfx::TextureFilter::Linear));
    device->SetSamplerState(0, SamplerState::MinFilter, Value(gfx::TextureFilter::Linear));
    device->SetSamplerState(0, SamplerState::MagFilter, Value(gfx::TextureFilter::Linear));
    device->SetSamplerState(0, SamplerState::MipFilter, Value(gfx::TextureFilter::Linear));
    Stage(*device, 0, TextureStageState::BumpEnvMat00, FloatBits(0.2f));
    Stage(*device, 0, TextureStageState::BumpEnvMat01, 0);
    Stage(*device, 0, TextureStageState::BumpEnvMat10, 0);
    Stage(*device, 0, TextureStageState::BumpEnvMat11, FloatBits(0.25f));
    Stage(*device, 0, TextureStageState::BumpEnvLScale, FloatBits(1.0f));
    Stage(*device, 0, TextureStageState::BumpEnvLOffset, 0);
    Stage(*device, 0, TextureStageState::ColorArg1, TextureArg::Texture);
    // Stage 1's arguments for the ball; the stage itself runs only while the
    // ball is drawn, so the scene's own draws never read an empty stage.
    Stage(*device, 1, TextureStageState::ColorArg1, TextureArg::Texture);
    Stage(*device, 1, TextureStageState::ColorArg2, TextureArg::Current);
    Stage(*device, 1, TextureStageState::AlphaOp, Value(gfx::TextureOp::Disable));
}

void DS_GlassBallLight::OnLostDevice()
{
    DS_2D_Light::OnLostDevice();
    m_scrollA.ReleaseTexture();
    m_scrollB.ReleaseTexture();
}

// ---- backdrop and picture -----------------------------------------------------

int DS_GlassBallLight::BackdropPictureMode(int requested) const
{
    return backdropMode.value == 1 ? requested : PicturePosition::kFill;
}

void DS_GlassBallLight::SelectBackdrop()
{
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    const gfx::SurfaceDesc target = BackBufferSize(*device);
    const QuadVertices whole = QuadVertices::FromRect(0.0f, 0.0f, static_cast<float>(target.width),
                                                      static_cast<float>(target.height));
    if (backdropMode.value == 1) {
        m_backdrop.SetTexture(*device, m_picture.texture.Get(), whole);
        m_ballPictureMode = PicturePosition::kFit;
    } else {
        m_backdrop.SetTexture(*device, m_gradient.Get(), whole);
        m_ballPictureMode = PicturePosition::kFill;
    }
    ApplyView(m_viewQuad);
    ApplyView(m_viewQuad);
}

void DS_GlassBallLight::LoadPicture()
{
    DS_DocResManager* manager = CurrentDocResManager();
    gfx::Device* device = GetResourceDevice();
    if (!manager || !device)
        return;
    // A plain picture is no texture set: the link's picture then.
    const TextureSetEntry* entry = &manager->GetTextureSet(pictureLink);
    if (!entry->HasTexture())
        entry = &manager->GetTexture(pictureLink);
    m_picture = entry->GetFirst();
    if (backdropMode.value == 1) {
        const gfx::SurfaceDesc target = BackBufferSize(*device);
        m_backdrop.SetTexture(*device, m_picture.texture.Get(),
                              QuadVertices::FromRect(0.0f, 0.0f, static_cast<float>(target.width),
                                                     static_cast<float>(target.height)));
        ApplyView(m_viewQuad);
    }
}

// ---- views ------------------------------------------------------------------------

float DS_GlassBallLight::ViewWidth() const
{
    return ViewRectOfQuad(m_viewQuad).width;
}

float DS_GlassBallLight::ViewHeight() const
{
    return ViewRectOfQuad(m_viewQuad).height;
}

void DS_GlassBallLight::UpdateDerived()
{
    const float size = static_cast<float>(ballSize.value);
    const float e = static_cast<float>(lensStrength.value) * 0.5f;
    const float scale = (size * 0.75f / 100.0f + 0.25f) * (m_fitRatioY * m_zoomX);
    m_cameraZ = IsPositive(scale) ? kBaseCameraZ / scale : kBaseCameraZ;
    m_bumpScale = (m_fitRatioY * size * m_zoomX / 100.0f * 1.105f + 0.385f) * 1.05f * (e / 100.0f + 1.0f);
    m_swingAmplitude = e * 0.125f / 100.0f + 0.125f;
}

void DS_GlassBallLight::ApplyView(const QuadVertices& quad)
{
    DS_2D_Light::ApplyView(quad);
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    m_camera.SetView(*device, m_viewQuad, PixelSize{m_picture.width, m_picture.height}, m_ballPictureMode,
                     m_viewPushed);
    UpdateDerived();
    FitBackdrop(m_viewQuad);
    UpdateDerived();
    ApplyCameraView(PicturePosition::kFit, m_viewPushed);
}

void DS_GlassBallLight::FitBackdrop(const QuadVertices& quad)
{
    gfx::Device* device = GetResourceDevice();
    const RenderContext* context = g_RenderContextTls;
    if (!device || !context)
        return;
    const FitRect view = ViewRectOfQuad(quad);
    const float pw = static_cast<float>(m_picture.width), ph = static_cast<float>(m_picture.height);
    FitRect fitted = view;
    if (IsPositive(pw) && IsPositive(ph) && IsPositive(view.width) && IsPositive(view.height)) {
        const float r = ph / pw;
        if (r > view.height / view.width) {
            fitted.width = view.height / r;
            fitted.x = view.x + (view.width - fitted.width) * 0.5f;
        } else {
            fitted.height = view.width * r;
            fitted.y = view.y + (view.height - fitted.height) * 0.5f;
        }
    }
    QuadVertices fittedQuad = QuadVertices::FromRect(fitted.x, fitted.y, fitted.width, fitted.height);
    if (!m_ballViewPushed)
        fittedQuad.ScaleToTarget(*device, static_cast<int>(view.width), static_cast<int>(view.height));
    const float left = fittedQuad.vertices[0].x, right = fittedQuad.vertices[3].x;
    const float top = fittedQuad.vertices[1].y, bottom = fittedQuad.vertices[0].y;

    const ViewState& state = context->GetViewState();
    math::Matrix m;
    math::MatrixMultiply(&m, state.base, state.modeScale);
    m_zoomX = m.m[0][0];
    m_zoomY = m.m[1][1];
    m_panX = m.m[0][0] != 0.0f && IsPositive(pw) ? m.m[3][0] / m.m[0][0] * m_zoomX * (right - left) / pw : 0.0f;
    m_panY = m.m[1][1] != 0.0f && IsPositive(ph) ? m.m[3][1] / m.m[1][1] * m_zoomY * (bottom - top) / ph : 0.0f;

    QuadVertices backdrop = fittedQuad;
    for (QuadVertex& corner : backdrop.vertices) {
        corner.x = left + m_zoomX * (corner.x - left) + m_panX;
        corner.y = top + m_zoomY * (corner.y - top) + m_panY;
    }
    m_backdrop.SetPositions(Corners(backdrop));

    const float scaledLeft = m_zoomX * left, scaledWidth = m_zoomX * (right - left);
    const float scaledTop = m_zoomY * top, scaledHeight = m_zoomY * (bottom - top);
    const float denominatorX = scaledWidth + 2.0f * (std::trunc(scaledLeft) + 1.0f);
    const float denominatorY = scaledHeight + 2.0f * (std::trunc(scaledTop) + 1.0f);
    m_fitRatioX = denominatorX != 0.0f ? scaledWidth / denominatorX : 0.0f;
    m_fitRatioY = denominatorY != 0.0f ? scaledHeight / denominatorY : 0.0f;
    PlaceBars(left, right, top, bottom, scaledWidth, scaledHeight);
}

void DS_GlassBallLight::PlaceBars(float left, float right, float top, float bottom, float scaledWidth,
                                  float scaledHeight)
{
    const RenderContext* context = g_RenderContextTls;
    if (!context)
        return;
    const ViewState& state = context->GetViewState();
    const float pw = static_cast<float>(m_picture.width), ph = static_cast<float>(m_picture.height);
    const float sx = state.inverseModeScaleX, sy = state.inverseModeScaleY;
    const float lb = left + (IsPositive(pw) ? state.modeTranslationX * sx * scaledWidth / pw : 0.0f);
    const float rb = lb + sx * (right - left);
    const float tb = top + (IsPositive(ph) ? state.modeTranslationY * sy * scaledHeight / ph : 0.0f);
    const float bb = tb + sy * (bottom - top);
    const float sideWidth = std::trunc(lb) + 1.0f, capHeight = std::trunc(tb) + 1.0f;
    const float barHeight = std::trunc(bb - tb), barWidth = std::trunc(rb - lb);
    m_bars[kLeftBar].WritePositions(QuadVertices::FromRect(0.0f, 0.0f, sideWidth, barHeight));
    m_bars[kRightBar].WritePositions(QuadVertices::FromRect(rb, 0.0f, sideWidth, barHeight));
    m_bars[kTopBar].WritePositions(QuadVertices::FromRect(0.0f, 0.0f, barWidth, capHeight));
    m_bars[kBottomBar].WritePositions(QuadVertices::FromRect(0.0f, bb, barWidth, capHeight));
}

void DS_GlassBallLight::SetPictureMode(int pictureMode)
{
    m_ballPictureMode = BackdropPictureMode(pictureMode);
    ApplyView(m_viewQuad);
}

void DS_GlassBallLight::PushView(std::uint32_t width, std::uint32_t height, int pictureMode)
{
    m_savedPictureMode = m_ballPictureMode;
    m_savedViewQuad = m_viewQuad;
    m_ballViewPushed = true;
    if (pictureMode != PicturePosition::kRenderTarget) {
        m_ballPictureMode = BackdropPictureMode(pictureMode);
        ApplyView(m_viewQuad);
        ApplyView(QuadVertices::FromRect(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height)));
    }
    DS_2D_Light::PushView(width, height, pictureMode);
}

void DS_GlassBallLight::PopView()
{
    m_ballViewPushed = false;
    ApplyView(m_savedViewQuad);
    m_ballPictureMode = BackdropPictureMode(m_savedPictureMode);
    ApplyView(m_viewQuad);
    DS_2D_Light::PopView();
}

bool DS_GlassBallLight::NeedsRenderTarget() const
{
    return plain.value == 0;
}

bool DS_GlassBallLight::AddBoundingRect(BoundingRectList& rects) const
{
    return AddPictureBoundingRect(rects);
}

// ---- the turning clock ---------------------------------------------------------

float DS_GlassBallLight::SharedPhase()
{
    return TurnClock().phase;
}

void DS_GlassBallLight::UpdateCamera(float time)
{
    DS_2D_Light::UpdateCamera(time);
    ApplyView(m_viewQuad);
    ApplyTurn(time);
}

void DS_GlassBallLight::ApplyTurn(float time)
{
    if (turnMode.value == kNoTurn) {
        m_swing = 0.0f;
        return;
    }
    SharedTurnClock& clock = TurnClock();
    if (!clock.started) {
        clock.previous = time;
        clock.started = true;
    }
    clock.phase += (time - clock.previous) * turnSpeed.Scaled() * 0.0625f;
    if (turnMode.value == kScrollOneWay || turnMode.value == kScrollOtherWay) {
        m_swing = 0.0f;
        const float s = clock.phase * (turnMode.value == kScrollOneWay ? -0.5f : 0.5f);
        const float f = Fraction(s);
        const float w = static_cast<float>(m_pair.Width()), h = static_cast<float>(m_pair.Height());
        m_scrollA.SetPositions(Corners(QuadVertices::FromRect(w * f, 0.0f, w, h)));
        m_scrollB.SetPositions(Corners(QuadVertices::FromRect(w * (f - 1.0f), 0.0f, w, h)));
    } else if (turnMode.value == kSwing) {
        m_swing = std::fabs(Fraction(clock.phase * 0.5f) * 2.0f - 1.0f) * 2.0f - 1.0f;
    }
    clock.previous = time;
}

// ---- the ball's transforms ----------------------------------------------------

float DS_GlassBallLight::PictureAspect(bool bumpPass) const
{
    if (!bumpPass && backdropMode.value != 0)
        return m_picture.height > 0 ? static_cast<float>(m_picture.width) / static_cast<float>(m_picture.height)
                                    : 0.0f;
    return GetHeight() > 0 ? static_cast<float>(GetWidth()) / static_cast<float>(GetHeight()) : 0.0f;
}

bool DS_GlassBallLight::CanCompose() const
{
    if (!m_deviceObjectsComplete || !m_ballBuffer || !m_standBuffer)
        return false;
    if (!IsPositive(ViewWidth()) || !IsPositive(ViewHeight()) || !IsPositive(PictureAspect(true)) ||
        !IsPositive(PictureAspect(false)))
        return false;
    return IsPositive(m_fitRatioX) && IsPositive(m_fitRatioY) && IsPositive(m_zoomX) && IsPositive(m_zoomY);
}

void DS_GlassBallLight::SetBallTransforms(bool bumpPass)
{
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    float width = 0.0f, height = 0.0f;
    if (m_ballViewPushed) {
        width = ViewWidth();
        height = ViewHeight();
    } else {
        const gfx::SurfaceDesc target = BackBufferSize(*device);
        width = static_cast<float>(target.width);
        height = static_cast<float>(target.height);
    }
    float x = ((static_cast<float>(ballOffsetX.value) + 250.0f) * m_zoomX - 250.0f +
               m_panX * 500.0f / width / m_fitRatioX) *
              (m_cameraZ / -600.0f);
    float y = ((static_cast<float>(ballOffsetY.value) + 250.0f) * m_zoomY - 250.0f +
               m_panY * 500.0f / height / m_fitRatioY) *
              (m_cameraZ / 600.0f);
    if (backdropMode.value == 1) {
        y *= m_fitRatioY;
        x *= ViewWidth() / ViewHeight() * m_fitRatioX;
    }
    float tx = 0.0f, ty = 0.0f, depthScale = m_fitRatioY;
    if (bumpPass) {
        const float k = 1.5f - static_cast<float>(lensStrength.value / 2) * 0.01f;
        const float r = PictureAspect(true);
        tx = m_swingAmplitude * m_swing - (x / width) * k / r;
        ty = (y / height) * k;
        depthScale = m_bumpScale;
    }
    math::Matrix world, view, projection;
    math::MatrixTranslation(&world, x, y, 0.0f);
    math::MatrixLookAtLH(&view, {0.0f, 0.0f, m_cameraZ}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    math::MatrixPerspectiveFovLH(&projection, kFieldOfView, ViewWidth() / ViewHeight(), kNear, kFar);
    device->SetTransform(gfx::TransformState::World, world);
    device->SetTransform(gfx::TransformState::View, view);
    device->SetTransform(gfx::TransformState::Projection, projection);

    math::Matrix p;
    math::MatrixPerspectiveFovLH(&p, kFieldOfView, PictureAspect(bumpPass), kNear, kFar);
    const float d =
        std::sqrt(view.m[3][0] * view.m[3][0] + view.m[3][1] * view.m[3][1] + view.m[3][2] * view.m[3][2]) *
        depthScale;
    const float den = p.m[2][2] * d + p.m[2][3];
    m_textureMatrix = math::Matrix{};
    m_textureMatrix.m[0][0] = p.m[0][0] / den * 0.5f;
    m_textureMatrix.m[1][1] = p.m[1][1] / den * -0.5f;
    m_textureMatrix.m[0][1] = m_textureMatrix.m[1][0] = m_textureMatrix.m[2][0] = m_textureMatrix.m[2][1] = 0.0f;
    m_textureMatrix.m[3][0] = Fraction(tx) + 0.5f;
    m_textureMatrix.m[3][1] = ty + 0.5f;
    device->SetTransform(gfx::TransformState::Texture1, m_textureMatrix);
    Stage(*device, 1, TextureStageState::TextureTransformFlags, gfx::TextureTransform::Count2);
    Stage(*device, 1, TextureStageState::TexCoordIndex, gfx::TexCoordIndex::CameraSpacePosition | 1u);
}

// ---- drawing ------------------------------------------------------------------------

void DS_GlassBallLight::DrawBackground(bool)
{
    // The scene always starts from a cleared target.
    DS_2D_Light::DrawBackground(false);
}

void DS_GlassBallLight::DrawBallStrip(gfx::Device& device, gfx::VertexBuffer* buffer) const
{
    device.SetFVF(BallVertex::kFvf);
    device.SetStreamSource(0, buffer, 0, sizeof(BallVertex));
    device.DrawPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 2);
}

void DS_GlassBallLight::DrawBars()
{
    if (backdropMode.value != 1 || m_ballPictureMode != PicturePosition::kFit)
        return;
    for (ScreenQuad& bar : m_bars)
        DrawColorQuad(&bar);
}

void DS_GlassBallLight::DrawFallback(gfx::Device& device, RenderContext& context, gfx::Texture* scene)
{
    device.SetRenderState(RenderState::AlphaBlendEnable, gfx::kFalse);
    Stage(device, 0, TextureStageState::ColorArg1, TextureArg::Texture);
    StageOps(device, 0, gfx::TextureOp::SelectArg1, gfx::TextureOp::SelectArg1);
    Stage(device, 1, TextureStageState::ColorOp, Value(gfx::TextureOp::Disable));
    DrawPictureQuad(device, context, scene);
}

void DS_GlassBallLight::DrawBorderBars(bool skip)
{
    if (plain.value != 0) {
        DS_2D_Light::DrawBorderBars(skip);
        return;
    }
    gfx::Device* device = GetResourceDevice();
    RenderContext* context = g_RenderContextTls;
    if (!device || !context)
        return;
    // Without its pass the frame went straight to the target.
    if (!InRenderTarget()) {
        DrawBars();
        return;
    }
    device->SetRenderState(RenderState::AlphaBlendEnable, gfx::kFalse);
    if (turnMode.value == kScrollOneWay || turnMode.value == kScrollOtherWay) {
        if (gfx::Texture* drawn = NextPingPongTarget()) {
            Stage(*device, 0, TextureStageState::ColorArg1, TextureArg::Texture);
            StageOps(*device, 0, gfx::TextureOp::SelectArg1, gfx::TextureOp::SelectArg1);
            Stage(*device, 1, TextureStageState::ColorOp, Value(gfx::TextureOp::Disable));
            for (TexturedQuad* scroll : {&m_scrollA, &m_scrollB}) {
                scroll->Bind(*device);
                device->SetTexture(0, drawn);
                scroll->DrawStrip(*device);
            }
        }
    }
    gfx::Texture* scene = EndRenderTarget(false);
    if (scene) {
        if (CanCompose())
            Compose(*device, *context);
        else
            DrawFallback(*device, *context, scene);
    }
    DrawBars();
}

void DS_GlassBallLight::Compose(gfx::Device& device, RenderContext&)
{
    gfx::Texture* scene = m_pair.CurrentTexture();
    // The backdrop.
    Stage(device, 0, TextureStageState::ColorArg1, TextureArg::Texture);
    StageOps(device, 0, gfx::TextureOp::SelectArg1, gfx::TextureOp::SelectArg1);
    Stage(device, 1, TextureStageState::ColorOp, Value(gfx::TextureOp::Disable));
    Stage(device, 1, TextureStageState::TextureTransformFlags, gfx::TextureTransform::Disable);
    m_backdrop.Bind(device);
    m_backdrop.DrawStrip(device);

    // The scene through the hemisphere.
    SetBallTransforms(true);
    device.SetTexture(0, m_bump.Get());
    device.SetTexture(1, scene);
    Stage(device, 0, TextureStageState::TexCoordIndex, 0);
    Stage(device, 0, TextureStageState::ColorArg2, TextureArg::Current);
    StageOps(device, 0, gfx::TextureOp::BumpEnvMap, gfx::TextureOp::Disable);
    Stage(device, 0, TextureStageState::BumpEnvMat00, FloatBits(0.2f));
    Stage(device, 0, TextureStageState::BumpEnvMat01, 0);
    Stage(device, 0, TextureStageState::BumpEnvMat10, 0);
    Stage(device, 0, TextureStageState::BumpEnvMat11, FloatBits(0.25f));
    Stage(device, 1, TextureStageState::ColorArg1, TextureArg::Texture);
    Stage(device, 1, TextureStageState::ColorArg2, TextureArg::Current);
    StageOps(device, 1, gfx::TextureOp::SelectArg1, gfx::TextureOp::Disable);
    DrawBallStrip(device, m_ballBuffer.Get());

    // Overlays, blended.
    SetBallTransforms(false);
    device.SetRenderState(RenderState::AlphaBlendEnable, gfx::kTrue);
    device.SetRenderState(RenderState::SrcBlend, Value(gfx::Blend::SrcAlpha));
    device.SetRenderState(RenderState::DestBlend, Value(gfx::Blend::InvSrcAlpha));
    Stage(device, 0, TextureStageState::AlphaArg1, TextureArg::Texture);
    StageOps(device, 0, gfx::TextureOp::Modulate, gfx::TextureOp::SelectArg1);
    device.SetTexture(1, nullptr);
    Stage(device, 1, TextureStageState::ColorOp, Value(gfx::TextureOp::Disable));
    const std::pair<bool, gfx::Texture*> overlays[] = {{overlayAOn.value != 0, m_overlayA.Get()},
                                                       {overlayBOn.value != 0, m_overlayB.Get()}};
    for (const auto& [on, texture] : overlays)
        if (on && texture) {
            device.SetTexture(0, texture);
            DrawBallStrip(device, m_ballBuffer.Get());
        }

    // The mask brings the backdrop back around the disc.
    gfx::SurfaceDesc target;
    device.GetBackBufferDesc(&target);
    const float width = m_ballViewPushed ? ViewWidth() : static_cast<float>(target.width);
    const float height = m_ballViewPushed ? ViewHeight() : static_cast<float>(target.height);
    device.SetTexture(0, m_mask.Get());
    device.SetTexture(1, m_backdrop.Texture());
    StageOps(device, 1, gfx::TextureOp::SelectArg1, gfx::TextureOp::Disable);
    math::Matrix backdropMatrix = m_textureMatrix;
    backdropMatrix.m[0][0] /= m_zoomX;
    backdropMatrix.m[1][1] /= m_zoomY;
    backdropMatrix.m[3][0] = (backdropMatrix.m[3][0] - m_panX / width / m_fitRatioX) / m_zoomX;
    backdropMatrix.m[3][1] = (backdropMatrix.m[3][1] - m_panY / height / m_fitRatioY) / m_zoomY;
    device.SetTransform(gfx::TransformState::Texture1, backdropMatrix);
    DrawBallStrip(device, m_ballBuffer.Get());

    // The stand.
    device.SetTexture(1, nullptr);
    Stage(device, 1, TextureStageState::ColorOp, Value(gfx::TextureOp::Disable));
    if (standOn.value != 0 && m_stand) {
        device.SetTexture(0, m_stand.Get());
        DrawBallStrip(device, m_standBuffer.Get());
    }
    device.SetTexture(0, nullptr);
    device.SetRenderState(RenderState::AlphaBlendEnable, gfx::kFalse);
    Stage(device, 1, TextureStageState::TextureTransformFlags, gfx::TextureTransform::Disable);
    Stage(device, 1, TextureStageState::TexCoordIndex, 1);
    StageOps(device, 0, gfx::TextureOp::SelectArg1, gfx::TextureOp::SelectArg1);
}

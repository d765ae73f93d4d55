#include "effects/WaterRingLight.h"

#include <cmath>

#include "effects/LightStageStates.h"
#include "objectmodel/StoredParams.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Surface.h"
#include "platform/math/MathFunctions.h"
#include "render/ABObjConstructor.h"
#include "render/DocResManager.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"

namespace {

using gfx::RenderState;
using gfx::SamplerState;
using gfx::TextureStageState;
namespace TextureArg = gfx::TextureArg;
using light_states::Value;

constexpr math::Vec3 kEye{0.0f, DS_WaterRingLight::kCameraHeight, 0.0f};
constexpr float kHalfPlaneHeight = DS_WaterRingLight::kPlaneHeight * 0.5f;
// The shade-mode value of Gouraud shading (the only one the device knows).
constexpr std::uint32_t kGouraudShading = 2;

void SetLit(gfx::Device& device, bool on)
{
    device.SetRenderState(RenderState::Lighting, on ? gfx::kTrue : gfx::kFalse);
    device.SetRenderState(RenderState::SpecularEnable, on ? gfx::kTrue : gfx::kFalse);
}

void SelectTextureStage0(gfx::Device& device)
{
    device.SetTextureStageState(0, TextureStageState::ColorOp, Value(gfx::TextureOp::SelectArg1));
    device.SetTextureStageState(0, TextureStageState::ColorArg1, TextureArg::Texture);
    device.SetTextureStageState(0, TextureStageState::ColorArg2, TextureArg::Current);
    device.SetTextureStageState(0, TextureStageState::AlphaOp, Value(gfx::TextureOp::SelectArg1));
    device.SetTextureStageState(0, TextureStageState::AlphaArg1, TextureArg::Texture);
    device.SetTextureStageState(0, TextureStageState::AlphaArg2, TextureArg::Current);
}

// Runs a base draw of the objects with fixed-function lighting off.
template <class Draw>
void Unlit(Draw&& draw)
{
    if (gfx::Device* device = GetResourceDevice())
        device->SetRenderState(RenderState::Lighting, gfx::kFalse);
    draw();
}

bool IsUsable(float value)
{
    return std::isfinite(value) && value > 0.0f;
}

} // namespace

// ---- construction and stored form ------------------------------------------------

DS_WaterRingLight::DS_WaterRingLight() = default;
DS_WaterRingLight::~DS_WaterRingLight() = default;

bool DS_WaterRingLight::ReadBody(ArchiveReader ar, std::int32_t version)
{
    if (version > 1) {
        ReadParamValue(ar, timeStepValue);
        ReadParamValue(ar, densityValue);
        ReadParamValue(ar, resolutionValue);
        ReadParamValue(ar, dropStrengthValue);
        ReadParamValue(ar, dampingValue);
        ReadParamValue(ar, refractionDepthValue);
        ReadChangedParamValue(ar, dropRate);
        ReadChangedParamValue(ar, specularLevel);
        ReadChangedParamValue(ar, specularPower);
    }
    ReadParamValue(ar, mode);
    DS_2D_Light::Load(ar, *this);
    return true;
}

void DS_WaterRingLight::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kStoredVersion);
    for (const auto* value : {&timeStepValue, &densityValue, &resolutionValue, &dropStrengthValue, &dampingValue,
                              &refractionDepthValue})
        WriteParamValue(ar, *value);
    WriteParamValue(ar, dropRate);
    WriteParamValue(ar, specularLevel);
    WriteParamValue(ar, specularPower);
    WriteParamValue(ar, mode);
    DS_2D_Light::Save(ar);
}

// ---- grid factors ---------------------------------------------------------------------

float DS_WaterRingLight::TimeStepFactor() const
{
    return 1.0f + static_cast<float>(timeStepValue.value) * 0.02f;
}

float DS_WaterRingLight::RowDensity() const
{
    return 1.0f + static_cast<float>(densityValue.value) * 0.01f;
}

float DS_WaterRingLight::Resolution() const
{
    return 1.0f + static_cast<float>(resolutionValue.value) * 0.01f;
}

float DS_WaterRingLight::DropStrength() const
{
    return static_cast<float>(dropStrengthValue.value) * 0.01f * 0.7f + 0.1f;
}

float DS_WaterRingLight::Damping() const
{
    const float value = static_cast<float>(dampingValue.value);
    if (dampingValue.value < 50)
        return 0.9f + value * 0.09f * 0.02f;
    return 0.99f + (value - 50.0f) * 0.009f * 0.02f;
}

float DS_WaterRingLight::RefractionDepth() const
{
    return static_cast<float>(refractionDepthValue.value) * 0.01f;
}

float DS_WaterRingLight::PictureRatio() const
{
    if (GetWidth() == 0 || GetHeight() == 0)
        return 0.0f;
    return static_cast<float>(GetHeight()) / static_cast<float>(GetWidth());
}

// ---- device lifetime ------------------------------------------------------------------

void DS_WaterRingLight::SetupGrid()
{
    const float ratio = PictureRatio();
    if (!IsUsable(ratio) || !IsUsable(kPlaneHeight / ratio))
        return;
    m_grid.Init(Resolution(), kPlaneHeight / ratio, kPlaneHeight, RowDensity());
    m_grid.AddDrop();
}

void DS_WaterRingLight::CreateDeviceObjects()
{
    DS_2D_Light::CreateDeviceObjects();
    m_grid.BuildRefractionTable();
    math::MatrixRotationX(&m_waterCamera, -1.5707964f);
    m_waterCamera.m[3][0] = kEye.x;
    m_waterCamera.m[3][1] = kEye.y;
    m_waterCamera.m[3][2] = kEye.z;
    math::MatrixInverse(&m_view, nullptr, m_waterCamera);
    m_grid.timeStep = TimeStepFactor();
    m_grid.dropStrength = DropStrength();
    m_grid.damping = Damping();
    m_grid.refractionDepth = RefractionDepth();
    SetupGrid();
    const float level = specularLevel.Scaled();
    m_material = gfx::Material{};
    m_material.diffuse = {0.0f, 0.0f, 0.0f, 1.0f};
    m_material.specular = {level, level, level, 0.0f};
    m_material.power = specularPower.Scaled();
    if (gfx::Device* device = GetResourceDevice())
        device->SetMaterial(m_material);
}

void DS_WaterRingLight::SetLightAndMaterial(gfx::Device& device) const
{
    gfx::Light light;
    light.type = gfx::LightType::Directional;
    light.diffuse = m_lightColour;
    light.specular = {1.0f, 1.0f, 1.0f, 0.0f};
    light.direction = m_lightDirection;
    device.SetLight(0, light);
    device.LightEnable(0, true);
    device.SetMaterial(m_material);
}

void DS_WaterRingLight::OnResetDevice()
{
    if (gfx::Device* device = GetResourceDevice()) {
        device->SetRenderState(RenderState::SrcBlend, Value(gfx::Blend::SrcAlpha));
        device->SetRenderState(RenderState::DestBlend, Value(gfx::Blend::InvSrcAlpha));
        SetLightAndMaterial(*device);
        device->SetFVF(0x002); // XYZ
        device->SetTransform(gfx::TransformState::View, m_view);
        device->SetTransform(gfx::TransformState::World, m_world);
        SetLit(*device, false);
        device->SetRenderState(RenderState::ZFunc, Value(gfx::Cmp::LessEqual));
        device->SetRenderState(RenderState::CullMode, Value(gfx::Cull::None));
        device->SetRenderState(RenderState::ShadeMode, kGouraudShading);
        for (std::uint32_t stage : {0u, 1u}) {
            device->SetTextureStageState(stage, TextureStageState::ColorArg1, TextureArg::Texture);
            device->SetTextureStageState(stage, TextureStageState::ColorArg2, TextureArg::Current);
            device->SetTextureStageState(stage, TextureStageState::AlphaOp, Value(gfx::TextureOp::Disable));
            device->SetTextureStageState(stage, TextureStageState::AlphaArg1, TextureArg::Texture);
            device->SetTextureStageState(stage, TextureStageState::AlphaArg2, TextureArg::Current);
            device->SetTextureStageState(stage, TextureStageState::TexCoordIndex, 0);
        }
        device->SetTextureStageState(1, TextureStageState::ColorOp, Value(gfx::TextureOp::Disable));
        device->SetRenderState(RenderState::ZEnable, gfx::kFalse);
        device->SetSamplerState(0, SamplerState::MinFilter, Value(gfx::TextureFilter::Linear));
        device->SetSamplerState(0, SamplerState::MagFilter, Value(gfx::TextureFilter::Linear));
        device->SetSamplerState(0, SamplerState::AddressU, Value(gfx::TextureAddress::Mirror));
        device->SetSamplerState(0, SamplerState::AddressV, Value(gfx::TextureAddress::Mirror));
    }
    SetupGrid();
    ApplyView(m_viewQuad);
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->OnResetDevice();
    m_pair.Create();
}

void DS_WaterRingLight::OnLostDevice()
{
    DS_2D_Light::OnLostDevice();
    m_grid.ReleaseBuffers();
}

// ---- the clock ------------------------------------------------------------------------

void DS_WaterRingLight::UpdateCamera(float time)
{
    DS_2D_Light::UpdateCamera(time);
    if (m_lastDropTime > time)
        m_lastDropTime = time;
    const float rate = dropRate.Scaled();
    if (rate > 0.0f && time - m_lastDropTime > 1.0f / rate) {
        m_grid.AddDrop();
        m_lastDropTime = time;
    }
    m_grid.Step(kEye);
}

// ---- views ------------------------------------------------------------------------------

void DS_WaterRingLight::ApplyView(const QuadVertices& quad)
{
    const auto& v = quad.vertices;
    if (v[0].x == v[3].x || v[1].y == v[2].y)
        return;
    DS_2D_Light::ApplyView(quad);
    gfx::Device* device = GetResourceDevice();
    const float ratio = PictureRatio();
    if (!device || !IsUsable(ratio))
        return;
    gfx::Surface* rawTarget = nullptr;
    if (device->GetRenderTarget(0, &rawTarget) != gfx::kOk || !rawTarget)
        return;
    const auto target = gfx::Ref<gfx::Surface>::Adopt(rawTarget);
    gfx::SurfaceDesc desc;
    target->GetDesc(&desc);
    const float a = kPlaneHeight / ratio * 0.5f;
    const float c = static_cast<float>(desc.width) / static_cast<float>(GetWidth()) * a;
    const float e = static_cast<float>(desc.height) / static_cast<float>(GetHeight()) * kHalfPlaneHeight;
    math::MatrixOrthoOffCenterRH(&m_projection, -a, c - (a - c), -(e - (kHalfPlaneHeight - e)), kHalfPlaneHeight,
                                 -1.0f, 2000.0f);
    device->SetTransform(gfx::TransformState::Projection, m_projection);
}

void DS_WaterRingLight::SetPictureModeViews(int pictureMode)
{
    m_pictureMode = pictureMode;
    ApplyCameraView(pictureMode, false);
    DS_2D_Light::ApplyView(m_viewQuad);
    ApplyView(m_viewQuad);
}

void DS_WaterRingLight::SetPictureMode(int pictureMode)
{
    SetPictureModeViews(pictureMode);
}

bool DS_WaterRingLight::BeginRenderTarget()
{
    if (!DS_2D_Light::BeginRenderTarget())
        return false;
    // The picture stretches over the pass's texture, which the water then
    // lays over the view; the mode in use comes back when the pass ends.
    m_modeBeforePass = m_pictureMode;
    if (mode.value != kFrameMode)
        SetPictureModeViews(PicturePosition::kStretch);
    return true;
}

gfx::Texture* DS_WaterRingLight::EndRenderTarget(bool clear)
{
    if (InRenderTarget() && mode.value != kFrameMode)
        SetPictureModeViews(m_modeBeforePass);
    return DS_2D_Light::EndRenderTarget(clear);
}

bool DS_WaterRingLight::NeedsRenderTarget() const
{
    return mode.value == kFrameMode;
}

bool DS_WaterRingLight::AddBoundingRect(BoundingRectList& rects) const
{
    return AddPictureBoundingRect(rects);
}

// ---- drawing ------------------------------------------------------------------------------

math::Matrix DS_WaterRingLight::WaterWorld(math::Matrix m) const
{
    const float width = m_grid.PlaneWidth(), height = m_grid.PlaneHeight();
    const float pictureWidth = static_cast<float>(GetWidth()), pictureHeight = static_cast<float>(GetHeight());
    // The picture camera's pan as a fraction of the plane; the matrix keeps
    // the camera's zoom but not its pan.
    float a = 0.0f, b = 0.0f;
    if (m.m[0][0] != 0.0f && pictureWidth > 0.0f)
        a = width * (m.m[3][0] / m.m[0][0]) / pictureWidth;
    if (m.m[1][1] != 0.0f && pictureHeight > 0.0f)
        b = height * (m.m[3][1] / m.m[1][1]) / pictureHeight;
    m.m[3][0] = 0.0f;
    m.m[3][1] = 0.0f;
    math::Matrix toPlane, fromPlane, world;
    math::MatrixTranslation(&toPlane, width * 0.5f + a, 0.0f, height * 0.5f + b);
    math::MatrixTranslation(&fromPlane, -width * 0.5f, height * 0.5f, 0.0f);
    math::MatrixMultiply(&world, toPlane, m_view);
    math::MatrixMultiply(&world, world, m);
    math::MatrixMultiply(&world, world, fromPlane);
    return world;
}

bool DS_WaterRingLight::DrawWater(gfx::Texture* texture)
{
    gfx::Device* device = GetResourceDevice();
    RenderContext* context = g_RenderContextTls;
    if (!device || !context || !texture || !IsUsable(PictureRatio()) || !m_grid.Vertices() || !m_grid.Indices())
        return false;
    std::uint32_t clipPlanes = 0;
    device->GetRenderState(RenderState::ClipPlaneEnable, &clipPlanes);
    device->SetRenderState(RenderState::ClipPlaneEnable, 0);
    ApplyView(m_viewQuad);
    SelectTextureStage0(*device);
    device->SetTransform(gfx::TransformState::World, m_world);
    math::Matrix m;
    context->GetWorldMatrix(&m, m_world);
    math::MatrixMultiply(&m, m, context->view);
    m_lastWaterWorld = WaterWorld(m);
    device->SetTransform(gfx::TransformState::Projection, m_projection);
    device->SetTransform(gfx::TransformState::View, m_world);
    device->SetTransform(gfx::TransformState::World, m_lastWaterWorld);
    SetLightAndMaterial(*device);
    device->SetShaderProgram(nullptr);
    device->SetTexture(0, texture);
    const bool drawn = m_grid.Draw() == gfx::kOk;
    device->SetRenderState(RenderState::ClipPlaneEnable, clipPlanes);
    return drawn;
}

void DS_WaterRingLight::DrawBackground(bool noClear)
{
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    SetLit(*device, true);
    if (mode.value == kFrameMode) {
        device->SetRenderState(RenderState::Lighting, gfx::kFalse);
        SelectTextureStage0(*device);
        DS_2D_Light::DrawBackground(noClear);
    } else {
        // Outside the plane the target shows black, as around a picture.
        if (!noClear)
            device->Clear(0, nullptr, gfx::ClearFlags::Target, 0x00000000u, 1.0f, 0);
        Background().Bind(*device);
        DrawWater(PictureTexture());
    }
    SetLit(*device, false);
}

void DS_WaterRingLight::DrawBorderBars(bool skip)
{
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    SetLit(*device, true);
    if (mode.value == kFrameMode) {
        gfx::Texture* frame = EndRenderTarget(true);
        // A frame no water could be drawn over is shown as it is.
        if (frame && !DrawWater(frame)) {
            SetLit(*device, false);
            device->SetRenderState(RenderState::AlphaBlendEnable, gfx::kFalse);
            SelectTextureStage0(*device);
            if (RenderContext* context = g_RenderContextTls)
                DrawPictureQuad(*device, *context, frame);
        }
    }
    SetLit(*device, false);
    if (!skip)
        DS_2D_Light::DrawBorderBars(false);
}

HRESULT DS_WaterRingLight::DrawColorQuad(ScreenQuad* screenQuad)
{
    const HRESULT result = DS_2D_Light::DrawColorQuad(screenQuad);
    if (gfx::Device* device = GetResourceDevice())
        device->SetRenderState(RenderState::AlphaBlendEnable, gfx::kFalse);
    return result;
}

HRESULT DS_WaterRingLight::DrawTexturedQuad(TexturedQuad& texturedQuad)
{
    gfx::Device* device = GetResourceDevice();
    if (device) {
        device->SetRenderState(RenderState::ZEnable, gfx::kFalse);
        device->SetRenderState(RenderState::AlphaBlendEnable, gfx::kFalse);
        device->SetTextureStageState(0, TextureStageState::ColorOp, Value(gfx::TextureOp::SelectArg1));
    }
    const HRESULT result = DS_2D_Light::DrawTexturedQuad(texturedQuad);
    if (device) {
        device->SetRenderState(RenderState::ZEnable, gfx::kFalse);
        device->SetRenderState(RenderState::AlphaBlendEnable, gfx::kFalse);
    }
    return result;
}

void DS_WaterRingLight::DrawIndexedOptionalEffect(QuadBatchBuffer& batch, gfx::Effect* effect,
                                                  std::uint32_t firstQuad, std::uint32_t quadCount)
{
    Unlit([&] { DS_2D_Light::DrawIndexedOptionalEffect(batch, effect, firstQuad, quadCount); });
}

void DS_WaterRingLight::DrawSpriteList(MeshItem& list)
{
    Unlit([&] { DS_2D_Light::DrawSpriteList(list); });
}

void DS_WaterRingLight::DrawTexturedBatch(DS_SpriteArrayObj& batch)
{
    Unlit([&] { DS_2D_Light::DrawTexturedBatch(batch); });
}

void DS_WaterRingLight::DrawMeshList(TexturedBatch& list)
{
    Unlit([&] { DS_2D_Light::DrawMeshList(list); });
}

#include "effects/FlameLight.h"

#include "objectmodel/StoredParams.h"
#include "platform/gfx/Device.h"
#include "render/DocResManager.h"
#include "render/EffectResolution.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"
#include "render/SharedResource.h"

namespace {

// The quads' corners until the picture's size is known.
constexpr float kStartWidth = 800.0f;
constexpr float kStartHeight = 600.0f;
// The flame's texture stops short of the pattern's bottom row.
constexpr float kFlameBottomV = 0.95f;
constexpr std::string_view kHazeBuiltinEffect = "heat-distortion";
constexpr std::string_view kHazeTechnique = "BumpmapDistortLow2";
constexpr float kHazeSpeedScale = 0.001f;
constexpr std::uint32_t kHazeSpeed = 50;
constexpr std::int32_t kFirstVersionWithEmbeddedFire = 2;
constexpr int kLinearSamplers = 4;

} // namespace

// ---- FlameHeatDistortion

FlameHeatDistortion::FlameHeatDistortion()
    : bumpLink(kCommonResHeatBumpPicture, kxi_string(kCommonResModule)),
      effectLink(kCommonResHeatHazeEffect, kxi_string(kCommonResModule))
{
    speed.Rescale(kHazeSpeedScale, 0.0f);
    speed.SetValue(kHazeSpeed, nullptr);
}

bool FlameHeatDistortion::CreateDeviceObjects(gfx::Device& device)
{
    quad.SetVertices(device, {TexturedQuadVertex{0.0f, kStartHeight, 0.0f, 0.0f, 1.0f},
                              TexturedQuadVertex{0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
                              TexturedQuadVertex{kStartWidth, kStartHeight, 0.0f, 1.0f, 1.0f},
                              TexturedQuadVertex{kStartWidth, 0.0f, 0.0f, 1.0f, 0.0f}});
    bumpTexture = FirstTextureOfLink(bumpLink);
    if (DS_DocResManager* manager = CurrentDocResManager())
        effect = ResolveEffectWithFallback(*manager, effectLink, kHazeBuiltinEffect,
                                           BuiltinEffectRule::ForUnrunnableBytesOnly)
                     .effect;
    else
        effect.Reset();
    return static_cast<bool>(effect);
}

void FlameHeatDistortion::Resize(float width, float height)
{
    quad.SetPositions({math::Vec3{0.0f, height, 0.0f}, math::Vec3{0.0f, 0.0f, 0.0f},
                       math::Vec3{width, height, 0.0f}, math::Vec3{width, 0.0f, 0.0f}});
    if (width != 0.0f)
        aspect = height / width;
}

void FlameHeatDistortion::Update(float time)
{
    if (!effect)
        return;
    speed.Advance(time);
    SetInputs();
}

void FlameHeatDistortion::SetInputs()
{
    effect->SetFloat("stenght", strength.Scaled() * kStrengthFactor);
    const float q = Phase();
    const float offset[2] = {q, -q};
    effect->SetFloatArray("Offset", offset, 2);
    const float k = bumpScale.Scaled();
    const float scale[2] = {k, k * aspect};
    effect->SetFloatArray("bump_scale", scale, 2);
}

bool FlameHeatDistortion::Draw(DS_ABRender& host, gfx::Texture* frame)
{
    if (!CanDraw())
        return false;
    SetInputs();
    effect->SetTexture("Background", frame);
    effect->SetTexture("Bumpmap", bumpTexture.Get());
    effect->SetTechnique(kHazeTechnique);
    host.DrawWithEffect(quad, *effect);
    return true;
}

// ---- DS_FlameLight

DS_FlameLight::DS_FlameLight()
{
    fire.patternLink.StorePathAndId(kxi_string(kCommonResModule), kCommonResFlamePatternPicture);
}

std::array<math::Vec3, 4> DS_FlameLight::FlameCorners(float width, float height, std::uint32_t offset)
{
    const float bottom = (1.0f + static_cast<float>(offset) * kOffsetStep) * height;
    const float top = bottom - kFlameHeight * height;
    return {math::Vec3{0.0f, top, 0.0f}, math::Vec3{width, top, 0.0f}, math::Vec3{0.0f, bottom, 0.0f},
            math::Vec3{width, bottom, 0.0f}};
}

void DS_FlameLight::PlaceFlameQuad()
{
    flameQuad.SetPositions(
        FlameCorners(static_cast<float>(GetWidth()), static_cast<float>(GetHeight()), flameOffset.value));
}

void DS_FlameLight::CreateDeviceObjects()
{
    DS_2D_Light::CreateDeviceObjects();
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    flameQuad.SetVertices(*device, {TexturedQuadVertex{0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
                                    TexturedQuadVertex{kStartWidth, 0.0f, 0.0f, 1.0f, 0.0f},
                                    TexturedQuadVertex{0.0f, kStartHeight, 0.0f, 0.0f, kFlameBottomV},
                                    TexturedQuadVertex{kStartWidth, kStartHeight, 0.0f, 1.0f, kFlameBottomV}});
    if (!haze.CreateDeviceObjects(*device))
        heatFlag.SetValue(0, nullptr);
    DS_2D_Light::OnResize();
    ApplyView(m_viewQuad);
    haze.Resize(static_cast<float>(GetWidth()), static_cast<float>(GetHeight()));
    PlaceFlameQuad();
    gfx::Ref<gfx::Texture> noMask;
    fire.Attach(&noMask);
}

void DS_FlameLight::OnResetDevice()
{
    if (gfx::Device* device = GetResourceDevice()) {
        using gfx::RenderState;
        using gfx::SamplerState;
        using gfx::TextureStageState;
        device->SetRenderState(RenderState::CullMode, static_cast<std::uint32_t>(gfx::Cull::None));
        device->SetRenderState(RenderState::Lighting, gfx::kFalse);
        device->SetTransform(gfx::TransformState::World, math::Matrix{});
        device->SetTextureStageState(1, TextureStageState::TexCoordIndex, 1);
        device->SetTextureStageState(0, TextureStageState::TexCoordIndex, 0);
        device->SetTextureStageState(0, TextureStageState::ColorArg1, gfx::TextureArg::Texture);
        device->SetTextureStageState(0, TextureStageState::ColorArg2, gfx::TextureArg::Current);
        device->SetTextureStageState(1, TextureStageState::ColorArg1, gfx::TextureArg::Texture);
        device->SetTextureStageState(0, TextureStageState::ColorOp,
                                     static_cast<std::uint32_t>(gfx::TextureOp::SelectArg1));
        device->SetTextureStageState(1, TextureStageState::ColorOp, static_cast<std::uint32_t>(gfx::TextureOp::Disable));
        for (int sampler = 0; sampler < kLinearSamplers; ++sampler) {
            const auto slot = static_cast<std::uint32_t>(sampler);
            device->SetSamplerState(slot, SamplerState::MinFilter, static_cast<std::uint32_t>(gfx::TextureFilter::Linear));
            device->SetSamplerState(slot, SamplerState::MagFilter, static_cast<std::uint32_t>(gfx::TextureFilter::Linear));
        }
        device->SetRenderState(RenderState::AlphaBlendEnable, gfx::kTrue);
        device->SetRenderState(RenderState::SrcBlend, static_cast<std::uint32_t>(gfx::Blend::SrcAlpha));
        device->SetRenderState(RenderState::DestBlend, static_cast<std::uint32_t>(gfx::Blend::InvSrcAlpha));
        device->SetSamplerState(0, SamplerState::AddressU, static_cast<std::uint32_t>(gfx::TextureAddress::Clamp));
        device->SetSamplerState(0, SamplerState::AddressV, static_cast<std::uint32_t>(gfx::TextureAddress::Clamp));
        device->SetRenderState(RenderState::ZEnable, gfx::kFalse);
    }
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->OnResetDevice();
    ApplyView(m_viewQuad);
    m_pair.Create();
}

void DS_FlameLight::DrawBackground(bool noClear)
{
    DS_2D_Light::DrawBackground(noClear);
    if (fireFlag.value != 0)
        fire.DrawAsEffect(*this, flameQuad);
}

void DS_FlameLight::DrawBorderBars(bool skip)
{
    if (heatFlag.value != 0) {
        // Only a pass of the light's own gives a finished frame; without
        // one (heat flag 2, or no pair) the frame is already on the target.
        if (gfx::Texture* frame = EndRenderTarget(false); frame && !haze.Draw(*this, frame))
            DrawFramePlainly(frame);
    }
    gfx::Device* device = GetResourceDevice();
    if (device)
        device->SetRenderState(gfx::RenderState::CullMode, static_cast<std::uint32_t>(gfx::Cull::None));
    DS_2D_Light::DrawBorderBars(skip);
    if (device)
        device->SetRenderState(gfx::RenderState::AlphaBlendEnable, gfx::kTrue);
}

void DS_FlameLight::UpdateCamera(float time)
{
    fire.Update(time);
    m_camera.Update(time);
    haze.Update(time);
}

bool DS_FlameLight::NeedsRenderTarget() const
{
    return heatFlag.value == 1;
}

void DS_FlameLight::OnResize()
{
    DS_2D_Light::OnResize();
    ApplyView(m_viewQuad);
    haze.Resize(static_cast<float>(GetWidth()), static_cast<float>(GetHeight()));
    PlaceFlameQuad();
}

// ---- stored form

void ReadEmbeddedFireFX(ArchiveReader ar, DS_FireFX& fire)
{
    ReadEmbeddedEffect(ar, fire);
}

bool DS_FlameLight::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadParamValue(ar, fireFlag);
    ReadParamValue(ar, heatFlag);
    ReadParamValue(ar, flameOffset);
    if (version < kFirstVersionWithEmbeddedFire)
        ReadParamValue(ar, fire.speed);
    ReadImageFileLink(ar, haze.bumpLink);
    ReadFileLink(ar, haze.effectLink);
    ReadParamValue(ar, haze.speed);
    ReadChangedParamValue(ar, haze.strength);
    ReadChangedParamValue(ar, haze.bumpScale);
    if (version < kFirstVersionWithEmbeddedFire) {
        DS_ImageFileLink dropped;
        ReadImageFileLink(ar, dropped);
        ReadImageFileLink(ar, dropped);
    } else {
        ReadEmbeddedFireFX(ar, fire);
    }
    DS_2D_Light::Load(ar, *this);
    return true;
}

void DS_FlameLight::Save(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager()) {
        manager->RegisterImage(haze.bumpLink);
        manager->RegisterLink(haze.effectLink);
    }
    WriteLevelHeader(ar, kClassName, kWrittenVersion);
    WriteParamValue(ar, fireFlag);
    WriteParamValue(ar, heatFlag);
    WriteParamValue(ar, flameOffset);
    WriteFileLink(ar, haze.bumpLink);
    WriteFileLink(ar, haze.effectLink);
    WriteParamValue(ar, haze.speed);
    WriteParamValue(ar, haze.strength);
    WriteParamValue(ar, haze.bumpScale);
    fire.Save(ar);
    DS_2D_Light::Save(ar);
}

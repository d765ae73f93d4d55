#include "effects/DayNightHeatFX.h"

#include <cmath>

#include "effects/FireFX.h"
#include "objectmodel/StoredParams.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/Device.h"
#include "render/ABRender.h"
#include "render/ResourceLoading.h"
#include "render/SharedResource.h"

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kShimmerSpeedScale = 0.001f;
constexpr std::uint32_t kDefaultShimmerSpeed = 1;
constexpr std::int32_t kHeatGridCells = 2;

} // namespace

// ---- DS_DayToNight

std::unique_ptr<DS_FX_Constructor> DS_DayToNight::Clone() const
{
    return std::make_unique<DS_DayToNight>(*this);
}

void DS_DayToNight::Attach(gfx::Ref<gfx::Texture>* holder)
{
    AttachWithGrid(holder);
}

float DS_DayToNight::Fade() const
{
    return std::sin(TimelineLevel() * kHalfPi);
}

void DS_DayToNight::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    SetCommonParams(host);
    const auto rgb = ColourRefToFloats(multiplyColour.value);
    const float multiply[4] = {rgb[0], rgb[1], rgb[2], 1.0f};
    effect->SetFloatArray("mul_color", multiply, 4);
    const float softLight[4] = {softLightColour.r, softLightColour.g, softLightColour.b, softLightColour.a};
    effect->SetFloatArray("soft_light_color", softLight, 4);
    effect->SetFloat("Fade", Fade());
    effect->SetFloat("Disaturate", desaturation.Scaled());
    DrawWithTechnique(host);
}

void DS_DayToNight::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadParamValue(ar, multiplyColour);
    ReadColorHSB(ar, softLightColour);
    ReadChangedParamValue(ar, desaturation);
    DS_FX_Constructor::Load(ar, *this);
}

void DS_DayToNight::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, multiplyColour);
    WriteColorHSB(ar, softLightColour);
    WriteParamValue(ar, desaturation);
    SaveFxLevel(ar);
}

// ---- DS_HeatDistortion

DS_HeatDistortion::DS_HeatDistortion()
{
    shimmerSpeed.Rescale(kShimmerSpeedScale, 0.0f);
    shimmerSpeed.SetValue(kDefaultShimmerSpeed, nullptr);
}

std::unique_ptr<DS_FX_Constructor> DS_HeatDistortion::Clone() const
{
    return std::make_unique<DS_HeatDistortion>(*this);
}

void DS_HeatDistortion::Attach(gfx::Ref<gfx::Texture>* holder)
{
    DS_FX_Constructor::Attach(holder);
    if (gfx::Device* device = GetResourceDevice())
        grid.BuildGrid(*device, kHeatGridCells, kHeatGridCells);
    RebuildQuadMesh();
    bumpTexture = FirstTextureOfLink(CommonResImageLink(kCommonResHeatBumpPicture));
}

void DS_HeatDistortion::Update(float localTime)
{
    DS_FX_Constructor::Update(localTime);
    shimmerSpeed.Advance(localTime);
}

void DS_HeatDistortion::Apply(DS_ABRender& host)
{
    float width = 0.0f, height = 0.0f;
    if (!ReadyToApply(host) || !HostPictureSize(host, width, height))
        return;
    SetCommonParams(host);
    effect->SetFloat("stenght", strength.Scaled() * kStrengthFactor);
    const float q = ShimmerPhase();
    const float offset[2] = {q, -q};
    effect->SetFloatArray("Offset", offset, 2);
    const float k = bumpScale.Scaled();
    const float bump[2] = {k, k * height / width};
    effect->SetFloatArray("bump_scale", bump, 2);
    effect->SetTexture("Bumpmap", bumpTexture.Get());
    DrawWithTechnique(host);
}

void DS_HeatDistortion::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadParamValue(ar, shimmerSpeed);
    ReadChangedParamValue(ar, strength);
    ReadChangedParamValue(ar, bumpScale);
    DS_FX_Constructor::Load(ar, *this);
}

void DS_HeatDistortion::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, shimmerSpeed);
    WriteParamValue(ar, strength);
    WriteParamValue(ar, bumpScale);
    SaveFxLevel(ar);
}

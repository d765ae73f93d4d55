#include "effects/WaterfallCloudFX.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/StoredParams.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/QuadTextured.h"
#include "render/ScreenInfo.h"

namespace {

// The noise scrolls a tenth of the layers' way per phase unit.
constexpr float kNoiseDrift = 0.1f;

std::array<float, 3> Rgb(COLORREF colour)
{
    return {static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
            static_cast<float>((colour >> 16) & 0xFF) / 255.0f};
}

// The first frame of the picture `link` names in the current document.
gfx::Ref<gfx::Texture> FirstFrame(const DS_ImageFileLink& link)
{
    DS_DocResManager* manager = CurrentDocResManager();
    if (!manager)
        return {};
    return manager->GetTexture(link).GetFirst().texture;
}

} // namespace

// ---- DS_WaterfallFX

DS_WaterfallFX::DS_WaterfallFX()
{
    SetSpeed(0.02f, 1);
    magnitude.Rescale(0.004f, 0.0f);
}

std::unique_ptr<DS_FX_Constructor> DS_WaterfallFX::Clone() const
{
    return std::make_unique<DS_WaterfallFX>(*this);
}

void DS_WaterfallFX::Attach(gfx::Ref<gfx::Texture>* holder)
{
    layers.resize(std::min(layerCount.value, kMaxLayers));
    noiseTexture = FirstFrame(noiseLink);
    AttachWithGrid(holder);
}

void DS_WaterfallFX::Update(float localTime)
{
    DS_FX_Constructor::Update(localTime);
    const float p = Phase();
    const float m = magnitude.Scaled();
    const float peak = translucency.Scaled();
    const float stagger = layers.empty() ? 0.0f : 1.0f / static_cast<float>(layers.size());
    float q = p;
    for (Layer& layer : layers) {
        const float f = q - std::trunc(q);
        layer.shiftX = -direction.x * f * m;
        layer.shiftY = -direction.y * f * m;
        layer.translucency = (1.0f - std::fabs(2.0f * f - 1.0f)) * peak;
        q += stagger;
    }
    const float s = SamplingScale();
    noiseShift = {-direction.x * kNoiseDrift * p / s, -direction.y * kNoiseDrift * p / s};
}

void DS_WaterfallFX::Apply(DS_ABRender& host)
{
    float width = 0.0f, height = 0.0f;
    if (!ReadyToApply(host) || !HostPictureSize(host, width, height))
        return;
    // The light cleared the target for a mode: the picture goes back first,
    // hidden or not, so that only the region changes.
    if (mode.value != 0)
        RestoreComposite(host);
    effect->SetTexture("Mask", GetTextureHolder()->Get());
    effect->SetTexture("Background", host.GetTargetTexture());
    if (hidden.value != 0)
        return;
    if (noiseAmplitude.value > 0 && noiseTexture)
        DrawNoise(host, width, height);
    if (!layers.empty())
        DrawLayers(host);
}

void DS_WaterfallFX::DrawNoise(DS_ABRender& host, float width, float height)
{
    const float s = SamplingScale();
    effect->SetTexture("NoiseMap", noiseTexture.Get());
    effect->SetTechnique("Noise");
    effect->SetFloatArray("noise_shift", noiseShift.data(), 2);
    const float bumpScale[2] = {width / height / s, 1.0f / s};
    effect->SetFloatArray("bump_scale", bumpScale, 2);
    effect->SetFloat("noise_amplitude", noiseAmplitude.Scaled());
    host.DrawIndexedWithEffect(grid, *effect);
}

void DS_WaterfallFX::DrawLayers(DS_ABRender& host)
{
    effect->SetTechnique("ColorWaves");
    const std::array<float, 3> base = Rgb(baseColour.value);
    effect->SetFloatArray("base_color", base.data(), 3);
    effect->SetFloat("treshold", threshold.Scaled());
    for (const Layer& layer : layers) {
        const float shift[2] = {layer.shiftX, layer.shiftY};
        effect->SetFloatArray("shift", shift, 2);
        effect->SetFloat("transluency", layer.translucency);
        host.DrawIndexedWithEffect(grid, *effect);
    }
}

void DS_WaterfallFX::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadChangedParamValue(ar, translucency);
    ReadParamValue(ar, layerCount);
    ReadChangedParamValue(ar, noiseAmplitude);
    ReadChangedParamValue(ar, spare);
    ReadChangedParamValue(ar, threshold);
    ReadImageFileLink(ar, noiseLink);
    ReadParamValue(ar, baseColour);
    ReadParamValue(ar, hidden);
    DS_DirectionBased::Load(ar, *this);
}

void DS_WaterfallFX::Save(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->RegisterImage(noiseLink);
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, translucency);
    WriteParamValue(ar, layerCount);
    WriteParamValue(ar, noiseAmplitude);
    WriteParamValue(ar, spare);
    WriteParamValue(ar, threshold);
    WriteFileLink(ar, noiseLink);
    WriteParamValue(ar, baseColour);
    WriteParamValue(ar, hidden);
    SaveDirectionLevel(ar);
}

// ---- CloudPerspective

void CloudPerspective::SetParams(gfx::Effect& effect) const
{
    // The horizon is at least its offset 1: no division by 0.
    const float b = horizon.Scaled();
    const float c = height.Scaled();
    const float e = shift.Scaled();
    effect.SetFloat("PX_Transform", (b - 1.0f) / b);
    effect.SetFloat("PY_TransformH", c / b + 1.0f);
    effect.SetFloat("PY_TransformZ", c);
    const float flipped[4] = {1.0f, -1.0f, -e, 1.0f};
    const float upright[4] = {1.0f, 1.0f, -e, 0.0f};
    effect.SetFloatArray("tex_shift", flip.value != 0 ? flipped : upright, 4);
}

void CloudPerspective::Read(ArchiveReader ar)
{
    ReadChangedParamValue(ar, horizon);
    ReadChangedParamValue(ar, height);
    ReadChangedParamValue(ar, shift);
    ReadParamValue(ar, flip);
    ReadChangedParamValue(ar, spare1);
    ReadChangedParamValue(ar, spare2);
}

void CloudPerspective::Write(ArchiveWriter ar) const
{
    WriteParamValue(ar, horizon);
    WriteParamValue(ar, height);
    WriteParamValue(ar, shift);
    WriteParamValue(ar, flip);
    WriteParamValue(ar, spare1);
    WriteParamValue(ar, spare2);
}

// ---- DS_CloudFX

DS_CloudFX::DS_CloudFX()
{
    SetSpeed(0.001f, 1);
    scale.Rescale(0.008f, 0.0f);
}

std::unique_ptr<DS_FX_Constructor> DS_CloudFX::Clone() const
{
    return std::make_unique<DS_CloudFX>(*this);
}

void DS_CloudFX::Attach(gfx::Ref<gfx::Texture>* holder)
{
    cloudTexture = FirstFrame(cloudLink);
    AttachWithGrid(holder);
}

void DS_CloudFX::RebuildQuadMesh()
{
    if (!grid.vertices.Buffer())
        return;
    const ScreenInfo& screen = GetScreenInfo();
    if (screen.pictureWidth <= 0 || screen.pictureHeight <= 0)
        return;
    static constexpr float kRegionUv[4][2] = {{0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}};
    TexturedQuadVertex corners[4];
    for (int i = 0; i < 4; ++i) {
        const math::Vec3& corner = region.corners[i].value;
        corners[i] = {corner.x, corner.y, corner.z, kRegionUv[i][0], kRegionUv[i][1]};
    }
    FillGridFromCorners(grid, corners[0], corners[1], corners[2], corners[3]);
    const float wp = static_cast<float>(screen.pictureWidth);
    const float hp = static_cast<float>(screen.pictureHeight);
    maskShift = {(corners[2].x - corners[0].x) / wp, corners[0].x / wp, (corners[3].y - corners[2].y) / hp,
                 corners[0].y / hp};
}

void DS_CloudFX::Apply(DS_ABRender& host)
{
    float width = 0.0f, height = 0.0f;
    if (!ReadyToApply(host) || !HostPictureSize(host, width, height))
        return;
    if (mode.value != 0)
        RestoreComposite(host);
    if (!cloudTexture)
        return;
    effect->SetTexture("Mask", GetTextureHolder()->Get());
    effect->SetTexture("Background", cloudTexture.Get());
    const float s = SamplingScale();
    const float scaleXY[2] = {width / height / s, 1.0f / s};
    effect->SetFloatArray("Scale", scaleXY, 2);
    effect->SetFloat("Threshold", threshold.Scaled());
    effect->SetFloat("Density", density.Scaled());
    const std::array<float, 3> k1 = Rgb(colour1.value);
    const std::array<float, 3> k2 = Rgb(colour2.value);
    effect->SetFloatArray("ColorK1", k1.data(), 3);
    effect->SetFloatArray("ColorK2", k2.data(), 3);
    const float p = Phase();
    const float velocity[2] = {-direction.x * p, -direction.y * p};
    effect->SetFloatArray("Velocity", velocity, 2);
    effect->SetFloatArray("mask_tex_shift", maskShift.data(), 4);
    perspective.SetParams(*effect);
    DrawWithTechnique(host);
}

void DS_CloudFX::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadParamValue(ar, colour1);
    ReadParamValue(ar, colour2);
    ReadImageFileLink(ar, cloudLink);
    ReadImageFileLink(ar, secondLink);
    ReadChangedParamValue(ar, threshold);
    ReadChangedParamValue(ar, density);
    perspective.Read(ar);
    DS_DirectionBased::Load(ar, *this);
}

void DS_CloudFX::Save(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager()) {
        manager->RegisterImage(cloudLink);
        manager->RegisterImage(secondLink);
    }
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, colour1);
    WriteParamValue(ar, colour2);
    WriteFileLink(ar, cloudLink);
    WriteFileLink(ar, secondLink);
    WriteParamValue(ar, threshold);
    WriteParamValue(ar, density);
    perspective.Write(ar);
    SaveDirectionLevel(ar);
}

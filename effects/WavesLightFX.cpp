#include "effects/WavesLightFX.h"

#include <cmath>

#include "objectmodel/StoredParams.h"
#include "particles/engine/PerlinNoise.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/SharedResource.h"

namespace {

constexpr float kDegreesToRadians = 3.1415927f / 180.0f;
// The effect's "time" input per unit of phase.
constexpr float kTimePerPhase = 0.08f;
constexpr std::int32_t kTimedCategory = 1;

// Flicker: the pulse runs at 0.2 of the phase; the noise at 10 x the phase.
constexpr float kPulseRate = 0.2f;
constexpr float kNoiseRate = 10.0f;
constexpr std::int32_t kNoiseOctaves = 2;
constexpr double kNoisePeriod = 75.0;
constexpr double kNoisePersistence = 0.5;

// Blend techniques of light II by blend mode.
constexpr std::string_view kBlendTechniques[DS_LightFX_II::kBlendModeCount] = {
    "Blend_Normal", "Blend_Screen", "Blend_ColorDodge", "Linear_Dodge", "Blend_Sum"};
// Version 1 records' blend mode 3 is the sum of later versions.
constexpr std::int32_t kVersion1Sum = 3;
constexpr std::int32_t kSum = 4;

} // namespace

float FlickerSine(float phase)
{
    return (std::sin(kPulseRate * phase) + 1.0f) * 0.5f;
}

float FlickerSwitch(float phase)
{
    return FlickerSine(phase) > 0.5f ? 1.0f : 0.0f;
}

float FlickerNoise(float phase)
{
    const double noise = SumPerlinOctaves(kNoiseOctaves, kNoiseRate * phase, kNoisePeriod, kNoisePersistence);
    return (static_cast<float>(noise) + 1.0f) * 0.5f;
}

// ---- DS_WavesFX

DS_WavesFX::DS_WavesFX()
{
    SetCommonResEffect(kCommonResWavesEffect);
    SetSpeed(1.0f, 25);
    MarkTimed(kTimedCategory);
    WatchAngles();
}

DS_WavesFX::DS_WavesFX(const DS_WavesFX& other)
    : DS_FX_Constructor(other), amplitude(other.amplitude), wavelength(other.wavelength), angle(other.angle),
      reverse(other.reverse)
{
    WatchAngles();
}

void DS_WavesFX::WatchAngles()
{
    m_callbacks.AddMemberCallback(&DS_WavesFX::UpdateDirections, &angle);
    m_callbacks.AddMemberCallback(&DS_WavesFX::UpdateDirections, &reverse);
    UpdateDirections();
}

void DS_WavesFX::UpdateDirections()
{
    const std::int32_t turn = 360 - static_cast<std::int32_t>(angle.value);
    math::Matrix rotation;
    math::MatrixRotationZ(&rotation, static_cast<float>(turn) * kDegreesToRadians);
    math::Vec4Transform(&direction, math::Vec4{1.0f, 0.0f, 0.0f, 0.0f}, rotation);
    const math::Vec4 across = reverse.value == 0 ? math::Vec4{0.0f, 1.0f, 0.0f, 0.0f} : math::Vec4{-1.0f, 0.0f, 0.0f, 0.0f};
    math::Vec4Transform(&second, across, rotation);
}

std::unique_ptr<DS_FX_Constructor> DS_WavesFX::Clone() const
{
    return std::make_unique<DS_WavesFX>(*this);
}

void DS_WavesFX::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    const float travel[2] = {-direction.x, -direction.y};
    effect->SetFloatArray("direction", travel, 2);
    const float across[2] = {second.x, second.y};
    effect->SetFloatArray("direction_n", across, 2);
    const float length = wavelength.Scaled();
    effect->SetFloat("frequency", length == 0.0f ? 0.0f : 1.0f / length);
    effect->SetFloat("amplitude", amplitude.Scaled() * TimelineLevel());
    effect->SetFloat("time", Phase() * kTimePerPhase);
    SetCommonParamsAndDraw(host);
}

void DS_WavesFX::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadChangedParamValue(ar, amplitude);
    ReadChangedParamValue(ar, wavelength);
    ReadParamValue(ar, angle);
    ReadParamValue(ar, reverse);
    DS_FX_Constructor::Load(ar, *this);
}

void DS_WavesFX::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, amplitude);
    WriteParamValue(ar, wavelength);
    WriteParamValue(ar, angle);
    WriteParamValue(ar, reverse);
    SaveFxLevel(ar);
}

// ---- DS_LightFX

DS_LightFX::DS_LightFX()
{
    SetCommonResEffect(kCommonResLightEffect);
    SetSpeed(1.0f, 40);
    MarkTimed(kTimedCategory);
}

std::unique_ptr<DS_FX_Constructor> DS_LightFX::Clone() const
{
    return std::make_unique<DS_LightFX>(*this);
}

float DS_LightFX::Flicker() const
{
    if (flickerMode.value <= 0)
        return FlickerSine(Phase());
    if (flickerMode.value == 1)
        return FlickerSwitch(Phase());
    return FlickerNoise(Phase());
}

void DS_LightFX::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    effect->SetFloat("multiplier", strength.Scaled() * Flicker() * TimelineLevel());
    SetCommonParamsAndDraw(host);
}

void DS_LightFX::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadChangedParamValue(ar, strength);
    ReadParamValue(ar, flickerMode);
    DS_FX_Constructor::Load(ar, *this);
}

void DS_LightFX::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, strength);
    WriteParamValue(ar, flickerMode);
    SaveFxLevel(ar);
}

// ---- DS_LightFX_II

std::unique_ptr<DS_FX_Constructor> DS_LightFX_II::Clone() const
{
    return std::make_unique<DS_LightFX_II>(*this);
}

void DS_LightFX_II::Attach(gfx::Ref<gfx::Texture>* holder)
{
    AttachWithGrid(holder);
}

std::int32_t DS_LightFX_II::PlayedBlendMode() const
{
    return blendMode.value >= 0 && blendMode.value < kBlendModeCount ? blendMode.value : 0;
}

int DS_LightFX_II::NeedsRenderTarget() const
{
    return PlayedBlendMode() > 0 ? 1 : 0;
}

float DS_LightFX_II::Flicker() const
{
    switch (flickerMode.value) {
    case 1:
        return FlickerSine(Phase());
    case 2:
        return FlickerSwitch(Phase());
    case 3:
        return FlickerNoise(Phase());
    default:
        return 1.0f;
    }
}

void DS_LightFX_II::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    const COLORREF c = colour.value;
    const float blend[4] = {static_cast<float>(c & 0xFF) / 255.0f, static_cast<float>((c >> 8) & 0xFF) / 255.0f,
                            static_cast<float>((c >> 16) & 0xFF) / 255.0f,
                            strength.Scaled() * TimelineLevel() * Flicker()};
    effect->SetFloatArray("BlendColor", blend, 4);
    effect->SetTexture("Mask", GetTextureHolder()->Get());
    effect->SetTexture("Background", host.GetTargetTexture());
    effect->SetTechnique(kBlendTechniques[PlayedBlendMode()]);
    host.DrawWithEffect(host.GetBackgroundQuad(), *effect);
}

void DS_LightFX_II::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadChangedParamValue(ar, strength);
    ReadParamValue(ar, flickerMode);
    ReadParamValue(ar, blendMode);
    ReadParamValue(ar, colour);
    DS_FX_Constructor::Load(ar, *this);
    if (version <= 1) {
        SetCommonResEffect(kCommonResLightBlendEffect);
        if (blendMode.value == kVersion1Sum)
            blendMode.StoreValue(kSum);
    }
}

void DS_LightFX_II::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, strength);
    WriteParamValue(ar, flickerMode);
    WriteParamValue(ar, blendMode);
    WriteParamValue(ar, colour);
    SaveFxLevel(ar);
}

// ---- DS_UnderwaterFX

DS_UnderwaterFX::DS_UnderwaterFX()
{
    SetCommonResEffect(kCommonResUnderwaterEffect);
    SetSpeed(1.0f, 25);
}

std::unique_ptr<DS_FX_Constructor> DS_UnderwaterFX::Clone() const
{
    return std::make_unique<DS_UnderwaterFX>(*this);
}

void DS_UnderwaterFX::Apply(DS_ABRender& host)
{
    float width = 0.0f, height = 0.0f;
    if (!ReadyToApply(host) || !HostPictureSize(host, width, height))
        return;
    const float length = wavelength.Scaled();
    const float inverse = length == 0.0f ? 0.0f : 1.0f / length;
    const float frequency[2] = {inverse * (width / height), inverse};
    effect->SetFloatArray("frequency", frequency, 2);
    effect->SetFloat("amplitude", amplitude.Scaled());
    effect->SetFloat("time", Phase() * kTimePerPhase);
    SetCommonParamsAndDraw(host);
}

void DS_UnderwaterFX::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadChangedParamValue(ar, amplitude);
    ReadChangedParamValue(ar, wavelength);
    DS_FX_Constructor::Load(ar, *this);
}

void DS_UnderwaterFX::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, amplitude);
    WriteParamValue(ar, wavelength);
    SaveFxLevel(ar);
}

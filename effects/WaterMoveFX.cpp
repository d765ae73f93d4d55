#include "effects/WaterMoveFX.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/StoredParams.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/SharedResource.h"

namespace {

constexpr float kDegreesToRadians = 3.1415927f / 180.0f;
// The bump transform turns by this many radians per unit of phase.
constexpr float kBumpTurnRate = 4.5f;
// "Time" per unit of phase.
constexpr float kWaterTimePerPhase = 2.0f;
constexpr std::int32_t kMoveCategory = 1;
// Records before version 3 number the swinging kinds from 0.
constexpr std::int32_t kKindShiftBeforeVersion3 = 3;

float Channel(COLORREF colour, int shift)
{
    return static_cast<float>((colour >> shift) & 0xFF) / 255.0f;
}

} // namespace

// ---- DS_WaterFX

DS_WaterFX::DS_WaterFX() : bumpLink(kCommonResWaterBumpPicture, kxi_string(kCommonResModule))
{
    SetCommonResEffect(kCommonResWaterEffect);
    SetSpeed(0.02f, 50);
    scale.SetValue(30, nullptr);
    m_callbacks.AddMemberCallback(&DS_WaterFX::UpdateDirection, &angle);
    UpdateDirection();
}

DS_WaterFX::DS_WaterFX(const DS_WaterFX& other)
    : DS_FX_Constructor(other), shape(other.shape), bumpRadius(other.bumpRadius), drift2(other.drift2),
      drift1(other.drift1), angle(other.angle), shadows(other.shadows), lightHeight(other.lightHeight),
      colour(other.colour), bumpLink(other.bumpLink), bumpTexture(other.bumpTexture),
      bumpTransform(other.bumpTransform)
{
    m_callbacks.AddMemberCallback(&DS_WaterFX::UpdateDirection, &angle);
    UpdateDirection();
}

std::unique_ptr<DS_FX_Constructor> DS_WaterFX::Clone() const
{
    return std::make_unique<DS_WaterFX>(*this);
}

void DS_WaterFX::UpdateDirection()
{
    math::Matrix rotation;
    math::MatrixRotationZ(&rotation, static_cast<float>(angle.value) * kDegreesToRadians);
    math::Vec4Transform(&direction, math::Vec4{1.0f, 0.0f, 0.0f, 0.0f}, rotation);
}

void DS_WaterFX::Attach(gfx::Ref<gfx::Texture>* holder)
{
    if (DS_DocResManager* manager = CurrentDocResManager()) {
        const TextureSetEntry& entry = manager->GetTexture(bumpLink);
        bumpTexture = entry.textures.empty() ? gfx::Ref<gfx::Texture>() : entry.textures.front();
    }
    DS_FX_Constructor::Attach(holder);
}

void DS_WaterFX::Update(float localTime)
{
    DS_FX_Constructor::Update(localTime);
    const float a = kBumpTurnRate * Phase();
    const float k = bumpRadius.Scaled();
    bumpTransform = {std::cos(a) * k, -std::sin(a) * k, std::sin(a) * k, std::cos(a) * k};
}

float DS_WaterFX::ShapeFactor() const
{
    const std::uint32_t held = std::clamp(shape.value, kMinShape, kMaxShape);
    return static_cast<float>(held) * shape.Scale() + shape.Offset();
}

void DS_WaterFX::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    const float t = ShapeFactor();
    const float q = 2.0f / t - 1.0f;
    const float s = std::sqrt(q);
    effect->SetTexture("BumpMap", bumpTexture.Get());
    effect->SetFloatArray("BampTrans", bumpTransform.data(), 4);
    const float p1[3] = {t - 1.0f, -1.0f, t - 1.0f};
    effect->SetFloatArray("P1", p1, 3);
    const float p2[3] = {1.0f, (s + q) / (q - 1.0f), 1.0f};
    effect->SetFloatArray("P2", p2, 3);
    effect->SetFloat("Time", Phase() * kWaterTimePerPhase);
    const float d1 = drift1.Scaled();
    const float d2 = drift2.Scaled();
    const float direction1[2] = {direction.x * (-0.5f / d1), direction.y * (-0.5f / d1)};
    effect->SetFloatArray("Direction1", direction1, 2);
    const float direction2[2] = {direction.x * (d2 * -0.5f), direction.y * (d2 * -0.5f)};
    effect->SetFloatArray("Direction2", direction2, 2);
    effect->SetFloat("Shadows", shadows.Scaled());
    math::Vec3 light{1.0f, 2.0f, lightHeight.Scaled()};
    math::Vec3Normalize(&light, light);
    const float vhalf[3] = {light.x, light.y, light.z};
    effect->SetFloatArray("Vhalf", vhalf, 3);
    const COLORREF c = colour.value;
    const float tint[3] = {Channel(c, 0), Channel(c, 8), Channel(c, 16)};
    effect->SetFloatArray("Color", tint, 3);
    SetCommonParamsAndDraw(host);
}

void DS_WaterFX::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadChangedParamValue(ar, shape);
    ReadChangedParamValue(ar, bumpRadius);
    ReadChangedParamValue(ar, drift2);
    ReadChangedParamValue(ar, drift1);
    ReadParamValue(ar, angle);
    ReadChangedParamValue(ar, shadows);
    ReadChangedParamValue(ar, lightHeight);
    ReadParamValue(ar, colour);
    ReadImageFileLink(ar, bumpLink);
    DS_FX_Constructor::Load(ar, *this);
}

void DS_WaterFX::Save(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->RegisterImage(bumpLink);
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, shape);
    WriteParamValue(ar, bumpRadius);
    WriteParamValue(ar, drift2);
    WriteParamValue(ar, drift1);
    WriteParamValue(ar, angle);
    WriteParamValue(ar, shadows);
    WriteParamValue(ar, lightHeight);
    WriteParamValue(ar, colour);
    WriteFileLink(ar, bumpLink);
    SaveFxLevel(ar);
}

// ---- DS_MoveFX

DS_MoveFX::DS_MoveFX()
{
    magnitude.Rescale(0.0002f, 0.0f);
    magnitude.SetValue(50, nullptr);
    SetCommonResEffect(kCommonResMoveEffect);
    SetSpeed(0.02f, 50);
    MarkTimed(kMoveCategory);
}

std::unique_ptr<DS_FX_Constructor> DS_MoveFX::Clone() const
{
    return std::make_unique<DS_MoveFX>(*this);
}

void DS_MoveFX::Update(float localTime)
{
    DS_FX_Constructor::Update(localTime);
    const float a = magnitude.Scaled();
    const float b = secondMagnitude.Scaled();
    float m = 0.0f;
    if (kind.value > 1) {
        const float w = Waveform(kind.value);
        m = w * (a + b) * 0.5f + (a - b) * 0.5f;
    } else {
        m = kind.value == 0 ? a : -a;
    }
    const float level = TimelineLevel();
    shift = {-direction.x * m * level, -direction.y * m * level};
}

void DS_MoveFX::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    effect->SetFloatArray("Direction", shift.data(), 2);
    SetCommonParamsAndDraw(host);
}

void DS_MoveFX::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadParamValue(ar, kind);
    if (version > 1)
        ReadChangedParamValue(ar, secondMagnitude);
    DS_DirectionBased::Load(ar, *this);
    if (version < 2) {
        secondMagnitude.Rescale(magnitude.Scale(), magnitude.Offset());
        secondMagnitude.SetValue(magnitude.value, nullptr);
    }
    if (version < 3)
        kind.StoreValue(kind.value + kKindShiftBeforeVersion3);
}

void DS_MoveFX::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, kind);
    WriteParamValue(ar, secondMagnitude);
    SaveDirectionLevel(ar);
}

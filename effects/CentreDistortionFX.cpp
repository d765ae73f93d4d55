#include "effects/CentreDistortionFX.h"

#include <cmath>

#include "objectmodel/StoredParams.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/ScreenInfo.h"
#include "render/SharedResource.h"

namespace {

constexpr float kPi = 3.1415927f;
constexpr std::int32_t kCentreCategory = 1;
constexpr std::int32_t kRotationCategory = 6;
// Records of these versions number the swinging kinds from 0.
constexpr std::int32_t kExpandKindShiftBeforeVersion2 = 2;
constexpr std::int32_t kBendKindShiftBeforeVersion2 = 3;
// Radial-wave records from this version on carry their own fields.
constexpr std::int32_t kFirstRadialWaveVersionWithFields = 2;
// The timing mode in which the rotation's timeline level is its opacity.
constexpr int kLevelAsOpacityClockMode = 1;

// The kinds below the waveform's.
constexpr std::int32_t kFirstSwingingKind = 2;

} // namespace

std::int32_t RenumberedKind(std::int32_t stored, std::int32_t shift)
{
    // Wraps instead of overflowing on a stored kind near the int32 limit.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(stored) + static_cast<std::uint32_t>(shift));
}

float SwingBetween(float a, float b, float w)
{
    return w * (a + b) * 0.5f + (a - b) * 0.5f;
}

// ---- DS_ExpandFX

DS_ExpandFX::DS_ExpandFX()
{
    SetCommonResEffect(kCommonResExpandEffect);
    SetSpeed(0.02f, 50);
    MarkTimed(kCentreCategory);
}

std::unique_ptr<DS_FX_Constructor> DS_ExpandFX::Clone() const
{
    return std::make_unique<DS_ExpandFX>(*this);
}

void DS_ExpandFX::Update(float localTime)
{
    DS_FX_Constructor::Update(localTime);
    const float a = outward.Scaled();
    const float b = inward.Scaled();
    float d = 0.0f;
    if (kind.value >= kFirstSwingingKind)
        d = SwingBetween(a, b, Waveform(kind.value));
    else
        d = kind.value == 0 ? a : -b;
    current = d * TimelineLevel();
}

void DS_ExpandFX::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    SetCommonParams(host);
    SetCentreInput();
    // Outward part, inward part.
    const float amplitude[2] = {current > 0.0f ? current : 0.0f, current > 0.0f ? 0.0f : std::fabs(current)};
    effect->SetFloatArray("amplitude", amplitude, 2);
    SetCommonParamsAndDraw(host);
}

void DS_ExpandFX::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadChangedParamValue(ar, outward);
    ReadChangedParamValue(ar, inward);
    ReadParamValue(ar, kind);
    if (version < 2)
        kind.SetValue(RenumberedKind(kind.value, kExpandKindShiftBeforeVersion2), nullptr);
    DS_CentralBased::Load(ar, *this);
}

void DS_ExpandFX::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, outward);
    WriteParamValue(ar, inward);
    WriteParamValue(ar, kind);
    SaveCentralLevel(ar);
}

// ---- DS_RadialWaveFX

DS_RadialWaveFX::DS_RadialWaveFX()
{
    SetCommonResEffect(kCommonResRadialWaveEffect);
    SetSpeed(1.0f, 50);
    MarkTimed(kCentreCategory);
}

std::unique_ptr<DS_FX_Constructor> DS_RadialWaveFX::Clone() const
{
    return std::make_unique<DS_RadialWaveFX>(*this);
}

void DS_RadialWaveFX::Apply(DS_ABRender& host)
{
    float w = 0.0f, h = 0.0f;
    if (!ReadyToApply(host) || !HostPictureSize(host, w, h))
        return;
    // The width is at least its offset (25), never 0.
    const float bgScale[2] = {1.0f, kRoundWidth / width.Scaled() * h / w};
    effect->SetFloatArray("bg_scale_factor", bgScale, 2);
    const ScreenInfo& screen = GetScreenInfo();
    if (screen.pictureWidth > 0 && screen.pictureHeight > 0) {
        const float center[2] = {centre.value.x / static_cast<float>(screen.pictureWidth),
                                 centre.value.y / static_cast<float>(screen.pictureHeight)};
        effect->SetFloatArray("center", center, 2);
    }
    // The wavelength is at least its offset (0.001), never 0.
    effect->SetFloat("frequency", 1.0f / wavelength.Scaled());
    effect->SetFloat("amplitude", TimelineLevel() * amplitude.Scaled());
    effect->SetFloat("time", Phase() * (outwardFlag.value != 0 ? kTimePerPhase : -kTimePerPhase));
    SetCommonParamsAndDraw(host);
}

void DS_RadialWaveFX::ReadBody(ArchiveReader ar, std::int32_t version)
{
    if (version >= kFirstRadialWaveVersionWithFields) {
        ReadChangedParamValue(ar, amplitude);
        ReadChangedParamValue(ar, wavelength);
        ReadChangedParamValue(ar, width);
        ReadParamValue(ar, outwardFlag);
    }
    DS_CentralBased::Load(ar, *this);
}

void DS_RadialWaveFX::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, amplitude);
    WriteParamValue(ar, wavelength);
    WriteParamValue(ar, width);
    WriteParamValue(ar, outwardFlag);
    SaveCentralLevel(ar);
}

// ---- DS_RotationFX

DS_RotationFX::DS_RotationFX()
{
    SetSpeed(0.005f, 1);
    MarkTimed(kRotationCategory);
    timing.clockMode.StoreValue(KXI_SmartTiming::kClockScaledByLevel);
}

std::unique_ptr<DS_FX_Constructor> DS_RotationFX::Clone() const
{
    return std::make_unique<DS_RotationFX>(*this);
}

void DS_RotationFX::Update(float localTime)
{
    DS_FX_Constructor::Update(localTime);
    angle = (reverse.value != 0 ? -1.0f : 1.0f) * Phase();
}

std::array<float, 4> DS_RotationFX::CoordinateTransform() const
{
    // A factor of 0 would divide by zero: it turns plainly, as 1 does.
    const float s = aspect.Scaled() == 0.0f ? 1.0f : aspect.Scaled();
    math::Matrix r;
    math::MatrixRotationZ(&r, angle);
    r(0, 1) *= s;
    r(1, 0) /= s;
    const float t = static_cast<float>(tilt.value) * kPi / 180.0f;
    math::Matrix turn, back;
    math::MatrixRotationZ(&turn, t);
    math::MatrixRotationZ(&back, -t);
    const math::Matrix m = back * r * turn;
    return {m(0, 0), m(0, 1), m(1, 0), m(1, 1)};
}

void DS_RotationFX::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    const std::array<float, 4> transform = CoordinateTransform();
    effect->SetFloatArray("coord_transf", transform.data(), 4);
    std::array<float, 2> center{};
    if (CentreInTextureUnits(center)) {
        const float offset[2] = {-center[0], -center[1]};
        effect->SetFloatArray("offset", offset, 2);
    }
    const float opacity = timing.clockMode.value == kLevelAsOpacityClockMode ? TimelineLevel() : 1.0f;
    const float mixColor[4] = {1.0f, 1.0f, 1.0f, opacity};
    effect->SetFloatArray("mix_color", mixColor, 4);
    SetCommonParamsAndDraw(host);
}

void DS_RotationFX::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadChangedParamValue(ar, aspect);
    ReadParamValue(ar, tilt);
    ReadParamValue(ar, reverse);
    DS_CentralBased::Load(ar, *this);
}

void DS_RotationFX::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, aspect);
    WriteParamValue(ar, tilt);
    WriteParamValue(ar, reverse);
    SaveCentralLevel(ar);
}

// ---- DS_BendFX

DS_BendFX::DS_BendFX()
{
    SetSpeed(0.02f, 1);
}

std::unique_ptr<DS_FX_Constructor> DS_BendFX::Clone() const
{
    return std::make_unique<DS_BendFX>(*this);
}

void DS_BendFX::Update(float localTime)
{
    DS_FX_Constructor::Update(localTime);
    const float a = amplitudeA.Scaled();
    const float b = amplitudeB.Scaled();
    if (kind.value >= kFirstSwingingKind)
        angle = SwingBetween(a, b, Waveform(kind.value));
    else
        angle = kind.value == 0 ? -a : a;
}

void DS_BendFX::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    SetCommonParams(host);
    SetCentreInput();
    effect->SetFloat("Angle", TimelineLevel() * angle);
    effect->SetFloat("Bend", bend.Scaled());
    DrawWithTechnique(host);
}

void DS_BendFX::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadChangedParamValue(ar, amplitudeA);
    ReadChangedParamValue(ar, amplitudeB);
    ReadChangedParamValue(ar, bend);
    ReadParamValue(ar, kind);
    if (version < 2)
        kind.SetValue(RenumberedKind(kind.value, kBendKindShiftBeforeVersion2), nullptr);
    DS_CentralBased::Load(ar, *this);
}

void DS_BendFX::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, amplitudeA);
    WriteParamValue(ar, amplitudeB);
    WriteParamValue(ar, bend);
    WriteParamValue(ar, kind);
    SaveCentralLevel(ar);
}

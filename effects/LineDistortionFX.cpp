#include "effects/LineDistortionFX.h"

#include <algorithm>
#include <cmath>

#include "effects/CentreDistortionFX.h"
#include "objectmodel/StoredParams.h"
#include "render/ABRender.h"

namespace {

constexpr std::int32_t kFirstSwingingKind = 2;
// A version 1 tilt swings as a sine.
constexpr std::int32_t kSineKind = 3;
// Perspective records from these versions on carry the kind and B.
constexpr std::int32_t kFirstPerspectiveVersionWithKind = 2;
constexpr std::int32_t kFirstPerspectiveVersionWithB = 3;
// "p_amplitude" per unit of sin v x depth factor x largest amplitude.
constexpr float kDepthScale = 10.0f;

} // namespace

// ---- DS_PerspectiveFX

DS_PerspectiveFX::DS_PerspectiveFX()
{
    SetSpeed(0.02f, 1);
}

std::unique_ptr<DS_FX_Constructor> DS_PerspectiveFX::Clone() const
{
    return std::make_unique<DS_PerspectiveFX>(*this);
}

void DS_PerspectiveFX::Attach(gfx::Ref<gfx::Texture>* holder)
{
    DS_LineBased::Attach(holder);
    UpdateLinesPerspective();
    BuildRegionGrid();
}

std::array<float, 2> DS_PerspectiveFX::Amplitudes() const
{
    float a = amplitudeA.Scaled();
    float b = amplitudeB.Scaled();
    float d = 0.0f;
    if (kind.value >= kFirstSwingingKind) {
        d = Waveform(kind.value);
    } else if (kind.value == 1) {
        a = 0.0f;
        d = -1.0f;
    } else {
        b = 0.0f;
        d = 1.0f;
    }
    const float largest = std::max(a, b);
    // Only a positive largest amplitude divides: both 0 send 0.
    if (largest > 0.0f) {
        a /= largest;
        b /= largest;
    }
    const float v = TimelineLevel() * ((a + b) * 0.5f * d + (a - b) * 0.5f);
    return {(std::fabs(std::cos(v)) - 1.0f) * largest, std::sin(v) * depth.Scaled() * largest * kDepthScale};
}

void DS_PerspectiveFX::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    SetLineParams(host);
    const std::array<float, 2> amplitudes = Amplitudes();
    effect->SetFloat("amplitude", amplitudes[0]);
    effect->SetFloat("p_amplitude", amplitudes[1]);
    DrawWithTechnique(host);
}

void DS_PerspectiveFX::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadChangedParamValue(ar, amplitudeA);
    ReadChangedParamValue(ar, depth);
    if (version >= kFirstPerspectiveVersionWithKind) {
        ReadParamValue(ar, kind);
    } else {
        const std::int32_t side = ar.ReadInt();
        amplitudeB.SetChangedValue(amplitudeA.value, nullptr);
        kind.SetValue(kSineKind, nullptr);
        if (side == 0)
            amplitudeB.SetChangedValue(0, nullptr);
        else if (side == 1)
            amplitudeA.SetChangedValue(0, nullptr);
    }
    if (version >= kFirstPerspectiveVersionWithB)
        ReadChangedParamValue(ar, amplitudeB);
    DS_LineBased::Load(ar, *this);
}

void DS_PerspectiveFX::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, amplitudeA);
    WriteParamValue(ar, depth);
    WriteParamValue(ar, kind);
    WriteParamValue(ar, amplitudeB);
    SaveLineLevel(ar);
}

// ---- DS_StretchFX

DS_StretchFX::DS_StretchFX()
{
    SetSpeed(0.05f, 1);
}

std::unique_ptr<DS_FX_Constructor> DS_StretchFX::Clone() const
{
    return std::make_unique<DS_StretchFX>(*this);
}

void DS_StretchFX::Attach(gfx::Ref<gfx::Texture>* holder)
{
    DS_LineBased::Attach(holder);
    BuildRegionGrid();
}

void DS_StretchFX::Update(float localTime)
{
    DS_FX_Constructor::Update(localTime);
    const float a = amplitudeA.Scaled();
    const float b = amplitudeB.Scaled();
    float d = 0.0f;
    if (kind.value >= kFirstSwingingKind)
        d = SwingBetween(a, b, Waveform(kind.value));
    else
        d = kind.value == 0 ? -b : a;
    current = d * TimelineLevel();
}

void DS_StretchFX::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    SetLineParams(host);
    effect->SetFloat("amplitude", current);
    DrawWithTechnique(host);
}

void DS_StretchFX::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadParamValue(ar, kind);
    ReadChangedParamValue(ar, amplitudeA);
    ReadChangedParamValue(ar, amplitudeB);
    DS_LineBased::Load(ar, *this);
}

void DS_StretchFX::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, kind);
    WriteParamValue(ar, amplitudeA);
    WriteParamValue(ar, amplitudeB);
    SaveLineLevel(ar);
}

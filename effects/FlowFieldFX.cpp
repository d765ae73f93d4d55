#include "effects/FlowFieldFX.h"

#include <cmath>

#include "objectmodel/StoredParams.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kDegreesToRadians = 3.1415927f / 180.0f;
constexpr float kFlowSpeedFactor = 0.1f;
// Radial-flow records from this version on carry the outward flag.
constexpr std::int32_t kFirstRadialFlowVersionWithFlag = 2;
// Only this reverse value turns the vortex the other way.
constexpr std::int32_t kReversedVortex = 1;

} // namespace

float FlowCycle(float phase)
{
    const float g = phase / kTwoPi;
    return g - std::floor(g);
}

// ---- DS_VarrowLinear

DS_VarrowLinear::DS_VarrowLinear()
{
    SetSpeed(kFlowSpeedFactor, 1);
    magnitude.Rescale(0.002f, 0.0f);
}

std::unique_ptr<DS_FX_Constructor> DS_VarrowLinear::Clone() const
{
    return std::make_unique<DS_VarrowLinear>(*this);
}

void DS_VarrowLinear::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    SetCommonParams(host);
    const float m = magnitude.Scaled();
    const float field[2] = {direction.x * m, direction.y * m};
    effect->SetFloatArray("Direction", field, 2);
    effect->SetFloat("Shift", FlowCycle(Phase()));
    DrawWithTechnique(host);
}

void DS_VarrowLinear::ReadBody(ArchiveReader ar, std::int32_t)
{
    DS_DirectionBased::Load(ar, *this);
}

void DS_VarrowLinear::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    SaveDirectionLevel(ar);
}

// ---- DS_VarrowRadial

DS_VarrowRadial::DS_VarrowRadial()
{
    SetSpeed(kFlowSpeedFactor, 1);
}

std::unique_ptr<DS_FX_Constructor> DS_VarrowRadial::Clone() const
{
    return std::make_unique<DS_VarrowRadial>(*this);
}

void DS_VarrowRadial::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    SetCommonParams(host);
    SetCentreInput();
    const float a = amplitude.Scaled();
    const float parts[2] = {outwardFlag.value != 0 ? a : 0.0f, outwardFlag.value != 0 ? 0.0f : a};
    effect->SetFloatArray("Amplitude", parts, 2);
    effect->SetFloat("Shift", FlowCycle(Phase()));
    DrawWithTechnique(host);
}

void DS_VarrowRadial::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadChangedParamValue(ar, amplitude);
    if (version >= kFirstRadialFlowVersionWithFlag)
        ReadParamValue(ar, outwardFlag);
    else
        outwardFlag.SetValue(0, nullptr);
    DS_CentralBased::Load(ar, *this);
}

void DS_VarrowRadial::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, amplitude);
    WriteParamValue(ar, outwardFlag);
    SaveCentralLevel(ar);
}

// ---- DS_VarrowVortical

DS_VarrowVortical::DS_VarrowVortical()
{
    SetSpeed(kFlowSpeedFactor, 1);
}

std::unique_ptr<DS_FX_Constructor> DS_VarrowVortical::Clone() const
{
    return std::make_unique<DS_VarrowVortical>(*this);
}

void DS_VarrowVortical::Apply(DS_ABRender& host)
{
    if (!ReadyToApply(host))
        return;
    SetCommonParams(host);
    SetCentreInput();
    const float turn = static_cast<float>(ellipseAngle.value) * kDegreesToRadians;
    math::Matrix forward, back;
    math::MatrixRotationZ(&forward, turn);
    math::MatrixRotationZ(&back, -turn);
    effect->SetMatrix("r_matrix2", forward);
    effect->SetMatrix("r_matrix3", back);
    effect->SetFloat("ElipsDeform", ellipseDeform.Scaled());
    const float a = amplitude.Scaled();
    effect->SetFloat("Amplitude", reverse.value == kReversedVortex ? -a : a);
    effect->SetFloat("Shift", FlowCycle(Phase()));
    DrawWithTechnique(host);
}

void DS_VarrowVortical::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadChangedParamValue(ar, ellipseDeform);
    ReadParamValue(ar, ellipseAngle);
    ReadParamValue(ar, reverse);
    ReadChangedParamValue(ar, amplitude);
    DS_CentralBased::Load(ar, *this);
}

void DS_VarrowVortical::Save(ArchiveWriter ar) const
{
    WriteLevelHeader(ar, kSectionName, kWrittenVersion);
    WriteParamValue(ar, ellipseDeform);
    WriteParamValue(ar, ellipseAngle);
    WriteParamValue(ar, reverse);
    WriteParamValue(ar, amplitude);
    SaveCentralLevel(ar);
}

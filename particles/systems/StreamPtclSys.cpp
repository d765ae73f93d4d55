#include "particles/systems/StreamPtclSys.h"

#include <algorithm>
#include <utility>

#include "objectmodel/ParamRecords.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/systems/PresetSupport.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

using namespace preset_systems;

namespace {

constexpr float kStreamSpeedScale = 2.0f;
constexpr float kPlacedShare = 0.8f;

} // namespace

DS_StreamPtclSys::DS_StreamPtclSys()
{
    launchSpeed.Rescale(kStreamSpeedScale, 0.0f);
}

DS_StreamPtclSys::DS_StreamPtclSys(const DS_StreamPtclSys& other)
    : KXI_ParticleSystemCtrl(other), counter(other.counter), emitterQuad(other.emitterQuad), life(other.life),
      launchSpeed(other.launchSpeed), targetSpread(other.targetSpread)
{
}

DS_StreamPtclSys::~DS_StreamPtclSys() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> DS_StreamPtclSys::Clone() const
{
    return std::make_unique<DS_StreamPtclSys>(*this);
}

void DS_StreamPtclSys::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(1);
    if (TakeFreshPlacement(*this))
        emitterQuad.SetRectangle(PictureWidth() * kPlacedShare, PictureHeight() * kPlacedShare, PictureCentre());
}

InnerParticleList::Handles DS_StreamPtclSys::Emit(float dt)
{
    const std::int32_t due = counter.CountDue(dt * TimelineLevel(timing));
    const std::int32_t n = std::min(due, particles.Room());
    for (std::int32_t i = 0; i < n; ++i)
        LaunchOne(i, n, dt);
    return {};
}

void DS_StreamPtclSys::LaunchOne(std::int32_t index, std::int32_t count, float dt)
{
    const auto& c = emitterQuad.corners;
    const float t = crt::RandomUnit();
    const math::Vec3 from = c[2].value + (c[0].value - c[2].value) * t;
    const float s = targetSpread.Scaled();
    const float u = t + (crt::RandomUnit() * 2.0f * s - s);
    const math::Vec3 to = c[3].value + (c[1].value - c[3].value) * u;
    math::Vec3 heading;
    math::Vec3Normalize(&heading, to - from);

    InnerParticle& particle = *particles.Create(from);
    params.SetupParticle(particle, ParticleRoutineHandle(new IPR_ConstantAge(life.Scaled())));
    particle.AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
    particle.velocity = heading * launchSpeed.DrawJittered();
    particle.Step(static_cast<float>(index) * dt / static_cast<float>(count));
}

void DS_StreamPtclSys::ReadBody(ArchiveReader ar, std::int32_t)
{
    counter.rate.SetChangedValue(ar.ReadDword(), nullptr);
    ReadMediaQuad(ar, emitterQuad);
    life.SetChangedValue(ar.ReadDword(), nullptr);
    life.NotifyObservers(nullptr);
    // The speed pair is stored twice; the second one stays.
    for (int pair = 0; pair < 2; ++pair)
        ReadJitterParam(ar, launchSpeed);
    targetSpread.SetChangedValue(ar.ReadDword(), nullptr);
    Load(ar);
}

void DS_StreamPtclSys::LoadStreamSection(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    DS_StreamPtclSys::ReadBody(ar, header.version);
}

void DS_StreamPtclSys::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteDword(counter.rate.value);
    WriteMediaQuad(ar, emitterQuad);
    ar->WriteDword(life.value);
    for (int pair = 0; pair < 2; ++pair)
        WriteJitterParam(ar, launchSpeed);
    ar->WriteDword(targetSpread.value);
    KXI_ParticleSystemCtrl::Save(ar);
}

// ---- rising smoke -----------------------------------------------------------------

void DS_PtclSmoke2::ReadBody(ArchiveReader ar, std::int32_t)
{
    storedValue0.StoreValue(ar.ReadDword());
    storedValue1.StoreValue(ar.ReadDword());
    storedInt = ar.ReadInt();
    LoadStreamSection(ar);
}

void DS_PtclSmoke2::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteDword(storedValue0.value);
    ar->WriteDword(storedValue1.value);
    ar->WriteLong(storedInt);
    DS_StreamPtclSys::Save(ar);
}

std::unique_ptr<KXI_ParticleSystemCtrl> DS_PtclSmoke2::Clone() const
{
    return std::make_unique<DS_PtclSmoke2>(*this);
}

void DS_PtclSmoke2::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    const bool fresh = keepId == 0;
    DS_StreamPtclSys::AttachRenderObject(mech);
    if (!fresh)
        return;
    auto& c = emitterQuad.corners;
    std::swap(c[0].value, c[1].value);
    std::swap(c[2].value, c[3].value);
}

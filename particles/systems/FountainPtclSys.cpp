#include "particles/systems/FountainPtclSys.h"

#include "particles/engine/ParticleRoutines.h"
#include "particles/systems/PresetSupport.h"

using namespace preset_systems;

KXI_FontainPtclSys::KXI_FontainPtclSys() = default;

KXI_FontainPtclSys::KXI_FontainPtclSys(const KXI_FontainPtclSys& other)
    : KXI_BurstPtclSys(other), counter(other.counter)
{
}

KXI_FontainPtclSys::~KXI_FontainPtclSys() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_FontainPtclSys::Clone() const
{
    return std::make_unique<KXI_FontainPtclSys>(*this);
}

InnerParticleList::Handles KXI_FontainPtclSys::Emit(float dt)
{
    return EmitParticles(counter.CountDue(dt * TimelineLevel(timing)));
}

void KXI_FontainPtclSys::Restart()
{
    KXI_ParticleSystemCtrl::Restart();
}

void KXI_FontainPtclSys::ReadBody(ArchiveReader ar, std::int32_t version)
{
    counter.rate.SetChangedValue(ar.ReadDword(), nullptr);
    if (version != 1) {
        LoadBurstSection(ar);
        return;
    }
    ReadLaunchFields(ar, false);
    ReadLegacyGravity(ar);
    ApplyLegacyEnvelopes();
    Load(ar);
}

void KXI_FontainPtclSys::LoadFountainSection(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    KXI_FontainPtclSys::ReadBody(ar, header.version);
}

void KXI_FontainPtclSys::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteDword(counter.rate.value);
    KXI_BurstPtclSys::Save(ar);
}

// ---- fire -------------------------------------------------------------------------

void DS_PtclFire::ReadBody(ArchiveReader ar, std::int32_t)
{
    storedInt.StoreValue(ar.ReadInt());
    storedValue0.StoreValue(ar.ReadDword());
    storedValue1.StoreValue(ar.ReadDword());
    storedValue2.StoreValue(ar.ReadDword());
    LoadFountainSection(ar);
}

void DS_PtclFire::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteLong(storedInt.value);
    ar->WriteDword(storedValue0.value);
    ar->WriteDword(storedValue1.value);
    ar->WriteDword(storedValue2.value);
    KXI_FontainPtclSys::Save(ar);
}

std::unique_ptr<KXI_ParticleSystemCtrl> DS_PtclFire::Clone() const
{
    return std::make_unique<DS_PtclFire>(*this);
}

void DS_PtclFire::InitParticle(InnerParticle& particle)
{
    KXI_BurstPtclSys::InitParticle(particle);
    const math::Vec4& c = direction.Direction();
    const float g = params.gravity.Scaled();
    particle.acceleration = {c.x * g, -c.y * g, c.z * g};
}

// ---- fire stream ------------------------------------------------------------------

void DS_PtclFireStream::ReadBody(ArchiveReader ar, std::int32_t)
{
    storedValue.StoreValue(ar.ReadDword());
    LoadFountainSection(ar);
}

void DS_PtclFireStream::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteDword(storedValue.value);
    KXI_FontainPtclSys::Save(ar);
}

std::unique_ptr<KXI_ParticleSystemCtrl> DS_PtclFireStream::Clone() const
{
    return std::make_unique<DS_PtclFireStream>(*this);
}

// ---- smoke ------------------------------------------------------------------------

void DS_PtclSmoke::ReadBody(ArchiveReader ar, std::int32_t)
{
    storedValue.StoreValue(ar.ReadDword());
    windSpeed.SetChangedValue(ar.ReadDword(), nullptr);
    LoadFountainSection(ar);
}

void DS_PtclSmoke::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteDword(storedValue.value);
    ar->WriteDword(windSpeed.value);
    KXI_FontainPtclSys::Save(ar);
}

std::unique_ptr<KXI_ParticleSystemCtrl> DS_PtclSmoke::Clone() const
{
    return std::make_unique<DS_PtclSmoke>(*this);
}

void DS_PtclSmoke::InitParticle(InnerParticle& particle)
{
    particle.AddRoutine(
        ParticleRoutineHandle(new IPR_Wind(windSpeed.Scaled(), 0.0f, 0.0f, params.airResistance.Scaled())), false);
    params.flags &= ~ParticleSystemParams::kFlagPhysics;
    KXI_BurstPtclSys::InitParticle(particle);
}

// ---- water jet and light beams ----------------------------------------------------

void DS_WaterJet::ReadBody(ArchiveReader ar, std::int32_t)
{
    LoadFountainSection(ar);
}

void DS_WaterJet::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    KXI_FontainPtclSys::Save(ar);
}

std::unique_ptr<KXI_ParticleSystemCtrl> DS_WaterJet::Clone() const
{
    return std::make_unique<DS_WaterJet>(*this);
}

void DS_LightBeams::ReadBody(ArchiveReader ar, std::int32_t)
{
    LoadFountainSection(ar);
}

void DS_LightBeams::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    KXI_FontainPtclSys::Save(ar);
}

std::unique_ptr<KXI_ParticleSystemCtrl> DS_LightBeams::Clone() const
{
    return std::make_unique<DS_LightBeams>(*this);
}

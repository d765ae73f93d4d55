#include "particles/systems/SplashPtclSys.h"

#include <algorithm>
#include <limits>

#include "objectmodel/ParamRecords.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/systems/PresetSupport.h"

using namespace preset_systems;

KXI_SplashPtclSys::KXI_SplashPtclSys() = default;

KXI_SplashPtclSys::KXI_SplashPtclSys(const KXI_SplashPtclSys& other)
    : KXI_ParticleSystemCtrl(other), emitter(other.emitter), sectorEmitter(other.sectorEmitter),
      useSector(other.useSector), burstCount(other.burstCount), life(other.life), direction(other.direction),
      launchSpeed(other.launchSpeed), emittedCount(other.emittedCount)
{
}

KXI_SplashPtclSys::~KXI_SplashPtclSys() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_SplashPtclSys::Clone() const
{
    return std::make_unique<KXI_SplashPtclSys>(*this);
}

void KXI_SplashPtclSys::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    params.flags |= ParticleSystemParams::kFlagVibrations;
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(1);
    if (!TakeFreshPlacement(*this))
        return;
    const float w = PictureWidth();
    emitter.area.SetRectangle(w, PictureHeight(), PictureCentre());
    sectorEmitter.position.QuietSet(PictureCentre());
    sectorEmitter.distance.QuietSet(static_cast<std::uint32_t>(std::max(0.0f, w / 2.0f)));
    sectorEmitter.direction.spread.QuietSet(90u);
}

InnerParticleList::Handles KXI_SplashPtclSys::Emit(float)
{
    if (TimelineOff(timing))
        emittedCount = 0;
    return EmitParticles(TakeBurstDue(TimelineLevel(timing), burstCount.value, emittedCount));
}

void KXI_SplashPtclSys::Restart()
{
    particles.Clear();
    emittedCount = 0;
}

InnerParticleList::Handles KXI_SplashPtclSys::EmitParticles(std::int32_t count)
{
    count = std::min(count, particles.Room());
    InnerParticleList::Handles fresh = useSector.value == 0 ? emitter.Emit(count) : sectorEmitter.Emit(count);
    for (const ParticleHandle& particle : fresh)
        InitParticle(*particle);
    return AppendAndKeep(particles, std::move(fresh));
}

void KXI_SplashPtclSys::InitParticle(InnerParticle& particle) const
{
    params.SetupParticle(particle, ParticleRoutineHandle(new IPR_ConstantAge(life.Scaled())));
    particle.AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
    particle.velocity = direction.RandomDirection() * launchSpeed.Scaled();
}

// ---- stored form ------------------------------------------------------------------

void KXI_SplashPtclSys::ReadLegacyFade(ArchiveReader ar)
{
    params.sizeJitter.SetChangedValue(ar.ReadDword(), nullptr);
    ar.ReadInt();
    const std::uint64_t fadeIn = ar.ReadDword();
    const std::uint64_t hold = ar.ReadDword();
    const std::uint64_t fadeOut = ar.ReadDword();
    const bool onSize = ar.ReadInt() != 0;

    // In 64 bits: the sum and the percentages cannot wrap.
    const std::uint64_t total = fadeIn + hold + fadeOut;
    life.SetChangedValue(static_cast<std::uint32_t>(std::min<std::uint64_t>(total, std::numeric_limits<std::uint32_t>::max())),
                         nullptr);
    std::uint32_t fadeInEnd = 0;
    std::uint32_t fadeOutStart = 100;
    if (total > 0) {
        fadeInEnd = static_cast<std::uint32_t>(fadeIn * 100 / total);
        fadeOutStart = static_cast<std::uint32_t>((fadeIn + hold) * 100 / total);
    }
    SetEnvelope(onSize ? params.opacityEnvelope : params.sizeEnvelope, 0, 100);
    SetEnvelope(onSize ? params.sizeEnvelope : params.opacityEnvelope, fadeInEnd, fadeOutStart);
    direction.spread.QuietSet(360u);
    launchSpeed.SetChangedValue(0, nullptr);
}

void KXI_SplashPtclSys::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadMediaQuad(ar, emitter.area);
    sectorEmitter.position.StoreValue(ReadVec3(ar));
    sectorEmitter.distance.StoreValue(ar.ReadDword());
    sectorEmitter.direction.StoreValue(ar.ReadDword());
    sectorEmitter.direction.UpdateVectors();
    sectorEmitter.direction.spread.StoreValue(ar.ReadDword());
    useSector.StoreValue(ar.ReadInt());
    burstCount.StoreValue(ar.ReadDword());
    if (version >= 2) {
        life.SetChangedValue(ar.ReadDword(), nullptr);
        life.NotifyObservers(nullptr);
        direction.StoreValue(ar.ReadDword());
        direction.UpdateVectors();
        direction.spread.StoreValue(ar.ReadDword());
        launchSpeed.SetChangedValue(ar.ReadDword(), nullptr);
    } else {
        ReadLegacyFade(ar);
    }
    Load(ar);
}

void KXI_SplashPtclSys::LoadSplashSection(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    KXI_SplashPtclSys::ReadBody(ar, header.version);
}

void KXI_SplashPtclSys::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    WriteMediaQuad(ar, emitter.area);
    WriteVec3(ar, sectorEmitter.position.value);
    ar->WriteDword(sectorEmitter.distance.value);
    ar->WriteDword(sectorEmitter.direction.value);
    ar->WriteDword(sectorEmitter.direction.spread.value);
    ar->WriteLong(useSector.value);
    ar->WriteDword(burstCount.value);
    ar->WriteDword(life.value);
    ar->WriteDword(direction.value);
    ar->WriteDword(direction.spread.value);
    ar->WriteDword(launchSpeed.value);
    KXI_ParticleSystemCtrl::Save(ar);
}

// ---- spray ------------------------------------------------------------------------

KXI_SprayPtclSys::KXI_SprayPtclSys() = default;

KXI_SprayPtclSys::KXI_SprayPtclSys(const KXI_SprayPtclSys& other) : KXI_SplashPtclSys(other), counter(other.counter)
{
}

KXI_SprayPtclSys::~KXI_SprayPtclSys() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_SprayPtclSys::Clone() const
{
    return std::make_unique<KXI_SprayPtclSys>(*this);
}

InnerParticleList::Handles KXI_SprayPtclSys::Emit(float dt)
{
    return EmitParticles(counter.CountDue(dt * TimelineLevel(timing)));
}

void KXI_SprayPtclSys::Restart()
{
    KXI_ParticleSystemCtrl::Restart();
}

void KXI_SprayPtclSys::ReadBody(ArchiveReader ar, std::int32_t version)
{
    counter.rate.SetChangedValue(ar.ReadDword(), nullptr);
    if (version != 1) {
        LoadSplashSection(ar);
        return;
    }
    ReadMediaQuad(ar, emitter.area);
    ReadLegacyFade(ar);
    Load(ar);
}

void KXI_SprayPtclSys::LoadSpraySection(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    KXI_SprayPtclSys::ReadBody(ar, header.version);
}

void KXI_SprayPtclSys::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteDword(counter.rate.value);
    KXI_SplashPtclSys::Save(ar);
}

// ---- presets ----------------------------------------------------------------------

DS_PtclFog::DS_PtclFog()
{
    launchSpeed.Rescale(0.01f, 0.0f);
    counter.rate.Rescale(0.01f, 0.0f);
    params.textureClock.Rescale(0.0005f, 0.0f);
}

void DS_PtclFog::ReadBody(ArchiveReader ar, std::int32_t)
{
    storedValue.StoreValue(ar.ReadDword());
    LoadSpraySection(ar);
}

void DS_PtclFog::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteDword(storedValue.value);
    KXI_SprayPtclSys::Save(ar);
}

std::unique_ptr<KXI_ParticleSystemCtrl> DS_PtclFog::Clone() const
{
    return std::make_unique<DS_PtclFog>(*this);
}

float DS_PtclFog::GetPreRunDuration() const
{
    return 8.0f;
}

void DS_PtclSmoke3::ReadBody(ArchiveReader ar, std::int32_t)
{
    storedValue.StoreValue(ar.ReadDword());
    LoadSpraySection(ar);
}

void DS_PtclSmoke3::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteDword(storedValue.value);
    KXI_SprayPtclSys::Save(ar);
}

std::unique_ptr<KXI_ParticleSystemCtrl> DS_PtclSmoke3::Clone() const
{
    return std::make_unique<DS_PtclSmoke3>(*this);
}

void DS_BokehLights::ReadBody(ArchiveReader ar, std::int32_t)
{
    storedValue.StoreValue(ar.ReadInt());
    LoadSpraySection(ar);
}

void DS_BokehLights::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteLong(storedValue.value);
    KXI_SprayPtclSys::Save(ar);
}

std::unique_ptr<KXI_ParticleSystemCtrl> DS_BokehLights::Clone() const
{
    return std::make_unique<DS_BokehLights>(*this);
}

void DS_Shimmer::ReadBody(ArchiveReader ar, std::int32_t)
{
    LoadSpraySection(ar);
}

void DS_Shimmer::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    KXI_SprayPtclSys::Save(ar);
}

std::unique_ptr<KXI_ParticleSystemCtrl> DS_Shimmer::Clone() const
{
    return std::make_unique<DS_Shimmer>(*this);
}

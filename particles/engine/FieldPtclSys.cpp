#include "particles/engine/FieldPtclSys.h"

#include <algorithm>

#include "particles/engine/ParticleRoutines.h"
#include "platform/crt/Random.h"

KXI_FieldPtclSys::KXI_FieldPtclSys() = default;

KXI_FieldPtclSys::KXI_FieldPtclSys(const KXI_FieldPtclSys& other)
    : KXI_ParticleSystemCtrl(other), lifetime(other.lifetime), density(other.density), positions(other.positions),
      direction(other.direction), launchSpeed(other.launchSpeed)
{
}

// The particles go before the emitter, so their positions are given back
// while it still exists.
KXI_FieldPtclSys::~KXI_FieldPtclSys()
{
    particles.Clear();
}

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_FieldPtclSys::Clone() const
{
    return std::make_unique<KXI_FieldPtclSys>(*this);
}

void KXI_FieldPtclSys::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(1);
}

std::int32_t KXI_FieldPtclSys::TargetCount() const
{
    // The share from the stored percentage in double: the float copy (value
    // x 0.01f) lies just below 0.3 or 0.8, which would keep 2 of 10 at 30 %.
    const double share = static_cast<double>(density.value) / 100.0;
    const double target = static_cast<double>(positions.PositionCount()) * share;
    return std::min(ClampParticleCount(target), static_cast<std::int32_t>(positions.PositionCount()));
}

void KXI_FieldPtclSys::SetUpFieldParticle(InnerParticle& particle, float startAge) const
{
    params.SetupParticle(particle, ParticleRoutineHandle(new IPR_ConstantAge(lifetime.Scaled())));
    particle.values[InnerParticle::kAge] = startAge;
    particle.AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
    particle.velocity = direction.RandomDirection() * launchSpeed.Scaled();
}

template <class StartAge>
void KXI_FieldPtclSys::Populate(std::int32_t count, StartAge&& ageOf)
{
    InnerParticleList::Handles fresh = positions.Emit(std::min(count, particles.Room()));
    for (const ParticleHandle& particle : fresh)
        SetUpFieldParticle(*particle, ageOf());
    particles.Append(std::move(fresh));
}

InnerParticleList::Handles KXI_FieldPtclSys::Emit(float)
{
    const std::int32_t missing = TargetCount() - static_cast<std::int32_t>(particles.Size());
    if (missing > 0)
        Populate(missing, [] { return 0.0f; });
    return {};
}

void KXI_FieldPtclSys::Restart()
{
    particles.Clear();
    if (timing.Selector() != 0)
        return;
    const float life = lifetime.Scaled();
    Populate(TargetCount(), [life] { return crt::RandomUnit() * life; });
}

void KXI_FieldPtclSys::ReadBody(ArchiveReader ar, std::int32_t)
{
    lifetime.SetChangedValue(ar.ReadDword(), nullptr);
    lifetime.NotifyObservers(nullptr);
    density.SetChangedValue(ar.ReadDword(), nullptr);
    ReadPositionArray(ar, positions);
    direction.StoreValue(ar.ReadDword());
    direction.UpdateVectors();
    direction.spread.StoreValue(ar.ReadDword());
    launchSpeed.SetChangedValue(ar.ReadDword(), nullptr);
    Load(ar);
}

void KXI_FieldPtclSys::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(lifetime.value);
    ar->WriteDword(density.value);
    WritePositionArray(ar, positions);
    ar->WriteDword(direction.value);
    ar->WriteDword(direction.spread.value);
    ar->WriteDword(launchSpeed.value);
    KXI_ParticleSystemCtrl::Save(ar);
}

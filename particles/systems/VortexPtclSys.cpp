#include "particles/systems/VortexPtclSys.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/Geometry.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/systems/PresetSupport.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

using namespace preset_systems;

KXI_VortexPtclSys::KXI_VortexPtclSys()
{
    armSpin.Rescale(2.0f, 0.0f);
}

KXI_VortexPtclSys::KXI_VortexPtclSys(const KXI_VortexPtclSys& other)
    : KXI_ParticleSystemCtrl(other), emitter(other.emitter), counter(other.counter),
      launchSpeed(other.launchSpeed), swirl(other.swirl), swirlReversed(other.swirlReversed),
      direction(other.direction), armCount(other.armCount), armSpin(other.armSpin),
      armSpinReversed(other.armSpinReversed), range(other.range), armPhase(other.armPhase)
{
}

KXI_VortexPtclSys::~KXI_VortexPtclSys()
{
    // The particles' swirl routines point into this object.
    particles.Clear();
}

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_VortexPtclSys::Clone() const
{
    return std::make_unique<KXI_VortexPtclSys>(*this);
}

void KXI_VortexPtclSys::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(1);
    if (TakeFreshPlacement(*this))
        emitter.CentreOnScreen();
}

InnerParticleList::Handles KXI_VortexPtclSys::Emit(float dt)
{
    // Kept modulo a turn: the launch angles are the same, and the phase
    // keeps its precision however long the scene plays.
    const float phase = std::fmod(armPhase + dt * armSpin.Scaled(), 360.0f);
    armPhase = std::isfinite(phase) ? phase : 0.0f;
    const std::int32_t n = std::min(counter.CountDue(dt * TimelineLevel(timing)), particles.Room());
    InnerParticleList::Handles fresh = emitter.Emit(n);
    for (const ParticleHandle& particle : fresh)
        InitParticle(*particle);
    return AppendAndKeep(particles, std::move(fresh));
}

void KXI_VortexPtclSys::InitParticle(InnerParticle& particle) const
{
    const float speed = launchSpeed.Scaled();
    const float lifetime = LaunchLifetime(static_cast<float>(range.value), speed);
    params.SetupParticle(particle, ParticleRoutineHandle(new IPR_ConstantAge(lifetime)));
    particle.AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
    particle.AddRoutine(ParticleRoutineHandle(new IPR_VortexVel(*this)), false);

    const auto spread = static_cast<float>(direction.spread.value);
    float lo = static_cast<float>(direction.value) - spread / 2.0f;
    float hi = static_cast<float>(direction.value) + spread / 2.0f;
    if (armSpin.value > 0) {
        const float turn = armSpinReversed.value == 0 ? -armPhase : armPhase;
        lo += turn;
        hi += turn;
    }
    // No arms count as one.
    if (armCount.value > 0) {
        const auto arm = static_cast<float>(static_cast<std::uint32_t>(crt::rand()) % armCount.value);
        const float step = arm * (360.0f / static_cast<float>(armCount.value));
        lo += step;
        hi += step;
    }
    RandomDirectionInArc(particle.velocity, speed, lo, hi);
}

bool IPR_VortexVel::Step(float, InnerParticle& particle)
{
    const math::Vec3 d = particle.position - centre->value;
    const float r = math::Vec3Length(d);
    if (!(r > 0.0f))
        return true;
    math::Vec3 tangent{d.y, -d.x, 0.0f};
    if (swirlReversed->value != 0)
        tangent = -tangent;
    particle.velocity = d / r * speed->Scaled() - tangent * swirl->Scaled();
    return true;
}

// ---- stored form ------------------------------------------------------------------

void KXI_VortexPtclSys::ReadBody(ArchiveReader ar, std::int32_t)
{
    counter.rate.SetChangedValue(ar.ReadDword(), nullptr);
    emitter.position.StoreValue(ReadVec3(ar));
    launchSpeed.SetChangedValue(ar.ReadDword(), nullptr);
    swirl.SetChangedValue(ar.ReadDword(), nullptr);
    swirlReversed.StoreValue(ar.ReadInt());
    direction.StoreValue(ar.ReadDword());
    direction.UpdateVectors();
    direction.spread.StoreValue(ar.ReadDword());
    armCount.StoreValue(ar.ReadDword());
    armSpin.StoreValue(ar.ReadDword());
    armSpin.UpdateScaled();
    armSpinReversed.StoreValue(ar.ReadInt());
    range.StoreValue(ar.ReadDword());
    Load(ar);
}

void KXI_VortexPtclSys::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    ar->WriteDword(counter.rate.value);
    WriteVec3(ar, emitter.position.value);
    ar->WriteDword(launchSpeed.value);
    ar->WriteDword(swirl.value);
    ar->WriteLong(swirlReversed.value);
    ar->WriteDword(direction.value);
    ar->WriteDword(direction.spread.value);
    ar->WriteDword(armCount.value);
    ar->WriteDword(armSpin.value);
    ar->WriteLong(armSpinReversed.value);
    ar->WriteDword(range.value);
    KXI_ParticleSystemCtrl::Save(ar);
}

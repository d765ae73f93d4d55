#include "particles/systems/BurstPtclSys.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/Geometry.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/systems/PresetSupport.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

using namespace preset_systems;

KXI_BurstPtclSys::KXI_BurstPtclSys() = default;

KXI_BurstPtclSys::KXI_BurstPtclSys(const KXI_BurstPtclSys& other)
    : KXI_ParticleSystemCtrl(other), emitter(other.emitter), burstCount(other.burstCount),
      launchSpeed(other.launchSpeed), range(other.range), spatial(other.spatial), direction(other.direction),
      focused(other.focused), startRadius(other.startRadius), emittedCount(other.emittedCount)
{
}

KXI_BurstPtclSys::~KXI_BurstPtclSys() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_BurstPtclSys::Clone() const
{
    return std::make_unique<KXI_BurstPtclSys>(*this);
}

void KXI_BurstPtclSys::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    params.flags |= ParticleSystemParams::kFlagVibrations;
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(1);
    if (TakeFreshPlacement(*this))
        emitter.CentreOnScreen();
}

InnerParticleList::Handles KXI_BurstPtclSys::Emit(float)
{
    if (TimelineOff(timing))
        emittedCount = 0;
    return EmitParticles(TakeBurstDue(TimelineLevel(timing), burstCount.value, emittedCount));
}

void KXI_BurstPtclSys::Restart()
{
    particles.Clear();
    emittedCount = 0;
}

InnerParticleList::Handles KXI_BurstPtclSys::EmitParticles(std::int32_t count)
{
    InnerParticleList::Handles fresh = emitter.Emit(std::min(count, particles.Room()));
    for (const ParticleHandle& particle : fresh)
        InitParticle(*particle);
    return AppendAndKeep(particles, std::move(fresh));
}

void KXI_BurstPtclSys::InitParticle(InnerParticle& particle)
{
    const float speed = launchSpeed.Scaled();
    const float lifetime = LaunchLifetime(static_cast<float>(range.value), speed);
    params.SetupParticle(particle, ParticleRoutineHandle(new IPR_ConstantAge(lifetime)));
    particle.AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);

    const auto angle = static_cast<float>(direction.value);
    const auto spread = static_cast<float>(direction.spread.value);
    if (focused.value == 0)
        LaunchInSector(particle, angle - spread * 0.5f, angle + spread * 0.5f);
    else
        LaunchFocused(particle);
    particle.velocity *= speed;
    // This family draws no random opacity.
    particle.values[InnerParticle::kOpacityValue] = 0.0f;
}

namespace {

math::Vec3 UnitLaunch(bool spatial, float lo, float hi)
{
    math::Vec3 u;
    if (spatial)
        RandomDirectionInCone(u, 1.0f, lo, hi);
    else
        RandomDirectionInArc(u, 1.0f, lo, hi);
    return u;
}

} // namespace

void KXI_BurstPtclSys::LaunchInSector(InnerParticle& particle, float lo, float hi) const
{
    particle.velocity = UnitLaunch(spatial.value != 0, lo, hi);
    const float d = crt::RandomUnit() * static_cast<float>(startRadius.value);
    particle.position += particle.velocity * d;
}

void KXI_BurstPtclSys::LaunchFocused(InnerParticle& particle) const
{
    const float radius = static_cast<float>(startRadius.value);
    const float d = crt::RandomUnit() * radius;
    particle.position += UnitLaunch(spatial.value != 0, 0.0f, 360.0f) * d;
    const math::Vec4& c = direction.Direction();
    const math::Vec3 along{c.x, -c.y, c.z};
    if (direction.spread.value == 0 || startRadius.value == 0) {
        particle.velocity = along;
        return;
    }
    // The focal point lies where the cone of half the spread over the disc
    // closes.
    const float f = radius / std::sin(static_cast<float>(direction.spread.value) * kScenePi / 360.0f);
    const math::Vec3 focus = emitter.position.value + along * f;
    const math::Vec3 toFocus = focus - particle.position;
    if (math::Vec3LengthSq(toFocus) > 0.0f && std::isfinite(f))
        math::Vec3Normalize(&particle.velocity, toFocus);
    else
        particle.velocity = along;
}

// ---- stored form ------------------------------------------------------------------

void KXI_BurstPtclSys::ReadLaunchFields(ArchiveReader ar, bool withBurstCount)
{
    emitter.position.StoreValue(ReadVec3(ar));
    if (withBurstCount)
        burstCount.StoreValue(ar.ReadDword());
    launchSpeed.SetChangedValue(ar.ReadDword(), nullptr);
    range.StoreValue(ar.ReadDword());
    spatial.StoreValue(ar.ReadInt());
    direction.StoreValue(ar.ReadDword());
    direction.UpdateVectors();
    direction.spread.StoreValue(ar.ReadDword());
}

void KXI_BurstPtclSys::ReadLegacyGravity(ArchiveReader ar)
{
    params.gravity.SetChangedValue(ar.ReadDword(), nullptr);
    params.gravityDirection.QuietSet(ar.ReadInt() != 0 ? 2 : 1);
    params.flags |= ParticleSystemParams::kFlagPhysics;
}

void KXI_BurstPtclSys::ApplyLegacyEnvelopes()
{
    SetEnvelope(params.sizeEnvelope, 0, 100);
    SetEnvelope(params.opacityEnvelope, 10, 60);
}

void KXI_BurstPtclSys::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadLaunchFields(ar, true);
    if (version < 4)
        ReadLegacyGravity(ar);
    if (version < 3)
        ApplyLegacyEnvelopes();
    if (version >= 2) {
        focused.StoreValue(ar.ReadInt());
        startRadius.StoreValue(ar.ReadDword());
    }
    Load(ar);
}

void KXI_BurstPtclSys::LoadBurstSection(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    KXI_BurstPtclSys::ReadBody(ar, header.version);
}

void KXI_BurstPtclSys::Save(ArchiveWriter ar) const
{
    WriteSectionHeader(ar, kClassName, kWrittenVersion);
    WriteVec3(ar, emitter.position.value);
    ar->WriteDword(burstCount.value);
    ar->WriteDword(launchSpeed.value);
    ar->WriteDword(range.value);
    ar->WriteLong(spatial.value);
    ar->WriteDword(direction.value);
    ar->WriteDword(direction.spread.value);
    ar->WriteLong(focused.value);
    ar->WriteDword(startRadius.value);
    KXI_ParticleSystemCtrl::Save(ar);
}

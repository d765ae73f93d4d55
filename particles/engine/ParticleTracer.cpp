#include "particles/engine/ParticleTracer.h"

#include "objectmodel/Geometry.h"
#include "particles/engine/ParticleRoutines.h"
#include "platform/crt/Random.h"

namespace {

// Envelope values older records get: shrink over the whole life, fade in
// over the first tenth.
constexpr std::uint32_t kLegacyGrowEnd = 0;
constexpr std::uint32_t kLegacyShrinkStart = 0;
constexpr std::uint32_t kLegacyFadeInEnd = 10;
constexpr std::uint32_t kLegacyFadeOutStart = 0;

} // namespace

math::Vec3 DrawnCentre(const InnerParticle& particle)
{
    return particle.position + particle.perpendicular * particle.multipliers[InnerParticle::kAcrossOffset] +
           particle.direction * particle.multipliers[InnerParticle::kAlongOffset];
}

KXI_ParticleTracer::KXI_ParticleTracer() = default;

KXI_ParticleTracer::KXI_ParticleTracer(const KXI_ParticleTracer& other)
    : emitter(other.emitter), params(other.params), lifetime(other.lifetime), spread(other.spread),
      velocityFactor(other.velocityFactor), particles(other.particles)
{
}

KXI_ParticleTracer::~KXI_ParticleTracer()
{
    particles.Clear();
}

void KXI_ParticleTracer::Step(const InnerParticleList& sources, float size, float dt)
{
    if (lifetime.Scaled() > 0.0f) {
        for (const ParticleHandle& source : sources.Particles()) {
            if (source)
                EmitAround(*source, size, dt);
        }
    }
    particles.Update(dt);
}

void KXI_ParticleTracer::EmitAround(const InnerParticle& source, float size, float dt)
{
    const math::Vec3 centre = DrawnCentre(source);
    emitter.geometry.position.SetValue(centre, nullptr);
    emitter.geometry.diameter = spread.Scaled() * size * source.values[InnerParticle::kSizeValue];
    InnerParticleList::Handles fresh = emitter.Emit(dt, particles.Room());
    for (const ParticleHandle& particle : fresh)
        InitParticle(particle, centre, size);
    particles.Append(std::move(fresh));
}

void KXI_ParticleTracer::InitParticle(const ParticleHandle& handle, const math::Vec3& centre, float size) const
{
    InnerParticle& particle = *handle;
    particle.AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
    const float life = lifetime.Scaled();
    params.SetupParticle(particle, ParticleRoutineHandle(new IPR_ConstantAge(life)));
    const float k = velocityFactor.Scaled();
    // Step emits only with a lifetime above 0; a particle set up without one
    // keeps still rather than taking an infinite velocity.
    if (!(life > 0.0f)) {
        particle.velocity = {};
    } else if (k > 0.0f) {
        math::Vec3 outward;
        RandomDirectionInArc(outward, crt::RandomUnit() * size, 0.0f, 360.0f);
        particle.velocity = outward * k / life;
    } else {
        particle.velocity = (particle.position - centre) * k / life;
    }
    particle.values[InnerParticle::kOpacityValue] = 0.0f;
}

// ---- stored form ------------------------------------------------------------------

void KXI_ParticleTracer::ApplyLegacyEnvelopes()
{
    params.sizeEnvelope.percents[0].SetChangedValue(kLegacyGrowEnd, nullptr);
    params.sizeEnvelope.percents[1].SetChangedValue(kLegacyShrinkStart, nullptr);
    params.opacityEnvelope.percents[0].SetChangedValue(kLegacyFadeInEnd, nullptr);
    params.opacityEnvelope.percents[1].SetChangedValue(kLegacyFadeOutStart, nullptr);
}

void KXI_ParticleTracer::Read(ArchiveReader ar)
{
    const std::int32_t version = ar.ReadInt();
    if (version >= 2)
        params.ReadRecord(ar);
    emitter.counter.rate.SetChangedValue(ar.ReadDword(), nullptr);
    lifetime.SetValue(ar.ReadDword(), nullptr);
    if (version <= 1)
        params.particleSize.StoreValue(ar.ReadDword());
    spread.SetValue(ar.ReadDword(), nullptr);
    velocityFactor.SetValue(ar.ReadDword(), nullptr);
    if (version <= 3) {
        ar.ReadInt();
        params.flags |= ParticleSystemParams::kFlagPhysics;
    }
    if (version <= 2)
        ApplyLegacyEnvelopes();
}

void KXI_ParticleTracer::Write(ArchiveWriter ar) const
{
    ar->WriteVersion(kWrittenVersion);
    ar->WriteVersion(ParticleSystemParams::kWrittenVersion);
    ar->WriteWideString(params.textureName.value);
    params.Write(ar);
    ar->WriteDword(emitter.counter.rate.value);
    ar->WriteDword(lifetime.value);
    ar->WriteDword(spread.value);
    ar->WriteDword(velocityFactor.value);
}

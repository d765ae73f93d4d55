#include "particles/engine/BrownAnimation.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "objectmodel/Geometry.h"
#include "objectmodel/ParamRecords.h"
#include "particles/engine/ParticleRoutines.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

namespace {

constexpr float kSpeedScale = 0.01f;
constexpr std::uint32_t kRealTime = 100;

// A wander velocity of 75 to 100 units per second in any direction (the
// length is drawn before the angle).
math::Vec3 DrawWanderVelocity()
{
    const float length = 75.0f + 25.0f * crt::RandomUnit();
    math::Vec3 velocity;
    RandomDirectionInArc(velocity, length, 0.0f, 360.0f);
    return velocity;
}

// Seconds until the next change: uniform in 0.5 / F .. 1.5 / F.
float DrawChangeInterval(float rate)
{
    return crt::RandomUnit() * (1.5f / rate - 0.5f / rate) + 0.5f / rate;
}

bool IsZero(const math::Vec3& v)
{
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

} // namespace

// ---- routine ----------------------------------------------------------------------

IPR_Brownian::IPR_Brownian(const MediaQuad* area, const UINTSclaleTo<float>* driftScale,
                           const UINTSclaleTo<float>* changeRate, const UINTSclaleTo<float>* turnTime)
    : area(area), driftScale(driftScale), changeRate(changeRate), turnTime(turnTime),
      ownVelocity(DrawWanderVelocity())
{
    changeTimer = DrawChangeInterval(changeRate->Scaled());
}

bool IPR_Brownian::IsOutside(const math::Vec3& position) const
{
    const math::Vec3& leftTop = area->corners[0].value;
    const math::Vec3& rightBottom = area->corners[3].value;
    return position.y > rightBottom.y || leftTop.y > position.y || leftTop.x > position.x ||
           position.x > rightBottom.x;
}

void IPR_Brownian::TurnToward(const math::Vec3& velocity, float seconds)
{
    turnTimer = seconds;
    acceleration = (velocity - ownVelocity) / seconds;
}

bool IPR_Brownian::Step(float dt, InnerParticle& particle)
{
    const float s = driftScale->Scaled();
    const float f = changeRate->Scaled();
    const float a = turnTime->Scaled();
    math::Vec3& position = particle.position;

    if (!IsOutside(position)) {
        inside = 1;
    } else {
        if (inside != 0 || IsZero(acceleration)) {
            const math::Vec3& leftTop = area->corners[0].value;
            const math::Vec3& rightBottom = area->corners[3].value;
            const math::Vec3 toCentre{(leftTop.x + rightBottom.x) / 2.0f - position.x,
                                      (leftTop.y + rightBottom.y) / 2.0f - position.y, 0.0f - position.z};
            math::Vec3 home;
            math::Vec3Normalize(&home, toCentre);
            TurnToward(home * kHomeSpeed, a);
        }
        inside = 0;
    }

    changeTimer -= dt;
    if (changeTimer < 0.0f) {
        changeTimer = DrawChangeInterval(f);
        if (inside != 0)
            TurnToward(DrawWanderVelocity(), a);
    }

    turnTimer -= dt;
    if (turnTimer < 0.0f) {
        turnTimer = 0.0f;
        acceleration = {};
    }

    position += (ownVelocity * dt + acceleration * (0.5f * dt * dt)) * s;
    ownVelocity += acceleration * dt;
    return true;
}

// ---- controller -------------------------------------------------------------------

KXI_BrownAnimation::KXI_BrownAnimation()
{
    wanderSpeed.Rescale(kSpeedScale, 0.0f);
    wanderSpeed.QuietSet(kRealTime);
}

KXI_BrownAnimation::KXI_BrownAnimation(const KXI_BrownAnimation& other)
    : KXI_ParticleSystemCtrl(other), count(other.count), driftScale(other.driftScale), changeRate(other.changeRate),
      turnTime(other.turnTime), area(other.area), wanderSpeed(other.wanderSpeed)
{
}

// The particles' routines point at this object's parameters: they go first.
KXI_BrownAnimation::~KXI_BrownAnimation()
{
    particles.Clear();
}

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_BrownAnimation::Clone() const
{
    return std::make_unique<KXI_BrownAnimation>(*this);
}

InnerParticleList::Handles KXI_BrownAnimation::Emit(float)
{
    return {};
}

void KXI_BrownAnimation::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(1);
    FillBrownParticles();
}

void KXI_BrownAnimation::Restart()
{
    KXI_ParticleSystemCtrl::Restart();
    FillBrownParticles();
}

void KXI_BrownAnimation::FillBrownParticles()
{
    const auto wanted = static_cast<std::size_t>(std::min<std::uint32_t>(
        count.value, static_cast<std::uint32_t>(InnerParticleList::kMaxParticles)));
    InnerParticleList::Handles& held = particles.Particles();
    if (held.size() >= wanted) {
        held.erase(std::next(held.begin(), static_cast<std::ptrdiff_t>(wanted)), held.end());
        return;
    }
    InnerParticleList::Handles fresh = area.Emit(static_cast<std::int32_t>(wanted - held.size()));
    const COLORREF colour = ColourListEntry(params.colours, 0);
    for (const ParticleHandle& particle : fresh) {
        particle->AddRoutine(ParticleRoutineHandle(new IPR_Brownian(&area.area, &driftScale, &changeRate, &turnTime)),
                             false);
        particle->colour = colour;
    }
    particles.Append(std::move(fresh));
}

void KXI_BrownAnimation::AdvanceWandering(float localTime)
{
    params.AdvanceTime(localTime);
    wanderSpeed.Advance(localTime);
    particles.Update(wanderSpeed.Step());
}

void KXI_BrownAnimation::Update(float localTime)
{
    AdvanceWandering(localTime);
    BuildSquareQuads(particles, static_cast<float>(params.particleSize.value) * 0.01f);
}

// ---- stored form ------------------------------------------------------------------

void KXI_BrownAnimation::ReadBody(ArchiveReader ar, std::int32_t)
{
    count.StoreValue(ar.ReadDword());
    driftScale.SetChangedValue(ar.ReadDword(), nullptr);
    changeRate.SetChangedValue(ar.ReadDword(), nullptr);
    turnTime.SetChangedValue(ar.ReadDword(), nullptr);
    ReadMediaQuad(ar, area.area);
    Load(ar);
}

void KXI_BrownAnimation::WriteBody(ArchiveWriter ar) const
{
    ar->WriteDword(count.value);
    ar->WriteDword(driftScale.value);
    ar->WriteDword(changeRate.value);
    ar->WriteDword(turnTime.value);
    WriteMediaQuad(ar, area.area);
    KXI_ParticleSystemCtrl::Save(ar);
}

void KXI_BrownAnimation::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteBody(ar);
}

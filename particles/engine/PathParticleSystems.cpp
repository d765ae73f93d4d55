#include "particles/engine/PathParticleSystems.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/Geometry.h"
#include "particles/engine/ParticleRoutines.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

namespace {

constexpr float kRandMax = 32767.0f;
constexpr float kTwoPi = 6.2831855f;

float DrawUnit()
{
    return static_cast<float>(crt::rand()) / kRandMax;
}

void WriteVec3(ArchiveWriter ar, const math::Vec3& v)
{
    ar->WriteFloat(v.x);
    ar->WriteFloat(v.y);
    ar->WriteFloat(v.z);
}

// The level of the object's current timeline (1 without one).
float TimelineLevel(const KXI_SmartTiming& timing)
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    return timeline ? timeline->GetValue() : 1.0f;
}

} // namespace

void WriteSplinePoints(ArchiveWriter ar, const SplinePath& path)
{
    ar->WriteVersion(static_cast<std::int32_t>(path.points.size()));
    for (const SplinePath::PointHandle& point : path.points) {
        ar->WriteVersion(1);
        WriteVec3(ar, point->value);
        WriteVec3(ar, point->outgoing.value);
        WriteVec3(ar, point->incoming.value);
    }
}

// ---- path stream ------------------------------------------------------------------

KXI_ParticlePath::KXI_ParticlePath() = default;

KXI_ParticlePath::KXI_ParticlePath(const KXI_ParticlePath& other)
    : KXI_ParticleSystemCtrl(other), path(other.path), rate(other.rate), pathSpeed(other.pathSpeed),
      speedJitter(other.speedJitter), width(other.width), wanderMode(other.wanderMode),
      waveFrequency(other.waveFrequency), startWidth(other.startWidth), endWidth(other.endWidth),
      wideningEnd(other.wideningEnd), narrowingStart(other.narrowingStart)
{
}

// The particles' routines point at this object's path and parameters: they
// go first.
KXI_ParticlePath::~KXI_ParticlePath()
{
    particles.Clear();
}

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_ParticlePath::Clone() const
{
    return std::make_unique<KXI_ParticlePath>(*this);
}

void KXI_ParticlePath::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(1);
    path.RebuildCurve();
}

float KXI_ParticlePath::GetPreRunDuration() const
{
    const float speedValue = pathSpeed.Scaled();
    if (!(speedValue > 0.0f))
        return 0.0f;
    return path.length / speedValue;
}

InnerParticleList::Handles KXI_ParticlePath::Emit(float dt)
{
    if (path.GetPointCount() < 2)
        return {};
    const std::int32_t due = rate.CountDue(dt * TimelineLevel(timing));
    const std::int32_t n = std::min(due, particles.Room());
    if (n <= 0)
        return {};
    const math::Vec3 start = path.points.front()->value;
    InnerParticleList::Handles fresh;
    for (std::int32_t i = 0; i < n; ++i) {
        ParticleHandle particle(new InnerParticle(start));
        SetUpPathParticle(*particle);
        particle->Step(static_cast<float>(i) * dt / static_cast<float>(n));
        fresh.push_back(std::move(particle));
    }
    particles.Append(std::move(fresh));
    return {};
}

void KXI_ParticlePath::AddSidewaysMotion(InnerParticle& particle) const
{
    const float frequency = waveFrequency.Scaled();
    if (wanderMode.value == 0) {
        particle.values[InnerParticle::kSidewaysFactor] = DrawUnit() - 0.5f;
        const float phase = DrawUnit() * kTwoPi;
        const float signedFrequency = crt::rand() % 2 == 0 ? frequency : -frequency;
        particle.AddRoutine(ParticleRoutineHandle(new IPR_Harmonic(particle, InnerParticle::kSidewaysMultiplier,
                                                                   1.0f, phase, 0.0f, signedFrequency)),
                            false);
        return;
    }
    particle.values[InnerParticle::kSidewaysFactor] = 1.0f;
    particle.AddRoutine(
        ParticleRoutineHandle(new IPR_Perlin(particle, InnerParticle::kSidewaysMultiplier, 1.0f, 0.0f, frequency)),
        false);
}

// Two ramps on multiplier 6 by the distance travelled: in from the start
// width up to the widening end, out to the end width from the narrowing
// start. The widths count only when the narrowing starts after the widening
// ends; otherwise both ramps run from and to zero and overlap.
void KXI_ParticlePath::AddBandEnvelope(InnerParticle& particle) const
{
    const float length = path.length;
    const bool ordered = narrowingStart.value > wideningEnd.value;
    const float from = ordered ? startWidth.Scaled() : 0.0f;
    const float to = ordered ? endWidth.Scaled() : 0.0f;
    particle.AddRoutine(ParticleRoutineHandle(new IPR_IncrementM(from, 1.0f, 0.0f, wideningEnd.Scaled() * length)),
                        false);
    particle.AddRoutine(
        ParticleRoutineHandle(new IPR_IncrementM(1.0f, to, narrowingStart.Scaled() * length, length)), false);
}

void KXI_ParticlePath::SetUpPathParticle(InnerParticle& particle) const
{
    AddSidewaysMotion(particle);
    AddBandEnvelope(particle);
    ParticleRoutineHandle tracker(new IPR_PathTracker(path, &pathSpeed, &width, speedJitter.Scaled()));
    params.SetupParticle(particle, tracker);
}

void KXI_ParticlePath::ReadBody(ArchiveReader ar, std::int32_t)
{
    path.ReadPoints(ar);
    rate.rate.SetChangedValue(ar.ReadDword(), nullptr);
    pathSpeed.StoreValue(ar.ReadDword());
    speedJitter.SetChangedValue(ar.ReadDword(), nullptr);
    width.StoreValue(ar.ReadDword());
    wanderMode.StoreValue(ar.ReadInt());
    for (UINTSclaleTo<float>* value : {&waveFrequency, &startWidth, &endWidth, &wideningEnd, &narrowingStart})
        value->SetChangedValue(ar.ReadDword(), nullptr);
    Load(ar);
}

void KXI_ParticlePath::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteSplinePoints(ar, path);
    ar->WriteDword(rate.rate.value);
    ar->WriteDword(pathSpeed.value);
    ar->WriteDword(speedJitter.value);
    ar->WriteDword(width.value);
    ar->WriteVersion(wanderMode.value);
    for (const UINTSclaleTo<float>* value : {&waveFrequency, &startWidth, &endWidth, &wideningEnd, &narrowingStart})
        ar->WriteDword(value->value);
    KXI_ParticleSystemCtrl::Save(ar);
}

// ---- trace ------------------------------------------------------------------------

KXI_ParticleTrace::KXI_ParticleTrace() = default;

KXI_ParticleTrace::KXI_ParticleTrace(const KXI_ParticleTrace& other)
    : KXI_ParticleSystemCtrl(other), path(other.path), count(other.count), lifetime(other.lifetime),
      scatterRadius(other.scatterRadius), launchSpeed(other.launchSpeed), travelled(other.travelled),
      cursor(other.cursor)
{
}

KXI_ParticleTrace::~KXI_ParticleTrace()
{
    particles.Clear();
}

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_ParticleTrace::Clone() const
{
    return std::make_unique<KXI_ParticleTrace>(*this);
}

void KXI_ParticleTrace::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(1);
    path.RebuildCurve();
    cursor = NewPathCursor(path);
}

float KXI_ParticleTrace::GetPreRunDuration() const
{
    return 0.0f;
}

bool KXI_ParticleTrace::CanTravel() const
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    return timeline && timeline->GetState() == kTimingOn && path.length > 0.0f && timeline->GetLength() > 0.0f &&
           count.value > 1 && cursor;
}

void KXI_ParticleTrace::ResetCursor()
{
    if (cursor) {
        cursor->segment = 0;
        cursor->offset = 0.0f;
    }
    travelled = 0.0f;
}

InnerParticleList::Handles KXI_ParticleTrace::Emit(float dt)
{
    if (!CanTravel()) {
        ResetCursor();
        return {};
    }
    math::Vec3 point, direction;
    if (travelled == 0.0f) {
        cursor->AdvanceWithOffset(0.0f, 0.0f, point, direction);
        Drop(point, direction);
    }
    travelled += path.length * dt / timing.CurrentTimeline()->GetLength();
    const float spacing = path.length / static_cast<float>(count.value - 1);
    while (travelled > spacing) {
        if (particles.Room() <= 0) {
            WalkWithoutDrops(spacing);
            break;
        }
        cursor->AdvanceWithOffset(spacing, 0.0f, point, direction);
        Drop(point, direction);
        travelled -= spacing;
    }
    return {};
}

void KXI_ParticleTrace::WalkWithoutDrops(float spacing)
{
    // The drops the loop would still make: while travelled > spacing.
    const double excess = static_cast<double>(travelled);
    const double step = static_cast<double>(spacing);
    const double steps = std::max(std::ceil(excess / step) - 1.0, 0.0);
    math::Vec3 point, direction;
    cursor->AdvanceWithOffset(static_cast<float>(steps * step), 0.0f, point, direction);
    const double rest = excess - steps * step;
    travelled = static_cast<float>(std::clamp(rest, 0.0, step));
}

void KXI_ParticleTrace::Drop(const math::Vec3& point, const math::Vec3& direction)
{
    if (particles.Room() <= 0)
        return;
    math::Vec3 scatter;
    RandomDirectionInArc(scatter, static_cast<float>(scatterRadius.value), 0.0f, 360.0f);
    ParticleHandle particle(new InnerParticle(point + scatter));
    params.SetupParticle(*particle, ParticleRoutineHandle(new IPR_ConstantAge(lifetime.Scaled())));
    math::Vec3 heading;
    math::Vec3Normalize(&heading, direction);
    if (params.rotationMode.value == ParticleSystemParams::kAlignWithVelocity) {
        math::Matrix align;
        MakeRotationBetweenVectors(align, heading, {1.0f, 0.0f, 0.0f});
        particle->matrix = particle->matrix * align;
    }
    // Off at right angles to the path, at a random angle around it.
    const float theta = DrawUnit() * 360.0f * (kScenePi / 180.0f);
    math::Matrix around;
    math::MatrixRotationAxis(&around, direction, theta);
    math::Vec3TransformCoord(&particle->velocity, {0.0f, 0.0f, launchSpeed.Scaled()}, around);
    particle->AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
    InnerParticleList::Handles fresh;
    fresh.push_back(std::move(particle));
    particles.Append(std::move(fresh));
}

void KXI_ParticleTrace::ReadBody(ArchiveReader ar, std::int32_t)
{
    path.ReadPoints(ar);
    count.StoreValue(ar.ReadDword());
    lifetime.SetChangedValue(ar.ReadDword(), nullptr);
    lifetime.NotifyObservers(nullptr);
    scatterRadius.StoreValue(ar.ReadDword());
    launchSpeed.SetChangedValue(ar.ReadDword(), nullptr);
    Load(ar);
}

void KXI_ParticleTrace::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteSplinePoints(ar, path);
    ar->WriteDword(count.value);
    ar->WriteDword(lifetime.value);
    ar->WriteDword(scatterRadius.value);
    ar->WriteDword(launchSpeed.value);
    KXI_ParticleSystemCtrl::Save(ar);
}

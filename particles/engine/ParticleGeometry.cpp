#include "particles/engine/ParticleGeometry.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/ParamRecords.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

void KXI_PtclSys_Geometry::WriteSectionStart(ArchiveWriter ar, std::u16string_view className)
{
    ar->WriteWideString(kxi_string(className));
    ar->WriteLong(kStoredVersion);
}

void KXI_PtclSys_Geometry::ReadStoredVector(ArchiveReader ar, MediaParamT<math::Vec3>& vector)
{
    math::Vec3 v;
    v.x = ar.ReadFloat();
    v.y = ar.ReadFloat();
    v.z = ar.ReadFloat();
    vector.StoreValue(v);
}

void KXI_PtclSys_Geometry::WriteStoredVector(ArchiveWriter ar, const MediaParamT<math::Vec3>& vector)
{
    ar->WriteFloat(vector.value.x);
    ar->WriteFloat(vector.value.y);
    ar->WriteFloat(vector.value.z);
}

float KXI_PtclSys_Geometry::Uniform(float low, float high)
{
    return crt::RandomUnit() * (high - low) + low;
}

KXI_PtclSys_Geometry::KXI_PtclSys_Geometry()
{
    sizeJitter.Rescale(0.01f, 0.0f);
    opacityJitter.Rescale(-0.01f, 1.0f);
    spin.spinSpeed.Rescale(0.05f, 0.0f);
}

void KXI_PtclSys_Geometry::Save(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kSectionName);
    ar->WriteWideString(name);
    WriteStoredVector(ar, offset);
    WriteOscillationParams(ar, sizeOscillation);
    WriteOscillationParams(ar, opacityOscillation);
    WriteJitterParam(ar, sizeJitter);
    WriteJitterParam(ar, opacityJitter);
    WritePercentParamGroup(ar, sizeEnvelope);
    WritePercentParamGroup(ar, opacityEnvelope);
    WriteOscillationParams(ar, vibrationAlong);
    WriteOscillationParams(ar, vibrationAcross);
    WriteSpinParams(ar, spin);
}

void KXI_PtclSys_Geometry::ReadGeometrySection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    name = ar.ReadWideString();
    ReadStoredVector(ar, offset);
    ReadOscillationParams(ar, sizeOscillation);
    ReadOscillationParams(ar, opacityOscillation);
    ReadJitterParam(ar, sizeJitter);
    ReadJitterParam(ar, opacityJitter);
    ReadPercentParamGroup(ar, sizeEnvelope);
    ReadPercentParamGroup(ar, opacityEnvelope);
    ReadOscillationParams(ar, vibrationAlong);
    ReadOscillationParams(ar, vibrationAcross);
    ReadSpinParams(ar, spin);
}

void KXI_PtclSys_Geometry::DrawSpriteCell(TreeParticle& particle) const
{
    const float c = static_cast<float>(columns);
    const float r = static_cast<float>(rows);
    particle.spriteCell.x = 1.0f / c;
    particle.spriteCell.y = 1.0f / r;
    particle.spriteCell.z = static_cast<float>(crt::rand() % columns) / c;
    particle.spriteCell.w = static_cast<float>(crt::rand() % rows) / r;
}

void KXI_PtclSys_Geometry::AddCommonTransforms(TreeParticle& particle)
{
    DrawSpriteCell(particle);
    particle.AddTransform(
        PtclTransformHandle(new PtclTr_JitterUpdater(TreeParticle::kSize, sizeJitter, crt::RandomUnit())));
    particle.AddTransform(
        PtclTransformHandle(new PtclTr_JitterUpdater(TreeParticle::kOpacity, opacityJitter, crt::RandomUnit())));
    particle.AddTransform(PtclTransformHandle(new PtclTr_Oscilator(1.0f, TreeParticle::kSize, sizeOscillation)));
    particle.AddTransform(PtclTransformHandle(new PtclTr_Oscilator(1.0f, TreeParticle::kOpacity, opacityOscillation)));
    particle.AddTransform(
        PtclTransformHandle(new PtclTr_Vibrator(0.0f, TreeParticle::kAlongDirection, vibrationAlong)));
    particle.AddTransform(
        PtclTransformHandle(new PtclTr_Vibrator(0.0f, TreeParticle::kAcrossDirection, vibrationAcross)));
    particle.AddTransform(PtclTransformHandle(new PtclTr_StandardSpin(spin)));
}

void KXI_PtclSys_Geometry::SpawnParticles(TreeParticleList& out, const TreeParticleHandle&)
{
    out.clear();
}

void KXI_PtclSys_Geometry::EmitParticles(TreeParticleList& out, float, const TreeParticleHandle&)
{
    out.clear();
}

bool KXI_PtclSys_Geometry::Adopt(const TreeParticleHandle& particle)
{
    if (RoomLeft() == 0)
        return false;
    particles.push_back(particle);
    return true;
}

std::size_t KXI_PtclSys_Geometry::RoomLeft() const
{
    return particles.size() >= kMaxParticles ? 0 : kMaxParticles - particles.size();
}

TreeParticleHandle KXI_PtclSys_Geometry::MakeChild(const TreeParticleHandle& parent)
{
    TreeParticleHandle child = MakeSafePtr<TreeParticle>(parent);
    child->Position() = offset.value;
    AddCommonTransforms(*child);
    Adopt(child);
    return child;
}

void KXI_PtclSys_Geometry::UpdateParticles(float dt)
{
    std::erase_if(particles, [dt](TreeParticleHandle& p) { return !p || !p->Step(dt); });
}

void KXI_PtclSys_Geometry::SetFrameLayout(int newColumns, int newRows)
{
    columns = std::max(newColumns, 1);
    rows = std::max(newRows, 1);
    for (TreeParticleHandle& p : particles)
        DrawSpriteCell(*p);
}

KXI_PSGeometry_Swarm::KXI_PSGeometry_Swarm()
{
    changeRate.UpdateScaled();
    changeTime.UpdateScaled();
}

void KXI_PSGeometry_Swarm::Save(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kClassName);
    ar->WriteDword(count.value);
    ar->WriteDword(wanderSpeed.value);
    ar->WriteDword(changeRate.value);
    ar->WriteDword(changeTime.value);
    ar->WriteDword(width.value);
    ar->WriteDword(height.value);
    KXI_PtclSys_Geometry::Save(ar);
}

void KXI_PSGeometry_Swarm::ReadBody(ArchiveReader ar, std::int32_t)
{
    count.StoreValue(ar.ReadDword());
    wanderSpeed.SetChangedValue(ar.ReadDword(), nullptr);
    changeRate.SetChangedValue(ar.ReadDword(), nullptr);
    changeTime.SetChangedValue(ar.ReadDword(), nullptr);
    width.StoreValue(ar.ReadDword());
    height.StoreValue(ar.ReadDword());
    ReadGeometrySection(ar);
}

void KXI_PSGeometry_Swarm::SpawnParticles(TreeParticleList& out, const TreeParticleHandle& parent)
{
    const std::size_t n = std::min<std::size_t>(count.value, RoomLeft());
    out.resize(n);
    const float halfWidth = static_cast<float>(width.value) / 2.0f;
    const float halfHeight = static_cast<float>(height.value) / 2.0f;
    for (TreeParticleHandle& child : out) {
        child = MakeChild(parent);
        child->Position().x += Uniform(-halfWidth, halfWidth);
        child->Position().y += Uniform(-halfHeight, halfHeight);
        child->AddTransform(PtclTransformHandle(new PtclTr_Brownian(*this)));
    }
}

SwarmMotion KXI_PSGeometry_Swarm::Motion() const
{
    SwarmMotion motion;
    motion.centre = offset.value;
    motion.width = static_cast<float>(width.value);
    motion.height = static_cast<float>(height.value);
    motion.changeFrequency = changeRate.Scaled();
    motion.accelerationTime = changeTime.Scaled();
    motion.speedScale = wanderSpeed.Scaled();
    return motion;
}

void KXI_PSGeometry_Point::Save(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kClassName);
    KXI_PtclSys_Geometry::Save(ar);
}

void KXI_PSGeometry_Point::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadGeometrySection(ar);
}

void KXI_PSGeometry_Point::SpawnParticles(TreeParticleList& out, const TreeParticleHandle& parent)
{
    out.clear();
    if (RoomLeft() == 0)
        return;
    TreeParticleHandle child = MakeChild(parent);
    if (parent)
        child->AddTransform(PtclTransformHandle(new PtclTr_InheritAge));
    child->AddTransform(PtclTransformHandle(new PtclTr_AgeTransform(TreeParticle::kSize, sizeEnvelope)));
    child->AddTransform(PtclTransformHandle(new PtclTr_AgeTransform(TreeParticle::kOpacity, opacityEnvelope)));
    child->AddTransform(PtclTransformHandle(new PtclTr_InheritVectorPrm(TreeParticle::kDirection)));
    out.push_back(child);
}

void KXI_PSGeometry_Trace::Save(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kClassName);
    KXI_PtclSys_Geometry::Save(ar);
}

void KXI_PSGeometry_Trace::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadGeometrySection(ar);
}

void KXI_PSGeometry_Trace::EmitParticles(TreeParticleList& out, float, const TreeParticleHandle& parent)
{
    out.clear();
    if (!parent)
        return;
    const math::Vec3 at = parent->WorldPosition();
    math::Vec3 heading;
    math::Vec3Normalize(&heading, parent->Velocity());
    float d = 0.0f;
    if (particles.size() >= 2) {
        d = math::Vec3Length(at - particles[particles.size() - 2]->Position());
        if (d < kSpacing) {
            // Too close to the point before: the newest point follows the parent.
            TreeParticle& newest = *particles.back();
            newest.Position() = at;
            newest.Direction() = heading;
            newest.spriteCell.x = d;
            return;
        }
    }
    if (RoomLeft() == 0)
        return;
    TreeParticleHandle point = MakeSafePtr<TreeParticle>();
    point->AddTransform(PtclTransformHandle(new PtclTr_MaxAge(kLifeSpan)));
    point->Position() = at;
    point->Direction() = heading;
    point->spriteCell.x = d;
    Adopt(point);
    out.push_back(point);
}

KXI_PSGeometry_Emitter::KXI_PSGeometry_Emitter()
{
    speed.jitter.Rescale(-0.01f, 1.0f);
}

std::size_t KXI_PSGeometry_Emitter::DueCount(const Timing& timing, float dt, float parentAge, std::size_t room)
{
    const bool usable = std::isfinite(timing.period) && std::isfinite(timing.pause) && std::isfinite(timing.delay) &&
                        std::isfinite(dt) && std::isfinite(parentAge) && timing.period > 0.0f &&
                        timing.pause >= 0.0f && timing.delay >= 0.0f && timing.count > 0;
    if (!usable)
        return 0;
    const float a = parentAge - timing.delay;
    if (a < 0.0f)
        return 0;
    const float step = timing.period / static_cast<float>(timing.count);
    const float g = std::fmod(a, timing.period + timing.pause);
    const float h = g + dt;
    float due = 0.0f;
    if (timing.period > h)
        due = std::trunc(h / step) - std::trunc(g / step);
    else if (timing.period > g)
        due = std::trunc(timing.period / step) - std::trunc(g / step);
    // Clamped while still a float, so no out-of-range value is converted.
    if (!(due > 0.0f))
        return 0;
    return static_cast<std::size_t>(std::min(due, static_cast<float>(room)));
}

std::size_t KXI_PSGeometry_Emitter::DueCount(float dt, float parentAge) const
{
    return DueCount(Timing{period.value, pause.value, delay.value, count.value}, dt, parentAge, RoomLeft());
}

void KXI_PSGeometry_Emitter::EmitCommon(TreeParticleList& out, float dt, const TreeParticleHandle& parent)
{
    const float age = parent ? parent->values[TreeParticle::kAge] : 0.0f;
    out.resize(DueCount(dt, age));
    const bool linked = attached.value != 0;
    for (TreeParticleHandle& child : out) {
        child = MakeSafePtr<TreeParticle>(linked ? parent : TreeParticleHandle());
        child->AddTransform(PtclTransformHandle(new PtclTr_MaxAge(lifetime.value)));
        child->Position() = offset.value;
        if (!linked && parent)
            child->Position() += parent->WorldPosition();
        AddCommonTransforms(*child);
    }
}

float KXI_PSGeometry_Emitter::BirthFactor(const PercentParamGroup& envelope, float parentLifeFraction)
{
    return PtclTr_AgeTransform::EnvelopeFactor(envelope, parentLifeFraction);
}

void KXI_PSGeometry_Emitter::ReadEmitterSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    lifetime.value = ar.ReadFloat();
    count.StoreValue(ar.ReadDword());
    period.value = ar.ReadFloat();
    pause.value = ar.ReadFloat();
    delay.value = ar.ReadFloat();
    ReadJitterParam(ar, speed);
    attached.StoreValue(ar.ReadInt());
    ReadGeometrySection(ar);
}

void KXI_PSGeometry_Emitter::WriteEmitterSection(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kSectionName);
    ar->WriteFloat(lifetime.value);
    ar->WriteDword(count.value);
    ar->WriteFloat(period.value);
    ar->WriteFloat(pause.value);
    ar->WriteFloat(delay.value);
    WriteJitterParam(ar, speed);
    ar->WriteLong(attached.value);
    KXI_PtclSys_Geometry::Save(ar);
}

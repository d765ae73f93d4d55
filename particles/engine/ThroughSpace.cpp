#include "particles/engine/ThroughSpace.h"

#include <algorithm>

#include "objectmodel/Geometry.h"
#include "objectmodel/ParamRecords.h"
#include "particles/engine/ParticleRoutines.h"
#include "platform/math/MathFunctions.h"

namespace {

constexpr float kRotationScale = 0.4f;
constexpr float kSpeedScale = 0.01f;
constexpr std::uint32_t kRealTime = 100;

// translate(-centre) x scale(1/z) x translate(centre).
math::Matrix PerspectiveAbout(const math::Vec3& centre, float z)
{
    math::Matrix toOrigin, scale, back;
    math::MatrixTranslation(&toOrigin, -centre.x, -centre.y, -centre.z);
    const float s = 1.0f / z;
    math::MatrixScaling(&scale, s, s, s);
    math::MatrixTranslation(&back, centre.x, centre.y, centre.z);
    return toOrigin * scale * back;
}

void WriteCorners(QuadBatchVertex* quad, const math::Vec3 (&corners)[4])
{
    for (int k = 0; k < 4; ++k) {
        quad[k].x = corners[k].x;
        quad[k].y = corners[k].y;
        quad[k].z = corners[k].z;
    }
}

} // namespace

KXI_ThroughSpaceCtrl::KXI_ThroughSpaceCtrl()
{
    rotationClock.Rescale(kRotationScale, 0.0f);
    speedClock.Rescale(kSpeedScale, 0.0f);
}

KXI_ThroughSpaceCtrl::KXI_ThroughSpaceCtrl(const KXI_ThroughSpaceCtrl& other)
    : KXI_ParticleSystemCtrl(other), emitter(other.emitter), rotationClock(other.rotationClock),
      rotationDirection(other.rotationDirection), centre(other.centre), receding(other.receding),
      speedClock(other.speedClock), angle(other.angle)
{
}

KXI_ThroughSpaceCtrl::~KXI_ThroughSpaceCtrl()
{
    particles.Clear();
}

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_ThroughSpaceCtrl::Clone() const
{
    return std::make_unique<KXI_ThroughSpaceCtrl>(*this);
}

void KXI_ThroughSpaceCtrl::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (mech)
        mech->ResizeBatches(1);
}

InnerParticleList::Handles KXI_ThroughSpaceCtrl::Emit(float dt)
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    const float level = timeline ? timeline->GetValue() : 1.0f;
    InnerParticleList::Handles fresh = emitter.Emit(level * dt, particles.Room());
    for (const ParticleHandle& particle : fresh) {
        particle->AddRoutine(ParticleRoutineHandle(new IPR_Kinematic), false);
        params.SetupParticle(*particle, ParticleRoutineHandle(new IPR_ConstantAge(kLifetime)));
        particle->position.z = receding ? 0.0f : 1.0f;
        particle->velocity.z = receding ? kDepthSpeed : -kDepthSpeed;
    }
    InnerParticleList::Handles& list = particles.Particles();
    list.splice(receding ? list.end() : list.begin(), fresh);
    return {};
}

void KXI_ThroughSpaceCtrl::Update(float localTime)
{
    speedClock.Advance(localTime);
    rotationClock.Advance(localTime);
    const float step = speedClock.Step();
    params.AdvanceTime(localTime);
    // Existing particles take the step twice: here and in the base's step.
    particles.Update(step);
    AdvanceParticles(step);
    angle += rotationDirection.value != 0 ? -rotationClock.Step() : rotationClock.Step();
    TurnField();
    BuildDepthQuads();
}

void KXI_ThroughSpaceCtrl::TurnField()
{
    KXI_ParticleSystemMech* mech = RenderObject();
    QuadBatchBuffer* batch = mech ? mech->Batch(0) : nullptr;
    if (!batch)
        return;
    MakeRotationAboutAxisThroughPoint(batch->header.local, centre.value, {0.0f, 0.0f, 1.0f}, angle);
    batch->header.UpdateWorld(nullptr);
}

void KXI_ThroughSpaceCtrl::BuildDepthQuads()
{
    KXI_ParticleSystemMech* mech = RenderObject();
    if (!mech)
        return;
    const SpriteFrameInfo* texture = params.FirstTexture();
    const float w = static_cast<float>(params.particleSize.value);
    const float h = (texture ? texture->ratio : 1.0f) * w;
    const float uExtent = texture ? texture->uScale : 1.0f;
    const float vExtent = texture ? texture->vScale : 1.0f;
    const auto count = static_cast<std::int32_t>(std::min<std::size_t>(particles.Size(), InnerParticleList::kMaxParticles));
    mech->PrepareBatch(0, count, texture, params);
    QuadBatchBuffer* batch = mech->Batch(0);
    if (!batch)
        return;
    QuadBatchVertex* vertices = batch->LockQuads();
    if (!vertices) {
        mech->SetQuadCount(0, 0);
        return;
    }
    const math::Vec3& c = centre.value;
    const std::int32_t quads = mech->QuadCount(0);
    const float spinTime = params.spinClock.Total();
    const bool spinning = params.spinClock.Scaled() != 0.0f;
    std::int32_t i = 0;
    for (auto it = particles.Particles().begin(); it != particles.Particles().end() && i < quads; ++it) {
        if (!*it)
            continue;
        const InnerParticle& p = **it;
        QuadBatchVertex* quad = vertices + 4 * i;
        ++i;
        for (int k = 0; k < 4; ++k) {
            quad[k].u = quad[k].u * p.cell[0] + p.cell[2] * uExtent;
            quad[k].v = quad[k].v * p.cell[1] + p.cell[3] * vExtent;
        }
        const float z = p.position.z;
        if (!(z >= kNearestDepth)) {
            const math::Vec3 atCentre[4] = {c, c, c, c};
            WriteCorners(quad, atCentre);
            mech->SetQuadColour(quad, 0.0f);
            continue;
        }
        math::Matrix m = p.matrix;
        if (params.rotationMode.value == ParticleSystemParams::kSpin && spinning) {
            const float spin = spinTime * p.values[InnerParticle::kSpinFactor];
            if (spin != 0.0f) {
                math::Matrix turn;
                math::MatrixRotationZ(&turn, spin);
                m = m * turn;
            }
        } else if (params.rotationMode.value == ParticleSystemParams::kAlignWithVelocity) {
            math::Vec3 radial;
            math::Vec3Normalize(&radial, p.position - c);
            math::Matrix align;
            MakeRotationBetweenVectors(align, radial, {1.0f, 0.0f, 0.0f});
            m = m * align;
        }
        math::Vec3 a{w, 0.0f, 0.0f};
        math::Vec3 b{0.0f, h, 0.0f};
        math::Vec3TransformCoord(&a, a, m);
        math::Vec3TransformCoord(&b, b, m);
        const math::Vec3 ha = a * 0.5f;
        const math::Vec3 hb = b * 0.5f;
        const math::Vec3& at = p.position;
        math::Vec3 corners[4] = {at - ha + hb, at - ha - hb, at + ha + hb, at + ha - hb};
        const math::Matrix perspective = PerspectiveAbout(c, z);
        for (math::Vec3& corner : corners)
            math::Vec3TransformCoord(&corner, corner, perspective);
        WriteCorners(quad, corners);
        mech->SetQuadColour(quad, params.OpacityFactor(p));
    }
    batch->UnlockQuads();
    mech->SetQuadCount(0, i);
}

// ---- stored form ------------------------------------------------------------------

void KXI_ThroughSpaceCtrl::ApplyFixedEnvelopes()
{
    params.sizeEnvelope.percents[0].SetChangedValue(0, nullptr);
    params.sizeEnvelope.percents[1].SetChangedValue(100, nullptr);
    params.opacityEnvelope.percents[0].SetChangedValue(receding ? 0 : 10, nullptr);
    params.opacityEnvelope.percents[1].SetChangedValue(receding ? 90 : 100, nullptr);
}

void KXI_ThroughSpaceCtrl::ReadBody(ArchiveReader ar, std::int32_t version)
{
    emitter.counter.rate.SetChangedValue(ar.ReadDword(), nullptr);
    ReadMediaQuad(ar, emitter.geometry.area);
    rotationClock.StoreValue(ar.ReadDword());
    rotationDirection.StoreValue(ar.ReadInt());
    math::Vec3 at;
    at.x = ar.ReadFloat();
    at.y = ar.ReadFloat();
    at.z = ar.ReadFloat();
    centre.StoreValue(at);
    receding = ar.ReadByte() != 0;
    if (version >= 2)
        speedClock.StoreValue(ar.ReadDword());
    Load(ar);
    if (version < 3)
        ApplyFixedEnvelopes();
    if (version <= 1) {
        // The speed lived in the block's texture clock.
        speedClock = params.textureClock;
        params.textureClock.SetChangedValue(kRealTime, nullptr);
    }
}

void KXI_ThroughSpaceCtrl::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(emitter.counter.rate.value);
    WriteMediaQuad(ar, emitter.geometry.area);
    ar->WriteDword(rotationClock.value);
    ar->WriteVersion(rotationDirection.value);
    ar->WriteFloat(centre.value.x);
    ar->WriteFloat(centre.value.y);
    ar->WriteFloat(centre.value.z);
    ar->WriteByte(receding ? 1 : 0);
    ar->WriteDword(speedClock.value);
    KXI_ParticleSystemCtrl::Save(ar);
}

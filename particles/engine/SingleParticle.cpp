#include "particles/engine/SingleParticle.h"

#include "objectmodel/Geometry.h"
#include "objectmodel/ParamRecords.h"
#include "render/Timing.h"
#include "render/TimingSmart.h"

namespace {

void SetVertexPosition(QuadBatchVertex& vertex, const math::Vec3& position)
{
    vertex.x = position.x;
    vertex.y = position.y;
    vertex.z = position.z;
}

} // namespace

void PrepareSingleQuadBatch(KXI_ParticleSystemMech& mech, const ParticleSystemParams& block)
{
    mech.ResizeBatches(1);
    mech.PrepareBatch(0, 1, block.FirstTexture(), block);
}

void WriteQuadAround(QuadBatchVertex* quad, const math::Vec3& p, const math::Vec3& w, const math::Vec3& h)
{
    SetVertexPosition(quad[0], p - w + h);
    SetVertexPosition(quad[1], p - w - h);
    SetVertexPosition(quad[2], p + w + h);
    SetVertexPosition(quad[3], p + w - h);
}

SingleQuadLock::SingleQuadLock(KXI_ParticleSystemMech* mech) : m_batch(mech ? mech->Batch(0) : nullptr)
{
    m_vertices = m_batch ? m_batch->LockQuads() : nullptr;
}

SingleQuadLock::~SingleQuadLock()
{
    if (m_vertices)
        m_batch->UnlockQuads();
}

// ---- KXI_SingleParticle -------------------------------------------------------------

KXI_SingleParticle::KXI_SingleParticle() = default;

KXI_SingleParticle::KXI_SingleParticle(const KXI_SingleParticle& other) : KXI_ParticleSystemCtrl(other), quad(other.quad)
{
}

KXI_SingleParticle::~KXI_SingleParticle() = default;

void KXI_SingleParticle::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    if (!mech)
        return;
    PrepareSingleQuadBatch(*mech, params);
    BuildQuad();
}

void KXI_SingleParticle::WriteCorners(QuadBatchVertex* vertices) const
{
    static constexpr int kCornerOfVertex[4] = {1, 0, 3, 2};
    for (int k = 0; k < 4; ++k)
        SetVertexPosition(vertices[k], quad.corners[static_cast<std::size_t>(kCornerOfVertex[k])].value);
}

math::Vec3 KXI_SingleParticle::Centre() const
{
    const math::Vec3& a = quad.corners[0].value;
    const math::Vec3& b = quad.corners[3].value;
    return {(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f, 0.0f};
}

void KXI_SingleParticle::BuildQuad()
{
    KXI_ParticleSystemMech* mech = RenderObject();
    {
        const SingleQuadLock lock(mech);
        if (!lock.Vertices()) {
            if (mech)
                mech->SetQuadCount(0, 0);
            return;
        }
        WriteCorners(lock.Vertices());
    }
    mech->FillBatchTexCoords(0, params.FirstTexture(), params);
}

void KXI_SingleParticle::LoadSingleParticleSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    ReadMediaQuad(ar, quad);
    Load(ar);
}

void KXI_SingleParticle::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    WriteMediaQuad(ar, quad);
    KXI_ParticleSystemCtrl::Save(ar);
}

// ---- KXI_StaticObject ---------------------------------------------------------------

KXI_StaticObject::KXI_StaticObject()
{
    turnSpeed.Rescale(kTurnSpeedScale, 0.0f);
    turnSpeed.QuietSet(1);
}

KXI_StaticObject::KXI_StaticObject(const KXI_StaticObject& other)
    : KXI_SingleParticle(other), turnSpeed(other.turnSpeed), reverse(other.reverse), angle(other.angle)
{
}

KXI_StaticObject::~KXI_StaticObject() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_StaticObject::Clone() const
{
    return std::make_unique<KXI_StaticObject>(*this);
}

InnerParticleList::Handles KXI_StaticObject::Emit(float)
{
    return {};
}

float KXI_StaticObject::TimelineLevel() const
{
    const KXI_Timing* timeline = timing.CurrentTimeline();
    return timeline ? timeline->GetValue() : 1.0f;
}

void KXI_StaticObject::Update(float localTime)
{
    params.AdvanceTime(localTime);
    ApplyTimelineLevel();
    AdvanceTurn(localTime);
    TurnBatch();
}

void KXI_StaticObject::ApplyTimelineLevel()
{
    // The lock hands back what the attach wrote: only the colours change.
    // The corners are written only at attach: a batch that lost its vertex
    // memory has lost them too, and draws nothing until the next attach.
    const SingleQuadLock lock(RenderObject());
    if (lock.Vertices())
        RenderObject()->SetQuadColour(lock.Vertices(), TimelineLevel());
    else if (RenderObject())
        RenderObject()->SetQuadCount(0, 0);
}

void KXI_StaticObject::AdvanceTurn(float localTime)
{
    if (turnSpeed.value == 0) {
        angle = 0.0f;
        return;
    }
    turnSpeed.Advance(localTime);
    if (reverse.value != 0)
        angle -= turnSpeed.Step();
    else
        angle += turnSpeed.Step();
}

void KXI_StaticObject::TurnBatch()
{
    KXI_ParticleSystemMech* mech = RenderObject();
    QuadBatchBuffer* batch = mech ? mech->Batch(0) : nullptr;
    if (!batch)
        return;
    MakeRotationAboutAxisThroughPoint(batch->header.local, Centre(), {0.0f, 0.0f, 1.0f}, angle);
    batch->header.UpdateWorld(nullptr);
}

void KXI_StaticObject::ReadBody(ArchiveReader ar, std::int32_t)
{
    turnSpeed.StoreValue(ar.ReadDword());
    turnSpeed.UpdateScaled();
    reverse.StoreValue(ar.ReadInt());
    LoadSingleParticleSection(ar);
}

void KXI_StaticObject::LoadStaticObjectSection(ArchiveReader ar)
{
    const SectionHeader header = ar.ReadSectionHeader();
    ReadBody(ar, header.version);
}

void KXI_StaticObject::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(turnSpeed.value);
    ar->WriteLong(reverse.value);
    KXI_SingleParticle::Save(ar);
}

#include "particles/engine/ObjectPath.h"

#include "particles/engine/SingleParticle.h"

// ---- KXI_ParticlePathCtrl -----------------------------------------------------------

KXI_ParticlePathCtrl::KXI_ParticlePathCtrl() = default;

KXI_ParticlePathCtrl::KXI_ParticlePathCtrl(const KXI_ParticlePathCtrl& other)
    : KXI_ParticleSystemCtrl(other), path(other.path)
{
}

KXI_ParticlePathCtrl::~KXI_ParticlePathCtrl() = default;

void KXI_ParticlePathCtrl::ResetWalk()
{
    path.walker.Reset();
}

void KXI_ParticlePathCtrl::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticleSystemCtrl::AttachRenderObject(mech);
    path.RebuildCurve();
    ResetWalk();
}

void KXI_ParticlePathCtrl::LoadPathSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    path.ReadPoints(ar);
    Load(ar);
}

void KXI_ParticlePathCtrl::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kSectionName));
    ar->WriteVersion(kWrittenVersion);
    WritePointVector(ar, path.points);
    KXI_ParticleSystemCtrl::Save(ar);
}

// ---- KXI_SigleObjectPath ------------------------------------------------------------

KXI_SigleObjectPath::KXI_SigleObjectPath()
{
    walkSpeed.Rescale(kSpeedScale, 0.0f);
    walkSpeed.QuietSet(1);
}

KXI_SigleObjectPath::KXI_SigleObjectPath(const KXI_SigleObjectPath& other)
    : KXI_ParticlePathCtrl(other), walkSpeed(other.walkSpeed), orientation(other.orientation)
{
}

KXI_SigleObjectPath::~KXI_SigleObjectPath() = default;

std::unique_ptr<KXI_ParticleSystemCtrl> KXI_SigleObjectPath::Clone() const
{
    return std::make_unique<KXI_SigleObjectPath>(*this);
}

InnerParticleList::Handles KXI_SigleObjectPath::Emit(float)
{
    return {};
}

void KXI_SigleObjectPath::AttachRenderObject(KXI_ParticleSystemMech* mech)
{
    KXI_ParticlePathCtrl::AttachRenderObject(mech);
    if (!mech)
        return;
    PrepareSingleQuadBatch(*mech, params);
    if (path.samples.empty())
        mech->SetQuadCount(0, 0);
}

void KXI_SigleObjectPath::Restart()
{
    ResetWalk();
}

void KXI_SigleObjectPath::QuadSize(float& width, float& height) const
{
    const SpriteFrameInfo* texture = params.FirstTexture();
    const std::uint32_t size = params.particleSize.value;
    // Picture size times percentage in unsigned arithmetic first, as stored
    // documents were made with.
    width = texture ? static_cast<float>(texture->sourceWidth * size) * 0.01f : 0.0f;
    height = texture ? static_cast<float>(texture->sourceHeight * size) * 0.01f : 0.0f;
}

math::Vec3 KXI_SigleObjectPath::Walk(math::Vec3& direction)
{
    direction = {};
    if (path.samples.size() < 2)
        return path.samples.front();
    path.walker.distance += walkSpeed.Scaled();
    math::Vec3 position;
    WalkPathPingPong(path, position);
    direction = path.walker.direction;
    return position;
}

void KXI_SigleObjectPath::WriteQuad(QuadBatchVertex* quad, const math::Vec3& position,
                                    const math::Vec3& direction) const
{
    float width = 0.0f, height = 0.0f;
    QuadSize(width, height);
    math::Vec3 w{width / 2.0f, 0.0f, 0.0f};
    math::Vec3 h{0.0f, height / 2.0f, 0.0f};
    // Turned along the walk only while it moves across the picture: on one
    // point, or on legs of no length in x and y, the picture stays upright
    // rather than collapsing to a line.
    const bool walking = direction.x != 0.0f || direction.y != 0.0f;
    switch (orientation.value) {
    case kAlongWalk:
        if (!walking)
            break;
        w = direction * (width / 2.0f);
        h = math::Vec3{direction.y, -direction.x, 0.0f} * (height / 2.0f);
        break;
    case kMirrorLeftRight:
        if (direction.x < 0.0f)
            w.x = -w.x;
        break;
    case kMirrorTopBottom:
        if (direction.y > 0.0f)
            h.y = -h.y;
        break;
    default:
        break;
    }
    WriteQuadAround(quad, position, w, h);
}

void KXI_SigleObjectPath::Update(float localTime)
{
    params.AdvanceTime(localTime);
    // A path without points has nothing to stand on: the quad count is 0.
    if (path.samples.empty())
        return;
    KXI_ParticleSystemMech* mech = RenderObject();
    {
        const SingleQuadLock lock(mech);
        // Without vertex memory this frame draws nothing rather than the
        // quad of an earlier frame.
        if (!lock.Vertices()) {
            mech->SetQuadCount(0, 0);
            return;
        }
        mech->SetQuadCount(0, 1);
        math::Vec3 direction;
        const math::Vec3 position = Walk(direction);
        WriteQuad(lock.Vertices(), position, direction);
        mech->SetQuadColour(lock.Vertices(), 1.0f);
    }
    mech->FillBatchTexCoords(0, params.FirstTexture(), params);
}

void KXI_SigleObjectPath::ReadBody(ArchiveReader ar, std::int32_t)
{
    walkSpeed.StoreValue(ar.ReadDword());
    walkSpeed.UpdateScaled();
    orientation.StoreValue(ar.ReadInt());
    LoadPathSection(ar);
}

void KXI_SigleObjectPath::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteDword(walkSpeed.value);
    ar->WriteLong(orientation.value);
    KXI_ParticlePathCtrl::Save(ar);
}

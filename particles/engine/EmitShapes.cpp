#include "particles/engine/EmitShapes.h"

#include "objectmodel/Geometry.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

namespace {
void ReadDirection(ArchiveReader ar, MediaDirection& direction)
{
    direction.StoreValue(ar.ReadDword());
    direction.UpdateVectors();
}

void ReadSector(ArchiveReader ar, MediaSector& sector)
{
    ReadDirection(ar, sector);
    sector.spread.StoreValue(ar.ReadDword());
}

void WriteSector(ArchiveWriter ar, const MediaSector& sector)
{
    ar->WriteDword(sector.value);
    ar->WriteDword(sector.spread.value);
}

math::Vec3 Vec3Of(const math::Vec4& v)
{
    return {v.x, v.y, v.z};
}
} // namespace

void EmitShape::EmitParticles(TreeParticleList& out, float dt, const TreeParticleHandle& parent)
{
    EmitCommon(out, dt, parent);
    for (TreeParticleHandle& particle : out) {
        Shape(*particle, parent.get());
        Adopt(particle);
    }
}

math::Vec3 EmitShape::Launch(TreeParticle& particle, const TreeParticle* parent, const MediaSector& sector,
                             bool coneLaunch) const
{
    const float centre = static_cast<float>(sector.value);
    const float halfSpread = static_cast<float>(sector.spread.value) / 2.0f;
    math::Vec3 direction;
    if (coneLaunch)
        RandomDirectionInCone(direction, 1.0f, centre - halfSpread, centre + halfSpread);
    else
        RandomDirectionInArc(direction, 1.0f, centre - halfSpread, centre + halfSpread);
    if (parent)
        math::Vec3TransformCoord(&direction, direction, parent->orientation);
    particle.Direction() = direction;
    particle.Velocity() = direction * speed.DrawJittered();
    return direction;
}

void EmitShape::AppendMotion(TreeParticle& particle, const TreeParticle* parent, KXI_PtclTransform* motion)
{
    const float lifeFraction = parent ? parent->values[TreeParticle::kLifeFraction] : 0.0f;
    particle.AddTransform(PtclTransformHandle(motion));
    particle.AddTransform(PtclTransformHandle(new PtclTr_Kinematic));
    particle.AddTransform(PtclTransformHandle(
        new PtclTr_PrmMultiplicator(TreeParticle::kSize, BirthFactor(sizeEnvelope, lifeFraction))));
    particle.AddTransform(PtclTransformHandle(
        new PtclTr_PrmMultiplicator(TreeParticle::kOpacity, BirthFactor(opacityEnvelope, lifeFraction))));
}

void KXI_PSGeomEmit_Point::Shape(TreeParticle& particle, const TreeParticle* parent)
{
    const math::Vec3 direction = Launch(particle, parent, launch, cone.value != 0);
    particle.Position() += direction * Uniform(0.0f, static_cast<float>(distance.value));
    AppendMotion(particle, parent, new PtclTr_StandardForces(forces));
}

void KXI_PSGeomEmit_Point::Save(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kClassName);
    WriteSector(ar, launch);
    ar->WriteDword(distance.value);
    ar->WriteLong(cone.value);
    WriteStandardForceParams(ar, forces);
    WriteEmitterSection(ar);
}

void KXI_PSGeomEmit_Point::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadSector(ar, launch);
    distance.StoreValue(ar.ReadDword());
    cone.StoreValue(ar.ReadInt());
    ReadStandardForceParams(ar, forces);
    ReadEmitterSection(ar);
}

void KXI_PSGeomEmit_Sector::Shape(TreeParticle& particle, const TreeParticle* parent)
{
    Launch(particle, parent, launch, false);
    const float r = Uniform(0.0f, static_cast<float>(radius.value));
    const float centre = static_cast<float>(placement.value);
    const float halfSpread = static_cast<float>(placement.spread.value) / 2.0f;
    math::Vec3 place;
    RandomDirectionInArc(place, r, centre - halfSpread, centre + halfSpread);
    particle.Position() += place;
    AppendMotion(particle, parent, new PtclTr_StandardForces(forces));
}

void KXI_PSGeomEmit_Sector::Save(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kClassName);
    WriteSector(ar, placement);
    ar->WriteDword(radius.value);
    WriteSector(ar, launch);
    WriteStandardForceParams(ar, forces);
    WriteEmitterSection(ar);
}

void KXI_PSGeomEmit_Sector::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadSector(ar, placement);
    radius.StoreValue(ar.ReadDword());
    ReadSector(ar, launch);
    ReadStandardForceParams(ar, forces);
    ReadEmitterSection(ar);
}

void KXI_PSGeomEmit_Rect::Shape(TreeParticle& particle, const TreeParticle* parent)
{
    Launch(particle, parent, launch, false);
    const float halfWidth = static_cast<float>(width.value) / 2.0f;
    const float halfHeight = static_cast<float>(height.value) / 2.0f;
    particle.Position().x += Uniform(-halfWidth, halfWidth);
    particle.Position().y += Uniform(-halfHeight, halfHeight);
    AppendMotion(particle, parent, new PtclTr_StandardForces(forces));
}

void KXI_PSGeomEmit_Rect::Save(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kClassName);
    ar->WriteDword(width.value);
    ar->WriteDword(height.value);
    WriteSector(ar, launch);
    WriteStandardForceParams(ar, forces);
    WriteEmitterSection(ar);
}

void KXI_PSGeomEmit_Rect::ReadBody(ArchiveReader ar, std::int32_t)
{
    width.StoreValue(ar.ReadDword());
    height.StoreValue(ar.ReadDword());
    ReadSector(ar, launch);
    ReadStandardForceParams(ar, forces);
    ReadEmitterSection(ar);
}

void KXI_PSGeomEmit_Stream::Shape(TreeParticle& particle, const TreeParticle* parent)
{
    const float t = Uniform(0.0f, 1.0f);
    particle.Position() += start.value + (end.value - start.value) * t;
    // Screen headings: y grows downward.
    const math::Vec4& d1 = startDirection.Direction();
    const math::Vec4& d2 = endDirection.Direction();
    const math::Vec3 a{d1.x, -d1.y, d1.z};
    const math::Vec3 b{d2.x, -d2.y, d2.z};
    particle.Direction() = a + (b - a) * t;
    AppendMotion(particle, parent, new PtclTr_PerspectiveFlow(*this, Uniform(0.0f, 1.0f)));
}

PerspectiveFlowInputs KXI_PSGeomEmit_Stream::FlowInputs() const
{
    PerspectiveFlowInputs in;
    in.perspective = perspective.value != 0;
    in.start = start.value;
    in.end = end.value;
    in.origin = {offset.value.x, offset.value.y};
    in.startDirection = Vec3Of(startDirection.Direction());
    in.endDirection = Vec3Of(endDirection.Direction());
    in.speed = speed.Scaled();
    in.speedJitter = speed.jitter.Scaled();
    return in;
}

void KXI_PSGeomEmit_Stream::Save(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kClassName);
    WriteStoredVector(ar, start);
    WriteStoredVector(ar, end);
    ar->WriteDword(startDirection.value);
    ar->WriteDword(endDirection.value);
    ar->WriteLong(perspective.value);
    WriteEmitterSection(ar);
}

void KXI_PSGeomEmit_Stream::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadStoredVector(ar, start);
    ReadStoredVector(ar, end);
    ReadDirection(ar, startDirection);
    ReadDirection(ar, endDirection);
    perspective.StoreValue(ar.ReadInt());
    ReadEmitterSection(ar);
}

#pragma once
// The emit shapes: emitters that place and aim the particles each parent
// emits over time. The point shape launches from a point into an arc or a
// cone; the sector shape places in one sector and launches into another;
// the rectangle places in a box; the stream places along a segment with a
// heading blended between two directions, optionally in perspective.
// Launch directions turn with the parent's orientation; placements and the
// stream's headings do not.

#include <cstdint>
#include <string_view>

#include "objectmodel/DirectionParams.h"
#include "particles/engine/ParticleGeometry.h"

// What every shape shares: emission of the due particles, then the shape's
// placement per particle, then the list.
class EmitShape : public KXI_PSGeometry_Emitter {
public:
    void EmitParticles(TreeParticleList& out, float dt, const TreeParticleHandle& parent) final;

protected:
    // Places, aims and equips one new particle of `parent`.
    virtual void Shape(TreeParticle& particle, const TreeParticle* parent) = 0;
    // The launch direction of `sector` (a cone when asked), turned by the
    // parent's orientation, stored as the direction; the velocity is the
    // direction at the jittered launch speed.
    math::Vec3 Launch(TreeParticle& particle, const TreeParticle* parent, const MediaSector& sector, bool cone) const;
    // `motion` (forces or flow), the kinematic step, and the birth factors
    // of the envelopes at the parent's life fraction.
    void AppendMotion(TreeParticle& particle, const TreeParticle* parent, KXI_PtclTransform* motion);
};

class KXI_PSGeomEmit_Point : public EmitShape {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PSGeomEmit_Point";

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    MediaSector launch;
    MediaParamT<std::uint32_t> distance{0};
    MediaParamT<std::int32_t> cone{0};
    StandardForceParams forces;

protected:
    void Shape(TreeParticle& particle, const TreeParticle* parent) override;
};

class KXI_PSGeomEmit_Sector : public EmitShape {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PSGeomEmit_Sector";

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    MediaSector placement;
    MediaParamT<std::uint32_t> radius{0};
    MediaSector launch;
    StandardForceParams forces;

protected:
    void Shape(TreeParticle& particle, const TreeParticle* parent) override;
};

class KXI_PSGeomEmit_Rect : public EmitShape {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PSGeomEmit_Rect";

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    MediaParamT<std::uint32_t> width{0};
    MediaParamT<std::uint32_t> height{0};
    MediaSector launch;
    StandardForceParams forces;

protected:
    void Shape(TreeParticle& particle, const TreeParticle* parent) override;
};

class KXI_PSGeomEmit_Stream : public EmitShape, public PerspectiveFlowSource {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PSGeomEmit_Stream";

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    PerspectiveFlowInputs FlowInputs() const override;

    MediaParamT<math::Vec3> start;
    MediaParamT<math::Vec3> end;
    MediaDirection startDirection;
    MediaDirection endDirection;
    MediaParamT<std::int32_t> perspective{0};

protected:
    void Shape(TreeParticle& particle, const TreeParticle* parent) override;
};

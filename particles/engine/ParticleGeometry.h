#pragma once
// The geometries of particle-tree nodes: where and when a node's particles
// are born from the particles of the node above, which transforms each new
// particle carries, and the node's particle list. The swarm and the point
// spawn when a parent is born; the trace leaves particles along a parent's
// path; the emitter base emits over time at a rate (its shapes add launch
// directions).

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/IOFItem.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ParamRecords.h"
#include "objectmodel/ScaledParams.h"
#include "particles/engine/Oscillations.h"
#include "particles/engine/ParticleTransforms.h"
#include "particles/engine/TreeParticle.h"

class KXI_PSTree_Node;

using TreeParticleList = std::vector<TreeParticleHandle>;

class KXI_PtclSys_Geometry : public KXI_IOF_Item {
public:
    static constexpr std::int32_t kStoredVersion = 1;
    static constexpr std::u16string_view kSectionName = u"KXI_PtclSys_Geometry";
    // One batch of 16-bit quad indices: no node holds more particles.
    static constexpr std::size_t kMaxParticles = 16383;

    KXI_PtclSys_Geometry();

    // The geometry section.
    void Save(ArchiveWriter ar) const override;
    virtual void AddCommonTransforms(TreeParticle& particle);
    // New particles at the birth of `parent`; they are in the list too.
    virtual void SpawnParticles(TreeParticleList& out, const TreeParticleHandle& parent);
    // New particles of `parent` over a step of dt; they are in the list too.
    virtual void EmitParticles(TreeParticleList& out, float dt, const TreeParticleHandle& parent);
    virtual void AttachNode(KXI_PSTree_Node*) {}

    // A particle linked to `parent` at the offset, with the common
    // transforms, appended to the list.
    TreeParticleHandle MakeChild(const TreeParticleHandle& parent);
    // Steps every particle; the dead ones leave the list, the others keep
    // their order.
    void UpdateParticles(float dt);
    // The frame grid of the node's textures (counts below 1 count as 1);
    // every particle draws a new cell.
    void SetFrameLayout(int columns, int rows);
    std::size_t RoomLeft() const;

    void ReadGeometrySection(ArchiveReader ar);

    kxi_string name;
    MediaParamT<math::Vec3> offset;
    OscillationParams sizeOscillation;
    OscillationParams opacityOscillation;
    KXI_JitterParam sizeJitter;
    KXI_JitterParam opacityJitter;
    PercentParamGroup sizeEnvelope;
    PercentParamGroup opacityEnvelope;
    VibrationParams vibrationAlong;
    VibrationParams vibrationAcross;
    SpinParams spin;

    TreeParticleList particles;
    int columns = 1;
    int rows = 1;

protected:
    // Adds `particle` to the list unless it is full; false when it was.
    bool Adopt(const TreeParticleHandle& particle);

    // Helpers of the stored sections and the random placements.
    static void WriteSectionStart(ArchiveWriter ar, std::u16string_view className);
    static void ReadStoredVector(ArchiveReader ar, MediaParamT<math::Vec3>& vector);
    static void WriteStoredVector(ArchiveWriter ar, const MediaParamT<math::Vec3>& vector);
    // rand() / 32767 x (high - low) + low: one draw.
    static float Uniform(float low, float high);

private:
    void DrawSpriteCell(TreeParticle& particle) const;
};

// A cloud of wandering particles around every parent, spawned at its birth.
class KXI_PSGeometry_Swarm : public KXI_PtclSys_Geometry, public SwarmMotionSource {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PSGeometry_Swarm";

    KXI_PSGeometry_Swarm();
    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    void SpawnParticles(TreeParticleList& out, const TreeParticleHandle& parent) override;
    SwarmMotion Motion() const override;

    MediaParamT<std::uint32_t> count{0};
    UINTSclaleTo<float> wanderSpeed{0.04f, 0.0f, 0};
    UINTSclaleTo<float> changeRate{0.02f, 0.1f, 0};
    UINTSclaleTo<float> changeTime{0.02f, 0.02f, 0};
    MediaParamT<std::uint32_t> width{0};
    MediaParamT<std::uint32_t> height{0};
};

// One particle riding on every parent, ending with it.
class KXI_PSGeometry_Point : public KXI_PtclSys_Geometry {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PSGeometry_Point";

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    void SpawnParticles(TreeParticleList& out, const TreeParticleHandle& parent) override;
};

// Free particles left along the parents' paths, one trail for the whole
// geometry; a new one only after the parent moved 10 px.
class KXI_PSGeometry_Trace : public KXI_PtclSys_Geometry {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PSGeometry_Trace";
    static constexpr float kSpacing = 10.0f;
    static constexpr float kLifeSpan = 2.0f;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    void EmitParticles(TreeParticleList& out, float dt, const TreeParticleHandle& parent) override;
};

// Emission over time: `count` particles spread over every period, none in
// the pause after it, from `delay` seconds of each parent's age.
class KXI_PSGeometry_Emitter : public KXI_PtclSys_Geometry {
public:
    static constexpr std::u16string_view kSectionName = u"KXI_PSGeometry_Emitter";

    struct Timing {
        float period = 1.0f;
        float pause = 0.0f;
        float delay = 0.0f;
        std::uint32_t count = 5;
    };

    KXI_PSGeometry_Emitter();

    // Particles one parent of age `parentAge` emits over a step of dt, at
    // most `room`. Negative or non-finite timings emit nothing.
    static std::size_t DueCount(const Timing& timing, float dt, float parentAge, std::size_t room);
    std::size_t DueCount(float dt, float parentAge) const;
    // The due particles with lifetime, position and the common transforms;
    // not yet in the list (the shape adds its transforms, then Adopt()s).
    void EmitCommon(TreeParticleList& out, float dt, const TreeParticleHandle& parent);
    // The envelope's value at the parent's life fraction, frozen on a child.
    static float BirthFactor(const PercentParamGroup& envelope, float parentLifeFraction);

    void ReadEmitterSection(ArchiveReader ar);
    void WriteEmitterSection(ArchiveWriter ar) const;

    MediaParamTB<float> lifetime{2.0f};
    MediaParamT<std::uint32_t> count{5};
    MediaParamTB<float> period{1.0f};
    MediaParamTB<float> pause{0.0f};
    MediaParamTB<float> delay{0.0f};
    KXI_JitterParam speed;
    MediaParamT<std::int32_t> attached{0};

protected:
    using KXI_PtclSys_Geometry::Adopt;
};

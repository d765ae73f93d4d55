#pragma once
// KXI_VortexPtclSys: particles thrown out of a centre along rotating arms
// and kept on a spiral by IPR_VortexVel: each step a particle moves outwards
// at `speed` and circles the centre at `swirl` radians per second
// (clockwise on the screen unless reversed). Particles live as long as it
// takes to travel `range` pixels outwards.
//
// Stored section "KXI_VortexPtclSys" 1 (version not looked at): uint32 rate,
// float x, y, z (centre), uint32 speed (x 2 px/s), uint32 swirl (x 0.01
// rad/s), int32 swirlReversed, uint32 angle, uint32 spread, uint32 armCount,
// uint32 armSpin (x 2 degrees/s), int32 armSpinReversed, uint32 range, then
// the KXI_ParticleSystemCtrl section.

#include <cstdint>
#include <memory>

#include "objectmodel/DirectionParams.h"
#include "objectmodel/ScaledParams.h"
#include "particles/engine/Emitters.h"
#include "particles/engine/ParticleSystemCtrl.h"

class KXI_VortexPtclSys : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_VortexPtclSys";
    static constexpr std::int32_t kWrittenVersion = 1;

    KXI_VortexPtclSys();
    KXI_VortexPtclSys(const KXI_VortexPtclSys& other);
    ~KXI_VortexPtclSys() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The base attach and one batch; a fresh object turns about the
    // picture's centre.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // Turns the arms, then the counter's particles for dt x the level.
    InnerParticleList::Handles Emit(float dt) override;
    void InitParticle(InnerParticle& particle) const;

    KXI_PointImitter emitter;
    KXI_EvenImitter counter;
    UINTSclaleTo<float> launchSpeed{2.0f};
    UINTSclaleTo<float> swirl{0.01f};
    MediaParamT<std::int32_t> swirlReversed{0};
    MediaSector direction;
    MediaParamT<std::uint32_t> armCount{0u};
    MediaSpeedParam armSpin;
    MediaParamT<std::int32_t> armSpinReversed{0};
    MediaParamT<std::uint32_t> range{0u};
    // The arms' turn so far, in degrees, kept to 0..360 (not stored).
    float armPhase = 0.0f;
};

// Sets the velocity of its particle from the controller's current centre,
// speed and swirl; a particle on the centre keeps its velocity.
class IPR_VortexVel : public InnerParticleRoutine {
public:
    explicit IPR_VortexVel(const KXI_VortexPtclSys& vortex)
        : centre(&vortex.emitter.position), speed(&vortex.launchSpeed), swirl(&vortex.swirl),
          swirlReversed(&vortex.swirlReversed)
    {
    }
    bool Step(float dt, InnerParticle& particle) override;

    const MediaParamT<math::Vec3>* centre;
    const UINTSclaleTo<float>* speed;
    const UINTSclaleTo<float>* swirl;
    const MediaParamT<std::int32_t>* swirlReversed;
};

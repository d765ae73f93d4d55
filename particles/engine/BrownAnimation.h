#pragma once
// KXI_BrownAnimation: a fixed number of particles wandering for ever inside
// a box. Each drifts at a random speed in a random direction, picks a new
// velocity now and then, and is steered back toward the centre when it
// strays outside the box. Its particles never age and never die; they are
// made at attach and after every restart (FillBrownParticles), so the
// object always holds its count, whatever its timeline.
//
// The wandering is IPR_Brownian's. Every displacement is scaled by the drift
// scale S (0 by default: nothing moves until it is set). The animation runs
// on its own clock and speed (1.0, not stored) instead of the base's.
// Particles are drawn as unrotated squares of the texture's size x the
// block's particle size / 100, in the block's first colour.
//
// Stored record "KXI_BrownAnimation" (written as version 1; the version is
// not looked at): uint32 count (stored directly), uint32 drift scale,
// uint32 change rate, uint32 turn time (each notified when it differs), the
// area's four corners, then the KXI_ParticleSystemCtrl section.

#include <cstdint>
#include <memory>

#include "objectmodel/ScaledParams.h"
#include "objectmodel/ShapeParams.h"
#include "particles/engine/Emitters.h"
#include "particles/engine/ParticleSystemCtrl.h"

// Wanders inside the area's box (corner 0 left-top, corner 3 right-bottom):
// a particle that leaves it is turned toward the centre at 100 units per
// second over the turn time A, and not steered again while it is outside
// and still turning; while outside it picks no new velocity. Every 0.5 / F
// to 1.5 / F seconds (F the change rate) an inside particle turns to a new
// velocity of 75 to 100 units per second over A seconds.
class IPR_Brownian : public InnerParticleRoutine {
public:
    static constexpr float kHomeSpeed = 100.0f;

    IPR_Brownian(const MediaQuad* area, const UINTSclaleTo<float>* driftScale, const UINTSclaleTo<float>* changeRate,
                 const UINTSclaleTo<float>* turnTime);
    bool Step(float dt, InnerParticle& particle) override;

    const MediaQuad* area;
    const UINTSclaleTo<float>* driftScale;
    const UINTSclaleTo<float>* changeRate;
    const UINTSclaleTo<float>* turnTime;
    math::Vec3 ownVelocity;
    math::Vec3 acceleration;
    float turnTimer = 0.0f;
    float changeTimer = 0.0f;
    std::uint8_t inside = 1;

private:
    bool IsOutside(const math::Vec3& position) const;
    void TurnToward(const math::Vec3& velocity, float seconds);
};

class KXI_BrownAnimation : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_BrownAnimation";
    static constexpr std::int32_t kWrittenVersion = 1;

    KXI_BrownAnimation();
    KXI_BrownAnimation(const KXI_BrownAnimation& other);
    ~KXI_BrownAnimation() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    // The body alone, then the base section (no class name, no version).
    void WriteBody(ArchiveWriter ar) const;
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The base attach, one empty batch, then the wandering particles.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // The block's clocks, the own clock, every particle stepped, squares.
    void Update(float localTime) override;
    // The base restart (pre-run or empty), then the list brought back to
    // the count.
    void Restart() override;
    // Wandering particles are made only by FillBrownParticles.
    InnerParticleList::Handles Emit(float dt) override;

    // Cuts the list to its first `count` particles, or adds the missing ones
    // at random places in the area, each with its own IPR_Brownian and the
    // block's first colour. At most InnerParticleList::kMaxParticles.
    void FillBrownParticles();

    MediaParamT<std::uint32_t> count{0u};
    UINTSclaleTo<float> driftScale{0.04f, 0.0f};
    UINTSclaleTo<float> changeRate{0.02f, 0.1f};
    UINTSclaleTo<float> turnTime{0.02f, 0.02f};
    KXI_RectImitter area;
    MediaSpeedParam wanderSpeed;

protected:
    // The frame's clocks and wandering, without building quads.
    void AdvanceWandering(float localTime);
};

#pragma once
// DS_RainOnGlass: raindrops on a window pane. Drops land at random points
// of the pane with a short slide-in; small ones stay put, large ones slide
// along `direction` under `slideForce` with a randomly changing friction
// and shrink as they leave water behind; overlapping drops run together
// into one larger drop (the pair pass of the particle list, with
// PRA_RainMerge as the process-wide pair action), and a drop that leaves
// the pane is removed. Drops are stepped twice per frame, the rain ignores
// the timeline's level, and a continuous timeline opens on 15 s of rain.
//
// A drop's flags word holds its state (kMerging, kLanding, kRunning); its
// size value is its size factor and its opacity value its opacity (the
// block's own-size and own-opacity flags are set). The drops take the
// block's first colour (white for an empty list).
//
// Stored section "DS_RainOnGlass" 1 (version not looked at): uint32 rate,
// 12 floats (the pane), uint32 slideForce (px/s^2), uint32 direction angle,
// then the KXI_ParticleSystemCtrl section.

#include <cstdint>
#include <memory>

#include "objectmodel/DirectionParams.h"
#include "objectmodel/ScaledParams.h"
#include "particles/engine/Emitters.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/engine/ParticleSystemCtrl.h"
#include "particles/engine/RoutineConditions.h"

namespace rain_flags {
inline constexpr std::uint32_t kMerging = 1;
inline constexpr std::uint32_t kLanding = 2;
inline constexpr std::uint32_t kRunning = 4;
} // namespace rain_flags

class DS_RainOnGlass : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_RainOnGlass";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr float kPreRunDuration = 15.0f;

    DS_RainOnGlass();
    // Shares the edge routine.
    DS_RainOnGlass(const DS_RainOnGlass& other);
    ~DS_RainOnGlass() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // Own size and opacity, the base attach, one batch, a fresh object's
    // pane over the picture, and a new edge routine over the pane.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // One more step of every drop, the pair pass, then the step's new drops
    // straight into the list; returns nothing for the controller to step.
    InnerParticleList::Handles Emit(float dt) override;
    float GetPreRunDuration() const override;

    void InitDrop(InnerParticle& drop) const;

    RectEmitterSet emitter;
    UINTSclaleTo<float> slideForce{1.0f};
    MediaDirection direction;
    // The edge test every drop shares (no per-drop state).
    ParticleRoutineHandle interaction;
};

// Makes PRA_RainMerge the particle lists' pair action; once per process.
void InstallRainMerge();

// The slide-in: the drop moves onto its landing point and fades in.
class IPR_RainFall : public InnerParticleRoutine {
public:
    static constexpr float kLandingTime = 0.15f;

    explicit IPR_RainFall(const math::Vec3& target) : target(target) {}
    // Ends exactly on the target with opacity 1 (unless merging) on the
    // step that reaches the remaining time.
    bool Step(float dt, InnerParticle& drop) override;

    math::Vec3 target;
    float remaining = kLandingTime;
};

// The slide of a running drop: the full force above size 1, friction
// mu / s^3 at or below it (a drop moving against the force stops dead);
// mu and its period are drawn again at the end of each period.
class IPR_RainDynamic : public InnerParticleRoutine {
public:
    explicit IPR_RainDynamic(const math::Vec3& force);
    bool Step(float dt, InnerParticle& drop) override;
    void DrawFriction();

    math::Vec3 force;
    float mu = 1.0f;
    float period = 0.1f;
    float timer = 0.0f;
};

// The drop flows into `target` over 0.1 s, then the target grows to the
// volume of both (at most 1.3) and this drop ends.
class IPR_RainMerge : public InnerParticleRoutine {
public:
    static constexpr float kMergeTime = 0.1f;
    static constexpr float kMaxSize = 1.3f;

    explicit IPR_RainMerge(ParticleHandle target) : target(std::move(target)) {}
    bool Step(float dt, InnerParticle& drop) override;

    ParticleHandle target;
    float remaining = kMergeTime;
};

// The pane's edge test, skipped while the drop lands.
class IPR_RainInteractionRoutine : public IPR_InteractionRoutine {
public:
    bool Step(float dt, InnerParticle& drop) override;
};

// Starts a merge of the upper drop into the lower one when both are free.
class PRA_RainMerge : public RoutineAction {
public:
    bool Apply(InnerParticle& upper, ParticleHandle& lower) override;
};

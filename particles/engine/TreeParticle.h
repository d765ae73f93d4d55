#pragma once
// One particle of a particle tree, and the transform interface that drives
// it. A tree particle has no routines of its own: every step resets its
// multipliers, orientation and force accumulator, ages it, and then runs its
// transform chain in order. A particle may stay linked to a parent particle:
// it then moves with it, scales its size and opacity by it and dies with it.

#include <array>
#include <cstdint>
#include <vector>

#include "objectmodel/SafePtr.h"
#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

class TreeParticle;

// One step of a particle's behaviour. Apply returns false when the particle
// ends. Transforms keep per-particle state, so each particle has its own.
class KXI_PtclTransform {
public:
    virtual ~KXI_PtclTransform() = default;
    virtual bool Apply(float dt, TreeParticle& particle) = 0;
};

using PtclTransformHandle = DS_SafePtr<KXI_PtclTransform>;

class TreeParticle {
public:
    // Float values and multipliers by index.
    enum FloatIndex : int {
        kLifeFraction = 0,
        kSize = 1,
        kOpacity = 2,
        kAlongDirection = 3,     // multiplier only: offset along the direction, px
        kAcrossDirection = 4,    // multiplier only: offset along the perpendicular, px
        kAge = 5,
    };
    enum VectorIndex : int { kPosition = 0, kVelocity = 1, kForce = 2, kDirection = 3, kColor = 4 };
    static constexpr int kFloatCount = 6;
    static constexpr int kVectorCount = 5;
    static constexpr std::uint32_t kDeadFlag = 1u;

    TreeParticle() = default;
    explicit TreeParticle(DS_SafePtr<TreeParticle> parentHandle) : parent(std::move(parentHandle)) {}

    // Multipliers 1, 1, 1, 0, 0, 1 and the identity orientation.
    void ResetMultipliers();
    // One step of dt seconds; false once the particle is dead.
    bool Step(float dt);
    // The own position offset by the multipliers 3 and 4, on top of the
    // parent's world position when the particle is linked.
    math::Vec3 WorldPosition() const;
    // multiplier[i] x value[i], times the parent's ScaledParam(i) when linked.
    float ScaledParam(int index) const;
    void AddTransform(PtclTransformHandle transform) { chain.push_back(std::move(transform)); }

    bool IsDead() const { return (flags & kDeadFlag) != 0; }
    TreeParticle* Parent() const { return parent.get(); }

    math::Vec3& Position() { return vectors[kPosition]; }
    math::Vec3& Velocity() { return vectors[kVelocity]; }
    math::Vec3& Force() { return vectors[kForce]; }
    math::Vec3& Direction() { return vectors[kDirection]; }
    math::Vec3& Color() { return vectors[kColor]; }

    std::array<float, kFloatCount> values{0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f};
    std::array<float, kFloatCount> multipliers{1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f};
    std::array<math::Vec3, kVectorCount> vectors{math::Vec3{}, math::Vec3{}, math::Vec3{}, math::Vec3{0.0f, 1.0f, 0.0f},
                                                 math::Vec3{1.0f, 1.0f, 1.0f}};
    math::Matrix orientation;
    std::uint32_t flags = 0;
    math::Vec4 spriteCell{1.0f, 1.0f, 0.0f, 0.0f};
    DS_SafePtr<TreeParticle> parent;
    std::vector<PtclTransformHandle> chain;
};

using TreeParticleHandle = DS_SafePtr<TreeParticle>;

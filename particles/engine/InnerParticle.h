#pragma once
// InnerParticle: the particle record of every particle-system controller. It
// holds a transform, motion state, age, random values, per-step multipliers
// through which behaviour routines modulate drawing, a sprite-sheet cell, a
// colour and the routines that drive it. All behaviour lives in
// InnerParticleRoutine objects (ParticleRoutines.h): each step runs the main
// routine, then the listed routines in order; a routine that answers false
// ends the particle.
//
// InnerParticleList: a controller's live particles in creation order, with
// creation, the stepping that drops the dead and a pairwise interaction
// pass. A list never holds more than kMaxParticles: every list is drawn as
// one batch of 16-bit indices.

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

#include "objectmodel/SafePtr.h"
#include "platform/crt/WinTypes.h"
#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

class InnerParticle;

class InnerParticleRoutine {
public:
    virtual ~InnerParticleRoutine() = default;
    // One step of `dt` seconds on `particle`; false ends the particle.
    virtual bool Step(float dt, InnerParticle& particle) = 0;
};

using ParticleRoutineHandle = DS_SafePtr<InnerParticleRoutine>;
using ParticleHandle = DS_SafePtr<InnerParticle>;

class InnerParticle {
public:
    // The seven consecutive float values routines address by index.
    enum FloatValue : int {
        kAge = 0,
        kSizeValue = 1,
        kOpacityValue = 2,
        kSpinFactor = 3,
        kFreeValue0 = 4,
        kFreeValue1 = 5,
        kSidewaysFactor = 6,
        kFloatValueCount = 7,
    };
    // The seven per-step multipliers; the engine reads size, opacity and the
    // two offsets, the others are for routines' own use.
    enum Multiplier : int {
        kSizeMultiplier = 1,
        kOpacityMultiplier = 2,
        kAlongOffset = 4,
        kAcrossOffset = 5,
        kSidewaysMultiplier = 6,
        kMultiplierCount = 7,
    };

    explicit InnerParticle(const math::Vec3& position = {});
    InnerParticle(const InnerParticle&) = delete;
    InnerParticle& operator=(const InnerParticle&) = delete;

    // Every field to its value after creation at `position`: identity
    // matrix, motion 0, random values 1, multipliers 1, cell (1, 1, 0, 0),
    // the free values, sideways factor and colour 0. Routines stay.
    void ResetFields(const math::Vec3& at);

    // Appends `routine`; with `runNow` it is stepped once with dt 0 at once
    // (its result is not looked at).
    void AddRoutine(ParticleRoutineHandle routine, bool runNow);
    // Replaces the main routine (the old one is released).
    void SetMainRoutine(ParticleRoutineHandle routine);
    // Releases the main routine and every listed routine (a particle that is
    // set up again starts with none).
    void ClearRoutines()
    {
        m_routines.clear();
        m_mainRoutine = nullptr;
    }

    // The main routine (false ends the particle, nothing else runs), the
    // multipliers and force reset, the listed routines up to the first
    // failure, then direction and perpendicular from the velocity.
    bool Step(float dt);

    float Age() const { return values[kAge]; }
    const ParticleRoutineHandle& MainRoutine() const { return m_mainRoutine; }
    const std::vector<ParticleRoutineHandle>& Routines() const { return m_routines; }

    math::Matrix matrix;
    math::Vec3 position;
    math::Vec3 velocity;
    math::Vec3 acceleration;
    math::Vec3 force;
    math::Vec3 direction;
    math::Vec3 perpendicular;
    std::array<float, kFloatValueCount> values{};
    std::array<float, kMultiplierCount> multipliers{};
    std::int32_t pathPointIndex = 0;
    // u scale, v scale, u offset, v offset of the sprite-sheet cell.
    std::array<float, 4> cell{1.0f, 1.0f, 0.0f, 0.0f};
    COLORREF colour = 0;
    std::uint32_t flags = 0;

private:
    void UpdateDirection();

    std::vector<ParticleRoutineHandle> m_routines;
    ParticleRoutineHandle m_mainRoutine;
};

class RoutineAction;

// The pair action the interaction pass calls; installed by the system that
// runs the pass (null: the pass calls nothing).
extern RoutineAction* g_PairInteraction;

class InnerParticleList {
public:
    // The most particles one list holds: one batch of 16-bit indices.
    static constexpr std::int32_t kMaxParticles = 16383;

    using Handles = std::list<ParticleHandle>;

    // A new particle at `position`, appended; returns the stored handle. A
    // full list keeps its particles: the new one is held apart, where it is
    // never stepped or drawn, until the next Create.
    ParticleHandle& Create(const math::Vec3& position);
    // Moves every handle of `particles` to the end of the list, as far as
    // there is room; the rest are released.
    void Append(Handles&& particles);

    // Steps every particle in list order and releases those whose step fails.
    void Update(float dt);
    // The pairwise pass with extent size value x scale / 2 (below).
    void Interact(float scale);

    void Clear() { m_particles.clear(); }
    std::size_t Size() const { return m_particles.size(); }
    bool Empty() const { return m_particles.empty(); }
    // How many more particles the list takes.
    std::int32_t Room() const { return kMaxParticles - static_cast<std::int32_t>(m_particles.size()); }

    Handles& Particles() { return m_particles; }
    const Handles& Particles() const { return m_particles; }

private:
    Handles m_particles;
    ParticleHandle m_heldApart;
};

// Clamps a float count to 0..kMaxParticles before it becomes an integer: a
// NaN or a number outside int32 gives a defined result.
std::int32_t ClampParticleCount(double count);

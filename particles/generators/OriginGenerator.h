#pragma once
// DS_ParticleOriginGenerator: a static generator that launches records from
// its position at a rate scaled by the object's timeline level. Each launch
// record lives for the launch lifetime, starts at the position with a
// velocity of 100 px/s in a random direction of the sector, and runs its list
// of small step functions every step. The origin has its own clock (the
// origin speed); the generator clock of the base is not used.
//
// The launch accumulator gathers time only while level x rate is above 0, so
// time in which nothing can be launched is not saved up for later.
//
// Stored section "DS_ParticleOriginGenerator" (written as version 2): launch
// lifetime, launch rate, launch size, direction angle, [version > 1:
// direction spread], origin speed (uint32 each); then the DS_StaticGenerator
// section.

#include <cstdint>
#include <list>
#include <vector>

#include "objectmodel/DirectionParams.h"
#include "objectmodel/ScaledParams.h"
#include "particles/generators/RadialRays.h"
#include "platform/math/Vector.h"

struct LaunchRecord {
    // A step function with its own parameters.
    using StepFunction = void (*)(LaunchRecord& record, float dt, const float* parameters);
    struct Step {
        StepFunction function;
        std::vector<float> parameters;
    };

    // position += velocity x dt + acceleration x dt^2 / 2; velocity +=
    // acceleration x dt.
    static void Move(LaunchRecord& record, float dt, const float* p);
    // size factor += p[0] x dt.
    static void Grow(LaunchRecord& record, float dt, const float* p);
    // While life > p[1]: opacity += p[0] x dt.
    static void BrightenWhile(LaunchRecord& record, float dt, const float* p);
    // While p[1] > life: opacity -= p[0] x dt.
    static void DimWhile(LaunchRecord& record, float dt, const float* p);
    // Turns both edge vectors about z by p[0] degrees per second.
    static void Turn(LaunchRecord& record, float dt, const float* p);

    void AddStep(StepFunction function, std::vector<float> parameters = {})
    {
        steps.push_back({function, std::move(parameters)});
    }
    // Every step in list order.
    void RunSteps(float dt);

    float life = -1.0f;
    math::Vec3 position;
    math::Vec3 velocity{0.0f, -200.0f, 0.0f};
    math::Vec3 acceleration;
    math::Vec3 edge1;
    math::Vec3 edge2;
    float sizeFactor = 100.0f;
    float opacity = 1.0f;
    // Each step holds its parameters by value: a copied record is whole.
    std::list<Step> steps;
};

using LaunchList = std::list<LaunchRecord>;

// v turned about the z axis by `radians`.
math::Vec3 TurnedAboutZ(const math::Vec3& v, float radians);

class DS_ParticleOriginGenerator : public DS_StaticGenerator {
public:
    static constexpr std::u16string_view kSectionName = u"DS_ParticleOriginGenerator";
    static constexpr std::int32_t kWrittenVersion = 2;
    // The most live launch records (one layer's quads).
    static constexpr std::size_t kMaxLaunches = kMaxGenParticles;
    // Launch velocity for a unit sector direction.
    static constexpr float kLaunchSpeed = 100.0f;

    DS_ParticleOriginGenerator();

    void Save(ArchiveWriter ar) const override;

    // The origin clock, then AdvanceLaunches with its step.
    void Step(float localTime, DS_ParticlesObj& target) override;
    // A new record: the launch lifetime, the position, a velocity of 100 x a
    // direction of the sector; no steps.
    virtual LaunchRecord MakeLaunch();

    // Ages the records, runs their steps, drops the spent ones, then
    // launches what the accumulated time and the rate ask for.
    void AdvanceLaunches(float dt);
    // The origin clock: the step clamped to 0.2 s times the origin speed.
    void AdvanceOriginClock(float localTime) { originSpeed.Advance(localTime); }
    float OriginDt() const { return originSpeed.Step(); }
    float OriginTotal() const { return originSpeed.Total(); }

    UINTSclaleTo<float> launchLifetime{0.04f, 0.0f, 0};
    MediaParamT<std::uint32_t> launchRate;
    MediaParamT<std::uint32_t> launchSize;
    MediaSector direction;
    MediaSpeedParam originSpeed;
    LaunchList launches;
    float launchAccumulator = 0.0f;

protected:
    // Reads the origin section, header included.
    void ReadOriginSection(ArchiveReader ar);
};

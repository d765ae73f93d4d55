#pragma once
// DS_ParticleGenerator: the root of the generator family. A scene-object
// description with its own clock, a list of emitters (moving sources, stored
// in the document) and a list of particles (never stored), each particle
// moved by its chain of processes (GenParticle.h). Its render object is a
// DS_ParticlesObj (ParticlesObj.h) around a clone; the clone alone runs.
//
// Stored section "DS_ParticleGenerator" (written as version 3), read by
// version v, after the class name and version:
//   v > 1: int32 emitter count, then x, y, z (floats) per emitter;
//   v > 2: lifetime, emission rate, particle size, particle speed (uint32),
//          emission switch (int32);
//   v <= 2: lifetime 20, rate 30, size 0, speed 0, switch 0;
// then the DS_ABObj_Constructor section.
//
// Clock: Step turns the object's local time into a step clamped to 0.2 s and
// multiplied by the speed (MediaSpeedParam::Advance); time that goes back
// counts as no time.

#include <cstdint>
#include <memory>

#include "objectmodel/Archive.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ScaledParams.h"
#include "particles/generators/GenParticle.h"
#include "render/ABObjConstructor.h"

class DS_ABRender;
class DS_ParticlesObj;

class DS_ParticleGenerator : public DS_ABObj_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_ParticleGenerator";
    static constexpr std::int32_t kWrittenVersion = 3;
    // What a section older than version 3 leaves.
    static constexpr std::uint32_t kLegacyLifetime = 20;
    static constexpr std::uint32_t kLegacyRate = 30;

    DS_ParticleGenerator();
    // Copies every parameter, the clock and both lists (each particle with
    // clones of its processes).
    DS_ParticleGenerator(const DS_ParticleGenerator& other);

    // Writes the DS_ParticleGenerator section (version 3), then the base's.
    void Save(ArchiveWriter ar) const override;
    // A DS_ParticlesObj around a clone.
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;

    // Draws the object's layers.
    virtual void Render(DS_ABRender& renderer, DS_ParticlesObj& target) = 0;
    // Advances the clock, then both lists (emitters first).
    virtual void Step(float localTime, DS_ParticlesObj& target);
    // Sizes and fills the render object's layers once, when it is made.
    virtual void BuildGeometry(DS_ParticlesObj& target) = 0;
    // A query no generator gives a meaning: false.
    virtual bool Query() const { return false; }
    // Whether the object reads the picture drawn so far.
    virtual bool NeedsBackground() const { return false; }
    // Gives a new particle its processes: age up to the lifetime, a fade of
    // the inherited opacity by 1 over the lifetime, a random start velocity.
    virtual void InitParticle(GenParticle& particle, const GenParticle& source);
    virtual std::unique_ptr<DS_ParticleGenerator> Clone() const = 0;

    // Emits along the path each emitter travelled since the last emission:
    // rate x elapsed particles per emitter, spread evenly between the
    // previous and the present position, none at either end. Stops adding
    // when the particle list is full.
    void EmitAlongEmitters(float time);

    float Dt() const { return speed.Step(); }
    float Total() const { return speed.Total(); }
    float LastTime() const { return speed.Last(); }

    UINTSclaleTo<float> lifetime;
    PerSecondCounter emissionRate;
    UINTSclaleTo<float> particleSize;
    UINTSclaleTo<float> particleSpeed;
    MediaParamT<std::int32_t> emissionSwitch;
    // The time factor of the clock (value 50 x 0.02 = 1.0); not stored.
    MediaSpeedParam speed;
    GenParticleList emitters;
    GenParticleList particles;

protected:
    // Reads the DS_ParticleGenerator section, header included.
    void ReadGeneratorSection(ArchiveReader ar);
};

// The fewest bytes one stored emitter takes.
inline constexpr std::size_t kStoredEmitterBytes = 12;

#pragma once
// DS_StaticGenerator: a textured generator at one point of the picture.
// DS_RadialRays: a fan of textured rays from that point, rebuilt on every
// Render and drawn through the mask with the generator's blend pass. The fan
// turns by its own clock (forwards, backwards, or swinging); with `random`
// on, lengths, widths and gaps vary by a pattern seeded from `seed` at every
// build, so the pattern stays the same from frame to frame. The object's
// timeline shrinks the rays (clock mode 0) or fades them (clock mode 1) down
// to the timing floor.
//
// Stored sections:
//   "DS_RadialRays", 1: length, width, count (uint32), texture index,
//       random (int32), seed, variation, rotation speed (uint32), rotation
//       mode (int32), timing floor, swing amplitude (uint32); then
//   "DS_StaticGenerator", 1: position x, y, z (floats); then the
//       DS_TexParticleGenerator section.

#include <cstdint>
#include <memory>

#include "objectmodel/MediaParam.h"
#include "objectmodel/ScaledParams.h"
#include "particles/generators/TexParticleGenerator.h"
#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

class DS_StaticGenerator : public DS_TexParticleGenerator {
public:
    static constexpr std::u16string_view kSectionName = u"DS_StaticGenerator";
    static constexpr std::int32_t kWrittenVersion = 1;

    void Save(ArchiveWriter ar) const override;
    // The textured BuildGeometry, then, for an object marked unplaced
    // (keep-id flag 0), the position moves to the picture's centre once.
    void BuildGeometry(DS_ParticlesObj& target) override;

    MediaParamT<math::Vec3> position;

protected:
    // Reads the DS_StaticGenerator section, header included.
    void ReadStaticSection(ArchiveReader ar);
};

class DS_RadialRays : public DS_StaticGenerator {
public:
    static constexpr std::u16string_view kClassName = u"DS_RadialRays";
    static constexpr std::int32_t kWrittenVersion = 1;
    enum RotationMode : std::int32_t { kTurnBackwards = 1, kSwing = 2 };

    DS_RadialRays();
    DS_RadialRays(const DS_RadialRays& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // Advances the rotation clock with the object's local time.
    void Step(float localTime, DS_ParticlesObj& target) override;
    // Rebuilds the fan, then draws it through the mask.
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    // Textures, effect, mask surface, one layer, the first fan.
    void BuildGeometry(DS_ParticlesObj& target) override;
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
    // The same render object as CreateRenderObject.
    std::unique_ptr<KXI_RenderObj> CreateExtraRenderObject() override;

    // Fills layer 0 with one quad per ray (at most the layer's cap). Draws
    // one value from the shared random sequence first and, with random on,
    // reseeds the sequence with it afterwards.
    void BuildRays(DS_ParticlesObj& target);

    // The timeline level the rays follow (1 without a timeline).
    float TimelineLevel() const;
    float Angle() const { return m_angle; }

    MediaParamT<std::uint32_t> length;
    MediaParamT<std::uint32_t> width;
    MediaParamT<std::uint32_t> count;
    MediaParamT<std::int32_t> textureIndex;
    MediaParamT<std::int32_t> random;
    MediaParamT<std::uint32_t> seed;
    UINTSclaleTo<float> variation{-0.01f, 1.0f, 0};
    MediaSpeedParam rotationSpeed;
    MediaParamT<std::int32_t> rotationMode;
    UINTSclaleTo<float> timingFloor{-0.01f, 1.0f, 0};
    UINTSclaleTo<float> swingAmplitude{0.02f, 0.0f, 0};
    // Rotation about z by the current angle; identity before the first Step.
    math::Matrix rotation;

private:
    float m_angle = 0.0f;
};

#pragma once
// DS_SingleRectGN: a static generator that draws one textured quad, the
// picture of its texture stretched corner to corner over a four-corner rect
// of the scene, mirrored on request and tinted with the generator's colour.
// The quad is written once, when the render object is made: a later change
// of the rect or the colour shows when the geometry is built again.
// DS_Plant: the quad drawn through its own effect ("Main"), which sways the
// picture like a plant in the wind by its own clock. It never reads the
// picture drawn so far.
//
// Stored sections:
//   "DS_Plant", 1: sway speed, frequency, W magnitude, B magnitude (uint32);
//   then "DS_SingleRectGN", 2: the rect, four corners of x, y, z floats
//       (versions 0 and 1 hold two more floats, read and dropped);
//   then the DS_StaticGenerator section.

#include <cstdint>
#include <memory>
#include <string_view>

#include "objectmodel/ShapeParams.h"
#include "particles/generators/QuadBuilders.h"
#include "particles/generators/RadialRays.h"

class DS_SingleRectGN : public DS_StaticGenerator {
public:
    static constexpr std::u16string_view kSectionName = u"DS_SingleRectGN";
    static constexpr std::int32_t kWrittenVersion = 2;
    // Sections older than this carry two floats after the rect.
    static constexpr std::int32_t kFirstVersionWithoutExtras = 2;

    void Save(ArchiveWriter ar) const override;
    // The static BuildGeometry, one layer holding one quad, then BuildRect.
    void BuildGeometry(DS_ParticlesObj& target) override;
    // Writes the quad of the rect into layer 0 of the kept render object.
    void BuildRect();

    // Corner 1 top left, 2 bottom left, 3 top right, 4 bottom right.
    MediaQuad rect;

protected:
    // Reads the DS_SingleRectGN section, header included.
    void ReadSingleRectSection(ArchiveReader ar);
};

// The quad of a rect: corners 2, 1, 4, 3 with texture corners (0, 1),
// (0, 0), (1, 1), (1, 0), u turned over by `mirrorLeftRight`, v by
// `mirrorTopBottom`, all four vertices in `argb`.
GenQuad BuildMirroredRectQuad(const MediaQuad& rect, bool mirrorTopBottom, bool mirrorLeftRight, std::uint32_t argb);

class DS_Plant : public DS_SingleRectGN {
public:
    static constexpr std::u16string_view kClassName = u"DS_Plant";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "plant-sway";

    DS_Plant();
    DS_Plant(const DS_Plant& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // Advances the sway clock only.
    void Step(float localTime, DS_ParticlesObj& target) override;
    // The quad through "Main"; nothing without an effect or a texture.
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    // The quad is drawn straight over the picture, which it never reads.
    bool NeedsBackground() const override { return false; }
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The effect's "color": white, with the timeline level as alpha in
    // clock mode 1.
    math::Vec4 SwayColour() const;

    MediaSpeedParam swaySpeed;
    UINTSclaleTo<float> frequency{0.1f, 0.0f, 0};
    UINTSclaleTo<float> wMagnitude{0.002f, 0.0f, 0};
    UINTSclaleTo<float> bMagnitude{0.002f, 0.0f, 0};
};

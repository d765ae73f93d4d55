#pragma once
// Writes the stored sections of the particle generators byte for byte as the
// generator layer reads them: DS_ParticleGenerator (versions 1 to 3),
// DS_TexParticleGenerator (versions 1 to 3), DS_StaticGenerator and
// DS_RadialRays. Each field struct holds the values a test wants; the
// writers emit exactly the fields the given version carries.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "tests/support/DescriptionWriter.h"
#include "tests/support/DocumentWriter.h"

namespace generator_writer {

struct GeneratorFields {
    std::int32_t version = 3;
    // Versions 2 and later; the count is written as stored (a test may set
    // a wrong one).
    std::vector<std::array<float, 3>> emitters;
    std::optional<std::int32_t> emitterCount; // none: the number of emitters
    // Version 3.
    std::uint32_t lifetime = 20;
    std::uint32_t rate = 30;
    std::uint32_t size = 0;
    std::uint32_t speed = 0;
    std::int32_t emissionSwitch = 0;
    description_writer::ConstructorFields base;
};

struct TexGeneratorFields {
    std::int32_t version = 3;
    std::vector<description_writer::StoredLink> textures;
    std::optional<std::int32_t> textureCount; // none: the number of textures
    description_writer::StoredLink effect;
    std::int32_t colour = 0xFFFFFF;
    std::uint32_t opacity = 0;
    std::int32_t colour2 = 0xFFFFFF;
    std::uint32_t opacity2 = 0;
    std::int32_t blendMode = 0;
    std::int32_t mirrorV = 0, mirrorH = 0; // version 2 and later
    std::int32_t textureSets = 0;          // version 3
    GeneratorFields generator;
};

struct StaticGeneratorFields {
    std::int32_t version = 1;
    std::array<float, 3> position{0.0f, 0.0f, 0.0f};
    TexGeneratorFields textured;
};

struct RadialRaysFields {
    std::int32_t version = 1;
    std::uint32_t length = 0, width = 0, count = 0;
    std::int32_t textureIndex = 0, random = 0;
    std::uint32_t seed = 0, variation = 0, rotationSpeed = 1;
    std::int32_t rotationMode = 0;
    std::uint32_t timingFloor = 0, swingAmplitude = 0;
    StaticGeneratorFields base;
};

DocumentWriter& WriteGenerator(DocumentWriter& w, const GeneratorFields& fields);
DocumentWriter& WriteTexGenerator(DocumentWriter& w, const TexGeneratorFields& fields);
DocumentWriter& WriteStaticGenerator(DocumentWriter& w, const StaticGeneratorFields& fields);
// The whole record: class name "DS_RadialRays", version, body.
DocumentWriter& WriteRadialRays(DocumentWriter& w, const RadialRaysFields& fields);

// The "Light Beams" object of the embedded scene: the stored values of its
// fan, its links to the shared module and its pulsing timeline.
RadialRaysFields LightBeamsFields();

} // namespace generator_writer

#pragma once
// Writes the stored sections of the sprite-effect controllers byte for byte
// as the particle-system layer reads them: "DS_FXParticleSystemCtrl",
// "DS_BaseFXCtrl", "DS_StatBaseFXCtrl" (versions 1 and 2),
// "DS_GlowEffectCtrl" and "DS_ExplosionConstructor" (version 3, and version
// 1 with its five legacy timing values). Each section ends with its
// parent's, down to the DS_BaseSpriteProp section (DescriptionWriter.h).

#include <array>
#include <cstdint>

#include "tests/support/DescriptionWriter.h"

namespace particle_writer {

using description_writer::SpriteFields;
using description_writer::StoredLink;

struct FXFields {
    std::int32_t version = 1;
    StoredLink effect;
    SpriteFields sprite;
};

struct BaseFXFields {
    std::int32_t version = 1;
    FXFields fx;
};

struct StatBaseFXFields {
    std::int32_t version = 2;
    std::array<float, 3> centre{0.0f, 0.0f, 0.0f};
    std::uint32_t height = 0; // version 2 and later
    std::uint32_t width = 0;
    BaseFXFields base;
};

struct GlowFields {
    std::int32_t version = 1;
    std::int32_t glowColour = 0;
    std::uint32_t brightness = 100;
    FXFields fx;
};

struct ExplosionFields {
    std::int32_t version = 3;
    std::uint32_t noise1 = 21;
    std::uint32_t noise2 = 15;
    std::uint32_t noise3 = 42;
    std::uint32_t direction = 0;
    std::uint32_t speed = 50;
    std::array<std::uint32_t, 5> legacyTiming{0, 0, 0, 0, 0}; // version 1 only
    std::uint32_t seed = 0;
    std::int32_t randomOffsets = 0;
    std::int32_t secondColour = 0;
    StatBaseFXFields stat;
};

DocumentWriter& WriteFXSection(DocumentWriter& w, const FXFields& fields);
DocumentWriter& WriteBaseFXSection(DocumentWriter& w, const BaseFXFields& fields);
DocumentWriter& WriteStatBaseFXSection(DocumentWriter& w, const StatBaseFXFields& fields);
DocumentWriter& WriteGlowSection(DocumentWriter& w, const GlowFields& fields);
// The whole record as a slide stores it: class name, version, body.
DocumentWriter& WriteExplosion(DocumentWriter& w, const ExplosionFields& fields);

} // namespace particle_writer

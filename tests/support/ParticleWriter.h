#pragma once
// Writes the particle engine's stored records byte for byte as the engine
// reads them: the parameter block in every version from 1 to 11, the
// KXI_ParticleSystemCtrl section in versions 1 to 5 (versions 1 to 4 with
// their legacy block) and the field system's record.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/DescriptionWriter.h"
#include "tests/support/DocumentWriter.h"

namespace particle_writer {

using description_writer::StoredLink;

struct StoredOscillation {
    std::uint32_t amplitude = 100;
    std::uint32_t frequency = 50;
    std::int32_t kind = 0;
};

struct BlockFields {
    std::int32_t version = 11;
    std::u16string textureName;
    // Versions 7 and later: the texture-set record; older: the pictures.
    std::u16string setName;
    std::vector<StoredLink> pictures;
    std::uint32_t columns = 1;
    std::uint32_t rows = 1;
    StoredLink source;
    StoredLink effect;
    std::uint32_t textureClock = 1;
    std::int32_t animationDirection = 0;
    std::int32_t flipVertical = 0;
    std::int32_t flipHorizontal = 0;
    std::uint32_t particleSize = 0;
    // Version 11: the colour record; older: the first colour and transparency.
    std::int32_t colourMode = 0;
    std::int32_t randomPick = 0;
    std::vector<std::uint32_t> colours{0x00FFFFFF, 0x00000000};
    std::uint32_t transparency = 0;
    // Version 2 and later.
    std::array<std::uint32_t, 4> sizeEnvelope{0, 100, 0, 0};    // grow-in end, shrink-out start, start, end
    std::array<std::uint32_t, 4> opacityEnvelope{0, 100, 0, 0}; // the end is never stored
    std::uint32_t sizeJitter = 0;
    std::uint32_t opacityJitter = 0;
    std::int32_t spinDirection = 0;
    std::uint32_t spinClock = 0;
    std::uint32_t spinJitter = 0;
    std::int32_t blendMode = 0;
    // Version 4 and later.
    std::int32_t rotationMode = 0;
    std::uint32_t startAngle = 0;
    std::uint32_t startAngleSpread = 0;
    // Version 5 and later.
    std::int32_t glowMode = 0;
    std::uint32_t glowStrength = 50;
    std::int32_t glowColour = 0x0000FFFF;
    std::uint32_t glowBrightness = 100;
    std::int32_t glowPasses = 2;
    // Version 6 and later: read and discarded.
    StoredLink glowEffect{u"common_res.dll", 202};
    // Version 8 and later.
    StoredOscillation opacityOscillation;
    StoredOscillation sizeOscillation;
    // Version 9 and later.
    std::int32_t flags = 0;
    std::int32_t gravityDirection = 0;
    std::uint32_t gravity = 0;
    std::uint32_t airResistance = 0;
    // Version 10 and later.
    StoredOscillation vibrationAlong{50, 50, 0};
    StoredOscillation vibrationAcross{50, 50, 0};
};

struct ControllerFields {
    std::int32_t version = 5;
    BlockFields block;
    // Versions 1 to 4: the shape index (-1: none stored in versions 3 and 4).
    std::int32_t shapeIndex = -1;
    std::uint32_t speed = 100; // version 4 and later
    description_writer::ConstructorFields base;
};

struct FieldFields {
    std::uint32_t lifetime = 200; // hundredths of a second
    std::uint32_t density = 100;  // percent
    std::vector<std::array<float, 3>> positions;
    std::uint32_t angle = 0;
    std::uint32_t spread = 0;
    std::uint32_t speed = 0;
    ControllerFields controller;
};

// The block's fields as its version stores them (no version, no name).
DocumentWriter& WriteBlock(DocumentWriter& w, const BlockFields& block);
// The KXI_ParticleSystemCtrl section and the description's section.
DocumentWriter& WriteController(DocumentWriter& w, const ControllerFields& fields);
// The whole record: class name "KXI_FieldPtclSys", version 1, the fields.
DocumentWriter& WriteFieldSystem(DocumentWriter& w, const FieldFields& fields);

} // namespace particle_writer

#pragma once
// Writes the stored records of the wandering particles byte for byte as the
// engine reads them: the particle tracer's member record in versions 1 to 4,
// the Brownian animation's record and the firefly's record in versions 1
// and 2.

#include <array>
#include <cstdint>

#include "tests/support/DocumentWriter.h"
#include "tests/support/ParticleWriter.h"

namespace wander_writer {

struct TracerFields {
    std::int32_t version = 4;
    particle_writer::BlockFields block; // version 2 and later
    std::uint32_t rate = 100;
    std::uint32_t lifetime = 0;     // hundredths of a second
    std::uint32_t particleSize = 0; // version 1 only
    std::uint32_t spread = 0;
    std::uint32_t velocityFactor = 0;
    std::int32_t unused = 0; // versions 1 to 3
};

struct BrownFields {
    std::int32_t version = 1;
    std::uint32_t count = 0;
    std::uint32_t driftScale = 0;
    std::uint32_t changeRate = 0;
    std::uint32_t turnTime = 0;
    // Corners 0 to 3 (left-top, left-bottom, right-top, right-bottom).
    std::array<std::array<float, 3>, 4> area{};
    particle_writer::ControllerFields controller;
};

struct FireflyFields {
    std::int32_t version = 2;
    TracerFields trail;
    BrownFields brown;
};

// The corners of the box from (left, top) to (right, bottom).
std::array<std::array<float, 3>, 4> BoxCorners(float left, float top, float right, float bottom);

// The member record (no class name).
DocumentWriter& WriteTracer(DocumentWriter& w, const TracerFields& fields);
// The whole record: "KXI_BrownAnimation", its version, the body, the
// controller section.
DocumentWriter& WriteBrownAnimation(DocumentWriter& w, const BrownFields& fields);
// "KXI_Firefly", its version, the trail, then the Brownian record.
DocumentWriter& WriteFirefly(DocumentWriter& w, const FireflyFields& fields);

} // namespace wander_writer

#pragma once
// Writes the glowing discharge's record byte for byte as the scene objects
// read it: "DS_DischargeFXConstructor" 1, ending with the
// "DS_GlowEffectCtrl" section of ParticleSystemWriter.h.

#include <array>
#include <cstdint>

#include "tests/support/ParticleSystemWriter.h"

namespace discharge_writer {

struct DischargeFields {
    std::int32_t version = 1;
    std::array<float, 3> start{0.0f, 0.0f, 0.0f};
    std::array<float, 3> end{0.0f, 0.0f, 0.0f};
    std::uint32_t jitter = 50;         // percent of the remaining step
    std::int32_t textureChoice = 1;    // 0: the thin picture
    std::uint32_t flickerInterval = 100; // 0.1 - value / 1000 seconds
    std::uint32_t morphSpeed = 50;     // tenths
    particle_writer::GlowFields glow;
};

DocumentWriter& WriteDischarge(DocumentWriter& w, const DischargeFields& fields);

} // namespace discharge_writer

#pragma once
// Writes the particle trees' stored records byte for byte as the engine
// reads them: the force and spin blocks, the geometry and emitter sections,
// the point emit shape and the stem with its node section.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/DocumentWriter.h"
#include "tests/support/ParticleWriter.h"

namespace tree_writer {

struct StoredForces {
    std::int32_t gravityMode = 0;
    std::uint32_t gravity = 0;
    std::uint32_t airResistance = 0;
};

struct StoredSpin {
    std::int32_t directionMode = 0;
    std::uint32_t speed = 50;
    std::uint32_t speedJitter = 0;
    std::int32_t rotationMode = 0;
    std::uint32_t startAngle = 0;
    std::uint32_t startAngleJitter = 0;
};

struct StoredGeometry {
    std::u16string name;
    float offset[3] = {0.0f, 0.0f, 0.0f};
    particle_writer::StoredOscillation sizeOscillation;
    particle_writer::StoredOscillation opacityOscillation;
    std::uint32_t sizeJitter[2] = {0, 0};    // value, jitter
    std::uint32_t opacityJitter[2] = {0, 0}; // value, jitter
    std::uint32_t sizeEnvelope[7] = {0, 0, 100, 100, 0, 0, 1};
    std::uint32_t opacityEnvelope[7] = {0, 0, 100, 100, 0, 0, 1};
    particle_writer::StoredOscillation vibrationAlong{50, 50, 0};
    particle_writer::StoredOscillation vibrationAcross{50, 50, 0};
    StoredSpin spin;
};

struct StoredEmitter {
    float lifetime = 2.0f;
    std::uint32_t count = 5;
    float period = 1.0f;
    float pause = 0.0f;
    float delay = 0.0f;
    std::uint32_t speed[2] = {0, 0}; // value, jitter
    std::int32_t attached = 0;
    StoredGeometry geometry;
};

struct StoredPointShape {
    std::uint32_t launchCentre = 0;
    std::uint32_t launchSpread = 0;
    std::uint32_t distance = 0;
    std::int32_t cone = 0;
    StoredForces forces;
    StoredEmitter emitter;
};

void WriteForces(DocumentWriter& w, const StoredForces& forces);
void WriteSpin(DocumentWriter& w, const StoredSpin& spin);
void WriteGeometrySection(DocumentWriter& w, const StoredGeometry& geometry);
void WriteEmitterSection(DocumentWriter& w, const StoredEmitter& emitter);
void WritePointShape(DocumentWriter& w, const StoredPointShape& shape);
// "KXI_PSTree_Stem", the node section with `writeGeometry`, then the
// children, each written by its own function.
void WriteStem(DocumentWriter& w, const std::u16string& name, const std::function<void(DocumentWriter&)>& writeGeometry,
               const std::vector<std::function<void(DocumentWriter&)>>& children);

} // namespace tree_writer

#pragma once
// Writes the particle trees' stored records byte for byte as the engine
// reads them: the force and spin blocks, the geometry and emitter sections,
// the point emit shape and the stem with its node section.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/DescriptionWriter.h"
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

// ---- leaves, trace leaves and roots ----------------------------------------------

using WriteItem = std::function<void(DocumentWriter&)>;

struct StoredLeaf {
    description_writer::StoredLink effect{u"common_res.dll", 202};
    std::u16string setName;
    std::vector<description_writer::StoredLink> pictures;
    std::uint32_t columns = 1;
    std::uint32_t rows = 1;
    description_writer::StoredLink source;
    std::uint32_t speed = 1; // percent
    std::int32_t reverse = 0;
    std::int32_t flipV = 0;
    std::int32_t flipU = 0;
    std::uint32_t size = 8;
    std::vector<std::uint32_t> colours{0x00FFFFFF};
    std::int32_t colourMode = 0;
    std::int32_t randomPick = 0;
    std::uint32_t transparency = 0;
    std::int32_t blend = 0;
    std::int32_t glowMode = 0;
    std::uint32_t glowStrength = 50;
    std::int32_t glowColour = 0x0000FFFF;
    std::uint32_t glowBrightness = 100;
    std::int32_t glowPasses = 2;
};

struct StoredTrace {
    float lifetime = 1.0f;
    std::uint32_t sizeEnvelope[7] = {0, 0, 100, 100, 0, 0, 1};
    std::uint32_t opacityEnvelope[7] = {0, 0, 100, 100, 0, 0, 1};
    StoredLeaf leaf;
};

struct StoredRoot {
    description_writer::StoredLink effect{u"common_res.dll", 185};
    float offset[3] = {0.0f, 0.0f, 0.0f};
    std::int32_t storedInteger = 0;
    description_writer::ConstructorFields base;
};

struct StoredSwarm {
    std::uint32_t count = 0;
    std::uint32_t wanderSpeed = 0;
    std::uint32_t changeRate = 0;
    std::uint32_t changeTime = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    StoredGeometry geometry;
};

// "KXI_PSGeometry_Point", then the geometry section.
void WritePointGeometry(DocumentWriter& w, const StoredGeometry& geometry);
// "KXI_PSGeometry_Swarm", its fields, then the geometry section.
void WriteSwarmGeometry(DocumentWriter& w, const StoredSwarm& swarm);
// "KXI_PSTree_Leaf", the leaf fields, then the node section.
void WriteLeaf(DocumentWriter& w, const StoredLeaf& leaf, const std::u16string& name, const WriteItem& writeGeometry,
               const std::vector<WriteItem>& children = {});
// "KXI_PSTree_Trace", its fields, then the whole leaf section.
void WriteTrace(DocumentWriter& w, const StoredTrace& trace, const std::u16string& name,
                const WriteItem& writeGeometry);
// "KXI_PSTree_Root", version 1, the root fields, the children, then the
// description section.
void WriteRoot(DocumentWriter& w, const StoredRoot& root, const std::vector<WriteItem>& children);

} // namespace tree_writer

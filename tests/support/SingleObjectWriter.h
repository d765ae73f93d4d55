#pragma once
// Writes the stored records of the single-object controllers byte for byte
// as the engine reads them: the static object ("KXI_StaticObject" with its
// "KXI_SingleParticle" section) and the walking object
// ("KXI_SigleObjectPath" with its "KXI_ParticlePathCtrl" section), each
// ending with the controller section of ParticleWriter.h.

#include <array>
#include <cstdint>
#include <vector>

#include "tests/support/ParticleWriter.h"

namespace particle_writer {

using StoredPoint = std::array<float, 3>;

struct SingleParticleFields {
    std::int32_t version = 1;
    // Corners 0 to 3 as MediaQuad::SetRectangle lays them out: left-top,
    // left-bottom, right-top, right-bottom.
    std::array<StoredPoint, 4> corners{};
    ControllerFields controller;
};

struct StaticObjectFields {
    std::int32_t version = 1;
    std::uint32_t turnSpeed = 1; // 0.4 degrees per second each
    std::int32_t reverse = 0;
    SingleParticleFields single;
};

struct ParticlePathFields {
    std::int32_t version = 1;
    std::vector<StoredPoint> points;
    ControllerFields controller;
};

struct ObjectPathFields {
    std::int32_t version = 1;
    std::uint32_t speed = 1; // tenths of a canvas unit per update
    std::int32_t orientation = 0;
    ParticlePathFields path;
};

// The corners of a width x height rectangle around (x, y), at z 0.
std::array<StoredPoint, 4> RectangleCorners(float width, float height, float x, float y);

// The "KXI_SingleParticle" section: name, version, corners, controller.
DocumentWriter& WriteSingleParticleSection(DocumentWriter& w, const SingleParticleFields& fields);
// The whole record: "KXI_StaticObject", version, its fields, the section.
DocumentWriter& WriteStaticObject(DocumentWriter& w, const StaticObjectFields& fields);
// The "KXI_ParticlePathCtrl" section: name, version, points, controller.
DocumentWriter& WriteParticlePathSection(DocumentWriter& w, const ParticlePathFields& fields);
// The whole record: "KXI_SigleObjectPath", version, its fields, the section.
DocumentWriter& WriteObjectPath(DocumentWriter& w, const ObjectPathFields& fields);

} // namespace particle_writer

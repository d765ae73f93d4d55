#pragma once
// Writes the stored sections of the object animations byte for byte as the
// objects layer reads them: DS_StaticAnimation, DS_BrownAnimation and
// DS_PathAnimtion (versions 1 and 2; version 1 ends before the frame speed).

#include <cstdint>

#include "tests/support/LightGeneratorWriter.h"
#include "tests/support/PaintedGeneratorWriter.h"

namespace generator_writer {

struct StaticAnimationFields {
    std::int32_t version = 1;
    std::uint32_t frameSpeed = 100;
    std::int32_t reverse = 0;
    SingleRectFields rect;
};

struct BrownAnimationFields {
    std::int32_t version = 2;
    std::uint32_t count = 0, size = 0, motionScale = 0, repickPeriod = 0, steerTime = 0;
    std::uint32_t frameSpeed = 100; // version 2
    RegionGeneratorFields region;
};

struct PathAnimationFields {
    std::int32_t version = 2;
    std::uint32_t moveSpeed = 1, size = 0;
    std::int32_t facing = 0, mirrorTopBottom = 0, mirrorLeftRight = 0;
    std::uint32_t frameSpeed = 100; // version 2
    PathGeneratorFields path;
};

// Whole records: class name, version, body.
DocumentWriter& WriteStaticAnimation(DocumentWriter& w, const StaticAnimationFields& fields);
DocumentWriter& WriteBrownAnimation(DocumentWriter& w, const BrownAnimationFields& fields);
DocumentWriter& WritePathAnimation(DocumentWriter& w, const PathAnimationFields& fields);

} // namespace generator_writer

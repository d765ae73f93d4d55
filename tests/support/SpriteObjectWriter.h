#pragma once
// Writes the stored records of the sprite scene objects byte for byte as the
// objects layer reads them, for every version a reader branches on: flows
// (1 to 4) with their edge rules, rain, fish, birds, ghosts (1 and 2), god
// rays, sparkles, fog, lighting (1 and 2), grass, placed objects (1 and 2),
// flowers and discharges. Each record is class name, int32 version, the
// class's own fields, then its parent's section, down to the
// DS_BaseSpriteProp section (DescriptionWriter.h).

#include <array>
#include <cstdint>

#include "tests/support/DescriptionWriter.h"

namespace sprite_object_writer {

using description_writer::SpriteFields;

struct BoundFields {
    std::int32_t version = 1;
    std::int32_t mode = 0;
    std::uint32_t fadeOut = 0;
    std::uint32_t fadeIn = 0;
    std::uint32_t minDelay = 0;
    std::uint32_t maxDelay = 0;
};

struct FlowFields {
    std::int32_t version = 4;
    std::uint32_t direction = 0;
    std::uint32_t wobble = 0;
    std::uint32_t changeRate = 0;
    float speed = 0.0f;
    // Versions 3 and later: the mode; version 2: written as the flag.
    std::int32_t orientation = 0;
    // Top, bottom, left, right; version 4 and later.
    std::array<BoundFields, 4> bounds{};
    SpriteFields sprite;
};

struct RainFields {
    std::int32_t version = 1;
    FlowFields flow;
};

struct FishFields {
    std::int32_t version = 1;
    float maxSpeedX = 80.0f;
    float maxSpeedY = 50.0f;
    SpriteFields sprite;
};

// Birds and ghosts: no fields of their own.
struct FishKindFields {
    std::int32_t version = 1;
    FishFields fish;
};

struct GodRayFields {
    std::int32_t version = 1;
    std::uint32_t angle = 80;
    SpriteFields sprite;
};

struct SparkleFields {
    std::int32_t version = 1;
    SpriteFields sprite;
};

struct FogFields {
    std::int32_t version = 1;
    float maxSpeedX = 40.0f;
    float maxSpeedY = 40.0f;
    SpriteFields sprite;
};

struct LightingFields {
    std::int32_t version = 2;
    // Hundredths of a second; version 2 and later.
    std::uint32_t minInterval = 100;
    std::uint32_t maxInterval = 500;
    SpriteFields sprite;
};

struct GrassFields {
    std::int32_t version = 1;
    float amplitude = 3.0f;
    SpriteFields sprite;
};

struct StatObjFields {
    std::int32_t version = 2;
    // left, right, top, bottom, centre x, centre y
    std::array<std::int32_t, 6> bounds{0, 0, 0, 0, 0, 0};
    std::uint32_t angle = 0;
    // Version 1 only: flip-v and flip-u after the angle.
    std::int32_t flipV = 0;
    std::int32_t flipU = 0;
    SpriteFields sprite;
};

struct FlowerFields {
    std::int32_t version = 1;
    float amplitude = 1.5f;
    StatObjFields stat;
};

struct DischargeFields {
    std::int32_t version = 1;
    StatObjFields stat;
};

DocumentWriter& WriteBound(DocumentWriter& w, const BoundFields& fields);
DocumentWriter& WriteFlow(DocumentWriter& w, const FlowFields& fields);
DocumentWriter& WriteRain(DocumentWriter& w, const RainFields& fields);
DocumentWriter& WriteFish(DocumentWriter& w, const FishFields& fields);
DocumentWriter& WriteBird(DocumentWriter& w, const FishKindFields& fields);
DocumentWriter& WriteGhost(DocumentWriter& w, const FishKindFields& fields);
DocumentWriter& WriteGodRay(DocumentWriter& w, const GodRayFields& fields);
DocumentWriter& WriteSparkle(DocumentWriter& w, const SparkleFields& fields);
DocumentWriter& WriteFog(DocumentWriter& w, const FogFields& fields);
DocumentWriter& WriteLighting(DocumentWriter& w, const LightingFields& fields);
DocumentWriter& WriteGrass(DocumentWriter& w, const GrassFields& fields);
DocumentWriter& WriteStatObj(DocumentWriter& w, const StatObjFields& fields);
DocumentWriter& WriteFlower(DocumentWriter& w, const FlowerFields& fields);
DocumentWriter& WriteDischarge(DocumentWriter& w, const DischargeFields& fields);

} // namespace sprite_object_writer

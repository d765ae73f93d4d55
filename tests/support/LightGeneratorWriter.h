#pragma once
// Writes the stored sections of the generators that launch things and leave
// trails of light, byte for byte as the generator layer reads them:
// DS_ParticleRctRgnGenerator, DS_FallingStars, DS_ParticleOriginGenerator
// (versions 1 and 2), DS_FireworkSimple, DS_StringGenerator, DS_LightningGN
// (versions 1 and 2) and DS_Smoke.

#include <array>
#include <cstdint>

#include "tests/support/GeneratorWriter.h"

namespace generator_writer {

using Point = std::array<float, 3>;
// Corners 1 to 4 (left-top, left-bottom, right-top, right-bottom).
using StoredQuad = std::array<Point, 4>;

// The corners MediaQuad::SetRectangle gives a w x h rectangle at (x, y).
StoredQuad RectangleQuad(float x, float y, float width, float height);

struct RegionGeneratorFields {
    std::int32_t version = 1;
    StoredQuad region{};
    TexGeneratorFields textured;
};

struct FallingStarsFields {
    std::int32_t version = 1;
    std::uint32_t starSpeed = 0, starRate = 0, direction = 0, starSize = 0, glowFactor = 0;
    std::uint32_t holdTime = 0, fadeInTime = 0, fadeOutTime = 0;
    StoredQuad region{};
    TexGeneratorFields textured;
};

struct OriginGeneratorFields {
    std::int32_t version = 2;
    std::uint32_t launchLifetime = 0, launchRate = 0, launchSize = 0, direction = 0;
    std::uint32_t spread = 0; // version 2 and later
    std::uint32_t originSpeed = 50;
    StaticGeneratorFields base;
};

struct FireworkFields {
    std::int32_t version = 1;
    std::uint32_t rocketCount = 0, quadSize = 0, rocketSpeed = 0, glowFactor = 0;
    OriginGeneratorFields origin;
};

struct StringGeneratorFields {
    std::int32_t version = 1;
    Point start{}, end{};
    TexGeneratorFields textured;
};

struct LightningFields {
    std::int32_t version = 2;
    std::uint32_t coreWidth = 0, passes = 0, jaggedness = 0, seed = 0, branchLength = 0, branchAngle = 0;
    std::uint32_t endWidth = 0, branches = 0, subBranches = 0, twigs = 0;
    // Version 1 only: the timing in thousandths of a second.
    std::array<std::uint32_t, 7> legacyTiming{};
    std::uint32_t flicker = 0, glowWidth = 0;
    std::int32_t randomFlag = 0;
    StringGeneratorFields string;
};

struct SmokeFields {
    std::int32_t version = 1;
    std::uint32_t drift = 0;
    OriginGeneratorFields origin;
};

DocumentWriter& WriteRegionGenerator(DocumentWriter& w, const RegionGeneratorFields& fields);
DocumentWriter& WriteOriginGenerator(DocumentWriter& w, const OriginGeneratorFields& fields);
DocumentWriter& WriteStringGenerator(DocumentWriter& w, const StringGeneratorFields& fields);
// Whole records: class name, version, body.
DocumentWriter& WriteFallingStars(DocumentWriter& w, const FallingStarsFields& fields);
DocumentWriter& WriteFireworkSimple(DocumentWriter& w, const FireworkFields& fields);
DocumentWriter& WriteLightning(DocumentWriter& w, const LightningFields& fields);
DocumentWriter& WriteSmoke(DocumentWriter& w, const SmokeFields& fields);

} // namespace generator_writer

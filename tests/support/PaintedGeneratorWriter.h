#pragma once
// Writes the stored sections of the painted and placed generators byte for
// byte as the generator layer reads them: DS_AirBrush (versions 1 to 3, dab
// records with any pair count), DS_CustomAirBrush, DS_Bling (versions 1 and
// 2), DS_TwinklingStars, DS_Aurora, DS_AnimatedFont, DS_SingleRectGN
// (versions 0 to 2), DS_Plant and DS_PathGenerator. Each field struct holds
// the values a test wants; the writers emit exactly the fields the given
// version carries.

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "tests/support/GeneratorWriter.h"

namespace generator_writer {

struct DabRecord {
    std::array<float, 3> position{0.0f, 0.0f, 0.0f};
    // Channel defaults: life 0, scale 1, opacity 1, age 0, angle 0, the rest 1.
    std::array<float, 10> channels{0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    // Versions 2 and 3: the pairs written; pairs past the ten channels are
    // written as zeros. The stored count is this one unless a test sets
    // another.
    std::uint32_t pairCount = 5;
    std::optional<std::uint32_t> storedPairCount;
};

struct AirBrushFields {
    std::int32_t version = 3;
    std::uint32_t brushSize = 0;
    std::vector<DabRecord> dabs;
    std::optional<std::int32_t> dabCount; // none: the number of dabs
    TexGeneratorFields textured;
};

struct CustomAirBrushFields {
    std::int32_t version = 1;
    description_writer::StoredLink image;
    std::uint32_t frameSpeed = 1;
    AirBrushFields brush;
};

struct BlingFields {
    std::int32_t version = 2;
    std::uint32_t lifeSpeed = 1, shrinkTime = 0, growTime = 0;
    std::uint32_t spinSpeed = 1, sizeFloor = 0; // version 2
    AirBrushFields brush;
};

struct TwinklingStarsFields {
    std::int32_t version = 1;
    std::uint32_t twinkleSpeed = 1;
    AirBrushFields brush;
};

struct AuroraWaveFields {
    std::uint32_t speed = 1, amplitude = 0, length = 0;
};

struct AuroraFields {
    std::int32_t version = 1;
    std::uint32_t bandHeight = 0;
    std::array<AuroraWaveFields, 3> waves;
    std::uint32_t swayDirection = 0;
    AirBrushFields brush;
};

struct AnimatedFontFields {
    std::int32_t version = 1;
    std::u16string text;
    std::uint32_t frameSpeed = 1, scale = 0;
    std::array<std::uint32_t, 3> settings{0, 0, 0};
    std::int32_t signedSetting = 0;
    std::vector<std::pair<char16_t, description_writer::StoredLink>> characterTable;
    std::vector<description_writer::StoredLink> glyphImages;
    StaticGeneratorFields base;
};

struct SingleRectFields {
    std::int32_t version = 2;
    // Corners 1 to 4 (top left, bottom left, top right, bottom right).
    std::array<std::array<float, 3>, 4> rect{};
    std::array<float, 2> extras{0.0f, 0.0f}; // versions 0 and 1
    StaticGeneratorFields base;
};

struct PlantFields {
    std::int32_t version = 1;
    std::uint32_t swaySpeed = 1, frequency = 0, wMagnitude = 0, bMagnitude = 0;
    SingleRectFields rect;
};

struct PathGeneratorFields {
    std::int32_t version = 1;
    std::vector<std::array<float, 3>> points;
    std::optional<std::int32_t> pointCount; // none: the number of points
    TexGeneratorFields textured;
};

// A corner rect from (left, top), w x h, in the stored corner order.
std::array<std::array<float, 3>, 4> RectCorners(float left, float top, float width, float height);

DocumentWriter& WriteAirBrushSection(DocumentWriter& w, const AirBrushFields& fields);
DocumentWriter& WriteSingleRectSection(DocumentWriter& w, const SingleRectFields& fields);
DocumentWriter& WritePathGeneratorSection(DocumentWriter& w, const PathGeneratorFields& fields);
// Whole records: class name, version, body.
DocumentWriter& WriteCustomAirBrush(DocumentWriter& w, const CustomAirBrushFields& fields);
DocumentWriter& WriteBling(DocumentWriter& w, const BlingFields& fields);
DocumentWriter& WriteTwinklingStars(DocumentWriter& w, const TwinklingStarsFields& fields);
DocumentWriter& WriteAurora(DocumentWriter& w, const AuroraFields& fields);
DocumentWriter& WriteAnimatedFont(DocumentWriter& w, const AnimatedFontFields& fields);
DocumentWriter& WritePlant(DocumentWriter& w, const PlantFields& fields);

} // namespace generator_writer

#pragma once
// Writes the stored levels of the image effects byte for byte as the
// effects layer reads them: the DS_FX_Constructor level (versions 1 to 4),
// the direction, centre and line levels, and the level of every effect
// class in each version its reader knows. A record is the class level, then
// its bases down to the DS_ABObj_Constructor section; a scene-object record
// starts with the class name and version as every level does.

#include <array>
#include <cstdint>
#include <string>

#include "platform/crt/Guid.h"
#include "tests/support/DescriptionWriter.h"
#include "tests/support/DocumentWriter.h"

namespace image_effect_writer {

using description_writer::ConstructorFields;
using description_writer::StoredLink;

struct FxFields {
    std::int32_t version = 4;
    std::uint32_t speed = 1;
    std::int32_t mode = 0;
    crt::Guid guid;
    std::u16string keyName;
    std::uint8_t keyFlag = 1;
    StoredLink effectLink;
    std::uint32_t scale = 50;                  // version > 1
    std::array<float, 12> region{};            // version > 2: x, y, z of corners 0..3
    std::int32_t extraInt = 0;                 // version > 2
    std::uint32_t phaseOffset = 0;             // version > 3
    ConstructorFields base;
};

struct DirectionFields {
    std::uint32_t magnitude = 0;
    std::uint32_t angle = 0;
    FxFields fx;
};

struct CentralFields {
    std::array<float, 3> centre{};
    FxFields fx;
};

struct LineFields {
    std::uint32_t angle = 0;
    std::array<float, 3> centre{};
    FxFields fx;
};

struct PatternFields {
    bool storedAsC = false; // "DS_PatternBrushC" around the pattern level
    StoredLink pattern;
    std::int32_t flipY = 0, flipX = 0;
    std::uint32_t angle = 0;
    std::uint32_t tileSize = 100;
    std::uint32_t offsetX = 0, offsetY = 0;
    FxFields fx;
};

struct BackgroundCopyFields {
    // left, right, top, bottom, then the two extra values (the offset)
    std::array<std::int32_t, 6> rectangle{};
    std::int32_t flagY = 0, flagX = 0;
    FxFields fx;
};

struct WavesFields {
    std::uint32_t amplitude = 50, wavelength = 50, angle = 0;
    std::int32_t reverse = 0;
    FxFields fx;
};

struct LightFields {
    std::uint32_t strength = 40;
    std::int32_t flickerMode = 0;
    FxFields fx;
};

struct LightIIFields {
    std::int32_t version = 2;
    std::uint32_t strength = 0;
    std::int32_t flickerMode = 0, blendMode = 0;
    std::uint32_t colour = 0;
    FxFields fx;
};

struct UnderwaterFields {
    std::uint32_t amplitude = 50, wavelength = 50;
    FxFields fx;
};

struct WaterFields {
    std::uint32_t shape = 20, bumpRadius = 20, drift2 = 20, drift1 = 20, angle = 40, shadows = 0, lightHeight = 0;
    std::uint32_t colour = 0xFFFFFF;
    StoredLink bump{u"common_res.dll", 89};
    FxFields fx;
};

struct MoveFields {
    std::int32_t version = 3;
    std::int32_t kind = 0;
    std::uint32_t secondMagnitude = 50; // version > 1
    DirectionFields direction;
};

// Fire, day to night and heat shimmer.
struct FireFields {
    std::int32_t version = 3;
    std::uint32_t colour1 = 0xFFFF, colour2 = 0xFF; // version > 1
    std::int32_t spareInt = 0;
    StoredLink pattern{u"common_res.dll", 93};
    StoredLink noise{u"common_res.dll", 8};
    std::array<float, 12> region{}; // version 2 only
    std::int32_t extraInt = 0;      // version 2 only
    std::uint32_t density = 100, brightness = 15, patternWidth = 100;
    FxFields fx;
};

struct DayToNightFields {
    std::uint32_t multiplyColour = 0;
    std::uint32_t hue = 0, saturation = 0, brightness = 100;
    std::array<float, 4> softLight{1, 1, 1, 1};
    std::uint32_t desaturation = 0;
    FxFields fx;
};

struct HeatFields {
    std::uint32_t shimmerSpeed = 1, strength = 0, bumpScale = 0;
    FxFields fx;
};

DocumentWriter& WriteFxLevel(DocumentWriter& w, const FxFields& f);
DocumentWriter& WriteDirectionLevel(DocumentWriter& w, const DirectionFields& f);
DocumentWriter& WriteCentralLevel(DocumentWriter& w, const CentralFields& f);
DocumentWriter& WriteLineLevel(DocumentWriter& w, const LineFields& f);

// Whole records, class name and version first.
DocumentWriter& WritePatternBrush(DocumentWriter& w, const PatternFields& f);
DocumentWriter& WriteBackgroundCopy(DocumentWriter& w, const BackgroundCopyFields& f);
DocumentWriter& WriteWaves(DocumentWriter& w, const WavesFields& f);
DocumentWriter& WriteLight(DocumentWriter& w, const LightFields& f);
DocumentWriter& WriteLightII(DocumentWriter& w, const LightIIFields& f);
DocumentWriter& WriteUnderwater(DocumentWriter& w, const UnderwaterFields& f);
DocumentWriter& WriteWater(DocumentWriter& w, const WaterFields& f);
DocumentWriter& WriteMove(DocumentWriter& w, const MoveFields& f);
DocumentWriter& WriteFire(DocumentWriter& w, const FireFields& f);
DocumentWriter& WriteDayToNight(DocumentWriter& w, const DayToNightFields& f);
DocumentWriter& WriteHeat(DocumentWriter& w, const HeatFields& f);

} // namespace image_effect_writer

#pragma once
// Writes the line systems' stored records byte for byte as the lines read
// them: "KXI_StaticLineCtrl" 1, "KXI_LineCtrl" 1 and 2, "KXI_GrovingLine" 1
// and 2, "KXI_SlidingLine" 1, "KXI_ShootingLine" 1 and 2, "KXI_Tears" 1,
// "KXI_WavingLine" 1 and "DS_StraightLine" 1; and sample documents holding
// them for the inspector's test and the fuzzer's seeds.

#include <array>
#include <cstdint>
#include <vector>

#include "tests/support/PathSystemWriter.h"
#include "tests/support/SampleDocuments.h"

namespace line_writer {

using particle_writer::BlockFields;
using particle_writer::ControllerFields;
using particle_writer::SplinePointFields;
using particle_writer::Vec3Fields;

using PercentFields = std::array<std::uint32_t, 4>; // in, out, floor in, floor out
inline constexpr PercentFields kFlatEnvelope{0, 100, 0, 0};

struct LineCtrlFields {
    std::int32_t version = 2;
    std::vector<SplinePointFields> points;
    std::int32_t showParticles = 0;
    BlockFields layer;
    float headSideOffset = 0.0f;
    float headForwardOffset = 0.0f;
    std::int32_t extra = 0; // version 1 only
    ControllerFields controller;
};

struct StaticLineFields {
    std::uint32_t width = 0;
    PercentFields sizeEnvelope = kFlatEnvelope;
    PercentFields alphaEnvelope = kFlatEnvelope;
    LineCtrlFields line;
};

struct GrowingFields {
    std::int32_t version = 2;
    PercentFields startSizeEnvelope = kFlatEnvelope;
    PercentFields startAlphaEnvelope = kFlatEnvelope;
    std::int32_t retract = 0; // version 2 only
    StaticLineFields base;
};

struct SlidingFields {
    std::uint32_t pieceLength = 0;
    std::int32_t directionMode = 0;
    StaticLineFields base;
};

struct ShootingFields {
    std::int32_t version = 2;
    std::vector<SplinePointFields> points;
    BlockFields layer;
    float minimumInterval = 0.5f;
    float maximumInterval = 1.5f;
    std::uint32_t speed = 0;
    std::uint32_t amplitude = 0;
    std::uint32_t tailDelay = 0;
    std::uint32_t width = 0;
    PercentFields widthEnvelope = kFlatEnvelope;
    std::uint32_t waveFrequency = 0; // x 0.0002 radians per pixel
    std::int32_t showParticles = 0;
    std::array<float, 2> unused{};
    ControllerFields controller;
};

struct WavingFields {
    std::uint32_t width = 0;
    PercentFields sizeEnvelope = kFlatEnvelope;
    BlockFields layer;
    std::uint32_t amplitude = 0;
    std::uint32_t secondWave = 0; // percent
    std::int32_t showParticles = 0;
    float headSideOffset = 0.0f;
    float headForwardOffset = 0.0f;
    Vec3Fields start{};
    Vec3Fields end{};
    ControllerFields controller;
};

DocumentWriter& WritePercents(DocumentWriter& w, const PercentFields& percents);
// int32 block version, the block's name, then the block.
DocumentWriter& WriteLayer(DocumentWriter& w, const BlockFields& layer);
// The base sections, each from its header on.
DocumentWriter& WriteLineCtrl(DocumentWriter& w, const LineCtrlFields& fields);
DocumentWriter& WriteStaticLine(DocumentWriter& w, const StaticLineFields& fields);
DocumentWriter& WriteStraightLine(DocumentWriter& w, const Vec3Fields& start, const Vec3Fields& end,
                                  const ControllerFields& controller);
// The whole records: class name, version, the fields, the bases.
DocumentWriter& WriteGrowingLine(DocumentWriter& w, const GrowingFields& fields);
DocumentWriter& WriteSlidingLine(DocumentWriter& w, const SlidingFields& fields);
DocumentWriter& WriteShootingLine(DocumentWriter& w, const ShootingFields& fields);
DocumentWriter& WriteTears(DocumentWriter& w, const ShootingFields& fields);
DocumentWriter& WriteWavingLine(DocumentWriter& w, const WavingFields& fields);

// A white ribbon block showing `picture`, opaque.
BlockFields RibbonLayer(std::u16string picture, std::int64_t id);

} // namespace line_writer

// One slide with a line of every class and the version-1 sections, and a
// truncated copy of it.
std::vector<SampleDocument> LineSampleDocuments();

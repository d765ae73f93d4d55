#pragma once
// Writes the stored sections of the ready-made particle systems byte for
// byte as their readers read them, every version a reader branches on
// (burst 1 to 4, fountain 1 and 2, splash 1 and 2, spray 1 and 2), each
// followed by the controller's section; and sample documents holding them.

#include <array>
#include <functional>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/ParticleWriter.h"
#include "tests/support/SampleDocuments.h"

namespace particle_writer {

using Point = std::array<float, 3>;
using Corners = std::array<Point, 4>;

struct BurstFields {
    std::int32_t version = 4;
    Point position{};
    std::uint32_t burstCount = 0;
    std::uint32_t speed = 0; // x 4 px/s
    std::uint32_t range = 0;
    std::int32_t spatial = 0;
    std::uint32_t angle = 0;
    std::uint32_t spread = 0;
    std::uint32_t gravity = 0;  // versions below 4
    std::int32_t gravityUp = 0; // versions below 4
    std::int32_t focused = 0;   // version 2 and later
    std::uint32_t startRadius = 0;
    ControllerFields controller;
};

// Version 1 writes the burst's launch fields and legacy gravity inline.
struct FountainFields {
    std::int32_t version = 2;
    std::uint32_t rate = 100; // x 0.2 per second
    BurstFields burst;
};

// A preset's own section: its name, version and 32-bit words.
struct PresetFields {
    std::u16string className;
    std::int32_t version = 1;
    std::vector<std::uint32_t> words;
};

// The fade of splash and spray sections before version 2.
struct LegacyFadeFields {
    std::uint32_t sizeVariation = 0;
    std::int32_t dropped = 0;
    std::uint32_t fadeIn = 0; // hundredths of a second
    std::uint32_t hold = 0;
    std::uint32_t fadeOut = 0;
    std::int32_t onSize = 0;
};

struct SplashFields {
    std::int32_t version = 2;
    Corners quad{};
    Point sectorPosition{};
    std::uint32_t sectorRadius = 0;
    std::uint32_t sectorAngle = 0;
    std::uint32_t sectorSpread = 0;
    std::int32_t useSector = 0;
    std::uint32_t burstCount = 0;
    std::uint32_t life = 0; // version 2: hundredths of a second
    std::uint32_t angle = 0;
    std::uint32_t spread = 0;
    std::uint32_t speed = 0;
    LegacyFadeFields legacy; // version 1
    ControllerFields controller;
};

// Version 1 writes the rate, the splash's quad and legacy fade, then the
// controller.
struct SprayFields {
    std::int32_t version = 2;
    std::uint32_t rate = 100;
    SplashFields splash;
};

struct StreamFields {
    std::uint32_t rate = 100;
    Corners quad{};
    std::uint32_t life = 0;
    // The pair stored first (overwritten on reading) and the one that stays.
    std::uint32_t firstSpeed = 0;
    std::uint32_t firstJitter = 0;
    std::uint32_t speed = 0; // x 2 px/s
    std::uint32_t jitter = 0;
    std::uint32_t targetSpread = 0;
    ControllerFields controller;
};

struct VortexFields {
    std::uint32_t rate = 100;
    Point centre{};
    std::uint32_t speed = 0; // x 2 px/s
    std::uint32_t swirl = 0; // x 0.01 rad/s
    std::int32_t swirlReversed = 0;
    std::uint32_t angle = 0;
    std::uint32_t spread = 0;
    std::uint32_t armCount = 0;
    std::uint32_t armSpin = 1;
    std::int32_t armSpinReversed = 0;
    std::uint32_t range = 0;
    ControllerFields controller;
};

struct RainFields {
    std::uint32_t rate = 100;
    Corners pane{};
    std::uint32_t slideForce = 0;
    std::uint32_t angle = 0;
    ControllerFields controller;
};

struct RayFields {
    Corners area{};
    std::uint32_t rayCount = 0;
    std::uint32_t life = 0; // tenths of a second
    std::uint32_t lifeJitter = 0;
    std::uint32_t width = 0;
    std::uint32_t widthJitter = 0;
    std::uint32_t drift = 0;
    std::uint32_t driftJitter = 0;
    std::uint32_t spreadFactor = 0;
    std::uint32_t fadeIn = 0;
    std::uint32_t fadeOut = 0;
    std::uint32_t edgeFade = 0;
    std::int32_t storedFlag = 0;
    ControllerFields controller;
};

// The corners of an axis-aligned rectangle in the order the systems lay
// them out: left-top, left-bottom, right-top, right-bottom.
Corners CornersOfBox(float left, float top, float right, float bottom);

// Each writes its whole record: its section, its bases' sections, the
// controller.
DocumentWriter& WriteBurst(DocumentWriter& w, const BurstFields& fields);
DocumentWriter& WriteFountain(DocumentWriter& w, const FountainFields& fields);
DocumentWriter& WriteFountainPreset(DocumentWriter& w, const PresetFields& preset, const FountainFields& fields);
DocumentWriter& WriteSplash(DocumentWriter& w, const SplashFields& fields);
DocumentWriter& WriteSpray(DocumentWriter& w, const SprayFields& fields);
DocumentWriter& WriteSprayPreset(DocumentWriter& w, const PresetFields& preset, const SprayFields& fields);
DocumentWriter& WriteStream(DocumentWriter& w, const StreamFields& fields);
DocumentWriter& WriteSmoke2(DocumentWriter& w, const PresetFields& preset, const StreamFields& fields);
DocumentWriter& WriteVortex(DocumentWriter& w, const VortexFields& fields);
DocumentWriter& WriteRain(DocumentWriter& w, const RainFields& fields);
DocumentWriter& WriteRays(DocumentWriter& w, const RayFields& fields);

// The presets' own sections as documents store them.
PresetFields FirePreset();
PresetFields FireStreamPreset();
PresetFields SmokePreset(std::uint32_t windSpeed);
PresetFields WaterJetPreset();
PresetFields LightBeamsPreset();
PresetFields FogPreset();
PresetFields Smoke3Preset();
PresetFields BokehPreset();
PresetFields ShimmerPreset();
PresetFields Smoke2Preset();

} // namespace particle_writer

// Writes the record of one ready-made system (the writer functions above,
// bound to their fields).
using ReadyMadeRecord = std::function<void(DocumentWriter&)>;

// Every one of the 18 classes and every older section version, each
// drawing the sample dot, as records in document order, with their class
// names.
struct NamedReadyMadeRecord {
    std::u16string className;
    std::string label;
    ReadyMadeRecord write;
    // Written in the version the class saves (older sections are saved in
    // the newest form).
    bool latest = true;
};
std::vector<NamedReadyMadeRecord> ReadyMadeSampleRecords();

// The sample documents: every class and version on one slide; stored
// counts far beyond the lists' bounds; a truncated preset section.
std::vector<SampleDocument> ReadyMadeSampleDocuments();

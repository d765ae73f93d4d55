#pragma once
// Writes the stored sections of scene-object descriptions byte for byte as
// the render layer reads them: DS_ABObj_Constructor (with its legacy
// DS_TimeLineControl record or its KXI_RenderObjData section and timing),
// DS_ViewObjCtrl and DS_BaseSpriteProp, for any stored version. Each field
// struct holds the values a test wants; the writers emit exactly the fields
// the given version carries.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "objectmodel/ResourceBlob.h"
#include "platform/crt/Guid.h"
#include "tests/support/DocumentWriter.h"

namespace description_writer {

// A stored on-interval of a manual timeline (seconds within the period).
struct StoredInterval {
    float start = 0.0f;
    float end = 0.0f;
    float fadeInEnd = 0.0f;
    float fadeOutStart = 0.0f;
};

// The timeline record inside a KXI_SmartTiming record.
enum class TimelineKind { Continuous, Random, Manual };

struct TimingFields {
    std::int32_t selector = 0;
    std::int32_t clockMode = 0;
    std::int32_t flags = 0;
    TimelineKind kind = TimelineKind::Continuous;
    // Random: off and on lengths, fades (hundredths of a second).
    std::uint32_t offMin = 100, offMax = 100, onMin = 100, onMax = 100;
    std::uint32_t fadeIn = 50, fadeOut = 50;
    // Manual: period (hundredths) and intervals.
    std::uint32_t period = 1000;
    std::vector<StoredInterval> intervals;
};

// The record "DS_TimeLineControl" of version 2 documents' objects.
struct LegacyTimingFields {
    std::int32_t version = 2;
    std::int32_t kind = 0;
    std::int32_t clockMode = 0;
    std::uint32_t offMin = 100, offMax = 100, onMin = 100, onMax = 100;
    std::uint32_t fadeIn = 50, fadeOut = 50;
    std::vector<StoredInterval> intervals;
    std::uint32_t period = 1000;
};

struct ConstructorFields {
    std::int32_t version = 4;
    std::u16string name;
    std::uint32_t depth = 100;        // versions 3 and later
    LegacyTimingFields legacy;        // versions 2 and 3
    crt::Guid guid;                   // version 4 and later
    TimingFields timing;              // version 4 and later
};

struct ViewFields {
    std::int32_t version = 2;
    // left, right, top, bottom, centre x, centre y
    std::array<std::int32_t, 6> edges{0, 0, 0, 0, 0, 0};
    // left, right, top, bottom
    std::array<float, 4> fractions{0.0f, 1.0f, 0.0f, 1.0f};
    std::uint8_t viewFlag = 0;
    std::uint32_t animationRate = 50; // version 2 and later
    ConstructorFields base;
};

// A stored file link: path and 64-bit id.
struct StoredLink {
    std::u16string path;
    std::int64_t id = 0;
};

struct SpriteFields {
    std::int32_t version = 7;
    ViewFields view;
    std::uint32_t spriteCount = 1;
    std::uint32_t animationRate = 50; // versions before 3 keep it here
    std::uint32_t spriteSize = 0;
    std::uint32_t transparency = 0;
    std::int32_t blendMode = 0;
    std::int32_t colour = 0xFFFFFF;
    // brightness rate, brightness min, brightness max, scale min, scale max
    std::array<float, 5> floats{0.0f, 0.0f, 1.0f, 1.0f, 1.0f};
    // Version 1: the legacy blob list and blob; later: the two image links.
    std::vector<ModuleResourceBlob> legacyBlobs;
    ModuleResourceBlob legacyBlob;
    StoredLink spriteImage;
    StoredLink secondImage;
    std::uint32_t frameLayoutValue = 1;
    float frameLayoutFloat = 0.0f;
    std::uint32_t frameCount = 1;
    float frameRate = 0.0f;
    std::uint8_t framesInOneImage = 0;
    std::vector<std::int32_t> legacyValues; // version 1 only
    std::int32_t imageKind = 0;             // version 4 and later
    std::int32_t flipV = 0, flipU = 0;      // version 5 and later
    std::int32_t redrawOnFrameChange = 0;   // version 6 and later
    std::uint32_t speed = 100;              // version 7 and later
};

DocumentWriter& WriteSmartTiming(DocumentWriter& w, const TimingFields& timing);
DocumentWriter& WriteLegacyTiming(DocumentWriter& w, const LegacyTimingFields& legacy);
DocumentWriter& WriteRenderObjData(DocumentWriter& w, const crt::Guid& guid, const TimingFields& timing);
DocumentWriter& WriteConstructor(DocumentWriter& w, const ConstructorFields& fields);
DocumentWriter& WriteView(DocumentWriter& w, const ViewFields& fields);
DocumentWriter& WriteLink(DocumentWriter& w, const StoredLink& link);
DocumentWriter& WriteSprite(DocumentWriter& w, const SpriteFields& fields);

} // namespace description_writer

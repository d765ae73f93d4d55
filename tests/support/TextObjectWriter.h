#pragma once
// Writes the stored records of the text objects byte for byte as the scene
// objects read them: the particle-engine text items ("DS_StaticText",
// "DS_ScrollingTex", "DS_TextLink", each ending with the "KXI_StaticObject"
// record of SingleObjectWriter.h) and the text descriptions
// ("DS_StaticTextConstructor" versions 1 to 3, "DS_ScrollingTextConstructor"
// versions 1 and 2, "DS_TextLinkConstructor", each ending with the
// "DS_StatBaseFXCtrl" section of ParticleSystemWriter.h).

#include <array>
#include <cstdint>
#include <string>

#include "tests/support/ParticleSystemWriter.h"
#include "tests/support/SingleObjectWriter.h"

namespace text_writer {

struct ColourOpacity {
    std::int32_t colour = 0x00FFFFFF;
    std::uint32_t opacity = 0; // transparency percent
};

// The typesetting values the items keep with the document.
struct TextPropertiesFields {
    std::u16string text;
    std::u16string face;
    std::uint32_t size = 0;
    std::int32_t fontValue1 = 0;
    std::int32_t fontValue2 = 0;
    std::int32_t fontColour = 0;
    std::int32_t value1 = 0;
    std::int32_t value2 = 0;
    std::int32_t group1Value = 0;
    ColourOpacity group1{0, 0};
    std::uint32_t value3 = 0;
    std::int32_t group2Value = 0;
    ColourOpacity group2{0, 0};
};

struct StaticTextFields {
    std::int32_t version = 1;
    TextPropertiesFields properties;
    std::int32_t shadowOn = 0;
    ColourOpacity shadow;
    std::uint32_t shadowDistance = 0;
    std::uint32_t shadowAngle = 0;
    ColourOpacity colour2;
    ColourOpacity colour3;
    std::uint32_t valueD = 0;
    std::uint32_t valueE = 0;
    particle_writer::StaticObjectFields object;
};

struct ScrollingTexFields {
    std::int32_t version = 1;
    std::int32_t scrollMode = 0;
    StaticTextFields text;
};

struct TextLinkFields {
    std::int32_t version = 1;
    std::uint32_t linkNumber = 0;
    StaticTextFields text;
};

struct FontFields {
    std::int32_t size = 32;
    std::uint32_t weight = 700;
    std::int32_t flags = 0;
    std::u16string face = u"Arial";
};

struct StaticTextDescriptionFields {
    std::int32_t version = 3;
    std::int32_t valueA = 0;
    std::int32_t valueB = 0;
    std::u16string text;
    FontFields font;
    // Below version 2: fade-in, fade-out, on, off (thousandths).
    std::array<std::uint32_t, 4> legacyTiming{0, 0, 0, 0};
    // Version 3 and later.
    crt::Guid keyGuid;
    std::u16string keyName;
    std::uint8_t keepFlag = 1;
    particle_writer::StatBaseFXFields stat;
};

struct ScrollingTextDescriptionFields {
    std::int32_t version = 2;
    std::uint32_t period = 0;
    std::int32_t directionMode = 0;
    float tileHeight = 0.0f; // version 2 and later
    float tileWidth = 0.0f;
    StaticTextDescriptionFields text;
};

struct TextLinkDescriptionFields {
    std::int32_t version = 1;
    std::uint32_t linkNumber = 0;
    StaticTextDescriptionFields text;
};

// The "DS_StaticText" record (also the section the two others end with).
DocumentWriter& WriteStaticText(DocumentWriter& w, const StaticTextFields& fields);
DocumentWriter& WriteScrollingTex(DocumentWriter& w, const ScrollingTexFields& fields);
DocumentWriter& WriteTextLink(DocumentWriter& w, const TextLinkFields& fields);
// The "DS_StaticTextConstructor" record (also the section the two others
// end with).
DocumentWriter& WriteStaticTextDescription(DocumentWriter& w, const StaticTextDescriptionFields& fields);
DocumentWriter& WriteScrollingTextDescription(DocumentWriter& w, const ScrollingTextDescriptionFields& fields);
DocumentWriter& WriteTextLinkDescription(DocumentWriter& w, const TextLinkDescriptionFields& fields);

} // namespace text_writer

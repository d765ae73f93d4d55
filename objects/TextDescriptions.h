#pragma once
// Text descriptions: a text picture that the document stores under the
// item's own key (GUID and name), drawn as one sprite through the item's
// effect. Nothing is typeset at run time: the text, its font and colour are
// kept with the document only.
//
//   DS_StaticTextConstructor    the still picture ("CommonVretexColor":
//                               "Texture1" x vertex colour).
//   DS_ScrollingTextConstructor the picture tiled across the item at its
//                               tile size and moved by a scroll state
//                               ("ScrollText", "Texture1", "Shift").
//   DS_TextLinkConstructor      the still picture answering hit tests with
//                               the system hand cursor.
//
// The sprite is the centre with the stored width and height, coloured by
// the tint with the sprite's alpha byte. The tint defaults to red (COLORREF
// 255). A key without a stored picture finds an empty entry and the item
// draws nothing. Effect links whose bytes this platform cannot run take the
// built-in "text-description" effect; an empty or missing link leaves none.
//
// Scroll state: offsets (0, 1/3) at construction, both 0 while the timeline
// is off; else the offset of the direction mode grows (modes 0 horizontal,
// 2 vertical) or shrinks (1 horizontal, 3 vertical) by the animation
// clock's step / period (no scrolling for a period of 0). With a the
// fractional part of the moving offset, its shift is 3a - 1 for a > 0, else
// 3a + 1; the other shift is 0. A tile size of 0 counts as the item's own
// size (the picture once across).
//
// Stored sections:
//   "DS_TextLinkConstructor" 1: uint32 link number, then the static text's;
//   "DS_ScrollingTextConstructor" 2: uint32 period, int32 direction mode;
//     from version 2 float tile height, float tile width; then the static
//     text's;
//   "DS_StaticTextConstructor" 3: int32 A, int32 B, wide text, font (int32
//     size, uint32 weight, int32 flags, wide face); below version 2 four
//     uint32 legacy timing values (fade-in, fade-out, on, off in
//     thousandths; a non-zero on time installs a random timeline of those
//     lengths / 10); from version 3 the key's GUID, its name and a byte keep
//     flag; then the "DS_StatBaseFXCtrl" section.

#include <array>
#include <cstdint>
#include <memory>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/SmartColor.h"
#include "particles/systems/FXControllers.h"
#include "platform/crt/WideString.h"
#include "platform/gfx/Ref.h"
#include "platform/gfx/Texture.h"

struct FontData {
    std::int32_t size = 32;
    std::int32_t weight = 700;
    std::int32_t flags = 0;
    kxi_string face = u"Arial";

    friend bool operator==(const FontData&, const FontData&) = default;
};

using FontMediaParam = MediaParamT<FontData>;

class DS_StaticTextConstructor : public DS_StatBaseFXCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_StaticTextConstructor";
    static constexpr std::int32_t kWrittenVersion = 3;
    // Versions below this one store legacy timing values.
    static constexpr std::int32_t kFirstVersionWithoutLegacyTiming = 2;
    static constexpr std::int32_t kFirstVersionWithKey = 3;
    static constexpr COLORREF kDefaultTint = 255;
    static constexpr std::string_view kBuiltinEffect = "text-description";

    DS_StaticTextConstructor();
    DS_StaticTextConstructor(const DS_StaticTextConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // A new key while the keep-id flag is 0, the effect and centre, then
    // the text picture the document keeps under the key.
    void FetchEffect() override;
    void UpdateSprite(SpriteParticle& sprite) override;
    bool SetEffectParameters(DS_ABRender& renderer, ParticleGeomArray& array) override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    // The section, header included.
    void LoadStaticTextSection(ArchiveReader ar);

    MediaParamT<std::int32_t> valueA{0};
    MediaParamT<std::int32_t> valueB{0};
    MediaParamT<kxi_string> text;
    FontMediaParam font;
    SmartCOLORREF textColour{0};
    MediaParamT<std::uint32_t> valueC{0u};
    gfx::Ref<gfx::Texture> textTexture;
    gfx::Ref<gfx::Texture> spareTexture;
    GuidNameKey key;
    std::uint8_t keepFlag = 1;

protected:
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }
    // Technique, picture and the class's own values; false without a
    // picture.
    virtual bool SetTextParameters(gfx::Effect& effect);
};

class DS_ScrollingTextConstructor : public DS_StaticTextConstructor {
public:
    static constexpr std::u16string_view kClassName = u"DS_ScrollingTextConstructor";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::int32_t kFirstVersionWithTiles = 2;

    DS_ScrollingTextConstructor() = default;
    DS_ScrollingTextConstructor(const DS_ScrollingTextConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // The still sprite, the tiled texture ranges, then one scroll step.
    void UpdateSprite(SpriteParticle& sprite) override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    // One frame of the scroll state (see above).
    void StepScroll(bool timelineOff, float step);
    // The shift handed to "ScrollText".
    std::array<float, 2> Shift() const;

    MediaParamT<std::uint32_t> period{0u};
    MediaParamT<std::int32_t> directionMode{0};
    // Pixels.
    float tileHeight = 0.0f;
    float tileWidth = 0.0f;
    float horizontalOffset = 0.0f;
    float verticalOffset = 1.0f / 3.0f;

protected:
    bool SetTextParameters(gfx::Effect& effect) override;
};

class DS_TextLinkConstructor : public DS_StaticTextConstructor {
public:
    static constexpr std::u16string_view kClassName = u"DS_TextLinkConstructor";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_TextLinkConstructor() = default;
    DS_TextLinkConstructor(const DS_TextLinkConstructor& other) = default;

    std::unique_ptr<DS_ParticleSystemCtrl> Clone() const override;
    // The window point, scaled to the back buffer and projected to the
    // picture, within the item's rectangle (edges included).
    bool HitTest(float x, float y) override;
    int OnMouseMove(int x, int y) override;
    int OnMouseClick(int x, int y) override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);

    MediaParamT<std::uint32_t> linkNumber{0u};

private:
    bool TimelineOff() const;
};

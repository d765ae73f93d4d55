#pragma once
// Text items on the particle engine's single quad. The text is a prepared
// picture: texture set 0 of the block is the text, set 1 the backing picture
// of the static text. Nothing is typeset at run time; the text properties
// are kept with the document only.
//
// DS_StaticText: the backing picture, then the text with an optional drop
// shadow, through the text effect ("common_res.dll", RT_RCDATA 198;
// techniques "Main" and "Shadow", parameters "Texture", "Shift", "Color").
// The shadow is the text's alpha in the shadow colour, moved `distance`
// pixels of the text picture along the shadow angle's screen direction.
// Without a second texture set the backing pass is left out; without a text
// picture of some size nothing is drawn. The items never draw the block's
// glow, so they count no screen pass.
//
// DS_ScrollingTex: the text picture scrolls through the quad once per
// timeline length, entering at one edge and leaving at the other (modes 0
// and 1 vertically, upwards and downwards; 2 and 3 horizontally, leftwards
// and rightwards). The picture keeps its pixel size and the quad shows a
// window onto it. While the timeline is off or has no length it rests at its
// start, outside the quad.
//
// DS_TextLink: the static text answering hit tests in window pixels with the
// system hand cursor.
//
// Stored sections:
//   "DS_ScrollingTex" 1: int32 scroll mode, then "DS_StaticText";
//   "DS_TextLink" 1:     uint32 link number, then "DS_StaticText";
//   "DS_StaticText" 1:   the text properties (TextItemProperties), int32
//     shadow on, int32 shadow colour, uint32 shadow opacity (announced when
//     it differs), uint32 distance, uint32 angle; int32 colour 2, uint32 its
//     opacity (announced), int32 colour 3, uint32 its opacity (announced),
//     uint32 D, uint32 E; then the "KXI_StaticObject" section.

#include <array>
#include <cstdint>
#include <memory>

#include "objectmodel/DirectionParams.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/SmartColor.h"
#include "particles/engine/SingleParticle.h"
#include "platform/crt/WideString.h"

// The typesetting the authoring tool used for the picture; kept, not read.
struct TextItemProperties {
    TextItemProperties();

    void Read(ArchiveReader ar);
    void Write(ArchiveWriter ar) const;

    MediaParamT<kxi_string> text;
    MediaParamT<kxi_string> face;
    MediaParamT<std::uint32_t> size{0u};
    MediaParamT<std::int32_t> fontValue1{0};
    MediaParamT<std::int32_t> fontValue2{0};
    MediaParamT<COLORREF> fontColour{0u};
    MediaParamT<std::int32_t> value1{0};
    MediaParamT<std::int32_t> value2{0};
    MediaParamT<std::int32_t> group1Value{0};
    ColorAndOpacity group1Colour;
    MediaParamT<std::uint32_t> value3{0u};
    MediaParamT<std::int32_t> group2Value{0};
    ColorAndOpacity group2Colour;
};

class DS_StaticText : public KXI_StaticObject {
public:
    static constexpr std::u16string_view kClassName = u"DS_StaticText";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "text-item";
    static constexpr std::int32_t kTextSet = 0;
    static constexpr std::int32_t kBackingSet = 1;

    DS_StaticText();
    DS_StaticText(const DS_StaticText& other);
    ~DS_StaticText() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    // The section, header included.
    void LoadStaticTextSection(ArchiveReader ar);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The effect link becomes the text effect, then the single quad.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // The backing picture, then the text pass.
    void Render(DS_ABRender& renderer, int& counter) override;
    int CountScreenPasses() const override;
    // The block's pictures again.
    void ReloadTextures();

    // The shadow (when on) and the text, both sampled at uv - shift (texture
    // units). Nothing without a text picture of some size or an effect.
    void DrawText(DS_ABRender& renderer, std::array<float, 2> shift);
    // The shadow's "Shift" for a text shift of `shift`.
    std::array<float, 2> ShadowShift(std::array<float, 2> shift) const;

    TextItemProperties properties;
    MediaParamT<std::int32_t> shadowOn{0};
    ColorAndOpacity shadowColour;
    MediaParamT<std::uint32_t> shadowDistance{0u};
    MediaDirection shadowDirection;
    ColorAndOpacity colour2;
    ColorAndOpacity colour3;
    MediaParamT<std::uint32_t> valueD{0u};
    MediaParamT<std::uint32_t> valueE{0u};

protected:
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }
    // The text picture when it has a texture of some size, else null.
    const SpriteFrameInfo* TextPicture() const;
};

class DS_ScrollingTex : public DS_StaticText {
public:
    static constexpr std::u16string_view kClassName = u"DS_ScrollingTex";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_ScrollingTex() = default;
    DS_ScrollingTex(const DS_ScrollingTex& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The controller's restart, then the offset at its start.
    void Restart() override;
    // The corners, with the text picture at its pixel size along the scroll
    // axis. No quad without a text picture of some size.
    void BuildQuad() override;
    // The clock, the colour at the timeline's level, then the scroll.
    void Update(float localTime) override;
    // The text pass at the offset (no backing picture).
    void Render(DS_ABRender& renderer, int& counter) override;

    // Modes 2 and 3 scroll horizontally.
    bool Horizontal() const;
    // The picture's extent along the scroll axis (texture units).
    float Extent() const;
    // Texture units per second for a timeline of length `length` > 0.
    float SpeedFor(float length) const;

    MediaParamT<std::int32_t> scrollMode{0};
    float offset = 0.0f;
    float scrollSpeed = 0.0f;
    float wrapLength = 0.0f;
};

class DS_TextLink : public DS_StaticText {
public:
    static constexpr std::u16string_view kClassName = u"DS_TextLink";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_TextLink() = default;
    DS_TextLink(const DS_TextLink& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;

    // Whether the window point lies on the quad (picture coordinates through
    // the render context's inverse view and scene matrices; edges count).
    bool HitTest(int x, int y) const;
    // 1 and the hand cursor over the link while it is on, else 0.
    int OnMouseMove(int x, int y) override;
    // 1 while the link is off, else whether the point hits.
    int OnMouseClick(int x, int y) override;

    MediaParamT<std::uint32_t> linkNumber{0u};

private:
    bool TimelineOff() const;
};

#pragma once
// DS_AnimatedFont: a line of picture glyphs. Glyph k is the picture of
// glyph image k, drawn at its own pixel size with its corner (0, 0) at
// emitter k of the generator (the stored glyph positions); each picture
// plays its own frames by the shared frame clock. The line is scaled about
// the generator's position by the world matrix of layer 0, so the quads are
// built once. Only the common prefix of positions and pictures is built and
// drawn; a picture without frames is not drawn. One draw per glyph, with
// the glyph's current frame on texture stage 0; the picture drawn so far is
// never read.
//
// The text, the authoring settings and the character table belong to the
// authoring tool: they are read, copied and written back unchanged.
//
// Stored section "DS_AnimatedFont", 1: text (wide string), frame speed,
// scale, three settings (uint32), one setting (int32), the character table
// (uint32 count; per entry a 16-bit character, path, id), the glyph images
// (uint32 count; per link path, id); then the DS_StaticGenerator section.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "objectmodel/ShapeParams.h"
#include "particles/generators/RadialRays.h"
#include "render/SpriteFrameInfo.h"

class DS_AnimatedFont : public DS_StaticGenerator {
public:
    static constexpr std::u16string_view kClassName = u"DS_AnimatedFont";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "stage0-textured-quads";

    DS_AnimatedFont();
    DS_AnimatedFont(const DS_AnimatedFont& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // The static geometry, one layer, the glyph pictures as texture sets,
    // the glyph quads and the line transform.
    void BuildGeometry(DS_ParticlesObj& target) override;
    // The frame clock, then every glyph picture to its total.
    void Step(float localTime, DS_ParticlesObj& target) override;
    // Glyph by glyph: its current frame on stage 0, its quad alone.
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    bool NeedsBackground() const override { return false; }
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // One corner quad per glyph into layer 0; the source outline around
    // them.
    void BuildGlyphQuads(DS_ParticlesObj& target);
    // Scale about the position as layer 0's world matrix; the outline
    // follows.
    void SetLineTransform(DS_ParticlesObj& target);
    // The number of glyphs built and drawn.
    std::size_t GlyphCount() const;

    MediaParamT<kxi_string> text;
    MediaSpeedParam frameSpeed;
    UINTSclaleTo<float> scale{0.01f, 0.0f, 0};
    std::array<MediaParamT<std::uint32_t>, 3> settings{};
    MediaParamT<std::int32_t> signedSetting{0};
    std::map<char16_t, DS_FileLink3> characterTable;
    std::vector<DS_ImageFileLink> glyphImages;

    // Run time.
    MediaQuad outline;
    MediaQuad sourceOutline;
    std::vector<SpriteFrameInfo> glyphPictures;
};

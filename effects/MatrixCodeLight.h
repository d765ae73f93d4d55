#pragma once
// DS_MatrixCodeLight: a light variant that fills the picture with columns
// of falling glyphs (the simulation: GlyphGrid.h). Every lit cell becomes a
// quad of a QuadBatchArray, textured with its slice of the glyph strip and
// coloured by the glyph colour (the highlight colour for bright and
// highlighted glyphs; fading glyphs at half the opacity).
//
// Tint modes: 0 the picture as usual under the glyphs; 1 a black target,
// each glyph's opacity taken from the picture's luminance where it stands
// (a 256 x 256 table read from a copy of the picture), bright and
// highlighted glyphs excepted; other values no background.
//
// The glyph strip's slices: count = strip height / strip width + 2 (the
// strip's own size; a strip of width 0, or none, draws no glyphs). The grid
// holds at most QuadBatchArray::kMaxQuads cells: for a small cell size on a
// large picture the cell size used is raised until the grid fits (the
// stored one is kept).
//
// The simulation steps once per frame: only when the time UpdateCamera
// gave has changed since the last step, so a frame drawn once per monitor
// shows the same glyphs on each.
//
// Stored record "DS_MatrixCodeLight" (written as version 2): uint32 cell
// size, speed, highlight count; int32 flicker, tint mode, direction mode;
// int32 glyph colour, highlight colour; uint32 transparency (through its
// setter when it differs); v > 1 the glyph image link; then the
// DS_2D_Light level. The rest stored directly.

#include <cstdint>
#include <memory>
#include <vector>

#include "effects/GlyphGrid.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/SmartColor.h"
#include "render/FileLink.h"
#include "render/PictureScene.h"
#include "render/QuadBatchArray.h"

class DS_MatrixCodeLight : public DS_2D_Light {
public:
    static constexpr std::u16string_view kClassName = u"DS_MatrixCodeLight";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::int32_t kLuminanceSide = 256;
    static constexpr std::uint32_t kMinSpeed = 1;
    static constexpr std::uint32_t kMaxSpeed = 100;

    DS_MatrixCodeLight();
    ~DS_MatrixCodeLight() override;

    bool ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    void CreateDeviceObjects() override;
    void OnResetDevice() override;
    void DrawBackground(bool noClear) override;
    void UpdateCamera(float time) override;
    void SetPictureMode(int mode) override;
    HRESULT DrawTexturedQuad(TexturedQuad& texturedQuad) override;
    void OnResize() override;
    bool AddBoundingRect(BoundingRectList& rects) const override;

    // Settings' cell size := size (1 for 0, raised until the grid fits the
    // quad array), grid rebuilt, quads resized.
    void SetCellSize(std::uint32_t size);
    // A new grid and cursor from the settings over the picture's size.
    void RebuildGrid();
    // Tint mode 0 frees the table; 1 reads it from the picture; others keep it.
    void BuildLuminanceTable();
    // One simulation step and the quads filled from it, unless the time has
    // not changed since the last step.
    void FillBatches(float time);
    // The glyph pass over whatever the tint mode drew.
    void DrawGlyphs();

    // Quads the grid needs for the picture at the settings' cell size.
    std::int32_t GridQuadCount() const;
    // The smallest cell size from `size` (at least 1) whose grid over
    // width x height fits in QuadBatchArray::kMaxQuads cells.
    static std::uint32_t FittingCellSize(std::uint32_t size, std::int32_t width, std::int32_t height);
    // The 0xAARRGGBB colour of a quad of `quad`'s brightness mode and place.
    std::uint32_t QuadColour(const GlyphQuad& quad) const;
    // Opacity: 1 - transparency / 100.
    float Opacity() const { return transparency.Scaled(); }

    MediaParamT<std::uint32_t> cellSize{16};
    MediaParamT<std::uint32_t> speed{20};
    MediaParamT<std::uint32_t> highlightCount{50};
    MediaParamT<std::int32_t> flicker{0};
    MediaParamT<std::int32_t> tintMode{0};
    MediaParamT<std::int32_t> directionMode{2};
    SmartCOLORREF glyphColour{0};
    SmartCOLORREF highlightColour{0};
    UINTSclaleTo<float> transparency{-0.01f, 1.0f, 0};
    DS_ImageFileLink glyphImage;
    QuadBatchArray quads;
    std::unique_ptr<GlyphCursor> cursor;
    GlyphGridSettings settings;
    std::unique_ptr<std::vector<float>> luminance;
    float time = 0.0f;

private:
    void ResizeQuads();
    void WriteQuad(std::int32_t index, const GlyphQuad& quad);

    gfx::Ref<gfx::Texture> m_glyphTexture;
    bool m_stepped = false;
    float m_stepTime = 0.0f;
};

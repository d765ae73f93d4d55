#pragma once
// The matrix code's simulation: a grid with one cell per glyph position,
// stepped once per drawn frame.
//
//   GlyphGridSettings  what the light hands the grid: cell size, speed,
//                      highlight count, flicker, direction mode, glyph count.
//   GlyphGrid          the cells (row by row, one int32 each: glyph byte,
//                      signed brightness byte, bit 16 dirty, bit 17
//                      highlighted) and one GlyphDrop per column.
//   GlyphDrop          a column's drop: glyphs it still writes, steps to
//                      wait, the row it writes next (-1: it scrolls the
//                      column from the top).
//   GlyphCursor        walks the lit cells for the quads of one frame.
//   GlyphQuad          what the cursor gives for one lit cell.
//
// Brightness: positive, bright for that many more visits; 0 steady;
// negative, fading (the glyph goes when it reaches 0 from -1).
//
// Every random number is a fresh crt::rand() in the order the steps draw
// them, so a run from one seed repeats exactly. A divisor the grid's size
// makes 0 (fewer than two columns for the flicker, fewer than two rows for
// a drop starting inside the screen) draws no number for it: the flicker
// does nothing and the drop starts at row 0.

#include <cstdint>
#include <memory>
#include <vector>

struct GlyphGridSettings {
    std::uint32_t cellSize = 16;
    std::uint32_t speed = 20;
    std::uint32_t highlightCount = 10;
    std::int32_t flicker = 0;
    std::int32_t directionMode = 0;
    std::int32_t glyphCount = 1;
};

struct GlyphDrop {
    std::int32_t remaining = 0;
    std::int32_t delay = 0;
    std::int32_t row = 0;
};

struct GlyphQuad {
    float halfWidth = 0.0f;
    float halfHeight = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float uLeft = 0.0f;
    float uRight = 0.0f;
    float vTop = 0.0f;
    float vBottom = 0.0f;
    std::uint32_t colourMask = 0xFFFFFFFFu;
    // 0 fading, 1 steady, 2 bright (or highlighted).
    std::int32_t brightnessMode = 0;
    std::int32_t column = 0;
    std::int32_t row = 0;
};

class GlyphGrid {
public:
    static constexpr std::int32_t kDirtyBit = 1 << 16;
    static constexpr std::int32_t kHighlightBit = 1 << 17;
    static constexpr std::int32_t kFlickerFactor = 10;

    // A grid over width x height pixels with the settings' cell size (at
    // least 1), empty cells and drops, and its highlights scattered.
    static std::unique_ptr<GlyphGrid> Create(const GlyphGridSettings& settings, std::int32_t width,
                                             std::int32_t height);

    // Clears every highlight, then highlights highlight count - 1 random
    // cells (column drawn first).
    void ScatterHighlights();
    // Writes glyph g (0 erases) at column c, row y; y < 0 scrolls the
    // column down by one first and writes at the top.
    void PutGlyph(std::int32_t glyph, std::int32_t column, std::int32_t row);
    // One step of every column's drop; `forbidNewGlyphs` makes them write
    // empty glyphs.
    void StepDrops(bool forbidNewGlyphs);
    // Flicker, new drops in columns without glyphs to write, and now and
    // then new highlights.
    void SpawnDrops();
    // One new drop in `divisor` tries per column and step, by speed.
    static std::int32_t SpawnDivisor(std::uint32_t speed);

    std::int32_t& Cell(std::int32_t column, std::int32_t row)
    {
        return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(column)];
    }

    static std::int32_t GlyphOf(std::int32_t cell) { return cell & 0xFF; }
    static std::int32_t BrightnessOf(std::int32_t cell) { return static_cast<std::int8_t>((cell >> 8) & 0xFF); }
    static std::int32_t WithGlyph(std::int32_t cell, std::int32_t glyph) { return (cell & ~0xFF) | (glyph & 0xFF); }
    static std::int32_t WithBrightness(std::int32_t cell, std::int32_t brightness)
    {
        return (cell & ~0xFF00) | ((brightness & 0xFF) << 8);
    }

    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool smear = true;
    bool flicker = false;
    std::int32_t flickerFactor = kFlickerFactor;
    bool replaceActiveDrops = false;
    std::int32_t cellWidth = 1;
    std::int32_t cellHeight = 1;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::int32_t glyphCount = 1;
    std::uint32_t speed = 1;
    std::uint32_t highlightCount = 0;
    bool startAtTop = true;
    bool startInside = true;
    std::vector<std::int32_t> cells;
    std::vector<GlyphDrop> drops;

private:
    void StartDrop(GlyphDrop& drop);
    // r mod (glyph count) + 1: a new glyph.
    std::int32_t RandomGlyph() const;
};

class GlyphCursor {
public:
    explicit GlyphCursor(std::unique_ptr<GlyphGrid> grid) : m_grid(std::move(grid)) {}

    // Back to the first cell for a new frame: the visible count moves to
    // the previous one.
    void Rewind();
    // The next lit cell into `quad` (ageing every visited cell); false at
    // the end of the grid, with the quad's column and row 0 and its
    // colour mask's alpha 0.
    bool Next(GlyphQuad& quad);

    GlyphGrid& Grid() { return *m_grid; }
    const GlyphGrid& Grid() const { return *m_grid; }
    std::int32_t VisibleCount() const { return m_visible; }
    std::int32_t PreviousVisibleCount() const { return m_previousVisible; }

private:
    // Ages a visited cell: brightness counts toward 0, a fading glyph goes,
    // a highlighted glyph changes.
    void AgeCell(std::int32_t& cell) const;

    std::unique_ptr<GlyphGrid> m_grid;
    std::int32_t m_row = 0;
    std::int32_t m_column = 0;
    std::int32_t m_visible = 0;
    std::int32_t m_previousVisible = 0;
};

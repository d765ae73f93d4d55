#include "effects/GlyphGrid.h"

#include <algorithm>

#include "platform/crt/Random.h"

namespace {

std::int32_t Draw()
{
    return crt::rand();
}

// Direction modes: 0 drops scroll from the top, 1 they start inside.
constexpr std::int32_t kTopOnly = 0;
constexpr std::int32_t kInsideOnly = 1;

struct DivisorStep {
    std::uint32_t below;
    std::int32_t divisor;
};
// Speeds below `below` spawn one drop in `divisor` tries (64 itself still
// gives 5).
constexpr DivisorStep kSpawnDivisors[] = {{10, 85}, {15, 60}, {20, 45}, {25, 25}, {30, 20}, {35, 15},
                                          {45, 10}, {50, 8},  {55, 7},  {65, 5},  {80, 3},  {90, 2}};

constexpr std::int32_t kNewDelayOdds = 10;
constexpr std::int32_t kDelaySpread = 5;
constexpr std::int32_t kExtraDropGlyphs = 3;
constexpr std::int32_t kEraserOdds = 4;
constexpr std::int32_t kHighlightOdds = 500;
constexpr std::int32_t kFlickerBrightness = 20;

} // namespace

std::unique_ptr<GlyphGrid> GlyphGrid::Create(const GlyphGridSettings& settings, std::int32_t width,
                                             std::int32_t height)
{
    auto grid = std::make_unique<GlyphGrid>();
    const std::int32_t cell = static_cast<std::int32_t>(std::max<std::uint32_t>(settings.cellSize, 1));
    grid->width = std::max(width, 0);
    grid->height = std::max(height, 0);
    grid->flicker = settings.flicker != 0;
    grid->cellWidth = grid->cellHeight = cell;
    grid->columns = (grid->width - grid->left) / cell + 1;
    grid->rows = grid->height / cell + 1;
    grid->glyphCount = std::max(settings.glyphCount, 1);
    grid->speed = settings.speed;
    grid->highlightCount = settings.highlightCount;
    grid->startAtTop = settings.directionMode != kInsideOnly;
    grid->startInside = settings.directionMode != kTopOnly;
    grid->cells.assign(static_cast<std::size_t>(grid->columns) * static_cast<std::size_t>(grid->rows), 0);
    grid->drops.assign(static_cast<std::size_t>(grid->columns), GlyphDrop{});
    grid->ScatterHighlights();
    return grid;
}

void GlyphGrid::ScatterHighlights()
{
    for (std::int32_t& cell : cells)
        cell &= ~kHighlightBit;
    for (std::uint32_t i = 1; i < highlightCount; ++i) {
        const std::int32_t column = Draw() % columns;
        const std::int32_t row = Draw() % rows;
        Cell(column, row) |= kHighlightBit;
    }
}

void GlyphGrid::PutGlyph(std::int32_t glyph, std::int32_t column, std::int32_t row)
{
    if (row >= rows)
        return;
    const bool scrolling = row < 0;
    if (scrolling) {
        for (std::int32_t b = rows - 1; b >= 1; --b) {
            std::int32_t& cell = Cell(column, b);
            const std::int32_t above = Cell(column, b - 1);
            if (smear && GlyphOf(cell) != 0 && GlyphOf(above) == 0)
                cell = WithBrightness(cell, -1);
            else
                cell = (cell & ~0xFFFF) | (above & 0xFFFF);
            cell |= kDirtyBit;
        }
        row = 0;
    }
    std::int32_t& target = Cell(column, row);
    target = WithGlyph(target, glyph) | kDirtyBit;
    if (glyph != 0)
        target = WithBrightness(target, scrolling ? 0 : Draw() % 2 + 1);
}

std::int32_t GlyphGrid::RandomGlyph() const
{
    return Draw() % glyphCount + 1;
}

void GlyphGrid::StepDrops(bool forbidNewGlyphs)
{
    for (std::int32_t c = 0; c < columns; ++c) {
        GlyphDrop& drop = drops[static_cast<std::size_t>(c)];
        if (drop.delay > 0) {
            --drop.delay;
        } else {
            if (drop.remaining <= 0) {
                PutGlyph(0, c, drop.row);
            } else {
                PutGlyph(forbidNewGlyphs ? 0 : RandomGlyph(), c, drop.row);
                --drop.remaining;
            }
            if (drop.row >= 0)
                ++drop.row;
        }
        if (Draw() % kNewDelayOdds == 0) {
            const std::int32_t r1 = Draw();
            const std::int32_t r2 = Draw();
            drop.delay = r2 % kDelaySpread + r1 % kDelaySpread;
        }
    }
}

std::int32_t GlyphGrid::SpawnDivisor(std::uint32_t speed)
{
    for (const DivisorStep& step : kSpawnDivisors)
        if (speed < step.below)
            return step.divisor;
    return 1;
}

void GlyphGrid::StartDrop(GlyphDrop& drop)
{
    drop.remaining = Draw() % rows + kExtraDropGlyphs;
    const std::int32_t r1 = Draw();
    const std::int32_t r2 = Draw();
    drop.delay = r2 % kDelaySpread + r1 % kDelaySpread;
    if (Draw() % kEraserOdds != 0)
        drop.remaining = 0;
    const bool inside = startAtTop && startInside ? Draw() % 2 == 1 : startInside;
    if (!inside) {
        drop.row = -1;
        return;
    }
    const std::int32_t half = rows / 2;
    drop.row = half > 0 ? Draw() % half : 0;
}

void GlyphGrid::SpawnDrops()
{
    const std::int32_t flickerRange = (columns / 2) * flickerFactor;
    if (flicker && flickerRange > 0) {
        const std::int32_t n = (Draw() % flickerRange) / flickerFactor - 1;
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int32_t column = Draw() % columns;
            const std::int32_t row = Draw() % rows;
            std::int32_t& cell = Cell(column, row);
            if (GlyphOf(cell) != 0 && BrightnessOf(cell) == 0)
                cell = WithBrightness(cell, Draw() % kFlickerBrightness) | kDirtyBit;
        }
    }
    const std::int32_t divisor = SpawnDivisor(speed);
    for (GlyphDrop& drop : drops)
        if (drop.remaining <= 0 && Draw() % divisor == 0)
            StartDrop(drop);
    if (Draw() % kHighlightOdds == 0)
        ScatterHighlights();
}

// ---- GlyphCursor

void GlyphCursor::Rewind()
{
    m_row = 0;
    m_column = 0;
    m_previousVisible = m_visible;
    m_visible = 0;
}

void GlyphCursor::AgeCell(std::int32_t& cell) const
{
    if ((cell & GlyphGrid::kDirtyBit) == 0)
        return;
    cell &= ~GlyphGrid::kDirtyBit;
    const std::int32_t brightness = GlyphGrid::BrightnessOf(cell);
    if (brightness > 0) {
        cell = GlyphGrid::WithBrightness(cell, brightness - 1) | GlyphGrid::kDirtyBit;
    } else if (brightness < 0) {
        cell = GlyphGrid::WithBrightness(cell, brightness + 1) | GlyphGrid::kDirtyBit;
        if (brightness == -1)
            cell = GlyphGrid::WithGlyph(cell, 0);
    }
    if ((cell & GlyphGrid::kHighlightBit) != 0 && GlyphGrid::GlyphOf(cell) != 0)
        cell = GlyphGrid::WithGlyph(cell, Draw() % m_grid->glyphCount) | GlyphGrid::kDirtyBit;
}

bool GlyphCursor::Next(GlyphQuad& quad)
{
    GlyphGrid& grid = *m_grid;
    for (; m_row < grid.rows; ++m_row, m_column = 0) {
        while (m_column < grid.columns) {
            std::int32_t& cell = grid.Cell(m_column, m_row);
            const std::int32_t glyph = GlyphGrid::GlyphOf(cell);
            if (glyph != 0) {
                ++m_visible;
                quad.x = static_cast<float>(m_column) * 2.0f * quad.halfWidth + quad.halfWidth;
                quad.y = static_cast<float>(m_row) * 2.0f * quad.halfHeight + quad.halfHeight;
                quad.z = 0.0f;
                const std::int32_t brightness = GlyphGrid::BrightnessOf(cell);
                quad.brightnessMode = brightness > 0 || (cell & GlyphGrid::kHighlightBit) != 0 ? 2
                                      : brightness == 0                                  ? 1
                                                                                         : 0;
                const float count = static_cast<float>(grid.glyphCount);
                quad.uLeft = 0.0f;
                quad.uRight = 1.0f;
                quad.vTop = static_cast<float>(glyph - 1) / count;
                quad.vBottom = static_cast<float>(glyph) / count;
                quad.colourMask = 0xFFFFFFFFu;
                quad.column = m_column;
                quad.row = m_row;
            }
            AgeCell(cell);
            ++m_column;
            if (glyph != 0)
                return true;
        }
    }
    quad.column = 0;
    quad.row = 0;
    quad.colourMask &= 0x00FFFFFFu;
    return false;
}

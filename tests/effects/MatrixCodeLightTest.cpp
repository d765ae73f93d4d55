// The matrix-code light: the glyph grid's steps against hand-worked cases
// (spawn divisors, highlights, scrolling and smearing, delays, the ageing
// of visited cells), the light's clamps, quad colours and glyph slices, its
// stored record, the guarded divisions, and its frames drawn headless.

#include <algorithm>

#include "effects/MatrixCodeLight.h"
#include "platform/crt/Random.h"
#include "render/SharedResource.h"
#include "tests/effects/LightVariantsTestSupport.h"

namespace light_variant_test {
namespace {

using namespace light_writer;

// A grid of `columns` x `rows` cells of size 1 with the settings given.
std::unique_ptr<GlyphGrid> SmallGrid(std::int32_t columns, std::int32_t rows, GlyphGridSettings settings = {})
{
    settings.cellSize = 1;
    return GlyphGrid::Create(settings, columns - 1, rows - 1);
}

std::int32_t Cell(std::int32_t glyph, std::int32_t brightness, bool dirty = false, bool highlighted = false)
{
    std::int32_t cell = GlyphGrid::WithBrightness(GlyphGrid::WithGlyph(0, glyph), brightness);
    return cell | (dirty ? GlyphGrid::kDirtyBit : 0) | (highlighted ? GlyphGrid::kHighlightBit : 0);
}

TEST(GlyphGrid, SpawnDivisorsBySpeed)
{
    const std::pair<std::uint32_t, std::int32_t> cases[] = {
        {1, 85},  {9, 85},  {10, 60}, {14, 60}, {15, 45}, {19, 45}, {20, 25}, {24, 25}, {25, 20}, {30, 15},
        {35, 10}, {44, 10}, {45, 8},  {50, 7},  {55, 5},  {64, 5},  {65, 3},  {79, 3},  {80, 2},  {89, 2},
        {90, 1},  {100, 1}};
    for (const auto& [speed, divisor] : cases)
        EXPECT_EQ(GlyphGrid::SpawnDivisor(speed), divisor) << speed;
}

TEST(GlyphGrid, HighlightCountsOneAndFiftyHighlightNoneAndUpToFortyNine)
{
    struct Case {
        std::uint32_t count;
        int draws;
    };
    for (const Case& c : {Case{1, 0}, Case{50, 98}, Case{0, 0}}) {
        SCOPED_TRACE(c.count);
        GlyphGridSettings settings;
        settings.highlightCount = c.count;
        crt::srand(7);
        auto grid = SmallGrid(200, 100, settings);
        const int next = crt::rand();
        // Each highlight draws its column, then its row.
        crt::srand(7);
        for (int i = 0; i < c.draws; ++i)
            crt::rand();
        EXPECT_EQ(next, crt::rand());
        const auto lit = std::count_if(grid->cells.begin(), grid->cells.end(),
                                       [](std::int32_t cell) { return (cell & GlyphGrid::kHighlightBit) != 0; });
        EXPECT_LE(lit, std::max(0, int(c.count) - 1));
        EXPECT_GE(lit, c.count > 1 ? int(c.count) - 5 : 0);
    }
}

TEST(GlyphGrid, PuttingAtRowMinusOneScrollsTheColumnAndSmearsTheTail)
{
    struct Case {
        const char* what;
        bool smear;
        std::vector<std::int32_t> before; // top to bottom, one column
        std::vector<std::int32_t> after;  // glyph and brightness only
    };
    const Case cases[] = {
        {"scroll", false, {Cell(3, 0), Cell(4, 2), Cell(0, 0), Cell(5, 0)}, {Cell(9, 0), Cell(3, 0), Cell(4, 2), Cell(0, 0)}},
        // With the smear flag a glyph below an empty cell stays and fades.
        {"smear", true, {Cell(3, 0), Cell(0, 0), Cell(5, 0), Cell(6, 0)}, {Cell(9, 0), Cell(3, 0), Cell(5, -1), Cell(5, 0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto grid = SmallGrid(1, 4);
        grid->smear = c.smear;
        for (std::int32_t row = 0; row < 4; ++row)
            grid->Cell(0, row) = c.before[std::size_t(row)];
        grid->PutGlyph(9, 0, -1);
        for (std::int32_t row = 0; row < 4; ++row) {
            EXPECT_EQ(grid->Cell(0, row) & 0xFFFF, c.after[std::size_t(row)]) << row;
            EXPECT_NE(grid->Cell(0, row) & GlyphGrid::kDirtyBit, 0) << row;
        }
    }
    // Inside the column the head is bright for one or two updates; past
    // the last row nothing is written.
    auto grid = SmallGrid(1, 4);
    grid->PutGlyph(7, 0, 2);
    EXPECT_EQ(GlyphGrid::GlyphOf(grid->Cell(0, 2)), 7);
    EXPECT_GE(GlyphGrid::BrightnessOf(grid->Cell(0, 2)), 1);
    EXPECT_LE(GlyphGrid::BrightnessOf(grid->Cell(0, 2)), 2);
    const auto cells = grid->cells;
    grid->PutGlyph(7, 0, 4);
    EXPECT_EQ(grid->cells, cells);
}

TEST(GlyphGrid, DropsWaitOutTheirDelayThenWriteDownwardAndErase)
{
    GlyphGridSettings settings;
    settings.glyphCount = 8;
    auto grid = SmallGrid(1, 6, settings);
    grid->drops[0] = {2, 1, 1};
    crt::srand(3);
    grid->StepDrops(false);
    // The delay may be drawn anew; the first step only waits.
    EXPECT_EQ(GlyphGrid::GlyphOf(grid->Cell(0, 1)), 0);
    grid->drops[0].delay = 0;
    grid->StepDrops(false);
    EXPECT_NE(GlyphGrid::GlyphOf(grid->Cell(0, 1)), 0);
    EXPECT_EQ(grid->drops[0].remaining, 1);
    EXPECT_EQ(grid->drops[0].row, 2);
    // Forbidden glyphs: the drop writes an empty one.
    grid->drops[0].delay = 0;
    grid->StepDrops(true);
    EXPECT_EQ(GlyphGrid::GlyphOf(grid->Cell(0, 2)), 0);
    EXPECT_EQ(grid->drops[0].remaining, 0);
    // New delays are 0..8.
    for (int i = 0; i < 200; ++i) {
        grid->StepDrops(false);
        EXPECT_LE(grid->drops[0].delay, 8);
        EXPECT_GE(grid->drops[0].delay, 0);
    }
}

TEST(GlyphCursor, VisitedCellsAgeAndGiveTheirQuads)
{
    struct Case {
        const char* what;
        std::int32_t cell;
        std::int32_t mode;     // brightness mode of the quad, -1 for none
        std::int32_t afterLow; // glyph and brightness after the visit
        bool dirtyAfter;
    };
    const Case cases[] = {
        {"bright counts down", Cell(4, 2, true), 2, Cell(4, 1), true},
        {"steady stays", Cell(4, 0, true), 1, Cell(4, 0), false},
        {"fading fades", Cell(4, -3, true), 0, Cell(4, -2), true},
        {"the last fade erases", Cell(4, -1, true), 0, Cell(0, 0), true},
        {"clean cells keep their state", Cell(4, 2), 2, Cell(4, 2), false},
        {"empty cells give no quad", Cell(0, 0, true), -1, Cell(0, 0), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GlyphGridSettings settings;
        settings.glyphCount = 64;
        settings.highlightCount = 0;
        auto grid = SmallGrid(2, 2, settings);
        grid->Cell(1, 1) = c.cell;
        GlyphCursor cursor(std::move(grid));
        GlyphQuad quad;
        quad.halfWidth = quad.halfHeight = 4.0f;
        const bool found = cursor.Next(quad);
        EXPECT_EQ(found, c.mode >= 0);
        const std::int32_t after = cursor.Grid().Cell(1, 1);
        EXPECT_EQ(after & 0xFFFF, c.afterLow);
        EXPECT_EQ((after & GlyphGrid::kDirtyBit) != 0, c.dirtyAfter);
        if (!found) {
            EXPECT_EQ(quad.colourMask >> 24, 0u);
            continue;
        }
        EXPECT_EQ(quad.brightnessMode, c.mode);
        EXPECT_FLOAT_EQ(quad.x, 12.0f);
        EXPECT_FLOAT_EQ(quad.y, 12.0f);
        EXPECT_FLOAT_EQ(quad.vTop, 3.0f / 64.0f);
        EXPECT_FLOAT_EQ(quad.vBottom, 4.0f / 64.0f);
        EXPECT_EQ(cursor.VisibleCount(), 1);
        EXPECT_FALSE(cursor.Next(quad));
    }
    // A highlighted glyph is always bright and keeps changing.
    GlyphGridSettings settings;
    settings.glyphCount = 64;
    settings.highlightCount = 0;
    auto grid = SmallGrid(1, 1, settings);
    grid->Cell(0, 0) = Cell(4, 0, true, true);
    GlyphCursor cursor(std::move(grid));
    GlyphQuad quad;
    ASSERT_TRUE(cursor.Next(quad));
    EXPECT_EQ(quad.brightnessMode, 2);
    EXPECT_NE(cursor.Grid().Cell(0, 0) & GlyphGrid::kDirtyBit, 0);
}

TEST(GlyphGrid, ARunFromOneSeedRepeats)
{
    auto run = [] {
        crt::srand(1);
        GlyphGridSettings settings;
        settings.speed = 60;
        settings.flicker = 1;
        settings.directionMode = 2;
        settings.glyphCount = 64;
        GlyphCursor cursor(SmallGrid(20, 12, settings));
        GlyphQuad quad;
        for (int step = 0; step < 60; ++step) {
            cursor.Rewind();
            cursor.Grid().StepDrops(false);
            cursor.Grid().SpawnDrops();
            while (cursor.Next(quad)) {
            }
        }
        return cursor.Grid().cells;
    };
    const auto first = run();
    EXPECT_EQ(first, run());
    EXPECT_TRUE(std::any_of(first.begin(), first.end(), [](std::int32_t c) { return GlyphGrid::GlyphOf(c) != 0; }));
}

TEST(GlyphGrid, AOneCellGridWithFlickerAndInsideDropsDividesByNothing)
{
    GlyphGridSettings settings;
    settings.cellSize = 64; // above the 32 x 16 picture: one column, one row
    settings.flicker = 1;
    settings.directionMode = 1;
    settings.speed = 100;
    settings.glyphCount = 64;
    auto grid = GlyphGrid::Create(settings, 32, 16);
    ASSERT_EQ(grid->columns, 1);
    ASSERT_EQ(grid->rows, 1);
    crt::srand(5);
    int spawned = 0;
    for (int step = 0; step < 200; ++step) {
        grid->StepDrops(false);
        // A drop that starts now leaves this row for the one it starts at.
        grid->drops[0].row = 99;
        grid->drops[0].remaining = 0;
        grid->SpawnDrops();
        if (grid->drops[0].row != 99) {
            ++spawned;
            EXPECT_EQ(grid->drops[0].row, 0) << "an inside drop starts at row 0";
        }
    }
    EXPECT_GT(spawned, 0);
}

TEST(MatrixCodeLightSizes, TheGridFitsTheQuadArray)
{
    EXPECT_EQ(DS_MatrixCodeLight::FittingCellSize(0, 32, 16), 1u);
    EXPECT_EQ(DS_MatrixCodeLight::FittingCellSize(8, 1920, 1080), 8u);
    EXPECT_EQ(DS_MatrixCodeLight::FittingCellSize(1, 1920, 1080), 3u);
    EXPECT_EQ(DS_MatrixCodeLight::FittingCellSize(2, 1920, 1080), 3u);
}

class MatrixCodeLightTest : public LightVariantTest {
protected:
    std::unique_ptr<DS_MatrixCodeLight> Light(const MatrixCodeLightFields& f)
    {
        auto light = ReadWritten<DS_MatrixCodeLight>(WriteMatrixCodeLight, f);
        if (light)
            Prepare(*light);
        return light;
    }

    // A picture of one colour, and the light's level that shows it.
    picture_scene_writer::LightFields FlatPicture(std::uint32_t rgb)
    {
        const LinkKey flat{u"pictures\\flat.bmp", 8};
        ModuleResourceBlob stored(u"flat.bmp");
        stored.SetBytes(docres_test::SolidBmp(kPictureWidth, kPictureHeight, rgb));
        DocResManagerRecord record;
        record.textureSetRecords[flat] = {stored};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
        picture_scene_writer::LightFields light;
        light.backgroundPath = flat.path;
        light.backgroundId = flat.id;
        return light;
    }

    // The frames at times 0.1, 0.2, ... and the last one's pixels.
    std::vector<std::uint32_t> Run(DS_MatrixCodeLight& light, int frames)
    {
        std::vector<std::uint32_t> pixels;
        for (int i = 1; i <= frames; ++i)
            pixels = Frame(light, 0.1f * float(i));
        return pixels;
    }
};

TEST_F(MatrixCodeLightTest, StoredValuesClampsAndTheGlyphStrip)
{
    struct Case {
        std::int32_t version;
        std::uint32_t speed, cellSize;
        std::uint32_t playedSpeed, playedCell;
    };
    for (const Case& c : {Case{2, 0, 0, 1, 1}, Case{2, 101, 4, 100, 4}, Case{1, 50, 8, 50, 8}}) {
        SCOPED_TRACE(c.version);
        MatrixCodeLightFields f;
        f.version = c.version;
        f.speed = c.speed;
        f.cellSize = c.cellSize;
        f.transparency = 25;
        f.glyphs = {u"pictures\\glyphs.bmp", 9};
        f.light = StripesLightLevel();
        auto light = Light(f);
        ASSERT_NE(light, nullptr);
        EXPECT_EQ(light->speed.value, c.speed);
        EXPECT_EQ(light->cellSize.value, c.cellSize);
        EXPECT_EQ(light->settings.speed, c.playedSpeed);
        EXPECT_EQ(light->settings.cellSize, c.playedCell);
        EXPECT_FLOAT_EQ(light->Opacity(), 0.75f);
        // Version 1 keeps the shared strip: 32 x 1984 gives 62 + 2 slices.
        EXPECT_EQ(light->glyphImage.Id(), c.version == 1 ? kCommonResMatrixGlyphPicture : 9);
        if (c.version == 1) {
            EXPECT_EQ(light->settings.glyphCount, 64);
            EXPECT_EQ(light->quads.QuadCount(), (16 / 8 + 1) * (32 / 8 + 1));
        }
    }
}

TEST_F(MatrixCodeLightTest, QuadColoursByBrightnessAndTint)
{
    MatrixCodeLightFields f;
    f.glyphColour = 0x00FF00;     // green
    f.highlightColour = 0x0000FF; // red
    f.transparency = 50;
    f.light = StripesLightLevel();
    auto light = Light(f);
    ASSERT_NE(light, nullptr);
    struct Case {
        std::int32_t mode;
        std::uint32_t expected;
    };
    GlyphQuad quad;
    for (const Case& c : {Case{2, 0x7FFF0000u}, Case{1, 0x7F00FF00u}, Case{0, 0x3F00FF00u}}) {
        quad.brightnessMode = c.mode;
        EXPECT_EQ(light->QuadColour(quad), c.expected) << c.mode;
    }
    // The end of the glyphs clears the alpha whatever the colour.
    quad.colourMask = 0x00FFFFFFu;
    EXPECT_EQ(light->QuadColour(quad) >> 24, 0u);

    // Tint mode 1: the picture's luminance at the cell, bright glyphs
    // excepted. The stripes' top-left cell is red: 0.299.
    light->tintMode.value = 1;
    light->BuildLuminanceTable();
    ASSERT_TRUE(light->luminance);
    quad.colourMask = 0xFFFFFFFFu;
    quad.column = 0;
    quad.row = 0;
    quad.brightnessMode = 1;
    EXPECT_NEAR(double(light->QuadColour(quad) >> 24), 0.299 * 0.5 * 255, 2.0);
    quad.brightnessMode = 2;
    EXPECT_EQ(light->QuadColour(quad) >> 24, 0x7Fu);
}

TEST_F(MatrixCodeLightTest, GlyphsRainInTheGlyphColour)
{
    MatrixCodeLightFields f;
    f.cellSize = 4;
    f.speed = 100;
    f.highlightCount = 1;
    f.glyphColour = 0x00FF00;     // green
    f.highlightColour = 0x0000FF; // red: the heads of the drops
    f.light = FlatPicture(0x000000);
    auto light = Light(f);
    ASSERT_NE(light, nullptr);
    const auto pixels = Run(*light, 12);
    int green = 0, blue = 0;
    for (std::uint32_t p : pixels) {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        green += g > 0x40 && r < 0x20 && b < 0x20;
        blue += b > 0x20;
    }
    EXPECT_GT(green, 0);
    EXPECT_EQ(blue, 0);
}

TEST_F(MatrixCodeLightTest, TintModeOneOverABlackPictureShowsOnlyBrightGlyphs)
{
    MatrixCodeLightFields f;
    f.cellSize = 4;
    f.speed = 100;
    f.tintMode = 1;
    f.highlightCount = 50;
    f.glyphColour = 0x00FF00;     // green
    f.highlightColour = 0x0000FF; // red
    f.light = FlatPicture(0x000000);
    auto light = Light(f);
    ASSERT_NE(light, nullptr);
    int red = 0, green = 0;
    for (int i = 1; i <= 12; ++i) {
        const auto pixels = Frame(*light, 0.1f * float(i));
        for (std::uint32_t p : pixels) {
            red += ((p >> 16) & 0xFF) > 0x40;
            green += ((p >> 8) & 0xFF) > 0x10;
        }
    }
    EXPECT_GT(red, 0) << "bright and highlighted glyphs show";
    EXPECT_EQ(green, 0) << "normal glyphs are invisible on black";
}

TEST_F(MatrixCodeLightTest, AMissingGlyphStripDrawsNoGlyphs)
{
    MatrixCodeLightFields f;
    f.cellSize = 4;
    f.speed = 100;
    f.glyphs = {u"common_res.dll", 12345};
    f.light = StripesLightLevel();
    auto light = Light(f);
    ASSERT_NE(light, nullptr);
    const auto pixels = Run(*light, 6);
    for (std::uint32_t y : {2u, 12u, 44u})
        for (std::uint32_t x = 4; x < kTargetSize; x += 8)
            EXPECT_TRUE(ShowsRgb(At(pixels, x, y), StripesColour(x / 2, y / 4))) << x << ", " << y;
}

TEST_F(MatrixCodeLightTest, ASecondDrawInTheSameFrameShowsTheSameGlyphs)
{
    MatrixCodeLightFields f;
    f.cellSize = 4;
    f.speed = 100;
    f.light = StripesLightLevel();
    auto light = Light(f);
    ASSERT_NE(light, nullptr);
    Run(*light, 5);
    // A second monitor: the same time drawn again draws no random number,
    // so the grid has not stepped.
    crt::srand(9);
    const int first = crt::rand();
    crt::srand(9);
    light->RenderFrame({}, false);
    EXPECT_EQ(crt::rand(), first);
    crt::srand(9);
    Frame(*light, 0.6f);
    EXPECT_NE(crt::rand(), first) << "a new time steps the grid";
}

} // namespace
} // namespace light_variant_test

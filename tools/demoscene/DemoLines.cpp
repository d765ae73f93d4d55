#include "tools/demoscene/DemoLines.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "objectmodel/ResourceBlob.h"
#include "tests/support/LineWriter.h"
#include "tests/support/PictureSceneWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace {

using line_writer::BlockFields;
using particle_writer::SplinePointFields;

constexpr std::uint32_t kWidth = 1600;
constexpr std::uint32_t kHeight = 900;
constexpr char16_t kPicturePath[] = u"pictures\\twilight.png";
constexpr std::int64_t kPictureId = 105;
constexpr char16_t kRibbonPath[] = u"pictures\\ribbon.png";
constexpr std::int64_t kRibbonId = 131;
constexpr char16_t kSparkPath[] = u"pictures\\spark.png";
constexpr std::int64_t kSparkId = 132;
constexpr int kSparkSize = 32;
constexpr int kRibbonWidth = 32;
constexpr int kRibbonHeight = 64;

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    const auto part = [&](int shift) {
        return std::uint32_t(std::lround(((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t)) << shift;
    };
    return part(16) | part(8) | part(0);
}

// Violet sky over a rose horizon and a dark sea.
std::uint32_t Twilight(std::uint32_t px, std::uint32_t py)
{
    const double y = (py + 0.5) / kHeight;
    const double x = (px + 0.5) / kWidth;
    if (y > 0.72) {
        const double shimmer = 0.08 * std::sin(x * 90.0 + y * 40.0);
        return Mix(0x302848, 0x100C20, (y - 0.72) / 0.28 + shimmer);
    }
    return Mix(0x281850, 0xE89080, std::pow(y / 0.72, 1.6));
}

// White across the strip with soft edges: alpha falls off towards u = 0 and
// u = 1 and ripples gently along it.
std::vector<std::uint8_t> RibbonStrip()
{
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < kRibbonHeight; ++y)
        for (int x = 0; x < kRibbonWidth; ++x) {
            const double across = (x + 0.5) / kRibbonWidth * 2.0 - 1.0;
            const double along = 0.85 + 0.15 * std::cos((y + 0.5) / kRibbonHeight * 2.0 * 3.14159265);
            const double a = std::clamp((1.0 - across * across) * along, 0.0, 1.0);
            pixels.insert(pixels.end(), {255, 255, 255, std::uint8_t(std::lround(255.0 * a))});
        }
    return EncodePng(kRibbonWidth, kRibbonHeight, 4, pixels);
}

// A bright core with a wide glow.
std::vector<std::uint8_t> Spark()
{
    std::vector<std::uint8_t> pixels;
    const double half = kSparkSize / 2.0;
    for (int y = 0; y < kSparkSize; ++y)
        for (int x = 0; x < kSparkSize; ++x) {
            const double dx = (x + 0.5 - half) / half, dy = (y + 0.5 - half) / half;
            const double r2 = dx * dx + dy * dy;
            const double a = std::clamp(std::exp(-r2 * 6.0) + std::max(0.0, 1.0 - std::sqrt(r2) * 4.0), 0.0, 1.0);
            pixels.insert(pixels.end(), {255, 255, 255, std::uint8_t(std::lround(255.0 * a))});
        }
    return EncodePng(kSparkSize, kSparkSize, 4, pixels);
}

BlockFields RibbonBlock(std::uint32_t colour)
{
    BlockFields block = line_writer::RibbonLayer(kRibbonPath, kRibbonId);
    block.colours = {colour};
    return block;
}

particle_writer::ControllerFields SparkHead(std::u16string name, std::uint32_t size, std::uint32_t colour)
{
    particle_writer::ControllerFields controller;
    controller.base.name = std::move(name);
    controller.block.textureName = u"Spark";
    controller.block.pictures = {{kSparkPath, kSparkId}};
    controller.block.particleSize = size;
    controller.block.colours = {colour};
    controller.block.blendMode = 1;
    return controller;
}

// A random timeline: off and on for the given hundredths of a second.
void RandomTimeline(description_writer::TimingFields& timing, std::uint32_t offMin, std::uint32_t offMax,
                    std::uint32_t on, std::uint32_t fadeIn, std::uint32_t fadeOut)
{
    timing.selector = 1;
    timing.kind = description_writer::TimelineKind::Random;
    timing.offMin = offMin;
    timing.offMax = offMax;
    timing.onMin = on;
    timing.onMax = on;
    timing.fadeIn = fadeIn;
    timing.fadeOut = fadeOut;
}

SplinePointFields Level(float x, float y, float reach)
{
    return {{x, y, 0.0f}, {reach, 0.0f, 0.0f}, {-reach, 0.0f, 0.0f}};
}

// A golden line that grows across the sky along an S-curve, holds, and
// withdraws from its start, on a random timeline.
void WriteGrowingLine(DocumentWriter& w)
{
    const float W = kWidth, H = kHeight;
    line_writer::GrowingFields f;
    f.retract = 1;
    f.startSizeEnvelope = {25, 100, 20, 0};
    f.base.width = 18;
    f.base.alphaEnvelope = {0, 80, 0, 30};
    f.base.line.points = {Level(0.06f * W, 0.34f * H, 0.12f * W), Level(0.36f * W, 0.16f * H, 0.12f * W),
                          Level(0.64f * W, 0.38f * H, 0.12f * W), Level(0.94f * W, 0.2f * H, 0.12f * W)};
    f.base.line.showParticles = 1;
    f.base.line.layer = RibbonBlock(0x0050D0FF); // gold (0x00BBGGRR)
    f.base.line.controller = SparkHead(u"Growing line", 60, 0x00A0F0FF);
    RandomTimeline(f.base.line.controller.base.timing, 50, 150, 250, 300, 200);
    line_writer::WriteGrowingLine(w, f);
}

// A short pale-blue piece sliding along a wave low over the horizon, back
// and forth, once per "on" phase.
void WriteSlidingLine(DocumentWriter& w)
{
    const float W = kWidth, H = kHeight;
    line_writer::SlidingFields f;
    f.pieceLength = 260;
    f.directionMode = 1;
    f.base.width = 12;
    f.base.sizeEnvelope = {0, 70, 0, 20};
    f.base.alphaEnvelope = {0, 60, 0, 0};
    f.base.line.points = {Level(0.08f * W, 0.62f * H, 0.1f * W), Level(0.3f * W, 0.55f * H, 0.1f * W),
                          Level(0.55f * W, 0.64f * H, 0.1f * W), Level(0.9f * W, 0.56f * H, 0.1f * W)};
    f.base.line.showParticles = 1;
    f.base.line.layer = RibbonBlock(0x00FFE0B0);
    f.base.line.controller = SparkHead(u"Sliding line", 45, 0x00FFF0D0);
    RandomTimeline(f.base.line.controller.base.timing, 30, 80, 300, 0, 0);
    line_writer::WriteSlidingLine(w, f);
}

// Rose shots flying along an arc over the sea, swinging as they go.
void WriteShots(DocumentWriter& w)
{
    const float W = kWidth, H = kHeight;
    line_writer::ShootingFields f;
    f.points = {{{0.1f * W, 0.82f * H, 0.0f}, {0.1f * W, -0.2f * H, 0.0f}, {0.0f, 0.0f, 0.0f}},
                {{0.5f * W, 0.48f * H, 0.0f}, {0.16f * W, 0.0f, 0.0f}, {-0.16f * W, 0.0f, 0.0f}},
                {{0.9f * W, 0.82f * H, 0.0f}, {0.0f, 0.0f, 0.0f}, {-0.1f * W, -0.2f * H, 0.0f}}};
    f.layer = RibbonBlock(0x00B080FF);
    f.layer.opacityEnvelope = {0, 40, 0, 0};
    f.minimumInterval = 0.4f;
    f.maximumInterval = 1.2f;
    f.speed = 420;
    f.amplitude = 14;
    f.tailDelay = 240;
    f.width = 10;
    f.widthEnvelope = {0, 30, 30, 0};
    f.waveFrequency = 100; // 0.02 radians per pixel
    f.showParticles = 1;
    f.controller = SparkHead(u"Shots", 40, 0x00D0C0FF);
    line_writer::WriteShootingLine(w, f);
}

// A cyan ribbon swinging from the left shore towards the right.
void WriteWavingLine(DocumentWriter& w)
{
    const float W = kWidth, H = kHeight;
    line_writer::WavingFields f;
    f.width = 16;
    f.sizeEnvelope = {0, 60, 0, 10};
    f.layer = RibbonBlock(0x00E0E060);
    f.layer.opacityEnvelope = {0, 75, 0, 20};
    f.amplitude = 60;
    f.secondWave = 45;
    f.showParticles = 1;
    f.start = {0.04f * W, 0.9f * H, 0.0f};
    f.end = {0.6f * W, 0.86f * H, 0.0f};
    f.controller = SparkHead(u"Waving line", 50, 0x00FFFFC0);
    line_writer::WriteWavingLine(w, f);
}

} // namespace

void WriteDemoLinesSlide(DocumentWriter& w, DocResManagerRecord& record)
{
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.0f).Float(1.5f).Float(12.0f).Int(0).WideString(u"Lines");
    picture_scene_writer::LightFields light;
    light.backgroundPath = kPicturePath;
    light.backgroundId = kPictureId;
    picture_scene_writer::WriteLightRecord(w, light);
    w.Count(4);
    WriteGrowingLine(w);
    WriteSlidingLine(w);
    WriteShots(w);
    WriteWavingLine(w);
    w.Count(0); // no sounds

    ModuleResourceBlob stored(u"twilight.png");
    stored.SetBytes(EncodePng(kWidth, kHeight, 3, PixelsOf(kWidth, kHeight, Twilight)));
    record.textureSetRecords[LinkKey{kPicturePath, kPictureId}] = {stored};
    record.frames[LinkKey{kRibbonPath, kRibbonId}] = {StoredFrame{RibbonStrip(), 0.0f}};
    record.frames[LinkKey{kSparkPath, kSparkId}] = {StoredFrame{Spark(), 0.0f}};
}

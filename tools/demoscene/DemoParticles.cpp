#include "tools/demoscene/DemoParticles.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/ParticleWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace {

using particle_writer::FieldFields;

constexpr char16_t kDotPath[] = u"pictures\\soft-dot.png";
constexpr std::int64_t kDotId = 111;
constexpr char16_t kSparksPath[] = u"pictures\\sparks.png";
constexpr std::int64_t kSparksId = 112;
constexpr std::int64_t kParticleEffect = 185;

// RGBA rows, top first.
using Rgba = std::vector<std::uint8_t>;

// A round spot fading from its centre: alpha 1 - r^2 inside the circle.
void PaintSpot(Rgba& pixels, int size, int left, int top, int cell, std::uint32_t rgb)
{
    const double half = cell / 2.0;
    for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x) {
            const double dx = (x + 0.5 - half) / half;
            const double dy = (y + 0.5 - half) / half;
            const double fade = std::clamp(1.0 - (dx * dx + dy * dy), 0.0, 1.0);
            std::uint8_t* p = &pixels[4 * (std::size_t(top + y) * size + std::size_t(left + x))];
            p[0] = std::uint8_t(rgb >> 16);
            p[1] = std::uint8_t(rgb >> 8);
            p[2] = std::uint8_t(rgb);
            p[3] = std::uint8_t(std::lround(255.0 * fade * fade));
        }
}

std::vector<std::uint8_t> Png(const Rgba& pixels, int size)
{
    return EncodePng(std::uint32_t(size), std::uint32_t(size), 4, pixels);
}

std::vector<std::uint8_t> SoftDot()
{
    constexpr int kSize = 32;
    Rgba pixels(4 * kSize * kSize, 0);
    PaintSpot(pixels, kSize, 0, 0, kSize, 0xFFFFFF);
    return Png(pixels, kSize);
}

std::vector<std::uint8_t> SparkSheet()
{
    constexpr int kSize = 64;
    constexpr int kCell = kSize / 2;
    constexpr std::uint32_t kColours[4] = {0xFFD040, 0x60C0FF, 0xFF6080, 0xA0FF80};
    Rgba pixels(4 * kSize * kSize, 0);
    for (int i = 0; i < 4; ++i)
        PaintSpot(pixels, kSize, (i % 2) * kCell, (i / 2) * kCell, kCell, kColours[i]);
    return Png(pixels, kSize);
}

FieldFields BaseField(std::u16string name, std::uint32_t width, std::uint32_t height, int columns, int rows,
                      std::uint32_t seed)
{
    FieldFields field;
    field.controller.base.name = std::move(name);
    // A jittered grid over the picture, kept off its edges.
    std::uint32_t state = seed;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return double((state >> 8) & 0xFFFF) / 65535.0;
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const double x = (c + 0.2 + 0.6 * next()) / columns;
            const double y = (r + 0.2 + 0.6 * next()) / rows;
            field.positions.push_back({float(x * width), float(y * height), 0.0f});
        }
    particle_writer::BlockFields& block = field.controller.block;
    block.effect = {u"common_res.dll", kParticleEffect};
    return field;
}

} // namespace

void WriteDemoFieldSystems(DocumentWriter& w, std::uint32_t width, std::uint32_t height)
{
    // About 40 soft dots drifting slowly upwards, pulsing in size.
    FieldFields dots = BaseField(u"Drifting lights", width, height, 8, 5, 7);
    dots.density = 60;
    dots.lifetime = 200;
    dots.angle = 90;
    dots.spread = 30;
    dots.speed = std::max<std::uint32_t>(height / 30, 1);
    particle_writer::BlockFields& soft = dots.controller.block;
    soft.textureName = u"Soft dot";
    soft.pictures = {{kDotPath, kDotId}};
    soft.particleSize = std::max<std::uint32_t>(width / 40, 4);
    soft.colourMode = 2;
    soft.randomPick = 1;
    soft.colours = {0x0080D0FF, 0x00FFE0A0, 0x00FFA0C0, 0x00A0FFD0};
    soft.opacityEnvelope = {25, 60, 0, 0};
    soft.sizeOscillation = {100, 40, 1};

    // Coloured sparks glowing over the picture.
    FieldFields sparks = BaseField(u"Glowing sparks", width, height, 4, 3, 19);
    sparks.density = 70;
    sparks.lifetime = 300;
    sparks.angle = 270;
    sparks.spread = 180;
    sparks.speed = std::max<std::uint32_t>(height / 60, 1);
    particle_writer::BlockFields& glow = sparks.controller.block;
    glow.textureName = u"Sparks";
    glow.pictures = {{kSparksPath, kSparksId}};
    glow.columns = 2;
    glow.rows = 2;
    glow.particleSize = std::max<std::uint32_t>(width / 25, 4);
    glow.blendMode = 1;
    glow.glowMode = 2;
    glow.glowColour = 0x0080D0FF;
    glow.opacityEnvelope = {20, 70, 0, 0};

    particle_writer::WriteFieldSystem(w, dots);
    particle_writer::WriteFieldSystem(w, sparks);
}

void AddDemoParticlePictures(DocResManagerRecord& record)
{
    record.frames[LinkKey{kDotPath, kDotId}] = {StoredFrame{SoftDot(), 0.0f}};
    record.frames[LinkKey{kSparksPath, kSparksId}] = {StoredFrame{SparkSheet(), 0.0f}};
}

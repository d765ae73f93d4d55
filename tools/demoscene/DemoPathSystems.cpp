#include "tools/demoscene/DemoPathSystems.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/PathSystemWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace {

using particle_writer::PathStreamFields;
using particle_writer::SplinePointFields;
using particle_writer::ThroughSpaceFields;

constexpr char16_t kGlowPath[] = u"pictures\\stream-glow.png";
constexpr std::int64_t kGlowId = 121;
constexpr char16_t kStarPath[] = u"pictures\\star.png";
constexpr std::int64_t kStarId = 122;
constexpr std::int64_t kParticleEffect = 185;
constexpr int kPictureSize = 32;

// RGBA rows, top first, of a white picture whose alpha is `alpha(dx, dy)`
// with dx, dy from -1 to 1 across it.
template <class Alpha>
std::vector<std::uint8_t> WhitePicture(Alpha&& alpha)
{
    std::vector<std::uint8_t> pixels;
    const double half = kPictureSize / 2.0;
    for (int y = 0; y < kPictureSize; ++y)
        for (int x = 0; x < kPictureSize; ++x) {
            const double a = std::clamp(alpha((x + 0.5 - half) / half, (y + 0.5 - half) / half), 0.0, 1.0);
            pixels.insert(pixels.end(), {255, 255, 255, std::uint8_t(std::lround(255.0 * a))});
        }
    return EncodePng(kPictureSize, kPictureSize, 4, pixels);
}

std::vector<std::uint8_t> SoftGlow()
{
    return WhitePicture([](double dx, double dy) {
        const double fade = 1.0 - (dx * dx + dy * dy);
        return fade * fade * fade;
    });
}

// A bright core with four thin rays along the axes.
std::vector<std::uint8_t> Star()
{
    return WhitePicture([](double dx, double dy) {
        const double r = std::sqrt(dx * dx + dy * dy);
        const double core = std::max(0.0, 1.0 - r * 3.0);
        const double rays = std::max(0.0, 1.0 - r) * std::max(std::exp(-dx * dx * 400.0), std::exp(-dy * dy * 400.0));
        return std::max(core, rays);
    });
}

// A picture drawn additively through the engine's particle effect.
particle_writer::BlockFields GlowingBlock(std::u16string name, const char16_t* path, std::int64_t id,
                                          std::uint32_t size)
{
    particle_writer::BlockFields block;
    block.textureName = std::move(name);
    block.pictures = {{path, id}};
    block.effect = {u"common_res.dll", kParticleEffect};
    block.particleSize = std::max<std::uint32_t>(size, 4);
    block.blendMode = 1;
    return block;
}

// A spline point at (x, y) with handles of `reach` along the x axis: the
// curve passes it level.
SplinePointFields Level(float x, float y, float reach)
{
    return {{x, y, 0.0f}, {reach, 0.0f, 0.0f}, {-reach, 0.0f, 0.0f}};
}

PathStreamFields GoldenStream(float w, float h)
{
    PathStreamFields stream;
    const float reach = w * 0.12f;
    stream.points = {Level(-0.02f * w, 0.78f * h, reach), Level(0.3f * w, 0.6f * h, reach),
                     Level(0.62f * w, 0.86f * h, reach), Level(1.02f * w, 0.66f * h, reach)};
    stream.rate = 400;                                  // 80 a second
    stream.speed = std::max<std::uint32_t>(std::uint32_t(w / 7.0f), 1); // about 8 s along
    stream.speedJitter = 30;
    stream.width = std::uint32_t(h * 0.08f);
    stream.wanderMode = 0;
    stream.waveFrequency = 25; // 0.01 radians per unit travelled
    stream.startWidth = 0;
    stream.endWidth = 0;
    stream.wideningEnd = 15;
    stream.narrowingStart = 85;
    stream.controller.base.name = u"Golden stream";
    particle_writer::BlockFields& block = stream.controller.block;
    block = GlowingBlock(u"Stream glow", kGlowPath, kGlowId, std::uint32_t(w / 90.0f));
    block.colourMode = 1;
    block.colours = {0x0060D8FF, 0x003070FF}; // gold to orange (0x00BBGGRR)
    block.opacityEnvelope = {10, 80, 0, 0};
    block.sizeOscillation = {60, 80, 1};
    return stream;
}

// Stars born in the sky's corner recede towards its middle, fading in as
// they come within it, while the field turns slowly.
ThroughSpaceFields RecedingStars(float w, float h)
{
    ThroughSpaceFields stars;
    const float left = 0.03f * w, top = 0.04f * h, right = 0.3f * w, bottom = 0.34f * h;
    stars.area = {{{left, top, 0.0f}, {left, bottom, 0.0f}, {right, top, 0.0f}, {right, bottom, 0.0f}}};
    stars.centre = {(left + right) / 2.0f, (top + bottom) / 2.0f, 0.0f};
    stars.rate = 400; // 80 a second
    stars.rotationSpeed = 20; // 8 degrees a second
    stars.receding = 1;
    stars.speed = 100;
    stars.controller.base.name = u"Receding stars";
    particle_writer::BlockFields& block = stars.controller.block;
    block = GlowingBlock(u"Star", kStarPath, kStarId, std::uint32_t(w / 110.0f));
    block.colours = {0x00FFE8D0}; // pale blue-white
    block.opacityEnvelope = {90, 100, 0, 0};
    return stars;
}

} // namespace

void WriteDemoPathSystems(DocumentWriter& w, std::uint32_t width, std::uint32_t height)
{
    particle_writer::WritePathStream(w, GoldenStream(float(width), float(height)));
    particle_writer::WriteThroughSpace(w, RecedingStars(float(width), float(height)));
}

void AddDemoPathSystemPictures(DocResManagerRecord& record)
{
    record.frames[LinkKey{kGlowPath, kGlowId}] = {StoredFrame{SoftGlow(), 0.0f}};
    record.frames[LinkKey{kStarPath, kStarId}] = {StoredFrame{Star(), 0.0f}};
}

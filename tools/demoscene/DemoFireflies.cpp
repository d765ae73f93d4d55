#include "tools/demoscene/DemoFireflies.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/WanderWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace {

constexpr char16_t kFireflyPath[] = u"pictures\\firefly.png";
constexpr std::int64_t kFireflyId = 121;
constexpr char16_t kSparkPath[] = u"pictures\\firefly-spark.png";
constexpr std::int64_t kSparkId = 122;
constexpr std::int64_t kParticleEffect = 185;

// A white square picture whose alpha falls off with the distance r from its
// centre (0 at the centre, 1 at the edge) as `alpha(r)` says.
template <class Alpha>
std::vector<std::uint8_t> RadialPicture(std::uint32_t size, Alpha&& alpha)
{
    std::vector<std::uint8_t> rgba;
    rgba.reserve(std::size_t(size) * size * 4);
    const double half = size / 2.0;
    for (std::uint32_t y = 0; y < size; ++y)
        for (std::uint32_t x = 0; x < size; ++x) {
            const double r = std::hypot((x + 0.5 - half) / half, (y + 0.5 - half) / half);
            const double a = std::clamp(alpha(r), 0.0, 1.0);
            rgba.insert(rgba.end(), {0xFF, 0xFF, 0xFF, std::uint8_t(std::lround(255.0 * a))});
        }
    return EncodePng(size, size, 4, rgba);
}

// A bright core a quarter of the width across in a wide, soft halo.
std::vector<std::uint8_t> FireflyPicture()
{
    return RadialPicture(32, [](double r) { return r < 0.25 ? 1.0 : 0.6 * std::pow(1.0 - std::min(r, 1.0), 2.0); });
}

std::vector<std::uint8_t> SparkPicture()
{
    return RadialPicture(16, [](double r) { return 1.0 - r * r; });
}

particle_writer::BlockFields Block(const char16_t* name, const char16_t* path, std::int64_t id, std::uint32_t size,
                                   std::uint32_t colour)
{
    particle_writer::BlockFields block;
    block.textureName = name;
    block.pictures = {{path, id}};
    block.effect = {u"common_res.dll", kParticleEffect};
    block.particleSize = size;
    block.colours = {colour, 0x00000000};
    block.blendMode = 1;
    block.flags = 0x2; // filtered pictures
    return block;
}

} // namespace

void WriteDemoFireflies(DocumentWriter& w, std::uint32_t width, std::uint32_t height)
{
    wander_writer::FireflyFields f;
    wander_writer::BrownFields& swarm = f.brown;
    swarm.controller.base.name = u"Fireflies";
    // The dark sky high above the sun.
    swarm.area = wander_writer::BoxCorners(width * 0.52f, height * 0.05f, width * 0.94f, height * 0.3f);
    swarm.count = 24;
    swarm.driftScale = 12; // 0.48: 36 to 48 pixels a second
    swarm.changeRate = 20; // a new heading about every 2 s
    swarm.turnTime = 49;   // turning over 1 s
    // Warm yellow-green spots (COLORREF 0x00BBGGRR) with a soft glow.
    swarm.controller.block = Block(u"Firefly", kFireflyPath, kFireflyId, std::max<std::uint32_t>(width / 64, 8),
                                   0x0060FFD0);
    swarm.controller.block.glowMode = 1;
    swarm.controller.block.glowColour = 0x0040FFC0;
    swarm.controller.block.glowBrightness = 60;

    // Sparks a little greener, living 0.8 s, born within the firefly's size
    // and drawn halfway back to where it was; they shrink over their life
    // and fade after a tenth of it.
    f.trail.block = Block(u"Spark", kSparkPath, kSparkId, std::max<std::uint32_t>(width / 200, 4), 0x0040E0A0);
    f.trail.block.sizeEnvelope = {0, 0, 0, 0};
    f.trail.block.opacityEnvelope = {10, 0, 0, 0};
    f.trail.rate = 100;
    f.trail.lifetime = 80;
    f.trail.spread = 100;
    f.trail.velocityFactor = 25; // k = -0.5
    wander_writer::WriteFirefly(w, f);
}

void AddDemoFireflyPictures(DocResManagerRecord& record)
{
    record.frames[LinkKey{kFireflyPath, kFireflyId}] = {StoredFrame{FireflyPicture(), 0.0f}};
    record.frames[LinkKey{kSparkPath, kSparkId}] = {StoredFrame{SparkPicture(), 0.0f}};
}

#include "tools/demoscene/DemoAnimations.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "render/SharedResource.h"
#include "tests/support/GifFixture.h"
#include "tests/support/ObjectAnimationWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace {

using description_writer::StoredLink;
using namespace generator_writer;

const StoredLink kBeaconLink{u"pictures\\beacon.gif", 720};
const StoredLink kSparkLink{u"pictures\\spark.png", 721};
const StoredLink kPlaneLink{u"pictures\\plane.png", 722};
constexpr std::uint16_t kBeaconSide = 48;
constexpr int kBeaconFrames = 4;

// Rings running outwards from the middle: each frame moves them one ring
// on. Palette: the night sky, then three ambers.
std::vector<std::uint8_t> BeaconFrame(int frame)
{
    std::vector<std::uint8_t> indices;
    for (std::uint16_t y = 0; y < kBeaconSide; ++y)
        for (std::uint16_t x = 0; x < kBeaconSide; ++x) {
            const double dx = x + 0.5 - kBeaconSide / 2.0, dy = y + 0.5 - kBeaconSide / 2.0;
            const int ring = int(std::sqrt(dx * dx + dy * dy) / 4.0);
            indices.push_back(ring >= 6 ? 0 : std::uint8_t(1 + (ring + kBeaconFrames - frame) % 3));
        }
    return indices;
}

// A soft white spark whose alpha falls off from the middle.
std::vector<std::uint8_t> SparkPixels(std::uint32_t side)
{
    std::vector<std::uint8_t> rgba;
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x) {
            const double dx = (x + 0.5) / side * 2 - 1, dy = (y + 0.5) / side * 2 - 1;
            const double a = std::exp(-(dx * dx + dy * dy) * 6.0);
            rgba.insert(rgba.end(), {255, 250, 220, std::uint8_t(std::lround(255 * a))});
        }
    return rgba;
}

// A paper plane pointing right (+x), so that mirroring shows its way.
std::vector<std::uint8_t> PlanePixels(std::uint32_t width, std::uint32_t height)
{
    std::vector<std::uint8_t> rgba;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width, v = (y + 0.5) / height;
            // A triangle from the tail (u 0, v 0..1) to the nose (u 1, v 0.5).
            const bool inside = std::fabs(v - 0.5) < 0.5 * (1.0 - u);
            const bool fold = std::fabs(v - 0.5) < 0.04 && u < 0.95;
            const std::uint8_t shade = fold ? 170 : 240;
            rgba.insert(rgba.end(), {shade, shade, 255, std::uint8_t(inside ? 255 : 0)});
        }
    return rgba;
}

TexGeneratorFields Pictured(const StoredLink& picture, std::u16string name)
{
    TexGeneratorFields textured;
    textured.textures = {picture};
    textured.colour = 0xFFFFFF;
    textured.generator.base.name = std::move(name);
    return textured;
}

void StoreFrame(DocResManagerRecord& record, const StoredLink& link, std::vector<std::uint8_t> bytes, float time)
{
    record.frames[LinkKey{link.path, link.id}].push_back(StoredFrame{std::move(bytes), time});
}

} // namespace

void WriteDemoAnimations(DocumentWriter& w, DocResManagerRecord& record)
{
    StaticAnimationFields beacon;
    beacon.frameSpeed = 100;
    beacon.rect.rect = RectCorners(1640.0f, 110.0f, 150.0f, 150.0f);
    beacon.rect.base.textured = Pictured(kBeaconLink, u"Beacon");
    beacon.rect.base.textured.effect = {u"common_res.dll", kCommonResStaticAnimationEffect};
    WriteStaticAnimation(w, beacon);

    BrownAnimationFields sparks;
    sparks.count = 6;
    sparks.size = 100;
    sparks.motionScale = 60;
    sparks.repickPeriod = 20;
    sparks.steerTime = 50;
    sparks.region.region = RectangleQuad(420.0f, 500.0f, 520.0f, 200.0f);
    sparks.region.textured = Pictured(kSparkLink, u"Sparks");
    WriteBrownAnimation(w, sparks);

    PathAnimationFields plane;
    plane.moveSpeed = 60; // 180 px/s
    plane.size = 100;
    plane.facing = 2;
    plane.path.points = {{1080.0f, 480.0f, 0.0f}, {1780.0f, 420.0f, 0.0f}, {1480.0f, 560.0f, 0.0f}};
    plane.path.textured = Pictured(kPlaneLink, u"Paper plane");
    WritePathAnimation(w, plane);

    const std::uint32_t palette[4] = {0x0C102C, 0xFFB020, 0xE07010, 0xFFE080};
    for (int frame = 0; frame < kBeaconFrames; ++frame)
        StoreFrame(record, kBeaconLink,
                   gfx::testing::WriteGif(kBeaconSide, kBeaconSide, palette, {{BeaconFrame(frame), 15}}), 0.15f);
    StoreFrame(record, kSparkLink, EncodePng(32, 32, 4, SparkPixels(32)), 0.0f);
    StoreFrame(record, kPlaneLink, EncodePng(72, 40, 4, PlanePixels(72, 40)), 0.0f);
}

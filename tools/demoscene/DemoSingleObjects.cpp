#include "tools/demoscene/DemoSingleObjects.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "tests/support/SingleObjectWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace {

constexpr std::u16string_view kSlide = u"Shapes";
constexpr char16_t kStarPath[] = u"pictures\\gold-star.png";
constexpr std::int64_t kStarId = 121;
constexpr char16_t kFishPath[] = u"pictures\\fish.png";
constexpr std::int64_t kFishId = 122;
constexpr std::int64_t kParticleEffect = 185;

// An eight-pointed star, gold at its rim, pale at its heart.
Painted Star(double u, double v)
{
    const double dx = u - 0.5, dy = v - 0.5;
    const double r = std::sqrt(dx * dx + dy * dy);
    const double phi = std::atan2(dy, dx);
    const double rim = 0.26 + 0.22 * std::pow(std::fabs(std::cos(4.0 * phi)), 3.0);
    if (r > rim)
        return {0.0, 0};
    const double t = std::clamp(r / rim, 0.0, 1.0);
    const auto mix = [t](int a, int b) { return std::uint32_t(std::lround(a + (b - a) * t)); };
    return {1.0, mix(0xFF, 0xE0) << 16 | mix(0xF4, 0x90) << 8 | mix(0xC0, 0x20)};
}

// A fish facing right: an orange body, a tail fin on the left, a dark eye.
Painted Fish(double u, double v)
{
    const double bx = (u - 0.58) / 0.38, by = (v - 0.5) / 0.32;
    const bool body = bx * bx + by * by < 1.0;
    const double tail = 0.26 - u; // the fin opens toward the left edge
    const bool fin = u < 0.3 && std::fabs(v - 0.5) < 0.08 + 1.6 * std::max(tail, 0.0) && u > 0.04;
    if (!body && !fin)
        return {0.0, 0};
    const double ex = (u - 0.8) / 0.05, ey = (v - 0.42) / 0.1;
    if (ex * ex + ey * ey < 1.0)
        return {1.0, 0x202020};
    return {1.0, fin ? 0xF06A20u : (v < 0.55 ? 0xFF9A30u : 0xFFD080u)};
}

void UseEffectAndPicture(particle_writer::ControllerFields& controller, std::u16string name, const char16_t* path,
                         std::int64_t id)
{
    controller.base.name = std::move(name);
    particle_writer::BlockFields& block = controller.block;
    block.textureName = controller.base.name;
    block.pictures = {{path, id}};
    block.effect = {u"common_res.dll", kParticleEffect};
    block.colours = {0x00FFFFFF};
    block.particleSize = 100;
    block.flags = 0x2; // filtered: smooth when turned or scaled
}

particle_writer::StaticObjectFields TurningStar(std::uint32_t width, std::uint32_t height)
{
    particle_writer::StaticObjectFields star;
    star.turnSpeed = 25; // 10 degrees per second
    const float side = float(height) * 0.22f;
    star.single.corners = particle_writer::RectangleCorners(side, side, float(width) * 0.72f, float(height) * 0.2f);
    UseEffectAndPicture(star.single.controller, u"Turning star", kStarPath, kStarId);
    description_writer::TimingFields& timing = star.single.controller.base.timing;
    timing.selector = 1;
    timing.kind = description_writer::TimelineKind::Random;
    timing.fadeIn = 150;
    timing.onMin = 300;
    timing.onMax = 500;
    timing.fadeOut = 150;
    timing.offMin = 100;
    timing.offMax = 250;
    return star;
}

particle_writer::ObjectPathFields SwimmingFish(std::uint32_t width, std::uint32_t height)
{
    particle_writer::ObjectPathFields fish;
    // width / 600 pixels each update (3.2 at full HD): the walk ignores the
    // frame's length.
    fish.speed = std::max<std::uint32_t>(width / 60, 1);
    fish.orientation = 2; // mirrored while it swims left
    const float w = float(width), h = float(height);
    // Across the lower part of the slide, in front of the shapes.
    fish.path.points = {{w * 0.12f, h * 0.84f, 0.0f},
                        {w * 0.38f, h * 0.80f, 0.0f},
                        {w * 0.62f, h * 0.86f, 0.0f},
                        {w * 0.88f, h * 0.81f, 0.0f}};
    UseEffectAndPicture(fish.path.controller, u"Swimming fish", kFishPath, kFishId);
    fish.path.controller.block.particleSize = 150;
    return fish;
}

} // namespace

std::int32_t DemoSingleObjectCount(std::u16string_view slideName)
{
    return slideName == kSlide ? 2 : 0;
}

void WriteDemoSingleObjects(DocumentWriter& w, std::u16string_view slideName, std::uint32_t width,
                            std::uint32_t height)
{
    if (slideName != kSlide)
        return;
    particle_writer::WriteStaticObject(w, TurningStar(width, height));
    particle_writer::WriteObjectPath(w, SwimmingFish(width, height));
}

void AddDemoSingleObjectPictures(DocResManagerRecord& record)
{
    record.frames[LinkKey{kStarPath, kStarId}] = {StoredFrame{EncodePng(256, 256, 4, PaintRgba(256, 256, Star)), 0.0f}};
    record.frames[LinkKey{kFishPath, kFishId}] = {StoredFrame{EncodePng(128, 64, 4, PaintRgba(128, 64, Fish)), 0.0f}};
}

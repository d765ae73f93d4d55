#include "tools/demoscene/DemoReadyMade.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "tests/support/PictureSceneWriter.h"
#include "tests/support/ReadyMadeWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace demo_scene {
namespace {

using namespace particle_writer;

const LinkKey kPicture{u"pictures\\harbour.png", 131};
const LinkKey kDot{u"pictures\\mote.png", 132};
const LinkKey kPuff{u"pictures\\smoke-puff.png", 133};
const LinkKey kFlame{u"pictures\\flame.png", 134};
const LinkKey kDrops{u"pictures\\raindrops.png", 135};
const LinkKey kRay{u"pictures\\ray-strip.png", 136};
constexpr std::int64_t kParticleEffect = 185;

// An RGBA picture of one colour whose alpha `alpha(fx, fy)` gives from the
// pixel's place as fractions of the picture (0..1).
std::vector<std::uint8_t> AlphaPicture(std::uint32_t width, std::uint32_t height, std::uint32_t rgb,
                                       const std::function<double(double, double)>& alpha)
{
    std::vector<std::uint8_t> rgba;
    rgba.reserve(std::size_t(width) * height * 4);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const double a = std::clamp(alpha((x + 0.5) / width, (y + 0.5) / height), 0.0, 1.0);
            rgba.insert(rgba.end(), {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb),
                                     std::uint8_t(std::lround(255.0 * a))});
        }
    return EncodePng(width, height, 4, rgba);
}

double Radius(double fx, double fy)
{
    return std::hypot(fx * 2.0 - 1.0, fy * 2.0 - 1.0);
}

std::vector<std::uint8_t> Mote()
{
    return AlphaPicture(32, 32, 0xFFFFFF, [](double fx, double fy) { return std::pow(1.0 - Radius(fx, fy), 2.0); });
}

// A soft blob with a ragged rim.
std::vector<std::uint8_t> SmokePuff()
{
    return AlphaPicture(64, 64, 0xFFFFFF, [](double fx, double fy) {
        const double angle = std::atan2(fy - 0.5, fx - 0.5);
        const double rim = 0.85 + 0.1 * std::sin(angle * 5.0) + 0.05 * std::sin(angle * 13.0);
        return 0.6 * (1.0 - std::pow(Radius(fx, fy) / rim, 2.0));
    });
}

// A teardrop pointing up: round below, narrowing to a tip.
std::vector<std::uint8_t> Flame()
{
    return AlphaPicture(32, 48, 0xFFFFFF, [](double fx, double fy) {
        const double half = 0.5 * std::sqrt(std::max(0.0, fy)) * (fy < 0.7 ? 1.0 : (1.0 - fy) / 0.3);
        const double across = std::fabs(fx - 0.5);
        return half > 0.0 ? std::pow(std::max(0.0, 1.0 - across / half), 0.7) : 0.0;
    });
}

// A 2 x 2 sheet: a large drop upper left, three droplets of other shapes.
std::vector<std::uint8_t> RaindropSheet()
{
    return AlphaPicture(64, 64, 0xE8F0FF, [](double fx, double fy) {
        const int cell = (fx < 0.5 ? 0 : 1) + (fy < 0.5 ? 0 : 2);
        const double cx = std::fmod(fx, 0.5) * 2.0, cy = std::fmod(fy, 0.5) * 2.0;
        static constexpr double kStretch[4] = {1.3, 1.0, 1.15, 0.9};
        const double r = std::hypot(cx * 2.0 - 1.0, (cy * 2.0 - 1.0) / kStretch[cell]);
        // A bright rim and a clear middle, as light bends through a drop.
        return r < 0.9 ? 0.35 + 0.6 * std::pow(r / 0.9, 4.0) : std::max(0.0, (1.0 - r) * 9.5);
    });
}

// Bright along its middle, fading to both sides.
std::vector<std::uint8_t> RayStrip()
{
    return AlphaPicture(32, 64, 0xFFFFFF, [](double fx, double) { return std::pow(std::sin(fx * 3.14159265), 2.0); });
}

// Dark sky, lights along the far shore, a quay and a window frame on the
// upper right.
std::uint32_t Harbour(std::uint32_t width, std::uint32_t height, std::uint32_t x, std::uint32_t y)
{
    const double fx = double(x) / width, fy = double(y) / height;
    auto mix = [](std::uint32_t a, std::uint32_t b, double t) {
        t = std::clamp(t, 0.0, 1.0);
        std::uint32_t out = 0;
        for (int shift : {0, 8, 16})
            out |= std::uint32_t(std::lround(((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t)) << shift;
        return out;
    };
    const bool frame = fx > 0.53 && fx < 0.97 && fy > 0.03 && fy < 0.47 &&
                       !(fx > 0.55 && fx < 0.95 && fy > 0.05 && fy < 0.45);
    if (frame)
        return 0x302820;
    if (fy > 0.8)
        return mix(0x303038, 0x18181C, (fy - 0.8) / 0.2);
    if (fy > 0.6) {
        const double shimmer = 0.5 + 0.5 * std::sin(fx * 60.0 + fy * 200.0);
        return mix(0x102038, 0x203858, shimmer * (fy - 0.6) / 0.2);
    }
    if (fy > 0.57 && std::fmod(fx * 37.0, 1.0) < 0.2)
        return 0xFFD080;
    return mix(0x101830, 0x2A3A60, fy / 0.6);
}

BlockFields Block(const LinkKey& picture, std::u16string name, std::uint32_t size, std::vector<std::uint32_t> colours)
{
    BlockFields block;
    block.textureName = std::move(name);
    block.pictures = {{picture.path, picture.id}};
    block.effect = {u"common_res.dll", kParticleEffect};
    block.particleSize = std::max<std::uint32_t>(size, 2);
    block.colours = std::move(colours);
    block.flags = 0x2; // filtered pictures
    block.vibrationAlong = {0, 50, 0};
    block.vibrationAcross = {0, 50, 0};
    return block;
}

FountainFields Fountain(std::u16string name, float x, float y, std::uint32_t angle, std::uint32_t spread)
{
    FountainFields f;
    f.burst.controller.base.name = std::move(name);
    f.burst.position = {x, y, 0.0f};
    f.burst.angle = angle;
    f.burst.spread = spread;
    return f;
}

void WriteRayLight(DocumentWriter& w, float W, float H)
{
    RayFields rays;
    rays.controller.base.name = u"Rays of light";
    rays.area = {{{0.14f * W, 0.0f, 0.0f}, {0.02f * W, 0.8f * H, 0.0f}, {0.34f * W, 0.0f, 0.0f},
                  {0.5f * W, 0.8f * H, 0.0f}}};
    rays.rayCount = 10;
    rays.life = 80; // 8 s
    rays.lifeJitter = 50;
    rays.width = std::uint32_t(W / 30);
    rays.widthJitter = 60;
    rays.drift = 60; // 0.012 of the area a second
    rays.driftJitter = 50;
    rays.spreadFactor = 30; // 2.5 times as wide below
    rays.fadeIn = 15;
    rays.fadeOut = 45;
    rays.edgeFade = 30;
    rays.controller.block = Block(kRay, u"Ray", 1, {0x0090D8FF});
    rays.controller.block.blendMode = 1;
    rays.controller.block.transparency = 45;
    WriteRays(w, rays);
}

void WriteMotes(DocumentWriter& w, float W, float H)
{
    VortexFields vortex;
    vortex.controller.base.name = u"Swirling motes";
    vortex.centre = {0.3f * W, 0.4f * H, 0.0f};
    vortex.rate = 250; // 50 a second
    vortex.speed = std::uint32_t(H / 60);
    vortex.swirl = 70;
    vortex.spread = 12;
    vortex.armCount = 3;
    vortex.armSpin = 20;
    vortex.range = std::uint32_t(H / 6);
    vortex.controller.block = Block(kDot, u"Mote", std::uint32_t(W / 200), {0x0060D0FF, 0x00A0F0FF});
    vortex.controller.block.colourMode = 1;
    vortex.controller.block.blendMode = 1;
    vortex.controller.block.opacityEnvelope = {20, 60, 0, 0};
    WriteVortex(w, vortex);
}

void WriteJet(DocumentWriter& w, float W, float H)
{
    FountainFields jet = Fountain(u"Water jet", 0.42f * W, 0.86f * H, 78, 8);
    jet.rate = 500; // 100 a second
    // 0.45 H/s upwards against 0.25 H/s^2: about 0.4 H high, 2 s in the air.
    jet.burst.speed = std::uint32_t(H * 0.45f / 4.0f);
    jet.burst.range = std::uint32_t(H * 0.9f);
    jet.burst.controller.block = Block(kDot, u"Drop", std::uint32_t(W / 260), {0x00FFE0C0});
    jet.burst.controller.block.flags |= 0x1; // gravity
    jet.burst.controller.block.gravityDirection = 1;
    jet.burst.controller.block.gravity = std::uint32_t(H * 0.25f / 5.0f);
    jet.burst.controller.block.blendMode = 1;
    jet.burst.controller.block.opacityEnvelope = {5, 70, 0, 0};
    WriteFountainPreset(w, WaterJetPreset(), jet);
}

void WriteFireAndSmoke(DocumentWriter& w, float W, float H)
{
    FountainFields smoke = Fountain(u"Smoke", 0.78f * W, 0.78f * H, 90, 40);
    smoke.rate = 80; // 16 a second
    smoke.burst.speed = std::uint32_t(H / 30.0f / 4.0f);
    smoke.burst.range = std::uint32_t(H * 0.3f);
    smoke.burst.controller.block = Block(kPuff, u"Smoke puff", std::uint32_t(W / 22), {0x00A0A0A0, 0x00606060});
    smoke.burst.controller.block.colourMode = 1;
    smoke.burst.controller.block.transparency = 40;
    smoke.burst.controller.block.airResistance = 40; // the wind takes hold within seconds
    smoke.burst.controller.block.sizeEnvelope = {0, 100, 40, 0};
    smoke.burst.controller.block.opacityEnvelope = {25, 40, 0, 0};
    WriteFountainPreset(w, SmokePreset(56), smoke); // 60 px/s to the right

    FountainFields fire = Fountain(u"Fire", 0.78f * W, 0.86f * H, 90, 35);
    fire.rate = 400; // 80 a second
    // 0.08 H/s for about 1 s, speeding up by 0.03 H/s^2.
    fire.burst.speed = std::uint32_t(H * 0.08f / 4.0f);
    fire.burst.range = std::uint32_t(H * 0.08f);
    fire.burst.startRadius = std::uint32_t(W / 90);
    fire.burst.controller.block = Block(kFlame, u"Flame", std::uint32_t(W / 70), {0x0040C0FF, 0x000030D0});
    fire.burst.controller.block.colourMode = 1;
    fire.burst.controller.block.blendMode = 1;
    fire.burst.controller.block.gravity = std::uint32_t(H * 0.03f / 5.0f); // the flames speed up as they rise
    fire.burst.controller.block.sizeEnvelope = {0, 30, 0, 0};
    fire.burst.controller.block.opacityEnvelope = {10, 50, 0, 0};
    WriteFountainPreset(w, FirePreset(), fire);
}

void WriteRainOnPane(DocumentWriter& w, float W, float H)
{
    RainFields rain;
    rain.controller.base.name = u"Rain on the window";
    rain.pane = CornersOfBox(0.55f * W, 0.05f * H, 0.95f * W, 0.45f * H);
    rain.rate = 120; // 24 a second
    rain.slideForce = std::uint32_t(H / 10.0f);
    rain.angle = 270; // down
    rain.controller.block = Block(kDrops, u"Raindrops", std::uint32_t(W / 110), {0x00FFFFFF});
    rain.controller.block.startAngleSpread = 180;
    rain.controller.block.transparency = 20;
    WriteRain(w, rain);
}

} // namespace

void WriteReadyMadeSlide(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width, std::uint32_t height)
{
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.5f).Float(1.5f).Float(12.0f).Int(0).WideString(u"Harbour");
    picture_scene_writer::LightFields light;
    light.backgroundPath = kPicture.path;
    light.backgroundId = kPicture.id;
    picture_scene_writer::WriteLightRecord(w, light);

    const float W = float(width), H = float(height);
    w.Count(6);
    WriteRayLight(w, W, H);
    WriteMotes(w, W, H);
    WriteJet(w, W, H);
    WriteFireAndSmoke(w, W, H);
    WriteRainOnPane(w, W, H);
    w.Count(0); // no sounds

    ModuleResourceBlob picture(u"harbour.png");
    picture.SetBytes(EncodePng(width, height, 3, PixelsOf(width, height, [width, height](std::uint32_t x, std::uint32_t y) {
                                   return Harbour(width, height, x, y);
                               })));
    record.textureSetRecords[kPicture] = {picture};
    record.frames[kDot] = {StoredFrame{Mote(), 0.0f}};
    record.frames[kPuff] = {StoredFrame{SmokePuff(), 0.0f}};
    record.frames[kFlame] = {StoredFrame{Flame(), 0.0f}};
    record.frames[kDrops] = {StoredFrame{RaindropSheet(), 0.0f}};
    record.frames[kRay] = {StoredFrame{RayStrip(), 0.0f}};
}

} // namespace demo_scene

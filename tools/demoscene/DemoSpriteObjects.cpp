#include "tools/demoscene/DemoSpriteObjects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/crt/Guid.h"
#include "tests/support/SpriteObjectWriter.h"
#include "tools/demoscene/PngPicture.h"

using namespace sprite_object_writer;
using description_writer::SpriteFields;
using description_writer::TimelineKind;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Picture {
    const char16_t* path;
    std::int64_t id;
    std::uint32_t width, height;
    CoveragePainter paint;
};

double Smooth(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// A soft round dot, white.
Painted SoftDot(double u, double v)
{
    const double r = std::hypot(u - 0.5, v - 0.5) * 2.0;
    return {1.0 - Smooth(0.0, 1.0, r), 0xFFFFFF};
}

// A raindrop streak: a thin pale line, faint at its tail (top).
Painted Raindrop(double u, double v)
{
    const double across = 1.0 - Smooth(0.1, 0.5, std::fabs(u - 0.5));
    return {across * (0.2 + 0.8 * v), 0xD8E8FF};
}

// A fish facing right, two frames side by side: tail up, tail down.
Painted FishStrip(double u, double v)
{
    const bool second = u >= 0.5;
    const double x = (second ? u - 0.5 : u) * 2.0;
    const double bx = (x - 0.6) / 0.36, by = (v - 0.5) / 0.3;
    const bool body = bx * bx + by * by < 1.0;
    const double tailTilt = second ? 0.08 : -0.08;
    const double tail = 0.26 - x;
    const bool fin = x > 0.04 && x < 0.3 && std::fabs(v - 0.5 - tailTilt * tail * 3) < 0.06 + 1.4 * std::max(tail, 0.0);
    if (!body && !fin)
        return {0.0, 0};
    const double ex = (x - 0.82) / 0.05, ey = (v - 0.43) / 0.09;
    if (ex * ex + ey * ey < 1.0)
        return {1.0, 0x102030};
    return {1.0, fin ? 0x2A9AD0u : (v < 0.52 ? 0x40C0F0u : 0xB0E8FFu)};
}

// A bird in flight: two dark wings in a shallow V.
Painted Bird(double u, double v)
{
    const double x = u - 0.5;
    const double wing = 0.55 - 0.5 * std::fabs(x) * (1.6 - 2.2 * std::fabs(x));
    const double thickness = 0.09 * (1.0 - std::fabs(x) * 1.6);
    const bool on = std::fabs(v - wing) < thickness && std::fabs(x) < 0.48;
    return {on ? 1.0 : 0.0, 0x181820};
}

// A ghost: a pale rounded sheet with a wavy hem and two dark eyes.
Painted Ghost(double u, double v)
{
    const double x = (u - 0.5) / 0.42;
    const double head = v < 0.45 ? std::hypot(x, (v - 0.45) / 0.4) : std::fabs(x);
    const double hem = 0.92 + 0.05 * std::sin(u * 6 * kPi);
    if (head > 1.0 || v > hem)
        return {0.0, 0};
    for (double ex : {0.36, 0.64})
        if (std::hypot((u - ex) / 0.06, (v - 0.4) / 0.08) < 1.0)
            return {1.0, 0x203040};
    return {0.85, 0xF0F4FF};
}

// A god ray: soft at both sides, fading toward its foot.
Painted Ray(double u, double v)
{
    const double across = 1.0 - Smooth(0.0, 0.5, std::fabs(u - 0.5));
    return {across * (1.0 - 0.8 * v), 0xFFF0C8};
}

// A fog patch: a soft cloud of overlapping round lumps.
Painted FogBlob(double u, double v)
{
    double cover = 0;
    const double lumps[][3] = {{0.5, 0.55, 0.4}, {0.3, 0.5, 0.25}, {0.7, 0.45, 0.28}, {0.5, 0.35, 0.25}};
    for (const auto& l : lumps)
        cover = std::max(cover, 1.0 - Smooth(0.0, 1.0, std::hypot(u - l[0], v - l[1]) / l[2]));
    return {cover * 0.8, 0xE8ECF0};
}

// Jagged bolts, `frames` side by side, each its own path.
Painted BoltStrip(double u, double v, int frames, bool horizontal)
{
    const int frame = std::min(int(u * frames), frames - 1);
    const double x = u * frames - frame;
    const double along = horizontal ? x : v;
    const double across = horizontal ? v : x;
    double centre = 0.5;
    for (int k = 1; k <= 5; ++k)
        centre += 0.12 / k * std::sin(along * (7.0 + 3 * k) + frame * 1.7 * k + k);
    const double d = std::fabs(across - centre);
    const double core = 1.0 - Smooth(0.0, 0.05, d);
    const double glow = (1.0 - Smooth(0.0, 0.25, d)) * 0.5;
    return {std::max(core, glow), core > 0.5 ? 0xFFFFFFu : 0xA0C0FFu};
}

Painted Lightning(double u, double v)
{
    return BoltStrip(u, v, 4, false);
}

Painted Discharge(double u, double v)
{
    return BoltStrip(u, v, 4, true);
}

// A grass blade: tapered from its foot to a point, darker at the foot.
Painted GrassBlade(double u, double v)
{
    const double half = 0.45 * v;
    const double bend = 0.15 * (1 - v) * (1 - v);
    const bool on = std::fabs(u - 0.5 - bend) < half;
    return {on ? 1.0 : 0.0, v > 0.7 ? 0x2E7A2Eu : 0x58B040u};
}

// A flower: a thin stem with two leaves and a head of five petals.
Painted Flower(double u, double v)
{
    const double hx = u - 0.5, hy = v - 0.22;
    const double r = std::hypot(hx, hy * 1.0);
    if (r < 0.08)
        return {1.0, 0xF8D030};
    const double phi = std::atan2(hy, hx);
    if (r < 0.2 + 0.12 * std::cos(5 * phi))
        return {1.0, 0xE85090};
    if (v > 0.3 && std::fabs(u - 0.5) < 0.03)
        return {1.0, 0x3A8A30};
    const double leafY = (v - 0.7) / 0.08;
    if (std::fabs(leafY) < 1.0 && std::fabs(u - 0.5) < 0.2 * (1 - leafY * leafY) + 0.03)
        return {1.0, 0x4AA040};
    return {0.0, 0};
}

const Picture kDot{u"pictures\\soft-dot.png", 161, 64, 64, SoftDot};
const Picture kRaindrop{u"pictures\\raindrop.png", 162, 16, 128, Raindrop};
const Picture kFishStrip{u"pictures\\fish-strip.png", 163, 256, 64, FishStrip};
const Picture kBird{u"pictures\\bird.png", 164, 128, 64, Bird};
const Picture kGhost{u"pictures\\ghost.png", 165, 96, 128, Ghost};
const Picture kRay{u"pictures\\ray.png", 166, 64, 256, Ray};
const Picture kFog{u"pictures\\fog.png", 167, 128, 128, FogBlob};
const Picture kLightning{u"pictures\\lightning.png", 168, 256, 128, Lightning};
const Picture kGrass{u"pictures\\grass.png", 169, 16, 128, GrassBlade};
const Picture kFlower{u"pictures\\flower.png", 170, 64, 128, Flower};
const Picture kDischarge{u"pictures\\discharge.png", 171, 512, 32, Discharge};

// A fixed GUID per object keeps the generated document the same from build
// to build.
crt::Guid DemoGuid(int n)
{
    char text[48];
    std::snprintf(text, sizeof text, "{5A1D7E00-0000-4000-8000-%012X}", n);
    return crt::ParseGuid(text);
}

// `count` sprites of `picture`, `size` picture pixels large, in the view
// (fractions left, right, top, bottom), in `colour` (COLORREF).
SpriteFields Sprites(const Picture& picture, std::uint32_t count, std::uint32_t size, std::int32_t colour,
                     std::array<float, 4> view, int guid, std::u16string name)
{
    SpriteFields sprite;
    sprite.spriteImage = {picture.path, picture.id};
    sprite.spriteCount = count;
    sprite.spriteSize = size;
    sprite.colour = colour;
    sprite.view.fractions = view;
    sprite.view.base.name = std::move(name);
    sprite.view.base.guid = DemoGuid(guid);
    return sprite;
}

void FrameStrip(SpriteFields& sprite, std::uint32_t frames, float perSecond)
{
    sprite.frameCount = frames;
    sprite.frameRate = perSecond;
    sprite.framesInOneImage = 1;
}

// The brightness swing and size range: rate, lower and upper alpha bound,
// smallest and largest size factor.
void Swing(SpriteFields& sprite, float rate, float low, float high, float scaleLow, float scaleHigh)
{
    sprite.floats = {rate, low, high, scaleLow, scaleHigh};
}

constexpr std::array<float, 4> kWhole{0.0f, 1.0f, 0.0f, 1.0f};

// ---- Light Beams ---------------------------------------------------------------

void WriteSparkles(DocumentWriter& w)
{
    SparkleFields sparkles;
    sparkles.sprite = Sprites(kDot, 40, 18, 0xFFF0E0, {0.0f, 1.0f, 0.0f, 0.45f}, 2, u"Stars");
    Swing(sparkles.sprite, 0.8f, 0.1f, 1.0f, 0.5f, 1.0f);
    sparkles.sprite.view.viewFlag = 1;
    sparkles.sprite.view.base.timing.flags = 1;
    WriteSparkle(w, sparkles);
}

void WriteLightningFlashes(DocumentWriter& w)
{
    LightingFields lighting;
    lighting.minInterval = 300;
    lighting.maxInterval = 900;
    lighting.sprite = Sprites(kLightning, 1, 260, 0xFFD0B0, {0.05f, 0.45f, 0.0f, 0.55f}, 3, u"Lightning");
    FrameStrip(lighting.sprite, 4, 12.0f);
    lighting.sprite.blendMode = 1;
    lighting.sprite.view.viewFlag = 1;
    description_writer::TimingFields& timing = lighting.sprite.view.base.timing;
    timing.selector = 1;
    timing.kind = TimelineKind::Random;
    WriteLighting(w, lighting);
}

// ---- Dusk ----------------------------------------------------------------------

void WriteBirds(DocumentWriter& w)
{
    FishKindFields birds;
    birds.fish.maxSpeedX = 90.0f;
    birds.fish.maxSpeedY = 20.0f;
    birds.fish.sprite = Sprites(kBird, 7, 110, 0xFFFFFF, {0.0f, 1.0f, 0.05f, 0.5f}, 4, u"Birds");
    Swing(birds.fish.sprite, 0.0f, 1.0f, 1.0f, 0.6f, 1.0f);
    WriteBird(w, birds);
}

void WriteGodRays(DocumentWriter& w)
{
    GodRayFields rays;
    rays.angle = 70;
    rays.sprite = Sprites(kRay, 6, 120, 0xC0E8FF, {0.45f, 0.95f, 0.0f, 1.0f}, 5, u"Sun rays");
    Swing(rays.sprite, 0.15f, 0.1f, 0.5f, 1.0f, 1.0f);
    WriteGodRay(w, rays);
}

// ---- Shapes --------------------------------------------------------------------

void WriteGhosts(DocumentWriter& w)
{
    FishKindFields ghost;
    ghost.version = 2;
    ghost.fish.maxSpeedX = ghost.fish.maxSpeedY = 50.0f;
    // Over the left of the picture, clear of the green circle.
    ghost.fish.sprite = Sprites(kGhost, 2, 150, 0xFFFFFF, {0.02f, 0.4f, 0.05f, 0.6f}, 6, u"Ghost");
    ghost.fish.sprite.transparency = 30;
    description_writer::TimingFields& timing = ghost.fish.sprite.view.base.timing;
    timing.selector = 1;
    timing.clockMode = 1;
    timing.flags = 1;
    timing.kind = TimelineKind::Random;
    timing.offMin = 100;
    timing.offMax = 300;
    timing.onMin = 300;
    timing.onMax = 500;
    timing.fadeIn = 100;
    timing.fadeOut = 150;
    WriteGhost(w, ghost);
}

// Stored bounds are the centre in picture pixels; the edges follow.
StatObjFields PlacedAt(float x, float y, std::uint32_t angle, SpriteFields sprite)
{
    StatObjFields placed;
    placed.bounds = {0, 0, 0, 0, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    placed.angle = angle;
    placed.sprite = std::move(sprite);
    return placed;
}

void WriteShapesObjects(DocumentWriter& w, float width, float height)
{
    WriteGhosts(w);
    // A warm glow behind the diamond (canvas 440, 230 of 512 x 288).
    WriteStatObj(w, PlacedAt(width * 0.86f, height * 0.8f, 0,
                             Sprites(kDot, 1, static_cast<std::uint32_t>(width * 0.2f), 0x60E0FF, kWhole, 7,
                                     u"Diamond glow")));
    // Between the red and the green circle (canvas 120, 100 and 260, 180).
    DischargeFields discharge;
    SpriteFields arc = Sprites(kDischarge, 1, static_cast<std::uint32_t>(width * 0.2f), 0xFFC0A0, kWhole, 8,
                               u"Discharge");
    FrameStrip(arc, 4, 15.0f);
    arc.blendMode = 1;
    discharge.stat = PlacedAt(width * 0.37f, height * 0.49f, 30, arc);
    WriteDischarge(w, discharge);
}

// ---- Valley --------------------------------------------------------------------

void WriteValleyObjects(DocumentWriter& w, float width, float height)
{
    RainFields rain;
    rain.flow.direction = 265;
    rain.flow.speed = 900.0f;
    rain.flow.orientation = 1;
    rain.flow.sprite = Sprites(kRaindrop, 250, 40, 0xFFFFFF, kWhole, 9, u"Rain");
    Swing(rain.flow.sprite, 1.5f, 0.2f, 0.8f, 0.5f, 1.0f);
    WriteRain(w, rain);

    // The lake: the picture's lower fifth.
    FishFields fish;
    fish.maxSpeedX = 60.0f;
    fish.maxSpeedY = 8.0f;
    fish.sprite = Sprites(kFishStrip, 4, 70, 0xFFFFFF, {0.05f, 0.95f, 0.83f, 0.97f}, 10, u"Fish");
    FrameStrip(fish.sprite, 2, 3.0f);
    WriteFish(w, fish);

    FogFields fog;
    fog.maxSpeedX = 25.0f;
    fog.maxSpeedY = 4.0f;
    fog.sprite = Sprites(kFog, 8, 420, 0xFFFFFF, {0.0f, 1.0f, 0.38f, 0.6f}, 11, u"Fog");
    Swing(fog.sprite, 0.1f, 0.2f, 1.0f, 0.7f, 1.0f);
    fog.sprite.transparency = 50;
    fog.sprite.view.base.timing.clockMode = 1;
    fog.sprite.view.base.timing.flags = 1;
    WriteFog(w, fog);

    // Along the near hill's foot, just above the lake.
    GrassFields grass;
    grass.amplitude = 6.0f;
    grass.sprite = Sprites(kGrass, 120, 70, 0xFFFFFF, {0.0f, 1.0f, 0.0f, 0.8f}, 12, u"Grass");
    Swing(grass.sprite, 0.0f, 1.0f, 1.0f, 0.6f, 1.0f);
    grass.sprite.view.base.timing.clockMode = 2;
    grass.sprite.view.base.timing.flags = 1;
    WriteGrass(w, grass);

    for (int i = 0; i < 3; ++i) {
        FlowerFields flower;
        flower.amplitude = 4.0f + 2.0f * static_cast<float>(i);
        SpriteFields head = Sprites(kFlower, 1, 110, 0xFFFFFF, kWhole, 13 + i, u"Flower " + std::u16string(1, u'1' + i));
        head.view.base.timing.clockMode = 2;
        head.view.base.timing.flags = 1;
        flower.stat = PlacedAt(width * (0.2f + 0.27f * static_cast<float>(i)), height * 0.74f, 0, head);
        WriteFlower(w, flower);
    }
}

} // namespace

void WriteDemoFlow(DocumentWriter& w, std::uint32_t, std::uint32_t)
{
    FlowFields flow;
    flow.direction = 10;
    flow.speed = 45.0f;
    flow.wobble = 8;
    flow.changeRate = 4;
    // Motes fade out where they leave and come back at the other side after
    // a short pause.
    for (BoundFields& side : flow.bounds)
        side = BoundFields{1, 0, 800, 1200, 300, 1500};
    flow.sprite = Sprites(kDot, 70, 16, 0xB0F0FF, {0.0f, 1.0f, 0.25f, 0.95f}, 1, u"Drifting motes");
    Swing(flow.sprite, 0.0f, 1.0f, 1.0f, 0.4f, 1.0f);
    flow.sprite.view.base.timing.flags = 1;
    WriteFlow(w, flow);
}

std::int32_t DemoSpriteObjectCount(std::u16string_view slideName)
{
    if (slideName == u"Light Beams")
        return 2;
    if (slideName == u"Dusk")
        return 2;
    if (slideName == u"Shapes")
        return 3;
    if (slideName == u"Valley")
        return 7;
    return 0;
}

void WriteDemoSpriteObjects(DocumentWriter& w, std::u16string_view slideName, std::uint32_t width,
                            std::uint32_t height)
{
    const float fw = static_cast<float>(width), fh = static_cast<float>(height);
    if (slideName == u"Light Beams") {
        WriteSparkles(w);
        WriteLightningFlashes(w);
    } else if (slideName == u"Dusk") {
        WriteBirds(w);
        WriteGodRays(w);
    } else if (slideName == u"Shapes") {
        WriteShapesObjects(w, fw, fh);
    } else if (slideName == u"Valley") {
        WriteValleyObjects(w, fw, fh);
    }
}

void AddDemoSpritePictures(DocResManagerRecord& record)
{
    for (const Picture* picture : {&kDot, &kRaindrop, &kFishStrip, &kBird, &kGhost, &kRay, &kFog, &kLightning, &kGrass,
                                   &kFlower, &kDischarge}) {
        const std::u16string path = picture->path;
        ModuleResourceBlob stored(path.substr(path.rfind(u'\\') + 1));
        stored.SetBytes(EncodePng(picture->width, picture->height, 4,
                                  PaintRgba(picture->width, picture->height, picture->paint)));
        record.textureSetRecords[LinkKey{picture->path, picture->id}] = {stored};
    }
}

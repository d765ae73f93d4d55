#include "tools/demoscene/NightSlide.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>

#include "objectmodel/ResourceBlob.h"
#include "render/BuiltinEffects.h"
#include "tests/support/LightGeneratorWriter.h"
#include "tests/support/PictureSceneWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace {

using namespace generator_writer;
using description_writer::StoredLink;
using description_writer::TimelineKind;

constexpr std::uint32_t kWidth = 1280;
constexpr std::uint32_t kHeight = 720;
constexpr char16_t kPicturePath[] = u"pictures\\night.png";
constexpr std::int64_t kPictureId = 501;
const StoredLink kStarLink{u"pictures\\night-star.png", 502};
const StoredLink kTrailLink{u"pictures\\night-trail.png", 503};
const StoredLink kGlowLink{u"pictures\\night-glow.png", 504};
const StoredLink kSparkLink{u"pictures\\night-spark.png", 505};
const StoredLink kBoltLink{u"pictures\\night-bolt.png", 506};
const StoredLink kPuffLink{u"pictures\\night-puff.png", 507};
const StoredLink kGlowEffectLink{u"effects\\generator-glow.fx", 510};
const StoredLink kQuadsEffectLink{u"effects\\stage0-textured-quads.fx", 511};

// The chimney's top, where the smoke starts.
constexpr float kChimneyX = 262.0f, kChimneyY = 468.0f;

double Clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

std::uint32_t Rgb(double r, double g, double b)
{
    const auto c = [](double v) { return std::uint32_t(std::lround(std::clamp(v, 0.0, 255.0))); };
    return (c(r) << 16) | (c(g) << 8) | c(b);
}

// A hash of a cell to 0..1, for the painted stars.
double Hash(std::uint32_t x, std::uint32_t y)
{
    std::uint32_t h = x * 374761393u + y * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double(h ^ (h >> 16)) / 4294967295.0;
}

// A deep sky with painted stars, a row of houses and the chimney.
std::uint32_t Night(std::uint32_t px, std::uint32_t py)
{
    const double x = px + 0.5, y = py + 0.5;
    const double t = y / kHeight;
    double r = 6 + 20 * t, g = 8 + 26 * t, b = 26 + 50 * t;
    const std::uint32_t cx = px / 9, cy = py / 9;
    if (Hash(cx, cy) > 0.985 && t < 0.6) {
        const double sx = cx * 9 + 4.5 - x, sy = cy * 9 + 4.5 - y;
        const double star = std::exp(-(sx * sx + sy * sy) / 1.5) * (0.5 + 0.5 * Hash(cy, cx));
        r += 200 * star, g += 200 * star, b += 180 * star;
    }
    const double ground = kHeight * 0.8 + 10 * std::sin(x / 90.0);
    if (y > ground)
        return Rgb(8, 10, 16);
    // Houses: blocks with roofs, and the chimney of the first.
    const double block = std::fmod(x, 210.0);
    const double houseTop = kHeight * 0.66 + 30 * std::sin(std::floor(x / 210.0) * 1.7);
    const double roof = houseTop - std::max(0.0, 50.0 - std::abs(block - 90.0) * 0.6);
    const bool chimney = x > kChimneyX - 12 && x < kChimneyX + 12 && y > kChimneyY && x < 400;
    if ((block < 180 && y > roof) || chimney) {
        const bool window = block > 40 && block < 140 && std::fmod(block, 50.0) > 20 && y > houseTop + 20 &&
                            std::fmod(y - houseTop, 60.0) > 25 && std::fmod(y - houseTop, 60.0) < 50;
        return window ? Rgb(220, 170, 80) : Rgb(14, 16, 24);
    }
    return Rgb(r, g, b);
}

// An RGBA picture from a function giving (colour, alpha 0..1).
std::vector<std::uint8_t> Rgba(std::uint32_t width, std::uint32_t height,
                               const std::function<void(double u, double v, double& l, double& a)>& paint)
{
    std::vector<std::uint8_t> pixels;
    pixels.reserve(std::size_t(width) * height * 4);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            double l = 1.0, a = 0.0;
            paint((x + 0.5) / width, (y + 0.5) / height, l, a);
            const auto byte = [](double v) { return std::uint8_t(std::lround(Clamp01(v) * 255.0)); };
            pixels.insert(pixels.end(), {byte(l), byte(l), byte(l), byte(a)});
        }
    return EncodePng(width, height, 4, pixels);
}

// A soft round dot: alpha falls from the middle to the rim as exp(-k d^2).
void SoftDot(double u, double v, double k, double& l, double& a)
{
    const double dx = u - 0.5, dy = v - 0.5;
    a = std::exp(-(dx * dx + dy * dy) * k);
    l = 1.0;
}

void Star(double u, double v, double& l, double& a)
{
    const double dx = std::abs(u - 0.5), dy = std::abs(v - 0.5);
    const double rays = std::exp(-dx * 60) * std::exp(-dy * 6) + std::exp(-dy * 60) * std::exp(-dx * 6);
    a = Clamp01(std::exp(-(dx * dx + dy * dy) * 60) + rays);
    l = 1.0;
}

// The bolt: bright across its middle in v, the same all along u (it
// repeats along the bolt).
void Bolt(double, double v, double& l, double& a)
{
    const double d = std::abs(v - 0.5);
    a = Clamp01(std::exp(-d * d * 40));
    l = Clamp01(0.7 + 0.3 * std::exp(-d * d * 200));
}

// A smoke puff: a soft grey cloud, denser in a few lumps.
void Puff(double u, double v, double& l, double& a)
{
    const double dx = u - 0.5, dy = v - 0.5;
    const double lumps = 0.8 + 0.2 * std::sin(u * 11.0 + 1.0) * std::sin(v * 9.0 + 2.0);
    a = Clamp01(std::exp(-(dx * dx + dy * dy) * 14.0) * lumps) * 0.55;
    l = 0.8 + 0.1 * std::sin(u * 7.0 + v * 5.0);
}

void StorePicture(DocResManagerRecord& record, const StoredLink& link, std::vector<std::uint8_t> png)
{
    ModuleResourceBlob stored(link.path.substr(link.path.rfind(u'\\') + 1));
    stored.SetBytes(std::move(png));
    record.textureSetRecords[LinkKey{link.path, link.id}] = {stored};
}

void StoreEffect(DocResManagerRecord& record, const StoredLink& link, std::string_view builtin)
{
    const auto bytes = FindBuiltinEffectSource(builtin);
    ModuleResourceBlob stored(link.path.substr(link.path.rfind(u'\\') + 1));
    stored.SetBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    record.storedResources[LinkKey{link.path, link.id}] = {stored};
}

TexGeneratorFields Textured(std::u16string name, std::vector<StoredLink> textures, const StoredLink& effect,
                            std::int32_t colour, std::int32_t colour2)
{
    TexGeneratorFields textured;
    textured.textures = std::move(textures);
    textured.effect = effect;
    textured.colour = colour;
    textured.opacity = 0; // transparency percentages: opaque
    textured.colour2 = colour2;
    textured.opacity2 = 0;
    textured.generator.base.name = std::move(name);
    return textured;
}

// A random timeline: off, on and fade lengths in hundredths of a second.
void RandomTimeline(description_writer::ConstructorFields& base, std::uint32_t offMin, std::uint32_t offMax,
                    std::uint32_t on, std::uint32_t fadeIn, std::uint32_t fadeOut)
{
    base.timing.selector = 1;
    base.timing.kind = TimelineKind::Random;
    base.timing.offMin = offMin;
    base.timing.offMax = offMax;
    base.timing.onMin = base.timing.onMax = on;
    base.timing.fadeIn = fadeIn;
    base.timing.fadeOut = fadeOut;
}

void WriteSmokeObject(DocumentWriter& w)
{
    SmokeFields smoke;
    smoke.drift = 58; // a light breeze to the right
    OriginGeneratorFields& origin = smoke.origin;
    origin.launchLifetime = 100; // 4 s
    origin.launchRate = 9;
    origin.launchSize = 110;
    origin.direction = 90;
    origin.spread = 12;
    origin.originSpeed = 50;
    origin.base.position = {kChimneyX, kChimneyY, 0.0f};
    // COLORREF (0x00BBGGRR): a cool grey.
    origin.base.textured = Textured(u"Chimney Smoke", {kPuffLink}, kQuadsEffectLink, 0xC8BEB4, 0xC8BEB4);
    origin.base.textured.opacity = 30; // 70 % visible
    WriteSmoke(w, smoke);
}

void WriteStarsObject(DocumentWriter& w)
{
    FallingStarsFields stars;
    stars.starSpeed = 40; // 320 px/s
    stars.starRate = 40;  // 0.8 a second
    stars.direction = 200;
    stars.starSize = 18;
    stars.glowFactor = 75; // glows 4 x
    stars.holdTime = 60;
    stars.fadeInTime = 30;
    stars.fadeOutTime = 50;
    stars.region = RectangleQuad(kWidth / 2.0f, 150.0f, float(kWidth) - 100.0f, 260.0f);
    stars.textured = Textured(u"Falling Stars", {kStarLink, kTrailLink, kGlowLink, kGlowLink}, kGlowEffectLink,
                              0xFFF4E8, 0xFFC080);
    stars.textured.colour2 = 0xFFC080;
    stars.textured.opacity2 = 55;
    GeneratorFields& trails = stars.textured.generator;
    trails.lifetime = 60; // 0.6 s
    trails.rate = 30;     // 60 trail particles a second
    trails.size = 45;     // trails a bit under half a star
    trails.speed = 4;
    trails.emissionSwitch = 1;
    WriteFallingStars(w, stars);
}

void WriteFireworksObject(DocumentWriter& w)
{
    FireworkFields firework;
    firework.rocketCount = 14;
    firework.quadSize = 7;
    firework.rocketSpeed = 45; // 180 px/s
    firework.glowFactor = 100; // glows 5 x
    OriginGeneratorFields& origin = firework.origin;
    origin.originSpeed = 50;
    origin.base.position = {900.0f, 230.0f, 0.0f};
    origin.base.textured = Textured(u"Fireworks", {kSparkLink}, kGlowEffectLink, 0x60D0FF, 0x2060FF);
    origin.base.textured.opacity2 = 40;
    GeneratorFields& sparks = origin.base.textured.generator;
    sparks.lifetime = 120; // 1.2 s
    sparks.rate = 12;      // 25 sparks a second per rocket
    sparks.size = 5;       // grow by half
    sparks.speed = 20;
    sparks.emissionSwitch = 1;
    RandomTimeline(sparks.base, 150, 350, 120, 10, 60);
    WriteFireworkSimple(w, firework);
}

void WriteLightningObject(DocumentWriter& w)
{
    LightningFields bolt;
    bolt.coreWidth = 7;
    bolt.passes = 6;
    bolt.jaggedness = 70;
    bolt.branchLength = 45;
    bolt.branchAngle = 22;
    bolt.endWidth = 75; // ends at a quarter of its start width
    bolt.branches = 4;
    bolt.subBranches = 3;
    bolt.twigs = 5;
    bolt.flicker = 35;
    bolt.glowWidth = 36;
    bolt.randomFlag = 1; // a new shape every strike
    bolt.string.start = {640.0f, 0.0f, 0.0f};
    bolt.string.end = {560.0f, 470.0f, 0.0f};
    bolt.string.textured = Textured(u"Lightning", {kBoltLink}, kGlowEffectLink, 0xFFF0E0, 0xFFA070);
    bolt.string.textured.opacity2 = 45;
    RandomTimeline(bolt.string.textured.generator.base, 250, 500, 40, 8, 45);
    WriteLightning(w, bolt);
}

} // namespace

void WriteNightSlide(DocumentWriter& w, DocResManagerRecord& record)
{
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.0f).Float(1.5f).Float(12.0f).Int(0).WideString(u"Night");
    picture_scene_writer::LightFields light;
    light.backgroundPath = kPicturePath;
    light.backgroundId = kPictureId;
    light.camera.mode = 0;
    picture_scene_writer::WriteLightRecord(w, light);
    w.Count(4);
    WriteSmokeObject(w);
    WriteStarsObject(w);
    WriteFireworksObject(w);
    WriteLightningObject(w);
    w.Count(0); // no sounds

    ModuleResourceBlob stored(u"night.png");
    stored.SetBytes(EncodePng(kWidth, kHeight, 3, PixelsOf(kWidth, kHeight, Night)));
    record.textureSetRecords[LinkKey{kPicturePath, kPictureId}] = {stored};
    StorePicture(record, kStarLink, Rgba(32, 32, Star));
    StorePicture(record, kTrailLink, Rgba(16, 16, [](double u, double v, double& l, double& a) { SoftDot(u, v, 14, l, a); }));
    StorePicture(record, kGlowLink, Rgba(32, 32, [](double u, double v, double& l, double& a) { SoftDot(u, v, 12, l, a); }));
    StorePicture(record, kSparkLink, Rgba(16, 16, [](double u, double v, double& l, double& a) { SoftDot(u, v, 18, l, a); }));
    StorePicture(record, kBoltLink, Rgba(32, 32, Bolt));
    StorePicture(record, kPuffLink, Rgba(64, 64, Puff));
    StoreEffect(record, kGlowEffectLink, "generator-glow");
    StoreEffect(record, kQuadsEffectLink, "stage0-textured-quads");
}

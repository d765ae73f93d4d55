#include "tools/demoscene/EffectsSlide.h"

#include <bit>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "objectmodel/ResourceBlob.h"
#include "platform/crt/Guid.h"
#include "tools/demoscene/PngPicture.h"
#include "tests/support/ImageEffectWriter.h"
#include "tests/support/PictureSceneWriter.h"

namespace demo_scene {
namespace {

// Pictures are stored as PNG, which keeps the embedded document small.
std::vector<std::uint8_t> PngPictureOf(std::uint32_t width, std::uint32_t height,
                                       const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& pixel)
{
    return EncodePng(width, height, 3, PixelsOf(width, height, pixel));
}

using namespace image_effect_writer;
using Painter = std::function<std::uint32_t(std::uint32_t x, std::uint32_t y)>;

const LinkKey kPicture{u"pictures\\lagoon.png", 104};
const LinkKey kPattern{u"pictures\\sand-pattern.png", 105};

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t)
{
    t = std::fmin(std::fmax(t, 0.0), 1.0);
    const auto part = [&](int shift) {
        return std::uint32_t(std::lround(((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t)) << shift;
    };
    return part(16) | part(8) | part(0);
}

// A bright sky with a sun, a sandy shore with palms' shadows, a lagoon
// filling the lower third. Measured in fractions of the picture.
Painter Lagoon(std::uint32_t width, std::uint32_t height)
{
    return [width, height](std::uint32_t x, std::uint32_t y) {
        const double fx = double(x) / width, fy = double(y) / height;
        const double sun = std::hypot((fx - 0.75) * width / height, fy - 0.2);
        if (fy >= 2.0 / 3.0)
            return Mix(0x40B0C0, 0x104060, (fy - 2.0 / 3.0) * 3.0);
        const double shore = 0.55 + 0.04 * std::sin(fx * 11.0);
        if (fy >= shore)
            return Mix(0xE8D8A0, 0xC0A060, (fy - shore) / (2.0 / 3.0 - shore));
        if (sun < 0.06)
            return std::uint32_t(0xFFF4C0);
        const std::uint32_t sky = Mix(0x3070D0, 0xA0D0F0, fy / shore);
        return sun < 0.14 ? Mix(0xFFE8A0, sky, (sun - 0.06) / 0.08) : sky;
    };
}

// A mask picture in grey levels: the effect applies with `weight` (0 to 1)
// of its strength.
std::vector<std::uint8_t> GreyMask(std::uint32_t width, std::uint32_t height,
                                   const std::function<double(double fx, double fy)>& weight)
{
    return PngPictureOf(width, height, [&](std::uint32_t x, std::uint32_t y) {
        const double w = std::fmin(std::fmax(weight(double(x) / width, double(y) / height), 0.0), 1.0);
        return std::uint32_t(std::lround(w * 255.0)) * 0x010101u;
    });
}

// A mask picture: white where `inside` holds, black elsewhere (the effect
// applies where it is white).
std::vector<std::uint8_t> Mask(std::uint32_t width, std::uint32_t height,
                               const std::function<bool(double fx, double fy)>& inside)
{
    return GreyMask(width, height, [&](double fx, double fy) { return inside(fx, fy) ? 1.0 : 0.0; });
}

// One image effect of the slide: its fixed key and the mask stored under it.
FxFields Fx(const char* guid, std::uint32_t speed, DocResManagerRecord& record, std::vector<std::uint8_t> mask)
{
    FxFields fx;
    fx.guid = crt::ParseGuid(guid);
    fx.base.guid = fx.guid;
    fx.speed = speed;
    if (!mask.empty()) {
        GuidTextureRecord stored;
        stored.key = GuidNameKey{fx.guid, u"", 1};
        stored.blob = ResourceBlob(u"mask.png");
        stored.blob.SetBytes(std::move(mask));
        record.guidTextures[stored.key] = std::move(stored);
    }
    return fx;
}

StoredLink CommonRes(std::int64_t id)
{
    return {u"common_res.dll", id};
}

// Two frames of a sand pattern with glinting grains that alternate every
// half second.
void StorePattern(DocResManagerRecord& record)
{
    std::vector<ModuleResourceBlob> frames;
    for (int frame = 0; frame < 2; ++frame) {
        ModuleResourceBlob blob(u"sand-pattern.png");
        blob.SetBytes(PngPictureOf(32, 32, [frame](std::uint32_t x, std::uint32_t y) {
            const double ripple = 0.5 + 0.5 * std::sin((double(x) + 2.0 * double(y)) * 0.39);
            const std::uint32_t sand = Mix(0xE8D8A0, 0xC8A868, ripple);
            const double d = std::hypot(double(x) - 10 - frame * 12, double(y) - 12 - frame * 6);
            return d < 3 ? Mix(0xFFFFF0, sand, d / 3.0) : sand;
        }));
        frames.push_back(std::move(blob));
    }
    record.textureSetRecords[kPattern] = frames;
    // Frame durations in seconds, as float bit patterns.
    record.textureSetValues[kPattern] = {std::bit_cast<std::uint32_t>(0.5f), std::bit_cast<std::uint32_t>(0.5f)};
}

} // namespace

void WriteEffectsSlide(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width, std::uint32_t height)
{
    const std::uint32_t mw = 128, mh = 72; // masks are stretched over the picture
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.5f).Float(1.5f).Float(12.0f).Int(0).WideString(u"Lagoon");
    picture_scene_writer::LightFields light;
    light.backgroundPath = kPicture.path;
    light.backgroundId = kPicture.id;
    picture_scene_writer::WriteLightRecord(w, light);

    // Drawn from the last to the first: the picture's own effects first,
    // then the lights over them.
    w.Count(7);
    LightIIFields glow; // a warm light over the sky in screen mode
    glow.strength = 45;
    glow.flickerMode = 1;
    glow.blendMode = 1;
    glow.colour = 0x2080FF;
    glow.fx = Fx("{5B0E1C2D-3A4F-4B6C-8D7E-9F0A1B2C3D01}", 1, record,
                 Mask(mw, mh, [](double, double fy) { return fy < 0.45; }));
    glow.fx.effectLink = CommonRes(190);
    WriteLightII(w, glow);

    // The sun flickers, fading out towards the edge of its halo. A mask
    // texel spans 15 x 15 pixels of a full-HD picture: a hard-edged circle
    // would show its texels as stair steps along the halo's edge, while a
    // ramp over several texels interpolates into a smooth rim.
    LightFields sun;
    sun.strength = 60;
    sun.flickerMode = 2;
    sun.fx = Fx("{5B0E1C2D-3A4F-4B6C-8D7E-9F0A1B2C3D02}", 3, record, GreyMask(mw, mh, [&](double fx, double fy) {
                    return (0.16 - std::hypot((fx - 0.75) * width / height, fy - 0.2)) / 0.06;
                }));
    sun.fx.effectLink = CommonRes(76);
    WriteLight(w, sun);

    PatternFields sparkle; // glinting sand on the shore
    sparkle.pattern = {kPattern.path, kPattern.id};
    sparkle.tileSize = 150;
    sparkle.angle = 20;
    sparkle.fx = Fx("{5B0E1C2D-3A4F-4B6C-8D7E-9F0A1B2C3D03}", 50, record,
                    Mask(mw, mh, [](double fx, double fy) { return fy > 0.58 && fy < 0.66 && fx < 0.5; }));
    sparkle.fx.effectLink = CommonRes(78);
    WritePatternBrush(w, sparkle);

    MoveFields swing; // the palm shadows on the right swing
    swing.kind = 3;
    swing.secondMagnitude = 40;
    swing.direction.magnitude = 40;
    swing.direction.angle = 0;
    swing.direction.fx = Fx("{5B0E1C2D-3A4F-4B6C-8D7E-9F0A1B2C3D04}", 60, record,
                            Mask(mw, mh, [](double fx, double fy) { return fx > 0.55 && fy > 0.5 && fy < 0.66; }));
    swing.direction.fx.effectLink = CommonRes(91);
    WriteMove(w, swing);

    WavesFields waves; // waves along a band of the lagoon
    waves.amplitude = 20;
    waves.wavelength = 60;
    waves.angle = 90;
    waves.fx = Fx("{5B0E1C2D-3A4F-4B6C-8D7E-9F0A1B2C3D05}", 20, record,
                  Mask(mw, mh, [](double, double fy) { return fy > 0.7 && fy < 0.82; }));
    waves.fx.effectLink = CommonRes(77);
    WriteWaves(w, waves);

    WaterFields water; // the lagoon's surface
    water.colour = 0xE8F0D8;
    water.shadows = 30;
    water.fx = Fx("{5B0E1C2D-3A4F-4B6C-8D7E-9F0A1B2C3D06}", 50, record,
                  Mask(mw, mh, [](double, double fy) { return fy >= 2.0 / 3.0; }));
    water.fx.scale = 30;
    water.fx.effectLink = CommonRes(90);
    WriteWater(w, water);

    UnderwaterFields wobble; // the deep water wobbles
    wobble.amplitude = 30;
    wobble.fx = Fx("{5B0E1C2D-3A4F-4B6C-8D7E-9F0A1B2C3D07}", 25, record,
                   Mask(mw, mh, [](double, double fy) { return fy > 0.85; }));
    wobble.fx.effectLink = CommonRes(88);
    WriteUnderwater(w, wobble);

    w.Count(0); // no sounds

    ModuleResourceBlob picture(u"lagoon.png");
    picture.SetBytes(PngPictureOf(width, height, Lagoon(width, height)));
    record.textureSetRecords[kPicture] = {picture};
    StorePattern(record);
}

} // namespace demo_scene

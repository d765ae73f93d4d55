#include "tools/demoscene/FireLightSlides.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "objectmodel/ResourceBlob.h"
#include "platform/crt/Guid.h"
#include "render/BuiltinEffects.h"
#include "tests/support/ImageEffectWriter.h"
#include "tests/support/LightWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace demo_scene {
namespace {

using namespace image_effect_writer;
using Painter = std::function<std::uint32_t(std::uint32_t x, std::uint32_t y)>;

// The slides' pictures are half HD: the picture scene fits them to the view.
constexpr std::uint32_t kWidth = 960, kHeight = 540;

const LinkKey kHearth{u"pictures\\hearth.png", 131};
const LinkKey kVillage{u"pictures\\village.png", 132};
const LinkKey kReef{u"pictures\\reef.png", 133};
const LinkKey kPortrait{u"pictures\\portrait.png", 134};
const LinkKey kNightEffect{u"effects\\day-to-night.fx", 135};

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    const auto part = [&](int shift) {
        return std::uint32_t(std::lround(((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t)) << shift;
    };
    return part(16) | part(8) | part(0);
}

void StorePicture(DocResManagerRecord& record, const LinkKey& link, const Painter& paint)
{
    ModuleResourceBlob blob(link.path.substr(link.path.rfind(u'\\') + 1));
    blob.SetBytes(EncodePng(kWidth, kHeight, 3, PixelsOf(kWidth, kHeight, paint)));
    record.textureSetRecords[link] = {blob};
}

// A dark blue night over black hills.
std::uint32_t Hearth(std::uint32_t x, std::uint32_t y)
{
    const double fx = double(x) / kWidth, fy = double(y) / kHeight;
    const double hill = 0.62 + 0.06 * std::sin(fx * 7.0) + 0.03 * std::sin(fx * 23.0);
    if (fy > hill)
        return Mix(0x181010, 0x080404, (fy - hill) * 3);
    std::uint32_t h = x * 73856093u ^ y * 19349663u;
    h = (h ^ (h >> 13)) * 1274126177u;
    const bool star = (h >> 8) % 1500u == 0;
    return star ? 0xE0E0FF : Mix(0x102040, 0x403850, fy / hill);
}

// Houses under a blue sky on green ground.
std::uint32_t Village(std::uint32_t x, std::uint32_t y)
{
    const double fx = double(x) / kWidth, fy = double(y) / kHeight;
    if (fy > 0.7)
        return Mix(0x60A040, 0x305020, (fy - 0.7) * 3);
    const double house = std::fmod(fx * 6.0, 1.0);
    const double roof = 0.45 + std::abs(house - 0.5) * 0.3;
    if (fy > roof && fy > 0.5 && house > 0.2 && house < 0.8)
        return (house > 0.42 && house < 0.58 && fy > 0.6) ? 0x503018 : 0xE0D0B0;
    if (fy > roof && house > 0.15 && house < 0.85)
        return 0xA03020;
    return Mix(0x50A0F0, 0xC0E0FF, fy / 0.7);
}

// Sand with rocks under blue-green water light.
std::uint32_t Reef(std::uint32_t x, std::uint32_t y)
{
    const double fx = double(x) / kWidth, fy = double(y) / kHeight;
    const double sand = 0.7 + 0.05 * std::sin(fx * 9.0);
    if (fy > sand)
        return Mix(0xC8B888, 0x807050, (fy - sand) * 3);
    const double rock = std::hypot((fx - 0.3) * 1.8, fy - 0.75);
    if (rock < 0.15)
        return Mix(0x505860, 0x303840, rock / 0.15);
    return Mix(0x40A0C0, 0x083048, fy);
}

// A bright disc face-on-black: the code rain shows it in its glyphs.
std::uint32_t Portrait(std::uint32_t x, std::uint32_t y)
{
    const double fx = double(x) / kWidth, fy = double(y) / kHeight;
    const double d = std::hypot((fx - 0.5) * kWidth / kHeight, fy - 0.45);
    if (d < 0.3)
        return Mix(0xF0F0F0, 0x606060, d / 0.3);
    return fy > 0.8 ? Mix(0x404040, 0x000000, (fy - 0.8) * 5) : 0x000000;
}

// One effect's key, with a grey mask stored under it when `weight` is set.
FxFields Fx(const char* guid, std::uint32_t speed, DocResManagerRecord& record,
            const std::function<double(double, double)>& weight = {})
{
    FxFields fx;
    fx.guid = crt::ParseGuid(guid);
    fx.base.guid = fx.guid;
    fx.speed = speed;
    if (weight) {
        constexpr std::uint32_t kMaskWidth = 128, kMaskHeight = 72;
        GuidTextureRecord stored;
        stored.key = GuidNameKey{fx.guid, u"", 1};
        stored.blob = ResourceBlob(u"mask.png");
        stored.blob.SetBytes(EncodePng(kMaskWidth, kMaskHeight, 3,
                                       PixelsOf(kMaskWidth, kMaskHeight, [&](std::uint32_t x, std::uint32_t y) {
                                           const double w = std::clamp(
                                               weight(double(x) / kMaskWidth, double(y) / kMaskHeight), 0.0, 1.0);
                                           return std::uint32_t(std::lround(w * 255.0)) * 0x010101u;
                                       })));
        record.guidTextures[stored.key] = std::move(stored);
    }
    return fx;
}

// A region given in fractions of the picture: corners top left, bottom
// left, top right, bottom right.
std::array<float, 12> Region(double left, double top, double right, double bottom)
{
    const float l = float(left * kWidth), t = float(top * kHeight), r = float(right * kWidth),
                b = float(bottom * kHeight);
    return {l, t, 0, l, b, 0, r, t, 0, r, b, 0};
}

picture_scene_writer::LightFields Level(const LinkKey& picture)
{
    picture_scene_writer::LightFields light;
    light.backgroundPath = picture.path;
    light.backgroundId = picture.id;
    return light;
}

void BeginSlide(DocumentWriter& w, const char16_t* name)
{
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.5f).Float(1.5f).Float(12.0f).Int(0).WideString(name);
}

void WriteHearth(DocumentWriter& w)
{
    BeginSlide(w, u"Hearth");
    light_writer::FlameLightFields flame;
    flame.flameOffset = 4;
    flame.hazeStrength = 30;
    flame.fire.colour1 = 0x40E0FF;
    flame.light = Level(kHearth);
    light_writer::WriteFlameLight(w, flame);
    w.Count(0);
    w.Count(0);
}

void WriteNightfall(DocumentWriter& w, DocResManagerRecord& record)
{
    BeginSlide(w, u"Nightfall");
    picture_scene_writer::WriteLightRecord(w, Level(kVillage));
    // Drawn from the last to the first: night, then the fire, then the heat
    // over both.
    w.Count(3);
    HeatFields heat;
    heat.shimmerSpeed = 400;
    heat.strength = 60;
    heat.bumpScale = 20;
    heat.fx = Fx("{6C1F2D3E-4B50-4C7D-9E8F-A01B2C3D4E01}", 1, record, [](double fx, double fy) {
        return fx > 0.38 && fx < 0.62 && fy > 0.42 && fy < 0.78 ? 1.0 : 0.0;
    });
    heat.fx.mode = 1;
    heat.fx.effectLink = {u"common_res.dll", 63};
    WriteHeat(w, heat);

    FireFields fire;
    fire.fx = Fx("{6C1F2D3E-4B50-4C7D-9E8F-A01B2C3D4E02}", 50, record);
    fire.fx.effectLink = {u"common_res.dll", 92};
    fire.fx.region = Region(0.42, 0.6, 0.58, 0.9);
    fire.patternWidth = 100;
    fire.brightness = 20;
    WriteFire(w, fire);

    DayToNightFields night;
    night.multiplyColour = 0x906050; // COLORREF: a dark blue
    night.hue = 220;
    night.saturation = 70;
    night.brightness = 30;
    night.softLight = {0.09f, 0.15f, 0.3f, 1.0f};
    night.desaturation = 50;
    night.fx = Fx("{6C1F2D3E-4B50-4C7D-9E8F-A01B2C3D4E03}", 1, record);
    night.fx.effectLink = {kNightEffect.path, kNightEffect.id};
    night.fx.region = Region(0.0, 0.0, 1.0, 1.0);
    // Dusk after one second, full night after six.
    night.fx.base.timing.selector = 1;
    night.fx.base.timing.kind = description_writer::TimelineKind::Random;
    night.fx.base.timing.offMin = night.fx.base.timing.offMax = 100;
    night.fx.base.timing.fadeIn = 500;
    night.fx.base.timing.onMin = night.fx.base.timing.onMax = 2000;
    night.fx.base.timing.fadeOut = 100;
    WriteDayToNight(w, night);
    w.Count(0);

    const auto source = FindBuiltinEffectSource("day-to-night");
    ModuleResourceBlob effect(u"day-to-night.fx");
    effect.SetBytes(std::vector<std::uint8_t>(source.begin(), source.end()));
    record.storedResources[kNightEffect] = {effect};
}

void WriteReef(DocumentWriter& w, DocResManagerRecord& record)
{
    BeginSlide(w, u"Reef");
    light_writer::UnderwaterLightFields water;
    water.effect.amplitude = 60;
    water.effect.wavelength = 60;
    water.light = Level(kReef);
    light_writer::WriteUnderwaterLight(w, water);
    w.Count(2);
    LightIIFields glow; // a shaft of light over the rock
    glow.strength = 50;
    glow.flickerMode = 1;
    glow.colour = 0xE0FFC0;
    glow.fx = Fx("{6C1F2D3E-4B50-4C7D-9E8F-A01B2C3D4E04}", 5, record,
                 [](double fx, double fy) { return 1.0 - std::abs(fx - 0.3 - fy * 0.2) * 8.0; });
    glow.fx.effectLink = {u"common_res.dll", 190};
    WriteLightII(w, glow);
    WavesFields waves; // ripples over the sand
    waves.amplitude = 30;
    waves.wavelength = 80;
    waves.angle = 90;
    waves.fx = Fx("{6C1F2D3E-4B50-4C7D-9E8F-A01B2C3D4E05}", 20, record,
                  [](double, double fy) { return fy > 0.72 ? 1.0 : 0.0; });
    waves.fx.effectLink = {u"common_res.dll", 77};
    WriteWaves(w, waves);
    w.Count(0);
}

void WriteCodeRain(DocumentWriter& w)
{
    BeginSlide(w, u"Code rain");
    light_writer::MatrixCodeLightFields matrix;
    matrix.cellSize = 16;
    matrix.speed = 40;
    matrix.highlightCount = 40;
    matrix.flicker = 1;
    matrix.tintMode = 1;
    matrix.directionMode = 2;
    matrix.glyphColour = 0x40FF60;
    matrix.highlightColour = 0xE0FFE0;
    matrix.light = Level(kPortrait);
    light_writer::WriteMatrixCodeLight(w, matrix);
    w.Count(0);
    w.Count(0);
}

} // namespace

void WriteFireLightSlides(DocumentWriter& w, DocResManagerRecord& record)
{
    WriteHearth(w);
    WriteNightfall(w, record);
    WriteReef(w, record);
    WriteCodeRain(w);
    StorePicture(record, kHearth, Hearth);
    StorePicture(record, kVillage, Village);
    StorePicture(record, kReef, Reef);
    StorePicture(record, kPortrait, Portrait);
}

} // namespace demo_scene

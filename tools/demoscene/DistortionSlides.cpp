#include "tools/demoscene/DistortionSlides.h"

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "objectmodel/ResourceBlob.h"
#include "platform/crt/Guid.h"
#include "render/BuiltinEffects.h"
#include "tests/support/DistortionEffectWriter.h"
#include "tests/support/PictureSceneWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace demo_scene {
namespace {

using namespace image_effect_writer;
using Painter = std::function<std::uint32_t(std::uint32_t x, std::uint32_t y)>;

const LinkKey kFallsPicture{u"pictures\\falls.png", 120};
const LinkKey kTilesPicture{u"pictures\\tiles.png", 121};
const LinkKey kCloudPicture{u"pictures\\clouds.png", 122};
const LinkKey kNoisePicture{u"pictures\\water-noise.png", 123};

// Masks are stretched over the picture.
constexpr std::uint32_t kMaskWidth = 128, kMaskHeight = 72;

std::vector<std::uint8_t> Png(std::uint32_t width, std::uint32_t height, const Painter& pixel)
{
    return EncodePng(width, height, 3, PixelsOf(width, height, pixel));
}

std::uint32_t Blend(std::uint32_t a, std::uint32_t b, double t)
{
    t = std::fmin(std::fmax(t, 0.0), 1.0);
    const auto part = [&](int shift) {
        return std::uint32_t(std::lround(((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t)) << shift;
    };
    return part(16) | part(8) | part(0);
}

// A smooth value noise that tiles over a period of `cells` cells.
double TilingNoise(double u, double v, int cells, std::uint32_t seed)
{
    const auto lattice = [&](int i, int j) {
        std::uint32_t h = std::uint32_t((i % cells + cells) % cells) * 73856093u ^
                          std::uint32_t((j % cells + cells) % cells) * 19349663u ^ seed;
        h ^= h >> 13;
        h *= 0x5BD1E995u;
        h ^= h >> 15;
        return double(h & 0xFFFF) / 65535.0;
    };
    const double x = u * cells, y = v * cells;
    const int i = int(std::floor(x)), j = int(std::floor(y));
    const double fx = x - i, fy = y - j;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double top = lattice(i, j) * (1 - sx) + lattice(i + 1, j) * sx;
    const double bottom = lattice(i, j + 1) * (1 - sx) + lattice(i + 1, j + 1) * sx;
    return top * (1 - sy) + bottom * sy;
}

double Clouds(double u, double v)
{
    return 0.55 * TilingNoise(u, v, 4, 11) + 0.3 * TilingNoise(u, v, 8, 23) + 0.15 * TilingNoise(u, v, 16, 37);
}

// The falls: a sky band over the top 30 %, a dark cliff on the left with
// its face at x 0.3..0.45, green hills, a lake over the bottom quarter.
Painter Falls(std::uint32_t width, std::uint32_t height)
{
    return [width, height](std::uint32_t x, std::uint32_t y) {
        const double fx = double(x) / width, fy = double(y) / height;
        if (fy > 0.75)
            return Blend(0x3080A0, 0x103050, (fy - 0.75) * 4.0);
        const double cliffEdge = 0.45 - 0.03 * std::sin(fy * 17.0);
        // The stream of water down the cliff's face.
        if (fx > 0.335 && fx < 0.415 && fy > 0.25) {
            const double streak = 0.5 + 0.5 * std::sin(fx * 420.0 + std::sin(fy * 25.0));
            return Blend(0xF0F8FF, 0x80B0D8, streak * 0.7 + (fy - 0.25) * 0.5);
        }
        if (fx < cliffEdge && fy > 0.22) {
            const double rock = 0.5 + 0.5 * std::sin(fx * 90.0 + std::sin(fy * 40.0) * 3.0);
            return Blend(0x5A5048, 0x3A3430, rock);
        }
        const double hill = 0.45 + 0.06 * std::sin(fx * 9.0 + 1.0);
        if (fy > hill)
            return Blend(0x60A050, 0x306028, (fy - hill) / (0.75 - hill));
        return Blend(0x4080D8, 0xB8D8F0, fy / 0.45);
    };
}

// Tiles in two tones with a round sun in the middle: distortions show.
Painter Tiles(std::uint32_t width, std::uint32_t height)
{
    return [width, height](std::uint32_t x, std::uint32_t y) {
        const double fx = double(x) / width, fy = double(y) / height;
        const double sun = std::hypot((fx - 0.5) * width / height, fy - 0.5);
        if (sun < 0.12)
            return Blend(0xFFD040, 0xFF8020, sun / 0.12);
        const bool dark = ((x / 60) + (y / 60)) % 2 != 0;
        const bool line = x % 60 < 3 || y % 60 < 3;
        return line ? 0x202830u : dark ? Blend(0x2050A0, 0x205070, fy) : Blend(0xE0E8F0, 0xC0D0E0, fy);
    };
}

// A grey mask: the effect applies with the weight (0..1) of its strength.
std::vector<std::uint8_t> Mask(const std::function<double(double fx, double fy)>& weight)
{
    return Png(kMaskWidth, kMaskHeight, [&](std::uint32_t x, std::uint32_t y) {
        const double w = std::fmin(std::fmax(weight(double(x) / kMaskWidth, double(y) / kMaskHeight), 0.0), 1.0);
        return std::uint32_t(std::lround(w * 255.0)) * 0x010101u;
    });
}

// An effect level: its key with the mask stored under it, its link, its
// speed and its region.
FxFields Fx(std::uint8_t n, DocResManagerRecord& record, std::vector<std::uint8_t> mask, const StoredLink& link,
            std::uint32_t speed, const std::array<float, 12>& region)
{
    FxFields fx;
    const std::uint8_t bytes[16] = {0x7C, 0x3D, 0x21, 0x5E, 0x6B, 0x10, 0x4A, 0x8F,
                                    0x9E, 0x02, 0x4C, 0xD1, 0x36, 0xA8, 0x5F, n};
    fx.guid = crt::GuidFromBytes(bytes);
    fx.base.guid = fx.guid;
    fx.effectLink = link;
    fx.speed = speed;
    fx.region = region;
    GuidTextureRecord stored;
    stored.key = GuidNameKey{fx.guid, u"", 1};
    stored.blob = ResourceBlob(u"mask.png");
    stored.blob.SetBytes(std::move(mask));
    record.guidTextures[stored.key] = std::move(stored);
    return fx;
}

// The document's own copy of built-in effect `name` under `link`.
StoredLink StoredEffect(DocResManagerRecord& record, std::string_view name, std::int64_t id)
{
    const StoredLink link{u"effects\\" + std::u16string(name.begin(), name.end()) + u".fx", id};
    const auto bytes = FindBuiltinEffectSource(name);
    ModuleResourceBlob stored(link.path.substr(link.path.rfind(u'\\') + 1));
    stored.SetBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    record.storedResources[LinkKey{link.path, link.id}] = {stored};
    return link;
}

std::array<float, 12> Rect(float x0, float y0, float x1, float y1)
{
    return {x0, y0, 0, x1, y0, 0, x0, y1, 0, x1, y1, 0};
}

void StorePicture(DocResManagerRecord& record, const LinkKey& key, std::vector<std::uint8_t> png)
{
    ModuleResourceBlob blob(key.path.substr(key.path.rfind(u'\\') + 1));
    blob.SetBytes(std::move(png));
    record.textureSetRecords[key] = {blob};
}

void BeginSlide(DocumentWriter& w, std::u16string_view name, const LinkKey& picture, float length)
{
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.5f).Float(1.5f).Float(length).Int(0).WideString(std::u16string(name));
    picture_scene_writer::LightFields light;
    light.backgroundPath = picture.path;
    light.backgroundId = picture.id;
    picture_scene_writer::WriteLightRecord(w, light);
}

void WriteFalls(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width, std::uint32_t height)
{
    const float W = float(width), H = float(height);
    BeginSlide(w, u"Falls", kFallsPicture, 12.0f);
    w.Count(4);

    CloudFields clouds; // across the sky band, the picture showing between them
    clouds.colour1 = 0xFFFFFF;
    clouds.colour2 = 0xC8B8B0;
    clouds.cloud = {kCloudPicture.path, kCloudPicture.id};
    clouds.threshold = 60;
    clouds.density = 45;
    clouds.horizon = 100;
    clouds.height = 2;
    clouds.direction.angle = 10;
    // Corners run down first: corner 2 is the top right.
    clouds.direction.fx = Fx(1, record, Mask([](double, double fy) { return (0.3 - fy) / 0.08; }),
                             StoredEffect(record, "cloud", 301), 40,
                             {0, 0, 0, 0, 0.3f * H, 0, W, 0, 0, W, 0.3f * H, 0});
    clouds.direction.fx.scale = 60;
    WriteCloud(w, clouds);

    WaterfallFields falls; // over the cliff's face
    falls.translucency = 30;
    falls.layers = 16;
    falls.noiseAmplitude = 60;
    falls.threshold = 500;
    falls.noise = {kNoisePicture.path, kNoisePicture.id};
    falls.baseColour = 0x403830;
    falls.direction.angle = 270;
    falls.direction.magnitude = 40;
    falls.direction.fx = Fx(2, record, Mask([](double fx, double fy) {
                                return std::fmin((fx - 0.3) / 0.03, (0.45 - fx) / 0.03) * (fy > 0.25 ? 1.0 : 0.0);
                            }),
                            StoredEffect(record, "waterfall", 302), 60, Rect(0.3f * W, 0.25f * H, 0.45f * W, 0.8f * H));
    WriteWaterfall(w, falls);

    RadialWaveFields rings; // where the falls meet the lake
    rings.amplitude = 60;
    rings.wavelength = 120;
    rings.outward = 1;
    rings.central.centre = {0.38f * W, 0.82f * H, 0.0f};
    rings.central.fx = Fx(3, record, Mask([](double fx, double fy) {
                              return (0.18 - std::hypot((fx - 0.38) * 16.0 / 9.0, fy - 0.82)) / 0.05;
                          }),
                          {u"common_res.dll", 103}, 50, Rect(0, 0, W, H));
    WriteRadialWave(w, rings);

    VortexFields vortex; // the lake turns on its far side
    vortex.amplitude = 8;
    vortex.deform = 600;
    vortex.angle = 10;
    vortex.central.centre = {0.75f * W, 0.88f * H, 0.0f};
    vortex.central.fx = Fx(4, record, Mask([](double fx, double fy) {
                               return (0.12 - std::hypot((fx - 0.75) * 16.0 / 9.0 * 0.5, fy - 0.88)) / 0.04;
                           }),
                           StoredEffect(record, "flow-vortex", 303), 3, Rect(0, 0.75f * H, W, H));
    WriteVortex(w, vortex);

    w.Count(0); // no sounds
    StorePicture(record, kFallsPicture, Png(width, height, Falls(width, height)));
    StorePicture(record, kCloudPicture, Png(256, 256, [](std::uint32_t x, std::uint32_t y) {
                     const double c = Clouds(x / 256.0, y / 256.0);
                     return std::uint32_t(std::lround(std::fmin(std::fmax((c - 0.35) * 2.5, 0.0), 1.0) * 255.0)) *
                            0x010101u;
                 }));
    StorePicture(record, kNoisePicture, Png(128, 128, [](std::uint32_t x, std::uint32_t y) {
                     const auto channel = [&](std::uint32_t seed) {
                         return std::uint32_t(std::lround(TilingNoise(x / 128.0, y / 128.0, 8, seed) * 255.0));
                     };
                     return channel(5) << 16 | channel(9) << 8 | 0x80u;
                 }));
}

// The manual timeline of turn `turn` of `turns`, each 3 s with fades.
description_writer::TimingFields Turn(int turn, int turns)
{
    description_writer::TimingFields timing;
    timing.selector = 2;
    timing.kind = description_writer::TimelineKind::Manual;
    timing.period = std::uint32_t(turns * 300);
    const float start = 3.0f * turn;
    timing.intervals = {{start, start + 3.0f, start + 0.7f, start + 2.3f}};
    return timing;
}

void WriteTiles(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width, std::uint32_t height)
{
    const float W = float(width), H = float(height);
    const std::array<float, 12> whole = Rect(0, 0, W, H);
    const std::array<float, 3> middle{0.5f * W, 0.5f * H, 0.0f};
    BeginSlide(w, u"Tiles", kTilesPicture, 21.0f);
    constexpr int kTurns = 7;
    w.Count(kTurns);
    // A soft disc about the middle, and soft bands.
    const auto disc = [](double radius) {
        return Mask([radius](double fx, double fy) {
            return (radius - std::hypot((fx - 0.5) * 16.0 / 9.0, fy - 0.5)) / 0.06;
        });
    };
    const auto band = [](double top, double bottom) {
        return Mask([top, bottom](double, double fy) { return std::fmin(fy - top, bottom - fy) / 0.05; });
    };
    auto timed = [&](FxFields fx, int turn) {
        fx.base.timing = Turn(turn, kTurns);
        return fx;
    };

    ExpandFields expand;
    expand.kind = 3;
    expand.outward = 80;
    expand.inward = 40;
    expand.central.centre = middle;
    expand.central.fx = timed(Fx(11, record, disc(0.4), {u"common_res.dll", 102}, 50, whole), 0);
    WriteExpand(w, expand);

    RotationFields rotation;
    rotation.aspect = 1000;
    rotation.central.centre = middle;
    rotation.central.fx = timed(Fx(12, record, disc(0.35), StoredEffect(record, "rotation", 311), 100, whole), 1);
    rotation.central.fx.base.timing.clockMode = 1; // the level is the turned picture's opacity
    WriteRotation(w, rotation);

    BendFields bend;
    bend.kind = 3;
    bend.amplitudeA = 400;
    bend.amplitudeB = 400;
    bend.bend = 60;
    bend.central.centre = middle;
    bend.central.fx = timed(Fx(13, record, disc(0.45), StoredEffect(record, "bend", 312), 40, whole), 2);
    WriteBend(w, bend);

    PerspectiveFields perspective;
    perspective.kind = 3;
    perspective.amplitudeA = 300;
    perspective.amplitudeB = 300;
    perspective.depth = 1;
    perspective.line.centre = middle;
    perspective.line.fx = timed(Fx(14, record, band(0.1, 0.9), StoredEffect(record, "depth-tilt", 313), 50, whole), 3);
    WritePerspective(w, perspective);

    StretchFields stretch;
    stretch.kind = 3;
    stretch.amplitudeA = 60;
    stretch.amplitudeB = 30;
    stretch.line.angle = 90;
    stretch.line.centre = middle;
    stretch.line.fx = timed(Fx(15, record, band(0.05, 0.95), StoredEffect(record, "stretch", 314), 30, whole), 4);
    WriteStretch(w, stretch);

    LinearFlowFields linear;
    linear.direction.angle = 30;
    linear.direction.magnitude = 60;
    linear.direction.fx = timed(Fx(16, record, band(0.6, 0.8), StoredEffect(record, "flow-linear", 315), 5, whole), 5);
    // The flows have no level: their clock runs only while their turn lasts.
    linear.direction.fx.base.timing.clockMode = 2;
    WriteLinearFlow(w, linear);

    RadialFlowFields radial;
    radial.amplitude = 12;
    radial.outward = 1;
    radial.central.centre = middle;
    radial.central.fx = timed(Fx(17, record, disc(0.25), StoredEffect(record, "flow-radial", 316), 5, whole), 6);
    radial.central.fx.base.timing.clockMode = 2;
    WriteRadialFlow(w, radial);

    w.Count(0); // no sounds
    StorePicture(record, kTilesPicture, Png(width, height, Tiles(width, height)));
}

} // namespace

void WriteDistortionSlides(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width, std::uint32_t height)
{
    WriteFalls(w, record, width, height);
    WriteTiles(w, record, width, height);
}

} // namespace demo_scene

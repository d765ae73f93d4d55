#include "tools/demoscene/DemoTrees.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "platform/crt/Guid.h"
#include "tests/support/TreePresetWriter.h"
#include "tests/support/TreeWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace {

using namespace tree_writer;
using description_writer::StoredLink;

const StoredLink kSparkLink{u"pictures\\tree-spark.png", 131};
const StoredLink kRibbonLink{u"pictures\\tree-ribbon.png", 132};
const StoredLink kBalloonLink{u"pictures\\balloon.png", 133};
const StoredLink kHighlightLink{u"pictures\\balloon-highlight.png", 134};
const StoredLink kShadeLink{u"pictures\\balloon-shade.png", 135};

// ---- pictures ----------------------------------------------------------------------

// 0xAARRGGBB of a pixel centre (x + 0.5, y + 0.5).
using RgbaPainter = std::function<std::uint32_t(double x, double y)>;

std::uint8_t Byte(double value)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

std::uint32_t Argb(double a, double r, double g, double b)
{
    return (std::uint32_t(Byte(a)) << 24) | (std::uint32_t(Byte(r)) << 16) | (std::uint32_t(Byte(g)) << 8) | Byte(b);
}

std::vector<std::uint8_t> PaintPng(std::uint32_t width, std::uint32_t height, const RgbaPainter& paint)
{
    std::vector<std::uint8_t> rgba;
    rgba.reserve(std::size_t(width) * height * 4);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t argb = paint(x + 0.5, y + 0.5);
            for (int shift : {16, 8, 0, 24})
                rgba.push_back(std::uint8_t(argb >> shift));
        }
    return EncodePng(width, height, 4, rgba);
}

// A white-hot core fading out through warm white: a spark seen through
// its own glare.
std::uint32_t Spark(double x, double y)
{
    constexpr double kHalf = 16.0;
    const double r = std::hypot(x - kHalf, y - kHalf) / kHalf;
    const double glare = std::clamp(1.0 - r, 0.0, 1.0);
    const double core = std::clamp(1.0 - r * 3.0, 0.0, 1.0);
    return Argb(glare * glare + core, 1.0, 0.9 + 0.1 * core, 0.7 + 0.3 * core);
}

// A band across u, bright in the middle and clear at both edges; v runs
// along the ribbon (mirrored where it repeats), which the picture keeps
// even.
std::uint32_t Ribbon(double x, double)
{
    constexpr double kWidth = 32.0;
    const double across = std::sin(3.14159265358979 * x / kWidth);
    return Argb(across * across, 1.0, 1.0, 1.0);
}

// The balloon picture is 64 x 80: a round body on top of a knot, white so
// that the leaf's colours tint it.
constexpr std::uint32_t kBalloonWidth = 64, kBalloonHeight = 80;
constexpr double kBodyX = 32.0, kBodyY = 33.0, kBodyRx = 28.0, kBodyRy = 31.0;

// How far (x, y) lies inside the body: 0 at its edge, 1 at its centre.
double BodyDepth(double x, double y)
{
    const double dx = (x - kBodyX) / kBodyRx, dy = (y - kBodyY) / kBodyRy;
    return 1.0 - std::sqrt(dx * dx + dy * dy);
}

std::uint32_t Balloon(double x, double y)
{
    // One pixel of soft edge.
    const double body = std::clamp(BodyDepth(x, y) * kBodyRx, 0.0, 1.0);
    const bool knot = y >= kBodyY + kBodyRy - 1.0 && y < kBodyY + kBodyRy + 5.0 &&
                      std::fabs(x - kBodyX) < (y - (kBodyY + kBodyRy - 1.0)) * 0.6 + 1.0;
    const bool string = y >= kBodyY + kBodyRy + 5.0 && std::fabs(x - kBodyX - 2.0 * std::sin(y * 0.4)) < 0.8;
    if (string)
        return Argb(0.8, 0.85, 0.85, 0.85);
    return Argb(std::max(body, knot ? 1.0 : 0.0), 1.0, 1.0, 1.0);
}

// The first light map: a soft highlight towards the upper left.
std::uint32_t Highlight(double x, double y)
{
    const double d = std::hypot(x - 21.0, (y - 19.0) * 1.2) / 11.0;
    const double light = std::clamp(1.0 - d, 0.0, 1.0);
    const double glow = light * light * (3.0 - 2.0 * light);
    return Argb(1.0, glow, glow, glow);
}

// The second light map: full light at the upper left, falling to a third
// towards the lower right of the body.
std::uint32_t Shade(double x, double y)
{
    const double d = std::clamp(std::hypot(x - 20.0, y - 18.0) / 62.0, 0.0, 1.0);
    const double light = 1.0 - 0.67 * d * d;
    return Argb(1.0, light, light, light);
}

// ---- trees --------------------------------------------------------------------------

// A geometry at full size and opacity, with `opacity` as its envelope over
// the particle's life: {rise end, fall start} in percent.
StoredGeometry Geometry(std::u16string name, std::uint32_t riseEnd = 0, std::uint32_t fallStart = 100)
{
    StoredGeometry g;
    g.name = std::move(name);
    g.sizeJitter[0] = 100;
    g.sizeEnvelope[6] = 100;
    g.opacityEnvelope[1] = riseEnd;
    g.opacityEnvelope[2] = fallStart;
    g.opacityEnvelope[3] = fallStart;
    g.opacityEnvelope[6] = 100;
    return g;
}

WriteItem PointGeometry(StoredGeometry geometry)
{
    return [geometry](DocumentWriter& w) { WritePointGeometry(w, geometry); };
}

StoredRoot Root(std::u16string name, const char* guid, float x, float y)
{
    StoredRoot root;
    root.base.name = std::move(name);
    // Fixed GUIDs keep the generated document the same from build to build.
    root.base.guid = crt::ParseGuid(guid);
    root.offset[0] = x;
    root.offset[1] = y;
    return root;
}

std::uint32_t Scaled(std::uint32_t size, double fraction)
{
    return std::max<std::uint32_t>(static_cast<std::uint32_t>(std::lround(size * fraction)), 1);
}

// Sparks shot up from the lake, falling back under gravity, each glowing
// and drawing a ribbon behind it.
void WriteFountain(DocumentWriter& w, std::uint32_t width, std::uint32_t height)
{
    StoredPointShape jet;
    jet.launchCentre = 90;
    jet.launchSpread = 40;
    jet.forces.gravityMode = 1;                 // towards +y: down the canvas
    jet.forces.gravity = Scaled(height, 0.12);  // x 5 px/s^2
    jet.forces.airResistance = 15;
    jet.emitter.count = 90;
    jet.emitter.period = 1.0f;
    jet.emitter.lifetime = 2.4f;
    jet.emitter.speed[0] = Scaled(height, 0.78); // px/s
    jet.emitter.speed[1] = 25;
    jet.emitter.geometry = Geometry(u"jet");

    StoredLeaf sparks;
    sparks.pictures = {kSparkLink};
    sparks.size = Scaled(width, 0.009);
    sparks.colours = {0x0040A0FF, 0x0060C0FF, 0x0080E0FF, 0x002070F0};
    sparks.colourMode = 2;
    sparks.randomPick = 1;
    sparks.glowMode = 1;
    sparks.glowColour = 0x0040B0FF; // COLORREF: warm orange
    sparks.glowBrightness = 40;
    sparks.glowStrength = 60;

    StoredTrace ribbons;
    ribbons.lifetime = 0.3f;
    ribbons.opacityEnvelope[2] = 0; // fading from its first moment
    ribbons.opacityEnvelope[3] = 0;
    ribbons.sizeEnvelope[2] = 30;
    ribbons.sizeEnvelope[3] = 30;
    ribbons.sizeEnvelope[5] = 40;
    ribbons.sizeEnvelope[6] = 100;
    ribbons.opacityEnvelope[6] = 100;
    ribbons.leaf.pictures = {kRibbonLink};
    ribbons.leaf.size = Scaled(width, 0.005);
    ribbons.leaf.colours = {0x0050B0FF};
    ribbons.leaf.transparency = 50;

    WriteRoot(w, Root(u"Fountain", "{5A1C7E20-3B4D-4C6E-8F10-2A3B4C5D6E71}", width * 0.6f, height * 0.84f),
              {[&](DocumentWriter& out) {
                  WriteStem(out, u"Jet", [&](DocumentWriter& g) { WritePointShape(g, jet); },
                            {[&](DocumentWriter& l) { WriteTrace(l, ribbons, u"Ribbons", PointGeometry(Geometry(u""))); },
                             [&](DocumentWriter& l) {
                                 WriteLeaf(l, sparks, u"Sparks", PointGeometry(Geometry(u"spark", 5, 55)));
                             }});
              }});
}

// Soft dots wandering slowly in a wide band over the hills.
void WriteWanderingDots(DocumentWriter& w, std::uint32_t width, std::uint32_t height)
{
    StoredSwarm swarm;
    swarm.count = 45;
    swarm.wanderSpeed = 8; // 24 to 32 px/s
    swarm.changeRate = 10; // a new course every 2 to 5 s
    swarm.changeTime = 100;
    swarm.width = Scaled(width, 0.9);
    swarm.height = Scaled(height, 0.25);
    swarm.geometry = Geometry(u"cloud");
    swarm.geometry.sizeJitter[1] = 60;
    swarm.geometry.opacityOscillation = {40, 20, 1};
    StoredLeaf dots;
    dots.pictures = {kSparkLink};
    dots.size = Scaled(width, 0.015);
    dots.colours = {0x0060C0FF, 0x00FFB060, 0x00E070D0};
    dots.colourMode = 2;
    dots.randomPick = 1;
    dots.transparency = 25;
    WriteRoot(w, Root(u"Wandering dots", "{5A1C7E20-3B4D-4C6E-8F10-2A3B4C5D6E72}", width * 0.6f, height * 0.42f),
              {[&](DocumentWriter& l) {
                  WriteLeaf(l, dots, u"Dots", [&](DocumentWriter& g) { WriteSwarmGeometry(g, swarm); });
              }});
}

// A preset holding a small tree: green sparks rising from a point on the
// left shore.
void WriteSparklerPreset(DocumentWriter& w, std::uint32_t width, std::uint32_t height)
{
    StoredPointShape rise;
    rise.launchCentre = 90;
    rise.launchSpread = 70;
    rise.forces.gravityMode = 2; // towards -y: they float up
    rise.forces.gravity = Scaled(height, 0.01);
    rise.emitter.count = 40;
    rise.emitter.lifetime = 1.6f;
    rise.emitter.speed[0] = Scaled(height, 0.12);
    rise.emitter.speed[1] = 50;
    rise.emitter.geometry = Geometry(u"rise");
    StoredLeaf glints;
    glints.pictures = {kSparkLink};
    glints.size = Scaled(width, 0.013);
    glints.colours = {0x0060FFC0, 0x00A0FFF0, 0x0040E0FF};
    glints.colourMode = 2;
    glints.randomPick = 1;
    WritePreset(w, {2, 1, {3, 1, 4}}, [&](DocumentWriter& out) {
        WriteRoot(out, Root(u"Sparkler preset", "{5A1C7E20-3B4D-4C6E-8F10-2A3B4C5D6E73}", width * 0.4f, height * 0.72f),
                  {[&](DocumentWriter& stem) {
                      WriteStem(stem, u"Rise", [&](DocumentWriter& g) { WritePointShape(g, rise); },
                                {[&](DocumentWriter& l) {
                                    WriteLeaf(l, glints, u"Glints", PointGeometry(Geometry(u"glint", 10, 50)));
                                }});
                  }});
    });
}

// Balloons of several colours drifting in the sky, lit from the upper left.
void WriteBalloons(DocumentWriter& w, std::uint32_t width, std::uint32_t height)
{
    StoredSwarm drift;
    drift.count = 6;
    drift.wanderSpeed = 5; // 15 to 20 px/s
    drift.changeRate = 5;
    drift.changeTime = 150;
    drift.width = Scaled(width, 0.3);
    drift.height = Scaled(height, 0.18);
    drift.geometry = Geometry(u"drift");
    drift.geometry.sizeJitter[1] = 30;
    StoredLeaf balloon;
    balloon.pictures = {kBalloonLink, kHighlightLink, kShadeLink};
    balloon.size = Scaled(width, 0.035);
    balloon.colours = {0x003030E0, 0x00E06030, 0x0030C0F0, 0x0060C040, 0x00C050D0};
    balloon.colourMode = 2;
    balloon.randomPick = 1;
    WriteRoot(w, Root(u"Party balloons", "{5A1C7E20-3B4D-4C6E-8F10-2A3B4C5D6E74}", width * 0.74f, height * 0.42f),
              {[&](DocumentWriter& out) {
                  WriteBalloon(out, {70, 80}, [&](DocumentWriter& l) {
                      WriteLeaf(l, balloon, u"Balloons", [&](DocumentWriter& g) { WriteSwarmGeometry(g, drift); });
                  });
              }});
}

} // namespace

void WriteDemoFountainTree(DocumentWriter& w, std::uint32_t width, std::uint32_t height)
{
    WriteFountain(w, width, height);
}

void WriteDemoTrees(DocumentWriter& w, std::uint32_t width, std::uint32_t height)
{
    WriteWanderingDots(w, width, height);
    WriteSparklerPreset(w, width, height);
    WriteFountain(w, width, height);
    WriteBalloons(w, width, height);
}

void AddDemoTreePictures(DocResManagerRecord& record)
{
    const auto store = [&record](const StoredLink& link, std::vector<std::uint8_t> png) {
        record.frames[LinkKey{link.path, link.id}] = {StoredFrame{std::move(png), 0.0f}};
    };
    store(kSparkLink, PaintPng(32, 32, Spark));
    store(kRibbonLink, PaintPng(32, 64, Ribbon));
    store(kBalloonLink, PaintPng(kBalloonWidth, kBalloonHeight, Balloon));
    store(kHighlightLink, PaintPng(kBalloonWidth, kBalloonHeight, Highlight));
    store(kShadeLink, PaintPng(kBalloonWidth, kBalloonHeight, Shade));
}

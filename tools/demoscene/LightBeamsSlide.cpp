#include "tools/demoscene/LightBeamsSlide.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "objectmodel/ResourceBlob.h"
#include "tests/support/GeneratorWriter.h"
#include "tests/support/PictureSceneWriter.h"
#include "tools/demoscene/DemoSpriteObjects.h"
#include "tools/demoscene/PngPicture.h"

namespace {

constexpr std::uint32_t kWidth = 1740;
constexpr std::uint32_t kHeight = 980;
constexpr char16_t kPicturePath[] = u"pictures\\beams.png";
constexpr std::int64_t kPictureId = 104;

struct Rgb {
    double r, g, b;
};

Rgb Blend(const Rgb& a, const Rgb& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::uint32_t Pack(const Rgb& c)
{
    const auto channel = [](double v) { return std::uint32_t(std::lround(std::clamp(v, 0.0, 255.0))); };
    return (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

// Coverage of a pixel by the region below a curve, with a one-pixel soft
// edge so that the outline is smooth.
double Below(double y, double curve)
{
    return std::clamp(y - curve + 0.5, 0.0, 1.0);
}

// A deep blue sky over two ranges of hills, a faint glow where the fan
// starts, top centre.
std::uint32_t Valley(std::uint32_t px, std::uint32_t py)
{
    const double x = px + 0.5, y = py + 0.5;
    const double t = y / kHeight;
    Rgb colour = Blend({12, 18, 54}, {44, 70, 118}, t * 1.3);
    const double dx = (x - kWidth / 2.0) / kWidth, dy = y / kHeight;
    const double glow = std::exp(-(dx * dx + dy * dy) * 18.0);
    colour = Blend(colour, {150, 160, 190}, glow * 0.45);
    const double far = kHeight * 0.70 + 40.0 * std::sin(x / 170.0) + 22.0 * std::sin(x / 61.0 + 1.3);
    colour = Blend(colour, {24, 36, 62}, Below(y, far));
    const double near = kHeight * 0.82 + 55.0 * std::sin(x / 260.0 + 2.0) + 14.0 * std::sin(x / 47.0);
    colour = Blend(colour, {10, 16, 28}, Below(y, near));
    return Pack(colour);
}

} // namespace

void WriteLightBeamsSlide(DocumentWriter& w, DocResManagerRecord& record)
{
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.0f).Float(1.5f).Float(10.0f).Int(0).WideString(u"Light Beams");
    picture_scene_writer::LightFields light;
    light.backgroundPath = kPicturePath;
    light.backgroundId = kPictureId;
    light.camera.mode = 0;
    picture_scene_writer::WriteLightRecord(w, light);
    // The flow first, as in the scene this demo stands for.
    w.Count(2 + DemoSpriteObjectCount(u"Light Beams"));
    WriteDemoFlow(w, kWidth, kHeight);
    generator_writer::WriteRadialRays(w, generator_writer::LightBeamsFields());
    WriteDemoSpriteObjects(w, u"Light Beams", kWidth, kHeight);
    w.Count(0); // no sounds

    ModuleResourceBlob stored(u"beams.png");
    stored.SetBytes(EncodePng(kWidth, kHeight, 3, PixelsOf(kWidth, kHeight, Valley)));
    record.textureSetRecords[LinkKey{kPicturePath, kPictureId}] = {stored};
}

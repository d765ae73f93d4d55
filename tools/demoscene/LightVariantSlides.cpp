#include "tools/demoscene/LightVariantSlides.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "objectmodel/ResourceBlob.h"
#include "platform/crt/Guid.h"
#include "platform/gfx/DdsReader.h"
#include "platform/gfx/Image.h"
#include "tests/support/LightWriter.h"
#include "tools/demoscene/DemoSpriteObjects.h"

namespace demo_scene {
namespace {

const LinkKey kDusk{u"pictures\\dusk.png", 101};
const LinkKey kShapes{u"pictures\\shapes.png", 102};
const LinkKey kValley{u"pictures\\valley.png", 103};
constexpr const char* kLakeGuid = "{6A3F0E21-9C47-4B1D-A2E5-7F08C3D41B90}";

picture_scene_writer::LightFields Showing(const LinkKey& picture)
{
    picture_scene_writer::LightFields light;
    light.backgroundPath = picture.path;
    light.backgroundId = picture.id;
    return light;
}

void BeginSlide(DocumentWriter& w, std::u16string_view name, float hold)
{
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.5f).Float(1.5f).Float(hold).Int(0).WideString(name);
}

// Gentle overlapping waves as a du/dv map: the lake's ripples.
std::vector<std::uint8_t> LakeBumpMap()
{
    constexpr std::uint32_t side = 128;
    gfx::Image image(side, side, gfx::Format::V8U8);
    auto* texels = reinterpret_cast<std::int8_t*>(image.Bytes().data());
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x) {
            const double a = 2.0 * 3.14159265 * double(x) / side, b = 2.0 * 3.14159265 * double(y) / side;
            const double du = std::sin(3.0 * a + b) + 0.5 * std::sin(5.0 * b - 2.0 * a);
            const double dv = std::cos(2.0 * b + a) + 0.5 * std::cos(4.0 * a + 3.0 * b);
            std::int8_t* texel = texels + y * image.Pitch() + x * 2;
            texel[0] = std::int8_t(std::lround(du * 80.0));
            texel[1] = std::int8_t(std::lround(dv * 80.0));
        }
    return gfx::WriteDds({image});
}

} // namespace

void WriteLightVariantSlides(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width,
                             std::uint32_t height)
{
    // The dusk scene inside a glass ball swinging over a gradient.
    BeginSlide(w, u"Glass Ball", 10.0f);
    light_writer::GlassBallFields ball;
    ball.picturePath = kDusk.path;
    ball.pictureId = kDusk.id;
    ball.turnMode = 3;
    ball.turnSpeed = 60;
    ball.lensStrength = 40;
    ball.ballSize = 80;
    ball.gradientTop = 0x502010;    // COLORREF: a deep blue at the top
    ball.gradientBottom = 0x90C0F0; // warm sand at the bottom
    ball.light = Showing(kDusk);
    light_writer::WriteGlassBall(w, ball);
    w.Count(0);
    w.Count(0);

    // The valley mirrored in a lake with turning ripples.
    BeginSlide(w, u"Lake", 10.0f);
    light_writer::FakeLakeFields lake;
    lake.guid = crt::ParseGuid(kLakeGuid);
    lake.horizon = 40;
    lake.bumpRepeat = 300;
    lake.tintColour = 0x705020;
    lake.light = Showing(kValley);
    light_writer::WriteFakeLake(w, lake);
    w.Count(0);
    w.Count(0);
    GuidTextureRecord bump;
    bump.key = GuidNameKey{lake.guid, u"", 1};
    bump.blob = ResourceBlob(u"lake-ripples.dds");
    bump.blob.SetBytes(LakeBumpMap());
    record.guidTextures[bump.key] = std::move(bump);

    // The shapes and their objects under falling drops.
    BeginSlide(w, u"Water Rings", 10.0f);
    light_writer::WaterRingFields ring;
    ring.mode = 1;
    ring.dropRate = 90;
    ring.dropStrength = 80;
    ring.light = Showing(kShapes);
    light_writer::WriteWaterRing(w, ring);
    w.Count(std::size_t(DemoSpriteObjectCount(u"Shapes")));
    WriteDemoSpriteObjects(w, u"Shapes", width, height);
    w.Count(0);
}

} // namespace demo_scene

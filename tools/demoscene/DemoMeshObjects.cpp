#include "tools/demoscene/DemoMeshObjects.h"

#include <algorithm>
#include <cmath>

#include "tests/support/MeshObjectWriter.h"
#include "tests/support/PictureSceneWriter.h"
#include "tools/demoscene/PngPicture.h"

namespace demo_scene {

namespace {

constexpr char16_t kMeadowPath[] = u"pictures\\meadow.png";
constexpr std::int64_t kMeadowId = 131;
constexpr char16_t kWingPath[] = u"pictures\\butterfly-wing.png";
constexpr std::int64_t kWingId = 132;

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    const auto part = [&](int shift) {
        return std::uint32_t(std::lround(((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t)) << shift;
    };
    return part(16) | part(8) | part(0);
}

// A pale summer sky over a green meadow with a soft horizon.
std::vector<std::uint8_t> MeadowPicture(std::uint32_t width, std::uint32_t height)
{
    return EncodePng(width, height, 3, PixelsOf(width, height, [&](std::uint32_t x, std::uint32_t y) {
        const double v = double(y) / height;
        const double horizon = 0.55 + 0.03 * std::sin(double(x) / width * 9.0);
        if (v < horizon)
            return Mix(0x6FA8E8, 0xDCEBF5, v / horizon);
        return Mix(0x5E9E3A, 0x2F5E1E, (v - horizon) / (1 - horizon));
    }));
}

// A wing across u (hinge to tip) and v (front to back edge): orange,
// yellower towards the tip, a dark rim and white spots near it.
std::vector<std::uint8_t> WingPicture()
{
    constexpr std::uint32_t kSide = 128;
    return EncodePng(kSide, kSide, 3, PixelsOf(kSide, kSide, [](std::uint32_t x, std::uint32_t y) {
        const double u = (x + 0.5) / kSide, v = (y + 0.5) / kSide;
        const double rim = std::min({u > 0.8 ? 1 - u : 1.0, v, 1 - v});
        if (rim < 0.1)
            return std::uint32_t(0x201810);
        for (const double spot : {0.3, 0.5, 0.7})
            if (std::hypot(u - 0.86, v - spot) < 0.05)
                return std::uint32_t(0xF8F4E8);
        return Mix(0xE06010, 0xF0B020, u);
    }));
}

// A leaf: green along the midrib, yellowing to the edges.
std::vector<std::uint8_t> LeafPicture()
{
    constexpr std::uint32_t kSide = 64;
    return EncodePng(kSide, kSide, 3, PixelsOf(kSide, kSide, [](std::uint32_t x, std::uint32_t y) {
        const double across = std::fabs((y + 0.5) / kSide - 0.5) * 2;
        if (across < 0.06)
            return std::uint32_t(0x8A7A30);
        return Mix(0x4C8A24, 0xC8A030, across * (x + 0.5) / kSide);
    }));
}

} // namespace

void WriteMeshObjectsSlide(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width,
                           std::uint32_t height)
{
    using namespace mesh_object_writer;
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(1.5f).Float(1.5f).Float(14.0f).Int(0).WideString(u"Meadow");
    picture_scene_writer::LightFields light;
    light.backgroundPath = kMeadowPath;
    light.backgroundId = kMeadowId;
    picture_scene_writer::WriteLightRecord(w, light);
    w.Count(3);

    ClockFields clock;
    clock.rectangle = {0, 0, 0, 0, std::int32_t(width / 2), std::int32_t(height / 2)};
    clock.object = ClockObjectFields();
    clock.object.size = height / 3;
    clock.object.view.base.name = u"Clock";
    WriteClock(w, clock);

    ButterflyFields butterflies;
    butterflies.object.count = 2;
    butterflies.object.size = 110;
    butterflies.object.image = {kWingPath, kWingId};
    butterflies.object.view.fractions = {0.1f, 0.9f, 0.1f, 0.7f};
    butterflies.object.view.base.name = u"Butterflies";
    WriteButterfly(w, butterflies);

    DriftingArrayFields leaves;
    leaves.name = u"Leaves";
    leaves.base.name = u"Leaves";
    leaves.count = 40;
    leaves.mesh = ModuleResourceBlob(u"leaf.x");
    leaves.mesh.SetBytes(LeafMeshBytes());
    leaves.texture = ModuleResourceBlob(u"leaf.png");
    leaves.texture.SetBytes(LeafPicture());
    leaves.size = 70;
    leaves.speed = 35;
    leaves.drift = 40;
    leaves.driftChange = 20;
    leaves.spin = 80;
    leaves.angle = 290; // down and a little to the right
    WriteDriftingArray(w, leaves);
    w.Count(0);

    ModuleResourceBlob meadow(u"meadow.png");
    meadow.SetBytes(MeadowPicture(width, height));
    record.textureSetRecords[LinkKey{kMeadowPath, kMeadowId}] = {meadow};
    ModuleResourceBlob wing(u"butterfly-wing.png");
    wing.SetBytes(WingPicture());
    record.textureSetRecords[LinkKey{kWingPath, kWingId}] = {wing};
}

} // namespace demo_scene

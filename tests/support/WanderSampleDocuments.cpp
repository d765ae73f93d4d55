#include "tests/support/WanderSampleDocuments.h"

#include "tests/support/BmpFixture.h"
#include "tests/support/ParticleSampleDocuments.h"
#include "tests/support/PictureSceneWriter.h"

using wander_writer::BrownFields;
using wander_writer::FireflyFields;

namespace {

constexpr char16_t kTrailPicture[] = u"pictures\\glow.bmp";
constexpr std::int64_t kTrailId = 43;

// The dot picture in a block of `size` pixels and the given colour.
particle_writer::BlockFields DotBlock(std::uint32_t size, std::uint32_t colour)
{
    particle_writer::BlockFields block;
    block.textureName = u"Dot";
    block.pictures = {{kSampleDotPicture, kSampleDotId}};
    block.particleSize = size;
    block.colours = {colour, 0x00000000};
    block.flags = 0x2;
    return block;
}

// Every stored form of the trail, and a plain Brownian animation.
void WriteObjects(DocumentWriter& w)
{
    BrownFields brown;
    brown.count = 6;
    brown.driftScale = 10;
    brown.changeRate = 20;
    brown.turnTime = 30;
    brown.area = wander_writer::BoxCorners(2.0f, 2.0f, 30.0f, 14.0f);
    brown.controller.block = DotBlock(200, 0x00FFFFFF);
    brown.controller.base.name = u"Motes";

    std::vector<FireflyFields> fireflies;
    for (std::int32_t trailVersion = 1; trailVersion <= 4; ++trailVersion) {
        FireflyFields f = SampleFireflies(u"Fireflies", 4.0f, 4.0f, 28.0f, 12.0f);
        f.trail.version = trailVersion;
        fireflies.push_back(f);
    }
    FireflyFields legacy = SampleFireflies(u"Old fireflies", 4.0f, 4.0f, 28.0f, 12.0f);
    legacy.version = 1;
    legacy.trail.version = 1;
    legacy.trail.particleSize = 3;
    legacy.brown.controller.block.pictures = {{kTrailPicture, kTrailId}, {kSampleDotPicture, kSampleDotId}};
    fireflies.push_back(legacy);

    w.Count(1 + fireflies.size());
    wander_writer::WriteBrownAnimation(w, brown);
    for (const FireflyFields& f : fireflies)
        wander_writer::WriteFirefly(w, f);
}

std::vector<std::uint8_t> WanderersDocument()
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"Wanderers");
    picture_scene_writer::WriteLightRecord(w, {});
    WriteObjects(w);
    w.Count(0);
    w.AudioFiles({});
    DocResManagerRecord record;
    const auto solid = [](std::uint32_t rgb) {
        return bmp_fixture::BmpPicture(4, 4, [rgb](std::uint32_t, std::uint32_t) { return rgb; });
    };
    record.frames[{kSampleDotPicture, kSampleDotId}] = {StoredFrame{solid(0xFFFFFF), 0.0f}};
    record.frames[{kTrailPicture, kTrailId}] = {StoredFrame{solid(0xFFC040), 0.0f}};
    w.DocResManager(record);
    return w.Bytes();
}

} // namespace

FireflyFields SampleFireflies(std::u16string name, float left, float top, float right, float bottom)
{
    FireflyFields f;
    f.brown.count = 5;
    f.brown.driftScale = 25;
    f.brown.changeRate = 50;
    f.brown.turnTime = 25;
    f.brown.area = wander_writer::BoxCorners(left, top, right, bottom);
    f.brown.controller.block = DotBlock(3, 0x0080FFFF);
    f.brown.controller.block.blendMode = 1;
    f.brown.controller.base.name = std::move(name);
    f.trail.block = DotBlock(4, 0x0040C0FF);
    f.trail.block.pictures = {{kTrailPicture, kTrailId}};
    f.trail.block.blendMode = 1;
    f.trail.block.sizeEnvelope = {0, 0, 0, 0};
    f.trail.block.opacityEnvelope = {10, 0, 0, 0};
    f.trail.rate = 50;
    f.trail.lifetime = 120;
    f.trail.spread = 100;
    f.trail.velocityFactor = 40;
    return f;
}

std::vector<SampleDocument> WanderSampleDocuments()
{
    const std::vector<std::uint8_t> whole = WanderersDocument();
    std::vector<std::uint8_t> truncated = whole;
    truncated.resize(truncated.size() * 3 / 5);
    return {
        {"wanderers.vsd", whole, true},
        {"wanderers-truncated.vsd", truncated, false},
    };
}

#include "tests/support/ParticleSampleDocuments.h"

#include "tests/support/BmpFixture.h"
#include "tests/support/PathSystemWriter.h"
#include "tests/support/PictureSceneWriter.h"

using particle_writer::FieldFields;

namespace {
// The slide's picture: 32 x 16, dark blue above grey.
constexpr char16_t kGroundPicture[] = u"pictures\\ground.bmp";
constexpr std::int64_t kGroundId = 42;
} // namespace

FieldFields SampleField(std::u16string name, int positions)
{
    FieldFields field;
    field.lifetime = 200;
    field.density = 60;
    field.angle = 90;
    field.spread = 40;
    field.speed = 15;
    for (int i = 0; i < positions; ++i)
        field.positions.push_back({4.0f + 2.0f * static_cast<float>(i), 8.0f, 0.0f});
    field.controller.base.name = std::move(name);
    particle_writer::BlockFields& block = field.controller.block;
    block.textureName = u"Dot";
    block.pictures = {{kSampleDotPicture, kSampleDotId}};
    block.particleSize = 4;
    block.flags = 0x2;
    return field;
}

std::vector<std::uint8_t> FieldSystemsDocument(const std::vector<FieldFields>& fields)
{
    return ParticleSlideDocument(fields.size(), [&fields](DocumentWriter& w) {
        for (const FieldFields& field : fields)
            particle_writer::WriteFieldSystem(w, field);
    });
}

particle_writer::ControllerFields SampleDotController(std::u16string name)
{
    particle_writer::ControllerFields controller;
    controller.base.name = std::move(name);
    controller.block.textureName = u"Dot";
    controller.block.pictures = {{kSampleDotPicture, kSampleDotId}};
    controller.block.particleSize = 4;
    return controller;
}

std::vector<std::uint8_t> ParticleSlideDocument(std::size_t count,
                                                const std::function<void(DocumentWriter&)>& writeObjects)
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"Particles");
    picture_scene_writer::LightFields light;
    light.backgroundPath = kGroundPicture;
    light.backgroundId = kGroundId;
    picture_scene_writer::WriteLightRecord(w, light);
    w.Count(count);
    writeObjects(w);
    w.Count(0);
    w.AudioFiles({});
    DocResManagerRecord record;
    record.frames[{kSampleDotPicture, kSampleDotId}] = {
        StoredFrame{bmp_fixture::BmpPicture(4, 4, [](std::uint32_t, std::uint32_t) { return 0xFFFFFFu; }), 0.0f}};
    ModuleResourceBlob ground(u"ground.bmp");
    ground.SetBytes(bmp_fixture::BmpPicture(32, 16, [](std::uint32_t, std::uint32_t y) { return y < 8 ? 0x203040u : 0x808080u; }));
    record.textureSetRecords[{kGroundPicture, kGroundId}] = {ground};
    w.DocResManager(record);
    return w.Bytes();
}

namespace {

// Every blend and glow mode, a sprite grid, and the block's physics.
std::vector<FieldFields> ModeFields()
{
    FieldFields normal = SampleField(u"Normal", 5);
    FieldFields sum = SampleField(u"Sum", 3);
    sum.controller.block.blendMode = 1;
    sum.controller.block.colourMode = 2;
    sum.controller.block.colours = {0x0000FF, 0x00FF00, 0xFF0000};
    FieldFields glow = SampleField(u"Glow", 2);
    glow.controller.block.glowMode = 1;
    glow.controller.block.columns = 2;
    glow.controller.block.rows = 2;
    FieldFields screen = SampleField(u"Screen glow", 2);
    screen.controller.block.glowMode = 2;
    screen.controller.block.sizeOscillation = {100, 50, 1};
    screen.controller.block.flags = 0x13;
    screen.controller.block.gravityDirection = 1;
    screen.controller.block.gravity = 10;
    screen.controller.block.airResistance = 20;
    screen.controller.block.vibrationAlong = {50, 30, 2};
    return {normal, sum, glow, screen};
}

// The same system in an old controller section and an old block.
std::vector<FieldFields> OldFormFields()
{
    FieldFields legacy = SampleField(u"Legacy", 3);
    legacy.controller.version = 3;
    legacy.controller.shapeIndex = 4;
    FieldFields oldBlock = SampleField(u"Block 3", 3);
    oldBlock.controller.block.version = 3;
    oldBlock.controller.block.spinClock = 40;
    return {legacy, oldBlock};
}

} // namespace

std::vector<SampleDocument> ParticleSampleDocuments()
{
    const std::vector<std::uint8_t> modes = FieldSystemsDocument(ModeFields());
    std::vector<std::uint8_t> truncated = modes;
    truncated.resize(truncated.size() * 2 / 3);
    DocumentWriter hugeCount;
    hugeCount.Header().SlideShowBegin(1);
    hugeCount.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"P");
    picture_scene_writer::WriteLightRecord(hugeCount, {});
    hugeCount.Count(1).Section(u"KXI_FieldPtclSys", 1).Dword(100).Dword(100).Int(0x10000000).Float(1.0f);
    std::vector<SampleDocument> samples = {
        {"field-systems.vsd", modes, true},
        {"field-systems-old-forms.vsd", FieldSystemsDocument(OldFormFields()), true},
        {"field-systems-truncated.vsd", truncated, false},
        {"field-systems-huge-count.vsd", hugeCount.Bytes(), false},
    };
    for (SampleDocument& sample : PathSystemSampleDocuments())
        samples.push_back(std::move(sample));
    return samples;
}

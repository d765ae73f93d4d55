#include "tests/support/LightSampleDocuments.h"

#include <functional>
#include <string>

#include "tests/support/BmpFixture.h"
#include "tests/support/LightWriter.h"

namespace {

constexpr std::uint32_t kPictureWidth = 32, kPictureHeight = 24;
const LinkKey kBackground{u"pictures\\harbour.bmp", 71};

picture_scene_writer::LightFields BackgroundLevel()
{
    picture_scene_writer::LightFields light;
    light.backgroundPath = kBackground.path;
    light.backgroundId = kBackground.id;
    return light;
}

crt::Guid LakeGuid()
{
    const std::uint8_t bytes[16] = {0x51, 0xA0, 0x3E, 0x19, 0x7C, 0x22, 0x40, 0x8F,
                                    0xB1, 0x06, 0x5D, 0xE3, 0x2A, 0x94, 0x70, 0x11};
    return crt::GuidFromBytes(bytes);
}

using LightWriterFn = std::function<void(DocumentWriter&, DocResManagerRecord&)>;

struct LightSlide {
    std::u16string name;
    LightWriterFn write;
};

std::vector<LightSlide> LightSlides()
{
    return {
        {u"Glass ball", [](DocumentWriter& w, DocResManagerRecord&) {
             light_writer::GlassBallFields f;
             f.picturePath = kBackground.path;
             f.pictureId = kBackground.id;
             f.gradientTop = 0x402010;
             f.gradientBottom = 0xF0C080;
             f.lensStrength = 40;
             f.light = BackgroundLevel();
             light_writer::WriteGlassBall(w, f);
         }},
        {u"Glass ball, first version", [](DocumentWriter& w, DocResManagerRecord&) {
             light_writer::GlassBallFields f;
             f.version = 1;
             f.turnSpeed = 60;
             f.turnMode = 1;
             f.backdropMode = 1;
             f.picturePath = kBackground.path;
             f.pictureId = kBackground.id;
             f.light = BackgroundLevel();
             light_writer::WriteGlassBall(w, f);
         }},
        {u"Lake", [](DocumentWriter& w, DocResManagerRecord& r) {
             light_writer::FakeLakeFields f;
             f.guid = LakeGuid();
             f.horizon = 10;
             f.tintColour = 0x806020;
             f.light = BackgroundLevel();
             light_writer::WriteFakeLake(w, f);
             const GuidNameKey key{f.guid, u"", 1};
             ResourceBlob bump(u"ripples.dds");
             bump.SetBytes(V8U8Dds(16, 16, [](std::uint32_t x, std::uint32_t y) {
                 return std::uint16_t((std::uint8_t(x * 8) ^ std::uint8_t(y * 5)) | (std::uint8_t(y * 12 - x * 3) << 8));
             }));
             r.guidTextures[key] = {key, bump};
         }},
        {u"Lake, first version", [](DocumentWriter& w, DocResManagerRecord&) {
             light_writer::FakeLakeFields f;
             f.version = 1;
             f.light = BackgroundLevel();
             light_writer::WriteFakeLake(w, f);
         }},
        {u"Water ring", [](DocumentWriter& w, DocResManagerRecord&) {
             light_writer::WaterRingFields f;
             f.mode = 1;
             f.dropRate = 90;
             f.damping = 70;
             f.light = BackgroundLevel();
             light_writer::WriteWaterRing(w, f);
         }},
        {u"Water ring, first version", [](DocumentWriter& w, DocResManagerRecord&) {
             light_writer::WaterRingFields f;
             f.version = 1;
             f.light = BackgroundLevel();
             light_writer::WriteWaterRing(w, f);
         }},
    };
}

std::vector<std::uint8_t> LightsDocument()
{
    const std::vector<LightSlide> slides = LightSlides();
    DocumentWriter w;
    w.Header().SlideShowBegin(std::int32_t(slides.size()));
    DocResManagerRecord record;
    for (const LightSlide& slide : slides) {
        w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(6.0f).Int(0).WideString(slide.name);
        slide.write(w, record);
        w.Count(0); // no objects
        w.Count(0); // no sounds
    }
    w.AudioFiles({});
    ModuleResourceBlob background(u"harbour.bmp");
    background.SetBytes(bmp_fixture::BmpPicture(kPictureWidth, kPictureHeight, [](std::uint32_t x, std::uint32_t y) {
        return y < kPictureHeight / 2 ? 0x4080C0u + x * 0x030200u : 0x206040u + y * 0x020301u;
    }));
    record.textureSetRecords[kBackground] = {background};
    w.DocResManager(record);
    return w.Bytes();
}

} // namespace

std::vector<SampleDocument> LightSampleDocuments()
{
    std::vector<std::uint8_t> document = LightsDocument();
    std::vector<std::uint8_t> truncated(document.begin(), document.begin() + std::ptrdiff_t(document.size() / 2));
    return {{"lights.vsd", std::move(document), true}, {"lights-truncated.vsd", std::move(truncated), false}};
}

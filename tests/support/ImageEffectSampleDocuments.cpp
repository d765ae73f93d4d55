#include "tests/support/ImageEffectSampleDocuments.h"

#include <bit>
#include <functional>
#include <string>

#include "tests/support/BmpFixture.h"
#include "tests/support/ImageEffectWriter.h"
#include "tests/support/PictureSceneWriter.h"

using namespace image_effect_writer;

namespace {

constexpr std::uint32_t kPictureWidth = 32, kPictureHeight = 16;
const LinkKey kBackground{u"pictures\\beach.bmp", 61};
const LinkKey kPattern{u"pictures\\ripples.bmp", 62};

StoredLink CommonRes(std::int64_t id)
{
    return {u"common_res.dll", id};
}

// A GUID of fixed bytes, the last byte `n`: the samples are the same on
// every run and every effect has a key of its own.
crt::Guid EffectGuid(std::uint8_t n)
{
    const std::uint8_t bytes[16] = {0x3C, 0x1F, 0x5A, 0x77, 0x10, 0x42, 0x4E, 0x0B,
                                    0x9D, 0x61, 0x2B, 0xC4, 0x88, 0x05, 0xE7, n};
    return crt::GuidFromBytes(bytes);
}

// The effect level shared by every sample: its key, its link, a region over
// the whole picture and a mask (white in the left half) stored under the key.
FxFields SampleFx(std::uint8_t n, std::int64_t effectId, DocResManagerRecord& record)
{
    FxFields fx;
    fx.guid = EffectGuid(n);
    fx.base.guid = fx.guid;
    fx.effectLink = CommonRes(effectId);
    const float w = float(kPictureWidth), h = float(kPictureHeight);
    fx.region = {0, 0, 0, w, 0, 0, 0, h, 0, w, h, 0};
    const GuidNameKey key{fx.guid, u"", 1};
    ResourceBlob mask(u"mask.bmp");
    mask.SetBytes(bmp_fixture::BmpPicture(8, 8, [](std::uint32_t x, std::uint32_t) {
        return x < 4 ? 0xFFFFFFu : 0x000000u;
    }));
    record.guidTextures[key] = {key, mask};
    return fx;
}

using EffectWriter = std::function<void(DocumentWriter&, DocResManagerRecord&)>;

struct EffectSlide {
    std::u16string name;
    EffectWriter write;
};

const std::vector<EffectSlide>& EffectSlides()
{
    static const std::vector<EffectSlide> slides = {
        {u"Pattern", [](DocumentWriter& w, DocResManagerRecord& r) {
             PatternFields f;
             f.storedAsC = true;
             f.pattern = {kPattern.path, kPattern.id};
             f.angle = 30;
             f.tileSize = 80;
             f.fx = SampleFx(1, 78, r);
             WritePatternBrush(w, f);
         }},
        {u"Copy", [](DocumentWriter& w, DocResManagerRecord& r) {
             BackgroundCopyFields f;
             f.rectangle = {2, 14, 2, 10, 6, 3};
             f.flagX = 1;
             f.fx = SampleFx(2, 75, r);
             WriteBackgroundCopy(w, f);
         }},
        {u"Waves", [](DocumentWriter& w, DocResManagerRecord& r) {
             WavesFields f;
             f.amplitude = 20;
             f.angle = 90;
             f.reverse = 1;
             f.fx = SampleFx(3, 77, r);
             f.fx.speed = 20;
             WriteWaves(w, f);
         }},
        {u"Light", [](DocumentWriter& w, DocResManagerRecord& r) {
             LightFields f;
             f.strength = 60;
             f.flickerMode = 2;
             f.fx = SampleFx(4, 76, r);
             WriteLight(w, f);
         }},
        {u"Coloured light", [](DocumentWriter& w, DocResManagerRecord& r) {
             LightIIFields f;
             f.strength = 45;
             f.flickerMode = 1;
             f.blendMode = 1;
             f.colour = 0x2080FF;
             f.fx = SampleFx(5, 190, r);
             WriteLightII(w, f);
         }},
        {u"Underwater", [](DocumentWriter& w, DocResManagerRecord& r) {
             UnderwaterFields f;
             f.amplitude = 30;
             f.fx = SampleFx(6, 88, r);
             WriteUnderwater(w, f);
         }},
        {u"Water", [](DocumentWriter& w, DocResManagerRecord& r) {
             WaterFields f;
             f.colour = 0xE8F0D8;
             f.shadows = 30;
             f.fx = SampleFx(7, 90, r);
             f.fx.scale = 30;
             WriteWater(w, f);
         }},
        {u"Move", [](DocumentWriter& w, DocResManagerRecord& r) {
             MoveFields f;
             f.kind = 3;
             f.secondMagnitude = 40;
             f.direction.magnitude = 40;
             f.direction.fx = SampleFx(8, 91, r);
             WriteMove(w, f);
         }},
    };
    return slides;
}

// The stored pictures: the slides' background and two frames of the
// pattern, half a second each.
void StorePictures(DocResManagerRecord& record)
{
    ModuleResourceBlob background(u"beach.bmp");
    background.SetBytes(bmp_fixture::BmpPicture(kPictureWidth, kPictureHeight, [](std::uint32_t x, std::uint32_t y) {
        return y < kPictureHeight / 2 ? 0x3070D0u + x * 0x040400u : 0xE8D8A0u - y * 0x020202u;
    }));
    record.textureSetRecords[kBackground] = {background};
    std::vector<ModuleResourceBlob> frames;
    for (std::uint32_t frame = 0; frame < 2; ++frame) {
        ModuleResourceBlob blob(u"ripples.bmp");
        blob.SetBytes(bmp_fixture::BmpPicture(8, 8, [frame](std::uint32_t x, std::uint32_t y) {
            return (x + y + frame) % 4 == 0 ? 0xFFFFF0u : 0xC8A868u;
        }));
        frames.push_back(std::move(blob));
    }
    record.textureSetRecords[kPattern] = frames;
    record.textureSetValues[kPattern] = {std::bit_cast<std::uint32_t>(0.5f), std::bit_cast<std::uint32_t>(0.5f)};
}

std::vector<std::uint8_t> ImageEffectsDocument()
{
    const std::vector<EffectSlide>& slides = EffectSlides();
    DocumentWriter w;
    w.Header().SlideShowBegin(std::int32_t(slides.size()));
    DocResManagerRecord record;
    for (const EffectSlide& slide : slides) {
        w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(6.0f).Int(0).WideString(slide.name);
        picture_scene_writer::LightFields light;
        light.backgroundPath = kBackground.path;
        light.backgroundId = kBackground.id;
        picture_scene_writer::WriteLightRecord(w, light);
        w.Count(1);
        slide.write(w, record);
        w.Count(0); // no sounds
    }
    w.AudioFiles({});
    StorePictures(record);
    w.DocResManager(record);
    return w.Bytes();
}

} // namespace

std::vector<SampleDocument> ImageEffectSampleDocuments()
{
    std::vector<std::uint8_t> document = ImageEffectsDocument();
    std::vector<std::uint8_t> truncated(document.begin(), document.begin() + std::ptrdiff_t(document.size() / 3));
    return {{"image-effects.vsd", std::move(document), true},
            {"image-effects-truncated.vsd", std::move(truncated), false}};
}

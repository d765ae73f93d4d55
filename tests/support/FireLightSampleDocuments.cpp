#include "tests/support/FireLightSampleDocuments.h"

#include <functional>
#include <string>

#include "tests/support/BmpFixture.h"
#include "tests/support/ImageEffectWriter.h"
#include "tests/support/LightWriter.h"

using namespace image_effect_writer;

namespace {

constexpr std::uint32_t kPictureWidth = 32, kPictureHeight = 16;
const LinkKey kBackground{u"pictures\\dusk.bmp", 71};
// Where the document keeps its day-to-night effect file.
const LinkKey kNightEffect{u"effects\\day-to-night.fx", 72};

StoredLink CommonRes(std::int64_t id)
{
    return {u"common_res.dll", id};
}

FxFields SampleFx(std::uint8_t n, StoredLink effect)
{
    FxFields fx;
    const std::uint8_t bytes[16] = {0x4D, 0x2E, 0x11, 0x93, 0x20, 0x52, 0x4F, 0x1B,
                                    0x8D, 0x71, 0x3B, 0xD4, 0x98, 0x15, 0xF7, n};
    fx.guid = crt::GuidFromBytes(bytes);
    fx.base.guid = fx.guid;
    fx.effectLink = effect;
    // Corners 0 top left, 1 bottom left, 2 top right, 3 bottom right: the
    // lower half of the picture.
    const float w = float(kPictureWidth), h = float(kPictureHeight);
    fx.region = {0, h / 2, 0, 0, h, 0, w, h / 2, 0, w, h, 0};
    return fx;
}

picture_scene_writer::LightFields BackgroundLevel()
{
    picture_scene_writer::LightFields light;
    light.backgroundPath = kBackground.path;
    light.backgroundId = kBackground.id;
    return light;
}

using SlideWriter = std::function<void(DocumentWriter&)>;

struct Slide {
    std::u16string name;
    SlideWriter light;   // the light record
    SlideWriter effect;  // one object, or none
};

std::vector<Slide> EffectSlides()
{
    auto plainLight = [](DocumentWriter& w) { picture_scene_writer::WriteLightRecord(w, BackgroundLevel()); };
    std::vector<Slide> slides;
    for (std::int32_t version : {3, 2, 1}) {
        slides.push_back({u"Fire", plainLight, [version](DocumentWriter& w) {
                              FireFields f;
                              f.version = version;
                              f.colour1 = 0x40E0FF;
                              f.brightness = 20;
                              f.patternWidth = 50;
                              f.region = {0, 8, 0, 0, 16, 0, 32, 8, 0, 32, 16, 0};
                              f.extraInt = 4;
                              f.fx = SampleFx(std::uint8_t(version), CommonRes(92));
                              f.fx.speed = 50;
                              // Version 2 carries the region and extra int
                              // itself, over a base that has none.
                              if (version == 2)
                                  f.fx.version = 2;
                              WriteFire(w, f);
                          }});
    }
    slides.push_back({u"Night", plainLight, [](DocumentWriter& w) {
                          DayToNightFields f;
                          f.multiplyColour = 0x704030;
                          f.hue = 220;
                          f.saturation = 60;
                          f.brightness = 40;
                          f.softLight = {0.16f, 0.26f, 0.4f, 1.0f};
                          f.desaturation = 40;
                          f.fx = SampleFx(4, {kNightEffect.path, kNightEffect.id});
                          f.fx.mode = 1;
                          WriteDayToNight(w, f);
                      }});
    slides.push_back({u"Heat", plainLight, [](DocumentWriter& w) {
                          HeatFields f;
                          f.shimmerSpeed = 300;
                          f.strength = 60;
                          f.bumpScale = 40;
                          f.fx = SampleFx(5, CommonRes(63));
                          WriteHeat(w, f);
                      }});
    return slides;
}

std::vector<Slide> LightSlides()
{
    std::vector<Slide> slides;
    slides.push_back({u"Flame", [](DocumentWriter& w) {
                          light_writer::FlameLightFields f;
                          f.flameOffset = 10;
                          f.hazeStrength = 30;
                          f.fire.colour1 = 0x30D0FF;
                          f.light = BackgroundLevel();
                          light_writer::WriteFlameLight(w, f);
                      }, nullptr});
    slides.push_back({u"Old flame", [](DocumentWriter& w) {
                          light_writer::FlameLightFields f;
                          f.version = 1;
                          f.fireSpeed = 80;
                          f.heatFlag = 2;
                          f.light = BackgroundLevel();
                          light_writer::WriteFlameLight(w, f);
                      }, nullptr});
    slides.push_back({u"Underwater", [](DocumentWriter& w) {
                          light_writer::UnderwaterLightFields f;
                          f.effect.amplitude = 70;
                          f.light = BackgroundLevel();
                          light_writer::WriteUnderwaterLight(w, f);
                      }, nullptr});
    slides.push_back({u"Old underwater", [](DocumentWriter& w) {
                          light_writer::UnderwaterLightFields f;
                          f.version = 1;
                          f.speed = 7;
                          f.light = BackgroundLevel();
                          light_writer::WriteUnderwaterLight(w, f);
                      }, nullptr});
    for (std::int32_t version : {2, 1}) {
        slides.push_back({u"Matrix", [version](DocumentWriter& w) {
                              light_writer::MatrixCodeLightFields f;
                              f.version = version;
                              f.cellSize = 4;
                              f.speed = 60;
                              f.tintMode = 1;
                              f.flicker = 1;
                              f.transparency = 10;
                              f.glyphs = CommonRes(40);
                              f.light = BackgroundLevel();
                              light_writer::WriteMatrixCodeLight(w, f);
                          }, nullptr});
    }
    return slides;
}

void StorePictures(DocResManagerRecord& record)
{
    ModuleResourceBlob background(u"dusk.bmp");
    background.SetBytes(bmp_fixture::BmpPicture(kPictureWidth, kPictureHeight, [](std::uint32_t x, std::uint32_t y) {
        return y < kPictureHeight / 2 ? 0x305090u + x * 0x020202u : 0x604830u + (x % 4) * 0x101010u;
    }));
    record.textureSetRecords[kBackground] = {background};
}

// The day-to-night effect has no default link: the document carries the
// effect file it was made with, shader source of another platform that the
// player replaces with its own day-to-night effect.
void StoreNightEffect(DocResManagerRecord& record)
{
    const std::string source = "float4 mul_color; float Fade; technique Main { pass P0 { } }";
    ModuleResourceBlob effect(u"day-to-night.fx");
    effect.SetBytes(std::vector<std::uint8_t>(source.begin(), source.end()));
    record.storedResources[kNightEffect] = {effect};
}

std::vector<std::uint8_t> Document(const std::vector<Slide>& slides)
{
    DocumentWriter w;
    w.Header().SlideShowBegin(std::int32_t(slides.size()));
    for (const Slide& slide : slides) {
        w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(6.0f).Int(0).WideString(slide.name);
        slide.light(w);
        w.Count(slide.effect ? 1 : 0);
        if (slide.effect)
            slide.effect(w);
        w.Count(0); // no sounds
    }
    w.AudioFiles({});
    DocResManagerRecord record;
    StorePictures(record);
    StoreNightEffect(record);
    w.DocResManager(record);
    return w.Bytes();
}

} // namespace

std::vector<SampleDocument> FireLightSampleDocuments()
{
    std::vector<std::uint8_t> lights = Document(LightSlides());
    std::vector<std::uint8_t> truncated(lights.begin(), lights.begin() + std::ptrdiff_t(lights.size() / 2));
    return {{"fire-heat-effects.vsd", Document(EffectSlides()), true},
            {"flame-underwater-matrix-lights.vsd", std::move(lights), true},
            {"flame-underwater-matrix-lights-truncated.vsd", std::move(truncated), false}};
}

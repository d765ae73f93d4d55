#include "tests/support/DistortionSampleDocuments.h"

#include <functional>
#include <string>

#include "tests/support/BmpFixture.h"
#include "tests/support/DistortionEffectWriter.h"
#include "tests/support/PictureSceneWriter.h"

using namespace image_effect_writer;

namespace {

constexpr std::uint32_t kPictureWidth = 32, kPictureHeight = 16;
const LinkKey kBackground{u"pictures\\cliff.bmp", 71};
const LinkKey kNoise{u"pictures\\noise.bmp", 72};
const LinkKey kClouds{u"pictures\\clouds.bmp", 73};
// The effect every class without a default link names: bytes this platform
// cannot run, so each plays its built-in effect.
const LinkKey kForeignEffect{u"effects\\distortion.fx", 74};

crt::Guid EffectGuid(std::uint8_t n)
{
    const std::uint8_t bytes[16] = {0x5B, 0x2E, 0x6A, 0x17, 0x30, 0x44, 0x4F, 0x1C,
                                    0x8D, 0x51, 0x3B, 0xA4, 0x98, 0x15, 0xF7, n};
    return crt::GuidFromBytes(bytes);
}

// The effect level of every sample: its key, its link, a region over the
// whole picture (corners across, then down) and its mode.
FxFields SampleFx(std::uint8_t n, std::int64_t effectId, std::int32_t mode = 0)
{
    FxFields fx;
    fx.guid = EffectGuid(n);
    fx.base.guid = fx.guid;
    fx.effectLink = effectId ? StoredLink{u"common_res.dll", effectId}
                             : StoredLink{kForeignEffect.path, kForeignEffect.id};
    fx.mode = mode;
    const float w = float(kPictureWidth), h = float(kPictureHeight);
    fx.region = {0, 0, 0, w, 0, 0, 0, h, 0, w, h, 0};
    return fx;
}

CentralFields Central(std::uint8_t n, std::int64_t effectId = 0)
{
    CentralFields c;
    c.centre = {16.0f, 8.0f, 0.0f};
    c.fx = SampleFx(n, effectId);
    return c;
}

LineFields Line(std::uint8_t n)
{
    LineFields l;
    l.angle = 20;
    l.centre = {16.0f, 6.0f, 0.0f};
    l.fx = SampleFx(n, 0);
    return l;
}

DirectionFields Direction(std::uint8_t n, std::uint32_t angle, std::uint32_t magnitude, std::int32_t mode = 0)
{
    DirectionFields d;
    d.angle = angle;
    d.magnitude = magnitude;
    d.fx = SampleFx(n, 0, mode);
    return d;
}

struct DistortionSlide {
    std::u16string name;
    std::function<void(DocumentWriter&)> write;
};

const std::vector<DistortionSlide>& Slides()
{
    static const std::vector<DistortionSlide> slides = {
        {u"Expand", [](DocumentWriter& w) {
             ExpandFields f;
             f.version = 1; // kind 1 plays as 3, a sine swing
             f.kind = 1;
             f.inward = 30;
             f.central = Central(1, 102);
             WriteExpand(w, f);
         }},
        {u"Radial wave", [](DocumentWriter& w) {
             RadialWaveFields f;
             f.outward = 1;
             f.central = Central(2, 103);
             WriteRadialWave(w, f);
         }},
        {u"Rotation", [](DocumentWriter& w) {
             RotationFields f; // aspect factor 0: a plain rotation
             f.tilt = 20;
             f.central = Central(3);
             WriteRotation(w, f);
         }},
        {u"Bend", [](DocumentWriter& w) {
             BendFields f;
             f.version = 1;
             f.kind = 0; // plays as 3
             f.amplitudeA = 200;
             f.amplitudeB = 100;
             f.bend = 40;
             f.central = Central(4);
             WriteBend(w, f);
         }},
        {u"Perspective", [](DocumentWriter& w) {
             PerspectiveFields f;
             f.version = 1;
             f.sideFlag = 1;
             f.amplitudeA = 300;
             f.depth = 1;
             f.line = Line(5);
             WritePerspective(w, f);
         }},
        {u"Stretch", [](DocumentWriter& w) {
             StretchFields f;
             f.kind = 3;
             f.amplitudeA = 40;
             f.amplitudeB = 20;
             f.line = Line(6);
             WriteStretch(w, f);
         }},
        {u"Linear flow", [](DocumentWriter& w) {
             LinearFlowFields f;
             f.direction = Direction(7, 0, 40);
             WriteLinearFlow(w, f);
         }},
        {u"Radial flow", [](DocumentWriter& w) {
             RadialFlowFields f;
             f.version = 1;
             f.amplitude = 10;
             f.central = Central(8);
             WriteRadialFlow(w, f);
         }},
        {u"Vortex", [](DocumentWriter& w) {
             VortexFields f;
             f.deform = 300;
             f.angle = 30;
             f.reverse = 1;
             f.amplitude = 10;
             f.central = Central(9);
             WriteVortex(w, f);
         }},
        {u"Waterfall", [](DocumentWriter& w) {
             WaterfallFields f;
             f.translucency = 40;
             f.layers = 4;
             f.noiseAmplitude = 80;
             f.threshold = 400;
             f.noise = {kNoise.path, kNoise.id};
             f.baseColour = 0x302010;
             f.direction = Direction(10, 270, 60);
             WriteWaterfall(w, f);
         }},
        {u"Waterfall at the largest count", [](DocumentWriter& w) {
             WaterfallFields f;
             f.layers = 0xFFFFFFFFu;
             f.noise = {kNoise.path, kNoise.id};
             f.direction = Direction(11, 270, 60, 1);
             WriteWaterfall(w, f);
         }},
        {u"Clouds", [](DocumentWriter& w) {
             CloudFields f;
             f.colour1 = 0xFFFFFF;
             f.colour2 = 0xB0A0A0;
             f.cloud = {kClouds.path, kClouds.id};
             f.threshold = 30;
             f.density = 40;
             f.horizon = 100;
             f.height = 2;
             f.direction = Direction(12, 10, 0, 1);
             // The clouds' corners run down first: corner 2 is the top right.
             const float w2 = float(kPictureWidth), h2 = float(kPictureHeight) / 2;
             f.direction.fx.region = {0, 0, 0, 0, h2, 0, w2, 0, 0, w2, h2, 0};
             WriteCloud(w, f);
         }},
    };
    return slides;
}

void StoreResources(DocResManagerRecord& record)
{
    auto picture = [&](const LinkKey& key, std::uint32_t w, std::uint32_t h,
                       const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& paint) {
        ModuleResourceBlob blob(key.path.substr(key.path.rfind(u'\\') + 1));
        blob.SetBytes(bmp_fixture::BmpPicture(w, h, paint));
        record.textureSetRecords[key] = {blob};
    };
    picture(kBackground, kPictureWidth, kPictureHeight, [](std::uint32_t x, std::uint32_t y) {
        return (x / 4 + y / 4) % 2 ? 0x607080u : 0xC0B090u;
    });
    picture(kNoise, 8, 8, [](std::uint32_t x, std::uint32_t y) { return ((x * 37 + y * 91) % 255) * 0x010101u; });
    picture(kClouds, 8, 8, [](std::uint32_t x, std::uint32_t y) { return (x + y) % 3 ? 0xFFFFFFu : 0x404040u; });
    ModuleResourceBlob effect(u"distortion.fx");
    effect.SetBytes({'f', 'l', 'o', 'a', 't', '4', ' ', 'P', 'S', '(', ')', ';'});
    record.storedResources[kForeignEffect] = {effect};
}

std::vector<std::uint8_t> DistortionsDocument()
{
    const std::vector<DistortionSlide>& slides = Slides();
    DocumentWriter w;
    w.Header().SlideShowBegin(std::int32_t(slides.size()));
    for (const DistortionSlide& slide : slides) {
        w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(6.0f).Int(0).WideString(slide.name);
        picture_scene_writer::LightFields light;
        light.backgroundPath = kBackground.path;
        light.backgroundId = kBackground.id;
        picture_scene_writer::WriteLightRecord(w, light);
        w.Count(1);
        slide.write(w);
        w.Count(0); // no sounds
    }
    w.AudioFiles({});
    DocResManagerRecord record;
    StoreResources(record);
    w.DocResManager(record);
    return w.Bytes();
}

} // namespace

std::vector<SampleDocument> DistortionSampleDocuments()
{
    std::vector<std::uint8_t> document = DistortionsDocument();
    std::vector<std::uint8_t> truncated(document.begin(), document.begin() + std::ptrdiff_t(document.size() / 2));
    return {{"distortion-effects.vsd", std::move(document), true},
            {"distortion-effects-truncated.vsd", std::move(truncated), false}};
}

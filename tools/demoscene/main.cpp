// orvanta-demoscene OUT: writes the demo scene that the player carries as
// its own document. Three slides with pictures drawn here (a sky gradient,
// coloured shapes, a landscape) at 1920 x 1080 with smoothed edges, each
// camera mode once, and fades between them. The pictures are stored as PNG
// in the document's resource manager as a document stores them. Sound is synthesised here too: a soft chord that
// the first slide plays now and then as a WAV sound object, and a slow
// arpeggio as the show's one playlist track.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "objectmodel/DocResRecord.h"
#include "objectmodel/ResourceBlob.h"
#include "platform/crt/Guid.h"
#include "tests/support/DocumentWriter.h"
#include "tests/support/PictureSceneWriter.h"
#include "tests/support/SoundWriter.h"
#include "tools/demoscene/FireLightSlides.h"
#include "tools/demoscene/LightBeamsSlide.h"
#include "tools/demoscene/NightSlide.h"
#include "tools/demoscene/PaintedSlide.h"
#include "tools/demoscene/PngPicture.h"
#include "tools/demoscene/DemoParticles.h"
#include "tools/demoscene/EffectsSlide.h"
#include "tools/demoscene/DemoExplosion.h"
#include "tools/demoscene/DemoSingleObjects.h"
#include "tools/demoscene/DemoPathSystems.h"
#include "tools/demoscene/DemoFireflies.h"
#include "tools/demoscene/DemoTrees.h"
#include "tools/demoscene/DemoMeshObjects.h"
#include "tools/demoscene/DemoReadyMade.h"
#include "tools/demoscene/DemoLines.h"
#include "tools/demoscene/DemoSpriteObjects.h"
#include "tools/demoscene/WordsSlide.h"
#include "tools/demoscene/DistortionSlides.h"
#include "tools/demoscene/LightVariantSlides.h"

namespace {

// The pictures' size in pixels: full HD, so that the default run shows
// them without scaling on the most common screen.
constexpr std::uint32_t kWidth = 1920;
constexpr std::uint32_t kHeight = 1080;
// The painters draw in units of a 512 x 288 canvas, whatever the picture's
// size; each pixel takes the mean of kSamples samples of it, so that edges
// are smooth.
constexpr double kCanvasWidth = 512;
constexpr double kCanvasHeight = 288;
constexpr int kSamples = 8;

using Painter = std::function<std::uint32_t(double x, double y)>;

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t)
{
    const auto part = [&](int shift) {
        return std::uint32_t(std::lround(((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t)) << shift;
    };
    return part(16) | part(8) | part(0);
}

// Dusk sky: deep blue above to orange at the horizon, a pale sun.
std::uint32_t Sky(double x, double y)
{
    const double t = std::clamp(y / kCanvasHeight, 0.0, 1.0);
    std::uint32_t colour = Mix(0x101850, 0xF09040, t * t);
    const double dx = x - kCanvasWidth * 0.7, dy = y - kCanvasHeight * 0.75;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d < 28)
        colour = 0xFFF0C0;
    else if (d < 60)
        colour = Mix(0xFFE0A0, colour, (d - 28) / 32);
    return colour;
}

// Circles and a diamond on a violet ground.
std::uint32_t Shapes(double x, double y)
{
    struct Circle {
        double cx, cy, r;
        std::uint32_t rgb;
    };
    static const Circle circles[] = {
        {120, 100, 60, 0xE04040}, {260, 180, 80, 0x40C060}, {400, 110, 50, 0x4080E0}};
    for (const Circle& c : circles) {
        const double dx = x - c.cx, dy = y - c.cy;
        if (dx * dx + dy * dy < c.r * c.r)
            return c.rgb;
    }
    if (std::fabs(x - 440) + std::fabs(y - 230) < 40)
        return 0xF0D020;
    return Mix(0x301040, 0x603080, std::clamp(x / kCanvasWidth, 0.0, 1.0));
}

// Sky, two ranges of hills and a lake.
std::uint32_t Landscape(double x, double y)
{
    const double fx = x / kCanvasWidth;
    const double far = kCanvasHeight * (0.45 + 0.08 * std::sin(fx * 9.0) + 0.04 * std::sin(fx * 23.0));
    const double near = kCanvasHeight * (0.62 + 0.06 * std::sin(fx * 5.0 + 1.3));
    const double lake = kCanvasHeight * 0.8;
    if (y >= lake)
        return Mix(0x3060A0, 0x103050, std::min((y - lake) / (kCanvasHeight - lake), 1.0));
    if (y >= near)
        return Mix(0x307030, 0x184018, (y - near) / (lake - near));
    if (y >= far)
        return Mix(0x506080, 0x405070, (y - far) / (near - far));
    return Mix(0x80B0E0, 0xD0E8F8, std::max(y, 0.0) / far);
}

// The painter's picture at kWidth x kHeight as 8-bit RGB rows, top row
// first. Each pixel averages kSamples samples spread so that no two share a
// row or a column of the pixel (n-rooks), which smooths edges of any slope.
std::vector<std::uint8_t> PaintPixels(const Painter& paint)
{
    std::vector<std::uint8_t> rgb;
    rgb.reserve(std::size_t(kWidth) * kHeight * 3);
    const double scaleX = kCanvasWidth / kWidth, scaleY = kCanvasHeight / kHeight;
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            double sum[3] = {0, 0, 0};
            for (int i = 0; i < kSamples; ++i) {
                const double sx = (x + (i + 0.5) / kSamples) * scaleX;
                const double sy = (y + ((i * 3) % kSamples + 0.5) / kSamples) * scaleY;
                const std::uint32_t colour = paint(sx, sy);
                sum[0] += (colour >> 16) & 0xFF;
                sum[1] += (colour >> 8) & 0xFF;
                sum[2] += colour & 0xFF;
            }
            for (const double channel : sum)
                rgb.push_back(std::uint8_t(std::lround(channel / kSamples)));
        }
    }
    return rgb;
}

// The painter's picture as a PNG file image.
std::vector<std::uint8_t> PngPicture(const Painter& paint)
{
    return EncodePng(kWidth, kHeight, 3, PaintPixels(paint));
}

// ---- sound -------------------------------------------------------------------

constexpr std::uint32_t kSoundRate = 11025;
constexpr double kPi = 3.14159265358979323846;

// A tone that swells in over `attack` seconds and dies away to its end.
double Envelope(double t, double length, double attack)
{
    if (t < attack)
        return t / attack;
    const double release = (length - t) / (length - attack);
    return release * release;
}

// Tones of `frequencies` (Hz) starting at `starts` (seconds), each `length`
// seconds long, summed at `level`, as 16-bit mono samples of `seconds`.
std::vector<std::int16_t> Tones(const std::vector<double>& frequencies, const std::vector<double>& starts,
                                double length, double seconds, double level)
{
    std::vector<double> mix(static_cast<std::size_t>(seconds * kSoundRate), 0.0);
    for (std::size_t tone = 0; tone < frequencies.size(); ++tone) {
        const auto first = static_cast<std::size_t>(starts[tone] * kSoundRate);
        for (std::size_t i = first; i < mix.size(); ++i) {
            const double t = double(i - first) / kSoundRate;
            if (t >= length)
                break;
            // A little of the octave above softens the sine.
            const double wave = std::sin(2 * kPi * frequencies[tone] * t) +
                                0.25 * std::sin(4 * kPi * frequencies[tone] * t);
            mix[i] += level * Envelope(t, length, 0.4) * wave;
        }
    }
    std::vector<std::int16_t> samples;
    for (const double value : mix)
        samples.push_back(std::int16_t(std::lround(std::clamp(value, -1.0, 1.0) * 32767)));
    return samples;
}

// A major chord, all three notes at once, fading in and out over 3 s.
std::vector<std::uint8_t> ChordWave()
{
    return sound_writer::Pcm16WaveImage(Tones({220.0, 277.18, 329.63}, {0.0, 0.0, 0.0}, 3.0, 3.0, 0.12), 1,
                                        kSoundRate);
}

// The chord's notes rising one after another, then the octave, over 8 s.
std::vector<std::uint8_t> ArpeggioWave()
{
    return sound_writer::Pcm16WaveImage(
        Tones({220.0, 277.18, 329.63, 440.0, 329.63, 277.18}, {0.0, 1.0, 2.0, 3.0, 4.5, 5.5}, 2.5, 8.0, 0.15), 1,
        kSoundRate);
}

const description_writer::StoredLink kChordLink{u"sounds\\chord.wav", 201};

// The chord as a WAV sound object: a random timeline plays it once in each
// on-phase of its length, with three to six quiet seconds between.
void WriteChordSound(DocumentWriter& w)
{
    sound_writer::WavFields chord;
    chord.link = kChordLink;
    chord.sound.volume = 70;
    chord.sound.base.name = u"Chord";
    // A fixed GUID keeps the generated document the same from build to build.
    chord.sound.base.guid = crt::ParseGuid("{6F1C2A3B-4D5E-4F60-8172-93A4B5C6D7E8}");
    chord.sound.base.timing.selector = 1;
    chord.sound.base.timing.kind = description_writer::TimelineKind::Random;
    chord.sound.base.timing.offMin = 300;
    chord.sound.base.timing.offMax = 600;
    chord.sound.base.timing.onMin = 300;
    chord.sound.base.timing.onMax = 300;
    chord.sound.base.timing.fadeIn = 0;
    chord.sound.base.timing.fadeOut = 0;
    sound_writer::WriteWav(w, chord);
}

struct DemoSlide {
    std::u16string name;
    std::u16string picturePath;
    std::int64_t pictureId;
    Painter paint;
    std::int32_t cameraMode;
    float fadeIn, hold, fadeOut;
    bool withChord = false;
};

void WriteSlide(DocumentWriter& w, const DemoSlide& slide)
{
    w.Section(u"DS_SlideContainer", 6);
    w.Int(0).Float(slide.fadeIn).Float(slide.fadeOut).Float(slide.hold).Int(0).WideString(slide.name);
    picture_scene_writer::LightFields light;
    light.backgroundPath = slide.picturePath;
    light.backgroundId = slide.pictureId;
    light.camera.mode = slide.cameraMode;
    if (slide.cameraMode == 2) {
        // The path's canvas is a window of three quarters of the picture,
        // flown between centres (picture pixels) that keep it inside.
        const float toPixels = float(kWidth / kCanvasWidth);
        light.camera.pathWidth = kWidth * 3 / 4;
        light.camera.pathHeight = kHeight * 3 / 4;
        light.camera.points = {
            {1, 200.0f * toPixels, 130.0f * toPixels, 0.0f, 4.0f, 100},
            {1, 312.0f * toPixels, 150.0f * toPixels, 0.0f, 4.0f, 100},
            {1, 256.0f * toPixels, 144.0f * toPixels, 0.0f, 4.0f, 100},
        };
    }
    picture_scene_writer::WriteLightRecord(w, light);
    // The first slide carries the particle systems and the fireball.
    const bool withParticles = slide.withChord;
    const bool withExplosion = slide.name == u"Dusk";
    const bool withTrees = slide.name == u"Valley";
    w.Count((withParticles ? kDemoFieldSystemCount + kDemoPathSystemCount + kDemoFireflyCount : 0) + (withExplosion ? 1 : 0) +
            DemoSingleObjectCount(slide.name) + (withTrees ? kDemoTreeCount : 0) +
            DemoSpriteObjectCount(slide.name)); // scene objects
    if (withParticles) {
        WriteDemoPathSystems(w, kWidth, kHeight);
        WriteDemoFieldSystems(w, kWidth, kHeight);
        WriteDemoFireflies(w, kWidth, kHeight);
    }
    if (withExplosion)
        WriteDemoExplosion(w, kWidth, kHeight);
    WriteDemoSingleObjects(w, slide.name, kWidth, kHeight);
    if (withTrees)
        WriteDemoTrees(w, kWidth, kHeight);
    WriteDemoSpriteObjects(w, slide.name, kWidth, kHeight);
    w.Count(slide.withChord ? 1 : 0);
    if (slide.withChord)
        WriteChordSound(w);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: orvanta-demoscene OUT\n", stderr);
        return 2;
    }
    const std::vector<DemoSlide> slides{
        {u"Dusk", u"pictures\\dusk.png", 101, Sky, 0, 1.0f, 8.0f, 1.5f, true},
        {u"Shapes", u"pictures\\shapes.png", 102, Shapes, 1, 1.5f, 8.0f, 1.5f},
        {u"Valley", u"pictures\\valley.png", 103, Landscape, 2, 1.5f, 10.0f, 1.0f},
    };
    DocumentWriter w;
    // One term a slide family, in the order the slides are written.
    const std::int32_t slideCount = std::int32_t(slides.size()) + kLightBeamsSlideCount
                                    + demo_scene::kReadyMadeSlides
                                    + demo_scene::kEffectsSlides
                                    + demo_scene::kMeshObjectsSlides
                                    + kDemoLinesSlideCount
                                    + kNightSlideCount
                                    + kPaintedSlideCount
                                    + kWordsSlideCount
                                    + demo_scene::kFireLightSlides
                                    + demo_scene::kDistortionSlides
                                    + demo_scene::kLightVariantSlides;
    w.Header().SlideShowBegin(slideCount);
    DocResManagerRecord record;
    WriteLightBeamsSlide(w, record);
    for (const DemoSlide& slide : slides) {
        WriteSlide(w, slide);
        const std::u16string file = slide.picturePath.substr(slide.picturePath.rfind(u'\\') + 1);
        ModuleResourceBlob stored(file);
        std::vector<std::uint8_t> png = PngPicture(slide.paint);
        if (png.empty()) {
            std::fputs("orvanta-demoscene: cannot encode a picture\n", stderr);
            return 1;
        }
        stored.SetBytes(std::move(png));
        record.textureSetRecords[LinkKey{slide.picturePath, slide.pictureId}] = {stored};
    }
    AddDemoParticlePictures(record);
    AddDemoSingleObjectPictures(record);
    AddDemoPathSystemPictures(record);
    AddDemoFireflyPictures(record);
    AddDemoTreePictures(record);
    demo_scene::WriteReadyMadeSlide(w, record, kWidth, kHeight);
    AddDemoSpritePictures(record);
    demo_scene::WriteEffectsSlide(w, record, kWidth, kHeight);
    demo_scene::WriteMeshObjectsSlide(w, record, kWidth, kHeight);
    WriteDemoLinesSlide(w, record);
    WriteNightSlide(w, record);
    WritePaintedSlide(w, record);
    if (!WriteWordsSlide(w, record)) {
        std::fputs("orvanta-demoscene: cannot read the font of the words slide\n", stderr);
        return 1;
    }
    demo_scene::WriteFireLightSlides(w, record);
    demo_scene::WriteDistortionSlides(w, record, kWidth, kHeight);
    demo_scene::WriteLightVariantSlides(w, record, kWidth, kHeight);
    ModuleResourceBlob chord(u"chord.wav");
    chord.SetBytes(ChordWave());
    record.storedResources[LinkKey{kChordLink.path, kChordLink.id}] = {chord};
    DS_AudioFile track;
    track.m_name = u"Evening";
    track.m_data = ResourceBlob(u"music\\evening.wav");
    track.m_data.SetBytes(ArpeggioWave());
    w.AudioFiles(std::vector<DS_AudioFile>{track});
    StoreDemoExplosionResources(record);
    w.DocResManager(record);
    if (!w.SaveTo(argv[1])) {
        std::fprintf(stderr, "orvanta-demoscene: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

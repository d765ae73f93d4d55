#include "tests/support/SampleDocuments.h"

#include "tests/support/BmpFixture.h"
#include "tests/support/DistortionSampleDocuments.h"
#include "tests/support/DocumentWriter.h"
#include "tests/support/GeneratorWriter.h"
#include "tests/support/FireLightSampleDocuments.h"
#include "tests/support/ImageEffectSampleDocuments.h"
#include "tests/support/MeshObjectSampleDocuments.h"
#include "tests/support/LineWriter.h"
#include "tests/support/LightGeneratorSampleDocuments.h"
#include "tests/support/LightSampleDocuments.h"
#include "tests/support/ParticleSampleDocuments.h"
#include "tests/support/PresetSampleDocuments.h"
#include "tests/support/ReadyMadeWriter.h"
#include "tests/support/TreeSampleDocuments.h"
#include "tests/support/PictureSceneWriter.h"
#include "tests/support/SampleParticleDocuments.h"
#include "tests/support/SingleObjectSampleDocuments.h"
#include "tests/support/SpriteObjectSampleDocuments.h"
#include "tests/support/EffectObjectSampleDocuments.h"
#include "tests/support/SoundWriter.h"
#include "tests/support/WanderSampleDocuments.h"
#include "tests/support/PaintedGeneratorSampleDocuments.h"

namespace {

DS_AudioFile MakeAudioFile(const char16_t* name, const char16_t* source, std::vector<std::uint8_t> bytes)
{
    DS_AudioFile file;
    file.m_name = name;
    file.m_data.SetName(source);
    file.m_data.SetBytes(std::move(bytes));
    return file;
}

// A GUID with fixed bytes, so sample documents are the same on every run.
crt::Guid SampleGuid()
{
    const std::uint8_t bytes[16] = {0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD,
                                    0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    return crt::GuidFromBytes(bytes);
}

std::vector<std::uint8_t> Truncated(std::vector<std::uint8_t> bytes)
{
    bytes.resize(bytes.size() / 2);
    return bytes;
}

// One slide with the embedded scene's fan of light rays.
std::vector<std::uint8_t> GeneratorsDocument()
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"Beams");
    picture_scene_writer::WriteLightRecord(w, {});
    w.Count(1);
    generator_writer::WriteRadialRays(w, generator_writer::LightBeamsFields());
    w.Count(0);
    w.AudioFiles({});
    w.DocResManager({});
    return w.Bytes();
}

// One slide with two sound objects: a WAV of half a second whose data the
// manager stores for its link, and an MP3 of an older version whose blob is
// not audio.
std::vector<std::uint8_t> SoundsDocument()
{
    DocumentWriter w;
    w.Header().SlideShowBegin(1);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(1.0f).Float(1.0f).Float(10.0f).Int(0).WideString(u"Sounds");
    picture_scene_writer::WriteLightRecord(w, {});
    w.Count(0).Count(2);
    sound_writer::WavFields bell;
    bell.link = {u"sounds\\bell.wav", 31};
    bell.sound.volume = 80;
    bell.sound.pan = 20;
    bell.sound.base.name = u"Bell";
    bell.sound.base.guid = SampleGuid();
    sound_writer::WriteWav(w, bell);
    sound_writer::Mp3Fields loop;
    loop.data = ResourceBlob(u"C:\\Music\\loop.mp3");
    loop.data.SetBytes({'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o'});
    loop.sound.version = 2;
    loop.sound.legacyKind = 1;
    loop.sound.legacyFirst = 3;
    loop.sound.legacySecond = 5;
    loop.sound.base.name = u"Loop";
    sound_writer::WriteMp3(w, loop);
    w.AudioFiles({});
    DocResManagerRecord record;
    ModuleResourceBlob data(u"bell.wav");
    data.SetBytes(sound_writer::Pcm16WaveImage(std::vector<std::int16_t>(11025, 0), 1, 22050));
    record.storedResources[{bell.link.path, bell.link.id}] = {data};
    w.DocResManager(record);
    return w.Bytes();
}

// Two slides that use every record the player reads so far: a picture scene
// whose camera follows a path, sounds on manual and random timelines, an
// older slide version with its whole-second timings, and a manager that
// stores a decodable picture for a texture set and a GUID texture.
std::vector<std::uint8_t> SlidesDocument()
{
    DocumentWriter w;
    w.Header().SlideShowBegin(2);
    w.Section(u"DS_SlideContainer", 6).Int(0).Float(0.5f).Float(0.5f).Float(4.0f).Int(0).WideString(u"Path");
    picture_scene_writer::LightFields light;
    light.backgroundPath = u"sky.png";
    light.backgroundId = 5;
    light.camera.mode = 2;
    light.camera.pathWidth = 800;
    light.camera.pathHeight = 600;
    light.camera.points = {{1, 0.0f, 0.0f, 0.0f, 2.0f, 100}, {1, 100.0f, 50.0f, 0.0f, 3.0f, 150}};
    picture_scene_writer::WriteLightRecord(w, light);
    sound_writer::WavFields chime;
    chime.link = {u"sounds\\chime.wav", 32};
    chime.sound.base.name = u"Chime";
    chime.sound.base.guid = SampleGuid();
    chime.sound.base.timing.selector = 2;
    chime.sound.base.timing.kind = description_writer::TimelineKind::Manual;
    chime.sound.base.timing.intervals = {{0.5f, 3.0f, 1.0f, 2.5f}, {4.0f, 6.0f, 4.5f, 5.5f}};
    w.Count(1);
    sound_writer::WriteWav(w, chime);
    sound_writer::Mp3Fields wind;
    wind.data = ResourceBlob(u"wind.mp3");
    wind.sound.base.name = u"Wind";
    wind.sound.base.timing.selector = 1;
    wind.sound.base.timing.kind = description_writer::TimelineKind::Random;
    w.Count(1);
    sound_writer::WriteMp3(w, wind);

    w.Section(u"DS_SlideContainer", 3).Dword(1).Dword(1).Dword(8).Int(0).WideString(u"Older").Dword(10);
    picture_scene_writer::LightFields older;
    older.version = 2;
    picture_scene_writer::WriteLightRecord(w, older);
    w.Count(0).Count(0);
    w.AudioFiles(SampleAudioFiles());

    DocResManagerRecord record;
    ModuleResourceBlob picture(u"sky.png");
    picture.SetBytes(bmp_fixture::BmpPicture(4, 4, [](std::uint32_t x, std::uint32_t y) { return x * 0x400000u + y * 0x40u; }));
    record.textureSetRecords[{u"sky.png", 5}] = {picture};
    ModuleResourceBlob sound(u"chime.wav");
    sound.SetBytes(sound_writer::Pcm16WaveImage(std::vector<std::int16_t>(2205, 0), 1, 22050));
    record.storedResources[{chime.link.path, chime.link.id}] = {sound};
    const GuidNameKey key{SampleGuid(), u"glow", 1};
    ResourceBlob texture(u"glow.bmp");
    texture.SetBytes({picture.Bytes().begin(), picture.Bytes().end()});
    record.guidTextures[key] = {key, texture};
    w.DocResManager(record);
    return w.Bytes();
}

} // namespace

std::vector<DS_AudioFile> SampleAudioFiles()
{
    return {MakeAudioFile(u"Rain", u"C:\\Music\\rain.mp3", {0x49, 0x44, 0x33, 0x04, 0, 0}),
            MakeAudioFile(u"Silence \"quoted\"", u"silence.wav", {})};
}

DocResManagerRecord SampleResourceRecord()
{
    DocResManagerRecord record;
    ModuleResourceBlob stored(u"sky.png");
    stored.SetBytes({0x89, 'P', 'N', 'G'});
    const ModuleResourceBlob linked(204, u"common_res.dll");
    record.textureSetRecords[{u"sky.png", 5}] = {stored, linked};
    record.textureSetValues[{u"sky.png", 5}] = {FrameTimeValue(0.1f), FrameTimeValue(0.25f)};
    record.storedResources[{u"water.fx", -7}] = {linked};
    const GuidNameKey key{SampleGuid(), u"glow", 1};
    ResourceBlob texture(u"glow.dds");
    texture.SetBytes({'D', 'D', 'S', ' '});
    record.guidTextures[key] = {key, texture};
    record.frames[{u"birds.gif", 9}] = {{{1, 2}, 0.1f}, {{3}, 0.25f}};
    return record;
}

std::vector<SampleDocument> SampleDocuments()
{
    const std::vector<DS_AudioFile> audio = SampleAudioFiles();
    const std::vector<std::uint8_t> full = DocumentWithoutSlides(audio, SampleResourceRecord());

    DocumentWriter oldHeader;
    oldHeader.Header(u"VIZ v 3.0.0").SlideShowBegin(0).Int(0).DocResManager({});
    DocumentWriter hugeString;
    hugeString.Header().WideStringLength(0xFFFFFFFFu).Word(0x44);
    DocumentWriter managerVersion1;
    managerVersion1.Header().SlideShowBegin(0).Int(0).DocResManager(SampleResourceRecord(), 1);

    std::vector<SampleDocument> samples = {
        {"minimal.vsd", MinimalDocument(), true},
        {"audio-and-resources.vsd", full, true},
        {"manager-version-1.vsd", managerVersion1.Bytes(), true},
        {"sounds.vsd", SoundsDocument(), true},
        {"slides.vsd", SlidesDocument(), true},
        {"generators.vsd", GeneratorsDocument(), true},
        {"explosions.vsd", ExplosionsDocument(), true},
        {"truncated.vsd", Truncated(full), false},
        {"outdated-header.vsd", oldHeader.Bytes(), false},
        {"huge-string.vsd", hugeString.Bytes(), false},
    };
    for (SampleDocument& particles : ParticleSampleDocuments())
        samples.push_back(std::move(particles));
    for (SampleDocument& single : SingleObjectSampleDocuments())
        samples.push_back(std::move(single));
    for (SampleDocument& wanderers : WanderSampleDocuments())
        samples.push_back(std::move(wanderers));
    for (SampleDocument& trees : TreeSampleDocuments())
        samples.push_back(std::move(trees));
    for (SampleDocument& presets : PresetSampleDocuments())
        samples.push_back(std::move(presets));
    for (SampleDocument& effects : ImageEffectSampleDocuments())
        samples.push_back(std::move(effects));
    for (SampleDocument& meshes : mesh_object_samples::MeshObjectSampleDocuments())
        samples.push_back(std::move(meshes));
    for (SampleDocument& readyMade : ReadyMadeSampleDocuments())
        samples.push_back(std::move(readyMade));
    for (SampleDocument& lines : LineSampleDocuments())
        samples.push_back(std::move(lines));
    for (SampleDocument& light : LightGeneratorSampleDocuments())
        samples.push_back(std::move(light));
    for (SampleDocument& sprites : SpriteObjectSampleDocuments())
        samples.push_back(std::move(sprites));
    for (SampleDocument& painted : PaintedGeneratorSampleDocuments())
        samples.push_back(std::move(painted));
    for (SampleDocument& effectObjects : EffectObjectSampleDocuments())
        samples.push_back(std::move(effectObjects));
    for (SampleDocument& fire : FireLightSampleDocuments())
        samples.push_back(std::move(fire));
    for (SampleDocument& distortions : DistortionSampleDocuments())
        samples.push_back(std::move(distortions));
    for (SampleDocument& lights : LightSampleDocuments())
        samples.push_back(std::move(lights));
    return samples;
}

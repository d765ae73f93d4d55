#include "tests/support/SampleDocuments.h"

#include "tests/support/DocumentWriter.h"
#include "tests/support/PictureSceneWriter.h"
#include "tests/support/SampleParticleDocuments.h"
#include "tests/support/SoundWriter.h"

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
    record.textureSetValues[{u"sky.png", 5}] = {100, 200};
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
    DocumentWriter unknownSlide;
    unknownSlide.Header().SlideShowBegin(1).Section(u"DS_SlideContainer", 1).Int(0);
    DocumentWriter managerVersion1;
    managerVersion1.Header().SlideShowBegin(0).Int(0).DocResManager(SampleResourceRecord(), 1);

    return {
        {"minimal.vsd", MinimalDocument(), true},
        {"audio-and-resources.vsd", full, true},
        {"manager-version-1.vsd", managerVersion1.Bytes(), true},
        {"sounds.vsd", SoundsDocument(), true},
        {"explosions.vsd", ExplosionsDocument(), true},
        {"truncated.vsd", Truncated(full), false},
        {"outdated-header.vsd", oldHeader.Bytes(), false},
        {"huge-string.vsd", hugeString.Bytes(), false},
        {"unknown-slide-class.vsd", unknownSlide.Bytes(), false},
    };
}

// Sound objects: their stored forms, the WAV data they accept, their
// levels, and how they play as their timelines and slides say.

#include <gtest/gtest.h>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"
#include "render/Timelines.h"
#include "tests/player/sound/SoundTestSupport.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/RecordingArchive.h"

namespace {

using namespace sound_test;
using audio::test::Chunk;
using audio::test::MakeChunk;

std::unique_ptr<DS_Sound_Ctrl> ReadSound(const Bytes& bytes)
{
    InstallPlayerDocumentClasses();
    MemoryArchive archive(bytes);
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u) << "the record was not read to its end";
    return std::unique_ptr<DS_Sound_Ctrl>(dynamic_cast<DS_Sound_Ctrl*>(item.release()));
}

DWORD Status(const DS_WAV_Constructor& wav)
{
    DWORD status = 0;
    wav.buffer->GetStatus(&status);
    return status;
}

audio::GraphState State(const DS_MP3_Constructor& mp3)
{
    audio::GraphState state = audio::GraphState::Stopped;
    mp3.graph->GetState(0, &state);
    return state;
}

// ---- stored forms ---------------------------------------------------------------

TEST(SoundRecord, CurrentRecordsReadAndWriteBackByteForByte)
{
    sound_writer::WavFields wav;
    wav.link = {u"C:\\Sounds\\rain.wav", 77};
    wav.sound.volume = 40;
    wav.sound.pan = 90;
    wav.sound.base.name = u"Rain";
    wav.sound.base.timing.selector = 1;
    wav.sound.base.timing.kind = description_writer::TimelineKind::Random;
    sound_writer::Mp3Fields mp3;
    mp3.data = ResourceBlob(u"D:\\Music\\loop.mp3");
    mp3.data.SetBytes({1, 2, 3, 4, 5});
    mp3.sound.volume = 0;
    mp3.sound.pan = 0;
    mp3.sound.base.name = u"Loop";

    for (const bool isWav : {true, false}) {
        DocumentWriter w;
        if (isWav)
            sound_writer::WriteWav(w, wav);
        else
            sound_writer::WriteMp3(w, mp3);
        const std::unique_ptr<DS_Sound_Ctrl> sound = ReadSound(w.Bytes());
        ASSERT_TRUE(sound);
        if (auto* read = dynamic_cast<DS_WAV_Constructor*>(sound.get())) {
            EXPECT_EQ(read->wavData.Key(), (LinkKey{wav.link.path, wav.link.id}));
            EXPECT_EQ(read->volume.value, 40u);
            EXPECT_EQ(read->pan.value, 90u);
            EXPECT_EQ(read->name, u"Rain");
            EXPECT_EQ(read->timing.Selector(), 1);
        } else {
            auto* readMp3 = dynamic_cast<DS_MP3_Constructor*>(sound.get());
            ASSERT_TRUE(readMp3);
            EXPECT_EQ(readMp3->mp3Data, mp3.data);
            EXPECT_EQ(readMp3->volume.value, 0u);
            EXPECT_EQ(readMp3->name, u"Loop");
        }
        RecordingArchive out;
        sound->Save(ArchiveWriter(out));
        EXPECT_EQ(out.writer.Bytes(), w.Bytes()) << (isWav ? "WAV" : "MP3");
    }
}

TEST(SoundRecord, OlderVersionsConvertTheirTiming)
{
    struct Case {
        std::int32_t version;
        std::int32_t kind;
        int selector;
        std::u16string_view timelineClass; // empty: the one the base section gave
        std::uint32_t offMin, offMax;
    } cases[] = {
        {2, 1, 1, KXI_RandomTimeLine::kClassName, 300, 500},
        {1, 0, 0, KXI_ContinuesTimeLine::kClassName, 0, 0},
        {2, 2, 2, u"", 0, 0},
        {3, 1, 2, u"", 0, 0}, // version 3 stores no old timing: the section's stays
    };
    for (const Case& c : cases) {
        sound_writer::WavFields fields;
        fields.link = {u"a.wav", 1};
        fields.sound.version = c.version;
        fields.sound.volume = 30;
        fields.sound.pan = 70;
        fields.sound.legacyKind = c.kind;
        fields.sound.legacyFirst = 3;
        fields.sound.legacySecond = 5;
        fields.sound.base.timing.selector = 2;
        fields.sound.base.timing.kind = description_writer::TimelineKind::Manual;
        DocumentWriter w;
        sound_writer::WriteWav(w, fields);
        const std::unique_ptr<DS_Sound_Ctrl> sound = ReadSound(w.Bytes());
        ASSERT_TRUE(sound) << "version " << c.version;
        EXPECT_EQ(sound->volume.value, 30u);
        EXPECT_EQ(sound->pan.value, 70u);
        EXPECT_EQ(sound->timing.Selector(), c.selector) << "version " << c.version << " kind " << c.kind;
        const KXI_Timing* timeline = sound->timing.CurrentTimeline();
        if (c.timelineClass.empty()) {
            EXPECT_NE(dynamic_cast<const KXI_ManualTimeLine*>(timeline), nullptr);
            continue;
        }
        if (c.timelineClass == KXI_ContinuesTimeLine::kClassName) {
            EXPECT_NE(dynamic_cast<const KXI_ContinuesTimeLine*>(timeline), nullptr);
            continue;
        }
        const auto* random = dynamic_cast<const KXI_RandomTimeLine*>(timeline);
        ASSERT_NE(random, nullptr);
        EXPECT_EQ(random->offLength.min.value, c.offMin);
        EXPECT_EQ(random->offLength.max.value, c.offMax);
    }
}

TEST(SoundRecord, TruncatedRecordIsRefused)
{
    sound_writer::Mp3Fields fields;
    fields.data.SetBytes(Bytes(64, 7));
    DocumentWriter w;
    sound_writer::WriteMp3(w, fields);
    Bytes bytes = w.Bytes();
    bytes.resize(bytes.size() / 2);
    InstallPlayerDocumentClasses();
    MemoryArchive archive(bytes);
    EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
}

// ---- levels ---------------------------------------------------------------------

TEST(SoundLevels, StoredValuesMapToMillibels)
{
    struct Case {
        std::uint32_t value;
        LONG wavVolume, wavPan, mp3Volume, mp3Balance;
    } cases[] = {
        {100, 0, 5000, 0, 4000},
        {50, -2500, 0, -2000, 0},
        {0, -5000, -5000, -4000, -4000},
        {60, -2000, 1000, -1600, 800},
        {250, 0, 10000, 0, 10000},      // beyond the range a document should hold
        {4000000000u, 0, 10000, 0, 10000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WavBufferVolume(c.value), c.wavVolume) << c.value;
        EXPECT_EQ(WavBufferPan(c.value), c.wavPan) << c.value;
        EXPECT_EQ(Mp3GraphVolume(c.value), c.mp3Volume) << c.value;
        EXPECT_EQ(Mp3GraphBalance(c.value), c.mp3Balance) << c.value;
    }
}

// ---- WAV data ---------------------------------------------------------------------

class WavSoundTest : public SoundFixture {};

TEST_F(WavSoundTest, LengthIsRoundedToHundredthsAndBecomesTheDefaultOnLength)
{
    const audio::WaveFormat format = audio::MakeWaveFormat(1, 22050, 16); // 44100 bytes a second
    struct Case {
        std::size_t dataBytes;
        std::int32_t length;
    } cases[] = {{88200, 200}, {88201, 200}, {88200 + 220, 200}, {88200 + 221, 201}, {4, 0}};
    for (const Case& c : cases) {
        auto wav = MakeWav(audio::test::RiffImage(
            {MakeChunk("fmt ", audio::test::FormatBody(format, true)), MakeChunk("data", Bytes(c.dataBytes, 0))}));
        wav->Start();
        EXPECT_EQ(wav->length, c.length) << c.dataBytes << " bytes";
        EXPECT_FLOAT_EQ(wav->timing.defaultOnLength, float(c.length) / 100.0f);
        EXPECT_EQ(wav->timing.defaultFadeIn, 0.0f);
        EXPECT_EQ(wav->timing.defaultFadeOut, 0.0f);
        EXPECT_TRUE(wav->buffer) << c.dataBytes << " bytes";
        EXPECT_EQ(wav->timing.flags & DS_Sound_Ctrl::kWavTimingFlags, DS_Sound_Ctrl::kWavTimingFlags);
    }
}

TEST_F(WavSoundTest, UnplayableDataLeavesTheObjectSilent)
{
    audio::WaveFormat zeroRate = audio::MakeWaveFormat(1, kRate, 16);
    zeroRate.avgBytesPerSec = 0;
    const Bytes fmt = audio::test::FormatBody(audio::MakeWaveFormat(1, kRate, 16), false);
    const Bytes pcm(1600, 0x10);
    Bytes truncated = SineWave(0.2);
    truncated.resize(truncated.size() / 2);
    const struct Case {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"no data chunk", audio::test::RiffImage({MakeChunk("fmt ", fmt)})},
        {"no fmt chunk", audio::test::RiffImage({MakeChunk("data", pcm)})},
        {"zero byte rate", audio::test::RiffImage({MakeChunk("fmt ", audio::test::FormatBody(zeroRate, false)),
                                                   MakeChunk("data", pcm)})},
        {"truncated data", truncated},
        {"size past the end", audio::test::RiffImage({MakeChunk("fmt ", fmt), Chunk{"data", 0xFFFFFFF0u, pcm}})},
        {"not RIFF at all", Bytes{'n', 'o', 'p', 'e'}},
        {"nothing", Bytes{}},
    };
    for (const Case& c : cases) {
        auto wav = MakeWav(c.bytes);
        auto* script = Script(*wav, KXI_SmartTiming::kContinuous);
        wav->Start();
        EXPECT_FALSE(wav->buffer) << c.what;
        EXPECT_EQ(wav->length, 0) << c.what;
        script->state = kTimingOn;
        wav->Update(0.0f);
        wav->Stop();
        EXPECT_EQ(MixRms(0.05), 0.0) << c.what;
    }
    // A link the document holds no data for.
    DS_WAV_Constructor missing;
    missing.wavData = DS_FileLink3(5, u"elsewhere.wav");
    missing.Start();
    EXPECT_FALSE(missing.buffer);
}

TEST_F(WavSoundTest, StartSetsTheStoredLevels)
{
    const std::uint32_t values[][2] = {{100, 50}, {0, 0}, {0, 100}, {60, 30}};
    for (const auto& v : values) {
        auto wav = MakeWav(SineWave(0.1), v[0], v[1]);
        wav->Start();
        ASSERT_TRUE(wav->buffer);
        LONG volume = 1, pan = 1;
        wav->buffer->GetVolume(&volume);
        wav->buffer->GetPan(&pan);
        EXPECT_EQ(volume, WavBufferVolume(v[0]));
        EXPECT_EQ(pan, WavBufferPan(v[1]));
    }
}

TEST_F(WavSoundTest, PreviewShowsTheSharedSoundPictureAndMayPlayOnce)
{
    auto wav = MakeWav(SineWave(0.1));
    DS_MP3_Constructor mp3;
    PreviewImage wavPreview, mp3Preview;
    wav->GetPreviewImage(wavPreview, false);
    mp3.GetPreviewImage(mp3Preview);
    ASSERT_NE(wavPreview.link, nullptr);
    EXPECT_EQ(wavPreview.link, mp3Preview.link) << "one link for every sound object";
    EXPECT_EQ(wavPreview.link->Key(), (LinkKey{u"common_res.dll", DS_Sound_Ctrl::kPreviewImageId}));
    EXPECT_EQ(wavPreview.imageKind, 0);
    EXPECT_EQ(wavPreview.frameWidth, 1.0f);
    EXPECT_FALSE(wav->buffer) << "no sound without the play flag";

    wav->GetPreviewImage(wavPreview, true);
    ASSERT_TRUE(wav->buffer);
    EXPECT_EQ(Status(*wav), audio::kStatusPlaying);
}

// ---- WAV playing ------------------------------------------------------------------

TEST_F(WavSoundTest, ContinuousTimelineLoopsUntilTheTimelineIsOff)
{
    auto wav = MakeWav(SineWave(0.1));
    auto* script = Script(*wav, KXI_SmartTiming::kContinuous);
    wav->Start();
    wav->Update(0.0f);
    EXPECT_EQ(Status(*wav), 0u) << "nothing plays while the timeline is off";

    script->state = kTimingOn;
    wav->Update(0.0f);
    EXPECT_EQ(Status(*wav), audio::kStatusPlaying | audio::kStatusLooping);
    EXPECT_GT(MixRms(0.35), 0.3) << "still sounding past the sound's own length";

    script->state = kTimingRising;
    wav->Update(0.0f);
    EXPECT_NE(Status(*wav), 0u) << "only the off state stops it";
    script->state = kTimingOff;
    wav->Update(0.0f);
    EXPECT_EQ(Status(*wav), 0u);
    mixer->Mix(kRate / 100); // the stop's fade
    EXPECT_EQ(MixRms(0.05), 0.0);
}

TEST_F(WavSoundTest, OtherTimelinesPlayOncePerOnPhase)
{
    auto wav = MakeWav(SineWave(0.1));
    auto* script = Script(*wav, KXI_SmartTiming::kRandom);
    wav->Start();
    script->state = kTimingOn;

    // The phase begins: one play, to its end, not repeated within the phase.
    wav->Update(0.0f);
    EXPECT_EQ(Status(*wav), audio::kStatusPlaying);
    EXPECT_GT(MixRms(0.1), 0.3);
    mixer->Mix(kRate / 10);
    EXPECT_EQ(Status(*wav), 0u);
    wav->Update(0.0f);
    EXPECT_EQ(Status(*wav), 0u) << "the same on-phase plays once";

    // Off does not cut a single play short; the next on-phase plays again.
    script->state = kTimingOff;
    wav->Update(0.0f);
    script->state = kTimingOn;
    wav->Update(0.0f);
    EXPECT_EQ(Status(*wav), audio::kStatusPlaying);
    script->state = kTimingOff;
    wav->Update(0.0f);
    EXPECT_EQ(Status(*wav), audio::kStatusPlaying) << "a sound played once runs to its end";

    // A phase that begins while the play before still runs is skipped.
    script->state = kTimingOn;
    wav->Update(0.0f);
    mixer->Mix(kRate / 5);
    wav->Update(0.0f);
    EXPECT_EQ(Status(*wav), 0u);
}

TEST_F(WavSoundTest, RandomTimelineDrivesPlaysThroughTheRenderObject)
{
    auto wav = MakeWav(SineWave(0.1));
    auto random = std::make_unique<KXI_RandomTimeLine>();
    random->offLength.min.QuietSet(50);
    random->offLength.max.QuietSet(50);
    random->onLength.min.QuietSet(30);
    random->onLength.max.QuietSet(30);
    random->fadeIn.QuietSet(0);
    random->fadeOut.QuietSet(0);
    random->Reset();
    wav->timing.StoreValue(KXI_SmartTiming::kRandom);
    wav->timing.SetTimeline(std::move(random));
    DS_Sound sound(wav->Clone());
    auto* clone = static_cast<DS_WAV_Constructor*>(sound.Sound());
    ASSERT_TRUE(clone->buffer) << "the render object starts its clone";

    // 0.1 s frames over 4 s: on-phases of 0.3 s every 0.8 s or so.
    int plays = 0;
    bool wasPlaying = false;
    for (int frame = 0; frame <= 40; ++frame) {
        sound.Update(0.1f * float(frame));
        const bool playing = (Status(*clone) & audio::kStatusPlaying) != 0;
        plays += playing && !wasPlaying;
        wasPlaying = playing;
        mixer->Mix(kRate / 10);
    }
    EXPECT_GE(plays, 3);
    EXPECT_LE(plays, 6);
}

TEST_F(WavSoundTest, QuietestLevelIsQuietButNotSilent)
{
    auto loud = MakeWav(SineWave(0.5), 100);
    auto quiet = MakeWav(SineWave(0.5), 0);
    double rms[2] = {};
    int i = 0;
    for (DS_WAV_Constructor* wav : {loud.get(), quiet.get()}) {
        auto* script = Script(*wav, KXI_SmartTiming::kContinuous);
        wav->Start();
        script->state = kTimingOn;
        wav->Update(0.0f);
        rms[i++] = MixRms(0.1);
        wav->Stop();
        mixer->Mix(kRate / 10);
    }
    ASSERT_GT(rms[1], 0.0);
    EXPECT_NEAR(rms[1] / rms[0], std::pow(10.0, -5000.0 / 2000.0), 2e-4);
}

// ---- MP3 (any data the decoder reads) -----------------------------------------------------

class Mp3SoundTest : public SoundFixture {};

TEST_F(Mp3SoundTest, StartMakesItReadyAndSilentWithItsLengthInWholeSeconds)
{
    auto mp3 = MakeMp3(SineWave(1.5));
    mp3->Start();
    ASSERT_TRUE(mp3->graph);
    EXPECT_EQ(mp3->length, 100);
    EXPECT_FLOAT_EQ(mp3->timing.defaultOnLength, 1.0f);
    EXPECT_EQ(State(*mp3), audio::GraphState::Stopped);
    EXPECT_EQ(MixRms(0.1), 0.0);

    std::string error;
    const Bytes encoded = audio::test::Encode(audio::test::SineFloat(440, 44100, 44100 * 5 / 2, 1, 0.3), 1, 44100,
                                              audio::test::kMp3Format, &error);
    if (encoded.empty())
        GTEST_SKIP() << "libsndfile cannot write MP3 here: " << error;
    auto real = MakeMp3(encoded);
    real->Start();
    ASSERT_TRUE(real->graph);
    EXPECT_EQ(real->length, 200);
}

TEST_F(Mp3SoundTest, DataThatCannotPlayLeavesTheObjectSilent)
{
    // A blob without bytes names a file; even one that exists is not read.
    audio::test::TempDir dir;
    const auto path = dir.Path() / "present.wav";
    const Bytes wave = SineWave(0.2);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(file);
    std::fwrite(wave.data(), 1, wave.size(), file);
    std::fclose(file);

    const struct Case {
        const char* what;
        std::u16string name;
        Bytes bytes;
    } cases[] = {
        {"no bytes, an existing file named", crt::FromUtf8(path.string()), {}},
        {"no bytes", u"missing.mp3", {}},
        {"not audio", u"noise.mp3", Bytes(4096, 0x5A)},
    };
    for (const Case& c : cases) {
        DS_MP3_Constructor mp3;
        mp3.mp3Data = ResourceBlob(c.name);
        mp3.mp3Data.SetBytes(c.bytes);
        auto* script = Script(mp3, KXI_SmartTiming::kContinuous);
        mp3.Start();
        EXPECT_FALSE(mp3.graph) << c.what;
        script->state = kTimingOn;
        mp3.Update(0.0f);
        mp3.Stop();
        EXPECT_EQ(mp3.length, 0) << c.what;
        EXPECT_EQ(MixRms(0.05), 0.0) << c.what;
    }
}

TEST_F(Mp3SoundTest, RepeatsFromTheStartWhileOnAndStopsWhenOff)
{
    auto mp3 = MakeMp3(SineWave(0.1), 50, 100);
    auto* script = Script(*mp3, KXI_SmartTiming::kManual);
    mp3->Start();
    script->state = kTimingOn;
    mp3->Update(0.0f);
    ASSERT_EQ(State(*mp3), audio::GraphState::Running);
    LONG volume = 1, balance = 0;
    mp3->graph->GetVolume(&volume);
    mp3->graph->GetBalance(&balance);
    EXPECT_EQ(volume, -2000);
    EXPECT_EQ(balance, 4000);

    // At its end it stops; the next frame starts it again from the start.
    mixer->Mix(kRate / 10 + 64);
    mp3->Update(0.0f);
    EXPECT_EQ(State(*mp3), audio::GraphState::Stopped);
    mp3->Update(0.0f);
    EXPECT_EQ(State(*mp3), audio::GraphState::Running);
    std::int64_t current = -1;
    mp3->graph->GetPositions(&current, nullptr);
    EXPECT_EQ(current, 0);

    script->state = kTimingOff;
    mp3->Update(0.0f);
    EXPECT_EQ(State(*mp3), audio::GraphState::Stopped);
}

TEST_F(Mp3SoundTest, StartingPlaysAtItsLevelFromTheFirstSample)
{
    // Full scale at volume 0 (-4000 mB, a hundredth): no louder sample may
    // slip out before the level is applied.
    auto mp3 = MakeMp3(SineWave(0.2, 1.0), 0);
    auto* script = Script(*mp3, KXI_SmartTiming::kContinuous);
    mp3->Start();
    script->state = kTimingOn;
    mp3->Update(0.0f);
    const std::vector<float> out = mixer->Mix(kRate / 20);
    EXPECT_GT(audio::test::Peak(out, 0, kRate / 20), 0.005f);
    EXPECT_LE(audio::test::Peak(out, 0, kRate / 20), 0.0101f);
}

// ---- sounds of a slide -----------------------------------------------------------------

TEST_F(WavSoundTest, LeavingTheSlideStopsEverySoundAtOnce)
{
    auto wav = MakeWav(SineWave(1.0));
    auto mp3 = MakeMp3(SineWave(1.0));
    DS_SlideContainer slide;
    slide.StoredSounds().push_back(std::move(wav));
    slide.StoredSounds().push_back(std::move(mp3));
    slide.InitSlide();
    ASSERT_EQ(slide.Sounds().size(), 2u);
    slide.EnableSounds(true);
    slide.Update(0.1f);
    auto* wavObject = dynamic_cast<DS_Sound*>(slide.Sounds()[0].get());
    auto* mp3Object = dynamic_cast<DS_Sound*>(slide.Sounds()[1].get());
    ASSERT_TRUE(wavObject && mp3Object);
    auto* playingWav = static_cast<DS_WAV_Constructor*>(wavObject->Sound());
    auto* playingMp3 = static_cast<DS_MP3_Constructor*>(mp3Object->Sound());
    EXPECT_NE(Status(*playingWav), 0u);
    EXPECT_EQ(State(*playingMp3), audio::GraphState::Running);
    EXPECT_GT(MixRms(0.05), 0.3);

    slide.EnableSounds(false);
    EXPECT_EQ(Status(*playingWav), 0u);
    EXPECT_EQ(State(*playingMp3), audio::GraphState::Stopped);
    slide.Update(0.2f); // disabled sounds do not start again
    mixer->Mix(kRate / 100);
    EXPECT_EQ(MixRms(0.05), 0.0);

    slide.EnableSounds(true);
    slide.Update(0.3f);
    EXPECT_GT(MixRms(0.05), 0.3) << "the slide shown again plays its sounds again";
}

TEST_F(WavSoundTest, MuteSilencesEverySoundThroughThePrimaryBuffer)
{
    auto wav = MakeWav(SineWave(1.0));
    auto mp3 = MakeMp3(SineWave(1.0));
    auto* wavScript = Script(*wav, KXI_SmartTiming::kContinuous);
    auto* mp3Script = Script(*mp3, KXI_SmartTiming::kContinuous);
    wav->Start();
    mp3->Start();
    wavScript->state = mp3Script->state = kTimingOn;
    wav->Update(0.0f);
    mp3->Update(0.0f);
    EXPECT_GT(MixRms(0.05), 0.3);

    player::WallpaperPlayer wallpaper;
    wallpaper.SetVolume(80, true);
    mixer->Mix(kRate / 100); // the level's ramp
    EXPECT_EQ(MixRms(0.05), 0.0);
    wallpaper.SetVolume(0, false);
    mixer->Mix(kRate / 100);
    EXPECT_GT(MixRms(0.05), 0.0) << "volume 0 is quiet, not silent";
}

} // namespace

// Sounds played through the process's real output: SDL's disk driver
// writes the mixed stream to a file, where each sound must appear at the
// level that its own volume and the volume setting give it.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <thread>

#include "tests/player/sound/SoundTestSupport.h"

namespace {

using namespace sound_test;

// Opens the process's output on the disk driver, runs `play` (which returns
// once its sound has ended), closes the output and answers what was written.
audio::test::DiskOutput RecordDiskOutput(const std::function<void()>& play)
{
    audio::test::TempDir dir;
    const std::string file = (dir.Path() / "mix.raw").string();
    audio::CloseProcessOutput();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    InstallPlayerDocumentClasses();
    EXPECT_TRUE(InitDirectSound(nullptr));
    EXPECT_NE(DirectSoundDevice(), nullptr) << audio::ProcessOutputError();
    if (DirectSoundDevice())
        play();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ReleaseAudioGraph();
    ReleaseDirectSound();
    audio::CloseProcessOutput(); // closes the file
    return audio::test::ReadDiskOutput(file);
}

// Waits (ten seconds at most) until `ended` answers true.
void WaitUntil(const std::function<bool()>& ended)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!ended() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(ended()) << "the sound did not end";
}

// A fifth of a second of a half-scale sine.
Bytes Chord() { return SineWave(0.2, 0.5, 1000); }

// Plays a WAV object of stored volume `volume` to its end.
void PlayWavObject(std::uint32_t volume)
{
    DS_DocResManager manager;
    CurrentDocResManagerScope scope(&manager);
    DS_WAV_Constructor wav;
    wav.wavData = DS_FileLink3(1, u"chord.wav");
    ModuleResourceBlob record(u"chord.wav");
    record.SetBytes(Chord());
    manager.GetResourceRecords(wav.wavData.Key()).push_back(record);
    wav.volume.QuietSet(volume);
    ScriptedTimeline* script = Script(wav, KXI_SmartTiming::kRandom);
    wav.Start();
    ASSERT_TRUE(wav.buffer);
    script->state = kTimingOn;
    wav.Update(0.0f);
    WaitUntil([&] {
        DWORD status = audio::kStatusPlaying;
        wav.buffer->GetStatus(&status);
        return status == 0;
    });
}

// Plays one playlist track to its end.
void PlayPlaylistTrack()
{
    ASSERT_TRUE(InitAudioGraph(nullptr));
    DS_AudioFile track;
    track.m_name = u"chord.wav";
    track.m_data = ResourceBlob(u"chord.wav");
    track.m_data.SetBytes(Chord());
    ASSERT_TRUE(PlayAudioFile(track));
    WaitUntil([] {
        std::int64_t current = 0, stop = 0;
        AudioGraph()->GetPositions(&current, &stop);
        return current >= stop;
    });
}

// Root mean square of the left channel over the sound's audible frames.
double SoundRms(const audio::test::DiskOutput& written)
{
    return written.first <= written.last ? audio::test::Rms(written.stereo, 0, written.first, written.last + 1) : 0.0;
}

TEST(SoundOutput, PlayedWavObjectReachesTheDeviceAtItsLevel)
{
    std::uint32_t rate = 0;
    const auto written = RecordDiskOutput([&] {
        rate = DirectSoundMixer()->SampleRate();
        PlayWavObject(60); // -2000 mB: a tenth
    });
    ASSERT_LT(written.first, written.last);
    EXPECT_NEAR(double(written.last - written.first + 1), double(rate) / 5, double(rate) / 100);
    EXPECT_NEAR(audio::test::Rms(written.stereo, 0, written.first, written.last), 0.05 / std::sqrt(2.0), 0.003);
    EXPECT_NEAR(audio::test::Rms(written.stereo, 1, written.first, written.last), 0.05 / std::sqrt(2.0), 0.003);
}

// The volume setting reaches the playlist through the graph's volume alone
// (volume 50: -2000 mB) and the sound objects through the primary buffer on
// top of their own volume (volume 50: -2500 mB); mute silences both.
TEST(SoundOutput, VolumeSettingGivesEachSoundItsOwnLevel)
{
    struct Case {
        const char* name;
        std::function<void()> play;
        double decibelsAtHalf;
    };
    const Case cases[] = {
        {"playlist track", [] { PlayPlaylistTrack(); }, 20.0},
        {"WAV object", [] { PlayWavObject(100); }, 25.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto atSetting = [&](int volume, bool mute) {
            return SoundRms(RecordDiskOutput([&] {
                player::WallpaperPlayer wallpaper;
                ASSERT_TRUE(InitAudioGraph(nullptr));
                wallpaper.SetVolume(volume, mute);
                c.play();
            }));
        };
        const double full = atSetting(100, false);
        const double half = atSetting(50, false);
        ASSERT_GT(full, 0.3) << "a half-scale sine at full level";
        ASSERT_GT(half, 0.0);
        EXPECT_NEAR(20.0 * std::log10(full / half), c.decibelsAtHalf, 1.0);
        EXPECT_EQ(atSetting(100, true), 0.0) << "muted";
    }
}

} // namespace

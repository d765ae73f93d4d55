#pragma once
// Fixtures for the sound tests: a process mixer the test drives itself (no
// audio device), the process's sound device and playlist graph made on it,
// a document resource manager holding WAV data for file links, and a
// timeline whose state the test sets.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "platform/audio/AudioOutput.h"
#include "platform/audio/Mixer.h"
#include "player/AudioPlaylist.h"
#include "player/SlideShow.h"
#include "player/SoundDevice.h"
#include "player/SoundObjects.h"
#include "player/WallpaperPlayer.h"
#include "render/DocResManager.h"
#include "render/Timing.h"
#include "render/TimingSmart.h"
#include "tests/platform/audio/AudioTestSupport.h"
#include "tests/support/SoundWriter.h"

namespace sound_test {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint32_t kRate = 8000;

// A timeline that reports the state the test gives it.
class ScriptedTimeline : public KXI_Timing {
public:
    int GetState() const override { return state; }
    int state = kTimingOff;
};

// Installs a scripted timeline as the description's current one (selector
// `kind`) and answers it.
inline ScriptedTimeline* Script(DS_Sound_Ctrl& sound, int kind)
{
    auto timeline = std::make_unique<ScriptedTimeline>();
    ScriptedTimeline* raw = timeline.get();
    sound.timing.StoreValue(kind);
    sound.timing.SetTimeline(std::move(timeline));
    return raw;
}

// A mono 16-bit WAV image of a sine at `amplitude`, `seconds` long, at kRate.
inline Bytes SineWave(double seconds, double amplitude = 0.5, double hz = 500)
{
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    return sound_writer::Pcm16WaveImage(audio::test::Sine16(hz, kRate, frames, 1, amplitude), 1, kRate);
}

// The sound layer on a mixer of the test's, and a resource manager.
class SoundFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallPlayerDocumentClasses();
        mixer = std::make_shared<audio::Mixer>(kRate);
        audio::SetProcessMixer(mixer);
        ASSERT_TRUE(InitDirectSound(nullptr));
        ASSERT_NE(PrimarySoundBuffer(), nullptr);
        managerScope = std::make_unique<CurrentDocResManagerScope>(&manager);
    }
    void TearDown() override
    {
        managerScope.reset();
        ReleaseAudioGraph();
        ReleaseDirectSound();
        audio::CloseProcessOutput();
    }

    // A link whose data the resource manager holds.
    DS_FileLink3 StoreWave(const Bytes& bytes, const std::u16string& name = u"sound.wav")
    {
        DS_FileLink3 link(++nextId, name);
        ModuleResourceBlob record(name);
        record.SetBytes(bytes);
        manager.GetResourceRecords(link.Key()).push_back(record);
        return link;
    }

    std::unique_ptr<DS_WAV_Constructor> MakeWav(const Bytes& bytes, std::uint32_t volume = 100, std::uint32_t pan = 50)
    {
        auto wav = std::make_unique<DS_WAV_Constructor>();
        wav->wavData = StoreWave(bytes);
        wav->volume.QuietSet(volume);
        wav->pan.QuietSet(pan);
        return wav;
    }

    std::unique_ptr<DS_MP3_Constructor> MakeMp3(const Bytes& bytes, std::uint32_t volume = 100, std::uint32_t pan = 50)
    {
        auto mp3 = std::make_unique<DS_MP3_Constructor>();
        mp3->mp3Data = ResourceBlob(u"C:\\Music\\track.mp3");
        mp3->mp3Data.SetBytes(bytes);
        mp3->volume.QuietSet(volume);
        mp3->pan.QuietSet(pan);
        return mp3;
    }

    // Root mean square of the left channel of the next `seconds` of output.
    double MixRms(double seconds)
    {
        const auto frames = static_cast<std::uint32_t>(seconds * kRate);
        const std::vector<float> out = mixer->Mix(frames);
        return audio::test::Rms(out, 0, 0, frames);
    }

    std::shared_ptr<audio::Mixer> mixer;
    DS_DocResManager manager;
    std::unique_ptr<CurrentDocResManagerScope> managerScope;
    std::int32_t nextId = 1000;
};

} // namespace sound_test

// A WAV object played through the process's real output: SDL's disk driver
// writes the mixed stream to a file, where the sound must appear at its
// level.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "tests/player/sound/SoundTestSupport.h"

namespace {

using namespace sound_test;

TEST(SoundOutput, PlayedWavObjectReachesTheDeviceAtItsLevel)
{
    audio::test::TempDir dir;
    const std::string file = (dir.Path() / "mix.raw").string();
    audio::CloseProcessOutput();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    InstallPlayerDocumentClasses();
    ASSERT_TRUE(InitDirectSound(nullptr));
    ASSERT_NE(DirectSoundDevice(), nullptr) << audio::ProcessOutputError();
    const std::uint32_t rate = DirectSoundMixer()->SampleRate();

    DS_DocResManager manager;
    CurrentDocResManagerScope scope(&manager);
    DS_WAV_Constructor wav;
    wav.wavData = DS_FileLink3(1, u"chord.wav");
    ModuleResourceBlob record(u"chord.wav");
    record.SetBytes(SineWave(0.2, 0.5, 1000)); // a fifth of a second of a half-scale sine
    manager.GetResourceRecords(wav.wavData.Key()).push_back(record);
    wav.volume.QuietSet(60); // -2000 mB: a tenth
    ScriptedTimeline* script = Script(wav, KXI_SmartTiming::kRandom);
    wav.Start();
    ASSERT_TRUE(wav.buffer);
    script->state = kTimingOn;
    wav.Update(0.0f);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    DWORD status = audio::kStatusPlaying;
    while (status != 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        wav.buffer->GetStatus(&status);
    }
    ASSERT_EQ(status, 0u) << "the sound did not end";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    wav.buffer.reset();
    ReleaseDirectSound();
    audio::CloseProcessOutput(); // closes the file

    const auto written = audio::test::ReadDiskOutput(file);
    const std::vector<float>& mixed = written.stereo;
    const std::size_t first = written.first, last = written.last;
    ASSERT_LT(first, last);
    EXPECT_NEAR(double(last - first + 1), double(rate) / 5, double(rate) / 100);
    EXPECT_NEAR(audio::test::Rms(mixed, 0, first, last), 0.05 / std::sqrt(2.0), 0.003);
    EXPECT_NEAR(audio::test::Rms(mixed, 1, first, last), 0.05 / std::sqrt(2.0), 0.003);
}

} // namespace

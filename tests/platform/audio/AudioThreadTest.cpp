// The sound layer while SDL's audio thread mixes (dummy driver): the main
// thread makes, plays, moves, stops and releases buffers and graphs, and
// takes their events, as the player does from frame to frame. Nothing here
// checks levels; the sanitizers the tests run under find what goes wrong
// between the two threads.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/audio/AudioOutput.h"
#include "platform/audio/FilterGraph.h"
#include "platform/audio/SoundBuffer.h"
#include "tests/platform/audio/AudioTestSupport.h"

namespace audio {
namespace {

using test::Bytes;

class AudioThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        CloseProcessOutput();
        mixer = ProcessMixer();
        ASSERT_TRUE(mixer) << ProcessOutputError();
        ASSERT_EQ(SoundDevice::Create(&device), kOk);
    }
    void TearDown() override
    {
        device.reset();
        mixer.reset();
        CloseProcessOutput();
    }

    // A buffer of `frames` of a sine at `rate`, `channels` wide.
    std::shared_ptr<SoundBuffer> Buffer(std::uint32_t rate, std::uint32_t channels, std::size_t frames)
    {
        const Bytes pcm = test::Pcm16(test::Sine16(440, rate, frames, channels, 0.25));
        std::shared_ptr<SoundBuffer> buffer;
        EXPECT_EQ(device->CreateSoundBuffer(
                      {kBufferCtrlVolume | kBufferCtrlPan, DWORD(pcm.size()), MakeWaveFormat(channels, rate, 16)},
                      &buffer),
                  kOk);
        if (!buffer)
            return nullptr;
        void* at = nullptr;
        DWORD bytes = 0;
        buffer->Lock(0, 0, &at, &bytes, nullptr, nullptr, kLockEntireBuffer);
        std::memcpy(at, pcm.data(), bytes);
        buffer->Unlock(at, bytes, nullptr, 0);
        return buffer;
    }

    static Bytes Wave(std::uint32_t rate, std::uint32_t channels, std::size_t frames)
    {
        return test::RiffImage({test::MakeChunk("fmt ", test::FormatBody(MakeWaveFormat(channels, rate, 16), false)),
                                test::MakeChunk("data", test::Pcm16(test::Sine16(330, rate, frames, channels, 0.25)))});
    }

    std::shared_ptr<Mixer> mixer;
    std::shared_ptr<SoundDevice> device;
};

// Short sounds at several rates, so that they end on the audio thread
// (posting events, going back to their start) while the main thread starts,
// moves, stops and drops them and their graphs; a graph also gets a new
// source while it plays.
TEST_F(AudioThreadTest, SoundsChangedAndReleasedWhileTheDeviceMixes)
{
    const Bytes waves[] = {Wave(8000, 1, 200), Wave(22050, 2, 900), Wave(48000, 1, 1500), Wave(96000, 2, 4000)};
    int completions = 0;
    std::shared_ptr<FilterGraph> playlist;
    ASSERT_EQ(FilterGraph::Create(mixer, &playlist), kOk);
    playlist->SetNotifyCallback([&] {
        GraphEvent event;
        while (playlist->GetEvent(&event, 0) == kOk)
            ++completions;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    for (int round = 0; std::chrono::steady_clock::now() < deadline; ++round) {
        auto once = Buffer(11025 * (1 + round % 4), 1 + round % 2, 64 + 97 * (round % 13));
        auto looping = Buffer(44100, 2, 300);
        ASSERT_TRUE(once && looping);
        once->Play(0);
        looping->Play(kPlayLooping);
        looping->SetVolume(-100 * (round % 30));
        looping->SetPan(round % 2 ? 2000 : -2000);

        std::shared_ptr<FilterGraph> graph;
        ASSERT_EQ(FilterGraph::Create(mixer, &graph), kOk);
        ASSERT_EQ(graph->RenderBytes(waves[round % 4]), kOk);
        graph->SetVolume(-50 * (round % 40));
        graph->Run();
        if (round % 5 == 0) {
            ASSERT_EQ(playlist->RenderBytes(waves[(round / 5) % 4]), kOk);
        }
        playlist->Run();

        std::this_thread::sleep_for(std::chrono::microseconds(200 * (round % 40)));
        mixer->PollEvents();
        std::int64_t start = 0;
        graph->SetPositions(&start, kSeekAbsolute, nullptr, kSeekNoPositioning);
        once->SetCurrentPosition(0);
        if (round % 3 == 0)
            looping->Stop();
        if (round % 7 == 0)
            graph->Stop();
        // The last references go while the sounds may still play.
    }
    mixer->PollEvents();
    playlist->Stop();
    EXPECT_GT(completions, 0) << "the playlist's tracks ended on the audio thread";
}

} // namespace
} // namespace audio

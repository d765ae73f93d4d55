#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/audio/AudioOutput.h"
#include "platform/audio/FilterGraph.h"
#include "platform/audio/SoundBuffer.h"
#include "tests/platform/audio/AudioTestSupport.h"

namespace audio {
namespace {

using test::Bytes;
using Clock = std::chrono::steady_clock;

// Chooses SDL's audio driver for the outputs opened in this test.
class AudioOutputTest : public ::testing::Test {
protected:
    void UseDriver(const char* driver) { setenv("SDL_AUDIODRIVER", driver, 1); }
    void TearDown() override { CloseProcessOutput(); }
};

template <typename Done>
bool WaitFor(Done done, std::chrono::seconds limit = std::chrono::seconds(10))
{
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST_F(AudioOutputTest, APlayedBufferReachesTheDeviceAtItsLevel)
{
    test::TempDir dir;
    const std::string file = (dir.Path() / "mix.raw").string();
    UseDriver("disk");
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);

    std::string error;
    auto output = AudioOutput::Open(&error);
    ASSERT_TRUE(output) << error;
    const std::uint32_t rate = output->GetMixer()->SampleRate();
    std::shared_ptr<SoundDevice> device;
    ASSERT_EQ(SoundDevice::Create(output->GetMixer(), &device), kOk);

    // A fifth of a second of a half-scale 1 kHz sine at 22050 Hz, at -20 dB.
    constexpr std::size_t kFrames = 22050 / 5;
    const Bytes pcm = test::Pcm16(test::Sine16(1000, 22050, kFrames, 1, 0.5));
    std::shared_ptr<SoundBuffer> buffer;
    ASSERT_EQ(device->CreateSoundBuffer({kBufferCtrlVolume, DWORD(pcm.size()), MakeWaveFormat(1, 22050, 16)}, &buffer),
              kOk);
    void* at = nullptr;
    DWORD bytes = 0;
    buffer->Lock(0, 0, &at, &bytes, nullptr, nullptr, kLockEntireBuffer);
    std::memcpy(at, pcm.data(), bytes);
    buffer->Unlock(at, bytes, nullptr, 0);
    buffer->SetVolume(-2000);
    buffer->Play(0);
    ASSERT_TRUE(WaitFor([&] {
        DWORD status = 0;
        buffer->GetStatus(&status);
        return status == 0;
    }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    output.reset(); // closes the file

    const auto written = test::ReadDiskOutput(file);
    const std::vector<float>& mixed = written.stereo;
    const std::size_t first = written.first, last = written.last;
    ASSERT_LT(first, last);
    EXPECT_NEAR(double(last - first + 1), double(rate) / 5, double(rate) / 1000);
    EXPECT_NEAR(test::Rms(mixed, 0, first, last), 0.05 / std::sqrt(2.0), 0.002);
    EXPECT_NEAR(test::Rms(mixed, 1, first, last), 0.05 / std::sqrt(2.0), 0.002);
}

TEST_F(AudioOutputTest, GraphCompletionArrivesThroughTheEventQueue)
{
    UseDriver("dummy");
    std::shared_ptr<Mixer> mixer = ProcessMixer();
    ASSERT_TRUE(mixer) << ProcessOutputError();
    std::shared_ptr<FilterGraph> graph;
    ASSERT_EQ(FilterGraph::Create(&graph), kOk);

    std::atomic<bool> woken{false};
    mixer->SetWakeHandler([&] { woken = true; });
    const std::thread::id mainThread = std::this_thread::get_id();
    int notified = 0;
    bool onMainThread = false;
    graph->SetNotifyCallback([&] {
        ++notified;
        onMainThread = std::this_thread::get_id() == mainThread;
    });

    // 50 ms of sound.
    const Bytes wav = test::RiffImage(
        {test::MakeChunk("fmt ", test::FormatBody(MakeWaveFormat(1, 8000, 16), false)),
         test::MakeChunk("data", test::Pcm16(test::Sine16(500, 8000, 400, 1, 0.25)))});
    ASSERT_EQ(graph->RenderBytes(wav), kOk);
    graph->Run();
    ASSERT_TRUE(WaitFor([&] {
        mixer->PollEvents();
        return notified > 0;
    }));
    EXPECT_TRUE(onMainThread);
    EXPECT_TRUE(woken);
    GraphEvent event;
    ASSERT_EQ(graph->GetEvent(&event, 0), kOk);
    EXPECT_EQ(event.code, kEventComplete);
    graph.reset();
}

TEST_F(AudioOutputTest, WithoutADeviceEverythingStaysSilent)
{
    UseDriver("no-such-driver");
    std::string error;
    EXPECT_FALSE(AudioOutput::Open(&error));
    EXPECT_FALSE(error.empty());

    EXPECT_FALSE(ProcessMixer());
    EXPECT_FALSE(ProcessOutputError().empty());
    std::shared_ptr<SoundDevice> device;
    EXPECT_EQ(SoundDevice::Create(&device), kNoDriver);
    std::shared_ptr<FilterGraph> graph;
    EXPECT_EQ(FilterGraph::Create(&graph), kNoDriver);
}

TEST_F(AudioOutputTest, AProcessMixerOfTheCallersTakesTheDevicesPlace)
{
    auto mixer = std::make_shared<Mixer>(44100);
    SetProcessMixer(mixer);
    EXPECT_EQ(ProcessMixer(), mixer);
    std::shared_ptr<SoundDevice> device;
    ASSERT_EQ(SoundDevice::Create(&device), kOk);
    EXPECT_EQ(device->GetMixer(), mixer);
}

} // namespace
} // namespace audio

#include <gtest/gtest.h>

#include <fstream>

#include "platform/audio/FilterGraph.h"
#include "platform/audio/SoundBuffer.h"
#include "tests/platform/audio/AudioTestSupport.h"

namespace audio {
namespace {

using test::Bytes;

constexpr std::uint32_t kRate = 48000;

// A mono 16-bit WAV at `rate` whose frame i holds 6 x (i + 1) (up to 5461 frames).
Bytes RampWav(std::size_t frames, std::uint32_t rate = kRate)
{
    std::vector<std::int16_t> samples;
    for (std::size_t i = 0; i < frames; ++i)
        samples.push_back(std::int16_t(6 * (i + 1)));
    return test::RiffImage({test::MakeChunk("fmt ", test::FormatBody(MakeWaveFormat(1, rate, 16), false)),
                            test::MakeChunk("data", test::Pcm16(samples))});
}

float RampSample(std::size_t frame) { return float(6 * (frame + 1)) / 32768.0f; }

class FilterGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(FilterGraph::Create(mixer, &graph), kOk);
        graph->SetNotifyCallback([this] { ++notified; });
    }

    std::shared_ptr<Mixer> mixer = std::make_shared<Mixer>(kRate);
    std::shared_ptr<FilterGraph> graph;
    int notified = 0;
};

TEST_F(FilterGraphTest, PlaysToTheEndAndReportsCompletionOnTheMainThread)
{
    ASSERT_EQ(graph->RenderBytes(RampWav(4800)), kOk);
    std::int64_t duration = 0;
    ASSERT_EQ(graph->GetDuration(&duration), kOk);
    EXPECT_EQ(duration, kReferenceTimePerSecond / 10);
    ASSERT_EQ(graph->Run(), kOk);

    const std::vector<float> out = mixer->Mix(6000);
    for (std::size_t i = 0; i < 4800; ++i)
        ASSERT_EQ(out[2 * i], RampSample(i)) << i;
    EXPECT_EQ(test::Peak(out, 4800, 6000), 0.0f);

    // The event waits in the graph; the callback only runs when the main
    // loop polls.
    EXPECT_EQ(notified, 0);
    EXPECT_EQ(mixer->PollEvents(), 1u);
    EXPECT_EQ(notified, 1);
    GraphEvent event;
    ASSERT_EQ(graph->GetEvent(&event, 0), kOk);
    EXPECT_EQ(event.code, kEventComplete);
    EXPECT_EQ(event.param1, kOk);
    EXPECT_EQ(graph->GetEvent(&event, 0), kAbort);

    // Completed, the graph still runs, at its stop position, silent.
    GraphState state = GraphState::Stopped;
    graph->GetState(100, &state);
    EXPECT_EQ(state, GraphState::Running);
    std::int64_t current = 0, stop = 0;
    ASSERT_EQ(graph->GetPositions(&current, &stop), kOk);
    EXPECT_EQ(current, duration);
    EXPECT_EQ(stop, duration);
    EXPECT_EQ(graph->Run(), kOk); // already running: nothing happens
    EXPECT_EQ(test::Peak(mixer->Mix(1000), 0, 1000), 0.0f);
    EXPECT_EQ(mixer->PollEvents(), 0u);

    // Stop, back to the start, run: it plays and completes again.
    graph->Stop();
    std::int64_t zero = 0;
    ASSERT_EQ(graph->SetPositions(&zero, kSeekAbsolute, nullptr, kSeekNoPositioning), kOk);
    graph->Run();
    EXPECT_EQ(mixer->Mix(1)[0], RampSample(0));
    mixer->Mix(5000);
    mixer->PollEvents();
    EXPECT_EQ(notified, 2);
}

TEST_F(FilterGraphTest, CompletionCanStartTheNextTrackFromTheCallback)
{
    // A playlist: each completion renders the next track, A B A B ...
    const Bytes tracks[] = {RampWav(1000), RampWav(1500)};
    std::vector<int> played;
    int next = 0;
    auto playNext = [&] {
        played.push_back(next);
        ASSERT_EQ(graph->RenderBytes(tracks[next]), kOk);
        graph->Run();
        next = (next + 1) % 2;
    };
    graph->SetNotifyCallback([&] {
        GraphEvent event;
        while (graph->GetEvent(&event, 0) == kOk)
            if (event.code == kEventComplete)
                playNext();
    });
    playNext();
    for (int i = 0; i < 20; ++i) {
        mixer->Mix(500);
        mixer->PollEvents();
    }
    // 10 000 frames hold A (1000), B (1500), A, B, ... with a poll every 500.
    ASSERT_GE(played.size(), 6u);
    for (std::size_t i = 0; i < played.size(); ++i)
        EXPECT_EQ(played[i], int(i % 2));
}

TEST_F(FilterGraphTest, ResamplesAndDecodesAnMp3File)
{
    const std::vector<float> source = test::SineFloat(1000, 22050, 22050, 1, 0.5);
    std::string error;
    const Bytes mp3 = test::Encode(source, 1, 22050, test::kMp3Format, &error);
    if (mp3.empty())
        GTEST_SKIP() << "MP3 playback not tested: this libsndfile cannot encode MP3 (" << error << ")";
    test::TempDir dir;
    const std::string path = (dir.Path() / "tone.mp3").string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(mp3.data()), std::streamsize(mp3.size()));

    ASSERT_EQ(graph->RenderFile(path, &error), kOk) << error;
    graph->Run();
    const std::vector<float> out = mixer->Mix(kRate + 4000);
    EXPECT_NEAR(test::RisingCrossings(out, 0, 0, kRate), 1000, 5);
    EXPECT_NEAR(test::Rms(out, 0, 1000, kRate - 1000), 0.5 / std::sqrt(2.0), 0.03);
    EXPECT_EQ(test::Peak(out, kRate + 2000, kRate + 4000), 0.0f);
    mixer->PollEvents();
    EXPECT_EQ(notified, 1);
}

TEST_F(FilterGraphTest, VolumeBalanceAndTheMasterLevelApply)
{
    // A constant-level track: half scale.
    Bytes wav = test::RiffImage({test::MakeChunk("fmt ", test::FormatBody(MakeWaveFormat(1, kRate, 16), false)),
                                 test::MakeChunk("data", test::Pcm16(std::vector<std::int16_t>(48000, 16384)))});
    ASSERT_EQ(graph->RenderBytes(std::move(wav)), kOk);
    // Volume 50 and pan 100 of a sound object: -2000 and 4000.
    ASSERT_EQ(graph->SetVolume(-2000), kOk);
    ASSERT_EQ(graph->SetBalance(4000), kOk);
    graph->Run();
    std::vector<float> out = mixer->Mix(16);
    EXPECT_NEAR(out[30], 0.05f * 0.01f, 1e-7f);
    EXPECT_NEAR(out[31], 0.05f, 1e-7f);

    // Mute through the primary buffer silences graphs too.
    std::shared_ptr<SoundDevice> device;
    SoundDevice::Create(mixer, &device);
    std::shared_ptr<SoundBuffer> primary;
    device->CreateSoundBuffer({kBufferPrimary | kBufferCtrlVolume, 0, {}}, &primary);
    primary->SetVolume(kVolumeMin);
    out = mixer->Mix(2 * mixer->RampFrames());
    EXPECT_EQ(test::Peak(out, mixer->RampFrames(), 2 * mixer->RampFrames()), 0.0f);

    // A graph set apart from the master level plays at its own level only,
    // and a stop fades it out from there, not from the master's silence.
    graph->SetFollowsMasterLevel(false);
    out = mixer->Mix(16);
    EXPECT_NEAR(out[31], 0.05f, 1e-7f);
    graph->Stop();
    out = mixer->Mix(2);
    EXPECT_GT(out[1], 0.02f) << "the stop's tail keeps the graph's own level";
    graph->Run();
    graph->SetFollowsMasterLevel(true);
    out = mixer->Mix(2 * mixer->RampFrames()); // the stop's tail ends
    EXPECT_EQ(test::Peak(out, mixer->RampFrames(), 2 * mixer->RampFrames()), 0.0f);

    LONG volume = 0, balance = 0;
    graph->GetVolume(&volume);
    graph->GetBalance(&balance);
    EXPECT_EQ(volume, -2000);
    EXPECT_EQ(balance, 4000);
    EXPECT_EQ(graph->SetVolume(1), kInvalidParam);
    EXPECT_EQ(graph->SetBalance(-10001), kInvalidParam);
}

TEST_F(FilterGraphTest, PauseResumesWhereItStopped)
{
    ASSERT_EQ(graph->RenderBytes(RampWav(4800)), kOk);
    graph->Run();
    mixer->Mix(1000);
    graph->Pause();
    GraphState state;
    graph->GetState(0, &state);
    EXPECT_EQ(state, GraphState::Paused);
    // The fade of the pause, then silence.
    const std::vector<float> paused = mixer->Mix(2 * mixer->RampFrames());
    EXPECT_GT(paused[0], 0.0f);
    EXPECT_EQ(test::Peak(paused, mixer->RampFrames(), 2 * mixer->RampFrames()), 0.0f);
    std::int64_t current = 0;
    graph->GetPositions(&current, nullptr);
    EXPECT_EQ(current, 1000 * kReferenceTimePerSecond / kRate);

    graph->Run();
    EXPECT_EQ(mixer->Mix(1)[0], RampSample(1000));
}

TEST_F(FilterGraphTest, PositionsMoveAndTheStopPositionEnds)
{
    ASSERT_EQ(graph->RenderBytes(RampWav(4800)), kOk);
    std::int64_t from = 2000 * kReferenceTimePerSecond / kRate;
    std::int64_t to = 3000 * kReferenceTimePerSecond / kRate;
    ASSERT_EQ(graph->SetPositions(&from, kSeekAbsolute, &to, kSeekAbsolute), kOk);
    graph->Run();
    const std::vector<float> out = mixer->Mix(2000);
    EXPECT_EQ(out[0], RampSample(2000));
    EXPECT_EQ(out[2 * 999], RampSample(2999));
    EXPECT_EQ(test::Peak(out, 1000, 2000), 0.0f);
    mixer->PollEvents();
    EXPECT_EQ(notified, 1);

    // Relative moves, clamped to the source.
    std::int64_t back = -500 * kReferenceTimePerSecond / kRate;
    std::int64_t far = INT64_MAX;
    ASSERT_EQ(graph->SetPositions(&back, kSeekRelative, &far, kSeekAbsolute), kOk);
    std::int64_t current = 0, stop = 0;
    graph->GetPositions(&current, &stop);
    EXPECT_EQ(current, 2500 * kReferenceTimePerSecond / kRate);
    EXPECT_EQ(stop, kReferenceTimePerSecond / 10);
    EXPECT_EQ(mixer->Mix(1)[0], RampSample(2500)); // still running: plays on from there

    std::int64_t big = INT64_MIN;
    EXPECT_EQ(graph->SetPositions(&big, kSeekRelative, nullptr, kSeekNoPositioning), kOk);
    graph->GetPositions(&current, nullptr);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(graph->SetPositions(nullptr, kSeekAbsolute, nullptr, 0), kPointer);
    EXPECT_EQ(graph->SetPositions(&current, kSeekIncremental, nullptr, 0), kInvalidParam);
}

TEST_F(FilterGraphTest, RefusesMissingAndUndecodableSources)
{
    std::string error;
    EXPECT_EQ(graph->RenderFile("/nonexistent/track.mp3", &error), kFileNotFound);
    EXPECT_NE(error.find("/nonexistent/track.mp3"), std::string::npos);
    EXPECT_EQ(graph->RenderBytes(Bytes(1000, 0x5A), &error), kUnsupportedStream);
    EXPECT_FALSE(error.empty());

    std::int64_t t = 0;
    EXPECT_EQ(graph->GetDuration(&t), kNotConnected);
    EXPECT_EQ(graph->GetPositions(&t, nullptr), kNotConnected);
    EXPECT_EQ(graph->SetPositions(&t, kSeekAbsolute, nullptr, 0), kNotConnected);
    // Running with nothing rendered is silent and ends nothing.
    EXPECT_EQ(graph->Run(), kOk);
    EXPECT_EQ(test::Peak(mixer->Mix(100), 0, 100), 0.0f);
    EXPECT_EQ(mixer->PollEvents(), 0u);

    // A source belongs to the graph that made it.
    std::shared_ptr<FilterGraph> other;
    FilterGraph::Create(mixer, &other);
    std::shared_ptr<SourceFilter> source;
    ASSERT_EQ(other->AddSourceFilter(RampWav(10), "ramp", &source), kOk);
    EXPECT_EQ(source->Name(), "ramp");
    EXPECT_EQ(graph->Render(source), kInvalidParam);
    EXPECT_EQ(other->Render(source), kOk);

    std::shared_ptr<FilterGraph> none;
    EXPECT_EQ(FilterGraph::Create(nullptr, &none), kNoDriver);
}

TEST_F(FilterGraphTest, EventsOfAReleasedGraphAreDropped)
{
    ASSERT_EQ(graph->RenderBytes(RampWav(100)), kOk);
    graph->Run();
    mixer->Mix(200);
    graph.reset();
    EXPECT_EQ(mixer->PollEvents(), 1u); // the posted notification finds no graph
    EXPECT_EQ(notified, 0);
}

} // namespace
} // namespace audio

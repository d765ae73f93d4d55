// Long plays: the demo scene and every well-formed sample document run for
// many minutes of scene time through the player's own frame (FrameMove,
// FrameRender, Present), stepped at the frame period of the default
// setting, as the desktop program plays them. Sound runs as it does there:
// the process's output on SDL's driver (dummy in CI), its audio thread
// mixing the sound objects and the playlist while the frames start, stop
// and release them; the playlist moves on when a track completes. As the
// scene runs much faster than the clock, the demo scene also plays once on
// a mixer that the frame loop itself drives by one frame period of sound
// per frame, so that sounds end and tracks complete in scene time as they
// do in the program. Slides
// change, random timelines switch, the volume changes and the device is
// lost and reset (which reads the scene again) a few times in each play.
//
// Memory faults show under the sanitizers the build runs with; the checks
// here are that every frame is drawn and that the sound keeps running.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "objectmodel/SceneDocument.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/Mixer.h"
#include "platform/crt/WideString.h"
#include "platform/gfx/HeadlessContext.h"
#include "player/AudioPlaylist.h"
#include "player/ResourceAdapters.h"
#include "player/Settings.h"
#include "player/SlideShow.h"
#include "player/SoundDevice.h"
#include "player/WallpaperPlayer.h"
#include "render/ResourceLoading.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/SampleDocuments.h"

namespace {

constexpr std::uint32_t kWidth = 160, kHeight = 90;

// Scene time each play runs. ORVANTA_SOAK_SCALE (a factor, default 1)
// lengthens or shortens every play, for a longer run by hand or a quick one.
constexpr double kDemoSceneSeconds = 8 * 60;
constexpr double kSampleSeconds = 90;
constexpr double kCapSampleSeconds = 2;
// Device losses spread over each play.
constexpr int kDeviceResets = 2;

double SoakScale()
{
    const char* text = std::getenv("ORVANTA_SOAK_SCALE");
    const double scale = text ? std::atof(text) : 1.0;
    return scale > 0.0 ? scale : 1.0;
}

player::DocumentSource SceneOf(std::vector<std::uint8_t> bytes)
{
    return [bytes] {
        MemoryArchive archive(bytes);
        archive.Reader().ReadWideString();
        return ReadSceneDocument(archive.Reader());
    };
}

// What one play saw.
struct PlayLog {
    std::uint64_t frames = 0;
    int tracksCompleted = 0;
};

class PlayerSoak : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The desktop program's sound: the process's own output.
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        InstallPlayerDocumentClasses();
        player::InstallResourceFinders();
        audio::CloseProcessOutput();
        OpenSound();
        std::string error;
        device_ = gfx::CreateHeadlessDevice(kWidth, kHeight, &error);
        ASSERT_NE(device_, nullptr) << error;
    }

    // The sound objects and the playlist on the process's mixer.
    void OpenSound()
    {
        ASSERT_TRUE(InitDirectSound(nullptr));
        ASSERT_NE(DirectSoundDevice(), nullptr) << audio::ProcessOutputError();
        ASSERT_TRUE(InitAudioGraph([this] { ++graphNotices_; }));
    }

    void CloseSound()
    {
        ReleaseAudioGraph();
        StopPrimarySoundBuffer();
        ReleaseDirectSound();
        audio::CloseProcessOutput();
    }

    // From now on the frame loop mixes the sound, one frame period per frame.
    void MixWithTheFrames()
    {
        CloseSound();
        frameMixer_ = std::make_shared<audio::Mixer>(48000);
        audio::SetProcessMixer(frameMixer_);
        OpenSound();
    }

    void TearDown() override
    {
        CloseSound();
        frameMixer_.reset();
        device_.reset();
    }

    // Plays `source` for `seconds` of scene time.
    PlayLog Play(const player::DocumentSource& source, double seconds)
    {
        PlayLog log;
        ResourceDeviceScope resourceDevice(device_.get());
        player::WallpaperPlayer wallpaper;
        wallpaper.SetMonitors({win::MonitorEntry{nullptr, win::RECT{0, 0, std::int32_t(kWidth), std::int32_t(kHeight)}}});
        wallpaper.SetDeviceWindowSize(std::int32_t(kWidth), std::int32_t(kHeight));
        wallpaper.DeviceReset(*device_);
        wallpaper.LoadScene(source);
        wallpaper.SetPicturePosition(1);
        wallpaper.SetVolume(80, false);

        const double step = player::FramePeriodMs(kPriorityNormal) / 1000.0;
        const auto frames = static_cast<std::uint64_t>(seconds * SoakScale() / step);
        const std::uint64_t resetEvery = frames / (kDeviceResets + 1) + 1;
        for (std::uint64_t i = 0; i < frames; ++i) {
            DeliverSoundEvents(wallpaper, log);
            if (i % resetEvery == resetEvery - 1) {
                wallpaper.DeviceLost();
                EXPECT_EQ(wallpaper.DeviceReset(*device_), S_OK);
            }
            // Now and then the volume setting changes, muted among them.
            if (i % 1000 == 500)
                wallpaper.SetVolume(int(i / 1000 % 5) * 25, i / 1000 % 3 == 0);
            if (frameMixer_)
                frameMixer_->Mix(static_cast<std::uint32_t>(frameMixer_->SampleRate() * step));
            wallpaper.FrameMove(double(i) * step);
            if (wallpaper.FrameRender(*device_) != S_OK) {
                ADD_FAILURE() << "frame " << i << " was not drawn";
                break;
            }
            device_->Present();
            ++log.frames;
        }
        wallpaper.StopScene();
        return log;
    }

    // What the desktop program's main loop does with the sound's events:
    // the audio thread's posts run, and a completed track is followed by
    // the next.
    void DeliverSoundEvents(player::WallpaperPlayer& wallpaper, PlayLog& log)
    {
        PollAudioEvents();
        for (; graphNotices_ > 0; --graphNotices_) {
            const long event = GetAudioGraphEvent();
            if (event == audio::kEventComplete || event == audio::kEventErrorAbort) {
                ++log.tracksCompleted;
                wallpaper.PlayNextTrack();
            }
        }
    }

    std::unique_ptr<gfx::Device> device_;
    std::shared_ptr<audio::Mixer> frameMixer_;
    int graphNotices_ = 0;
};

player::DocumentSource DemoScene()
{
    const kxi_string path = crt::FromUtf8(ORVANTA_DEMO_SCENE_FILE);
    return [path] { return OpenDocumentFile(path); };
}

TEST_F(PlayerSoak, DemoScenePlaysForMinutes)
{
    const PlayLog log = Play(DemoScene(), kDemoSceneSeconds);
    EXPECT_GT(log.frames, 0u);
}

// The playlist's one track of 8 s completes again and again in scene time
// (each device reset starts it afresh).
TEST_F(PlayerSoak, DemoScenePlaysForMinutesWithSoundInSceneTime)
{
    MixWithTheFrames();
    const PlayLog log = Play(DemoScene(), kDemoSceneSeconds);
    EXPECT_GE(log.tracksCompleted, int(kDemoSceneSeconds * SoakScale() / 30));
}

// The well-formed sample documents, one play each: with the demo scene more
// than half an hour of scene time.
std::vector<SampleDocument> WellFormedSamples()
{
    std::vector<SampleDocument> samples;
    for (SampleDocument& sample : SampleDocuments())
        if (sample.wellFormed)
            samples.push_back(std::move(sample));
    return samples;
}

class SampleDocumentSoak : public PlayerSoak, public ::testing::WithParamInterface<std::string> {};

TEST_P(SampleDocumentSoak, PlaysForMinutes)
{
    for (const SampleDocument& sample : WellFormedSamples()) {
        if (sample.fileName != GetParam())
            continue;
        // Documents made to hit the count caps play briefly: they test the
        // caps, and a frame of them costs hundreds of ordinary ones.
        const bool atTheCaps = sample.fileName.find("huge") != std::string::npos;
        const PlayLog log = Play(SceneOf(sample.bytes), atTheCaps ? kCapSampleSeconds : kSampleSeconds);
        EXPECT_GT(log.frames, 0u);
        return;
    }
    FAIL() << "no sample document " << GetParam();
}

std::vector<std::string> WellFormedSampleNames()
{
    std::vector<std::string> names;
    for (const SampleDocument& sample : WellFormedSamples())
        names.push_back(sample.fileName);
    return names;
}

// Test names from file names: letters and digits only.
std::string TestNameOf(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name;
    for (const char c : info.param)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleDocumentSoak, ::testing::ValuesIn(WellFormedSampleNames()), TestNameOf);

} // namespace

// The audio playlist: tracks in document order, wrapping; tracks that
// cannot play are skipped; completion events drive the next track; the
// volume mapping; stored names reduced to a file name.

#include <gtest/gtest.h>

#include "tests/player/PlayerTestSupport.h"
#include "tests/player/sound/SoundTestSupport.h"
#include "tests/support/ArchiveFixtures.h"
#include "objectmodel/SceneDocument.h"
#include "platform/crt/WideString.h"
#include "tests/support/DocumentWriter.h"

namespace {

using namespace sound_test;

DS_AudioFile Track(const std::u16string& name, const Bytes& bytes)
{
    DS_AudioFile file;
    file.m_name = name;
    file.m_data = ResourceBlob(name);
    file.m_data.SetBytes(bytes);
    return file;
}

// Tracks told apart by their lengths: 0.1 s, 0.2 s, 0.3 s, ...
Bytes TrackOfTenths(int tenths)
{
    return SineWave(0.1 * tenths);
}

class AudioPlaylistTest : public SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        ASSERT_TRUE(InitAudioGraph([this] { ++notifications; }));
    }
    void TearDown() override
    {
        wallpaper.StopScene();
        SoundFixture::TearDown();
    }

    void Load(const std::vector<DS_AudioFile>& tracks)
    {
        const Bytes bytes = DocumentWithoutSlides(tracks);
        wallpaper.LoadScene([bytes] {
            MemoryArchive archive(bytes);
            archive.Reader().ReadWideString();
            return ReadSceneDocument(archive.Reader());
        });
    }

    // The playing track's length in tenths of a second, or 0 when the graph
    // does not run.
    int PlayingTenths() const
    {
        audio::GraphState state = audio::GraphState::Stopped;
        AudioGraph()->GetState(0, &state);
        std::int64_t duration = 0;
        if (state != audio::GraphState::Running || FAILED(AudioGraph()->GetDuration(&duration)))
            return 0;
        return static_cast<int>((duration + audio::kReferenceTimePerSecond / 20) / (audio::kReferenceTimePerSecond / 10));
    }

    player::WallpaperPlayer wallpaper;
    int notifications = 0;
};

TEST_F(AudioPlaylistTest, TracksPlayInOrderAndWrap)
{
    Load({Track(u"A.wav", TrackOfTenths(1)), Track(u"B.wav", TrackOfTenths(2)), Track(u"C.wav", TrackOfTenths(3))});
    EXPECT_EQ(PlayingTenths(), 1);
    EXPECT_EQ(wallpaper.PlaylistPosition(), 1u);
    const int expected[] = {2, 3, 1, 2};
    for (const int tenths : expected) {
        wallpaper.PlayNextTrack();
        EXPECT_EQ(PlayingTenths(), tenths);
    }
    EXPECT_EQ(wallpaper.PlaylistPosition(), 2u);
}

TEST_F(AudioPlaylistTest, CompletionEventStartsTheNextTrack)
{
    Load({Track(u"A.wav", TrackOfTenths(1)), Track(u"B.wav", TrackOfTenths(2))});
    wallpaper.SetVolume(100, false);
    EXPECT_EQ(GetAudioGraphEvent(), kAudioEventNone);
    EXPECT_GT(MixRms(0.05), 0.3);
    mixer->Mix(kRate / 10);
    PollAudioEvents();
    ASSERT_EQ(notifications, 1) << "one notification per event";
    ASSERT_EQ(GetAudioGraphEvent(), kAudioEventComplete);
    EXPECT_EQ(GetAudioGraphEvent(), kAudioEventNone);
    wallpaper.PlayNextTrack();
    EXPECT_EQ(PlayingTenths(), 2);
    EXPECT_GT(MixRms(0.05), 0.3);
}

TEST_F(AudioPlaylistTest, TracksThatCannotPlayAreSkipped)
{
    const Bytes noise(2048, 0x5A);
    Load({Track(u"A.wav", TrackOfTenths(1)), Track(u"broken.mp3", noise), Track(u"empty.mp3", {}),
          Track(u"C:\\Music\\..", TrackOfTenths(4)), Track(u"C.wav", TrackOfTenths(3))});
    EXPECT_EQ(PlayingTenths(), 1);
    wallpaper.PlayNextTrack();
    EXPECT_EQ(PlayingTenths(), 3);
    EXPECT_EQ(wallpaper.PlaylistPosition(), 0u);
    wallpaper.PlayNextTrack();
    EXPECT_EQ(PlayingTenths(), 1);

    // A list of which nothing plays: one round, then silence.
    Load({Track(u"x.mp3", noise), Track(u"y.mp3", {})});
    EXPECT_EQ(PlayingTenths(), 0);
    wallpaper.PlayNextTrack();
    EXPECT_EQ(PlayingTenths(), 0);
}

TEST_F(AudioPlaylistTest, WithoutTracksOrSceneNothingPlays)
{
    wallpaper.PlayNextTrack();
    Load({});
    wallpaper.PlayNextTrack();
    EXPECT_EQ(PlayingTenths(), 0);

    Load({Track(u"only.wav", TrackOfTenths(2))});
    wallpaper.PlayNextTrack();
    EXPECT_EQ(PlayingTenths(), 2) << "one track plays again";
}

TEST_F(AudioPlaylistTest, VolumeAndMuteReachTheGraphAndThePrimaryBuffer)
{
    Load({Track(u"A.wav", TrackOfTenths(5))});
    LONG graph = 0, primary = 0;
    AudioGraph()->GetVolume(&graph);
    EXPECT_EQ(graph, -10000) << "a new scene is silent until the volume is applied";

    struct Case {
        int volume;
        bool mute;
        LONG graph, primary;
    } cases[] = {
        {100, false, 0, 0}, {50, false, -2000, -2500}, {0, false, -4000, -5000},
        {50, true, -10000, -10000}, {100, true, -10000, -10000},
    };
    for (const Case& c : cases) {
        wallpaper.SetVolume(c.volume, c.mute);
        AudioGraph()->GetVolume(&graph);
        PrimarySoundBuffer()->GetVolume(&primary);
        EXPECT_EQ(graph, c.graph) << c.volume << (c.mute ? " muted" : "");
        EXPECT_EQ(primary, c.primary) << c.volume << (c.mute ? " muted" : "");
    }
    mixer->Mix(kRate / 100);
    EXPECT_EQ(MixRms(0.05), 0.0);
}

TEST_F(AudioPlaylistTest, StoppingTheSceneSilencesThePlaylist)
{
    Load({Track(u"A.wav", TrackOfTenths(5))});
    wallpaper.SetVolume(100, false);
    EXPECT_GT(MixRms(0.05), 0.3);
    wallpaper.StopScene();
    mixer->Mix(kRate / 100);
    EXPECT_EQ(MixRms(0.05), 0.0);
    wallpaper.PlayNextTrack();
    EXPECT_EQ(PlayingTenths(), 0);
}

// A device reset reads the scene again: the playlist starts over from its
// first track, at the volume the user chose.
class AudioPlaylistResetTest : public player_test::DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        mixer = std::make_shared<audio::Mixer>(kRate);
        audio::SetProcessMixer(mixer);
        InitDirectSound(nullptr);
        ASSERT_TRUE(InitAudioGraph({}));
    }
    void TearDown() override
    {
        wallpaper.StopScene();
        ReleaseAudioGraph();
        ReleaseDirectSound();
        audio::CloseProcessOutput();
        DeviceFixture::TearDown();
    }

    std::shared_ptr<audio::Mixer> mixer;
    player::WallpaperPlayer wallpaper;
};

TEST_F(AudioPlaylistResetTest, ResetRestartsFromTheFirstTrackAtTheStoredVolume)
{
    const Bytes bytes = DocumentWithoutSlides(std::vector<DS_AudioFile>{Track(u"A.wav", SineWave(0.1)),
                                                                        Track(u"B.wav", SineWave(0.2))});
    wallpaper.LoadScene([bytes] {
        MemoryArchive archive(bytes);
        archive.Reader().ReadWideString();
        return ReadSceneDocument(archive.Reader());
    });
    wallpaper.SetVolume(50, false);
    wallpaper.PlayNextTrack();
    ASSERT_EQ(wallpaper.PlaylistPosition(), 0u);

    ASSERT_EQ(wallpaper.DeviceReset(*device), S_OK);
    EXPECT_EQ(wallpaper.PlaylistPosition(), 1u);
    std::int64_t duration = 0;
    ASSERT_EQ(AudioGraph()->GetDuration(&duration), audio::kOk);
    EXPECT_EQ(duration, audio::kReferenceTimePerSecond / 10);
    LONG volume = 0;
    AudioGraph()->GetVolume(&volume);
    EXPECT_EQ(volume, -2000);
}

TEST(AudioPlaylistNames, StoredNamesReduceToTheirLastElement)
{
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"D:\\Music\\loop.mp3", u"loop.mp3"},
        {u"intro.wav", u"intro.wav"},
        {u"/home/someone/a.mp3", u"a.mp3"},
        {u"mixed/dir\\b.wav", u"b.wav"},
        {u"C:\\Music\\", u""},
        {u"..", u""},
        {u"x\\.", u""},
        {u"../..", u""},
        {u"", u""},
    };
    for (const auto& [stored, reduced] : cases)
        EXPECT_EQ(GetFileNameAfterBackslash(stored), reduced) << crt::ToUtf8(stored);
}

TEST(AudioPlaylistGraph, WithoutAGraphNothingFails)
{
    ReleaseAudioGraph();
    EXPECT_EQ(GetAudioGraphEvent(), kAudioEventNone);
    EXPECT_FALSE(PlayAudioFile(Track(u"a.wav", SineWave(0.1))));
    PollAudioEvents();
    StopAudioGraph();
}

} // namespace

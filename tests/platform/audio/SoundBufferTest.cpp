#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "platform/audio/SoundBuffer.h"
#include "tests/platform/audio/AudioTestSupport.h"

namespace audio {
namespace {

using test::Bytes;

constexpr std::uint32_t kRate = 48000;
constexpr DWORD kControls = kBufferCtrlVolume | kBufferCtrlPan | kBufferStickyFocus;

class SoundBufferTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SoundDevice::Create(mixer, &device), kOk); }

    std::shared_ptr<SoundBuffer> MakeBuffer(const WaveFormat& format, const Bytes& data, DWORD flags = kControls)
    {
        BufferDesc desc{flags, DWORD(data.size()), format};
        std::shared_ptr<SoundBuffer> buffer;
        EXPECT_EQ(device->CreateSoundBuffer(desc, &buffer), kOk);
        if (!buffer)
            return nullptr;
        void* first = nullptr;
        DWORD firstBytes = 0;
        EXPECT_EQ(buffer->Lock(0, 0, &first, &firstBytes, nullptr, nullptr, kLockEntireBuffer), kOk);
        std::memcpy(first, data.data(), firstBytes);
        EXPECT_EQ(buffer->Unlock(first, firstBytes, nullptr, 0), kOk);
        return buffer;
    }

    // A mono 16-bit buffer at the mixer's rate whose frame i holds samples[i].
    std::shared_ptr<SoundBuffer> Mono(const std::vector<std::int16_t>& samples)
    {
        return MakeBuffer(MakeWaveFormat(1, kRate, 16), test::Pcm16(samples));
    }

    std::shared_ptr<SoundBuffer> Constant(std::int16_t value, std::size_t frames)
    {
        return Mono(std::vector<std::int16_t>(frames, value));
    }

    DWORD Status(const SoundBuffer& buffer)
    {
        DWORD status = 0xDEAD;
        EXPECT_EQ(buffer.GetStatus(&status), kOk);
        return status;
    }

    std::shared_ptr<Mixer> mixer = std::make_shared<Mixer>(kRate);
    std::shared_ptr<SoundDevice> device;
};

std::vector<std::int16_t> Ramp(std::size_t frames)
{
    std::vector<std::int16_t> v;
    for (std::size_t i = 0; i < frames; ++i)
        v.push_back(std::int16_t(16 * (i + 1)));
    return v;
}

float Sample(std::int16_t v) { return float(v) / 32768.0f; }

TEST_F(SoundBufferTest, OneShotPlaysEachFrameOnceThenStopsAndRewinds)
{
    const auto samples = Ramp(1000);
    auto buffer = Mono(samples);
    ASSERT_EQ(buffer->Play(0), kOk);
    EXPECT_EQ(Status(*buffer), kStatusPlaying);

    const std::vector<float> out = mixer->Mix(1500);
    for (std::size_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(out[2 * i], Sample(samples[i])) << i;
        ASSERT_EQ(out[2 * i + 1], Sample(samples[i])) << i;
    }
    EXPECT_EQ(test::Peak(out, 1000, 1500), 0.0f);
    EXPECT_EQ(Status(*buffer), 0u);
    DWORD play = 1, write = 1;
    EXPECT_EQ(buffer->GetCurrentPosition(&play, &write), kOk);
    EXPECT_EQ(play, 0u);

    // Played again, it starts from the beginning.
    buffer->Play(0);
    EXPECT_EQ(mixer->Mix(1)[0], Sample(samples[0]));
}

TEST_F(SoundBufferTest, LoopingRepeatsUntilStoppedAndThenFadesOut)
{
    const auto samples = Ramp(300);
    auto buffer = Mono(samples);
    buffer->Play(kPlayLooping);
    const std::vector<float> out = mixer->Mix(1000);
    for (std::size_t i = 0; i < 1000; ++i)
        ASSERT_EQ(out[2 * i], Sample(samples[i % 300])) << i;
    EXPECT_EQ(Status(*buffer), kStatusPlaying | kStatusLooping);
    DWORD play = 0;
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 100u * 2); // frame 1000 % 300, two bytes a frame

    buffer->Stop();
    EXPECT_EQ(Status(*buffer), 0u); // at once, not after the fade
    const std::vector<float> tail = mixer->Mix(2 * mixer->RampFrames());
    // The fade goes on from where the sound stopped, at a falling level, and ends.
    float level = 1.0f;
    for (std::uint32_t i = 0; i < mixer->RampFrames(); ++i) {
        const float now = tail[2 * i] / Sample(samples[(100 + i) % 300]);
        ASSERT_LT(now, level) << i;
        level = now;
    }
    EXPECT_GT(tail[0] / Sample(samples[100]), 0.99f);
    EXPECT_LT(level, 0.01f);
    EXPECT_EQ(test::Peak(tail, mixer->RampFrames(), 2 * mixer->RampFrames()), 0.0f);
    // Stop keeps the position.
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 200u);
}

TEST_F(SoundBufferTest, PlayingChangesOnlyTheLoopingOfAPlayingBuffer)
{
    auto buffer = Mono(Ramp(100));
    buffer->Play(kPlayLooping);
    mixer->Mix(50);
    buffer->Play(0); // now ends at the end of this pass
    const std::vector<float> out = mixer->Mix(100);
    EXPECT_EQ(out[0], Sample(Ramp(100)[50]));
    EXPECT_EQ(test::Peak(out, 50, 100), 0.0f);
    EXPECT_EQ(Status(*buffer), 0u);
}

TEST_F(SoundBufferTest, StartsAtExactlyTheRequestedGain)
{
    auto buffer = Constant(16384, 4800); // 0.5
    buffer->Play(kPlayLooping);
    EXPECT_EQ(mixer->Mix(10)[0], 0.5f);
    buffer->Stop();
    mixer->Mix(4 * mixer->RampFrames());

    // The volume set while stopped holds from the first frame: nothing of
    // the earlier level carries over.
    buffer->SetVolume(-2000);
    buffer->Play(kPlayLooping);
    const std::vector<float> out = mixer->Mix(10);
    EXPECT_NEAR(out[0], 0.05f, 1e-7f);
    EXPECT_NEAR(out[18], 0.05f, 1e-7f);
}

TEST_F(SoundBufferTest, VolumeChangesWhilePlayingRampWithoutJumps)
{
    auto buffer = Constant(16384, 4800);
    buffer->Play(kPlayLooping);
    mixer->Mix(100);
    buffer->SetVolume(kVolumeMin);
    const std::uint32_t ramp = mixer->RampFrames();
    const std::vector<float> out = mixer->Mix(ramp + 10);
    float previous = 0.5f;
    for (std::uint32_t i = 0; i < ramp; ++i) {
        ASSERT_LT(out[2 * i], previous) << i;
        ASSERT_LT(previous - out[2 * i], 0.5f / float(ramp) + 1e-5f) << i;
        previous = out[2 * i];
    }
    EXPECT_EQ(test::Peak(out, ramp, ramp + 10), 0.0f);
}

TEST_F(SoundBufferTest, VolumeAndPanSetTheChannelLevels)
{
    struct Case {
        LONG volume, pan;
        float left, right;
    };
    // A centred full-scale half: 0.5 on both sides before volume and pan.
    const Case cases[] = {
        {0, 0, 0.5f, 0.5f},
        {-2000, 0, 0.05f, 0.05f},
        {-5000, 0, 0.5f * 0.0031623f, 0.5f * 0.0031623f}, // quiet, not silent
        {-10000, 0, 0.0f, 0.0f},
        {0, 5000, 0.5f * 0.0031623f, 0.5f},
        {0, -5000, 0.5f, 0.5f * 0.0031623f},
        {0, 10000, 0.0f, 0.5f},
        {-2000, -1000, 0.05f, 0.05f * 0.3162278f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.volume << " " << c.pan);
        // A fresh mixer each time, free of the fades of the cases before.
        mixer = std::make_shared<Mixer>(kRate);
        SoundDevice::Create(mixer, &device);
        auto buffer = Constant(16384, 4800);
        ASSERT_EQ(buffer->SetVolume(c.volume), kOk);
        ASSERT_EQ(buffer->SetPan(c.pan), kOk);
        buffer->Play(kPlayLooping);
        const std::vector<float> out = mixer->Mix(8);
        EXPECT_NEAR(out[14], c.left, 1e-6f);
        EXPECT_NEAR(out[15], c.right, 1e-6f);
        LONG volume = 1, pan = 1;
        buffer->GetVolume(&volume);
        buffer->GetPan(&pan);
        EXPECT_EQ(volume, c.volume);
        EXPECT_EQ(pan, c.pan);
    }
}

TEST_F(SoundBufferTest, PrimaryVolumeIsTheMasterLevel)
{
    std::shared_ptr<SoundBuffer> primary;
    ASSERT_EQ(device->CreateSoundBuffer({kBufferPrimary | kBufferCtrlVolume | kBufferStickyFocus, 0, {}}, &primary), kOk);
    EXPECT_EQ(primary->Play(0), kInvalidParam); // the primary buffer only loops
    ASSERT_EQ(primary->Play(kPlayLooping), kOk);
    EXPECT_EQ(Status(*primary), kStatusPlaying | kStatusLooping);

    auto buffer = Constant(16384, 4800);
    buffer->SetVolume(-2000);
    buffer->Play(kPlayLooping);
    struct Case {
        LONG master;
        float level;
    };
    // Volume 50 of the primary mapping is -2500; mute is -10000.
    const Case cases[] = {{-2500, 0.05f * 0.0562341f}, {-10000, 0.0f}, {0, 0.05f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.master);
        ASSERT_EQ(primary->SetVolume(c.master), kOk);
        const std::vector<float> out = mixer->Mix(2 * mixer->RampFrames());
        EXPECT_NEAR(out.back(), c.level, 1e-6f);
    }
    EXPECT_EQ(primary->SetPan(0), kControlUnavailable);
    void* p = nullptr;
    DWORD n = 0;
    EXPECT_EQ(primary->Lock(0, 0, &p, &n, nullptr, nullptr, kLockEntireBuffer), kPrioLevelNeeded);
    primary->Stop();
    EXPECT_EQ(Status(*primary), 0u);
}

TEST_F(SoundBufferTest, OutputIsClampedToFullScale)
{
    auto a = Constant(29491, 4800); // 0.9
    auto b = Constant(29491, 4800);
    a->Play(kPlayLooping);
    b->Play(kPlayLooping);
    const std::vector<float> out = mixer->Mix(16);
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_EQ(test::Peak(out, 0, 16), 1.0f);

    auto c = Constant(-29491, 4800);
    auto d = Constant(-29491, 4800);
    a->Stop();
    b->Stop();
    mixer->Mix(4 * mixer->RampFrames());
    c->Play(kPlayLooping);
    d->Play(kPlayLooping);
    EXPECT_EQ(mixer->Mix(4)[0], -1.0f);
}

TEST_F(SoundBufferTest, ResamplesAnotherRateToTheMixersRate)
{
    // One second of a 1 kHz sine at 22050 Hz lasts one second at 48 kHz.
    const WaveFormat format = MakeWaveFormat(1, 22050, 16);
    auto buffer = MakeBuffer(format, test::Pcm16(test::Sine16(1000, 22050, 22050, 1, 0.5)));
    buffer->Play(0);
    const std::vector<float> out = mixer->Mix(kRate + 2000);
    std::size_t last = 0;
    for (std::size_t i = 0; i < out.size() / 2; ++i)
        if (out[2 * i] != 0.0f)
            last = i;
    EXPECT_NEAR(double(last), double(kRate), 3.0);
    EXPECT_NEAR(test::RisingCrossings(out, 0, 0, kRate), 1000, 2);
    EXPECT_NEAR(test::Rms(out, 0, 0, kRate), 0.5 / std::sqrt(2.0), 0.005);
    EXPECT_EQ(Status(*buffer), 0u);
}

TEST_F(SoundBufferTest, ReadsEverySampleFormat)
{
    // The same quarter-scale frame in each format, stereo with the right
    // channel negated.
    struct Case {
        const char* name;
        WaveFormat format;
        Bytes frame;
    };
    auto f32 = [](float v) {
        Bytes b(4);
        std::memcpy(b.data(), &v, 4);
        return b;
    };
    auto f64 = [](double v) {
        Bytes b(8);
        std::memcpy(b.data(), &v, 8);
        return b;
    };
    auto join = [](Bytes a, const Bytes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Case cases[] = {
        {"u8", MakeWaveFormat(2, kRate, 8), Bytes{0xA0, 0x60}},
        {"s16", MakeWaveFormat(2, kRate, 16), Bytes{0x00, 0x20, 0x00, 0xE0}},
        {"s24", MakeWaveFormat(2, kRate, 24), Bytes{0x00, 0x00, 0x20, 0x00, 0x00, 0xE0}},
        {"s32", MakeWaveFormat(2, kRate, 32), Bytes{0, 0, 0, 0x20, 0, 0, 0, 0xE0}},
        {"f32", MakeWaveFormat(2, kRate, 32, true), join(f32(0.25f), f32(-0.25f))},
        {"f64", MakeWaveFormat(2, kRate, 64, true), join(f64(0.25), f64(-0.25))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes data;
        for (int i = 0; i < 8; ++i)
            data.insert(data.end(), c.frame.begin(), c.frame.end());
        auto buffer = MakeBuffer(c.format, data);
        ASSERT_TRUE(buffer);
        buffer->Play(0);
        const std::vector<float> out = mixer->Mix(8);
        EXPECT_EQ(out[0], 0.25f);
        EXPECT_EQ(out[1], -0.25f);
    }
}

TEST_F(SoundBufferTest, FloatSamplesThatAreNotFiniteAreSilence)
{
    Bytes data(8);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    std::memcpy(data.data(), &nan, 4);
    std::memcpy(data.data() + 4, &inf, 4);
    auto buffer = MakeBuffer(MakeWaveFormat(1, kRate, 32, true), data);
    buffer->Play(0);
    const std::vector<float> out = mixer->Mix(2);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[2], 0.0f);
}

TEST_F(SoundBufferTest, RefusesBadDescriptionsAndControls)
{
    auto format = [](WORD tag, WORD channels, DWORD rate, WORD bits, WORD align) {
        WaveFormat f = MakeWaveFormat(channels, rate, bits);
        f.formatTag = tag;
        f.blockAlign = align;
        return f;
    };
    struct Case {
        const char* name;
        BufferDesc desc;
        HRESULT expected;
    };
    const Case cases[] = {
        {"no format", {kControls, 64, std::nullopt}, kInvalidParam},
        {"zero channels", {kControls, 64, format(1, 0, 44100, 16, 0)}, kBadFormat},
        {"nine channels", {kControls, 64, format(1, 9, 44100, 16, 18)}, kBadFormat},
        {"zero rate", {kControls, 64, format(1, 1, 0, 16, 2)}, kBadFormat},
        {"rate too high", {kControls, 64, format(1, 1, 400000, 16, 2)}, kBadFormat},
        {"12 bits", {kControls, 64, format(1, 1, 44100, 12, 2)}, kBadFormat},
        {"16-bit float", {kControls, 64, format(3, 1, 44100, 16, 2)}, kBadFormat},
        {"compressed", {kControls, 64, format(0x55, 2, 44100, 16, 4)}, kBadFormat},
        {"wrong block align", {kControls, 64, format(1, 2, 44100, 16, 2)}, kBadFormat},
        {"empty", {kControls, 0, MakeWaveFormat(1, 44100, 16)}, kInvalidParam},
        {"less than a frame", {kControls, 6, MakeWaveFormat(2, 44100, 32)}, kInvalidParam},
        {"too large", {kControls, kMaxBufferBytes + 1, MakeWaveFormat(1, 44100, 16)}, kInvalidParam},
        {"primary with size", {kBufferPrimary, 64, std::nullopt}, kInvalidParam},
        {"primary with format", {kBufferPrimary, 0, MakeWaveFormat(1, 44100, 16)}, kInvalidParam},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<SoundBuffer> buffer;
        EXPECT_EQ(device->CreateSoundBuffer(c.desc, &buffer), c.expected);
        EXPECT_FALSE(buffer);
    }

    auto plain = MakeBuffer(MakeWaveFormat(1, kRate, 16), Bytes(64), 0);
    EXPECT_EQ(plain->SetVolume(-100), kControlUnavailable);
    EXPECT_EQ(plain->SetPan(100), kControlUnavailable);
    auto controlled = Constant(0, 32);
    EXPECT_EQ(controlled->SetVolume(1), kInvalidParam);
    EXPECT_EQ(controlled->SetVolume(-10001), kInvalidParam);
    EXPECT_EQ(controlled->SetPan(10001), kInvalidParam);
    EXPECT_EQ(controlled->SetCurrentPosition(64), kInvalidParam);
}

TEST_F(SoundBufferTest, NoDeviceWithoutAMixer)
{
    std::shared_ptr<SoundDevice> none;
    EXPECT_EQ(SoundDevice::Create(nullptr, &none), kNoDriver);
    EXPECT_FALSE(none);
}

TEST_F(SoundBufferTest, LockWrapsAroundAndWritesBackAtUnlock)
{
    auto buffer = Mono({1, 2, 3, 4});
    void *first = nullptr, *second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    ASSERT_EQ(buffer->Lock(6, 4, &first, &firstBytes, &second, &secondBytes, 0), kOk);
    EXPECT_EQ(firstBytes, 2u);
    EXPECT_EQ(secondBytes, 2u);
    EXPECT_EQ(std::memcmp(first, "\x04\x00", 2), 0);
    EXPECT_EQ(std::memcmp(second, "\x01\x00", 2), 0);
    void* again = nullptr;
    DWORD againBytes = 0;
    EXPECT_EQ(buffer->Lock(0, 2, &again, &againBytes, nullptr, nullptr, 0), kInvalidCall);

    // Until Unlock the buffer plays what it held.
    std::memcpy(first, "\x00\x40", 2);
    std::memcpy(second, "\x00\xC0", 2);
    buffer->Play(0);
    EXPECT_EQ(mixer->Mix(1)[0], Sample(1));
    EXPECT_EQ(buffer->Unlock(second, 2, nullptr, 0), kInvalidParam);
    ASSERT_EQ(buffer->Unlock(first, 2, second, 2), kOk);
    const std::vector<float> out = mixer->Mix(3);
    EXPECT_EQ(out[0], Sample(2));
    EXPECT_EQ(out[4], 0.5f); // frame 3, written at the end

    buffer->SetCurrentPosition(0);
    buffer->Play(0);
    EXPECT_EQ(mixer->Mix(1)[0], -0.5f); // frame 0, written through the wrapped part

    EXPECT_EQ(buffer->Lock(8, 2, &first, &firstBytes, nullptr, nullptr, 0), kInvalidParam);
    EXPECT_EQ(buffer->Lock(0, 9, &first, &firstBytes, nullptr, nullptr, 0), kInvalidParam);
    EXPECT_EQ(buffer->Unlock(first, 2, nullptr, 0), kInvalidCall);
}

TEST_F(SoundBufferTest, SetCurrentPositionMovesToAFrame)
{
    const auto samples = Ramp(100);
    auto buffer = Mono(samples);
    ASSERT_EQ(buffer->SetCurrentPosition(81), kOk); // inside frame 40
    DWORD play = 0;
    buffer->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 80u);
    buffer->Play(0);
    const std::vector<float> out = mixer->Mix(70);
    EXPECT_EQ(out[0], Sample(samples[40]));
    EXPECT_EQ(test::Peak(out, 60, 70), 0.0f);
}

TEST_F(SoundBufferTest, StatusIsReadWithoutWaitingForTheAudioThread)
{
    auto buffer = Constant(100, 4800);
    buffer->Play(kPlayLooping);
    // Another thread holds the mixer as a long mix would.
    std::promise<void> holding, release;
    std::thread audio([&] {
        auto guard = mixer->Lock();
        holding.set_value();
        release.get_future().wait();
    });
    holding.get_future().wait();
    auto check = std::async(std::launch::async, [&] {
        DWORD status = 0, play = 0;
        buffer->GetStatus(&status);
        buffer->GetCurrentPosition(&play, nullptr);
        return status;
    });
    const bool answered = check.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    release.set_value();
    audio.join();
    ASSERT_TRUE(answered);
    EXPECT_EQ(check.get(), kStatusPlaying | kStatusLooping);
}

TEST_F(SoundBufferTest, ABufferReleasedWhilePlayingLeavesOnlyItsFade)
{
    auto buffer = Constant(16384, 4800);
    buffer->Play(kPlayLooping);
    mixer->Mix(10);
    buffer.reset();
    const std::vector<float> out = mixer->Mix(2 * mixer->RampFrames());
    EXPECT_GT(out[0], 0.0f);
    EXPECT_EQ(test::Peak(out, mixer->RampFrames(), 2 * mixer->RampFrames()), 0.0f);
}

} // namespace
} // namespace audio

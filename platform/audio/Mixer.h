#pragma once
// The float mixer behind every sound buffer and media graph.
//
// The mixer owns the output: interleaved stereo float frames at its sample
// rate. Each playing voice renders unscaled stereo frames; the mixer applies
// the voice's gain and, unless the voice is set apart from it, the master
// gain (the primary buffer's volume), sums, clamps the sum to [-1, 1] and
// writes it out. A voice set apart (a media graph whose level its owner
// sets alone) plays at its own gain whatever the master level is.
//
// Level changes ramp over a few milliseconds instead of jumping. A voice
// starts at exactly the gain it is started with (nothing carries over from
// an earlier play), and a stopped voice fades out over the same few
// milliseconds from where it stopped (a "tail"), so neither start nor stop
// clicks. A stopped voice reports stopped at once; its tail plays on its own.
//
// Threads: Mix runs on the audio thread (or in a test, which drives the
// mixer directly). Voice owners change their voices under Lock(); the
// calls that take a Guard expect it held. Work for the main thread is
// posted to the event queue and runs in PollEvents().

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/audio/EventQueue.h"
#include "platform/audio/Gain.h"

namespace audio {

inline constexpr std::uint32_t kMixChannels = 2;
inline constexpr std::uint32_t kMinMixRate = 1000;
inline constexpr std::uint32_t kMaxMixRate = 384000;

class Mixer;

// A sound the mixer plays. Owners keep their state under the mixer's lock.
class MixerVoice {
public:
    virtual ~MixerVoice() = default;

protected:
    MixerVoice() = default;
    MixerVoice(const MixerVoice&) = delete;
    MixerVoice& operator=(const MixerVoice&) = delete;

    // Writes up to `frames` unscaled stereo frames and moves on; fewer than
    // asked means the sound has ended.
    virtual std::uint32_t Render(float* out, std::uint32_t frames) = 0;
    // Writes up to `frames` of what Render would give next, without moving.
    virtual std::uint32_t Peek(float* out, std::uint32_t frames) = 0;
    // The sound ended during a mix; the voice is no longer playing.
    virtual void OnEnded() = 0;

private:
    friend class Mixer;
    bool playing_ = false;
    bool followsMaster_ = true;
    GainRamp left_, right_;
};

class Mixer {
public:
    using Guard = std::unique_lock<std::mutex>;

    // `sampleRate` is clamped to kMinMixRate..kMaxMixRate.
    explicit Mixer(std::uint32_t sampleRate);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    std::uint32_t SampleRate() const { return sampleRate_; }
    // Frames over which gains move and stopped voices fade (5 ms).
    std::uint32_t RampFrames() const { return rampFrames_; }

    // Mixes the next `frames` stereo frames into `out` (2 x frames floats).
    void Mix(float* out, std::uint32_t frames);
    std::vector<float> Mix(std::uint32_t frames);

    // The master level; ramps while something sounds, is set at once otherwise.
    void SetMasterGain(StereoGain gain);
    StereoGain MasterGain() const;

    // Main-thread delivery (see EventQueue).
    void PostToMainThread(std::function<void()> task) { events_.Post(std::move(task)); }
    std::size_t PollEvents() { return events_.Drain(); }
    void SetWakeHandler(std::function<void()> wake) { events_.SetWakeHandler(std::move(wake)); }

    // For voice owners.
    Guard Lock() { return Guard(mutex_); }
    void Attach(const Guard&, MixerVoice* voice);
    // Fades the voice out when it plays, and forgets it.
    void Detach(const Guard&, MixerVoice* voice);
    // Plays the voice from its current state at exactly `gain`.
    void Start(const Guard&, MixerVoice* voice, StereoGain gain);
    // Stops the voice; what it would have played next fades out as a tail.
    void Stop(const Guard&, MixerVoice* voice);
    // The voice's level: ramps when it plays, is kept for its next start otherwise.
    void SetGain(const Guard&, MixerVoice* voice, StereoGain gain);
    bool IsPlaying(const Guard&, const MixerVoice* voice) const { return voice->playing_; }
    // Whether the master gain reaches the voice (it does from the start).
    void SetFollowsMaster(const Guard&, MixerVoice* voice, bool follows) { voice->followsMaster_ = follows; }

private:
    static constexpr std::uint32_t kChunkFrames = 256;
    static constexpr std::uint32_t kMaxRampFrames = 2048;
    static constexpr std::size_t kMaxTails = 16;

    struct Tail {
        std::array<float, 2 * kMaxRampFrames> frames{};
        std::uint32_t length = 0;
        std::uint32_t cursor = 0;
        bool Done() const { return cursor >= length; }
    };

    void MixChunk(float* out, std::uint32_t frames);
    void AddVoice(MixerVoice& voice, std::uint32_t frames);
    void AddTails(std::uint32_t frames);
    Tail& FreeTail();

    const std::uint32_t sampleRate_;
    const std::uint32_t rampFrames_;
    mutable std::mutex mutex_;
    std::vector<MixerVoice*> voices_;
    std::vector<Tail> tails_;
    GainRamp masterLeft_, masterRight_;
    std::array<float, 2 * kChunkFrames> master_{}; // the master gain of each frame of a chunk
    std::array<float, 2 * kChunkFrames> sum_{};
    std::array<float, 2 * kChunkFrames> scratch_{};
    EventQueue events_;
};

} // namespace audio

#include "platform/audio/Mixer.h"

#include <algorithm>
#include <cmath>

namespace audio {
namespace {

constexpr std::uint32_t kRampMilliseconds = 5;

// Output samples stay in [-1, 1]; a NaN that a source let through is silence.
float ClampSample(float x)
{
    if (std::isnan(x))
        return 0.0f;
    return std::clamp(x, -1.0f, 1.0f);
}

} // namespace

Mixer::Mixer(std::uint32_t sampleRate)
    : sampleRate_(std::clamp(sampleRate, kMinMixRate, kMaxMixRate)),
      rampFrames_(std::clamp<std::uint32_t>(sampleRate_ * kRampMilliseconds / 1000, 1, kMaxRampFrames)),
      tails_(kMaxTails)
{
    masterLeft_.Snap(1.0f);
    masterRight_.Snap(1.0f);
}

Mixer::~Mixer() = default;

void Mixer::Mix(float* out, std::uint32_t frames)
{
    Guard guard(mutex_);
    while (frames > 0) {
        const std::uint32_t n = std::min(frames, kChunkFrames);
        MixChunk(out, n);
        out += 2 * n;
        frames -= n;
    }
}

std::vector<float> Mixer::Mix(std::uint32_t frames)
{
    std::vector<float> out(2 * std::size_t(frames));
    Mix(out.data(), frames);
    return out;
}

void Mixer::MixChunk(float* out, std::uint32_t frames)
{
    std::fill_n(sum_.begin(), 2 * frames, 0.0f);
    for (std::uint32_t i = 0; i < frames; ++i) {
        master_[2 * i] = masterLeft_.Next();
        master_[2 * i + 1] = masterRight_.Next();
    }
    // The list cannot change here: owners attach and detach under the lock.
    for (MixerVoice* voice : voices_)
        if (voice->playing_)
            AddVoice(*voice, frames);
    AddTails(frames);
    for (std::uint32_t i = 0; i < 2 * frames; ++i)
        out[i] = ClampSample(sum_[i]);
}

void Mixer::AddVoice(MixerVoice& voice, std::uint32_t frames)
{
    const std::uint32_t got = std::min(voice.Render(scratch_.data(), frames), frames);
    for (std::uint32_t i = 0; i < got; ++i) {
        const float masterLeft = voice.followsMaster_ ? master_[2 * i] : 1.0f;
        const float masterRight = voice.followsMaster_ ? master_[2 * i + 1] : 1.0f;
        sum_[2 * i] += scratch_[2 * i] * voice.left_.Next() * masterLeft;
        sum_[2 * i + 1] += scratch_[2 * i + 1] * voice.right_.Next() * masterRight;
    }
    if (got < frames) {
        voice.playing_ = false;
        voice.OnEnded();
    }
}

void Mixer::AddTails(std::uint32_t frames)
{
    for (Tail& tail : tails_) {
        const std::uint32_t n = std::min(frames, tail.length - std::min(tail.cursor, tail.length));
        const float* from = tail.frames.data() + 2 * std::size_t(tail.cursor);
        for (std::uint32_t i = 0; i < 2 * n; ++i)
            sum_[i] += from[i];
        tail.cursor += n;
    }
}

Mixer::Tail& Mixer::FreeTail()
{
    // With every slot busy, the tail closest to its end gives way.
    auto it = std::min_element(tails_.begin(), tails_.end(), [](const Tail& a, const Tail& b) {
        return std::int64_t(a.length) - a.cursor < std::int64_t(b.length) - b.cursor;
    });
    return *it;
}

void Mixer::SetMasterGain(StereoGain gain)
{
    Guard guard(mutex_);
    // While nothing sounds a jump cannot click, and a sound started next
    // must not play its first milliseconds at the old level.
    const bool silent = std::none_of(voices_.begin(), voices_.end(), [](const MixerVoice* v) { return v->playing_; }) &&
                        std::all_of(tails_.begin(), tails_.end(), [](const Tail& t) { return t.Done(); });
    const std::uint32_t frames = silent ? 0 : rampFrames_;
    masterLeft_.MoveTo(gain.left, frames);
    masterRight_.MoveTo(gain.right, frames);
}

StereoGain Mixer::MasterGain() const
{
    Guard guard(mutex_);
    return {masterLeft_.Target(), masterRight_.Target()};
}

void Mixer::Attach(const Guard&, MixerVoice* voice)
{
    if (std::find(voices_.begin(), voices_.end(), voice) == voices_.end())
        voices_.push_back(voice);
}

void Mixer::Detach(const Guard& guard, MixerVoice* voice)
{
    Stop(guard, voice);
    voices_.erase(std::remove(voices_.begin(), voices_.end(), voice), voices_.end());
}

void Mixer::Start(const Guard&, MixerVoice* voice, StereoGain gain)
{
    voice->left_.Snap(gain.left);
    voice->right_.Snap(gain.right);
    voice->playing_ = true;
}

void Mixer::Stop(const Guard&, MixerVoice* voice)
{
    if (!voice->playing_)
        return;
    voice->playing_ = false;
    Tail& tail = FreeTail();
    const std::uint32_t n = std::min(voice->Peek(tail.frames.data(), rampFrames_), rampFrames_);
    // Linear fade from the voice's level (with the master's, when it follows
    // it) down to nothing.
    const float left = voice->left_.Current() * (voice->followsMaster_ ? masterLeft_.Current() : 1.0f);
    const float right = voice->right_.Current() * (voice->followsMaster_ ? masterRight_.Current() : 1.0f);
    for (std::uint32_t i = 0; i < n; ++i) {
        const float fade = static_cast<float>(n - i) / static_cast<float>(n + 1);
        tail.frames[2 * i] *= left * fade;
        tail.frames[2 * i + 1] *= right * fade;
    }
    tail.length = n;
    tail.cursor = 0;
}

void Mixer::SetGain(const Guard&, MixerVoice* voice, StereoGain gain)
{
    if (voice->playing_) {
        voice->left_.MoveTo(gain.left, rampFrames_);
        voice->right_.MoveTo(gain.right, rampFrames_);
        return;
    }
    voice->left_.Snap(gain.left);
    voice->right_.Snap(gain.right);
}

} // namespace audio

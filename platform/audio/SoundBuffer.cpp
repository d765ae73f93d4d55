#include "platform/audio/SoundBuffer.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

#include "platform/audio/AudioOutput.h"
#include "platform/audio/Downmix.h"
#include "platform/audio/Resample.h"

namespace audio {
namespace {

bool InRange(LONG value, LONG low, LONG high) { return value >= low && value <= high; }

// The primary buffer: the level of the whole output.
class PrimaryBuffer final : public SoundBuffer {
public:
    PrimaryBuffer(std::shared_ptr<Mixer> mixer, DWORD flags) : SoundBuffer(flags), mixer_(std::move(mixer)) {}

    HRESULT Play(DWORD flags) override
    {
        if (!(flags & kPlayLooping))
            return kInvalidParam;
        playing_ = true;
        return kOk;
    }
    HRESULT Stop() override
    {
        playing_ = false;
        return kOk;
    }
    HRESULT GetStatus(DWORD* status) const override
    {
        if (!status)
            return kInvalidParam;
        *status = playing_ ? kStatusPlaying | kStatusLooping : 0;
        return kOk;
    }
    // The output is written by the mixer alone.
    HRESULT SetCurrentPosition(DWORD) override { return kInvalidCall; }
    HRESULT GetCurrentPosition(DWORD*, DWORD*) const override { return kInvalidCall; }
    HRESULT Lock(DWORD, DWORD, void**, DWORD*, void**, DWORD*, DWORD) override { return kPrioLevelNeeded; }
    HRESULT Unlock(void*, DWORD, void*, DWORD) override { return kInvalidCall; }
    HRESULT GetFormat(WaveFormat* format) const override
    {
        if (!format)
            return kInvalidParam;
        *format = MakeWaveFormat(kMixChannels, mixer_->SampleRate(), 32, true);
        return kOk;
    }

private:
    void LevelsChanged() override { mixer_->SetMasterGain(LevelGains()); }

    std::shared_ptr<Mixer> mixer_;
    bool playing_ = false;
};

// A secondary buffer: PCM data played through the mixer.
class SecondaryBuffer final : public SoundBuffer, private MixerVoice {
public:
    SecondaryBuffer(std::shared_ptr<Mixer> mixer, DWORD flags, const WaveFormat& format, std::vector<std::uint8_t> bytes)
        : SoundBuffer(flags), mixer_(std::move(mixer)), format_(format), reader_(SampleReaderFor(format)),
          sampleBytes_(format.bitsPerSample / 8u), bytes_(std::move(bytes)), frames_(bytes_.size() / format.blockAlign),
          step_(StepFor(format.samplesPerSec, mixer_->SampleRate()))
    {
        auto guard = mixer_->Lock();
        mixer_->Attach(guard, this);
    }

    ~SecondaryBuffer() override
    {
        auto guard = mixer_->Lock();
        mixer_->Detach(guard, this);
    }

    HRESULT Play(DWORD flags) override
    {
        auto guard = mixer_->Lock();
        looping_ = (flags & kPlayLooping) != 0;
        if (!mixer_->IsPlaying(guard, this))
            mixer_->Start(guard, this, LevelGains());
        status_ = kStatusPlaying | (looping_ ? kStatusLooping : 0);
        return kOk;
    }

    HRESULT Stop() override
    {
        auto guard = mixer_->Lock();
        mixer_->Stop(guard, this);
        status_ = 0;
        return kOk;
    }

    HRESULT GetStatus(DWORD* status) const override
    {
        if (!status)
            return kInvalidParam;
        *status = status_.load();
        return kOk;
    }

    HRESULT SetCurrentPosition(DWORD offset) override
    {
        if (offset >= bytes_.size())
            return kInvalidParam;
        auto guard = mixer_->Lock();
        // A jump while playing fades the old place out instead of cutting it.
        const bool playing = mixer_->IsPlaying(guard, this);
        if (playing)
            mixer_->Stop(guard, this);
        cursor_ = {offset / format_.blockAlign, 0};
        PublishPosition();
        if (playing)
            mixer_->Start(guard, this, LevelGains());
        return kOk;
    }

    HRESULT GetCurrentPosition(DWORD* play, DWORD* write) const override
    {
        if (!play && !write)
            return kInvalidParam;
        // Nothing before the play cursor is read again and writes go through
        // Lock's copy, so the write cursor is the play cursor.
        const auto offset = static_cast<DWORD>(playFrame_.load() * format_.blockAlign);
        if (play)
            *play = offset;
        if (write)
            *write = offset;
        return kOk;
    }

    HRESULT Lock(DWORD offset, DWORD bytes, void** first, DWORD* firstBytes, void** second, DWORD* secondBytes,
                 DWORD flags) override
    {
        if (!first || !firstBytes || (second && !secondBytes))
            return kInvalidParam;
        if (locked_)
            return kInvalidCall;
        const auto size = static_cast<DWORD>(bytes_.size());
        if (flags & kLockEntireBuffer) {
            offset = 0;
            bytes = size;
        } else if (flags & kLockFromWriteCursor) {
            GetCurrentPosition(nullptr, &offset);
        }
        if (offset >= size || bytes == 0 || bytes > size)
            return kInvalidParam;
        const DWORD firstPart = std::min(bytes, size - offset);
        const DWORD secondPart = second ? bytes - firstPart : 0;

        // Only this thread writes the bytes, so they can be read here unlocked.
        staging_.assign(bytes_.begin() + offset, bytes_.begin() + offset + firstPart);
        staging_.insert(staging_.end(), bytes_.begin(), bytes_.begin() + secondPart);
        *first = staging_.data();
        *firstBytes = firstPart;
        if (second) {
            *second = secondPart ? staging_.data() + firstPart : nullptr;
            *secondBytes = secondPart;
        }
        locked_ = true;
        lockOffset_ = offset;
        lockFirst_ = firstPart;
        lockSecond_ = secondPart;
        return kOk;
    }

    HRESULT Unlock(void* first, DWORD firstBytes, void* second, DWORD secondBytes) override
    {
        if (!locked_)
            return kInvalidCall;
        if (first != staging_.data() || firstBytes > lockFirst_ || secondBytes > lockSecond_ ||
            (secondBytes && second != staging_.data() + lockFirst_))
            return kInvalidParam;
        {
            auto guard = mixer_->Lock();
            std::memcpy(bytes_.data() + lockOffset_, staging_.data(), firstBytes);
            std::memcpy(bytes_.data(), staging_.data() + lockFirst_, secondBytes);
        }
        std::vector<std::uint8_t>().swap(staging_);
        locked_ = false;
        return kOk;
    }

    HRESULT GetFormat(WaveFormat* format) const override
    {
        if (!format)
            return kInvalidParam;
        *format = format_;
        return kOk;
    }

private:
    void LevelsChanged() override
    {
        auto guard = mixer_->Lock();
        mixer_->SetGain(guard, this, LevelGains());
    }

    void ReadFrame(std::uint64_t frame, float* left, float* right) const
    {
        float samples[kMaxChannels] = {};
        const std::uint8_t* at = bytes_.data() + frame * format_.blockAlign;
        for (std::uint32_t c = 0; c < format_.channels; ++c)
            samples[c] = reader_(at + c * sampleBytes_);
        DownmixToStereo(samples, format_.channels, left, right);
    }

    std::uint32_t RenderFrom(ResampleCursor& cursor, float* out, std::uint32_t frames) const
    {
        std::uint32_t i = 0;
        for (; i < frames; ++i) {
            if (cursor.frame >= frames_) {
                if (!looping_)
                    break;
                cursor.frame %= frames_;
            }
            float l0, r0;
            ReadFrame(cursor.frame, &l0, &r0);
            if (cursor.fraction != 0) {
                std::uint64_t next = cursor.frame + 1;
                if (next >= frames_)
                    next = looping_ ? 0 : cursor.frame;
                float l1, r1;
                ReadFrame(next, &l1, &r1);
                l0 = Lerp(l0, l1, cursor.Weight());
                r0 = Lerp(r0, r1, cursor.Weight());
            }
            out[2 * i] = l0;
            out[2 * i + 1] = r0;
            cursor.Advance(step_);
        }
        return i;
    }

    std::uint32_t Render(float* out, std::uint32_t frames) override
    {
        const std::uint32_t got = RenderFrom(cursor_, out, frames);
        PublishPosition();
        return got;
    }

    std::uint32_t Peek(float* out, std::uint32_t frames) override
    {
        ResampleCursor copy = cursor_;
        return RenderFrom(copy, out, frames);
    }

    void OnEnded() override
    {
        cursor_ = {};
        PublishPosition();
        status_ = 0;
    }

    void PublishPosition()
    {
        std::uint64_t frame = cursor_.frame;
        if (frame >= frames_)
            frame = looping_ ? frame % frames_ : frames_ - 1;
        playFrame_ = frame;
    }

    const std::shared_ptr<Mixer> mixer_;
    const WaveFormat format_;
    const SampleReader reader_;
    const std::uint32_t sampleBytes_;
    std::vector<std::uint8_t> bytes_; // written under the mixer's lock
    const std::uint64_t frames_;      // at least 1
    const ResampleStep step_;

    // Under the mixer's lock.
    ResampleCursor cursor_;
    bool looping_ = false;

    // Read without the lock.
    std::atomic<DWORD> status_{0};
    std::atomic<std::uint64_t> playFrame_{0};

    // Main thread only.
    std::vector<std::uint8_t> staging_;
    bool locked_ = false;
    DWORD lockOffset_ = 0, lockFirst_ = 0, lockSecond_ = 0;
};

HRESULT CreatePrimary(const std::shared_ptr<Mixer>& mixer, const BufferDesc& desc, std::shared_ptr<SoundBuffer>* out)
{
    if (desc.bufferBytes != 0 || desc.format)
        return kInvalidParam;
    *out = std::make_shared<PrimaryBuffer>(mixer, desc.flags);
    return kOk;
}

HRESULT CreateSecondary(const std::shared_ptr<Mixer>& mixer, const BufferDesc& desc, std::shared_ptr<SoundBuffer>* out)
{
    if (!desc.format)
        return kInvalidParam;
    if (!IsPlayableFormat(*desc.format, nullptr))
        return kBadFormat;
    if (desc.bufferBytes < kMinBufferBytes || desc.bufferBytes > kMaxBufferBytes ||
        desc.bufferBytes < desc.format->blockAlign)
        return kInvalidParam;
    try {
        // Silence: the middle value for unsigned 8-bit samples, zero otherwise.
        const std::uint8_t silence = desc.format->bitsPerSample == 8 ? 0x80 : 0x00;
        std::vector<std::uint8_t> bytes(desc.bufferBytes, silence);
        *out = std::make_shared<SecondaryBuffer>(mixer, desc.flags, *desc.format, std::move(bytes));
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

} // namespace

HRESULT SoundBuffer::SetLevel(DWORD control, LONG value, LONG low, LONG high, std::atomic<LONG>& level)
{
    if (!(flags_ & control))
        return kControlUnavailable;
    if (!InRange(value, low, high))
        return kInvalidParam;
    level = value;
    LevelsChanged();
    return kOk;
}

HRESULT SoundBuffer::GetLevel(DWORD control, const std::atomic<LONG>& level, LONG* value) const
{
    if (!(flags_ & control))
        return kControlUnavailable;
    if (!value)
        return kInvalidParam;
    *value = level;
    return kOk;
}

HRESULT SoundBuffer::SetVolume(LONG volume)
{
    return SetLevel(kBufferCtrlVolume, volume, kVolumeMin, kVolumeMax, volume_);
}

HRESULT SoundBuffer::GetVolume(LONG* volume) const { return GetLevel(kBufferCtrlVolume, volume_, volume); }

HRESULT SoundBuffer::SetPan(LONG pan) { return SetLevel(kBufferCtrlPan, pan, kPanLeft, kPanRight, pan_); }

HRESULT SoundBuffer::GetPan(LONG* pan) const { return GetLevel(kBufferCtrlPan, pan_, pan); }

HRESULT SoundDevice::Create(std::shared_ptr<SoundDevice>* out)
{
    return Create(ProcessMixer(), out);
}

HRESULT SoundDevice::Create(std::shared_ptr<Mixer> mixer, std::shared_ptr<SoundDevice>* out)
{
    if (!out)
        return kInvalidParam;
    out->reset();
    if (!mixer)
        return kNoDriver;
    out->reset(new SoundDevice(std::move(mixer)));
    return kOk;
}

HRESULT SoundDevice::CreateSoundBuffer(const BufferDesc& desc, std::shared_ptr<SoundBuffer>* out)
{
    if (!out)
        return kInvalidParam;
    out->reset();
    return (desc.flags & kBufferPrimary) ? CreatePrimary(mixer_, desc, out) : CreateSecondary(mixer_, desc, out);
}

} // namespace audio

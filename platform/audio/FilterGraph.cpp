#include "platform/audio/FilterGraph.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <filesystem>
#include <limits>
#include <mutex>
#include <new>

#include "platform/audio/AudioOutput.h"
#include "platform/audio/Decoder.h"
#include "platform/audio/Downmix.h"
#include "platform/audio/Gain.h"
#include "platform/audio/Resample.h"

namespace audio {
namespace {

constexpr std::uint64_t kUnknownStop = std::numeric_limits<std::uint64_t>::max();
// Decoded frames kept ahead of the play position, so that a stop can fade
// out what comes next without decoding on the main thread.
constexpr std::uint64_t kLookaheadFrames = 1024;
constexpr std::uint64_t kDecodeFrames = 1024;                      // per decoder read
constexpr std::uint64_t kBlockFrames = kLookaheadFrames + 2 * kDecodeFrames; // decoded stereo frames held

// 100-ns units to the nearest frame at `rate`, without overflow; negative
// times are 0. Rounding makes a time that TimeFromFrames gave map back to
// its frame.
std::uint64_t FramesFromTime(std::int64_t time, std::uint32_t rate)
{
    if (time <= 0)
        return 0;
    const auto t = static_cast<std::uint64_t>(time);
    const std::uint64_t perSecond = kReferenceTimePerSecond;
    return t / perSecond * rate + ((t % perSecond) * rate + perSecond / 2) / perSecond;
}

// Frames at `rate` to 100-ns units, saturating.
std::int64_t TimeFromFrames(std::uint64_t frames, std::uint32_t rate)
{
    const std::uint64_t seconds = frames / rate;
    constexpr std::uint64_t kMax = std::numeric_limits<std::int64_t>::max();
    if (seconds >= kMax / kReferenceTimePerSecond)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(seconds * kReferenceTimePerSecond +
                                     (frames % rate) * kReferenceTimePerSecond / rate);
}

std::uint64_t AddClamped(std::uint64_t base, std::int64_t delta)
{
    if (delta < 0) {
        const std::uint64_t down = 0 - static_cast<std::uint64_t>(delta);
        return base > down ? base - down : 0;
    }
    const auto up = static_cast<std::uint64_t>(delta);
    return base > kUnknownStop - up ? kUnknownStop : base + up;
}

} // namespace

SourceFilter::SourceFilter(std::unique_ptr<Decoder> decoder, std::string name, const void* graph)
    : decoder_(std::move(decoder)), name_(std::move(name)), graph_(graph), channels_(decoder_->Channels()),
      sampleRate_(decoder_->SampleRate()), frames_(decoder_->Frames())
{
}

SourceFilter::~SourceFilter() = default;

// The graph's events: queued on the audio thread, taken on the main thread.
struct FilterGraph::Events {
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<GraphEvent> queue;
    std::function<void()> notify;

    void Push(const GraphEvent& event)
    {
        {
            std::lock_guard lock(mutex);
            queue.push_back(event);
        }
        arrived.notify_all();
    }

    void Notify()
    {
        std::function<void()> callback;
        {
            std::lock_guard lock(mutex);
            callback = notify;
        }
        if (callback)
            callback();
    }
};

// The rendered source as the mixer plays it: decoded ahead into a block of
// stereo frames, resampled to the output's rate.
class FilterGraph::Voice final : public MixerVoice {
public:
    struct Storage {
        std::vector<float> block;  // kBlockFrames stereo frames
        std::vector<float> decode; // kDecodeFrames frames of the source's channels
    };

    Voice(Mixer& mixer, std::weak_ptr<Events> events) : mixer_(mixer), events_(std::move(events)) {}

    // Everything below runs under the mixer's lock.

    // Connects `source` with buffers made for it; answers what it replaces.
    std::shared_ptr<SourceFilter> Connect(std::shared_ptr<SourceFilter> source, Storage& storage)
    {
        std::swap(storage_.block, storage.block);
        std::swap(storage_.decode, storage.decode);
        std::swap(source_, source);
        step_ = StepFor(source_->SampleRate(), mixer_.SampleRate());
        stop_ = source_->Frames() > 0 ? source_->Frames() : kUnknownStop;
        Seek(0);
        return source;
    }

    std::shared_ptr<SourceFilter> Disconnect()
    {
        std::shared_ptr<SourceFilter> source;
        std::swap(source, source_);
        return source;
    }

    bool Connected() const { return source_ != nullptr; }
    const SourceFilter& Source() const { return *source_; }

    // Moves the play position; false when the decoder cannot go there (the
    // voice then ends at once when played).
    bool Seek(std::uint64_t frame)
    {
        const bool moved = source_->decoder_->Seek(frame);
        cursor_ = {frame, 0};
        blockFirst_ = frame;
        blockCount_ = 0;
        atEnd_ = !moved;
        failed_ = false;
        completed_ = false;
        current_ = frame;
        TopUp();
        return moved;
    }

    void SetStop(std::uint64_t frame)
    {
        stop_ = frame;
        completed_ = false;
    }

    // Read without the lock.
    std::uint64_t CurrentFrame() const { return completed_ ? stop_.load() : current_.load(); }
    std::uint64_t StopFrame() const { return stop_; }

private:
    std::uint32_t Render(float* out, std::uint32_t frames) override
    {
        const std::uint32_t got = RenderFrom(cursor_, out, frames, true);
        TopUp();
        current_ = std::min<std::uint64_t>(cursor_.frame, stop_);
        return got;
    }

    std::uint32_t Peek(float* out, std::uint32_t frames) override
    {
        ResampleCursor copy = cursor_;
        return RenderFrom(copy, out, frames, false);
    }

    void OnEnded() override
    {
        completed_ = true;
        const GraphEvent event{failed_ ? kEventErrorAbort : kEventComplete, failed_ ? kGeneric : kOk, 0};
        if (auto events = events_.lock())
            events->Push(event);
        mixer_.PostToMainThread([events = events_] {
            if (auto alive = events.lock())
                alive->Notify();
        });
    }

    std::uint32_t RenderFrom(ResampleCursor& cursor, float* out, std::uint32_t frames, bool mayDecode)
    {
        if (!source_)
            return 0;
        std::uint32_t i = 0;
        for (; i < frames && cursor.frame < stop_; ++i) {
            const float *a, *b;
            if (!FramesAt(cursor.frame, mayDecode, &a, &b))
                break;
            const float t = cursor.Weight();
            out[2 * i] = Lerp(a[0], b[0], t);
            out[2 * i + 1] = Lerp(a[1], b[1], t);
            cursor.Advance(step_);
        }
        return i;
    }

    // Points `a` at frame `index` and `b` at the frame after it (or at `a`
    // when there is none yet).
    bool FramesAt(std::uint64_t index, bool mayDecode, const float** a, const float** b)
    {
        while (mayDecode && !atEnd_ && index + 1 >= blockFirst_ + blockCount_)
            Refill(index);
        const std::uint64_t end = blockFirst_ + blockCount_;
        if (index < blockFirst_ || index >= end)
            return false;
        *a = storage_.block.data() + 2 * (index - blockFirst_);
        *b = index + 1 < end ? *a + 2 : *a;
        return true;
    }

    // Keeps kLookaheadFrames decoded past the play position.
    void TopUp()
    {
        while (!atEnd_ && blockFirst_ + blockCount_ < cursor_.frame + kLookaheadFrames)
            Refill(cursor_.frame);
    }

    // Drops the frames before `from` and decodes the next run after the block.
    void Refill(std::uint64_t from)
    {
        const std::uint64_t end = blockFirst_ + blockCount_;
        if (from < end) {
            if (from > blockFirst_) {
                const std::uint64_t keep = end - from;
                std::memmove(storage_.block.data(), storage_.block.data() + 2 * (from - blockFirst_),
                             keep * 2 * sizeof(float));
                blockFirst_ = from;
                blockCount_ = keep;
            }
        } else if (!SkipTo(from)) {
            return;
        }
        const std::uint64_t room = kBlockFrames - blockCount_;
        const std::size_t got = source_->decoder_->Read(storage_.decode.data(), std::min(room, kDecodeFrames));
        if (got == 0) {
            MarkEnd();
            return;
        }
        const std::uint32_t channels = source_->Channels();
        float* to = storage_.block.data() + 2 * blockCount_;
        for (std::size_t f = 0; f < got; ++f)
            DownmixToStereo(storage_.decode.data() + f * channels, channels, to + 2 * f, to + 2 * f + 1);
        blockCount_ += got;
    }

    // Decodes and drops frames until the decoder stands at `frame`.
    bool SkipTo(std::uint64_t frame)
    {
        blockFirst_ += blockCount_;
        blockCount_ = 0;
        while (blockFirst_ < frame) {
            const std::size_t got =
                source_->decoder_->Read(storage_.decode.data(), std::min(frame - blockFirst_, kDecodeFrames));
            if (got == 0) {
                MarkEnd();
                return false;
            }
            blockFirst_ += got;
        }
        return true;
    }

    void MarkEnd()
    {
        atEnd_ = true;
        failed_ = source_->decoder_->Failed();
        // A source that did not state its length ends where its data does.
        if (stop_ == kUnknownStop)
            stop_ = blockFirst_ + blockCount_;
    }

    Mixer& mixer_;
    const std::weak_ptr<Events> events_;
    std::shared_ptr<SourceFilter> source_;
    Storage storage_;
    ResampleStep step_;
    ResampleCursor cursor_;
    std::uint64_t blockFirst_ = 0; // source frame of the block's first frame
    std::uint64_t blockCount_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;

    // Written under the lock, read without it.
    std::atomic<std::uint64_t> current_{0};
    std::atomic<std::uint64_t> stop_{kUnknownStop};
    std::atomic<bool> completed_{false};
};

HRESULT FilterGraph::Create(std::shared_ptr<FilterGraph>* out)
{
    return Create(ProcessMixer(), out);
}

HRESULT FilterGraph::Create(std::shared_ptr<Mixer> mixer, std::shared_ptr<FilterGraph>* out)
{
    if (!out)
        return kPointer;
    out->reset();
    if (!mixer)
        return kNoDriver;
    out->reset(new FilterGraph(std::move(mixer)));
    return kOk;
}

FilterGraph::FilterGraph(std::shared_ptr<Mixer> mixer)
    : mixer_(std::move(mixer)), events_(std::make_shared<Events>()), voice_(std::make_unique<Voice>(*mixer_, events_))
{
    auto guard = mixer_->Lock();
    mixer_->Attach(guard, voice_.get());
}

FilterGraph::~FilterGraph()
{
    // The source goes after the lock is given back.
    std::shared_ptr<SourceFilter> released;
    auto guard = mixer_->Lock();
    mixer_->Detach(guard, voice_.get());
    released = voice_->Disconnect();
    guard.unlock();
}

HRESULT FilterGraph::AddSourceFilter(const std::string& path, std::shared_ptr<SourceFilter>* out, std::string* error)
{
    if (!out)
        return kPointer;
    out->reset();
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        if (error)
            *error = "no such file: " + path;
        return kFileNotFound;
    }
    auto decoder = Decoder::OpenFile(path, error);
    if (!decoder)
        return kUnsupportedStream;
    out->reset(new SourceFilter(std::move(decoder), path, this));
    return kOk;
}

HRESULT FilterGraph::AddSourceFilter(std::vector<std::uint8_t> bytes, const std::string& name,
                                     std::shared_ptr<SourceFilter>* out, std::string* error)
{
    if (!out)
        return kPointer;
    out->reset();
    auto decoder = Decoder::OpenMemory(std::move(bytes), error);
    if (!decoder)
        return kUnsupportedStream;
    out->reset(new SourceFilter(std::move(decoder), name, this));
    return kOk;
}

HRESULT FilterGraph::Render(const std::shared_ptr<SourceFilter>& source)
{
    if (!source || source->graph_ != this)
        return kInvalidParam;
    Voice::Storage storage;
    try {
        storage.block.assign(2 * kBlockFrames, 0.0f);
        storage.decode.assign(kDecodeFrames * source->Channels(), 0.0f);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    std::shared_ptr<SourceFilter> replaced;
    auto guard = mixer_->Lock();
    mixer_->Stop(guard, voice_.get());
    replaced = voice_->Connect(source, storage);
    if (state_ == GraphState::Running)
        mixer_->Start(guard, voice_.get(), VolumePanGains(volume_, balance_));
    guard.unlock();
    return kOk;
}

HRESULT FilterGraph::RenderFile(const std::string& path, std::string* error)
{
    std::shared_ptr<SourceFilter> source;
    const HRESULT added = AddSourceFilter(path, &source, error);
    return FAILED(added) ? added : Render(source);
}

HRESULT FilterGraph::RenderBytes(std::vector<std::uint8_t> bytes, std::string* error)
{
    std::shared_ptr<SourceFilter> source;
    const HRESULT added = AddSourceFilter(std::move(bytes), "audio data in memory", &source, error);
    return FAILED(added) ? added : Render(source);
}

HRESULT FilterGraph::Run()
{
    if (state_ == GraphState::Running)
        return kOk;
    state_ = GraphState::Running;
    auto guard = mixer_->Lock();
    if (voice_->Connected() && !mixer_->IsPlaying(guard, voice_.get()))
        mixer_->Start(guard, voice_.get(), VolumePanGains(volume_, balance_));
    return kOk;
}

HRESULT FilterGraph::Pause()
{
    state_ = GraphState::Paused;
    auto guard = mixer_->Lock();
    mixer_->Stop(guard, voice_.get());
    return kOk;
}

HRESULT FilterGraph::Stop()
{
    state_ = GraphState::Stopped;
    auto guard = mixer_->Lock();
    mixer_->Stop(guard, voice_.get());
    return kOk;
}

HRESULT FilterGraph::GetState(std::uint32_t, GraphState* state) const
{
    if (!state)
        return kPointer;
    *state = state_;
    return kOk;
}

HRESULT FilterGraph::GetDuration(std::int64_t* duration) const
{
    if (!duration)
        return kPointer;
    // The source is changed only on this thread, so it is read here unlocked.
    if (!voice_->Connected())
        return kNotConnected;
    if (voice_->Source().Frames() == 0)
        return kUnsupported; // a stream that does not state its length
    *duration = TimeFromFrames(voice_->Source().Frames(), voice_->Source().SampleRate());
    return kOk;
}

HRESULT FilterGraph::GetPositions(std::int64_t* current, std::int64_t* stop) const
{
    if (!current && !stop)
        return kPointer;
    if (!voice_->Connected())
        return kNotConnected;
    const std::uint32_t rate = voice_->Source().SampleRate();
    if (current)
        *current = TimeFromFrames(voice_->CurrentFrame(), rate);
    if (stop) {
        const std::uint64_t frame = voice_->StopFrame();
        *stop = frame == kUnknownStop ? std::numeric_limits<std::int64_t>::max() : TimeFromFrames(frame, rate);
    }
    return kOk;
}

HRESULT FilterGraph::SetPositions(std::int64_t* current, DWORD currentFlags, std::int64_t* stop, DWORD stopFlags)
{
    const DWORD currentMode = currentFlags & kSeekPositioningMask;
    const DWORD stopMode = stopFlags & kSeekPositioningMask;
    if ((currentMode != kSeekNoPositioning && !current) || (stopMode != kSeekNoPositioning && !stop))
        return kPointer;
    if (currentMode == kSeekIncremental)
        return kInvalidParam;
    if (!voice_->Connected())
        return kNotConnected;
    const SourceFilter& source = voice_->Source();
    const std::uint32_t rate = source.SampleRate();
    // A relative move in frames; INT64_MIN is taken as -INT64_MAX.
    auto signedFrames = [rate](std::int64_t time) {
        const auto magnitude = static_cast<std::int64_t>(FramesFromTime(time < 0 ? -std::max(time, -INT64_MAX) : time, rate));
        return time < 0 ? -magnitude : magnitude;
    };

    auto guard = mixer_->Lock();
    std::uint64_t newCurrent = voice_->CurrentFrame();
    if (currentMode == kSeekAbsolute)
        newCurrent = FramesFromTime(*current, rate);
    else if (currentMode == kSeekRelative)
        newCurrent = AddClamped(newCurrent, signedFrames(*current));
    std::uint64_t newStop = voice_->StopFrame();
    if (stopMode == kSeekAbsolute)
        newStop = FramesFromTime(*stop, rate);
    else if (stopMode == kSeekRelative)
        newStop = AddClamped(newStop, signedFrames(*stop));
    else if (stopMode == kSeekIncremental)
        newStop = AddClamped(newCurrent, signedFrames(*stop));
    // Nothing lies past the end of a source that states its length.
    if (source.Frames() > 0) {
        newCurrent = std::min(newCurrent, source.Frames());
        newStop = std::min(newStop, source.Frames());
    }

    // A jump while playing fades the old place out instead of cutting it; a
    // running graph plays on from the new place, also after it completed.
    mixer_->Stop(guard, voice_.get());
    voice_->SetStop(newStop);
    bool moved = true;
    if (currentMode != kSeekNoPositioning)
        moved = voice_->Seek(newCurrent);
    if (state_ == GraphState::Running)
        mixer_->Start(guard, voice_.get(), VolumePanGains(volume_, balance_));
    return moved ? kOk : kGeneric;
}

HRESULT FilterGraph::SetVolume(LONG volume)
{
    if (volume < kVolumeMin || volume > kVolumeMax)
        return kInvalidParam;
    volume_ = volume;
    auto guard = mixer_->Lock();
    mixer_->SetGain(guard, voice_.get(), VolumePanGains(volume_, balance_));
    return kOk;
}

void FilterGraph::SetFollowsMasterLevel(bool follows)
{
    auto guard = mixer_->Lock();
    mixer_->SetFollowsMaster(guard, voice_.get(), follows);
}

HRESULT FilterGraph::GetVolume(LONG* volume) const
{
    if (!volume)
        return kPointer;
    *volume = volume_;
    return kOk;
}

HRESULT FilterGraph::SetBalance(LONG balance)
{
    if (balance < kPanLeft || balance > kPanRight)
        return kInvalidParam;
    balance_ = balance;
    auto guard = mixer_->Lock();
    mixer_->SetGain(guard, voice_.get(), VolumePanGains(volume_, balance_));
    return kOk;
}

HRESULT FilterGraph::GetBalance(LONG* balance) const
{
    if (!balance)
        return kPointer;
    *balance = balance_;
    return kOk;
}

void FilterGraph::SetNotifyCallback(std::function<void()> notify)
{
    std::lock_guard lock(events_->mutex);
    events_->notify = std::move(notify);
}

HRESULT FilterGraph::GetEvent(GraphEvent* event, std::uint32_t timeoutMs)
{
    if (!event)
        return kPointer;
    std::unique_lock lock(events_->mutex);
    if (!events_->arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !events_->queue.empty(); }))
        return kAbort;
    *event = events_->queue.front();
    events_->queue.pop_front();
    return kOk;
}

} // namespace audio

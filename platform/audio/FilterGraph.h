#pragma once
// Media graphs in the manner of the system's filter graphs, for playing
// whole audio files (MP3, WAV, ...): a graph takes a source (a file or
// bytes in memory, decoded by libsndfile), renders it to the output, and is
// run, paused and stopped; positions are in 100-ns units; volume and balance
// are in millibels (Gain.h) and the output's master level applies on top,
// unless the graph is set apart from it (SetFollowsMasterLevel).
//
// When a running graph reaches the stop position (by default the end of the
// source) it queues an event, kEventComplete (kEventErrorAbort when decoding
// failed), and stays running, silent, at the stop position until it is
// stopped or repositioned; running it again from there completes again.
// Events are taken with GetEvent. For each queued event the notify callback,
// when one is set, is called on the main thread from the mixer's
// PollEvents(), in place of a window message, and the owner then takes the
// event with GetEvent.
//
// A graph renders one source at a time; rendering another replaces it. A
// source belongs to the graph that made it. Everything is called from the
// main thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/Mixer.h"
#include "platform/audio/Results.h"
#include "platform/crt/WinTypes.h"

namespace audio {

class Decoder;

enum class GraphState : std::int32_t { Stopped = 0, Paused = 1, Running = 2 };

// Event codes (documented values).
inline constexpr std::int32_t kEventComplete = 0x01;
inline constexpr std::int32_t kEventErrorAbort = 0x03;

struct GraphEvent {
    std::int32_t code = 0;
    std::intptr_t param1 = 0; // the result: kOk, or kGeneric for a decoding error
    std::intptr_t param2 = 0;
};

// Positioning flags of SetPositions (the low bits; documented values).
inline constexpr DWORD kSeekNoPositioning = 0x0;
inline constexpr DWORD kSeekAbsolute = 0x1;
inline constexpr DWORD kSeekRelative = 0x2;     // to the current value
inline constexpr DWORD kSeekIncremental = 0x3;  // stop only: relative to the new current position
inline constexpr DWORD kSeekPositioningMask = 0x3;

// 100-ns units per second.
inline constexpr std::int64_t kReferenceTimePerSecond = 10'000'000;

class SourceFilter {
public:
    ~SourceFilter();
    SourceFilter(const SourceFilter&) = delete;
    SourceFilter& operator=(const SourceFilter&) = delete;

    const std::string& Name() const { return name_; }
    std::uint32_t Channels() const { return channels_; }
    std::uint32_t SampleRate() const { return sampleRate_; }
    std::uint64_t Frames() const { return frames_; } // 0 when the source does not tell

private:
    friend class FilterGraph;
    SourceFilter(std::unique_ptr<Decoder> decoder, std::string name, const void* graph);

    std::unique_ptr<Decoder> decoder_; // used under the mixer's lock once rendered
    std::string name_;
    const void* graph_;
    std::uint32_t channels_, sampleRate_;
    std::uint64_t frames_;
};

class FilterGraph {
public:
    // On the process's output (AudioOutput.h); kNoDriver when there is none.
    static HRESULT Create(std::shared_ptr<FilterGraph>* out);
    static HRESULT Create(std::shared_ptr<Mixer> mixer, std::shared_ptr<FilterGraph>* out);
    ~FilterGraph();
    FilterGraph(const FilterGraph&) = delete;
    FilterGraph& operator=(const FilterGraph&) = delete;

    // A source for a file, or for bytes in memory (named `name`): kFileNotFound
    // for a missing file, kUnsupportedStream for data that is not audio;
    // `error` (optional) tells more.
    HRESULT AddSourceFilter(const std::string& path, std::shared_ptr<SourceFilter>* out, std::string* error = nullptr);
    HRESULT AddSourceFilter(std::vector<std::uint8_t> bytes, const std::string& name,
                            std::shared_ptr<SourceFilter>* out, std::string* error = nullptr);
    // Connects `source` to the output in place of the previous one, from its
    // start to its end; a running graph plays it at once.
    HRESULT Render(const std::shared_ptr<SourceFilter>& source);
    HRESULT RenderFile(const std::string& path, std::string* error = nullptr);
    HRESULT RenderBytes(std::vector<std::uint8_t> bytes, std::string* error = nullptr);

    // Running a running graph changes nothing; running a stopped or paused
    // one plays on from its current position.
    HRESULT Run();
    HRESULT Pause();
    HRESULT Stop();
    // The state is always settled; the time-out is not needed.
    HRESULT GetState(std::uint32_t timeoutMs, GraphState* state) const;

    // kNotConnected before anything is rendered.
    HRESULT GetDuration(std::int64_t* duration) const;
    HRESULT GetPositions(std::int64_t* current, std::int64_t* stop) const;
    HRESULT SetPositions(std::int64_t* current, DWORD currentFlags, std::int64_t* stop, DWORD stopFlags);

    // kVolumeMin..kVolumeMax and kPanLeft..kPanRight.
    HRESULT SetVolume(LONG volume);
    HRESULT GetVolume(LONG* volume) const;
    HRESULT SetBalance(LONG balance);
    HRESULT GetBalance(LONG* balance) const;
    // Whether the output's master level (the primary buffer's volume) applies
    // on top of the graph's own volume; it does from the start. A graph whose
    // owner sets its whole level through SetVolume is set apart.
    void SetFollowsMasterLevel(bool follows);

    // Called on the main thread (from Mixer::PollEvents) once for each event
    // queued; may be empty.
    void SetNotifyCallback(std::function<void()> notify);
    // Takes the oldest event; kAbort when none came within `timeoutMs`.
    HRESULT GetEvent(GraphEvent* event, std::uint32_t timeoutMs);

private:
    class Voice;
    struct Events;
    explicit FilterGraph(std::shared_ptr<Mixer> mixer);

    std::shared_ptr<Mixer> mixer_;
    std::shared_ptr<Events> events_;
    std::unique_ptr<Voice> voice_;
    GraphState state_ = GraphState::Stopped;
    LONG volume_ = kVolumeMax;
    LONG balance_ = 0;
};

} // namespace audio

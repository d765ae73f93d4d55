#include "player/AudioPlaylist.h"

#include <memory>
#include <vector>

#include "platform/audio/AudioOutput.h"
#include "platform/crt/WideString.h"
#include "player/SoundDevice.h"

namespace {

struct AudioGraphState {
    std::shared_ptr<audio::Mixer> mixer;
    std::shared_ptr<audio::FilterGraph> graph;
};

AudioGraphState& State()
{
    static AudioGraphState state;
    return state;
}

bool IsRefusedFileName(std::u16string_view name)
{
    return name.empty() || name == u"." || name == u"..";
}

} // namespace

bool InitAudioGraph(std::function<void()> notify)
{
    AudioGraphState& state = State();
    if (!state.graph) {
        std::shared_ptr<audio::Mixer> mixer = audio::ProcessMixer();
        std::shared_ptr<audio::FilterGraph> graph;
        if (FAILED(audio::FilterGraph::Create(mixer, &graph)))
            return false;
        // The settings give the playlist its whole level through the graph's
        // volume; the primary buffer's level is the sound objects' alone.
        graph->SetFollowsMasterLevel(false);
        state.mixer = std::move(mixer);
        state.graph = std::move(graph);
    }
    state.graph->SetNotifyCallback(std::move(notify));
    return true;
}

void PollAudioEvents()
{
    // The playlist and the sound device normally share the process's mixer;
    // both are drained when they differ (a test may set one up alone).
    const std::shared_ptr<audio::Mixer>& playlistMixer = State().mixer;
    const std::shared_ptr<audio::Mixer> deviceMixer = DirectSoundMixer();
    if (playlistMixer)
        playlistMixer->PollEvents();
    if (deviceMixer && deviceMixer != playlistMixer)
        deviceMixer->PollEvents();
}

long GetAudioGraphEvent()
{
    audio::FilterGraph* graph = AudioGraph();
    if (!graph)
        return kAudioEventNone;
    audio::GraphEvent event;
    if (FAILED(graph->GetEvent(&event, 0)))
        return kAudioEventNone;
    return event.code;
}

bool PlayAudioFile(const DS_AudioFile& file)
{
    audio::FilterGraph* graph = AudioGraph();
    if (!graph)
        return false;
    graph->Stop();
    const std::u16string name = GetFileNameAfterBackslash(file.m_data.Name());
    const std::span<const std::uint8_t> bytes = file.m_data.Bytes();
    if (IsRefusedFileName(name) || bytes.empty())
        return false;
    std::shared_ptr<audio::SourceFilter> source;
    if (FAILED(graph->AddSourceFilter(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), crt::ToUtf8(name), &source)))
        return false;
    // Rendering replaces the track before, whose decoder goes with it.
    if (FAILED(graph->Render(source)))
        return false;
    std::int64_t start = 0;
    graph->SetPositions(&start, audio::kSeekAbsolute, nullptr, audio::kSeekNoPositioning);
    return SUCCEEDED(graph->Run());
}

void SetAudioGraphVolume(long volume)
{
    if (audio::FilterGraph* graph = AudioGraph())
        graph->SetVolume(static_cast<LONG>(volume));
}

void StopAudioGraph()
{
    if (audio::FilterGraph* graph = AudioGraph())
        graph->Stop();
}

void ReleaseAudioGraph()
{
    AudioGraphState& state = State();
    if (state.graph) {
        state.graph->Stop();
        state.graph->SetNotifyCallback({});
    }
    state.graph.reset();
    state.mixer.reset();
}

audio::FilterGraph* AudioGraph()
{
    return State().graph.get();
}

std::u16string GetFileNameAfterBackslash(std::u16string_view path)
{
    const std::size_t separator = path.find_last_of(u"\\/");
    std::u16string_view name = separator == std::u16string_view::npos ? path : path.substr(separator + 1);
    if (IsRefusedFileName(name))
        return {};
    return std::u16string(name);
}

// The audio thread's work per device period: mixing playing buffers, with
// and without resampling, and a track decoded while it plays.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/audio/FilterGraph.h"
#include "platform/audio/SoundBuffer.h"

namespace {

using namespace audio;

constexpr std::uint32_t kOutputRate = 48000;
constexpr std::uint32_t kPeriodFrames = 1024;

void PutU32(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(std::uint8_t(v >> (8 * i)));
}

// 16-bit samples of a sine, the same on every channel.
std::vector<std::uint8_t> SinePcm(std::size_t frames, int channels)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::uint16_t>(std::int16_t(10000 * std::sin(0.05 * double(i))));
        for (int c = 0; c < channels; ++c) {
            bytes.push_back(std::uint8_t(v));
            bytes.push_back(std::uint8_t(v >> 8));
        }
    }
    return bytes;
}

std::vector<std::uint8_t> Wav(const WaveFormat& f, const std::vector<std::uint8_t>& pcm)
{
    std::vector<std::uint8_t> b = {'R', 'I', 'F', 'F'};
    PutU32(b, std::uint32_t(36 + pcm.size()));
    for (char c : std::string("WAVEfmt "))
        b.push_back(std::uint8_t(c));
    PutU32(b, 16);
    PutU32(b, f.formatTag | (std::uint32_t(f.channels) << 16));
    PutU32(b, f.samplesPerSec);
    PutU32(b, f.avgBytesPerSec);
    PutU32(b, f.blockAlign | (std::uint32_t(f.bitsPerSample) << 16));
    for (char c : std::string("data"))
        b.push_back(std::uint8_t(c));
    PutU32(b, std::uint32_t(pcm.size()));
    b.insert(b.end(), pcm.begin(), pcm.end());
    return b;
}

std::shared_ptr<SoundBuffer> LoopingBuffer(SoundDevice& device, std::uint32_t rate)
{
    const auto pcm = SinePcm(rate, 2);
    std::shared_ptr<SoundBuffer> buffer;
    device.CreateSoundBuffer({kBufferCtrlVolume | kBufferCtrlPan, DWORD(pcm.size()), MakeWaveFormat(2, rate, 16)},
                             &buffer);
    void* at = nullptr;
    DWORD size = 0;
    buffer->Lock(0, 0, &at, &size, nullptr, nullptr, kLockEntireBuffer);
    std::memcpy(at, pcm.data(), size);
    buffer->Unlock(at, size, nullptr, 0);
    buffer->SetVolume(-600);
    buffer->SetPan(300);
    buffer->Play(kPlayLooping);
    return buffer;
}

// Arguments: number of playing buffers, their sample rate.
void BM_MixBuffers(benchmark::State& state)
{
    auto mixer = std::make_shared<Mixer>(kOutputRate);
    std::shared_ptr<SoundDevice> device;
    SoundDevice::Create(mixer, &device);
    std::vector<std::shared_ptr<SoundBuffer>> buffers;
    for (int i = 0; i < state.range(0); ++i)
        buffers.push_back(LoopingBuffer(*device, std::uint32_t(state.range(1))));
    std::vector<float> out(2 * kPeriodFrames);
    for (auto _ : state) {
        mixer->Mix(out.data(), kPeriodFrames);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kPeriodFrames * state.range(0));
}
BENCHMARK(BM_MixBuffers)->Args({1, 48000})->Args({16, 48000})->Args({16, 22050});

// A 44.1 kHz stereo track decoded and resampled while it plays, restarted
// whenever it completes.
void BM_MixGraph(benchmark::State& state)
{
    auto mixer = std::make_shared<Mixer>(kOutputRate);
    std::shared_ptr<FilterGraph> graph;
    FilterGraph::Create(mixer, &graph);
    graph->RenderBytes(Wav(MakeWaveFormat(2, 44100, 16), SinePcm(44100 * 10, 2)));
    graph->Run();
    std::vector<float> out(2 * kPeriodFrames);
    std::int64_t start = 0;
    for (auto _ : state) {
        mixer->Mix(out.data(), kPeriodFrames);
        benchmark::DoNotOptimize(out.data());
        if (mixer->PollEvents() > 0)
            graph->SetPositions(&start, kSeekAbsolute, nullptr, kSeekNoPositioning);
    }
    state.SetItemsProcessed(state.iterations() * kPeriodFrames);
}
BENCHMARK(BM_MixGraph);

} // namespace

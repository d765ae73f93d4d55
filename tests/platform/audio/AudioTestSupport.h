#pragma once
// Fixtures for the sound-layer tests: RIFF images built chunk by chunk,
// test signals, audio files encoded with libsndfile into memory, and
// measurements of mixed output.

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "platform/audio/WaveFormat.h"

namespace audio::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& b, std::uint32_t v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
inline void PutU32(Bytes& b, std::uint32_t v)
{
    PutU16(b, v & 0xFFFF);
    PutU16(b, v >> 16);
}
inline void PutId(Bytes& b, const char* id)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(std::uint8_t(id[i]));
}

// One chunk: its id, the size its header states, and the body bytes there.
struct Chunk {
    std::string id;
    std::uint32_t statedSize;
    Bytes body;
};
inline Chunk MakeChunk(const std::string& id, Bytes body)
{
    return {id, std::uint32_t(body.size()), std::move(body)};
}

// The fmt body of `format`: 16 bytes, 18 with the extra-size word.
inline Bytes FormatBody(const WaveFormat& f, bool withExtraSize)
{
    Bytes b;
    PutU16(b, f.formatTag);
    PutU16(b, f.channels);
    PutU32(b, f.samplesPerSec);
    PutU32(b, f.avgBytesPerSec);
    PutU16(b, f.blockAlign);
    PutU16(b, f.bitsPerSample);
    if (withExtraSize)
        PutU16(b, 0);
    return b;
}

// "RIFF", size, "WAVE", then each chunk with a pad byte after odd bodies.
inline Bytes RiffImage(const std::vector<Chunk>& chunks)
{
    Bytes b;
    PutId(b, "RIFF");
    PutU32(b, 0);
    PutId(b, "WAVE");
    for (const Chunk& c : chunks) {
        PutId(b, c.id.c_str());
        PutU32(b, c.statedSize);
        b.insert(b.end(), c.body.begin(), c.body.end());
        if (c.body.size() % 2)
            b.push_back(0);
    }
    const auto riffSize = std::uint32_t(b.size() - 8);
    std::memcpy(b.data() + 4, &riffSize, 4);
    return b;
}

inline Bytes Pcm16(const std::vector<std::int16_t>& samples)
{
    Bytes b;
    for (std::int16_t s : samples)
        PutU16(b, std::uint16_t(s));
    return b;
}

// A sine of `hz` at `amplitude` (0..1), `frames` long, as 16-bit samples on
// every channel.
inline std::vector<std::int16_t> Sine16(double hz, double rate, std::size_t frames, int channels, double amplitude)
{
    std::vector<std::int16_t> out;
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = amplitude * std::sin(2 * std::numbers::pi * hz * double(i) / rate);
        for (int c = 0; c < channels; ++c)
            out.push_back(std::int16_t(std::lround(v * 32767)));
    }
    return out;
}

inline std::vector<float> SineFloat(double hz, double rate, std::size_t frames, int channels, double amplitude)
{
    std::vector<float> out;
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            out.push_back(float(amplitude * std::sin(2 * std::numbers::pi * hz * double(i) / rate)));
    return out;
}

// libsndfile writing into a growing byte vector.
struct MemorySink {
    Bytes bytes;
    sf_count_t position = 0;

    static sf_count_t Length(void* u) { return sf_count_t(static_cast<MemorySink*>(u)->bytes.size()); }
    static sf_count_t Seek(sf_count_t offset, int whence, void* u)
    {
        auto* s = static_cast<MemorySink*>(u);
        const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? s->position : sf_count_t(s->bytes.size());
        s->position = base + offset;
        return s->position;
    }
    static sf_count_t Read(void* out, sf_count_t count, void* u)
    {
        auto* s = static_cast<MemorySink*>(u);
        const sf_count_t n = std::max<sf_count_t>(0, std::min<sf_count_t>(count, sf_count_t(s->bytes.size()) - s->position));
        std::memcpy(out, s->bytes.data() + s->position, size_t(n));
        s->position += n;
        return n;
    }
    static sf_count_t Write(const void* in, sf_count_t count, void* u)
    {
        auto* s = static_cast<MemorySink*>(u);
        if (s->bytes.size() < size_t(s->position + count))
            s->bytes.resize(size_t(s->position + count));
        std::memcpy(s->bytes.data() + s->position, in, size_t(count));
        s->position += count;
        return count;
    }
    static sf_count_t Tell(void* u) { return static_cast<MemorySink*>(u)->position; }
};

// Encodes interleaved float frames as `format` (SF_FORMAT_...); empty when
// libsndfile cannot write that format here, with the reason in `error`.
inline Bytes Encode(const std::vector<float>& interleaved, int channels, int rate, int format, std::string* error)
{
    SF_VIRTUAL_IO io{MemorySink::Length, MemorySink::Seek, MemorySink::Read, MemorySink::Write, MemorySink::Tell};
    MemorySink sink;
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &sink);
    if (!file) {
        *error = sf_strerror(nullptr);
        return {};
    }
    sf_writef_float(file, interleaved.data(), sf_count_t(interleaved.size() / size_t(channels)));
    sf_close(file);
    return sink.bytes;
}

inline constexpr int kMp3Format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
inline constexpr int kWav16Format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

// Root mean square of one channel (0 left, 1 right) of stereo frames [first, last).
inline double Rms(const std::vector<float>& stereo, int channel, std::size_t first, std::size_t last)
{
    double sum = 0;
    for (std::size_t i = first; i < last; ++i)
        sum += double(stereo[2 * i + channel]) * stereo[2 * i + channel];
    return last > first ? std::sqrt(sum / double(last - first)) : 0.0;
}

// What SDL's disk driver wrote: interleaved stereo float frames, and the
// first and last frame whose left channel is not silent (first > last when
// every frame is).
struct DiskOutput {
    std::vector<float> stereo;
    std::size_t first = 0, last = 0;
};

inline DiskOutput ReadDiskOutput(const std::filesystem::path& file)
{
    DiskOutput output;
    std::ifstream in(file, std::ios::binary);
    float frame[2];
    while (in.read(reinterpret_cast<char*>(frame), sizeof frame))
        output.stereo.insert(output.stereo.end(), frame, frame + 2);
    output.first = output.stereo.size();
    for (std::size_t i = 0; i < output.stereo.size() / 2; ++i) {
        if (output.stereo[2 * i] != 0.0f) {
            output.first = std::min(output.first, i);
            output.last = i;
        }
    }
    return output;
}

inline float Peak(const std::vector<float>& stereo, std::size_t first, std::size_t last)
{
    float peak = 0;
    for (std::size_t i = 2 * first; i < 2 * last; ++i)
        peak = std::max(peak, std::fabs(stereo[i]));
    return peak;
}

// Rising zero crossings of one channel, for a frequency estimate.
inline int RisingCrossings(const std::vector<float>& stereo, int channel, std::size_t first, std::size_t last)
{
    int n = 0;
    for (std::size_t i = first + 1; i < last; ++i)
        if (stereo[2 * (i - 1) + channel] < 0 && stereo[2 * i + channel] >= 0)
            ++n;
    return n;
}

// A directory of its own under the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvanta-audio-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace audio::test

#include "platform/audio/RiffWave.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace audio {
namespace {

constexpr std::uint64_t kRiffHeaderBytes = 12; // "RIFF", size, "WAVE"
constexpr std::uint64_t kChunkHeaderBytes = 8; // id, size
constexpr std::uint64_t kBasicFormatBytes = 16;
constexpr std::uint64_t kExtensibleFormatBytes = 40;

// The sub-format GUIDs of extensible records share these last 12 bytes; the
// first four hold the plain format tag.
constexpr std::array<std::uint8_t, 12> kSubFormatSuffix{0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                                         0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
bool IsId(const std::uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

struct Chunk {
    std::uint64_t offset = 0; // of the body
    std::uint64_t size = 0;
};

bool Fail(std::string* error, const std::string& message)
{
    if (error)
        *error = "WAV data refused: " + message;
    return false;
}

// Reads the format record of the "fmt " chunk; resolves extensible records.
bool ReadFormat(const std::uint8_t* body, std::uint64_t size, WaveFormat* out, std::string* error)
{
    if (size < kBasicFormatBytes)
        return Fail(error, "the \"fmt \" chunk is shorter than 16 bytes");
    WaveFormat format;
    format.formatTag = U16(body);
    format.channels = U16(body + 2);
    format.samplesPerSec = U32(body + 4);
    format.avgBytesPerSec = U32(body + 8);
    format.blockAlign = U16(body + 12);
    format.bitsPerSample = U16(body + 14);
    if (format.formatTag == kWaveFormatExtensible && size >= kExtensibleFormatBytes &&
        std::memcmp(body + 28, kSubFormatSuffix.data(), kSubFormatSuffix.size()) == 0 && U16(body + 26) == 0) {
        // The sub-format's first word is the plain tag; the valid-bits and
        // channel-mask words are not needed to play the samples.
        format.formatTag = U16(body + 24);
    }
    format.cbSize = 0; // no extra format information is kept
    if (format.channels == 0)
        return Fail(error, "the format has no channels");
    if (format.samplesPerSec == 0)
        return Fail(error, "the sample rate is zero");
    if (format.avgBytesPerSec == 0)
        return Fail(error, "the byte rate is zero");
    if (format.blockAlign == 0)
        return Fail(error, "the block align is zero");
    *out = format;
    return true;
}

} // namespace

std::optional<WaveImage> ParseRiffWave(std::span<const std::uint8_t> image, std::string* error)
{
    const std::uint8_t* bytes = image.data();
    const std::uint64_t end = image.size();
    if (end < kRiffHeaderBytes) {
        Fail(error, "too short for a RIFF header");
        return std::nullopt;
    }
    if (!IsId(bytes, "RIFF") || !IsId(bytes + 8, "WAVE")) {
        Fail(error, "not a RIFF/WAVE image");
        return std::nullopt;
    }
    const std::uint64_t formEnd = std::min<std::uint64_t>(end, 8 + std::uint64_t(U32(bytes + 4)));

    std::optional<Chunk> fmt, data;
    std::uint64_t at = kRiffHeaderBytes;
    // Stops as soon as both chunks are found, so that damaged metadata after
    // them does not matter.
    while (at + kChunkHeaderBytes <= formEnd && !(fmt && data)) {
        const std::uint8_t* header = bytes + at;
        const Chunk chunk{at + kChunkHeaderBytes, U32(header + 4)};
        const bool used = IsId(header, "fmt ") || IsId(header, "data");
        if (used && chunk.offset + chunk.size > end) {
            Fail(error, std::string("the \"") + std::string(reinterpret_cast<const char*>(header), 4) +
                            "\" chunk runs past the end of the data");
            return std::nullopt;
        }
        if (IsId(header, "fmt ") && !fmt)
            fmt = chunk;
        else if (IsId(header, "data") && !data)
            data = chunk;
        at = chunk.offset + chunk.size + (chunk.size & 1);
    }
    if (!fmt) {
        Fail(error, "no \"fmt \" chunk");
        return std::nullopt;
    }
    if (!data) {
        Fail(error, "no \"data\" chunk");
        return std::nullopt;
    }

    WaveImage wave;
    if (!ReadFormat(bytes + fmt->offset, fmt->size, &wave.format, error))
        return std::nullopt;
    wave.data = image.subspan(static_cast<std::size_t>(data->offset), static_cast<std::size_t>(data->size));
    return wave;
}

} // namespace audio

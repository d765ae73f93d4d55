#include "platform/audio/WaveFormat.h"

#include <array>
#include <cmath>
#include <cstring>

namespace audio {
namespace {

float ReadUnsigned8(const std::uint8_t* p) { return (static_cast<float>(p[0]) - 128.0f) * (1.0f / 128.0f); }

float ReadSigned16(const std::uint8_t* p)
{
    const auto v = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
    return static_cast<float>(v) * (1.0f / 32768.0f);
}

float ReadSigned24(const std::uint8_t* p)
{
    // Placed in the top 24 bits of a 32-bit word so that the sign comes along.
    const std::uint32_t bits = (std::uint32_t(p[0]) << 8) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 24);
    return static_cast<float>(static_cast<std::int32_t>(bits)) * (1.0f / 2147483648.0f);
}

float ReadSigned32(const std::uint8_t* p)
{
    const std::uint32_t bits =
        std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
    return static_cast<float>(static_cast<std::int32_t>(bits)) * (1.0f / 2147483648.0f);
}

float Finite(double v) { return std::isfinite(v) ? static_cast<float>(v) : 0.0f; }

float ReadFloat32(const std::uint8_t* p)
{
    float v;
    std::memcpy(&v, p, sizeof v);
    return Finite(v);
}

float ReadFloat64(const std::uint8_t* p)
{
    double v;
    std::memcpy(&v, p, sizeof v);
    return Finite(v);
}

struct SampleKind {
    WORD tag;
    WORD bits;
    SampleReader reader;
};

constexpr std::array kSampleKinds{
    SampleKind{kWaveFormatPcm, 8, ReadUnsigned8},       SampleKind{kWaveFormatPcm, 16, ReadSigned16},
    SampleKind{kWaveFormatPcm, 24, ReadSigned24},       SampleKind{kWaveFormatPcm, 32, ReadSigned32},
    SampleKind{kWaveFormatIeeeFloat, 32, ReadFloat32}, SampleKind{kWaveFormatIeeeFloat, 64, ReadFloat64},
};

SampleReader FindReader(WORD tag, WORD bits)
{
    for (const SampleKind& kind : kSampleKinds)
        if (kind.tag == tag && kind.bits == bits)
            return kind.reader;
    return nullptr;
}

} // namespace

WaveFormat MakeWaveFormat(WORD channels, DWORD samplesPerSec, WORD bitsPerSample, bool isFloat)
{
    WaveFormat format;
    format.formatTag = isFloat ? kWaveFormatIeeeFloat : kWaveFormatPcm;
    format.channels = channels;
    format.samplesPerSec = samplesPerSec;
    format.bitsPerSample = bitsPerSample;
    format.blockAlign = static_cast<WORD>(channels * (bitsPerSample / 8));
    format.avgBytesPerSec = samplesPerSec * format.blockAlign;
    return format;
}

bool IsPlayableFormat(const WaveFormat& format, std::string* why)
{
    auto refuse = [why](const char* reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (format.formatTag != kWaveFormatPcm && format.formatTag != kWaveFormatIeeeFloat)
        return refuse("the sample format is neither integer PCM nor IEEE float");
    if (!FindReader(format.formatTag, format.bitsPerSample))
        return refuse("unsupported bits per sample");
    if (format.channels == 0 || format.channels > kMaxChannels)
        return refuse("the channel count is not 1 to 8");
    if (format.samplesPerSec < kMinSampleRate || format.samplesPerSec > kMaxSampleRate)
        return refuse("the sample rate is not 100 to 200000 frames per second");
    if (format.blockAlign != format.channels * (format.bitsPerSample / 8))
        return refuse("the block align does not match channels and bits per sample");
    return true;
}

SampleReader SampleReaderFor(const WaveFormat& format)
{
    return IsPlayableFormat(format, nullptr) ? FindReader(format.formatTag, format.bitsPerSample) : nullptr;
}

} // namespace audio

#pragma once
// The format of PCM sample data (the WAVEFORMATEX record of RIFF/WAVE files
// and sound buffers) and the reading of its samples as floats.
//
// Sound buffers play integer PCM of 8 (unsigned), 16, 24 or 32 bits and IEEE
// float of 32 or 64 bits, with 1 to 8 interleaved channels.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/crt/WinTypes.h"

namespace audio {

inline constexpr WORD kWaveFormatPcm = 0x0001;
inline constexpr WORD kWaveFormatIeeeFloat = 0x0003;
inline constexpr WORD kWaveFormatExtensible = 0xFFFE;

inline constexpr WORD kMaxChannels = 8;
// The sample rates a buffer accepts, in frames per second.
inline constexpr DWORD kMinSampleRate = 100;
inline constexpr DWORD kMaxSampleRate = 200000;

struct WaveFormat {
    WORD formatTag = kWaveFormatPcm;
    WORD channels = 0;
    DWORD samplesPerSec = 0;
    DWORD avgBytesPerSec = 0;
    WORD blockAlign = 0;   // bytes per frame (all channels)
    WORD bitsPerSample = 0;
    WORD cbSize = 0;       // bytes of extra format information (none is kept)

    friend bool operator==(const WaveFormat&, const WaveFormat&) = default;
};

// Integer PCM (or float when `isFloat`) with consistent block align and byte
// rate, as a file writer would fill the record.
WaveFormat MakeWaveFormat(WORD channels, DWORD samplesPerSec, WORD bitsPerSample, bool isFloat = false);

// Whether a sound buffer can play data of this format; `why` tells what is
// wrong when not.
bool IsPlayableFormat(const WaveFormat& format, std::string* why);

// Converts one sample at `bytes` to a float in [-1, 1] (non-finite float
// samples read as 0).
using SampleReader = float (*)(const std::uint8_t* bytes);

// The reader for a playable format; null for any other.
SampleReader SampleReaderFor(const WaveFormat& format);

} // namespace audio

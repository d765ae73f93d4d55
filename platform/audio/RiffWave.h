#pragma once
// Reading a RIFF/WAVE image held in memory: its format record and where its
// sample data lies.
//
// The image is untrusted. Every size is checked in 64-bit arithmetic against
// the bytes actually there; chunks of odd size are followed by a pad byte.
// The "fmt " chunk must hold at least the 16 bytes of the basic record (an
// 18-byte record adds the extra-size word; an extensible record names its
// sample format by a sub-format GUID, which is resolved here to integer PCM
// or float). Refused, with a message: no RIFF/WAVE header, a missing "fmt "
// or "data" chunk, a chunk that runs past the end, no channels, a zero
// sample rate, byte rate or block align. A RIFF size that claims more than
// the image holds is tolerated (writers that stream leave it unset); the
// chunks that are used must still lie inside the image.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/audio/WaveFormat.h"

namespace audio {

struct WaveImage {
    WaveFormat format;
    std::span<const std::uint8_t> data; // the "data" chunk's bytes, inside the parsed image
};

std::optional<WaveImage> ParseRiffWave(std::span<const std::uint8_t> image, std::string* error);

} // namespace audio

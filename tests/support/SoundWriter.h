#pragma once
// Writes the stored records of sound objects byte for byte as the player
// reads them (DS_WAV_Constructor, DS_MP3_Constructor and their
// DS_Sound_Ctrl level, every stored version), and builds the WAV images
// they carry.

#include <cstdint>
#include <string>
#include <vector>

#include "objectmodel/ResourceBlob.h"
#include "tests/support/DescriptionWriter.h"
#include "tests/support/DocumentWriter.h"

namespace sound_writer {

// The DS_Sound_Ctrl level.
struct SoundFields {
    std::int32_t version = 3;
    std::uint32_t volume = 100;
    std::uint32_t pan = 50;
    // Versions before 3: the old timing (kind, two values in whole seconds).
    std::int32_t legacyKind = 0;
    std::uint32_t legacyFirst = 0;
    std::uint32_t legacySecond = 0;
    description_writer::ConstructorFields base;
};

struct WavFields {
    std::int32_t version = 1;
    description_writer::StoredLink link;
    SoundFields sound;
};

struct Mp3Fields {
    std::int32_t version = 1;
    ResourceBlob data;
    SoundFields sound;
};

DocumentWriter& WriteSoundLevel(DocumentWriter& w, const SoundFields& fields);
DocumentWriter& WriteWav(DocumentWriter& w, const WavFields& fields);
DocumentWriter& WriteMp3(DocumentWriter& w, const Mp3Fields& fields);

// A RIFF/WAVE image of 16-bit PCM: the interleaved samples of `channels`
// channels at `sampleRate` frames per second.
std::vector<std::uint8_t> Pcm16WaveImage(const std::vector<std::int16_t>& samples, std::uint16_t channels,
                                         std::uint32_t sampleRate);

} // namespace sound_writer

#include "tests/support/SoundWriter.h"

namespace sound_writer {
namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    PutU16(out, std::uint16_t(value));
    PutU16(out, std::uint16_t(value >> 16));
}

void PutId(std::vector<std::uint8_t>& out, const char (&id)[5])
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(id[i]));
}

} // namespace

DocumentWriter& WriteSoundLevel(DocumentWriter& w, const SoundFields& fields)
{
    w.Section(u"DS_Sound_Ctrl", fields.version).Dword(fields.volume).Dword(fields.pan);
    if (fields.version < 3)
        w.Int(fields.legacyKind).Dword(fields.legacyFirst).Dword(fields.legacySecond);
    return description_writer::WriteConstructor(w, fields.base);
}

DocumentWriter& WriteWav(DocumentWriter& w, const WavFields& fields)
{
    w.Section(u"DS_WAV_Constructor", fields.version);
    description_writer::WriteLink(w, fields.link);
    return WriteSoundLevel(w, fields.sound);
}

DocumentWriter& WriteMp3(DocumentWriter& w, const Mp3Fields& fields)
{
    w.Section(u"DS_MP3_Constructor", fields.version).Blob(fields.data);
    return WriteSoundLevel(w, fields.sound);
}

std::vector<std::uint8_t> Pcm16WaveImage(const std::vector<std::int16_t>& samples, std::uint16_t channels,
                                         std::uint32_t sampleRate)
{
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    const auto blockAlign = static_cast<std::uint16_t>(channels * 2);
    std::vector<std::uint8_t> out;
    PutId(out, "RIFF");
    PutU32(out, 4 + 8 + 16 + 8 + dataBytes);
    PutId(out, "WAVE");
    PutId(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1); // integer PCM
    PutU16(out, channels);
    PutU32(out, sampleRate);
    PutU32(out, sampleRate * blockAlign);
    PutU16(out, blockAlign);
    PutU16(out, 16);
    PutId(out, "data");
    PutU32(out, dataBytes);
    for (const std::int16_t sample : samples)
        PutU16(out, static_cast<std::uint16_t>(sample));
    return out;
}

} // namespace sound_writer

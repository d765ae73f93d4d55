#pragma once
// The readers of untrusted bytes, one entry per fuzz target. Each entry
// reads one input the way the program reads such bytes and says whether it
// was read or refused; a refusal is the expected outcome of most inputs,
// anything else (a crash, a sanitizer report, an escaping exception, a huge
// allocation) is a finding. The fuzzers (FuzzMain.cpp) and the tests call
// the same entries.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace fuzz {

struct Outcome {
    bool read = false;
    std::string refusal; // why, when not read
};

using Entry = Outcome (*)(std::span<const std::uint8_t> bytes);

struct Target {
    std::string_view name; // also the fuzzer's name: fuzz_<name>
    Entry entry;
};

// Every stored class the player reads, registered once per process.
void InstallReaders();

// A scene document, opened as the embedded document and, when small, as a
// file; read when every way it was opened read it.
Outcome ReadDocument(std::span<const std::uint8_t> bytes);
// A picture through the texture loader; a GIF also as its frames.
Outcome ReadPicture(std::span<const std::uint8_t> bytes);
Outcome ReadDdsFile(std::span<const std::uint8_t> bytes);
Outcome ReadMeshFile(std::span<const std::uint8_t> bytes);
Outcome ReadResourcePack(std::span<const std::uint8_t> bytes);
Outcome ReadEffect(std::span<const std::uint8_t> bytes);
// A RIFF/WAVE header, then the bytes decoded as audio (WAV, MP3, ...).
Outcome ReadSound(std::span<const std::uint8_t> bytes);

std::span<const Target> Targets();

} // namespace fuzz

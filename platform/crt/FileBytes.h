#pragma once
// Reads a whole file into memory, refusing files larger than a caller's
// limit before allocating: file sizes are untrusted input.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace crt {

// The file's bytes, or nothing with `error` set when it cannot be read or is
// larger than `maxBytes`.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                                       std::string& error);

} // namespace crt

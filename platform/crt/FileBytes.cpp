#include "platform/crt/FileBytes.h"

#include <fstream>
#include <system_error>

namespace crt {

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                                       std::string& error)
{
    std::error_code sizeError;
    const auto size = std::filesystem::file_size(path, sizeError);
    if (sizeError || size > maxBytes) {
        error = sizeError ? "cannot read " + path.string() : path.string() + " is too large";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        error = "cannot read " + path.string();
        return std::nullopt;
    }
    return bytes;
}

} // namespace crt

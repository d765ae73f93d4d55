// respack OUTPUT FOLDER...
//
// Packs every file of the folders into one resource module. A file is named
// <type>-<id>-<what-it-is>.<ext>: the type is a name ("DDS") or a standard
// type ("RCDATA", "10"), the id a number 1..65535, e.g. DDS-5-slide-backdrop.png
// or RCDATA-202-gaussian-blur.fx. Any other file name, or two files for the
// same type and id, stops the build with a message. The module is written
// under a temporary name and renamed, so a failed run leaves no half file.

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/ResourcePack.h"

namespace fs = std::filesystem;

namespace {

struct ResourceName {
    win::ResourceType type;
    std::uint16_t id;
};

std::optional<ResourceName> ParseFileName(const std::string& name) {
    const auto firstDash = name.find('-');
    if (firstDash == std::string::npos) return std::nullopt;
    const auto secondDash = name.find('-', firstDash + 1);
    if (secondDash == std::string::npos || secondDash + 1 >= name.size()) return std::nullopt;
    auto type = win::ResourceType::Parse(name.substr(0, firstDash));
    const std::string idText = name.substr(firstDash + 1, secondDash - firstDash - 1);
    unsigned id = 0;
    const auto [end, error] = std::from_chars(idText.data(), idText.data() + idText.size(), id);
    if (!type || error != std::errc() || end != idText.data() + idText.size() || id == 0 || id > 0xFFFF)
        return std::nullopt;
    return ResourceName{*type, static_cast<std::uint16_t>(id)};
}

std::optional<std::vector<std::uint8_t>> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool WriteFileAtomically(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    const fs::path temporary = path.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
            return false;
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    return !error;
}

// Adds every regular file of the folder; false after printing the first problem.
bool AddFolder(win::ResourcePackWriter& writer, const fs::path& folder) {
    std::error_code error;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file()) files.push_back(entry.path());
    if (error) {
        std::cerr << "respack: cannot read folder " << folder << ": " << error.message() << "\n";
        return false;
    }
    for (const fs::path& file : files) {
        const auto name = ParseFileName(file.filename().string());
        if (!name) {
            std::cerr << "respack: " << file << " is not named <type>-<id>-<what>.<ext>\n";
            return false;
        }
        auto bytes = ReadFile(file);
        if (!bytes) {
            std::cerr << "respack: cannot read " << file << "\n";
            return false;
        }
        if (!writer.Add(name->type, name->id, std::move(*bytes))) {
            std::cerr << "respack: " << file << ": " << name->type.ToString() << " " << name->id
                      << " is already packed, or the module grows too large\n";
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: respack OUTPUT FOLDER...\n";
        return 2;
    }
    win::ResourcePackWriter writer;
    for (int i = 2; i < argc; ++i)
        if (!AddFolder(writer, argv[i])) return 1;
    if (!WriteFileAtomically(argv[1], writer.Build())) {
        std::cerr << "respack: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}

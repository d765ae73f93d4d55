#include "platform/win/KeyFileStore.h"

#include <charconv>
#include <cstdlib>

#include "platform/win/KeyFile.h"

namespace win {

namespace {

std::optional<std::uint32_t> ParseDword(std::string_view text)
{
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty())
        return std::nullopt;
    return value;
}

} // namespace

std::filesystem::path UserConfigDir()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && std::filesystem::path(config).is_absolute())
        return config;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/") / ".config";
}

std::filesystem::path KeyFileStore::DefaultFile()
{
    return UserConfigDir() / "orvanta" / "settings.ini";
}

std::optional<std::uint32_t> KeyFileStore::QueryDword(std::string_view keyPath, std::string_view name)
{
    KeyFile file;
    if (file.Load(file_) != KeyFile::LoadResult::Loaded)
        return std::nullopt;
    const auto text = file.GetRawValue(keyPath, name);
    return text ? ParseDword(*text) : std::nullopt;
}

bool KeyFileStore::SetDword(std::string_view keyPath, std::string_view name, std::uint32_t value)
{
    KeyFile file;
    // What another process wrote is kept; a damaged file is moved aside,
    // never replaced.
    if (file.Load(file_) == KeyFile::LoadResult::Damaged && !KeepAsBackup(file_))
        return false;
    file.SetRawValue(keyPath, name, std::to_string(value));
    return file.Save(file_);
}

} // namespace win

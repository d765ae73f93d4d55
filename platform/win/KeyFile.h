#pragma once
// Owning handle of a GLib key file, for the platform pieces that keep data
// in key files (settings, autostart entries). Only platform/ sees GLib.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace win {

class KeyFile {
public:
    enum class LoadResult { Loaded, Missing, Damaged };

    KeyFile();
    ~KeyFile();
    KeyFile(KeyFile&&) noexcept;
    KeyFile& operator=(KeyFile&&) noexcept;

    // Replaces the content with the file's. Missing: no file (content empty);
    // Damaged: unreadable, not a key file or larger than kMaxFileSize
    // (content empty).
    LoadResult Load(const std::filesystem::path& file);
    // Writes the whole content atomically (a temporary file renamed over the
    // old one), creating the folder when missing.
    bool Save(const std::filesystem::path& file) const;

    std::optional<std::string> GetString(std::string_view group, std::string_view key) const;
    std::optional<std::string> GetRawValue(std::string_view group, std::string_view key) const;
    void SetString(std::string_view group, std::string_view key, std::string_view value);
    void SetRawValue(std::string_view group, std::string_view key, std::string_view value);

    static constexpr std::uintmax_t kMaxFileSize = 1u << 20;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Renames a file that must not be overwritten to "<file>.damaged", or
// "<file>.damaged.N" for the first N that is free. False when it could not.
bool KeepAsBackup(const std::filesystem::path& file);

} // namespace win

#pragma once
// Settings kept in a GKeyFile: one group per key path, one entry per value
// name, the value as a decimal number. Every write re-reads the file (so
// values written by another process are kept), sets the value and replaces
// the file atomically.
//
// A file that cannot be parsed is never overwritten: before the first write
// it is renamed to "<file>.damaged" (or "<file>.damaged.N" when that exists),
// and the new file starts empty. Reads of a damaged file give nothing, so
// the callers keep their defaults.

#include <filesystem>

#include "platform/win/SettingsStore.h"

namespace win {

class KeyFileStore final : public SettingsStore {
public:
    explicit KeyFileStore(std::filesystem::path file) : file_(std::move(file)) {}

    // $XDG_CONFIG_HOME/orvanta/settings.ini, ~/.config when the variable is
    // unset or not an absolute path.
    static std::filesystem::path DefaultFile();

    std::optional<std::uint32_t> QueryDword(std::string_view keyPath, std::string_view name) override;
    bool SetDword(std::string_view keyPath, std::string_view name, std::uint32_t value) override;

    const std::filesystem::path& File() const { return file_; }

private:
    std::filesystem::path file_;
};

// The user's configuration folder: $XDG_CONFIG_HOME when absolute, else
// $HOME/.config. Read at every call, so tests can point it elsewhere.
std::filesystem::path UserConfigDir();

} // namespace win

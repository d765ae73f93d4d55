#pragma once
// The user's settings as named 32-bit values under a key path, in place of
// the registry of the current user. Two implementations: the GKeyFile file
// of the user (KeyFileStore.h) and an in-memory store for tests.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace win {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The value, or nothing when it is missing or unreadable.
    virtual std::optional<std::uint32_t> QueryDword(std::string_view keyPath, std::string_view name) = 0;
    // Writes the value at once; false when it could not be stored.
    virtual bool SetDword(std::string_view keyPath, std::string_view name, std::uint32_t value) = 0;
};

class MemorySettingsStore final : public SettingsStore {
public:
    std::optional<std::uint32_t> QueryDword(std::string_view keyPath, std::string_view name) override;
    bool SetDword(std::string_view keyPath, std::string_view name, std::uint32_t value) override;

    // Makes every write fail, as an unwritable store does.
    void SetWritable(bool writable) { writable_ = writable; }
    int Reads() const { return reads_; }

private:
    std::map<std::pair<std::string, std::string>, std::uint32_t> values_;
    bool writable_ = true;
    int reads_ = 0;
};

} // namespace win

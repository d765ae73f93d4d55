#include "platform/win/SettingsStore.h"

namespace win {

std::optional<std::uint32_t> MemorySettingsStore::QueryDword(std::string_view keyPath, std::string_view name)
{
    ++reads_;
    const auto found = values_.find({std::string(keyPath), std::string(name)});
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

bool MemorySettingsStore::SetDword(std::string_view keyPath, std::string_view name, std::uint32_t value)
{
    if (!writable_)
        return false;
    values_[{std::string(keyPath), std::string(name)}] = value;
    return true;
}

} // namespace win

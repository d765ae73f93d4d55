#include "platform/win/ProgramResources.h"

#include <map>
#include <utility>

namespace win {
namespace {

using Table = std::map<std::pair<ResourceType, std::uint16_t>, ResourceBytes>;

// Function-local so that registrations from any translation unit find it
// constructed, whatever the order of static initialisation.
Table& ProgramTable() {
    static Table table;
    return table;
}

}  // namespace

ProgramResourceRegistration::ProgramResourceRegistration(const ResourceType& type, std::uint16_t id,
                                                         const std::uint8_t* bytes, std::size_t size) {
    ProgramTable().try_emplace(std::make_pair(type, id), ResourceBytes(bytes, size));
}

std::optional<ResourceBytes> FindProgramResource(const ResourceType& type, std::uint16_t id) {
    const Table& table = ProgramTable();
    const auto found = table.find(std::make_pair(type, id));
    if (found == table.end()) return std::nullopt;
    return found->second;
}

std::vector<std::pair<ResourceType, std::uint16_t>> ProgramResourceKeys() {
    std::vector<std::pair<ResourceType, std::uint16_t>> keys;
    for (const auto& entry : ProgramTable()) keys.push_back(entry.first);
    return keys;
}

}  // namespace win

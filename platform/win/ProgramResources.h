#pragma once
// The program's own resources: bytes compiled into the executable from
// resources/ (the embedded scene document is "DDS" 107). Each embedded file
// registers itself before main runs, through a ProgramResourceRegistration
// that resources/EmbedResource.cmake generates; the table is only read after.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/win/ResourcePack.h"
#include "platform/win/ResourceType.h"

namespace win {

std::optional<ResourceBytes> FindProgramResource(const ResourceType& type, std::uint16_t id);

// Every (type, id) the program carries, in order.
std::vector<std::pair<ResourceType, std::uint16_t>> ProgramResourceKeys();

// Enters static bytes in the table; a second registration of the same
// (type, id) is ignored (the build refuses duplicates before that).
struct ProgramResourceRegistration {
    ProgramResourceRegistration(const ResourceType& type, std::uint16_t id, const std::uint8_t* bytes,
                                std::size_t size);
};

}  // namespace win

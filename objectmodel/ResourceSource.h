#pragma once
// Where the object model finds resources by type and id: in the program's
// own resources (the embedded document) and in resource modules (files
// named like "common_res.dll", read only as data).
//
// The object model does not know how resources are stored. The layer that
// owns them (platform/win, installed by the program or a test at start-up)
// installs two finder functions here. Until then every lookup fails.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/crt/WideString.h"

// A resource type: a name (L"DDS") or, when the name is empty, a number
// (10 is RT_RCDATA).
struct ResourceType {
    std::u16string_view name;
    std::uint16_t number = 0;
};

inline constexpr ResourceType kResourceTypeDDS{u"DDS", 0};
inline constexpr ResourceType kResourceTypeRcData{u"", 10};

// The bytes of resource `id` of `type` in the program itself; they live as
// long as the program. Empty optional when there is no such resource.
using ProgramResourceFinder = std::optional<std::span<const std::uint8_t>> (*)(const ResourceType& type,
                                                                               std::uint16_t id);

// A copy of the bytes of resource `id` of `type` in the module named
// `moduleFile`. Empty optional when the module or the resource is missing.
using ModuleResourceFinder = std::optional<std::vector<std::uint8_t>> (*)(std::u16string_view moduleFile,
                                                                          const ResourceType& type,
                                                                          std::uint16_t id);

void InstallProgramResourceFinder(ProgramResourceFinder finder);
void InstallModuleResourceFinder(ModuleResourceFinder finder);

std::optional<std::span<const std::uint8_t>> FindProgramResource(const ResourceType& type, std::uint16_t id);
std::optional<std::vector<std::uint8_t>> FindModuleResource(std::u16string_view moduleFile, const ResourceType& type,
                                                            std::uint16_t id);

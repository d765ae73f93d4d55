#include "objectmodel/ResourceSource.h"

namespace {

// Installed once at start-up, before any document is read; read-only after.
ProgramResourceFinder g_programFinder = nullptr;
ModuleResourceFinder g_moduleFinder = nullptr;

} // namespace

void InstallProgramResourceFinder(ProgramResourceFinder finder)
{
    g_programFinder = finder;
}

void InstallModuleResourceFinder(ModuleResourceFinder finder)
{
    g_moduleFinder = finder;
}

std::optional<std::span<const std::uint8_t>> FindProgramResource(const ResourceType& type, std::uint16_t id)
{
    if (!g_programFinder)
        return std::nullopt;
    return g_programFinder(type, id);
}

std::optional<std::vector<std::uint8_t>> FindModuleResource(std::u16string_view moduleFile, const ResourceType& type,
                                                            std::uint16_t id)
{
    if (!g_moduleFinder)
        return std::nullopt;
    return g_moduleFinder(moduleFile, type, id);
}

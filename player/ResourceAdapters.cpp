#include "player/ResourceAdapters.h"

#include <string>

#include "objectmodel/ResourceSource.h"
#include "platform/crt/WideString.h"
#include "platform/win/ProgramResources.h"
#include "platform/win/ResourceModule.h"

namespace player {

namespace {

win::ResourceType ToWinType(const ResourceType& type)
{
    if (type.name.empty())
        return win::ResourceType(type.number);
    return win::ResourceType(crt::ToUtf8(kxi_string(type.name)));
}

std::optional<std::span<const std::uint8_t>> FindInProgram(const ResourceType& type, std::uint16_t id)
{
    return win::FindProgramResource(ToWinType(type), id);
}

std::optional<std::vector<std::uint8_t>> FindInModule(std::u16string_view moduleFile, const ResourceType& type,
                                                      std::uint16_t id)
{
    const win::ResourceModule* module = win::LoadResourceModule(crt::ToUtf8(kxi_string(moduleFile)));
    if (!module)
        return std::nullopt;
    const auto bytes = module->Find(ToWinType(type), id);
    if (!bytes)
        return std::nullopt;
    return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

} // namespace

void InstallResourceFinders()
{
    InstallProgramResourceFinder(&FindInProgram);
    InstallModuleResourceFinder(&FindInModule);
}

} // namespace player

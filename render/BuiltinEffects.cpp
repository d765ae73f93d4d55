#include "render/BuiltinEffects.h"

#include <algorithm>

std::span<const std::uint8_t> FindBuiltinEffectSource(std::string_view name)
{
    const auto sources = BuiltinEffectSources();
    const auto found = std::find_if(sources.begin(), sources.end(),
                                    [name](const BuiltinEffectSource& source) { return source.name == name; });
    return found == sources.end() ? std::span<const std::uint8_t>{} : found->bytes;
}

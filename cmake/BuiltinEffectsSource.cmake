# Writes the source that compiles the built-in effects into the render
# library (run by orvanta_embed_builtin_effects at build time):
# OUTPUT, and EFFECTS, the effect files separated by "|". Files ending in
# ".fxh" are preludes that effects include; the others are effects.
string(REPLACE "|" ";" effects "${EFFECTS}")
list(SORT effects)
set(arrays "")
set(entries "")
set(include_entries "")
set(index 0)
foreach(effect IN LISTS effects)
  get_filename_component(name "${effect}" NAME_WE)
  file(READ "${effect}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "constexpr std::uint8_t kEffect${index}[${size} + 1] = {${bytes}0};\n")
  get_filename_component(extension "${effect}" LAST_EXT)
  if(extension STREQUAL ".fxh")
    string(APPEND include_entries "    {\"${name}\", {reinterpret_cast<const char*>(kEffect${index}), ${size}}},\n")
  else()
    string(APPEND entries "    {\"${name}\", {kEffect${index}, ${size}}},\n")
  endif()
  math(EXPR index "${index} + 1")
endforeach()
set(content "// Generated from resources/effects by orvanta_embed_builtin_effects.
#include \"render/BuiltinEffects.h\"

namespace {
${arrays}
constexpr BuiltinEffectSource kBuiltinEffects[] = {
${entries}};
const gfx::EffectInclude kBuiltinIncludes[] = {
${include_entries}    {\"\", {}},
};
}  // namespace

std::span<const BuiltinEffectSource> BuiltinEffectSources()
{
    return kBuiltinEffects;
}

std::span<const gfx::EffectInclude> BuiltinEffectIncludes()
{
    // The last entry only keeps the array non-empty.
    return std::span(kBuiltinIncludes).first(std::size(kBuiltinIncludes) - 1);
}
")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL content)
  file(WRITE "${OUTPUT}" "${content}")
endif()

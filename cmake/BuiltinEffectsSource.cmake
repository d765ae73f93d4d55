# Writes the source that compiles the built-in effects into the render
# library (run by orvanta_embed_builtin_effects at build time):
# OUTPUT, and EFFECTS, the effect files separated by "|".
string(REPLACE "|" ";" effects "${EFFECTS}")
list(SORT effects)
set(arrays "")
set(entries "")
set(index 0)
foreach(effect IN LISTS effects)
  get_filename_component(name "${effect}" NAME_WE)
  file(READ "${effect}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "constexpr std::uint8_t kEffect${index}[${size} + 1] = {${bytes}0};\n")
  string(APPEND entries "    {\"${name}\", {kEffect${index}, ${size}}},\n")
  math(EXPR index "${index} + 1")
endforeach()
set(content "// Generated from resources/effects by orvanta_embed_builtin_effects.
#include \"render/BuiltinEffects.h\"

namespace {
${arrays}
constexpr BuiltinEffectSource kBuiltinEffects[] = {
${entries}};
}  // namespace

std::span<const BuiltinEffectSource> BuiltinEffectSources()
{
    return kBuiltinEffects;
}
")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL content)
  file(WRITE "${OUTPUT}" "${content}")
endif()

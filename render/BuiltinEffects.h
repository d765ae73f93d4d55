#pragma once
// The program's built-in effects: every effect file of resources/effects,
// compiled into the render library under its file name without extension
// ("particle-tree", "gaussian-blur", ...). A class whose effect link gives
// nothing it can run falls back to its own built-in effect by that name
// (EffectResolution.h); the shared module packs the same files under its
// resource ids.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/gfx/EffectFile.h"

struct BuiltinEffectSource {
    std::string_view name;
    std::span<const std::uint8_t> bytes;
};

// Every built-in effect, ordered by name (generated at build time).
std::span<const BuiltinEffectSource> BuiltinEffectSources();

// The preludes effects may include ("include image-effect"): the files of
// resources/effects ending in .fxh, under their names without extension.
// Every effect the program makes, wherever its bytes come from, may include
// them: the program carries them, no module or document does.
std::span<const gfx::EffectInclude> BuiltinEffectIncludes();

// The bytes of built-in effect `name`; empty when there is none.
std::span<const std::uint8_t> FindBuiltinEffectSource(std::string_view name);

#pragma once
// Resolving an effect link, and the fallback to a class's built-in effect.
//
// A link can give an effect of ours, or bytes this platform cannot run (the
// HLSL of another platform that a document stored, or an effect file of ours
// that does not build), or nothing at all: an empty link, or a module
// resource or file that does not exist. Classes treat these cases apart:
//   - the particle block takes its built-in effect for anything but a usable
//     link (its default link is empty);
//   - generators and sprite-effect controllers take their built-in effect
//     only for bytes they cannot run; an empty or missing link leaves them
//     without an effect, and they draw nothing.
// ResolveEffectLink tells the cases apart; ResolveEffectWithFallback applies
// one of the two rules.

#include <string_view>

#include "platform/gfx/Effect.h"
#include "platform/gfx/Ref.h"
#include "render/FileLink.h"

class DS_DocResManager;

enum class EffectLinkOrigin {
    Linked,      // an effect of ours from the link
    Unrunnable,  // the link has bytes, but no effect this platform can run
    EmptyLink,   // the link names nothing (empty path, id 0)
    Missing,     // the link names a module resource or file that gives no bytes
};

struct ResolvedEffect {
    gfx::Ref<gfx::Effect> effect;  // null unless origin is Linked
    EffectLinkOrigin origin = EffectLinkOrigin::Missing;
};

enum class BuiltinEffectRule {
    ForAnyUnusableLink,     // empty, missing or unrunnable links take the built-in effect
    ForUnrunnableBytesOnly, // only unrunnable bytes do; empty and missing links give none
};

// What `link` gives through `manager` (which caches the effect), and how.
ResolvedEffect ResolveEffectLink(DS_DocResManager& manager, const DS_FileLink3& link);

// The effect a class draws with: the link's own, else, as `rule` says, the
// built-in effect `builtinName` (BuiltinEffects.h), else null.
ResolvedEffect ResolveEffectWithFallback(DS_DocResManager& manager, const DS_FileLink3& link,
                                         std::string_view builtinName, BuiltinEffectRule rule);

// True when the built-in effect replaces what ResolveEffectLink gave.
bool UsesBuiltinEffect(EffectLinkOrigin origin, BuiltinEffectRule rule);

#pragma once
// Small helpers the fixed-function light variants share to set device
// states: enumerators as state values, float states as their bits, and
// texture-stage settings.

#include <bit>
#include <cstdint>

#include "platform/gfx/Device.h"

namespace light_states {

constexpr std::uint32_t Value(auto enumerator)
{
    return static_cast<std::uint32_t>(enumerator);
}

// A float state (the bump-environment matrix) as the bits the device keeps.
inline std::uint32_t FloatBits(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}

inline void Stage(gfx::Device& device, std::uint32_t stage, gfx::TextureStageState state, std::uint32_t value)
{
    device.SetTextureStageState(stage, state, value);
}

inline void StageOps(gfx::Device& device, std::uint32_t stage, gfx::TextureOp colour, gfx::TextureOp alpha)
{
    Stage(device, stage, gfx::TextureStageState::ColorOp, Value(colour));
    Stage(device, stage, gfx::TextureStageState::AlphaOp, Value(alpha));
}

} // namespace light_states

#pragma once
// The device's persistent state in Direct3D 9's model: render states,
// texture-stage states, sampler states, transforms, lights, the material and
// the user clip planes. Every value starts at Direct3D 9's documented default
// and keeps what was last set until it is set again or the device is reset.
// Setting a state this device does not know, or a value it cannot draw with,
// is refused with kInvalidCall and leaves the state as it was.

#include <array>
#include <cstdint>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Lighting.h"
#include "platform/gfx/States.h"
#include "platform/math/Matrix.h"

namespace gfx {

inline constexpr std::uint32_t kRenderStateSlots = 256;
inline constexpr std::uint32_t kStageStateSlots = 33;
inline constexpr std::uint32_t kSamplerStateSlots = 14;

struct ClipPlane {
    float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;
};

class DeviceState {
public:
    // `hasDepthBuffer`: whether the device was made with a depth buffer, which
    // decides the default of ZEnable.
    explicit DeviceState(bool hasDepthBuffer);

    HRESULT SetRenderState(RenderState state, std::uint32_t value);
    std::uint32_t GetRenderState(RenderState state) const;

    HRESULT SetTextureStageState(std::uint32_t stage, TextureStageState state, std::uint32_t value);
    std::uint32_t GetTextureStageState(std::uint32_t stage, TextureStageState state) const;
    float BumpEnvMatrix(std::uint32_t stage, std::uint32_t index) const; // index 0..3: 00, 01, 10, 11

    HRESULT SetSamplerState(std::uint32_t sampler, SamplerState state, std::uint32_t value);
    std::uint32_t GetSamplerState(std::uint32_t sampler, SamplerState state) const;

    HRESULT SetTransform(TransformState state, const math::Matrix& matrix);
    HRESULT GetTransform(TransformState state, math::Matrix* out) const;
    const math::Matrix& Transform(TransformState state) const;

    HRESULT SetLight(std::uint32_t index, const Light& light);
    HRESULT GetLight(std::uint32_t index, Light* out) const;
    HRESULT LightEnable(std::uint32_t index, bool enable);
    bool IsLightEnabled(std::uint32_t index) const;

    void SetMaterial(const Material& material);
    const Material& GetMaterial() const { return material_; }

    HRESULT SetClipPlane(std::uint32_t index, const float plane[4]);
    HRESULT GetClipPlane(std::uint32_t index, float plane[4]) const;
    const ClipPlane& Plane(std::uint32_t index) const { return clipPlanes_[index]; }

    // Grows by one with every change; the device compares it to decide what
    // to send to GL again. `Version` covers everything that can change the
    // generated program or GL's fixed state, `ConstantsVersion` everything
    // that only feeds program constants (transforms, lights, planes...).
    std::uint64_t Version() const { return version_; }
    std::uint64_t ConstantsVersion() const { return constantsVersion_; }

private:
    std::array<std::uint32_t, kRenderStateSlots> renderStates_{};
    std::array<std::array<std::uint32_t, kStageStateSlots>, kMaxTextureStages> stageStates_{};
    std::array<std::array<std::uint32_t, kSamplerStateSlots>, kMaxSamplers> samplerStates_{};
    std::array<math::Matrix, 5> transforms_{}; // world, view, projection, texture 0, texture 1
    std::array<Light, kMaxLights> lights_{};
    std::array<bool, kMaxLights> lightSet_{};
    std::array<bool, kMaxLights> lightEnabled_{};
    Material material_;
    std::array<ClipPlane, kMaxClipPlanes> clipPlanes_{};
    std::uint64_t version_ = 1;
    std::uint64_t constantsVersion_ = 1;
};

} // namespace gfx

#pragma once
// An effect: techniques of passes, each pass a custom program with its render
// states, driven the way D3DX effects are: by technique and parameter names.
//
//   effect->SetTechnique("GaussianBlurH");
//   effect->SetFloat("TexW", 512);
//   effect->SetTexture("Texture", texture);
//   effect->Begin(&passes, 0);
//   for (pass = 0; pass < passes; ++pass) {
//       effect->BeginPass(pass);  ... draw ...  effect->EndPass();
//   }
//   effect->End();
//
// Parameter values belong to the effect and reach whichever pass runs; a
// change made inside a pass reaches the program at CommitChanges. The current
// world, view and projection reach the programs through the device, so
// callers never pass matrices for them. Setting a parameter or technique the
// effect does not have changes nothing and returns kInvalidCall, which the
// callers ignore as they do with D3DX. Begin saves the render states,
// sampler states and textures the technique changes and End restores them
// (unless Begin is given kEffectDoNotSaveState) and returns the device to the
// fixed-function pipeline.
//
// Effects are made from the bytes of our effect file (EffectFile.h); bytes in
// any other format (the HLSL a document may store) make no effect.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/crt/WinTypes.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/EffectFile.h"
#include "platform/gfx/Ref.h"
#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

namespace gfx {

inline constexpr std::uint32_t kEffectDoNotSaveState = 1;

class Effect final : public RefCounted {
public:
    // The effect of `bytes`, or kInvalidCall and null when they are not our
    // effect format or a program does not compile (the reason in `errors`).
    // `includes` are the preludes the file may include.
    static HRESULT Create(Device& device, std::span<const std::uint8_t> bytes, Effect** out, std::string* errors,
                          std::span<const EffectInclude> includes = {});

    HRESULT SetTechnique(std::string_view name);
    const std::string& CurrentTechnique() const { return description_.techniques[technique_].name; }
    bool HasParameter(std::string_view name) const { return description_.FindParameter(name) != nullptr; }

    HRESULT SetFloat(std::string_view name, float value) { return SetFloatArray(name, &value, 1); }
    // Up to as many floats as the parameter holds.
    HRESULT SetFloatArray(std::string_view name, const float* values, std::uint32_t count);
    // A vector parameter takes as many of the four as it has.
    HRESULT SetVector(std::string_view name, const math::Vec4& value);
    HRESULT SetMatrix(std::string_view name, const math::Matrix& value);
    // A parameter declared "= bound" takes no texture (kInvalidCall).
    HRESULT SetTexture(std::string_view name, Texture* texture);

    // Read-back of the values set (for tests and tools): the floats of a
    // value parameter (empty for a texture or an unknown name), the texture
    // of a texture parameter (null when none is set or the name is unknown).
    std::vector<float> GetFloats(std::string_view name) const;
    Texture* GetTexture(std::string_view name) const;

    HRESULT Begin(std::uint32_t* passes, std::uint32_t flags);
    HRESULT BeginPass(std::uint32_t pass);
    HRESULT CommitChanges();
    HRESULT EndPass();
    HRESULT End();

    // The programs live in GL, which keeps them through a lost device.
    HRESULT OnLostDevice() { return kOk; }
    HRESULT OnResetDevice() { return kOk; }

private:
    struct Value {
        const EffectParameter* parameter;
        std::vector<float> floats;
        Ref<Texture> texture;
        std::uint32_t slot = 0;  // texture slot of a texture parameter
        bool dirty = true;
    };
    struct SavedState {
        std::vector<std::pair<RenderState, std::uint32_t>> render;
        std::vector<std::tuple<std::uint32_t, SamplerState, std::uint32_t>> sampler;
        std::vector<std::pair<std::uint32_t, Ref<Texture>>> textures;
    };

    explicit Effect(EffectDescription description);
    ~Effect() override = default;

    Value* Find(std::string_view name);
    const Value* Find(std::string_view name) const;
    // What a texture parameter binds: its texture, else its default.
    Texture* BoundTexture(const Value& value) const;
    // A parameter that samples what the caller bound to its slot.
    static bool SamplesCallersTexture(const Value& value) {
        return value.parameter->textureDefault == EffectTextureDefault::Bound;
    }
    ShaderProgram& PassProgram(std::uint32_t pass) { return *programs_[technique_][pass]; }
    void Upload(ShaderProgram& program, bool all);
    void SaveState();
    void RestoreState();
    // The device, or null once it is gone (the effect may outlive it).
    Device* LiveDevice() const { return programs_[0][0]->GetDevice(); }

    EffectDescription description_;
    // Sampled by texture parameters whose default is opaque white while they
    // hold no texture; made only when one has that default.
    Ref<Texture> opaqueWhite_;
    std::vector<std::vector<Ref<ShaderProgram>>> programs_;  // [technique][pass]
    std::vector<Value> values_;
    std::size_t technique_ = 0;
    bool begun_ = false;
    bool saving_ = false;
    std::int32_t activePass_ = -1;
    SavedState saved_;
};

}  // namespace gfx

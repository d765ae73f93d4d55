#include "platform/gfx/Effect.h"

#include <utility>

#include <algorithm>
#include <cstring>

namespace gfx {

Effect::Effect(EffectDescription description) : description_(std::move(description)) {
    std::uint32_t nextSlot = 0;
    for (const EffectParameter& parameter : description_.parameters) {
        Value value{&parameter, parameter.defaults, {}, 0, true};
        if (parameter.type == EffectParameterType::Texture) value.slot = nextSlot++;
        values_.push_back(std::move(value));
    }
}

namespace {

bool HasWhiteDefault(const EffectDescription& description) {
    return std::any_of(description.parameters.begin(), description.parameters.end(), [](const EffectParameter& p) {
        return p.type == EffectParameterType::Texture && p.textureDefault == EffectTextureDefault::OpaqueWhite;
    });
}

Ref<Texture> MakeOpaqueWhite(Device& device) {
    Texture* raw = nullptr;
    if (FAILED(device.CreateTexture(1, 1, 1, 0, Format::A8R8G8B8, Pool::Managed, &raw)) || !raw) return nullptr;
    auto texture = Ref<Texture>::Adopt(raw);
    LockedRect locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) return nullptr;
    const std::uint32_t white = 0xFFFFFFFFu;
    std::memcpy(locked.bits, &white, sizeof white);
    texture->UnlockRect(0);
    return texture;
}

}  // namespace

HRESULT Effect::Create(Device& device, std::span<const std::uint8_t> bytes, Effect** out, std::string* errors,
                       std::span<const EffectInclude> includes) {
    std::string error;
    if (out) *out = nullptr;
    auto description = ParseEffectFile(bytes, error, includes);
    const auto textures = description ? std::count_if(description->parameters.begin(), description->parameters.end(),
                                                      [](const EffectParameter& p) { return p.type == EffectParameterType::Texture; })
                                      : 0;
    if (description && textures > static_cast<long>(kMaxSamplers)) error = "effect has more textures than the device has slots";
    if (!description || !out || !error.empty()) {
        if (errors) *errors = error;
        return kInvalidCall;
    }
    auto effect = Ref<Effect>::Adopt(new Effect(std::move(*description)));
    if (HasWhiteDefault(effect->description_)) {
        effect->opaqueWhite_ = MakeOpaqueWhite(device);
        if (!effect->opaqueWhite_) {
            if (errors) *errors = "no texture for a white texture default";
            return kInvalidCall;
        }
    }
    for (const EffectTechnique& technique : effect->description_.techniques) {
        auto& programs = effect->programs_.emplace_back();
        for (const EffectPass& pass : technique.passes) {
            ShaderProgram* program = nullptr;
            const HRESULT hr = device.CreateShaderProgram(effect->description_.VertexSource(pass),
                                                          effect->description_.FragmentSource(pass), &program, &error);
            if (FAILED(hr)) {
                if (errors) *errors = "technique " + technique.name + ": " + error;
                return hr;
            }
            programs.push_back(Ref<ShaderProgram>::Adopt(program));
        }
    }
    *out = effect.Detach();
    return kOk;
}

Effect::Value* Effect::Find(std::string_view name) {
    return const_cast<Value*>(std::as_const(*this).Find(name));
}

const Effect::Value* Effect::Find(std::string_view name) const {
    for (const Value& value : values_)
        if (value.parameter->name == name) return &value;
    return nullptr;
}

Texture* Effect::BoundTexture(const Value& value) const {
    if (value.texture) return value.texture.Get();
    if (value.parameter->textureDefault == EffectTextureDefault::OpaqueWhite) return opaqueWhite_.Get();
    return nullptr;
}

std::vector<float> Effect::GetFloats(std::string_view name) const {
    const Value* value = Find(name);
    return value ? value->floats : std::vector<float>{};
}

Texture* Effect::GetTexture(std::string_view name) const {
    const Value* value = Find(name);
    return value ? value->texture.Get() : nullptr;
}

HRESULT Effect::SetTechnique(std::string_view name) {
    for (std::size_t i = 0; i < description_.techniques.size(); ++i) {
        if (description_.techniques[i].name != name) continue;
        technique_ = i;
        return kOk;
    }
    return kInvalidCall;
}

HRESULT Effect::SetFloatArray(std::string_view name, const float* values, std::uint32_t count) {
    Value* value = Find(name);
    if (!value || !values || value->floats.empty()) return kInvalidCall;
    const std::uint32_t n = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(value->floats.size()));
    std::copy(values, values + n, value->floats.begin());
    value->dirty = true;
    return kOk;
}

HRESULT Effect::SetVector(std::string_view name, const math::Vec4& vector) {
    const float floats[4] = {vector.x, vector.y, vector.z, vector.w};
    return SetFloatArray(name, floats, 4);
}

HRESULT Effect::SetMatrix(std::string_view name, const math::Matrix& matrix) {
    Value* value = Find(name);
    if (!value || value->parameter->type != EffectParameterType::Mat4) return kInvalidCall;
    std::memcpy(value->floats.data(), &matrix.m[0][0], sizeof matrix.m);
    value->dirty = true;
    return kOk;
}

HRESULT Effect::SetTexture(std::string_view name, Texture* texture) {
    Value* value = Find(name);
    if (!value || value->parameter->type != EffectParameterType::Texture || SamplesCallersTexture(*value))
        return kInvalidCall;
    value->texture = Ref<Texture>(texture);
    value->dirty = true;
    return kOk;
}

// Sends the parameters (all, or those changed since) to the program and binds
// the textures to their slots.
void Effect::Upload(ShaderProgram& program, bool all) {
    Device* device = LiveDevice();
    for (Value& value : values_) {
        if (!all && !value.dirty) continue;
        const EffectParameter& parameter = *value.parameter;
        switch (parameter.type) {
        case EffectParameterType::Texture:
            program.SetSampler(parameter.name, value.slot);
            if (device && !SamplesCallersTexture(value)) device->SetTexture(value.slot, BoundTexture(value));
            break;
        case EffectParameterType::Mat4: {
            math::Matrix matrix;
            std::memcpy(&matrix.m[0][0], value.floats.data(), sizeof matrix.m);
            program.SetMatrix(parameter.name, matrix);
            break;
        }
        default:
            program.SetFloats(parameter.name, value.floats.data(), static_cast<std::uint32_t>(value.floats.size()));
            break;
        }
        value.dirty = false;
    }
}

void Effect::SaveState() {
    Device* device = LiveDevice();
    saved_ = {};
    if (!device) return;
    for (const EffectPass& pass : description_.techniques[technique_].passes)
        for (const auto& [state, unused] : pass.states) {
            std::uint32_t current = 0;
            if (SUCCEEDED(device->GetRenderState(state, &current))) saved_.render.emplace_back(state, current);
        }
    for (const Value& value : values_) {
        if (value.parameter->type != EffectParameterType::Texture) continue;
        for (const auto& [state, unused] : value.parameter->samplerStates) {
            std::uint32_t current = 0;
            if (SUCCEEDED(device->GetSamplerState(value.slot, state, &current))) saved_.sampler.emplace_back(value.slot, state, current);
        }
        if (SamplesCallersTexture(value)) continue;
        Texture* current = nullptr;
        device->GetTexture(value.slot, &current);
        saved_.textures.emplace_back(value.slot, Ref<Texture>::Adopt(current));
    }
}

void Effect::RestoreState() {
    Device* device = LiveDevice();
    if (!device) return;
    // Restored in reverse, so a state set twice ends at its first value.
    for (auto it = saved_.render.rbegin(); it != saved_.render.rend(); ++it) device->SetRenderState(it->first, it->second);
    for (auto it = saved_.sampler.rbegin(); it != saved_.sampler.rend(); ++it)
        device->SetSamplerState(std::get<0>(*it), std::get<1>(*it), std::get<2>(*it));
    for (const auto& [slot, texture] : saved_.textures) device->SetTexture(slot, texture.Get());
    saved_ = {};
}

HRESULT Effect::Begin(std::uint32_t* passes, std::uint32_t flags) {
    if (begun_ || !LiveDevice()) return kInvalidCall;
    begun_ = true;
    saving_ = (flags & kEffectDoNotSaveState) == 0;
    if (saving_) SaveState();
    if (passes) *passes = static_cast<std::uint32_t>(description_.techniques[technique_].passes.size());
    return kOk;
}

HRESULT Effect::BeginPass(std::uint32_t pass) {
    Device* device = LiveDevice();
    if (!begun_ || activePass_ >= 0 || !device || pass >= programs_[technique_].size()) return kInvalidCall;
    activePass_ = static_cast<std::int32_t>(pass);
    for (const auto& [state, value] : description_.techniques[technique_].passes[pass].states) device->SetRenderState(state, value);
    for (const Value& value : values_)
        for (const auto& [state, setting] : value.parameter->samplerStates) device->SetSamplerState(value.slot, state, setting);
    ShaderProgram& program = PassProgram(pass);
    Upload(program, true);
    return device->SetShaderProgram(&program);
}

HRESULT Effect::CommitChanges() {
    if (activePass_ < 0) return kInvalidCall;
    Upload(PassProgram(static_cast<std::uint32_t>(activePass_)), false);
    return kOk;
}

HRESULT Effect::EndPass() {
    if (activePass_ < 0) return kInvalidCall;
    activePass_ = -1;
    return kOk;
}

HRESULT Effect::End() {
    if (!begun_) return kInvalidCall;
    begun_ = false;
    activePass_ = -1;
    if (Device* device = LiveDevice()) device->SetShaderProgram(nullptr);
    if (saving_) RestoreState();
    return kOk;
}

}  // namespace gfx

#include "platform/gfx/DeviceState.h"

#include <bit>

#include "platform/gfx/Result.h"

namespace gfx {
namespace {

using Accepts = bool (*)(std::uint32_t);

bool AnyValue(std::uint32_t) { return true; }
bool BlendValue(std::uint32_t v) { return v >= std::uint32_t(Blend::Zero) && v <= std::uint32_t(Blend::SrcAlphaSat); }
bool BlendOpValue(std::uint32_t v) { return v >= std::uint32_t(BlendOp::Add) && v <= std::uint32_t(BlendOp::Max); }
bool CmpValue(std::uint32_t v) { return v >= std::uint32_t(Cmp::Never) && v <= std::uint32_t(Cmp::Always); }
bool CullValue(std::uint32_t v) { return v >= std::uint32_t(Cull::None) && v <= std::uint32_t(Cull::CounterClockwise); }
bool FillValue(std::uint32_t v) { return v >= std::uint32_t(FillMode::Point) && v <= std::uint32_t(FillMode::Solid); }
bool ZBufferValue(std::uint32_t v) { return v <= std::uint32_t(ZBuffer::True); }
bool ByteValue(std::uint32_t v) { return v <= 255; }
bool MaterialSourceValue(std::uint32_t v) { return v <= std::uint32_t(MaterialColorSource::Color2); }
bool ColorMaskValue(std::uint32_t v) { return v <= ColorWrite::All; }
bool ClipMaskValue(std::uint32_t v) { return v < (1u << kMaxClipPlanes); }

struct RenderStateRule {
    RenderState state;
    std::uint32_t defaultValue;
    Accepts accepts;
};

constexpr std::uint32_t FloatBits(float f) { return std::bit_cast<std::uint32_t>(f); }

// Every render state the device knows, with its documented default. States
// without a visible effect here (shading, dithering, fog, stencil...) are
// kept so that callers can set and read them back.
constexpr RenderStateRule kRenderStateRules[] = {
    {RenderState::ZEnable, 0, ZBufferValue}, // default set from the depth buffer
    {RenderState::FillMode, std::uint32_t(FillMode::Solid), FillValue},
    {RenderState::ShadeMode, 2, AnyValue},
    {RenderState::ZWriteEnable, kTrue, AnyValue},
    {RenderState::AlphaTestEnable, kFalse, AnyValue},
    {RenderState::LastPixel, kTrue, AnyValue},
    {RenderState::SrcBlend, std::uint32_t(Blend::One), BlendValue},
    {RenderState::DestBlend, std::uint32_t(Blend::Zero), BlendValue},
    {RenderState::CullMode, std::uint32_t(Cull::CounterClockwise), CullValue},
    {RenderState::ZFunc, std::uint32_t(Cmp::LessEqual), CmpValue},
    {RenderState::AlphaRef, 0, ByteValue},
    {RenderState::AlphaFunc, std::uint32_t(Cmp::Always), CmpValue},
    {RenderState::DitherEnable, kFalse, AnyValue},
    {RenderState::AlphaBlendEnable, kFalse, AnyValue},
    {RenderState::FogEnable, kFalse, AnyValue},
    {RenderState::SpecularEnable, kFalse, AnyValue},
    {RenderState::FogColor, 0, AnyValue},
    {RenderState::FogTableMode, 0, AnyValue},
    {RenderState::FogStart, FloatBits(0.0f), AnyValue},
    {RenderState::FogEnd, FloatBits(1.0f), AnyValue},
    {RenderState::FogDensity, FloatBits(1.0f), AnyValue},
    {RenderState::RangeFogEnable, kFalse, AnyValue},
    {RenderState::StencilEnable, kFalse, AnyValue},
    {RenderState::StencilFail, 1, AnyValue},
    {RenderState::StencilZFail, 1, AnyValue},
    {RenderState::StencilPass, 1, AnyValue},
    {RenderState::StencilFunc, std::uint32_t(Cmp::Always), AnyValue},
    {RenderState::StencilRef, 0, AnyValue},
    {RenderState::StencilMask, 0xFFFFFFFFu, AnyValue},
    {RenderState::StencilWriteMask, 0xFFFFFFFFu, AnyValue},
    {RenderState::TextureFactor, 0xFFFFFFFFu, AnyValue},
    {RenderState::Clipping, kTrue, AnyValue},
    {RenderState::Lighting, kTrue, AnyValue},
    {RenderState::Ambient, 0, AnyValue},
    {RenderState::FogVertexMode, 0, AnyValue},
    {RenderState::ColorVertex, kTrue, AnyValue},
    {RenderState::LocalViewer, kTrue, AnyValue},
    {RenderState::NormalizeNormals, kFalse, AnyValue},
    {RenderState::DiffuseMaterialSource, std::uint32_t(MaterialColorSource::Color1), MaterialSourceValue},
    {RenderState::SpecularMaterialSource, std::uint32_t(MaterialColorSource::Color2), MaterialSourceValue},
    {RenderState::AmbientMaterialSource, std::uint32_t(MaterialColorSource::Material), MaterialSourceValue},
    {RenderState::EmissiveMaterialSource, std::uint32_t(MaterialColorSource::Material), MaterialSourceValue},
    {RenderState::VertexBlend, 0, AnyValue},
    {RenderState::ClipPlaneEnable, 0, ClipMaskValue},
    {RenderState::PointSize, FloatBits(1.0f), AnyValue},
    {RenderState::MultisampleAntialias, kTrue, AnyValue},
    {RenderState::ColorWriteEnable, ColorWrite::All, ColorMaskValue},
    {RenderState::BlendOp, std::uint32_t(BlendOp::Add), BlendOpValue},
    {RenderState::ScissorTestEnable, kFalse, AnyValue},
    {RenderState::SeparateAlphaBlendEnable, kFalse, AnyValue},
    {RenderState::SrcBlendAlpha, std::uint32_t(Blend::One), BlendValue},
    {RenderState::DestBlendAlpha, std::uint32_t(Blend::Zero), BlendValue},
    {RenderState::BlendOpAlpha, std::uint32_t(BlendOp::Add), BlendOpValue},
};

const RenderStateRule* FindRule(RenderState state)
{
    for (const RenderStateRule& rule : kRenderStateRules)
        if (rule.state == state)
            return &rule;
    return nullptr;
}

bool ColorOpValue(std::uint32_t v)
{
    switch (TextureOp(v)) {
    case TextureOp::Disable:
    case TextureOp::SelectArg1:
    case TextureOp::SelectArg2:
    case TextureOp::Modulate:
    case TextureOp::BumpEnvMap:
        return true;
    }
    return false;
}
bool AlphaOpValue(std::uint32_t v) { return v != std::uint32_t(TextureOp::BumpEnvMap) && ColorOpValue(v); }
bool ArgValue(std::uint32_t v)
{
    const std::uint32_t modifiers = TextureArg::Complement | TextureArg::AlphaReplicate;
    return (v & ~(TextureArg::SelectMask | modifiers)) == 0 && (v & TextureArg::SelectMask) <= TextureArg::Specular;
}
bool TexCoordIndexValue(std::uint32_t v)
{
    return (v & TexCoordIndex::SetMask) < 8 && (v & ~TexCoordIndex::SetMask) <= TexCoordIndex::CameraSpaceReflectionVector;
}
bool TransformFlagsValue(std::uint32_t v)
{
    return (v & ~(TextureTransform::Projected | 0xFFu)) == 0 && (v & 0xFFu) <= TextureTransform::Count4;
}
bool CurrentOnly(std::uint32_t v) { return v == TextureArg::Current; }

struct StageStateRule {
    TextureStageState state;
    Accepts accepts;
};

constexpr StageStateRule kStageStateRules[] = {
    {TextureStageState::ColorOp, ColorOpValue},
    {TextureStageState::ColorArg1, ArgValue},
    {TextureStageState::ColorArg2, ArgValue},
    {TextureStageState::AlphaOp, AlphaOpValue},
    {TextureStageState::AlphaArg1, ArgValue},
    {TextureStageState::AlphaArg2, ArgValue},
    {TextureStageState::BumpEnvMat00, AnyValue},
    {TextureStageState::BumpEnvMat01, AnyValue},
    {TextureStageState::BumpEnvMat10, AnyValue},
    {TextureStageState::BumpEnvMat11, AnyValue},
    {TextureStageState::TexCoordIndex, TexCoordIndexValue},
    {TextureStageState::BumpEnvLScale, AnyValue},
    {TextureStageState::BumpEnvLOffset, AnyValue},
    {TextureStageState::TextureTransformFlags, TransformFlagsValue},
    {TextureStageState::ColorArg0, ArgValue},
    {TextureStageState::AlphaArg0, ArgValue},
    {TextureStageState::ResultArg, CurrentOnly},
    {TextureStageState::Constant, AnyValue},
};

Accepts FindStageRule(TextureStageState state)
{
    for (const StageStateRule& rule : kStageStateRules)
        if (rule.state == state)
            return rule.accepts;
    return nullptr;
}

bool AddressValue(std::uint32_t v) { return v >= std::uint32_t(TextureAddress::Wrap) && v <= std::uint32_t(TextureAddress::Border); }
bool FilterValue(std::uint32_t v) { return v >= std::uint32_t(TextureFilter::Point) && v <= std::uint32_t(TextureFilter::Anisotropic); }
bool MipFilterValue(std::uint32_t v) { return v <= std::uint32_t(TextureFilter::Linear); }

constexpr Accepts kSamplerRules[kSamplerStateSlots] = {
    nullptr,        AddressValue, AddressValue, AddressValue, AnyValue, FilterValue, FilterValue,
    MipFilterValue, AnyValue,     AnyValue,     AnyValue,     AnyValue, AnyValue,    AnyValue,
};

// Index of a transform in the device's table, or -1 for one it does not keep.
int TransformIndex(TransformState state)
{
    switch (state) {
    case TransformState::World:
        return 0;
    case TransformState::View:
        return 1;
    case TransformState::Projection:
        return 2;
    case TransformState::Texture0:
        return 3;
    case TransformState::Texture1:
        return 4;
    }
    return -1;
}

} // namespace

DeviceState::DeviceState(bool hasDepthBuffer)
{
    for (const RenderStateRule& rule : kRenderStateRules)
        renderStates_[std::uint32_t(rule.state)] = rule.defaultValue;
    renderStates_[std::uint32_t(RenderState::ZEnable)] = hasDepthBuffer ? kTrue : kFalse;

    for (std::uint32_t stage = 0; stage < kMaxTextureStages; ++stage) {
        auto& s = stageStates_[stage];
        const bool first = stage == 0;
        s[std::uint32_t(TextureStageState::ColorOp)] = std::uint32_t(first ? TextureOp::Modulate : TextureOp::Disable);
        s[std::uint32_t(TextureStageState::ColorArg1)] = TextureArg::Texture;
        s[std::uint32_t(TextureStageState::ColorArg2)] = TextureArg::Current;
        s[std::uint32_t(TextureStageState::AlphaOp)] = std::uint32_t(first ? TextureOp::SelectArg1 : TextureOp::Disable);
        s[std::uint32_t(TextureStageState::AlphaArg1)] = TextureArg::Texture;
        s[std::uint32_t(TextureStageState::AlphaArg2)] = TextureArg::Current;
        s[std::uint32_t(TextureStageState::TexCoordIndex)] = stage;
        s[std::uint32_t(TextureStageState::ColorArg0)] = TextureArg::Current;
        s[std::uint32_t(TextureStageState::AlphaArg0)] = TextureArg::Current;
        s[std::uint32_t(TextureStageState::ResultArg)] = TextureArg::Current;
    }

    for (auto& s : samplerStates_) {
        s[std::uint32_t(SamplerState::AddressU)] = std::uint32_t(TextureAddress::Wrap);
        s[std::uint32_t(SamplerState::AddressV)] = std::uint32_t(TextureAddress::Wrap);
        s[std::uint32_t(SamplerState::AddressW)] = std::uint32_t(TextureAddress::Wrap);
        s[std::uint32_t(SamplerState::MagFilter)] = std::uint32_t(TextureFilter::Point);
        s[std::uint32_t(SamplerState::MinFilter)] = std::uint32_t(TextureFilter::Point);
        s[std::uint32_t(SamplerState::MipFilter)] = std::uint32_t(TextureFilter::None);
        s[std::uint32_t(SamplerState::MaxAnisotropy)] = 1;
    }
}

HRESULT DeviceState::SetRenderState(RenderState state, std::uint32_t value)
{
    const RenderStateRule* rule = FindRule(state);
    if (!rule || !rule->accepts(value))
        return kInvalidCall;
    std::uint32_t& slot = renderStates_[std::uint32_t(state)];
    if (slot != value) {
        slot = value;
        ++version_;
        ++constantsVersion_;
    }
    return kOk;
}

std::uint32_t DeviceState::GetRenderState(RenderState state) const
{
    const std::uint32_t index = std::uint32_t(state);
    return index < kRenderStateSlots ? renderStates_[index] : 0;
}

HRESULT DeviceState::SetTextureStageState(std::uint32_t stage, TextureStageState state, std::uint32_t value)
{
    if (stage >= kMaxTextureStages)
        return kInvalidCall;
    const Accepts accepts = FindStageRule(state);
    if (!accepts || !accepts(value))
        return kInvalidCall;
    std::uint32_t& slot = stageStates_[stage][std::uint32_t(state)];
    if (slot != value) {
        slot = value;
        ++version_;
        ++constantsVersion_;
    }
    return kOk;
}

std::uint32_t DeviceState::GetTextureStageState(std::uint32_t stage, TextureStageState state) const
{
    const std::uint32_t index = std::uint32_t(state);
    if (stage >= kMaxTextureStages || index >= kStageStateSlots)
        return 0;
    return stageStates_[stage][index];
}

float DeviceState::BumpEnvMatrix(std::uint32_t stage, std::uint32_t index) const
{
    const std::uint32_t bits = GetTextureStageState(stage, TextureStageState(std::uint32_t(TextureStageState::BumpEnvMat00) + index));
    return std::bit_cast<float>(bits);
}

HRESULT DeviceState::SetSamplerState(std::uint32_t sampler, SamplerState state, std::uint32_t value)
{
    const std::uint32_t index = std::uint32_t(state);
    if (sampler >= kMaxSamplers || index >= kSamplerStateSlots || !kSamplerRules[index] || !kSamplerRules[index](value))
        return kInvalidCall;
    std::uint32_t& slot = samplerStates_[sampler][index];
    if (slot != value) {
        slot = value;
        ++version_;
    }
    return kOk;
}

std::uint32_t DeviceState::GetSamplerState(std::uint32_t sampler, SamplerState state) const
{
    const std::uint32_t index = std::uint32_t(state);
    if (sampler >= kMaxSamplers || index >= kSamplerStateSlots)
        return 0;
    return samplerStates_[sampler][index];
}

const math::Matrix& DeviceState::Transform(TransformState state) const
{
    const int index = TransformIndex(state);
    return transforms_[index < 0 ? 0 : index];
}

HRESULT DeviceState::SetTransform(TransformState state, const math::Matrix& matrix)
{
    const int index = TransformIndex(state);
    if (index < 0)
        return kInvalidCall;
    transforms_[index] = matrix;
    ++constantsVersion_;
    return kOk;
}

HRESULT DeviceState::GetTransform(TransformState state, math::Matrix* out) const
{
    const int index = TransformIndex(state);
    if (!out || index < 0)
        return kInvalidCall;
    *out = transforms_[index];
    return kOk;
}

HRESULT DeviceState::SetLight(std::uint32_t index, const Light& light)
{
    // Only directional lights are drawn; refusing the others keeps a caller
    // from believing a point or spot light works.
    if (index >= kMaxLights || light.type != LightType::Directional)
        return kInvalidCall;
    lights_[index] = light;
    lightSet_[index] = true;
    ++constantsVersion_;
    return kOk;
}

HRESULT DeviceState::GetLight(std::uint32_t index, Light* out) const
{
    if (index >= kMaxLights || !out || !lightSet_[index])
        return kInvalidCall;
    *out = lights_[index];
    return kOk;
}

HRESULT DeviceState::LightEnable(std::uint32_t index, bool enable)
{
    if (index >= kMaxLights)
        return kInvalidCall;
    if (enable && !lightSet_[index]) {
        lights_[index] = DefaultLight();
        lightSet_[index] = true;
    }
    if (lightEnabled_[index] != enable) {
        lightEnabled_[index] = enable;
        ++version_;
    }
    ++constantsVersion_;
    return kOk;
}

bool DeviceState::IsLightEnabled(std::uint32_t index) const { return index < kMaxLights && lightEnabled_[index]; }

void DeviceState::SetMaterial(const Material& material)
{
    material_ = material;
    ++constantsVersion_;
}

HRESULT DeviceState::SetClipPlane(std::uint32_t index, const float plane[4])
{
    if (index >= kMaxClipPlanes || !plane)
        return kInvalidCall;
    clipPlanes_[index] = {plane[0], plane[1], plane[2], plane[3]};
    ++constantsVersion_;
    return kOk;
}

HRESULT DeviceState::GetClipPlane(std::uint32_t index, float plane[4]) const
{
    if (index >= kMaxClipPlanes || !plane)
        return kInvalidCall;
    const ClipPlane& p = clipPlanes_[index];
    plane[0] = p.a;
    plane[1] = p.b;
    plane[2] = p.c;
    plane[3] = p.d;
    return kOk;
}

} // namespace gfx

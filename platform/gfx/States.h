#pragma once
// The device's state vocabulary: render states, texture-stage states, sampler
// states, transforms and primitive types. Every value is Direct3D 9's
// documented number, because scene documents and the code written against
// them store and pass these numbers.

#include <cstdint>

namespace gfx {

// ---- Render states -----------------------------------------------------------

enum class RenderState : std::uint32_t {
    ZEnable = 7,
    FillMode = 8,
    ShadeMode = 9,
    ZWriteEnable = 14,
    AlphaTestEnable = 15,
    LastPixel = 16,
    SrcBlend = 19,
    DestBlend = 20,
    CullMode = 22,
    ZFunc = 23,
    AlphaRef = 24,
    AlphaFunc = 25,
    DitherEnable = 26,
    AlphaBlendEnable = 27,
    FogEnable = 28,
    SpecularEnable = 29,
    FogColor = 34,
    FogTableMode = 35,
    FogStart = 36,
    FogEnd = 37,
    FogDensity = 38,
    RangeFogEnable = 48,
    StencilEnable = 52,
    StencilFail = 53,
    StencilZFail = 54,
    StencilPass = 55,
    StencilFunc = 56,
    StencilRef = 57,
    StencilMask = 58,
    StencilWriteMask = 59,
    TextureFactor = 60,
    Clipping = 136,
    Lighting = 137,
    Ambient = 139,
    FogVertexMode = 140,
    ColorVertex = 141,
    LocalViewer = 142,
    NormalizeNormals = 143,
    DiffuseMaterialSource = 145,
    SpecularMaterialSource = 146,
    AmbientMaterialSource = 147,
    EmissiveMaterialSource = 148,
    VertexBlend = 151,
    ClipPlaneEnable = 152,
    PointSize = 154,
    MultisampleAntialias = 161,
    ColorWriteEnable = 168,
    BlendOp = 171,
    ScissorTestEnable = 174,
    SeparateAlphaBlendEnable = 206,
    SrcBlendAlpha = 207,
    DestBlendAlpha = 208,
    BlendOpAlpha = 209,
};

enum class Blend : std::uint32_t {
    Zero = 1,
    One = 2,
    SrcColor = 3,
    InvSrcColor = 4,
    SrcAlpha = 5,
    InvSrcAlpha = 6,
    DestAlpha = 7,
    InvDestAlpha = 8,
    DestColor = 9,
    InvDestColor = 10,
    SrcAlphaSat = 11,
};

enum class BlendOp : std::uint32_t { Add = 1, Subtract = 2, RevSubtract = 3, Min = 4, Max = 5 };

enum class Cmp : std::uint32_t {
    Never = 1,
    Less = 2,
    Equal = 3,
    LessEqual = 4,
    Greater = 5,
    NotEqual = 6,
    GreaterEqual = 7,
    Always = 8,
};

// Which winding is culled, seen on the render target (y down).
enum class Cull : std::uint32_t { None = 1, Clockwise = 2, CounterClockwise = 3 };

enum class FillMode : std::uint32_t { Point = 1, Wireframe = 2, Solid = 3 };

enum class ZBuffer : std::uint32_t { False = 0, True = 1 };

namespace ColorWrite {
inline constexpr std::uint32_t Red = 1, Green = 2, Blue = 4, Alpha = 8, All = 15;
}

// Where lighting takes a material colour from.
enum class MaterialColorSource : std::uint32_t { Material = 0, Color1 = 1, Color2 = 2 };

// ---- Texture-stage states ----------------------------------------------------

enum class TextureStageState : std::uint32_t {
    ColorOp = 1,
    ColorArg1 = 2,
    ColorArg2 = 3,
    AlphaOp = 4,
    AlphaArg1 = 5,
    AlphaArg2 = 6,
    BumpEnvMat00 = 7, // the four bump-environment values are floats stored as bits
    BumpEnvMat01 = 8,
    BumpEnvMat10 = 9,
    BumpEnvMat11 = 10,
    TexCoordIndex = 11,
    BumpEnvLScale = 22,
    BumpEnvLOffset = 23,
    TextureTransformFlags = 24,
    ColorArg0 = 26,
    AlphaArg0 = 27,
    ResultArg = 28,
    Constant = 32,
};

enum class TextureOp : std::uint32_t {
    Disable = 1,
    SelectArg1 = 2,
    SelectArg2 = 3,
    Modulate = 4,
    // Reads the stage's texture as a (du, dv) offset, turned by the stage's
    // 2x2 bump matrix, and adds it to the next stage's texture coordinates.
    BumpEnvMap = 22,
};

namespace TextureArg {
inline constexpr std::uint32_t Diffuse = 0, Current = 1, Texture = 2, TFactor = 3, Specular = 4;
inline constexpr std::uint32_t SelectMask = 0x0F;
inline constexpr std::uint32_t Complement = 0x10, AlphaReplicate = 0x20;
} // namespace TextureArg

// TexCoordIndex: the low 16 bits pick the vertex's coordinate set, the high
// bits ask for coordinates generated from the camera-space vertex instead.
namespace TexCoordIndex {
inline constexpr std::uint32_t PassThru = 0x00000;
inline constexpr std::uint32_t CameraSpaceNormal = 0x10000;
inline constexpr std::uint32_t CameraSpacePosition = 0x20000;
inline constexpr std::uint32_t CameraSpaceReflectionVector = 0x30000;
inline constexpr std::uint32_t SetMask = 0xFFFF;
} // namespace TexCoordIndex

namespace TextureTransform {
inline constexpr std::uint32_t Disable = 0, Count1 = 1, Count2 = 2, Count3 = 3, Count4 = 4;
inline constexpr std::uint32_t Projected = 256;
} // namespace TextureTransform

// ---- Sampler states ----------------------------------------------------------

enum class SamplerState : std::uint32_t {
    AddressU = 1,
    AddressV = 2,
    AddressW = 3,
    BorderColor = 4,
    MagFilter = 5,
    MinFilter = 6,
    MipFilter = 7,
    MipMapLodBias = 8,
    MaxMipLevel = 9,
    MaxAnisotropy = 10,
    SrgbTexture = 11,
    ElementIndex = 12,
    DMapOffset = 13,
};

enum class TextureAddress : std::uint32_t { Wrap = 1, Mirror = 2, Clamp = 3, Border = 4 };

enum class TextureFilter : std::uint32_t { None = 0, Point = 1, Linear = 2, Anisotropic = 3 };

// ---- Transforms and primitives ----------------------------------------------

enum class TransformState : std::uint32_t {
    View = 2,
    Projection = 3,
    Texture0 = 16,
    Texture1 = 17,
    World = 256,
};

enum class PrimitiveType : std::uint32_t { TriangleList = 4, TriangleStrip = 5 };

// Limits of this device.
inline constexpr std::uint32_t kMaxTextureStages = 2;  // fixed-function stages
inline constexpr std::uint32_t kMaxSamplers = 16;      // texture slots a program can sample
inline constexpr std::uint32_t kMaxClipPlanes = 6;
inline constexpr std::uint32_t kMaxLights = 8;

inline constexpr std::uint32_t kTrue = 1, kFalse = 0;

} // namespace gfx

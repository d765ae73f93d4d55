#pragma once
// The fixed-function pipeline as generated GLSL. A FixedFunctionKey holds
// exactly the state that changes the generated code (vertex format, lighting
// set-up, the texture stages' operations and coordinate sources, alpha test);
// everything else (matrices, colours, the bump matrix, the alpha reference)
// reaches the program as uniforms. Equal keys share one program.
//
// What the generated programs do, as Direct3D 9 documents it:
//  - Vertex colours: unlit, the vertex's diffuse (white when absent) and
//    specular (black when absent). Lit (Lighting on, vertex not
//    pre-transformed): the enabled directional lights over the material, whose
//    diffuse/specular/ambient/emissive colours come from the vertex colours
//    where ColorVertex and the material-source states say so; normals are
//    transformed by the inverse transpose of world x view and normalised only
//    when NormalizeNormals is on; specular highlights (SpecularEnable) use the
//    half vector with a local or an infinite viewer (LocalViewer).
//  - Texture coordinates per stage: the vertex's set TexCoordIndex names, or
//    the camera-space normal, position or reflection vector; with
//    TextureTransformFlags, multiplied by the stage's texture matrix (a
//    two-component set as (u, v, 1, 0), a generated one as (x, y, z, 1)),
//    optionally divided by the last component (Projected).
//  - Stages run in order until the first whose ColorOp is Disable. A stage's
//    Texture argument reads its texture, or white when no texture is bound.
//    An AlphaOp of Disable on a running stage keeps the current alpha.
//    BumpEnvMap reads the stage's texture as (du, dv), turns it by the
//    stage's bump matrix (u' += du m00 + dv m10, v' += du m01 + dv m11) and
//    offsets the next stage's coordinates; its colour result is the current
//    colour. Without a texture it offsets nothing.
//  - Then the specular colour is added (SpecularEnable), and the alpha test
//    compares alpha x 255 with AlphaRef.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gfx/DeviceState.h"
#include "platform/gfx/VertexFormat.h"

namespace gfx {

struct FixedFunctionStageKey {
    std::uint8_t colorOp = 0; // 0: the stage does not run
    std::uint8_t colorArg1 = 0, colorArg2 = 0;
    std::uint8_t alphaOp = 0;
    std::uint8_t alphaArg1 = 0, alphaArg2 = 0;
    std::uint8_t coordinateSet = 0;  // vertex set, for pass-through coordinates
    std::uint8_t coordinateGen = 0;  // TexCoordIndex >> 16: 0 pass-through, 1 normal, 2 position, 3 reflection
    std::uint8_t transformCount = 0; // 0: no texture matrix
    std::uint8_t projected = 0;
    std::uint8_t textureBound = 0;
    std::uint8_t reserved = 0;

    friend bool operator==(const FixedFunctionStageKey&, const FixedFunctionStageKey&) = default;
};

struct FixedFunctionKey {
    std::uint32_t fvf = 0;
    std::uint8_t lighting = 0;
    std::uint8_t lightCount = 0;
    std::uint8_t specular = 0;
    std::uint8_t localViewer = 0;
    std::uint8_t normalizeNormals = 0;
    std::uint8_t diffuseSource = 0; // MaterialColorSource, already resolved against the vertex format
    std::uint8_t specularSource = 0;
    std::uint8_t ambientSource = 0;
    std::uint8_t emissiveSource = 0;
    std::uint8_t alphaFunc = 0; // 0: no alpha test
    std::uint8_t reserved[2] = {};
    std::array<FixedFunctionStageKey, kMaxTextureStages> stages{};

    friend bool operator==(const FixedFunctionKey&, const FixedFunctionKey&) = default;
};

struct FixedFunctionKeyHash {
    std::size_t operator()(const FixedFunctionKey& key) const;
};

// The key for drawing `layout` with `state`; `boundTextures` has bit s set
// when stage s has a texture.
FixedFunctionKey MakeFixedFunctionKey(const DeviceState& state, const VertexLayout& layout, std::uint32_t boundTextures);

// The GLSL bodies (after the device's preludes) for a key.
std::string FixedFunctionVertexSource(const FixedFunctionKey& key);
std::string FixedFunctionFragmentSource(const FixedFunctionKey& key);

} // namespace gfx

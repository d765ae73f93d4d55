#pragma once
// A custom GLSL program that replaces the generated fixed-function program
// for the draws that follow Device::SetShaderProgram, as a vertex and pixel
// shader pair does on Direct3D 9 (an effect pass sets one, draws, and sets
// null to go back to the fixed-function pipeline). Render states, sampler
// states, textures, vertex format and streams keep working as for any draw.
//
// Writing one. Give the bodies of a GLSL 3.30 core vertex and fragment
// program, without a #version line: the device puts a prelude in front of
// each that declares
//   vertex attributes, one slot per FVF field (absent fields read constants:
//   normal 0, diffuse white, specular transparent black, coordinates 0):
//     in vec4 gfx_Position;   // xyz, w = 1; or x, y, z, rhw when pre-transformed
//     in vec3 gfx_Normal;
//     in vec4 gfx_Diffuse;    // the 0xAARRGGBB colour as (r, g, b, a) 0..1
//     in vec4 gfx_Specular;
//     in vec2 gfx_TexCoord0, gfx_TexCoord1;
//   uniforms the device fills in at every draw:
//     mat4 gfx_World, gfx_View, gfx_Projection; // the current transforms
//     bool gfx_PreTransformed;                  // the vertex format is XYZRHW
//     vec2 gfx_TargetSize;                      // render target size in pixels
//     vec4 gfx_ClipPlanes[6];                   // world-space planes, (0,0,0,1) when off
//   helpers:
//     vec4 gfx_TransformVertex();  // the usual position: world x view x
//                                  // projection, or the pre-transformed
//                                  // pixels; writes the clip distances
//     vec4 gfx_OutputPosition(vec4 world, vec4 clip);
//                                  // for programs that move vertices
//                                  // themselves: world-space position and
//                                  // Direct3D-style clip position in
//     vec4 gfx_PreTransformedPosition(vec4 xyzrhw);
//   and, in the fragment program, the output `gfx_FragColor`.
// Matrices multiply as in HLSL's mul(v, M): write `v * gfx_World`.
// Every vertex program must assign gl_Position from gfx_TransformVertex,
// gfx_OutputPosition or gfx_PreTransformedPosition: they write the clip
// distances of the user clip planes and put the position on the render target
// the way the device expects (top row first, Direct3D's pixel centres).
// Textures: declare `uniform sampler2D name;` and bind it to a texture slot
// with SetSampler(name, slot); the device binds Device::SetTexture(slot)
// there with the sampler states of that slot.
//
// Uniform values set here are kept and sent to GL at the next draw with the
// program. Setters return false when the program has no uniform of that name
// (unused uniforms are removed by the GLSL compiler) or it has another type.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Resource.h"
#include "platform/math/Matrix.h"

namespace gfx {

class GlslProgram;

class ShaderProgram final : public Resource {
public:
    bool HasUniform(std::string_view name) const;
    // float, vec2, vec3, vec4 (and arrays of them): `count` floats, at most
    // what the uniform holds.
    bool SetFloats(std::string_view name, const float* values, std::uint32_t count);
    bool SetFloat(std::string_view name, float value) { return SetFloats(name, &value, 1); }
    bool SetInt(std::string_view name, std::int32_t value);
    bool SetMatrix(std::string_view name, const math::Matrix& matrix);
    bool SetSampler(std::string_view name, std::uint32_t slot);

    // For the device.
    GlslProgram& Program() { return *program_; }
    // Sends the values set since the last call; the program must be in use.
    void UploadPending();

private:
    struct Pending {
        int location = -1;
        unsigned type = 0;
        std::int32_t count = 0; // array elements
        std::vector<float> floats;
        std::int32_t integer = 0;
    };

    ShaderProgram(std::shared_ptr<DeviceLink> link, std::unique_ptr<GlslProgram> program);
    ~ShaderProgram() override;
    void Queue(Pending pending);

    std::unique_ptr<GlslProgram> program_;
    std::vector<Pending> pending_;

    friend class Device;
};

} // namespace gfx

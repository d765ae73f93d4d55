#pragma once
// Our effect file: a text that names techniques, each a list of passes, and
// the GLSL each pass runs with its render states. The scene code drives an
// effect by technique and parameter names only; parameters become uniforms of
// the same name. The format, line by line:
//
//   orvanta-effect 1                      first line, always
//   # comment (also //)                   outside code blocks
//   parameter float TexW = 512            float, vec2, vec3, vec4 (optionally
//   parameter vec4 Weights[4]             an array: Name[N]), mat4, texture;
//   parameter texture Texture             defaults after '=' (else zeros);
//   parameter texture Mask = white        a texture's default is what a null
//                                         texture samples as: white (opaque
//                                         white) or black (opaque black, the
//                                         default); "bound" samples whatever
//                                         the caller bound to the parameter's
//                                         slot: the effect never binds, saves
//                                         or restores that slot's texture
//   sampler Texture AddressU=Clamp MinFilter=Linear ...
//                                         sampler states of a texture parameter
//   include image-effect                  the lines of a prelude the program
//                                         carries (EffectInclude), read as if
//                                         they stood here; at most 4 deep
//   common                                GLSL put before every program
//   ...
//   end
//   vertex Quad                           a named vertex program body
//   ...                                   (see ShaderProgram.h for what it gets)
//   end
//   fragment BlurH                        a named fragment program body
//   ...
//   end
//   technique GaussianBlurH               a technique; its passes follow
//   pass [name]
//     vertex Quad                         the pass's programs
//     fragment BlurH
//     state AlphaBlendEnable False        render states by name, values by
//     state SrcBlend SrcAlpha             name or number
//   end
//
// The parameters' uniform declarations are written in front of the common
// code, so programs use them without declaring them. Common blocks (of the
// file and of its includes) are joined in the order they appear.
//
// Includes never come from the bytes' origin (a module or a document): an
// effect is made from its bytes and the preludes its caller hands over.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/gfx/States.h"

namespace gfx {

inline constexpr std::size_t kMaxEffectFileBytes = 1u << 20;

enum class EffectParameterType { Float, Vec2, Vec3, Vec4, Mat4, Texture };

// What a texture parameter samples as while no texture is set; Bound: the
// texture the caller bound to the parameter's slot (the effect takes none).
enum class EffectTextureDefault { OpaqueBlack, OpaqueWhite, Bound };

// A named piece of effect file that effects may include.
struct EffectInclude {
    std::string_view name;
    std::string_view text;
};

struct EffectParameter {
    std::string name;
    EffectParameterType type = EffectParameterType::Float;
    std::uint32_t arraySize = 0;  // 0: not an array
    std::vector<float> defaults;  // FloatCount() values
    EffectTextureDefault textureDefault = EffectTextureDefault::OpaqueBlack;
    std::vector<std::pair<SamplerState, std::uint32_t>> samplerStates;

    // Floats the parameter holds (0 for a texture).
    std::uint32_t FloatCount() const;
};

struct EffectPass {
    std::string name;
    std::string vertex, fragment;  // names of code blocks
    std::vector<std::pair<RenderState, std::uint32_t>> states;
};

struct EffectTechnique {
    std::string name;
    std::vector<EffectPass> passes;
};

struct EffectDescription {
    std::vector<EffectParameter> parameters;
    std::string common;
    std::map<std::string, std::string> vertexCode, fragmentCode;
    std::vector<EffectTechnique> techniques;

    const EffectParameter* FindParameter(std::string_view name) const;
    // The program bodies of a pass: parameter uniforms, common code, its code.
    std::string VertexSource(const EffectPass& pass) const;
    std::string FragmentSource(const EffectPass& pass) const;
};

// True when the bytes start like our effect file (any other bytes, such as
// the HLSL a document may store, are no effect of ours).
bool IsEffectFile(std::span<const std::uint8_t> bytes);

// Nothing, with the line and reason in error, for a file that breaks the
// format or names a code block, state or value that does not exist.
// `includes` are the preludes an "include" statement may name.
std::optional<EffectDescription> ParseEffectFile(std::span<const std::uint8_t> bytes, std::string& error,
                                                 std::span<const EffectInclude> includes = {});

}  // namespace gfx

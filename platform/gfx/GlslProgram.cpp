#include "platform/gfx/GlslProgram.h"

#include <array>

#include "platform/gfx/GlObjects.h"

namespace gfx {
namespace {

// Everything before a vertex program's own code. Positions arrive in the
// device's convention (Direct3D's clip space: y up, depth 0..w; or render
// target pixels for pre-transformed vertices); gfx_ToTarget turns them into
// GL's so that:
//  - rows come out top row first (y is flipped), in render-target textures
//    and in the back buffer alike;
//  - pixel centres sit on integer coordinates, and a pixel centre on an edge
//    belongs to the triangle on its right and below (the edge bias moves
//    geometry a 64th of a pixel up and left, which decides such ties the same
//    way whatever GL's own fill rule is);
//  - depth 0..w becomes GL's -w..w.
constexpr std::string_view kVertexPrelude = R"(#version 330 core
layout(location = 0) in vec4 gfx_Position;
layout(location = 1) in vec3 gfx_Normal;
layout(location = 2) in vec4 gfx_Diffuse;
layout(location = 3) in vec4 gfx_Specular;
layout(location = 4) in vec2 gfx_TexCoord0;
layout(location = 5) in vec2 gfx_TexCoord1;

uniform mat4 gfx_World;
uniform mat4 gfx_View;
uniform mat4 gfx_Projection;
uniform bool gfx_PreTransformed;
uniform vec2 gfx_TargetSize;
uniform vec4 gfx_ClipPlanes[6];

out float gl_ClipDistance[6];

const float gfx_EdgeBias = 1.0 / 64.0;

vec4 gfx_ToTarget(vec4 p)
{
    vec2 offset = (1.0 - 2.0 * gfx_EdgeBias) / gfx_TargetSize;
    return vec4(p.x + p.w * offset.x, -p.y + p.w * offset.y, 2.0 * p.z - p.w, p.w);
}

vec4 gfx_OutputPosition(vec4 world, vec4 clip)
{
    for (int i = 0; i < 6; ++i)
        gl_ClipDistance[i] = dot(world, gfx_ClipPlanes[i]);
    return gfx_ToTarget(clip);
}

vec4 gfx_PreTransformedPosition(vec4 xyzrhw)
{
    for (int i = 0; i < 6; ++i)
        gl_ClipDistance[i] = 1.0;
    float w = xyzrhw.w != 0.0 ? 1.0 / xyzrhw.w : 1.0;
    vec2 ndc = (xyzrhw.xy + (0.5 - gfx_EdgeBias)) * 2.0 / gfx_TargetSize - 1.0;
    return vec4(ndc * w, (2.0 * xyzrhw.z - 1.0) * w, w);
}

vec4 gfx_TransformVertex()
{
    if (gfx_PreTransformed)
        return gfx_PreTransformedPosition(gfx_Position);
    vec4 world = vec4(gfx_Position.xyz, 1.0) * gfx_World;
    return gfx_OutputPosition(world, world * gfx_View * gfx_Projection);
}
)";

constexpr std::string_view kFragmentPrelude = R"(#version 330 core
layout(location = 0) out vec4 gfx_FragColor;
)";

struct StandardName {
    StandardUniform uniform;
    std::string_view name;
};

constexpr std::array kStandardNames{
    StandardName{StandardUniform::World, "gfx_World"},
    StandardName{StandardUniform::View, "gfx_View"},
    StandardName{StandardUniform::Projection, "gfx_Projection"},
    StandardName{StandardUniform::PreTransformed, "gfx_PreTransformed"},
    StandardName{StandardUniform::TargetSize, "gfx_TargetSize"},
    StandardName{StandardUniform::ClipPlanes, "gfx_ClipPlanes"},
    StandardName{StandardUniform::WorldView, "ffp_WorldView"},
    StandardName{StandardUniform::NormalMatrix, "ffp_NormalMatrix"},
    StandardName{StandardUniform::TexMatrix0, "ffp_TexMatrix0"},
    StandardName{StandardUniform::TexMatrix1, "ffp_TexMatrix1"},
    StandardName{StandardUniform::LightDirection, "ffp_LightDirection"},
    StandardName{StandardUniform::LightDiffuse, "ffp_LightDiffuse"},
    StandardName{StandardUniform::LightSpecular, "ffp_LightSpecular"},
    StandardName{StandardUniform::LightAmbient, "ffp_LightAmbient"},
    StandardName{StandardUniform::MaterialDiffuse, "ffp_MaterialDiffuse"},
    StandardName{StandardUniform::MaterialAmbient, "ffp_MaterialAmbient"},
    StandardName{StandardUniform::MaterialSpecular, "ffp_MaterialSpecular"},
    StandardName{StandardUniform::MaterialEmissive, "ffp_MaterialEmissive"},
    StandardName{StandardUniform::MaterialPower, "ffp_MaterialPower"},
    StandardName{StandardUniform::GlobalAmbient, "ffp_GlobalAmbient"},
    StandardName{StandardUniform::TextureFactor, "ffp_TextureFactor"},
    StandardName{StandardUniform::BumpEnv0, "ffp_BumpEnv0"},
    StandardName{StandardUniform::AlphaRef, "ffp_AlphaRef"},
};
static_assert(kStandardNames.size() == std::size_t(StandardUniform::Count));

std::string ShaderLog(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(std::size_t(length > 0 ? length : 0), '\0');
    if (length > 0)
        glGetShaderInfoLog(shader, length, nullptr, log.data());
    return log;
}

std::string ProgramLog(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(std::size_t(length > 0 ? length : 0), '\0');
    if (length > 0)
        glGetProgramInfoLog(program, length, nullptr, log.data());
    return log;
}

GlShader Compile(GLenum stage, std::string_view prelude, std::string_view body, std::string* error)
{
    GlShader shader(glCreateShader(stage));
    const GLchar* sources[] = {prelude.data(), body.data()};
    const GLint lengths[] = {GLint(prelude.size()), GLint(body.size())};
    glShaderSource(shader.Name(), 2, sources, lengths);
    glCompileShader(shader.Name());
    GLint ok = GL_FALSE;
    glGetShaderiv(shader.Name(), GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        *error = std::string(stage == GL_VERTEX_SHADER ? "vertex" : "fragment") + " program: " + ShaderLog(shader.Name());
        return {};
    }
    return shader;
}

} // namespace

std::unique_ptr<GlslProgram> GlslProgram::Build(std::string_view vertexBody, std::string_view fragmentBody,
                                                std::string* error)
{
    std::string ignored;
    std::string& message = error ? *error : ignored;
    GlShader vertex = Compile(GL_VERTEX_SHADER, kVertexPrelude, vertexBody, &message);
    if (!vertex)
        return nullptr;
    GlShader fragment = Compile(GL_FRAGMENT_SHADER, kFragmentPrelude, fragmentBody, &message);
    if (!fragment)
        return nullptr;

    GlProgram program = GlProgram::Create();
    glAttachShader(program.Name(), vertex.Name());
    glAttachShader(program.Name(), fragment.Name());
    glLinkProgram(program.Name());
    GLint ok = GL_FALSE;
    glGetProgramiv(program.Name(), GL_LINK_STATUS, &ok);
    glDetachShader(program.Name(), vertex.Name());
    glDetachShader(program.Name(), fragment.Name());
    if (ok != GL_TRUE) {
        message = "link: " + ProgramLog(program.Name());
        return nullptr;
    }

    std::unique_ptr<GlslProgram> result(new GlslProgram());
    result->name_ = program.Name();
    program.Abandon();
    result->ReadUniforms();
    return result;
}

GlslProgram::~GlslProgram()
{
    if (name_)
        glDeleteProgram(name_);
}

void GlslProgram::ReadUniforms()
{
    GLint count = 0;
    glGetProgramiv(name_, GL_ACTIVE_UNIFORMS, &count);
    std::array<GLchar, 256> buffer{};
    for (GLint i = 0; i < count; ++i) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(name_, GLuint(i), GLsizei(buffer.size()), &length, &size, &type, buffer.data());
        std::string name(buffer.data(), std::size_t(length));
        if (name.size() > 3 && name.ends_with("[0]"))
            name.resize(name.size() - 3);
        const GLint location = glGetUniformLocation(name_, name.c_str());
        if (location < 0)
            continue; // a member of a uniform block
        uniforms_.push_back({name, location, type, size});
    }
    for (const StandardName& standard : kStandardNames) {
        const UniformInfo* info = FindUniform(standard.name);
        standard_[std::uint32_t(standard.uniform)] = info ? info->location : -1;
    }
}

const UniformInfo* GlslProgram::FindUniform(std::string_view name) const
{
    for (const UniformInfo& info : uniforms_)
        if (info.name == name)
            return &info;
    return nullptr;
}

} // namespace gfx

#pragma once
// Owning handles for GL object names. Included by this folder's sources only:
// the public headers keep GL names as plain unsigned ints so that callers
// never see GL.

#include <epoxy/gl.h>

#include <utility>

namespace gfx {

enum class GlKind { Buffer, Texture, Framebuffer, Renderbuffer, VertexArray, Sampler, Program, Shader };

template <GlKind kind>
class GlObject {
public:
    GlObject() = default;
    explicit GlObject(GLuint name) : name_(name) {}
    GlObject(const GlObject&) = delete;
    GlObject& operator=(const GlObject&) = delete;
    GlObject(GlObject&& other) noexcept : name_(std::exchange(other.name_, 0)) {}
    GlObject& operator=(GlObject&& other) noexcept
    {
        if (this != &other) {
            Reset();
            name_ = std::exchange(other.name_, 0);
        }
        return *this;
    }
    ~GlObject() { Reset(); }

    static GlObject Create()
    {
        GLuint name = 0;
        if constexpr (kind == GlKind::Buffer)
            glGenBuffers(1, &name);
        else if constexpr (kind == GlKind::Texture)
            glGenTextures(1, &name);
        else if constexpr (kind == GlKind::Framebuffer)
            glGenFramebuffers(1, &name);
        else if constexpr (kind == GlKind::Renderbuffer)
            glGenRenderbuffers(1, &name);
        else if constexpr (kind == GlKind::VertexArray)
            glGenVertexArrays(1, &name);
        else if constexpr (kind == GlKind::Sampler)
            glGenSamplers(1, &name);
        else if constexpr (kind == GlKind::Program)
            name = glCreateProgram();
        return GlObject(name);
    }

    // Forgets the name without deleting it: for objects whose context is gone.
    void Abandon() { name_ = 0; }

    void Reset()
    {
        GLuint name = std::exchange(name_, 0);
        if (name == 0)
            return;
        if constexpr (kind == GlKind::Buffer)
            glDeleteBuffers(1, &name);
        else if constexpr (kind == GlKind::Texture)
            glDeleteTextures(1, &name);
        else if constexpr (kind == GlKind::Framebuffer)
            glDeleteFramebuffers(1, &name);
        else if constexpr (kind == GlKind::Renderbuffer)
            glDeleteRenderbuffers(1, &name);
        else if constexpr (kind == GlKind::VertexArray)
            glDeleteVertexArrays(1, &name);
        else if constexpr (kind == GlKind::Sampler)
            glDeleteSamplers(1, &name);
        else if constexpr (kind == GlKind::Program)
            glDeleteProgram(name);
        else if constexpr (kind == GlKind::Shader)
            glDeleteShader(name);
    }

    GLuint Name() const { return name_; }
    explicit operator bool() const { return name_ != 0; }

private:
    GLuint name_ = 0;
};

using GlBuffer = GlObject<GlKind::Buffer>;
using GlTexture = GlObject<GlKind::Texture>;
using GlFramebuffer = GlObject<GlKind::Framebuffer>;
using GlRenderbuffer = GlObject<GlKind::Renderbuffer>;
using GlVertexArray = GlObject<GlKind::VertexArray>;
using GlSampler = GlObject<GlKind::Sampler>;
using GlProgram = GlObject<GlKind::Program>;
using GlShader = GlObject<GlKind::Shader>;

} // namespace gfx

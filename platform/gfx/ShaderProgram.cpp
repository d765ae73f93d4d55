#include "platform/gfx/ShaderProgram.h"

#include <algorithm>

#include "platform/gfx/GlObjects.h"
#include "platform/gfx/GlslProgram.h"

namespace gfx {
namespace {

// Floats per element of the float uniform types; 0 for others.
std::uint32_t FloatComponents(unsigned type)
{
    switch (type) {
    case GL_FLOAT:
        return 1;
    case GL_FLOAT_VEC2:
        return 2;
    case GL_FLOAT_VEC3:
        return 3;
    case GL_FLOAT_VEC4:
        return 4;
    default:
        return 0;
    }
}

bool IsIntegerType(unsigned type)
{
    switch (type) {
    case GL_INT:
    case GL_BOOL:
    case GL_SAMPLER_2D:
        return true;
    default:
        return false;
    }
}

} // namespace

ShaderProgram::ShaderProgram(std::shared_ptr<DeviceLink> link, std::unique_ptr<GlslProgram> program)
    : Resource(std::move(link), Pool::Managed), program_(std::move(program))
{
}

ShaderProgram::~ShaderProgram()
{
    if (!DeviceAlive())
        program_->Abandon();
}

bool ShaderProgram::HasUniform(std::string_view name) const { return program_->FindUniform(name) != nullptr; }

void ShaderProgram::Queue(Pending pending)
{
    // A newer value for the same uniform replaces the waiting one.
    std::erase_if(pending_, [&](const Pending& p) { return p.location == pending.location; });
    pending_.push_back(std::move(pending));
}

bool ShaderProgram::SetFloats(std::string_view name, const float* values, std::uint32_t count)
{
    const UniformInfo* info = program_->FindUniform(name);
    if (!info || !values)
        return false;
    const std::uint32_t components = FloatComponents(info->type);
    if (components == 0 || count == 0 || count > components * std::uint32_t(info->size))
        return false;
    Pending pending{info->location, info->type, std::int32_t((count + components - 1) / components), {}, 0};
    pending.floats.assign(values, values + count);
    pending.floats.resize(std::size_t(pending.count) * components, 0.0f);
    Queue(std::move(pending));
    return true;
}

bool ShaderProgram::SetInt(std::string_view name, std::int32_t value)
{
    const UniformInfo* info = program_->FindUniform(name);
    if (!info || !IsIntegerType(info->type))
        return false;
    Queue({info->location, info->type, 1, {}, value});
    return true;
}

bool ShaderProgram::SetSampler(std::string_view name, std::uint32_t slot)
{
    const UniformInfo* info = program_->FindUniform(name);
    if (!info || info->type != GL_SAMPLER_2D || slot >= 16)
        return false;
    Queue({info->location, info->type, 1, {}, std::int32_t(slot)});
    return true;
}

bool ShaderProgram::SetMatrix(std::string_view name, const math::Matrix& matrix)
{
    const UniformInfo* info = program_->FindUniform(name);
    if (!info || info->type != GL_FLOAT_MAT4)
        return false;
    Pending pending{info->location, info->type, 1, {}, 0};
    pending.floats.assign(&matrix.m[0][0], &matrix.m[0][0] + 16);
    Queue(std::move(pending));
    return true;
}

void ShaderProgram::UploadPending()
{
    for (const Pending& p : pending_) {
        switch (p.type) {
        case GL_FLOAT:
            glUniform1fv(p.location, p.count, p.floats.data());
            break;
        case GL_FLOAT_VEC2:
            glUniform2fv(p.location, p.count, p.floats.data());
            break;
        case GL_FLOAT_VEC3:
            glUniform3fv(p.location, p.count, p.floats.data());
            break;
        case GL_FLOAT_VEC4:
            glUniform4fv(p.location, p.count, p.floats.data());
            break;
        case GL_FLOAT_MAT4:
            // Row-major as stored, so that `v * M` in GLSL is mul(v, M).
            glUniformMatrix4fv(p.location, 1, GL_TRUE, p.floats.data());
            break;
        default:
            glUniform1i(p.location, p.integer);
            break;
        }
    }
    pending_.clear();
}

} // namespace gfx

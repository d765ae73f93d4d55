#include "platform/gfx/ProgramCache.h"

#include "platform/gfx/GlObjects.h"

namespace gfx {

GlslProgram* ProgramCache::Find(const FixedFunctionKey& key, bool* built)
{
    *built = false;
    if (auto found = programs_.find(key); found != programs_.end())
        return found->second.get();

    std::unique_ptr<GlslProgram> program =
        GlslProgram::Build(FixedFunctionVertexSource(key), FixedFunctionFragmentSource(key), &lastError_);
    if (!program)
        return nullptr;
    // Stage s samples texture slot s.
    glUseProgram(program->Name());
    for (const char* name : {"ffp_Texture0", "ffp_Texture1"})
        if (const UniformInfo* sampler = program->FindUniform(name))
            glUniform1i(sampler->location, name[11] - '0');
    *built = true;
    GlslProgram* result = program.get();
    programs_.emplace(key, std::move(program));
    return result;
}

void ProgramCache::Abandon()
{
    for (auto& [key, program] : programs_)
        program->Abandon();
    programs_.clear();
}

} // namespace gfx

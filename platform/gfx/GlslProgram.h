#pragma once
// A linked GLSL program of the device: a generated fixed-function program or
// a caller's custom one. Both are compiled with the same preludes, so that
// they share vertex attribute slots, the automatically supplied uniforms and
// the helper that puts a position on the render target the way the device
// expects (see ShaderProgram.h for the names). Internal to the device.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

// Uniforms the device fills in itself when a program declares them.
enum class StandardUniform : std::uint32_t {
    World,
    View,
    Projection,
    PreTransformed,
    TargetSize,
    ClipPlanes,
    WorldView,
    NormalMatrix,
    TexMatrix0,
    TexMatrix1,
    LightDirection,
    LightDiffuse,
    LightSpecular,
    LightAmbient,
    MaterialDiffuse,
    MaterialAmbient,
    MaterialSpecular,
    MaterialEmissive,
    MaterialPower,
    GlobalAmbient,
    TextureFactor,
    BumpEnv0,
    AlphaRef,
    Count,
};

struct UniformInfo {
    std::string name; // without a trailing "[0]"
    int location = -1;
    unsigned type = 0; // the GL type enum
    int size = 1;      // array length
};

class GlslProgram {
public:
    // Compiles and links the two bodies after the preludes. Null with the
    // compiler's log in `error` when that fails.
    static std::unique_ptr<GlslProgram> Build(std::string_view vertexBody, std::string_view fragmentBody,
                                              std::string* error);
    ~GlslProgram();
    GlslProgram(const GlslProgram&) = delete;
    GlslProgram& operator=(const GlslProgram&) = delete;

    unsigned Name() const { return name_; }
    int Location(StandardUniform uniform) const { return standard_[std::uint32_t(uniform)]; }
    const UniformInfo* FindUniform(std::string_view name) const;

    // Forgets the GL name without deleting it (the context is gone).
    void Abandon() { name_ = 0; }

    // The device's constants serial last sent to this program.
    std::uint64_t uploadedSerial = 0;

private:
    GlslProgram() = default;
    void ReadUniforms();

    unsigned name_ = 0;
    int standard_[std::uint32_t(StandardUniform::Count)] = {};
    std::vector<UniformInfo> uniforms_;
};

} // namespace gfx

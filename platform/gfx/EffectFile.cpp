#include "platform/gfx/EffectFile.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstring>
#include <sstream>
#include <string_view>

namespace gfx {
namespace {

constexpr std::string_view kMagic = "orvanta-effect 1";
constexpr std::uint32_t kMaxArraySize = 1024;

template <typename T>
struct Named {
    std::string_view name;
    T value;
};

constexpr std::array kRenderStates{
    Named<RenderState>{"ZEnable", RenderState::ZEnable},
    Named<RenderState>{"FillMode", RenderState::FillMode},
    Named<RenderState>{"ZWriteEnable", RenderState::ZWriteEnable},
    Named<RenderState>{"AlphaTestEnable", RenderState::AlphaTestEnable},
    Named<RenderState>{"SrcBlend", RenderState::SrcBlend},
    Named<RenderState>{"DestBlend", RenderState::DestBlend},
    Named<RenderState>{"CullMode", RenderState::CullMode},
    Named<RenderState>{"ZFunc", RenderState::ZFunc},
    Named<RenderState>{"AlphaRef", RenderState::AlphaRef},
    Named<RenderState>{"AlphaFunc", RenderState::AlphaFunc},
    Named<RenderState>{"AlphaBlendEnable", RenderState::AlphaBlendEnable},
    Named<RenderState>{"ColorWriteEnable", RenderState::ColorWriteEnable},
    Named<RenderState>{"BlendOp", RenderState::BlendOp},
    Named<RenderState>{"SeparateAlphaBlendEnable", RenderState::SeparateAlphaBlendEnable},
    Named<RenderState>{"SrcBlendAlpha", RenderState::SrcBlendAlpha},
    Named<RenderState>{"DestBlendAlpha", RenderState::DestBlendAlpha},
    Named<RenderState>{"BlendOpAlpha", RenderState::BlendOpAlpha},
};

constexpr std::array kSamplerStates{
    Named<SamplerState>{"AddressU", SamplerState::AddressU},   Named<SamplerState>{"AddressV", SamplerState::AddressV},
    Named<SamplerState>{"MagFilter", SamplerState::MagFilter}, Named<SamplerState>{"MinFilter", SamplerState::MinFilter},
    Named<SamplerState>{"MipFilter", SamplerState::MipFilter},
};

// Value names, shared by all states (the numbers do not clash in meaning
// within any one state).
constexpr std::array kValues{
    Named<std::uint32_t>{"False", 0},        Named<std::uint32_t>{"True", 1},
    Named<std::uint32_t>{"Zero", 1},         Named<std::uint32_t>{"One", 2},
    Named<std::uint32_t>{"SrcColor", 3},     Named<std::uint32_t>{"InvSrcColor", 4},
    Named<std::uint32_t>{"SrcAlpha", 5},     Named<std::uint32_t>{"InvSrcAlpha", 6},
    Named<std::uint32_t>{"DestAlpha", 7},    Named<std::uint32_t>{"InvDestAlpha", 8},
    Named<std::uint32_t>{"DestColor", 9},    Named<std::uint32_t>{"InvDestColor", 10},
    Named<std::uint32_t>{"SrcAlphaSat", 11}, Named<std::uint32_t>{"Add", 1},
    Named<std::uint32_t>{"Subtract", 2},     Named<std::uint32_t>{"RevSubtract", 3},
    Named<std::uint32_t>{"Min", 4},          Named<std::uint32_t>{"Max", 5},
    Named<std::uint32_t>{"None", 1},         Named<std::uint32_t>{"CW", 2},
    Named<std::uint32_t>{"CCW", 3},          Named<std::uint32_t>{"Never", 1},
    Named<std::uint32_t>{"Less", 2},         Named<std::uint32_t>{"Equal", 3},
    Named<std::uint32_t>{"LessEqual", 4},    Named<std::uint32_t>{"Greater", 5},
    Named<std::uint32_t>{"NotEqual", 6},     Named<std::uint32_t>{"GreaterEqual", 7},
    Named<std::uint32_t>{"Always", 8},       Named<std::uint32_t>{"Point", 1},
    Named<std::uint32_t>{"Linear", 2},       Named<std::uint32_t>{"Anisotropic", 3},
    Named<std::uint32_t>{"Wrap", 1},         Named<std::uint32_t>{"Mirror", 2},
    Named<std::uint32_t>{"Clamp", 3},        Named<std::uint32_t>{"Border", 4},
};

// Sampler filters name "None" 0, unlike the render states' None (cull) 1.
constexpr std::array kFilterValues{Named<std::uint32_t>{"None", 0}};

constexpr std::array kParameterTypes{
    Named<EffectParameterType>{"float", EffectParameterType::Float}, Named<EffectParameterType>{"vec2", EffectParameterType::Vec2},
    Named<EffectParameterType>{"vec3", EffectParameterType::Vec3},   Named<EffectParameterType>{"vec4", EffectParameterType::Vec4},
    Named<EffectParameterType>{"mat4", EffectParameterType::Mat4},   Named<EffectParameterType>{"texture", EffectParameterType::Texture},
};

template <typename T, std::size_t N>
std::optional<T> Lookup(const std::array<Named<T>, N>& table, std::string_view name) {
    for (const auto& entry : table)
        if (entry.name == name) return entry.value;
    return std::nullopt;
}

std::uint32_t FloatsPerElement(EffectParameterType type) {
    constexpr std::uint32_t kFloats[] = {1, 2, 3, 4, 16, 0};
    return kFloats[static_cast<int>(type)];
}

std::string_view GlslType(EffectParameterType type) {
    constexpr std::string_view kTypes[] = {"float", "vec2", "vec3", "vec4", "mat4", "sampler2D"};
    return kTypes[static_cast<int>(type)];
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
        const std::size_t start = at;
        while (at < line.size() && !std::isspace(static_cast<unsigned char>(line[at]))) ++at;
        if (at > start) words.push_back(line.substr(start, at - start));
    }
    return words;
}

bool IsIdentifier(std::string_view name) {
    if (name.empty() || name.size() > 64 || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return !name.starts_with("gfx_") && !name.starts_with("gl_");
}

std::optional<std::uint32_t> Number(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<float> Float(std::string_view text) {
    float value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

class EffectParser {
public:
    EffectParser(std::string_view text, std::string& error, std::span<const EffectInclude> includes)
        : error_(error), includes_(includes) {
        sources_.push_back({text, 0, 0, {}});
    }

    std::optional<EffectDescription> Parse() {
        std::string_view line;
        if (!NextLine(line) || Trim(line) != kMagic) {
            Fail("the file does not start with \"orvanta-effect 1\"");
            return std::nullopt;
        }
        while (NextLine(line)) {
            const auto words = Words(line);
            if (words.empty() || words[0].starts_with('#') || words[0].starts_with("//")) continue;
            if (!Statement(words)) return std::nullopt;
        }
        if (inPass_) {
            Fail("a pass is not closed with \"end\"");
            return std::nullopt;
        }
        if (!Check()) return std::nullopt;
        return std::move(effect_);
    }

private:
    // The file, or an included prelude being read.
    struct Source {
        std::string_view text;
        std::size_t at = 0;
        std::size_t lineNumber = 0;
        std::string includeName;  // empty for the file itself
    };
    static constexpr std::size_t kMaxIncludeDepth = 4;

    static std::string_view Trim(std::string_view line) {
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.remove_suffix(1);
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) line.remove_prefix(1);
        return line;
    }

    Source& Current() { return sources_.back(); }

    // The next line of the current source; at the end of an include, reading
    // goes on in the source that included it (unless `sameSource`).
    bool NextLine(std::string_view& line, bool sameSource = false) {
        while (Current().at >= Current().text.size()) {
            if (sameSource || sources_.size() == 1) return false;
            sources_.pop_back();
        }
        Source& source = Current();
        const auto end = source.text.find('\n', source.at);
        line = source.text.substr(source.at, end == std::string_view::npos ? std::string_view::npos : end - source.at);
        source.at = end == std::string_view::npos ? source.text.size() : end + 1;
        ++source.lineNumber;
        return true;
    }

    bool Fail(const std::string& message) {
        const Source& source = Current();
        const std::string where = source.includeName.empty() ? "effect" : "effect include " + source.includeName;
        error_ = where + " line " + std::to_string(source.lineNumber) + ": " + message;
        return false;
    }

    bool IncludeStatement(std::string_view name) {
        for (const EffectInclude& include : includes_) {
            if (include.name != name) continue;
            if (sources_.size() > kMaxIncludeDepth) return Fail("includes nest too deep at \"" + std::string(name) + "\"");
            sources_.push_back({include.text, 0, 0, std::string(name)});
            return true;
        }
        return Fail("no include named \"" + std::string(name) + "\"");
    }

    bool Statement(const std::vector<std::string_view>& words) {
        const std::string_view keyword = words[0];
        if (inPass_) return PassStatement(words);
        if (keyword == "parameter") return ParameterStatement(words);
        if (keyword == "sampler") return SamplerStatement(words);
        if (keyword == "include" && words.size() == 2) return IncludeStatement(words[1]);
        if (keyword == "common" && words.size() == 1) {
            std::string code;
            if (!CodeBlock(code)) return false;
            effect_.common += code;
            return true;
        }
        if ((keyword == "vertex" || keyword == "fragment") && words.size() == 2 && IsIdentifier(words[1])) {
            auto& blocks = keyword == "vertex" ? effect_.vertexCode : effect_.fragmentCode;
            auto [entry, added] = blocks.try_emplace(std::string(words[1]));
            if (!added) return Fail(std::string(keyword) + " program \"" + std::string(words[1]) + "\" defined twice");
            return CodeBlock(entry->second);
        }
        if (keyword == "technique" && words.size() == 2 && IsIdentifier(words[1])) {
            effect_.techniques.push_back({std::string(words[1]), {}});
            return true;
        }
        if (keyword == "pass" && words.size() <= 2) {
            if (effect_.techniques.empty()) return Fail("a pass outside any technique");
            effect_.techniques.back().passes.push_back({words.size() == 2 ? std::string(words[1]) : std::string(), {}, {}, {}});
            inPass_ = true;
            return true;
        }
        return Fail("unknown statement \"" + std::string(keyword) + "\"");
    }

    bool CodeBlock(std::string& code) {
        const std::size_t firstLine = Current().lineNumber + 1;
        std::string_view line;
        while (NextLine(line, true)) {
            if (Trim(line) == "end") {
                code = "#line " + std::to_string(firstLine) + "\n" + code;
                return true;
            }
            code.append(line).append("\n");
        }
        Current().lineNumber = firstLine - 1;  // point at the block's first line
        return Fail("a code block is not closed with \"end\"");
    }

    bool ParameterStatement(const std::vector<std::string_view>& words) {
        if (words.size() < 3) return Fail("parameter needs a type and a name");
        const auto type = Lookup(kParameterTypes, words[1]);
        if (!type) return Fail("unknown parameter type \"" + std::string(words[1]) + "\"");
        EffectParameter parameter;
        parameter.type = *type;
        std::string_view name = words[2];
        if (const auto bracket = name.find('['); bracket != std::string_view::npos) {
            const auto size = name.ends_with(']') ? Number(name.substr(bracket + 1, name.size() - bracket - 2)) : std::nullopt;
            if (!size || *size == 0 || *size > kMaxArraySize || *type == EffectParameterType::Texture ||
                *type == EffectParameterType::Mat4)
                return Fail("bad array size in \"" + std::string(name) + "\"");
            parameter.arraySize = *size;
            name = name.substr(0, bracket);
        }
        if (!IsIdentifier(name)) return Fail("bad parameter name \"" + std::string(name) + "\"");
        if (effect_.FindParameter(name)) return Fail("parameter \"" + std::string(name) + "\" declared twice");
        parameter.name = std::string(name);
        parameter.defaults.assign(parameter.FloatCount(), 0.0f);
        if (*type == EffectParameterType::Texture && words.size() > 3) {
            const auto textureDefault = words.size() == 5 && words[3] == "=" ? TextureDefault(words[4]) : std::nullopt;
            if (!textureDefault) return Fail("bad default of texture \"" + parameter.name + "\" (white, black or bound)");
            parameter.textureDefault = *textureDefault;
        } else if (words.size() > 3) {
            if (words[3] != "=" || words.size() - 4 > parameter.defaults.size())
                return Fail("bad default of parameter \"" + parameter.name + "\"");
            for (std::size_t i = 4; i < words.size(); ++i) {
                const auto value = Float(words[i]);
                if (!value) return Fail("bad number \"" + std::string(words[i]) + "\"");
                parameter.defaults[i - 4] = *value;
            }
        }
        effect_.parameters.push_back(std::move(parameter));
        return true;
    }

    bool SamplerStatement(const std::vector<std::string_view>& words) {
        EffectParameter* texture = words.size() >= 2 ? FindTexture(words[1]) : nullptr;
        if (!texture) return Fail("sampler names no texture parameter declared before it");
        for (std::size_t i = 2; i < words.size(); ++i) {
            const auto equals = words[i].find('=');
            const auto state = equals == std::string_view::npos ? std::nullopt : Lookup(kSamplerStates, words[i].substr(0, equals));
            if (!state) return Fail("unknown sampler state \"" + std::string(words[i]) + "\"");
            const std::string_view valueText = words[i].substr(equals + 1);
            const bool filter = *state == SamplerState::MagFilter || *state == SamplerState::MinFilter ||
                                *state == SamplerState::MipFilter;
            auto value = filter ? Lookup(kFilterValues, valueText) : std::nullopt;
            if (!value) value = Lookup(kValues, valueText);
            if (!value) value = Number(valueText);
            if (!value) return Fail("unknown sampler value \"" + std::string(valueText) + "\"");
            texture->samplerStates.emplace_back(*state, *value);
        }
        return true;
    }

    EffectParameter* FindTexture(std::string_view name) {
        for (auto& parameter : effect_.parameters)
            if (parameter.name == name && parameter.type == EffectParameterType::Texture) return &parameter;
        return nullptr;
    }

    bool PassStatement(const std::vector<std::string_view>& words) {
        EffectPass& pass = effect_.techniques.back().passes.back();
        const std::string_view keyword = words[0];
        if (keyword == "end" && words.size() == 1) {
            inPass_ = false;
            return true;
        }
        if ((keyword == "vertex" || keyword == "fragment") && words.size() == 2) {
            (keyword == "vertex" ? pass.vertex : pass.fragment) = std::string(words[1]);
            return true;
        }
        if (keyword == "state" && words.size() == 3) {
            const auto state = Lookup(kRenderStates, words[1]);
            if (!state) return Fail("unknown render state \"" + std::string(words[1]) + "\"");
            auto value = Lookup(kValues, words[2]);
            if (!value) value = Number(words[2]);
            if (!value) return Fail("unknown value \"" + std::string(words[2]) + "\"");
            pass.states.emplace_back(*state, *value);
            return true;
        }
        return Fail("unknown pass statement \"" + std::string(keyword) + "\"");
    }

    // Every pass names programs that exist; there is a technique.
    bool Check() {
        if (effect_.techniques.empty()) return Fail("the effect has no technique");
        for (const auto& technique : effect_.techniques) {
            if (technique.passes.empty()) return Fail("technique \"" + technique.name + "\" has no pass");
            for (const auto& pass : technique.passes) {
                if (!effect_.vertexCode.contains(pass.vertex))
                    return Fail("technique \"" + technique.name + "\" names no vertex program \"" + pass.vertex + "\"");
                if (!effect_.fragmentCode.contains(pass.fragment))
                    return Fail("technique \"" + technique.name + "\" names no fragment program \"" + pass.fragment + "\"");
            }
        }
        return true;
    }

    static std::optional<EffectTextureDefault> TextureDefault(std::string_view name) {
        if (name == "white") return EffectTextureDefault::OpaqueWhite;
        if (name == "black") return EffectTextureDefault::OpaqueBlack;
        if (name == "bound") return EffectTextureDefault::Bound;
        return std::nullopt;
    }

    std::string& error_;
    std::span<const EffectInclude> includes_;
    std::vector<Source> sources_;
    bool inPass_ = false;
    EffectDescription effect_;
};

std::string Declarations(const std::vector<EffectParameter>& parameters) {
    std::string out;
    for (const auto& parameter : parameters) {
        out.append("uniform ").append(GlslType(parameter.type)).append(" ").append(parameter.name);
        if (parameter.arraySize > 0) out.append("[").append(std::to_string(parameter.arraySize)).append("]");
        out.append(";\n");
    }
    return out;
}

}  // namespace

std::uint32_t EffectParameter::FloatCount() const { return FloatsPerElement(type) * std::max(arraySize, 1u); }

const EffectParameter* EffectDescription::FindParameter(std::string_view name) const {
    for (const auto& parameter : parameters)
        if (parameter.name == name) return &parameter;
    return nullptr;
}

std::string EffectDescription::VertexSource(const EffectPass& pass) const {
    return Declarations(parameters) + common + vertexCode.at(pass.vertex);
}

std::string EffectDescription::FragmentSource(const EffectPass& pass) const {
    return Declarations(parameters) + common + fragmentCode.at(pass.fragment);
}

bool IsEffectFile(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kMagic.size() && std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) == 0;
}

std::optional<EffectDescription> ParseEffectFile(std::span<const std::uint8_t> bytes, std::string& error,
                                                 std::span<const EffectInclude> includes) {
    if (!IsEffectFile(bytes)) {
        error = "not an effect of ours";
        return std::nullopt;
    }
    if (bytes.size() > kMaxEffectFileBytes) {
        error = "effect file too large";
        return std::nullopt;
    }
    if (std::memchr(bytes.data(), 0, bytes.size())) {
        error = "effect file holds a NUL byte";
        return std::nullopt;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return EffectParser(text, error, includes).Parse();
}

}  // namespace gfx

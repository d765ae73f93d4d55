#include "platform/gfx/FixedFunction.h"

#include <cstring>
#include <string_view>

namespace gfx {
namespace {

static_assert(sizeof(FixedFunctionStageKey) == 12);
static_assert(sizeof(FixedFunctionKey) == 16 + kMaxTextureStages * sizeof(FixedFunctionStageKey),
              "the key must have no padding: it is hashed and compared as bytes");

std::uint8_t ResolveSource(std::uint32_t source, bool colorVertex, const VertexLayout& layout)
{
    if (colorVertex && source == std::uint32_t(MaterialColorSource::Color1) && layout.Has(VertexAttribute::Diffuse))
        return std::uint8_t(MaterialColorSource::Color1);
    if (colorVertex && source == std::uint32_t(MaterialColorSource::Color2) && layout.Has(VertexAttribute::Specular))
        return std::uint8_t(MaterialColorSource::Color2);
    return std::uint8_t(MaterialColorSource::Material);
}

bool ReadsTexture(std::uint32_t arg) { return (arg & TextureArg::SelectMask) == TextureArg::Texture; }

bool UsesArg1(TextureOp op) { return op == TextureOp::SelectArg1 || op == TextureOp::Modulate; }
bool UsesArg2(TextureOp op) { return op == TextureOp::SelectArg2 || op == TextureOp::Modulate; }

FixedFunctionStageKey MakeStageKey(const DeviceState& state, std::uint32_t stage, bool textureBound)
{
    auto get = [&](TextureStageState s) { return state.GetTextureStageState(stage, s); };
    FixedFunctionStageKey key;
    const TextureOp colorOp = TextureOp(get(TextureStageState::ColorOp));
    key.colorOp = std::uint8_t(colorOp);
    if (UsesArg1(colorOp))
        key.colorArg1 = std::uint8_t(get(TextureStageState::ColorArg1));
    if (UsesArg2(colorOp))
        key.colorArg2 = std::uint8_t(get(TextureStageState::ColorArg2));
    const TextureOp alphaOp = TextureOp(get(TextureStageState::AlphaOp));
    key.alphaOp = std::uint8_t(alphaOp);
    if (UsesArg1(alphaOp))
        key.alphaArg1 = std::uint8_t(get(TextureStageState::AlphaArg1));
    if (UsesArg2(alphaOp))
        key.alphaArg2 = std::uint8_t(get(TextureStageState::AlphaArg2));

    const bool samples = colorOp == TextureOp::BumpEnvMap || ReadsTexture(key.colorArg1) ||
                         ReadsTexture(key.colorArg2) || ReadsTexture(key.alphaArg1) || ReadsTexture(key.alphaArg2);
    if (!samples || !textureBound)
        return key;
    key.textureBound = 1;
    const std::uint32_t index = get(TextureStageState::TexCoordIndex);
    key.coordinateGen = std::uint8_t(index >> 16);
    key.coordinateSet = key.coordinateGen == 0 ? std::uint8_t(index & TexCoordIndex::SetMask) : 0;
    const std::uint32_t flags = get(TextureStageState::TextureTransformFlags);
    key.transformCount = std::uint8_t(flags & 0xFFu);
    key.projected = key.transformCount > 0 && (flags & TextureTransform::Projected) ? 1 : 0;
    return key;
}

// ---- Source generation ------------------------------------------------------

std::string_view SourceExpression(std::uint8_t source, std::string_view material)
{
    switch (MaterialColorSource(source)) {
    case MaterialColorSource::Color1:
        return "gfx_Diffuse";
    case MaterialColorSource::Color2:
        return "gfx_Specular";
    case MaterialColorSource::Material:
        break;
    }
    return material;
}

void AppendLighting(std::string& s, const FixedFunctionKey& key)
{
    const std::string count = std::to_string(key.lightCount);
    if (key.lightCount > 0) {
        s += "uniform vec3 ffp_LightDirection[" + count + "];\n";
        s += "uniform vec4 ffp_LightDiffuse[" + count + "];\n";
        s += "uniform vec4 ffp_LightSpecular[" + count + "];\n";
        s += "uniform vec4 ffp_LightAmbient[" + count + "];\n";
    }
    s += "uniform vec4 ffp_MaterialDiffuse;\nuniform vec4 ffp_MaterialAmbient;\nuniform vec4 ffp_MaterialSpecular;\n"
         "uniform vec4 ffp_MaterialEmissive;\nuniform float ffp_MaterialPower;\nuniform vec4 ffp_GlobalAmbient;\n";
}

void AppendLitColors(std::string& s, const FixedFunctionKey& key)
{
    s += "    vec4 matDiffuse = ";
    s += SourceExpression(key.diffuseSource, "ffp_MaterialDiffuse");
    s += ";\n    vec4 matAmbient = ";
    s += SourceExpression(key.ambientSource, "ffp_MaterialAmbient");
    s += ";\n    vec4 matSpecular = ";
    s += SourceExpression(key.specularSource, "ffp_MaterialSpecular");
    s += ";\n    vec4 matEmissive = ";
    s += SourceExpression(key.emissiveSource, "ffp_MaterialEmissive");
    s += ";\n    vec3 diffuseSum = vec3(0.0);\n    vec3 ambientSum = vec3(0.0);\n    vec3 specularSum = vec3(0.0);\n";
    s += key.localViewer ? "    vec3 toEye = normalize(-viewPosition.xyz);\n" : "    vec3 toEye = vec3(0.0, 0.0, -1.0);\n";
    if (key.lightCount > 0) {
        s += "    for (int i = 0; i < " + std::to_string(key.lightCount) + "; ++i) {\n"
             "        vec3 toLight = -ffp_LightDirection[i];\n"
             "        float nl = dot(normal, toLight);\n"
             "        ambientSum += ffp_LightAmbient[i].rgb;\n"
             "        if (nl > 0.0) {\n"
             "            diffuseSum += ffp_LightDiffuse[i].rgb * nl;\n";
        if (key.specular)
            s += "            vec3 halfway = toLight + toEye;\n"
                 "            halfway /= max(length(halfway), 1e-6);\n"
                 "            float nh = dot(normal, halfway);\n"
                 "            if (nh > 0.0)\n"
                 "                specularSum += ffp_LightSpecular[i].rgb * pow(nh, ffp_MaterialPower);\n";
        s += "        }\n    }\n";
    }
    s += "    ffp_Diffuse = vec4(clamp(matEmissive.rgb + matAmbient.rgb * (ffp_GlobalAmbient.rgb + ambientSum)"
         " + matDiffuse.rgb * diffuseSum, 0.0, 1.0), matDiffuse.a);\n"
         "    ffp_Specular = vec4(clamp(matSpecular.rgb * specularSum, 0.0, 1.0), matSpecular.a);\n";
}

// The coordinate a stage's texture matrix (or sampler) takes as input.
std::string CoordinateInput(const FixedFunctionStageKey& stage, std::uint32_t sets)
{
    const bool transformed = stage.transformCount > 0;
    switch (stage.coordinateGen) {
    case 1:
        return "vec4(normal, 1.0)";
    case 2:
        return "vec4(viewPosition.xyz, 1.0)";
    case 3:
        return "vec4(reflect(normalize(viewPosition.xyz), normal), 1.0)";
    default:
        break;
    }
    const std::string uv = stage.coordinateSet < sets ? "gfx_TexCoord" + std::to_string(stage.coordinateSet) : "vec2(0.0)";
    return transformed ? "vec4(" + uv + ", 1.0, 0.0)" : "vec4(" + uv + ", 0.0, 1.0)";
}

} // namespace

std::size_t FixedFunctionKeyHash::operator()(const FixedFunctionKey& key) const
{
    unsigned char bytes[sizeof(FixedFunctionKey)];
    std::memcpy(bytes, &key, sizeof bytes);
    std::uint64_t hash = 1469598103934665603ull; // FNV-1a
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return std::size_t(hash);
}

FixedFunctionKey MakeFixedFunctionKey(const DeviceState& state, const VertexLayout& layout, std::uint32_t boundTextures)
{
    auto render = [&](RenderState s) { return state.GetRenderState(s); };
    FixedFunctionKey key;
    key.fvf = layout.fvf;
    key.specular = render(RenderState::SpecularEnable) ? 1 : 0;
    if (!layout.preTransformed && render(RenderState::Lighting)) {
        key.lighting = 1;
        for (std::uint32_t i = 0; i < kMaxLights; ++i)
            key.lightCount = std::uint8_t(key.lightCount + (state.IsLightEnabled(i) ? 1 : 0));
        key.localViewer = render(RenderState::LocalViewer) ? 1 : 0;
        key.normalizeNormals = render(RenderState::NormalizeNormals) ? 1 : 0;
        const bool colorVertex = render(RenderState::ColorVertex) != 0;
        key.diffuseSource = ResolveSource(render(RenderState::DiffuseMaterialSource), colorVertex, layout);
        key.specularSource = ResolveSource(render(RenderState::SpecularMaterialSource), colorVertex, layout);
        key.ambientSource = ResolveSource(render(RenderState::AmbientMaterialSource), colorVertex, layout);
        key.emissiveSource = ResolveSource(render(RenderState::EmissiveMaterialSource), colorVertex, layout);
    }
    const std::uint32_t alphaFunc = render(RenderState::AlphaFunc);
    if (render(RenderState::AlphaTestEnable) && alphaFunc != std::uint32_t(Cmp::Always))
        key.alphaFunc = std::uint8_t(alphaFunc);
    for (std::uint32_t stage = 0; stage < kMaxTextureStages; ++stage) {
        if (TextureOp(state.GetTextureStageState(stage, TextureStageState::ColorOp)) == TextureOp::Disable)
            break;
        key.stages[stage] = MakeStageKey(state, stage, (boundTextures >> stage) & 1u);
    }
    return key;
}

std::string FixedFunctionVertexSource(const FixedFunctionKey& key)
{
    const std::optional<VertexLayout> layout = DecodeFvf(key.fvf);
    const std::uint32_t sets = layout ? layout->texCoordSets : 0;
    std::string s;
    s += "uniform mat4 ffp_WorldView;\nuniform mat3 ffp_NormalMatrix;\n"
         "uniform mat4 ffp_TexMatrix0;\nuniform mat4 ffp_TexMatrix1;\n";
    if (key.lighting)
        AppendLighting(s, key);
    s += "out vec4 ffp_Diffuse;\nout vec4 ffp_Specular;\nout vec4 ffp_Tex0;\nout vec4 ffp_Tex1;\n\n";
    s += "void main()\n{\n    gl_Position = gfx_TransformVertex();\n";
    s += "    vec4 viewPosition = vec4(gfx_Position.xyz, 1.0) * ffp_WorldView;\n";
    s += "    vec3 normal = gfx_Normal * ffp_NormalMatrix;\n";
    if (key.normalizeNormals)
        s += "    normal /= max(length(normal), 1e-20);\n";
    if (key.lighting)
        AppendLitColors(s, key);
    else
        s += "    ffp_Diffuse = gfx_Diffuse;\n    ffp_Specular = gfx_Specular;\n";
    for (std::uint32_t i = 0; i < kMaxTextureStages; ++i) {
        const FixedFunctionStageKey& stage = key.stages[i];
        const std::string out = "ffp_Tex" + std::to_string(i);
        if (!stage.textureBound) {
            s += "    " + out + " = vec4(0.0, 0.0, 0.0, 1.0);\n";
            continue;
        }
        s += "    " + out + " = " + CoordinateInput(stage, sets);
        if (stage.transformCount > 0)
            s += " * ffp_TexMatrix" + std::to_string(i);
        s += ";\n";
    }
    s += "}\n";
    return s;
}

namespace {

std::string ArgExpression(std::uint8_t arg)
{
    std::string value;
    switch (arg & TextureArg::SelectMask) {
    case TextureArg::Diffuse:
        value = "ffp_Diffuse";
        break;
    case TextureArg::Current:
        value = "current";
        break;
    case TextureArg::Texture:
        value = "tex";
        break;
    case TextureArg::TFactor:
        value = "ffp_TextureFactor";
        break;
    default:
        value = "ffp_Specular";
        break;
    }
    if (arg & TextureArg::AlphaReplicate)
        value = "vec4(" + value + ".a)";
    if (arg & TextureArg::Complement)
        value = "(vec4(1.0) - " + value + ")";
    return value;
}

// The stage operation on arguments, for the colour (".rgb") or alpha (".a").
std::string OpExpression(std::uint8_t op, std::uint8_t arg1, std::uint8_t arg2, std::string_view part)
{
    const std::string a = ArgExpression(arg1) + std::string(part);
    const std::string b = ArgExpression(arg2) + std::string(part);
    switch (TextureOp(op)) {
    case TextureOp::SelectArg1:
        return a;
    case TextureOp::SelectArg2:
        return b;
    case TextureOp::Modulate:
        return a + " * " + b;
    default:
        return "current" + std::string(part); // Disable (alpha) and BumpEnvMap (colour) keep what there is
    }
}

std::string_view AlphaComparison(std::uint8_t func)
{
    switch (Cmp(func)) {
    case Cmp::Never:
        return "false";
    case Cmp::Less:
        return "alpha < ffp_AlphaRef";
    case Cmp::Equal:
        return "alpha == ffp_AlphaRef";
    case Cmp::LessEqual:
        return "alpha <= ffp_AlphaRef";
    case Cmp::Greater:
        return "alpha > ffp_AlphaRef";
    case Cmp::NotEqual:
        return "alpha != ffp_AlphaRef";
    case Cmp::GreaterEqual:
        return "alpha >= ffp_AlphaRef";
    case Cmp::Always:
        break;
    }
    return "true";
}

std::string StageCoordinate(const FixedFunctionStageKey& stage, std::uint32_t index)
{
    const std::string tex = "ffp_Tex" + std::to_string(index);
    if (stage.projected) {
        const char* component[] = {"x", "x", "y", "z", "w"};
        return tex + ".xy / " + tex + "." + component[stage.transformCount];
    }
    if (stage.transformCount == 1)
        return "vec2(" + tex + ".x, 0.0)";
    return tex + ".xy";
}

} // namespace

std::string FixedFunctionFragmentSource(const FixedFunctionKey& key)
{
    std::string s;
    s += "uniform sampler2D ffp_Texture0;\nuniform sampler2D ffp_Texture1;\n"
         "uniform vec4 ffp_TextureFactor;\nuniform vec4 ffp_BumpEnv0;\nuniform float ffp_AlphaRef;\n"
         "in vec4 ffp_Diffuse;\nin vec4 ffp_Specular;\nin vec4 ffp_Tex0;\nin vec4 ffp_Tex1;\n\n"
         "void main()\n{\n    vec4 current = ffp_Diffuse;\n    vec2 bump = vec2(0.0);\n";
    for (std::uint32_t i = 0; i < kMaxTextureStages; ++i) {
        const FixedFunctionStageKey& stage = key.stages[i];
        if (stage.colorOp == 0)
            break;
        const std::string index = std::to_string(i);
        s += "    {\n";
        if (stage.textureBound)
            s += "        vec4 tex = texture(ffp_Texture" + index + ", " + StageCoordinate(stage, i) + " + bump);\n";
        else
            s += "        vec4 tex = vec4(1.0);\n";
        s += "        vec3 rgb = " + OpExpression(stage.colorOp, stage.colorArg1, stage.colorArg2, ".rgb") + ";\n";
        s += "        float a = " + OpExpression(stage.alphaOp, stage.alphaArg1, stage.alphaArg2, ".a") + ";\n";
        // A bump stage without a texture has no (du, dv) to give: the next
        // stage keeps its own coordinates.
        if (TextureOp(stage.colorOp) == TextureOp::BumpEnvMap && i == 0 && stage.textureBound)
            s += "        bump = vec2(dot(tex.rg, ffp_BumpEnv0.xz), dot(tex.rg, ffp_BumpEnv0.yw));\n";
        else
            s += "        bump = vec2(0.0);\n";
        s += "        current = vec4(rgb, a);\n    }\n";
    }
    if (key.specular)
        s += "    current.rgb = min(current.rgb + ffp_Specular.rgb, vec3(1.0));\n";
    if (key.alphaFunc) {
        s += "    float alpha = floor(current.a * 255.0 + 0.5);\n";
        s += "    if (!(" + std::string(AlphaComparison(key.alphaFunc)) + "))\n        discard;\n";
    }
    s += "    gfx_FragColor = current;\n}\n";
    return s;
}

} // namespace gfx

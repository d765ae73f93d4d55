#include "platform/gfx/EffectFile.h"

#include <gtest/gtest.h>

namespace gfx {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

const std::string kSmall = R"(orvanta-effect 1
# a comment
parameter float Strength = 0.5
parameter vec4 Tint = 1 0.5 0.25
parameter float Weights[3] = 1 2 3
parameter mat4 Space
parameter texture Picture
sampler Picture AddressU=Clamp AddressV=Mirror MinFilter=Linear MipFilter=None

common
float Half(float x) { return x * 0.5; }
end

vertex V
void main() { gl_Position = gfx_TransformVertex(); }
end

fragment F
void main() { gfx_FragColor = Tint * Strength; }
end

technique Glow
pass first
  vertex V
  fragment F
  state AlphaBlendEnable True
  state SrcBlend SrcAlpha
  state DestBlend 2
  state BlendOp Max
end
pass
  vertex V
  fragment F
end
)";

TEST(EffectFileTest, ReadsParametersTechniquesPassesAndStates) {
    std::string error;
    const auto effect = ParseEffectFile(Bytes(kSmall), error);
    ASSERT_TRUE(effect) << error;
    ASSERT_EQ(effect->parameters.size(), 5u);
    EXPECT_EQ(effect->parameters[0].defaults, std::vector<float>{0.5f});
    EXPECT_EQ(effect->parameters[1].defaults, (std::vector<float>{1, 0.5f, 0.25f, 0}));
    EXPECT_EQ(effect->parameters[2].arraySize, 3u);
    EXPECT_EQ(effect->parameters[3].FloatCount(), 16u);
    const EffectParameter* picture = effect->FindParameter("Picture");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->type, EffectParameterType::Texture);
    const std::vector<std::pair<SamplerState, std::uint32_t>> samplers = {
        {SamplerState::AddressU, 3}, {SamplerState::AddressV, 2}, {SamplerState::MinFilter, 2}, {SamplerState::MipFilter, 0}};
    EXPECT_EQ(picture->samplerStates, samplers);

    ASSERT_EQ(effect->techniques.size(), 1u);
    const EffectTechnique& glow = effect->techniques[0];
    EXPECT_EQ(glow.name, "Glow");
    ASSERT_EQ(glow.passes.size(), 2u);
    EXPECT_EQ(glow.passes[0].name, "first");
    const std::vector<std::pair<RenderState, std::uint32_t>> states = {
        {RenderState::AlphaBlendEnable, 1}, {RenderState::SrcBlend, 5}, {RenderState::DestBlend, 2}, {RenderState::BlendOp, 5}};
    EXPECT_EQ(glow.passes[0].states, states);

    const std::string fragment = effect->FragmentSource(glow.passes[0]);
    for (const char* part : {"uniform float Strength;", "uniform float Weights[3];", "uniform sampler2D Picture;",
                             "float Half(float x)", "gfx_FragColor = Tint * Strength;"})
        EXPECT_NE(fragment.find(part), std::string::npos) << part;
    EXPECT_EQ(effect->VertexSource(glow.passes[0]).find("gfx_FragColor"), std::string::npos);
}

TEST(EffectFileTest, BrokenFilesAreRefusedWithTheLine) {
    const std::string tail = "vertex V\nvoid main() {}\nend\nfragment F\nvoid main() {}\nend\n";
    const std::string pass = "technique T\npass\nvertex V\nfragment F\nend\n";
    struct Case {
        const char* what;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"HLSL", "float4 main() : COLOR { return 0; }", "not an effect of ours"},
        {"no technique", "orvanta-effect 1\n" + tail, "no technique"},
        {"technique without pass", "orvanta-effect 1\n" + tail + "technique T\n", "has no pass"},
        {"missing program", "orvanta-effect 1\n" + tail + "technique T\npass\nvertex V\nfragment G\nend\n", "no fragment program \"G\""},
        {"unclosed code", "orvanta-effect 1\nvertex V\nvoid main() {}\n", "line 2: a code block is not closed"},
        {"unclosed pass", "orvanta-effect 1\n" + tail + "technique T\npass\nvertex V\n", "pass is not closed"},
        {"unknown statement", "orvanta-effect 1\nshader X\n", "line 2: unknown statement"},
        {"unknown state", "orvanta-effect 1\n" + tail + "technique T\npass\nstate Fog True\nend\n", "unknown render state"},
        {"unknown value", "orvanta-effect 1\n" + tail + "technique T\npass\nstate SrcBlend Purple\nend\n", "unknown value"},
        {"duplicate parameter", "orvanta-effect 1\nparameter float A\nparameter vec2 A\n" + tail + pass, "declared twice"},
        {"too many defaults", "orvanta-effect 1\nparameter vec2 A = 1 2 3\n" + tail + pass, "bad default"},
        {"huge array", "orvanta-effect 1\nparameter float A[100000000]\n" + tail + pass, "bad array size"},
        {"reserved name", "orvanta-effect 1\nparameter float gfx_World\n" + tail + pass, "bad parameter name"},
        {"sampler of nothing", "orvanta-effect 1\nsampler T AddressU=Clamp\n" + tail + pass, "sampler names no texture"},
        {"program twice", "orvanta-effect 1\n" + tail + tail + pass, "defined twice"},
        {"NUL byte", std::string("orvanta-effect 1\n\0", 18) + tail + pass, "NUL"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseEffectFile(Bytes(c.text), error)) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    }
}

}  // namespace
}  // namespace gfx

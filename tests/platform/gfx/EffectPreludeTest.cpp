// Effects that include a prelude the caller hands over, and texture
// parameters that sample as their declared default while no texture is set.

#include <string>
#include <string_view>

#include "GfxTestSupport.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/EffectFile.h"

namespace gfx::test {
namespace {

constexpr std::uint32_t kSide = 8;

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A prelude with a texture whose default is white, a helper and the vertex
// program; the effect draws Tint x texture.
constexpr std::string_view kPrelude = R"(parameter texture Mask = white
sampler Mask AddressU=Clamp AddressV=Clamp MinFilter=Point MagFilter=Point MipFilter=None
common
vec4 MaskColour(vec2 uv) { return texture(Mask, uv); }
end
vertex Plain
out vec2 uv;
void main()
{
    uv = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end
)";

constexpr std::string_view kEffect = R"(orvanta-effect 1
include masked
parameter vec4 Tint = 1 1 1 1
parameter texture Other
fragment Draw
in vec2 uv;
void main()
{
    gfx_FragColor = MaskColour(uv) * Tint + texture(Other, uv) * 0.0;
}
end
technique Main
pass
    vertex Plain
    fragment Draw
    state AlphaBlendEnable False
    state CullMode None
    state ZEnable False
end
)";

const EffectInclude kIncludes[] = {{"masked", kPrelude}};

class EffectPreludeTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        device = MakeDevice(kSide, kSide, &error);
        ASSERT_NE(device, nullptr) << error;
        device->SetRenderState(RenderState::Lighting, kFalse);
        device->SetRenderState(RenderState::ZEnable, kFalse);
        target = MakeRenderTarget(*device, kSide, kSide);
        ASSERT_EQ(device->SetRenderTarget(0, target->SurfaceLevel(0).Get()), kOk);
    }

    // The pixel in the middle after drawing the whole target with `effect`.
    std::uint32_t DrawnCentre(Effect& effect) {
        device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        std::uint32_t passes = 0;
        EXPECT_EQ(effect.Begin(&passes, 0), kOk);
        for (std::uint32_t pass = 0; pass < passes; ++pass) {
            effect.BeginPass(pass);
            EXPECT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kSide, kSide)), kOk);
            effect.EndPass();
        }
        effect.End();
        return ReadTarget(*device)[(kSide / 2) * kSide + kSide / 2];
    }

    std::unique_ptr<Device> device;
    Ref<Texture> target;
};

TEST_F(EffectPreludeTest, AnIncludedPreludeDeclaresAndDefinesWhatTheEffectUses) {
    Effect* raw = nullptr;
    std::string error;
    ASSERT_EQ(Effect::Create(*device, Bytes(kEffect), &raw, &error, kIncludes), kOk) << error;
    const auto effect = Ref<Effect>::Adopt(raw);
    EXPECT_TRUE(effect->HasParameter("Mask"));
    // No mask set: the white default shows the tint.
    effect->SetVector("Tint", math::Vec4{1.0f, 0.0f, 0.0f, 1.0f});
    EXPECT_EQ(DrawnCentre(*effect) & 0xFFFFFF, 0xFF0000u);
    // A set mask replaces the default; setting null brings the default back.
    const auto green = MakeTexture(*device, 1, 1, {0xFF00FF00u});
    effect->SetVector("Tint", math::Vec4{1.0f, 1.0f, 1.0f, 1.0f});
    effect->SetTexture("Mask", green.Get());
    EXPECT_EQ(DrawnCentre(*effect) & 0xFFFFFF, 0x00FF00u);
    effect->SetTexture("Mask", nullptr);
    EXPECT_EQ(DrawnCentre(*effect) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(EffectPreludeTest, ATextureWithoutDefaultSamplesOpaqueBlack) {
    constexpr std::string_view kPlain = R"(orvanta-effect 1
parameter texture Other
vertex Plain
out vec2 uv;
void main() { uv = gfx_TexCoord0; gl_Position = gfx_TransformVertex(); }
end
fragment Draw
in vec2 uv;
void main() { gfx_FragColor = texture(Other, uv) + vec4(0.0, 0.0, 1.0, 0.0); }
end
technique Main
pass
    vertex Plain
    fragment Draw
    state AlphaBlendEnable False
    state CullMode None
    state ZEnable False
end
)";
    Effect* raw = nullptr;
    std::string error;
    ASSERT_EQ(Effect::Create(*device, Bytes(kPlain), &raw, &error), kOk) << error;
    const auto effect = Ref<Effect>::Adopt(raw);
    EXPECT_EQ(DrawnCentre(*effect), 0xFF0000FFu);
}

TEST(EffectPreludeParseTest, BadIncludesAndTextureDefaultsAreRefusedWithTheirPlace) {
    struct Case {
        const char* what;
        std::string text;
        std::span<const EffectInclude> includes;
        const char* error;
    };
    static const EffectInclude kSelf[] = {{"self", "include self\n"}};
    const Case cases[] = {
        {"unknown include", "orvanta-effect 1\ninclude nothing\n", kIncludes, "effect line 2: no include named"},
        {"no includes handed over", "orvanta-effect 1\ninclude masked\n", {}, "effect line 2: no include named"},
        {"include of itself", "orvanta-effect 1\ninclude self\n", kSelf, "nest too deep"},
        {"bad texture default", "orvanta-effect 1\nparameter texture T = grey\n", {}, "bad default of texture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_FALSE(ParseEffectFile(Bytes(c.text), error, c.includes));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    static const EffectInclude kBroken[] = {{"broken", "parameter float\n"}};
    std::string error;
    EXPECT_FALSE(ParseEffectFile(Bytes("orvanta-effect 1\ninclude broken\n"), error, kBroken));
    EXPECT_NE(error.find("effect include broken line 1:"), std::string::npos) << error;
}

}  // namespace
}  // namespace gfx::test

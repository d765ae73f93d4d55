// A texture parameter declared "= bound" samples what the caller bound to its
// slot: the stage-0 textured-quad effect draws whatever texture stage 0
// holds, takes no texture of its own, and leaves the slot as it found it.

#include "platform/gfx/Effect.h"

#include <filesystem>
#include <fstream>

#include "GfxTestSupport.h"

namespace gfx::test {
namespace {

constexpr std::uint32_t kW = 8, kH = 8;

std::vector<std::uint8_t> Stage0EffectBytes() {
    // Tests run in their source folder.
    std::ifstream in(std::filesystem::path("../../../resources/effects/stage0-textured-quads.fx"), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class BoundTextureEffectTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        device = MakeDevice(kW, kH, &error);
        ASSERT_NE(device, nullptr) << "no headless GL device: " << error;
        device->SetRenderState(RenderState::Lighting, kFalse);
        device->SetRenderState(RenderState::ZEnable, kFalse);
        const auto bytes = Stage0EffectBytes();
        ASSERT_FALSE(bytes.empty());
        Effect* created = nullptr;
        ASSERT_EQ(Effect::Create(*device, bytes, &created, &error), kOk) << error;
        effect = Ref<Effect>::Adopt(created);
        target = MakeRenderTarget(*device, kW, kH);
        ASSERT_EQ(device->SetRenderTarget(0, target->SurfaceLevel(0).Get()), kOk);
    }

    // One quad over the whole target in `colour`, through the effect as
    // created (no technique or parameter set); the middle pixel.
    std::uint32_t DrawThroughEffect(std::uint32_t colour) {
        device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        std::uint32_t passes = 0;
        EXPECT_EQ(effect->Begin(&passes, 0), kOk);
        EXPECT_EQ(passes, 1u);
        EXPECT_EQ(effect->BeginPass(0), kOk);
        EXPECT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kW, kH, colour)), kOk);
        EXPECT_EQ(effect->EndPass(), kOk);
        EXPECT_EQ(effect->End(), kOk);
        return ReadTarget(*device)[(kH / 2) * kW + kW / 2];
    }

    std::unique_ptr<Device> device;
    Ref<Effect> effect;
    Ref<Texture> target;
};

TEST_F(BoundTextureEffectTest, ItDrawsTheTextureBoundToStageZeroTimesTheColour) {
    const auto red = MakeTexture(*device, 1, 1, {0xFFFF0000u});
    const auto green = MakeTexture(*device, 1, 1, {0xFF00FF00u});
    struct Case {
        Texture* bound;
        std::uint32_t colour;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {red.Get(), 0xFFFFFFFFu, 0xFF0000u},
        {green.Get(), 0xFFFFFFFFu, 0x00FF00u},
        // Half the colour's alpha: laid half over the black target.
        {green.Get(), 0x80FFFFFFu, 0x008000u},
        {red.Get(), 0xFF808080u, 0x800000u},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(device->SetTexture(0, c.bound), kOk);
        const std::uint32_t pixel = DrawThroughEffect(c.colour) & 0xFFFFFFu;
        for (const int shift : {0, 8, 16})
            EXPECT_NEAR(int((pixel >> shift) & 0xFF), int((c.expected >> shift) & 0xFF), 2) << std::hex << pixel;
        // The slot keeps what the caller bound: nothing was saved or restored.
        Texture* after = nullptr;
        device->GetTexture(0, &after);
        EXPECT_EQ(after, c.bound);
        if (after) after->Release();
    }
}

TEST_F(BoundTextureEffectTest, ABoundParameterTakesNoTextureOfItsOwn) {
    const auto red = MakeTexture(*device, 1, 1, {0xFFFF0000u});
    EXPECT_EQ(effect->SetTexture("Stage0", red.Get()), kInvalidCall);
    EXPECT_EQ(effect->GetTexture("Stage0"), nullptr);
}

TEST_F(BoundTextureEffectTest, OnlyKnownTextureDefaultsParse) {
    const std::string text = "orvanta-effect 1\nparameter texture T = somewhere\n";
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    Effect* created = nullptr;
    std::string error;
    EXPECT_NE(Effect::Create(*device, bytes, &created, &error), kOk);
    EXPECT_NE(error.find("bound"), std::string::npos) << error;
}

} // namespace
} // namespace gfx::test

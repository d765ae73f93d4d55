// The effect object on a headless device, driven by the glow blur effect the
// way the glow surface drives it.

#include "platform/gfx/Effect.h"

#include <filesystem>
#include <fstream>
#include <functional>

#include "GfxTestSupport.h"

namespace gfx::test {
namespace {

constexpr std::uint32_t kW = 32, kH = 8;
constexpr std::uint32_t kLineX = 16;

std::vector<std::uint8_t> BlurEffectBytes() {
    // Tests run in their source folder.
    std::ifstream in(std::filesystem::path("../../../resources/effects/gaussian-blur.fx"), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class EffectTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        device = MakeDevice(kW, kH, &error);
        ASSERT_NE(device, nullptr) << "no headless GL device: " << error;
        device->SetRenderState(RenderState::Lighting, kFalse);
        device->SetRenderState(RenderState::ZEnable, kFalse);
        const auto bytes = BlurEffectBytes();
        ASSERT_FALSE(bytes.empty());
        Effect* created = nullptr;
        ASSERT_EQ(Effect::Create(*device, bytes, &created, &error), kOk) << error;
        effect = Ref<Effect>::Adopt(created);
        // A white vertical line one pixel wide on transparent black.
        std::vector<std::uint32_t> pixels(kW * kH, 0);
        for (std::uint32_t y = 0; y < kH; ++y) pixels[y * kW + kLineX] = 0xFFFFFFFFu;
        source = MakeTexture(*device, kW, kH, pixels);
        target = MakeRenderTarget(*device, kW, kH);
        ASSERT_EQ(device->SetRenderTarget(0, target->SurfaceLevel(0).Get()), kOk);
        effect->SetFloat("TexW", float(kW));
        effect->SetFloat("TexH", float(kH));
        effect->SetTexture("Texture", source.Get());
    }

    // Runs every pass of the current technique over the whole target; the
    // row in the middle of the result, one byte (red) per pixel.
    std::vector<int> BlurredRow(const std::function<void()>& insidePass = {}) {
        device->Clear(0, nullptr, ClearFlags::Target, 0, 1.0f, 0);
        std::uint32_t passes = 0;
        EXPECT_EQ(effect->Begin(&passes, 0), kOk);
        for (std::uint32_t pass = 0; pass < passes; ++pass) {
            EXPECT_EQ(effect->BeginPass(pass), kOk);
            if (insidePass) insidePass();
            EXPECT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kW, kH)), kOk);
            EXPECT_EQ(effect->EndPass(), kOk);
        }
        EXPECT_EQ(effect->End(), kOk);
        const auto pixels = ReadTarget(*device);
        std::vector<int> row;
        for (std::uint32_t x = 0; x < kW; ++x) row.push_back(int((pixels[(kH / 2) * kW + x] >> 16) & 0xFF));
        return row;
    }

    std::unique_ptr<Device> device;
    Ref<Effect> effect;
    Ref<Texture> source, target;
};

// 255 x the nine weights, centre first.
constexpr int kSpread[5] = {58, 50, 31, 14, 4};

TEST_F(EffectTest, HorizontalBlurSpreadsALineIntoTheGaussian) {
    ASSERT_EQ(effect->SetTechnique("GaussianBlurH"), kOk);
    const auto row = BlurredRow();
    for (int d = -6; d <= 6; ++d) {
        const int expected = std::abs(d) < 5 ? kSpread[std::abs(d)] : 0;
        EXPECT_NEAR(row[kLineX + d], expected, 2) << "offset " << d;
    }
}

TEST_F(EffectTest, SwitchingTechniqueChangesTheDirection) {
    for (const char* vertical : {"GaussianBlurV", "GaussianBlurVFirst"}) {
        ASSERT_EQ(effect->SetTechnique(vertical), kOk);
        EXPECT_EQ(effect->CurrentTechnique(), vertical);
        // A vertical blur of a full-height vertical line leaves it as it was.
        const auto row = BlurredRow();
        EXPECT_NEAR(row[kLineX], 255, 2) << vertical;
        EXPECT_EQ(row[kLineX - 1], 0) << vertical;
        EXPECT_EQ(row[kLineX + 1], 0) << vertical;
    }
    ASSERT_EQ(effect->SetTechnique("GaussianBlurH"), kOk);
    EXPECT_NEAR(BlurredRow()[kLineX + 1], kSpread[1], 2);
}

TEST_F(EffectTest, UnknownNamesAreIgnored) {
    ASSERT_EQ(effect->SetTechnique("GaussianBlurH"), kOk);
    const auto before = BlurredRow();
    EXPECT_EQ(effect->SetTechnique("NoSuchTechnique"), kInvalidCall);
    EXPECT_EQ(effect->CurrentTechnique(), "GaussianBlurH");
    EXPECT_EQ(effect->SetFloat("NoSuchParameter", 3.0f), kInvalidCall);
    EXPECT_EQ(effect->SetTexture("TexW", source.Get()), kInvalidCall);  // not a texture
    EXPECT_EQ(BlurredRow(), before);
}

TEST_F(EffectTest, ChangesInsideAPassArriveAtCommit) {
    ASSERT_EQ(effect->SetTechnique("GaussianBlurH"), kOk);
    // Half the width: taps two pixels apart, so odd offsets stay dark.
    const auto row = BlurredRow([&] {
        effect->SetFloat("TexW", float(kW / 2));
        EXPECT_EQ(effect->CommitChanges(), kOk);
    });
    EXPECT_NEAR(row[kLineX + 2], kSpread[1], 2);
    EXPECT_EQ(row[kLineX + 1], 0);
}

TEST_F(EffectTest, EndRestoresTheStatesThePassesChanged) {
    ASSERT_EQ(device->SetRenderState(RenderState::AlphaBlendEnable, kTrue), kOk);
    std::uint32_t passes = 0, value = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), kOk);
    ASSERT_EQ(effect->BeginPass(0), kOk);
    device->GetRenderState(RenderState::AlphaBlendEnable, &value);
    EXPECT_EQ(value, kFalse);
    EXPECT_EQ(effect->BeginPass(1), kInvalidCall);  // a pass is already running
    ASSERT_EQ(effect->EndPass(), kOk);
    ASSERT_EQ(effect->End(), kOk);
    device->GetRenderState(RenderState::AlphaBlendEnable, &value);
    EXPECT_EQ(value, kTrue);
    Texture* bound = nullptr;
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);  // the slot the effect used is given back
    EXPECT_EQ(effect->End(), kInvalidCall);
}

TEST_F(EffectTest, BytesOfAnotherFormatMakeNoEffect) {
    const std::string hlsl = "float4 main(float2 uv : TEXCOORD0) : COLOR { return 0; }";
    const std::string brokenGlsl = std::string("orvanta-effect 1\nvertex V\nvoid main() { nonsense }\nend\n"
                                               "fragment F\nvoid main() { gfx_FragColor = vec4(1); }\nend\n"
                                               "technique T\npass\nvertex V\nfragment F\nend\n");
    for (const std::string& text : {hlsl, brokenGlsl, std::string()}) {
        Effect* created = reinterpret_cast<Effect*>(1);
        std::string error;
        EXPECT_EQ(Effect::Create(*device, std::vector<std::uint8_t>(text.begin(), text.end()), &created, &error), kInvalidCall);
        EXPECT_EQ(created, nullptr);
        EXPECT_FALSE(error.empty());
    }
}

TEST_F(EffectTest, ReferenceCountingKeepsTheEffectAlive) {
    Effect* raw = effect.Get();
    EXPECT_EQ(raw->AddRef(), 2u);
    effect.Reset();
    EXPECT_EQ(raw->OnLostDevice(), kOk);
    EXPECT_EQ(raw->OnResetDevice(), kOk);
    EXPECT_EQ(raw->SetTechnique("GaussianBlurV"), kOk);
    EXPECT_EQ(raw->Release(), 0u);
}

}  // namespace
}  // namespace gfx::test

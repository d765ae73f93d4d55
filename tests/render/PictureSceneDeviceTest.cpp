// A lost device takes the picture scene's render targets; the reset brings
// back every losable object of the document, the render-target pair and the
// device states the scene draws with.

#include "render/PrerenderSurface.h"
#include "tests/render/PictureSceneTestSupport.h"

namespace picture_scene_test {
namespace {

std::uint32_t RenderStateOf(gfx::Device& device, gfx::RenderState state)
{
    std::uint32_t value = 0xFFFFFFFFu;
    device.GetRenderState(state, &value);
    return value;
}

std::uint32_t SamplerStateOf(gfx::Device& device, gfx::SamplerState state)
{
    std::uint32_t value = 0xFFFFFFFFu;
    device.GetSamplerState(0, state, &value);
    return value;
}

std::uint32_t StageStateOf(gfx::Device& device, std::uint32_t stage, gfx::TextureStageState state)
{
    std::uint32_t value = 0xFFFFFFFFu;
    device.GetTextureStageState(stage, state, &value);
    return value;
}

TEST_F(PictureSceneTest, LostAndResetRestoreLosableObjectsAndThePair)
{
    auto light = MakeStripesLight(PicturePosition::kStretch);
    auto effect = LoadTestEffect();
    ProbeLog log;
    const RenderObjectList objects = {ReaderProbe("reader", log, *effect)};
    light->RenderFrame(objects, false);
    ASSERT_NE(light->GetTargetTexture(), nullptr);

    KXI_PrerenderSurface surface;
    ASSERT_TRUE(surface.SetSize(16, 8));
    ASSERT_TRUE(surface.IsRegistered());
    ASSERT_TRUE(light->Pair().IsValid());

    device->ForceDeviceLost();
    manager->OnLostDevice();
    light->OnLostDevice();
    EXPECT_EQ(surface.Texture(), nullptr);
    EXPECT_FALSE(light->Pair().HasTextures());
    EXPECT_EQ(light->Pair().CurrentTexture(), nullptr);
    EXPECT_EQ(light->GetTargetTexture(), nullptr);

    device->AllowReset();
    ASSERT_EQ(device->Reset(parameters), gfx::kOk) << "a default-pool resource outlived the loss";

    light->OnResetDevice();
    ASSERT_NE(surface.Texture(), nullptr) << "the resource manager did not restore its losable objects";
    EXPECT_EQ(LevelZeroSize(surface.Texture()).width, 16u);
    ASSERT_TRUE(light->Pair().IsValid());
    EXPECT_EQ(light->Pair().Width(), std::int32_t(kTargetSize));
    EXPECT_EQ(light->Pair().Height(), std::int32_t(kTargetSize));

    // The states the scene draws with.
    EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::ZEnable), gfx::kFalse);
    EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::Lighting), gfx::kFalse);
    EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::SrcBlend), std::uint32_t(gfx::Blend::SrcAlpha));
    EXPECT_EQ(RenderStateOf(*device, gfx::RenderState::DestBlend), std::uint32_t(gfx::Blend::InvSrcAlpha));
    EXPECT_EQ(SamplerStateOf(*device, gfx::SamplerState::AddressU), std::uint32_t(gfx::TextureAddress::Mirror));
    EXPECT_EQ(SamplerStateOf(*device, gfx::SamplerState::MinFilter), std::uint32_t(gfx::TextureFilter::Linear));
    EXPECT_EQ(StageStateOf(*device, 0, gfx::TextureStageState::ColorOp), std::uint32_t(gfx::TextureOp::SelectArg1));
    EXPECT_EQ(StageStateOf(*device, 0, gfx::TextureStageState::ColorArg2), gfx::TextureArg::Diffuse);
    EXPECT_EQ(StageStateOf(*device, 1, gfx::TextureStageState::ColorOp), std::uint32_t(gfx::TextureOp::Disable));
    EXPECT_EQ(StageStateOf(*device, 1, gfx::TextureStageState::TexCoordIndex), 1u);

    // The next frame runs its pass again.
    device->SetRenderState(gfx::RenderState::CullMode, std::uint32_t(gfx::Cull::None));
    log.entries.clear();
    device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
    light->RenderFrame(objects, false);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].target, light->Pair().CurrentTexture());
    EXPECT_TRUE(ShowsRgb(At(log.entries[0].targetPixels, 40, 8), kBlueRgb));
    EXPECT_TRUE(ShowsRgb(At(BackBufferPixels(), 40, 8), kBlueRgb));
}

} // namespace
} // namespace picture_scene_test

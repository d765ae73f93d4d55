// The picture scene's views: the view stack, the "view pushed" state that
// keeps ApplyView from replacing a pushed view, render-target passes, the
// camera switch and the reaction to a new background link.

#include "tests/render/PictureSceneTestSupport.h"

namespace picture_scene_test {
namespace {

QuadVertices Rect(float width, float height)
{
    return QuadVertices::FromRect(0, 0, width, height);
}

float ViewWidthOf(const DS_2D_Light& light)
{
    return ViewRectOfQuad(light.ViewQuad()).width;
}

TEST_F(PictureSceneTest, PushedViewsComeBackInOrderAndBlockApplyView)
{
    auto light = MakeStripesLight(PicturePosition::kFit);
    const QuadVertices window = light->ViewQuad();

    light->PushView(16, 8, PicturePosition::kRenderTarget);
    EXPECT_TRUE(light->IsViewPushed());
    EXPECT_EQ(light->ViewQuad(), Rect(16, 8));
    EXPECT_EQ(renderContext->mode, PicturePosition::kRenderTarget);
    EXPECT_FLOAT_EQ(renderContext->viewWidth, 16.0f);
    EXPECT_EQ(light->PushedViewMode(), PicturePosition::kFit);

    light->PushView(4, 4, PicturePosition::kRenderTarget);
    light->ApplyView(Rect(50, 50)); // a view pushed is not replaced
    EXPECT_EQ(light->ViewQuad(), Rect(4, 4));

    light->PopView();
    EXPECT_EQ(light->ViewQuad(), Rect(16, 8));
    EXPECT_TRUE(light->IsViewPushed()) << "one view is still pushed";

    light->PopView();
    EXPECT_EQ(light->ViewQuad(), window);
    EXPECT_FALSE(light->IsViewPushed());
    EXPECT_EQ(DS_2D_Light::ViewStackDepth(), viewStackAtStart);

    light->ApplyView(Rect(50, 50));
    EXPECT_EQ(light->ViewQuad(), Rect(50, 50));
}

TEST_F(PictureSceneTest, TakingFromAnEmptyViewStackChangesNothing)
{
    auto light = MakeStripesLight(PicturePosition::kFit);
    ASSERT_EQ(DS_2D_Light::ViewStackDepth(), 0u);
    const QuadVertices window = light->ViewQuad();

    light->PopView();
    EXPECT_EQ(light->EndRenderTarget(true), nullptr);
    EXPECT_EQ(light->NextPingPongTarget(), nullptr);

    EXPECT_EQ(light->ViewQuad(), window);
    EXPECT_FALSE(light->IsViewPushed());
    EXPECT_EQ(DS_2D_Light::ViewStackDepth(), 0u);
    EXPECT_EQ(quad_test::CurrentTarget(*device).Get(), quad_test::BackBuffer(*device).Get());
}

TEST_F(PictureSceneTest, AViewPushedInsideARenderTargetPassDoesNotOutliveThePass)
{
    auto light = MakeStripesLight(PicturePosition::kFit);
    ASSERT_TRUE(light->BeginRenderTarget());
    EXPECT_FALSE(light->BeginRenderTarget()) << "a pass does not begin twice";
    EXPECT_EQ(light->ViewQuad(), Rect(float(kTargetSize), float(kTargetSize)));
    EXPECT_EQ(renderContext->mode, PicturePosition::kRenderTarget);

    // An object draws into a surface of its own inside the pass.
    light->PushView(8, 8, PicturePosition::kRenderTarget);
    light->PopView();
    EXPECT_TRUE(light->IsViewPushed());

    ASSERT_NE(light->EndRenderTarget(false), nullptr);
    EXPECT_FALSE(light->IsViewPushed());
    EXPECT_EQ(renderContext->mode, PicturePosition::kFit);
    EXPECT_EQ(quad_test::CurrentTarget(*device).Get(), quad_test::BackBuffer(*device).Get());

    // The next monitor's view applies again.
    light->ApplyView(Rect(32, 64));
    EXPECT_EQ(light->ViewQuad(), Rect(32, 64));
    EXPECT_FLOAT_EQ(renderContext->viewWidth, 32.0f);
}

TEST_F(PictureSceneTest, EndingAPassWithClearClearsTheRestoredTargetToOpaqueBlack)
{
    auto light = MakeStripesLight(PicturePosition::kFit);
    device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFFFF00FFu, 1.0f, 0);
    ASSERT_TRUE(light->BeginRenderTarget());
    light->DrawBackground(false);
    gfx::Texture* finished = light->EndRenderTarget(true);
    ASSERT_NE(finished, nullptr);
    EXPECT_EQ(finished, light->Pair().CurrentTexture());
    EXPECT_TRUE(ShowsRgb(At(BackBufferPixels(), 8, 8), kBlackRgb, 0));
    EXPECT_TRUE(ShowsRgb(At(quad_test::ReadTexture(*device, finished), 8, 8), kRedRgb));
}

TEST_F(PictureSceneTest, CameraAnimationSwitchReportsThePreviousState)
{
    auto light = MakeStripesLight(PicturePosition::kFit);
    light->Camera().mode.StoreValue(DSM_Camera::kRandomDrift);
    EXPECT_FALSE(light->IsCameraAnimated());

    EXPECT_FALSE(light->SetCameraAnimated(true));
    EXPECT_TRUE(light->IsCameraAnimated());
    // Animated in drift mode, the canvas is the picture divided by the zoom.
    EXPECT_FLOAT_EQ(renderContext->canvasWidth, float(std::uint32_t(kPictureWidth / 1.2f)));
    EXPECT_EQ(light->Camera().endTime, 0.0f) << "restarted: a move is due at once";

    EXPECT_TRUE(light->SetCameraAnimated(false));
    EXPECT_FALSE(light->IsCameraAnimated());
    EXPECT_FLOAT_EQ(renderContext->canvasWidth, float(kPictureWidth));
}

TEST_F(PictureSceneTest, ANewBackgroundLinkReloadsThePictureAndSizesTheCamera)
{
    StoreStripesPicture();
    auto light = MakeLight({u"pictures\\missing.bmp", 3}, PicturePosition::kFit);
    ASSERT_EQ(light->GetWidth(), 0u);

    light->BackgroundLink().StorePathAndId(kPictureLink.path, kPictureLink.id);
    light->BackgroundLink().NotifyObservers(nullptr);

    EXPECT_EQ(light->GetWidth(), kPictureWidth);
    EXPECT_EQ(light->GetHeight(), kPictureHeight);
    EXPECT_EQ(light->Camera().pathWidth.value, 25u); // 80 percent, truncated
    EXPECT_EQ(light->Camera().pathHeight.value, 12u);
    EXPECT_EQ(GetScreenInfo().pictureWidth, std::int32_t(kPictureWidth));
    EXPECT_FLOAT_EQ(ViewWidthOf(*light), float(kTargetSize));

    light->RenderFrame({}, false);
    EXPECT_TRUE(ShowsRgb(At(BackBufferPixels(), 8, 24), kRedRgb));
}

} // namespace
} // namespace picture_scene_test

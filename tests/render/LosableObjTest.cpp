// Device loss and reset of the render surfaces through the resource
// manager's losable registry: every registered surface lets its targets go
// on loss (so the device can be reset) and comes back at its size on reset;
// surfaces leave the registry they entered whatever manager is current
// when they go.

#include <gtest/gtest.h>

#include <memory>

#include "render/BlurSurface.h"
#include "render/PrerenderSurface.h"
#include "tests/render/QuadTestSupport.h"

namespace {

using namespace quad_test;

class LosableObjTest : public DeviceFixture {};

TEST_F(LosableObjTest, LostThenResetRestoresEveryRegisteredSurface)
{
    const auto effect = LoadBlurEffect();
    SurfaceRenderer renderer(*device, kWidth, kHeight);

    KXI_PrerenderSurface prerender;
    ASSERT_TRUE(prerender.SetSize(8, 4));
    KXI_BlurSurface glow;
    glow.SetEffect(effect.Get());
    glow.strength.QuietSet(50);
    glow.SetViewSize(16, 8);
    ASSERT_TRUE(glow.Resize());
    KXI_BlurSurface neverSized;
    EXPECT_EQ(manager->Losables().Size(), 3u);
    EXPECT_TRUE(manager->Losables().Contains(glow.Name()));

    // A frame's use of both, so that whatever the device or effect still
    // holds after drawing counts too.
    ASSERT_TRUE(prerender.BeginRender(renderer));
    prerender.EndRender(renderer);
    ASSERT_TRUE(glow.BeginCapture(renderer));
    glow.Blur(renderer, 1);
    EXPECT_EQ(device->DefaultPoolResourceCount(), 3u);

    device->ForceDeviceLost();
    EXPECT_EQ(device->TestCooperativeLevel(), gfx::kDeviceLost);
    manager->OnLostDevice();
    EXPECT_EQ(prerender.Texture(), nullptr);
    EXPECT_EQ(glow.TextureA(), nullptr);
    EXPECT_EQ(device->DefaultPoolResourceCount(), 0u);
    device->AllowReset();
    ASSERT_EQ(device->Reset(parameters), gfx::kOk) << "nothing of the default pool is left";

    manager->OnResetDevice();
    ASSERT_NE(prerender.Texture(), nullptr);
    EXPECT_EQ(prerender.Texture()->Width(), 8u);
    EXPECT_EQ(prerender.Texture()->Height(), 4u);
    ASSERT_NE(glow.TextureA(), nullptr);
    ASSERT_NE(glow.TextureB(), nullptr);
    EXPECT_EQ(glow.TextureA()->Width(), 8u) << "the blurred size, from the view and strength";
    EXPECT_EQ(glow.TextureB()->Height(), 4u);
    EXPECT_EQ(neverSized.TextureA(), nullptr) << "a surface without a view size stays empty";

    // And they draw again.
    ASSERT_TRUE(glow.BeginCapture(renderer));
    EXPECT_EQ(glow.Blur(renderer, 0), glow.TextureA());
}

TEST_F(LosableObjTest, SurfacesLeaveTheRegistryTheyEntered)
{
    std::unique_ptr<KXI_LosableObj> surface = std::make_unique<KXI_BlurSurface>();
    const LinkKey name = surface->Name();
    EXPECT_EQ(name.path.size(), 38u) << "a GUID in registry form";
    EXPECT_EQ(name.id, 0);
    ASSERT_TRUE(manager->Losables().Contains(name));
    static_cast<KXI_BlurSurface&>(*surface).SetViewSize(8, 8);
    ASSERT_TRUE(static_cast<KXI_BlurSurface&>(*surface).Resize());

    {
        DS_DocResManager other;
        CurrentDocResManagerScope otherCurrent(&other);
        surface.reset(); // through the base: the surface's own destructor runs
        EXPECT_FALSE(manager->Losables().Contains(name)) << "left the manager it entered";
        EXPECT_EQ(other.Losables().Size(), 0u);
    }
    EXPECT_EQ(device->DefaultPoolResourceCount(), 0u) << "its targets went with it";

    {
        CurrentDocResManagerScope none(nullptr);
        KXI_PrerenderSurface unregistered;
        EXPECT_FALSE(unregistered.IsRegistered()) << "no manager current: never told of a lost device";
    }
    EXPECT_EQ(manager->Losables().Size(), 0u);

    auto outlived = std::make_unique<KXI_PrerenderSurface>();
    {
        DS_DocResManager shortLived;
        CurrentDocResManagerScope current(&shortLived);
        outlived = std::make_unique<KXI_PrerenderSurface>();
        EXPECT_TRUE(outlived->IsRegistered());
    }
    EXPECT_FALSE(outlived->IsRegistered()) << "its manager is gone";
    outlived.reset(); // nothing left to leave
}

} // namespace

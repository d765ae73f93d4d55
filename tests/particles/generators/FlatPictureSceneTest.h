#pragma once
// A picture scene showing a flat grey picture stretched over the target, as
// the player sets one up, for the generator read-back tests.

#include <memory>

#include "tests/render/PictureSceneTestSupport.h"

namespace picture_scene_test {

class FlatPictureSceneTest : public PictureSceneTest {
protected:
    static constexpr std::uint32_t kPicture = 0x606060;

    void SetUp() override
    {
        PictureSceneTest::SetUp();
        light = MakeFlatLight({u"pictures\\flat.bmp", 9}, kPicture);
    }
    void TearDown() override
    {
        light.reset();
        PictureSceneTest::TearDown();
    }

    // One frame of the picture with `objects`, read back.
    std::vector<std::uint32_t> RenderObjects(const RenderObjectList& objects)
    {
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }

    std::unique_ptr<DS_2D_Light> light;
};

} // namespace picture_scene_test

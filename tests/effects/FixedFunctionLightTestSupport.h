#pragma once
// Fixtures for the tests of the light variants drawn through the
// fixed-function pipeline: the picture-scene fixture (a
// headless 64 x 64 device, a resource manager and a render context current)
// with pictures of any size stored as a document stores them, variants set
// up as the player sets a light up, and pixel helpers.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "effects/EffectClasses.h"
#include "render/PictureScene.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"

namespace fixed_light_test {

using picture_scene_test::kTargetSize;
using quad_test::Hex;

inline int ChannelOf(std::uint32_t pixel, int shift)
{
    return int((pixel >> shift) & 0xFFu);
}

// The largest difference of the three colour channels.
inline int ColourDistance(std::uint32_t a, std::uint32_t b)
{
    int largest = 0;
    for (int shift : {0, 8, 16})
        largest = std::max(largest, std::abs(ChannelOf(a, shift) - ChannelOf(b, shift)));
    return largest;
}

class FixedFunctionLightTest : public picture_scene_test::PictureSceneTest {
protected:
    void SetUp() override
    {
        RegisterEffectClasses();
        PictureSceneTest::SetUp();
    }

    // Stores a width x height picture coloured by `colour` (x, y) -> 0xRRGGBB
    // under `link`, as a document's resource record does.
    void StorePicture(const LinkKey& link, std::uint32_t width, std::uint32_t height,
                      const std::function<std::uint32_t(std::uint32_t, std::uint32_t)>& colour)
    {
        StoreTextureSetPicture(link, u"picture.bmp", docres_test::BmpPicture(width, height, colour));
    }

    // Sets `light` up over the back buffer as the player does: device
    // objects, view, reset states, picture mode.
    void SetUpLight(DS_2D_Light& light, const LinkKey& link, int mode)
    {
        light.BackgroundLink().StorePathAndId(link.path, link.id);
        light.CreateDeviceObjects();
        QuadVertices view;
        view.FillTarget(*device);
        light.ApplyView(view);
        light.OnResetDevice();
        light.SetPictureMode(mode);
    }

    // A frame at `time`: camera, background and objects, then the bars.
    std::vector<std::uint32_t> RenderAt(DS_2D_Light& light, float time, const RenderObjectList& objects = {})
    {
        light.UpdateCamera(time);
        light.RenderFrame(objects, false);
        light.DrawBorderBars(false);
        return BackBufferPixels();
    }

    // Reads one light record written by a light writer.
    static std::unique_ptr<DS_2D_Light> ReadLight(const DocumentWriter& writer)
    {
        MemoryArchive archive(writer.Bytes());
        return ReadLightObject(archive.Reader());
    }
};

} // namespace fixed_light_test

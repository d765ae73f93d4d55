#pragma once
// Fixtures for the light-variant tests: a light read from a writer-made
// record and set up as the player sets up a slide's light, and its frames
// drawn headless as the slide draws them (frame, then bars).

#include <memory>

#include "effects/EffectClasses.h"
#include "render/PictureScene.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/support/LightWriter.h"

namespace light_variant_test {

using namespace picture_scene_test;

// The plain light's level showing the striped test picture.
inline picture_scene_writer::LightFields StripesLightLevel()
{
    picture_scene_writer::LightFields light;
    light.backgroundPath = kPictureLink.path;
    light.backgroundId = kPictureLink.id;
    return light;
}

class LightVariantTest : public PictureSceneTest {
protected:
    void SetUp() override
    {
        PictureSceneTest::SetUp();
        docres_test::TestModuleFolder(); // the shared module the default links name
        RegisterEffectClasses();
        StoreStripesPicture();
    }

    // The light record `w` holds, read through the light registry (null,
    // with a failure, when it is another class).
    template <class T>
    std::unique_ptr<T> ReadLight(const DocumentWriter& w)
    {
        MemoryArchive archive(w.Bytes());
        std::unique_ptr<DS_2D_Light> light = ReadLightObject(archive.Reader());
        EXPECT_EQ(archive.Remaining(), 0u) << "the reader left bytes of the record";
        T* typed = dynamic_cast<T*>(light.get());
        EXPECT_NE(typed, nullptr) << "the record read as another class";
        if (!typed)
            return nullptr;
        light.release();
        return std::unique_ptr<T>(typed);
    }

    // The light `write` writes from `fields`, read back.
    template <class T, class Fields>
    std::unique_ptr<T> ReadWritten(DocumentWriter& (*write)(DocumentWriter&, const Fields&), const Fields& fields)
    {
        DocumentWriter w;
        write(w, fields);
        return ReadLight<T>(w);
    }

    // Device objects, the view over the back buffer, the light's device
    // states and pair, then the picture position.
    void Prepare(DS_2D_Light& light, int mode = PicturePosition::kStretch)
    {
        light.CreateDeviceObjects();
        QuadVertices view;
        view.FillTarget(*device);
        light.ApplyView(view);
        light.OnResetDevice();
        device->SetRenderState(gfx::RenderState::CullMode, std::uint32_t(gfx::Cull::None));
        light.SetPictureMode(mode);
    }

    // One frame at time t as the slide draws it.
    std::vector<std::uint32_t> Frame(DS_2D_Light& light, float t, const RenderObjectList& objects = {},
                                     bool skipBars = false)
    {
        light.UpdateCamera(t);
        for (const auto& object : objects)
            object->Update(t);
        device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
        light.RenderFrame(objects, false);
        light.DrawBorderBars(skipBars);
        return BackBufferPixels();
    }
};

// Pixels of two frames that differ in any channel by more than `tolerance`
// inside rows [top, bottom).
inline int DifferingPixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b,
                           std::uint32_t top, std::uint32_t bottom, int tolerance = 24)
{
    int count = 0;
    for (std::uint32_t y = top; y < bottom; ++y)
        for (std::uint32_t x = 0; x < kTargetSize; ++x) {
            const std::uint32_t p = At(a, x, y), q = At(b, x, y);
            for (int shift : {0, 8, 16})
                if (std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)) > tolerance) {
                    ++count;
                    break;
                }
        }
    return count;
}

} // namespace light_variant_test

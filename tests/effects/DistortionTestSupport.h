#pragma once
// Fixtures shared by the distortion-effect tests and the picture-effect
// read-back tests: a timeline held at one level, the clock run to a time,
// effect links holding bytes this platform cannot run (what a document of
// the other platform stores), which give each class its built-in effect, and
// a slide's picture scene that draws one effect headless and reads it back.

#include <cmath>
#include <memory>
#include <vector>

#include "effects/EffectClasses.h"
#include "effects/ImageEffect.h"
#include "render/DocResManager.h"
#include "render/Timing.h"
#include "tests/render/PictureSceneTestSupport.h"

namespace image_effect_test {

// A timeline held at one level.
class HeldLevel : public KXI_Timing {
public:
    explicit HeldLevel(float level) { m_level = level; }
};

inline void HoldLevel(DS_FX_Constructor& fx, float level)
{
    fx.timing.SetTimeline(std::make_unique<HeldLevel>(level));
}

// Runs the clock in steps of at most 0.2 s from local time `from` (where it
// stands) to `t`.
inline void RunClockTo(DS_FX_Constructor& fx, float t, float from = 0.0f)
{
    for (float at = from + 0.2f; at < t; at += 0.2f)
        fx.Update(at);
    fx.Update(t);
}

// Links `fx` to bytes of the other platform's effect language stored in
// `manager`, as a document does: the class plays its built-in effect.
inline void LinkForeignEffect(DS_DocResManager& manager, DS_FX_Constructor& fx)
{
    const LinkKey key{u"effects\\foreign.fx", 77};
    auto& records = manager.GetResourceRecords(key);
    if (records.empty()) {
        ModuleResourceBlob hlsl(u"foreign.fx");
        hlsl.SetBytes({'f', 'l', 'o', 'a', 't', '4', ' ', 'm', 'a', 'i', 'n'});
        records.push_back(hlsl);
    }
    fx.effectLink.StorePathAndId(key.path, key.id);
}

// The colour of the one-colour picture of EffectReadbackTest::UseFlatPicture.
inline constexpr std::uint32_t kFlatRgb = 0x336699;

// A slide's picture scene (the light's own frame) showing the striped
// picture stretched over the 64 x 64 target, on which one effect is drawn
// and read back.
class EffectReadbackTest : public picture_scene_test::PictureSceneTest {
protected:
    void SetUp() override
    {
        PictureSceneTest::SetUp();
        docres_test::TestModuleFolder();
        RegisterEffectClasses();
        light = MakeStripesLight(PicturePosition::kStretch);
    }
    void TearDown() override
    {
        light.reset();
        PictureSceneTest::TearDown();
    }

    // Prepares `fx` as a document's object: the built-in effect through
    // bytes it cannot run where it has no default link, a held level.
    void Prepare(DS_FX_Constructor& fx, float level = 1.0f)
    {
        // The region (what road B's grid covers) is the whole picture.
        const float w = float(picture_scene_test::kPictureWidth), h = float(picture_scene_test::kPictureHeight);
        const math::Vec3 corners[4] = {{0, 0, 0}, {w, 0, 0}, {0, h, 0}, {w, h, 0}};
        for (int i = 0; i < 4; ++i)
            fx.region.corners[i].value = corners[i];
        if (fx.effectLink.Path().empty())
            LinkForeignEffect(*manager, fx);
        HoldLevel(fx, level);
    }

    // The frame of `fx` after its clock ran to scene time `t`.
    std::vector<std::uint32_t> FrameAt(DS_FX_Constructor& fx, float t = 0.0f)
    {
        RenderObjectList objects;
        objects.emplace_back(fx.CreateRenderObject().release());
        for (float at = 0.0f; at < t; at += 0.1f)
            objects.front()->Update(at);
        objects.front()->Update(t);
        light->RenderFrame(objects, false);
        return BackBufferPixels();
    }

    // A one-colour picture replaces the stripes.
    void UseFlatPicture()
    {
        light = MakeFlatLight({u"pictures\\flat.bmp", 8}, kFlatRgb);
    }

    // A mask over the picture: white on the left half, transparent black on
    // the right half, kept under the effect's key.
    void MaskLeftHalf(DS_FX_Constructor& fx)
    {
        std::vector<std::uint32_t> pixels(8 * 8);
        for (std::uint32_t y = 0; y < 8; ++y)
            for (std::uint32_t x = 0; x < 8; ++x)
                pixels[y * 8 + x] = x < 4 ? 0xFFFFFFFFu : 0x00000000u;
        manager->GetGuidTexture(fx.key) = quad_test::MakeTexture(*device, 8, 8, pixels);
    }

    std::unique_ptr<DS_2D_Light> light;
};

} // namespace image_effect_test

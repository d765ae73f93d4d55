// The painted generators read back from a real frame of a picture scene:
// sparkles and the aurora through the joined mask and the composite in
// every blend mode (and without their effect) keep the picture beside their
// quads, and a masked brush matches its straight draw.

#include <gtest/gtest.h>

#include "particles/generators/AirBrush.h"
#include "particles/generators/Aurora.h"
#include "particles/generators/Bling.h"
#include "tests/particles/generators/GeneratorTestSupport.h"
#include "tests/particles/generators/FlatPictureSceneTest.h"

namespace picture_scene_test {
namespace {

// Dabs near canvas (8, 8): target around (16, 32); the right half of the
// picture stays uncovered.
constexpr std::uint32_t kCoveredX = 16, kCoveredY = 32, kBesideX = 52, kBesideY = 32;

class PaintedReadbackTest : public FlatPictureSceneTest {
protected:
    void SetUp() override
    {
        FlatPictureSceneTest::SetUp();
        device->SetRenderState(gfx::RenderState::ColorWriteEnable, 0x7);
        entry.textures = {white};
    }

    // One frame with `brush` (its clone given the white texture, and the
    // built-in blend effect when asked), after one step.
    std::vector<std::uint32_t> Render(const DS_AirBrush& brush, bool withEffect)
    {
        auto* object = new DS_ParticlesObj(brush.Clone());
        auto& clone = static_cast<DS_AirBrush&>(*object->Generator());
        clone.effect = withEffect ? manager->GetBuiltinEffect(DS_TexParticleGenerator::kBuiltinEffect)
                                  : gfx::Ref<gfx::Effect>();
        clone.loadedTextures = {&entry, &entry};
        clone.Step(0.1f, *object);
        const RenderObjectList objects{DS_SafePtr<KXI_RenderObj>(object)};
        return RenderObjects(objects);
    }

    static void Paint(DS_AirBrush& brush, std::int32_t mode)
    {
        brush.blendMode.StoreValue(mode);
        brush.brushSize.StoreValue(4);
        brush.colour.colour.StoreValue(0x0040A0FF);
        brush.colour.opacity.QuietSet(0);
        brush.colour2.colour.StoreValue(0x00FF8020);
        brush.colour2.opacity.QuietSet(0);
        for (const float x : {6.0f, 8.0f, 10.0f}) {
            GenParticle dab;
            dab.Init(x, 8.0f, 0.0f);
            dab.channels[GenParticle::kAngle] = 0.3f;
            brush.dabs.push_back(dab);
        }
    }

    TextureSetEntry entry;
};

TEST_F(PaintedReadbackTest, JoinedDrawsKeepThePictureBesideTheirQuadsInEveryMode)
{
    for (const bool aurora : {false, true})
        for (std::int32_t mode = 0; mode <= 3; ++mode)
            for (const bool withEffect : {true, false}) {
                SCOPED_TRACE(std::string(aurora ? "aurora" : "bling") + " mode " + std::to_string(mode) +
                             (withEffect ? "" : " without effect"));
                std::unique_ptr<DS_AirBrush> brush;
                if (aurora) {
                    auto curtain = std::make_unique<DS_Aurora>();
                    curtain->bandHeight.StoreValue(6);
                    brush = std::move(curtain);
                } else {
                    auto bling = std::make_unique<DS_Bling>();
                    bling->growTime.QuietSet(10);
                    bling->shrinkTime.QuietSet(1000);
                    bling->sizeFloor.QuietSet(100);
                    brush = std::move(bling);
                }
                Paint(*brush, mode);
                const auto pixels = Render(*brush, withEffect);
                const std::uint32_t beside = At(pixels, kBesideX, kBesideY);
                EXPECT_TRUE(ShowsRgb(beside, kPicture, 1)) << Hex(beside);
                const std::uint32_t covered = At(pixels, kCoveredX, kCoveredY);
                EXPECT_FALSE(ShowsRgb(covered, kPicture, 8)) << Hex(covered);
            }
}

TEST_F(PaintedReadbackTest, AMaskedBrushMatchesItsStraightDraw)
{
    for (const std::uint32_t opacity : {0u, 50u}) {
        SCOPED_TRACE(opacity);
        DS_CustomAirBrush brush;
        Paint(brush, 0);
        brush.colour.opacity.QuietSet(opacity);
        // The custom brush draws its own frames: its image stands in.
        auto* object = new DS_ParticlesObj(brush.Clone());
        auto& clone = static_cast<DS_CustomAirBrush&>(*object->Generator());
        clone.frames.frameTextures = {white};
        clone.aspect = 1.0f;
        clone.RebuildBrushQuads();
        const RenderObjectList objects{DS_SafePtr<KXI_RenderObj>(object)};
        std::vector<std::uint32_t> frames[2];
        for (const bool withEffect : {true, false}) {
            clone.effect = withEffect ? manager->GetBuiltinEffect(DS_TexParticleGenerator::kBuiltinEffect)
                                      : gfx::Ref<gfx::Effect>();
            device->Clear(0, nullptr, gfx::ClearFlags::Target, 0xFF000000u, 1.0f, 0);
            light->RenderFrame(objects, false);
            frames[withEffect ? 0 : 1] = BackBufferPixels();
        }
        for (std::size_t i = 0; i < frames[0].size(); ++i)
            ASSERT_TRUE(ShowsRgb(frames[0][i], frames[1][i] & 0xFFFFFFu, 4))
                << "pixel " << i << ": " << Hex(frames[0][i]) << " against " << Hex(frames[1][i]);
        EXPECT_FALSE(ShowsRgb(At(frames[0], kCoveredX, kCoveredY), kPicture, 8));
    }
}

} // namespace
} // namespace picture_scene_test

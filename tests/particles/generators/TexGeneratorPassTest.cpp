// The textured generator's passes as the renderer sees them: the mask view,
// the technique of each pass and blend mode, the layers drawn, the draws
// without an effect or without a mask, the mask surface a clone shares, and
// the render-target question.

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "particles/generators/ParticlesObj.h"
#include "tests/particles/generators/GeneratorTestSupport.h"
#include "tests/render/QuadTestSupport.h"

namespace {

using generator_test::PlacedQuad;
using generator_test::RecordingRenderer;
using generator_test::TestTexGenerator;
using Strings = std::vector<std::string>;

class TexGeneratorPassTest : public quad_test::DeviceFixture {
protected:
    // A render object around a clone of `generator` with the built-in effect
    // and `layers` layers of one quad, each with a texture of its own.
    std::unique_ptr<DS_ParticlesObj> MakeObject(TestTexGenerator& generator, std::size_t layers, bool withEffect = true)
    {
        generator.layers.assign(layers, {PlacedQuad{2, 2, 6, 6, 0xFFFFFFFFu}});
        auto object = std::make_unique<DS_ParticlesObj>(generator.Clone());
        TestTexGenerator& clone = Generator(*object);
        if (withEffect)
            clone.effect = manager->GetBuiltinEffect(DS_TexParticleGenerator::kBuiltinEffect);
        for (std::size_t i = 0; i < layers; ++i) {
            TextureSetEntry& entry = entries.emplace_back();
            entry.textures = {quad_test::MakeTexture(*device, 1, 1, {0xFFFFFFFFu})};
            clone.loadedTextures.push_back(&entry);
        }
        clone.drawTexture = clone.LoadedTexture(0);
        return object;
    }
    static TestTexGenerator& Generator(DS_ParticlesObj& object)
    {
        return static_cast<TestTexGenerator&>(*object.Generator());
    }

    void SetUp() override
    {
        quad_test::DeviceFixture::SetUp();
        recorder = std::make_unique<RecordingRenderer>(*device);
    }
    void TearDown() override
    {
        recorder.reset();
        quad_test::DeviceFixture::TearDown();
    }

    std::deque<TextureSetEntry> entries; // the loaded textures point into it
    std::unique_ptr<RecordingRenderer> recorder;
};

TEST_F(TexGeneratorPassTest, EachBlendModeCompositesWithItsTechnique)
{
    struct Case {
        std::int32_t mode;
        const char* composite;
    };
    // Mode 5 keeps the technique the masked draw left.
    const Case cases[] = {{0, "CommonTex"},
                          {1, "Blend_ScreenTex"},
                          {2, "Blend_ColorDodgeTex"},
                          {3, "Blend_SumTex"},
                          {5, "BlendMask"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        TestTexGenerator generator;
        generator.blendMode.StoreValue(c.mode);
        auto object = MakeObject(generator, 1);
        recorder->events.clear();
        object->Render(*recorder);
        EXPECT_EQ(recorder->Whats(), (Strings{"push", "layer BlendMask", "pop", std::string("composite ") + c.composite}));
        EXPECT_EQ(recorder->events[0].mode, 3);
        EXPECT_EQ(recorder->events[1].quads, 1u);
    }
}

TEST_F(TexGeneratorPassTest, JoinedLayersDrawUpToTheLastIndexIncluded)
{
    TestTexGenerator generator;
    generator.joinedLast = 2;
    auto object = MakeObject(generator, 4);
    object->Render(*recorder);
    EXPECT_EQ(recorder->Whats(), (Strings{"push", "layer JoinMask", "layer JoinMask", "layer JoinMask", "pop",
                                         "composite CommonTex"}));
}

TEST_F(TexGeneratorPassTest, WithoutAnEffectLayersGoStraightWithTheirTexture)
{
    TestTexGenerator masked;
    auto object = MakeObject(masked, 1, false);
    object->Render(*recorder);
    ASSERT_EQ(recorder->Whats(), (Strings{"layer straight"}));
    EXPECT_EQ(recorder->events[0].stageTexture, Generator(*object).LoadedTexture(0));

    TestTexGenerator joined;
    joined.joinedLast = 1;
    auto joinedObject = MakeObject(joined, 2, false);
    recorder->events.clear();
    joinedObject->Render(*recorder);
    ASSERT_EQ(recorder->Whats(), (Strings{"layer straight", "layer straight"}));
    EXPECT_EQ(recorder->events[1].stageTexture, Generator(*joinedObject).LoadedTexture(1));
}

TEST_F(TexGeneratorPassTest, MissingTexturesAndMasksSkipWhatNeedsThem)
{
    // An entry without frames gives no texture: nothing is drawn with it.
    TestTexGenerator generator;
    auto object = MakeObject(generator, 1);
    entries[0].textures.clear();
    Generator(*object).drawTexture = Generator(*object).LoadedTexture(0);
    object->Render(*recorder);
    EXPECT_TRUE(recorder->events.empty());

    // A mask surface that could not be made: the masked draw goes straight,
    // the joined draw and its composite are skipped.
    RenderTargetPair empty;
    TestTexGenerator masked;
    auto maskedObject = MakeObject(masked, 1);
    Generator(*maskedObject).maskSurface = &empty;
    maskedObject->Render(*recorder);
    EXPECT_EQ(recorder->Whats(), (Strings{"layer straight"}));

    TestTexGenerator joined;
    joined.joinedLast = 0;
    auto joinedObject = MakeObject(joined, 1);
    Generator(*joinedObject).maskSurface = &empty;
    recorder->events.clear();
    joinedObject->Render(*recorder);
    EXPECT_TRUE(recorder->events.empty());
}

// The screen and dodge modes were handed the picture drawn so far: whenever
// the composite cannot run they draw it back first, plain ("Copy"), so a
// missing effect, mask or texture never blacks the picture out. The other
// modes took nothing and give nothing back.
TEST_F(TexGeneratorPassTest, ScreenAndDodgeGiveThePictureBackWhenTheyCannotComposite)
{
    RenderTargetPair empty;
    auto picture = quad_test::MakeTexture(*device, 1, 1, {0xFF808080u});
    recorder->targetTexture = picture.Get();
    struct Case {
        const char* name;
        bool joined, effect, mask, texture;
        Strings drawn; // after the picture given back
    };
    const Case cases[] = {
        {"masked, no effect", false, false, true, true, {"layer straight"}},
        {"masked, no mask surface", false, true, false, true, {"layer straight"}},
        {"masked, no texture", false, true, true, false, {}},
        {"joined, no effect", true, false, true, true, {"layer straight"}},
        {"joined, no mask surface", true, true, false, true, {}},
    };
    for (const std::int32_t mode : {0, 1, 2, 3}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(mode) + ": " + c.name);
            TestTexGenerator generator;
            generator.blendMode.StoreValue(mode);
            generator.joinedLast = c.joined ? 0 : -1;
            auto object = MakeObject(generator, 1, c.effect);
            if (!c.mask)
                Generator(*object).maskSurface = &empty;
            if (!c.texture)
                Generator(*object).drawTexture = nullptr;
            recorder->events.clear();
            object->Render(*recorder);
            Strings expected = c.drawn;
            if (mode == 1 || mode == 2)
                expected.insert(expected.begin(), "composite Copy");
            EXPECT_EQ(recorder->Whats(), expected);
        }
    }
}

TEST_F(TexGeneratorPassTest, AClonesDrawsIntoTheMaskSurfaceOfItsDescription)
{
    TestTexGenerator description;
    auto first = MakeObject(description, 1);
    auto second = MakeObject(description, 1);
    EXPECT_EQ(Generator(*first).identity.guid, description.identity.guid);
    ASSERT_NE(Generator(*first).maskSurface, nullptr);
    EXPECT_EQ(Generator(*first).maskSurface, Generator(*second).maskSurface);
    EXPECT_EQ(manager->SharedRenderTargetCount(), 1u);
    // The mask is the back buffer's size.
    EXPECT_EQ(Generator(*first).maskSurface->Width(), std::int32_t(kWidth));
    EXPECT_EQ(Generator(*first).maskSurface->Height(), std::int32_t(kHeight));

    TestTexGenerator other;
    auto third = MakeObject(other, 1);
    EXPECT_NE(Generator(*third).maskSurface, Generator(*first).maskSurface);
}

// A monitor's pass of a two-monitor frame confines drawing to its monitor
// with two clip planes and a scissor rectangle; the mask is not in the
// monitor's units, so its pass runs without them and gets them back.
TEST_F(TexGeneratorPassTest, TheMaskPassRunsWithoutTheMonitorsConfinement)
{
    TestTexGenerator generator;
    auto object = MakeObject(generator, 1);
    const gfx::Rect secondMonitor{16, 0, 32, 16};
    const float left[4] = {1, 0, 0, -16};
    const float right[4] = {-1, 0, 0, 32};
    device->SetClipPlane(0, left);
    device->SetClipPlane(1, right);
    device->SetRenderState(gfx::RenderState::ClipPlaneEnable, 3);
    device->SetScissorRect(secondMonitor);
    device->SetRenderState(gfx::RenderState::ScissorTestEnable, gfx::kTrue);
    object->Render(*recorder);
    ASSERT_EQ(recorder->Whats(), (Strings{"push", "layer BlendMask", "pop", "composite CommonTex"}));
    EXPECT_EQ(recorder->events[1].clipPlanes, 0u);
    std::uint32_t clipPlanes = 0;
    device->GetRenderState(gfx::RenderState::ClipPlaneEnable, &clipPlanes);
    EXPECT_EQ(clipPlanes, 3u);
    gfx::Rect scissor;
    device->GetScissorRect(&scissor);
    EXPECT_EQ(scissor.left, secondMonitor.left);
    EXPECT_EQ(scissor.right, secondMonitor.right);
}

TEST_F(TexGeneratorPassTest, OnlyScreenAndDodgeReadThePictureWhileEnabled)
{
    for (std::int32_t mode = 0; mode <= 4; ++mode) {
        TestTexGenerator generator;
        generator.blendMode.StoreValue(mode);
        auto object = MakeObject(generator, 1);
        const int expected = mode == 1 || mode == 2 ? 1 : 0;
        EXPECT_EQ(object->NeedsRenderTarget(), expected) << "mode " << mode;
        object->SetEnabled(0);
        EXPECT_EQ(object->NeedsRenderTarget(), 0) << "mode " << mode;
    }
}

} // namespace

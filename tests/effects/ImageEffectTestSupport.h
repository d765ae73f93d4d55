#pragma once
// Fixtures for the image-effect tests: records read back through the main
// class registry, and a host renderer that only records what it was asked
// to draw (picture size and target texture set by the test).

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "effects/EffectClasses.h"
#include "effects/ImageEffect.h"
#include "objectmodel/ClassRegistry.h"
#include "platform/gfx/Effect.h"
#include "render/ABRender.h"
#include "render/QuadTextured.h"
#include "render/SharedResource.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/ImageEffectWriter.h"

namespace image_effect_test {

// Reads the record `w` holds as a scene object and returns it as T (null,
// with a failure, when it is another class).
template <class T>
std::unique_ptr<T> ReadRecord(const DocumentWriter& w)
{
    RegisterEffectClasses();
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u) << "the reader left bytes of the record";
    T* typed = dynamic_cast<T*>(item.get());
    EXPECT_NE(typed, nullptr) << "the record read as another class";
    if (!typed)
        return nullptr;
    item.release();
    return std::unique_ptr<T>(typed);
}

// A renderer that draws nothing and counts the draws.
class RecordingHost : public DS_ABRender {
public:
    RecordingHost(std::uint32_t width, std::uint32_t height) : width(width), height(height) {}

    void PushView(std::uint32_t, std::uint32_t, int) override {}
    void PopView() override {}
    void DrawIndexedWithEffect(QuadBatchBuffer&, gfx::Effect& effect) override
    {
        ++gridDraws;
        techniques.push_back(effect.CurrentTechnique());
    }
    void DrawWithEffect(TexturedQuad&, gfx::Effect& effect) override
    {
        ++quadDraws;
        techniques.push_back(effect.CurrentTechnique());
    }
    void DrawIndexedOptionalEffect(QuadBatchBuffer&, gfx::Effect*, std::uint32_t, std::uint32_t) override {}
    void DrawColoredWithEffect(QuadBatchBuffer&, gfx::Effect&) override {}
    void DrawSpriteList(MeshItem&) override {}
    void DrawTexturedBatch(DS_SpriteArrayObj&) override {}
    void DrawMeshList(TexturedBatch&) override {}
    void DrawMirrored(MirroredGrid&, int) override {}
    void SwitchRenderTarget(int& counter) override { --counter; }
    gfx::Texture* GetTargetTexture() override { return target; }
    TexturedQuad& GetBackgroundQuad() override { return quad; }
    std::uint32_t GetWidth() const override { return width; }
    std::uint32_t GetHeight() const override { return height; }

    std::uint32_t width;
    std::uint32_t height;
    gfx::Texture* target = nullptr;
    TexturedQuad quad;
    int quadDraws = 0;
    int gridDraws = 0;
    std::vector<std::string> techniques;
};

// Links `fx` to effect `id` of the shared module.
inline void LinkCommonRes(DS_FX_Constructor& fx, std::int32_t id)
{
    fx.effectLink.StorePathAndId(kxi_string(kCommonResModule), id);
}

// Expects the floats of `name` to equal `expected` within `tolerance`.
inline void ExpectFloats(const gfx::Effect& effect, const char* name, const std::vector<float>& expected,
                         float tolerance = 1e-5f)
{
    const std::vector<float> actual = effect.GetFloats(name);
    ASSERT_GE(actual.size(), expected.size()) << name;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << name << "[" << i << "]";
}

} // namespace image_effect_test

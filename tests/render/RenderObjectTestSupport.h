#pragma once
// Helpers for the description and render-object tests: a concrete
// description and render object, a renderer that records what objects ask
// of it, a document resource manager stand-in that publishes a picture
// size, and an archive that turns Save() calls back into bytes.

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/DocumentClasses.h"
#include "objectmodel/ResourceBlob.h"
#include "render/ABRender.h"
#include "render/BaseSpriteProp.h"
#include "render/QuadTextured.h"
#include "render/RenderObject.h"
#include "render/ScreenInfo.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"
#include "tests/support/RecordingArchive.h"

namespace render_object_test {

class TestRenderObject;

// A sprite description as the concrete families make them: its clone is a
// copy, its render object a TestRenderObject around the clone.
class TestDescription : public DS_BaseSpriteProp {
public:
    TestDescription() = default;
    TestDescription(const TestDescription&) = default;

    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;
    void Restart() override
    {
        DS_BaseSpriteProp::Restart();
        ++restarts;
    }

    int restarts = 0;
};

// A render object that records its frames.
class TestRenderObject : public DS_ABObj {
public:
    explicit TestRenderObject(std::unique_ptr<DS_ABObj_Constructor> description, int renderTargets = 0)
        : DS_ABObj(std::move(description)), m_renderTargets(renderTargets)
    {
    }

    void Render(DS_ABRender&) override { ++renders; }
    void Animate(float localTime) override { animatedTimes.push_back(localTime); }
    int NeedsRenderTarget() const override { return m_renderTargets; }

    int renders = 0;
    std::vector<float> animatedTimes;

private:
    int m_renderTargets;
};

inline std::unique_ptr<KXI_RenderObj> TestDescription::CreateRenderObject()
{
    return std::make_unique<TestRenderObject>(std::make_unique<TestDescription>(*this));
}

// A renderer that records what objects ask of it: the quad-batch draws
// (which batch, from which quad, how many quads, with which effect), the
// draws over the background quad, and the render-target switches.
class RecordingRenderer final : public DS_ABRender {
public:
    struct BatchDraw {
        const QuadBatchBuffer* batch;
        const gfx::Effect* effect;
        std::uint32_t firstQuad;
        std::uint32_t quads;
    };

    void PushView(std::uint32_t, std::uint32_t, int) override {}
    void PopView() override {}
    void DrawIndexedWithEffect(QuadBatchBuffer&, gfx::Effect&) override {}
    void DrawWithEffect(TexturedQuad&, gfx::Effect&) override { ++screenDraws; }
    void DrawIndexedOptionalEffect(QuadBatchBuffer& batch, gfx::Effect* effect, std::uint32_t firstQuad,
                                   std::uint32_t quads) override
    {
        draws.push_back({&batch, effect, firstQuad, quads});
    }
    void DrawColoredWithEffect(QuadBatchBuffer&, gfx::Effect&) override {}
    void DrawSpriteList(MeshItem&) override {}
    void DrawTexturedBatch(DS_SpriteArrayObj&) override {}
    void DrawMeshList(TexturedBatch&) override {}
    void DrawMirrored(MirroredGrid&, int) override {}
    void SwitchRenderTarget(int& counter) override
    {
        --counter;
        ++switches;
    }
    gfx::Texture* GetTargetTexture() override { return nullptr; }
    TexturedQuad& GetBackgroundQuad() override { return background; }
    std::uint32_t GetWidth() const override { return 0; }
    std::uint32_t GetHeight() const override { return 0; }

    TexturedQuad background;
    std::vector<BatchDraw> draws;
    int switches = 0;
    int screenDraws = 0;
};

// A document resource manager that only publishes a picture size, made the
// thread's current one for its lifetime.
class PictureSizeScope {
public:
    PictureSizeScope(std::int32_t width, std::int32_t height) : m_previous(g_DocResManagerTls)
    {
        Resize(width, height);
        g_DocResManagerTls = &m_manager;
    }
    ~PictureSizeScope() { g_DocResManagerTls = m_previous; }
    PictureSizeScope(const PictureSizeScope&) = delete;
    PictureSizeScope& operator=(const PictureSizeScope&) = delete;

    void Resize(std::int32_t width, std::int32_t height)
    {
        m_manager.ScreenInfoRecord().pictureWidth = width;
        m_manager.ScreenInfoRecord().pictureHeight = height;
    }

private:
    struct Manager final : DS_DocResManagerBase, ScreenInfoOwner {
        void ReadBody(ArchiveReader, std::int32_t) override {}
    };
    Manager m_manager;
    DS_DocResManagerBase* m_previous;
};

using ::RecordingArchive;

inline crt::Guid TestGuid(std::uint32_t n)
{
    crt::Guid guid;
    guid.Data1 = n;
    guid.Data4[7] = 0xA5;
    return guid;
}

} // namespace render_object_test

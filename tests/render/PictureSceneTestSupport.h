#pragma once
// Fixtures for the picture-scene tests: a headless 64 x 64 device installed
// as the resource device, a document resource manager and a render context
// current on the thread, a striped picture stored in the manager as a
// document stores it, render objects that draw coloured rectangles or read
// the picture drawn so far, and a small effect that copies a texture.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "objectmodel/SceneDocument.h"
#include "platform/gfx/Effect.h"
#include "render/ABObjConstructor.h"
#include "render/PictureScene.h"
#include "render/RenderContext.h"
#include "render/RenderObject.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/render/QuadTestSupport.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/RgbCompare.h"

namespace picture_scene_test {

using quad_test::Hex;

inline constexpr std::uint32_t kTargetSize = 64;

// The stored picture: 32 x 16, its top half four vertical stripes (red,
// green, blue, white, 8 pixels each), its bottom half grey.
inline constexpr std::uint32_t kPictureWidth = 32;
inline constexpr std::uint32_t kPictureHeight = 16;
inline constexpr std::uint32_t kStripes[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
inline constexpr std::uint32_t kGrey = 0x808080;
inline const LinkKey kPictureLink{u"pictures\\stripes.bmp", 7};

inline constexpr std::uint32_t kBlackRgb = 0x000000;
inline constexpr std::uint32_t kRedRgb = 0xFF0000;
inline constexpr std::uint32_t kGreenRgb = 0x00FF00;
inline constexpr std::uint32_t kBlueRgb = 0x0000FF;
inline constexpr std::uint32_t kYellowRgb = 0xFFFF00;
inline constexpr std::uint32_t kMagentaRgb = 0xFF00FF;

inline std::uint32_t StripesColour(std::uint32_t x, std::uint32_t y)
{
    return y < kPictureHeight / 2 ? kStripes[(x / 8) % 4] : kGrey;
}

using rgb_compare::ShowsRgb;

// Pixel (x, y) of pixels read top row first from a target `width` wide.
inline std::uint32_t At(const std::vector<std::uint32_t>& pixels, std::uint32_t x, std::uint32_t y,
                        std::uint32_t width = kTargetSize)
{
    const std::size_t index = std::size_t(y) * width + x;
    return index < pixels.size() ? pixels[index] : 0xDEADBEEFu;
}

// ---- a test effect ---------------------------------------------------------

// "Copy" draws the texture parameter as it is; "VertexColour" the vertices'
// colours.
inline constexpr std::string_view kTestEffect = R"(orvanta-effect 1
parameter texture Texture
sampler Texture AddressU=Clamp AddressV=Clamp MinFilter=Point MagFilter=Point MipFilter=None

vertex Plain
out vec2 texCoord;
out vec4 colour;
void main()
{
    texCoord = gfx_TexCoord0;
    colour = gfx_Diffuse;
    gl_Position = gfx_TransformVertex();
}
end

fragment Copy
in vec2 texCoord;
in vec4 colour;
void main()
{
    gfx_FragColor = texture(Texture, texCoord);
}
end

fragment VertexColour
in vec2 texCoord;
in vec4 colour;
void main()
{
    gfx_FragColor = colour;
}
end

technique Copy
pass
    vertex Plain
    fragment Copy
    state AlphaBlendEnable False
    state CullMode None
end

technique VertexColour
pass
    vertex Plain
    fragment VertexColour
    state AlphaBlendEnable False
    state CullMode None
end
)";

// ---- render objects ----------------------------------------------------------

// A description whose only stored value that matters here is its depth.
class ProbeDescription : public DS_ABObj_Constructor {
public:
    explicit ProbeDescription(std::uint32_t depthPercent) { depth.StoreValue(depthPercent); }
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override { return nullptr; }
};

// What the probes saw while they rendered, in drawing order.
struct ProbeLog {
    struct Entry {
        std::string name;
        math::Matrix parallax;
        gfx::Texture* target = nullptr;
        std::vector<std::uint32_t> targetPixels; // readers only
    };
    std::vector<Entry> entries;

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const Entry& entry : entries)
            names.push_back(entry.name);
        return names;
    }
    const Entry* Find(std::string_view name) const
    {
        for (const Entry& entry : entries)
            if (entry.name == name)
                return &entry;
        return nullptr;
    }
};

// A render object that records its turn and then draws what `draw` draws.
class ProbeObject : public DS_ABObj {
public:
    using Draw = std::function<void(DS_ABRender&)>;

    ProbeObject(std::string name, ProbeLog& log, std::uint32_t depthPercent, Draw draw, int renderTargets = 0)
        : DS_ABObj(std::make_unique<ProbeDescription>(depthPercent)), m_name(std::move(name)), m_log(log),
          m_draw(std::move(draw)), m_renderTargets(renderTargets)
    {
    }

    void Render(DS_ABRender& renderer) override
    {
        ProbeLog::Entry entry{m_name, {}, renderer.GetTargetTexture(), {}};
        if (const RenderContext* context = g_RenderContextTls)
            entry.parallax = context->parallax;
        if (m_renderTargets > 0 && entry.target && entry.target->IsRenderTarget())
            entry.targetPixels = quad_test::ReadTexture(*GetResourceDevice(), entry.target);
        m_log.entries.push_back(std::move(entry));
        if (m_draw)
            m_draw(renderer);
    }
    void Animate(float) override {}
    int NeedsRenderTarget() const override { return m_renderTargets; }

private:
    std::string m_name;
    ProbeLog& m_log;
    Draw m_draw;
    int m_renderTargets;
};

// A quad batch of one quad over the canvas rectangle [left, right) x [top,
// bottom) in one colour, with texture coordinates over the whole texture.
inline std::unique_ptr<QuadBatchBuffer> MakeRectBatch(gfx::Device& device, float left, float top, float right,
                                                      float bottom, std::uint32_t argb)
{
    auto batch = std::make_unique<QuadBatchBuffer>();
    EXPECT_TRUE(batch->BuildQuadIndices(device, 1));
    QuadBatchVertex* vertices = batch->LockQuads();
    EXPECT_NE(vertices, nullptr);
    if (vertices) {
        vertices[0] = {left, bottom, 0.0f, argb, 0.0f, 1.0f};
        vertices[1] = {left, top, 0.0f, argb, 0.0f, 0.0f};
        vertices[2] = {right, bottom, 0.0f, argb, 1.0f, 1.0f};
        vertices[3] = {right, top, 0.0f, argb, 1.0f, 0.0f};
    }
    batch->UnlockQuads();
    return batch;
}

// ---- the fixture ---------------------------------------------------------------

class PictureSceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        parameters.backBufferWidth = kTargetSize;
        parameters.backBufferHeight = kTargetSize;
        device = gfx::CreateHeadlessDevice(parameters, &error);
        ASSERT_TRUE(device) << error;
        resourceDevice = std::make_unique<ResourceDeviceScope>(device.get());
        manager = std::make_unique<DS_DocResManager>();
        managerScope = std::make_unique<CurrentDocResManagerScope>(manager.get());
        renderContext = std::make_unique<RenderContext>();
        contextScope = std::make_unique<CurrentRenderContextScope>(renderContext.get());
        savedSizing = g_RenderTargetSizing;
        g_RenderTargetSizing = RenderTargetSizing{1, std::int32_t(kTargetSize), std::int32_t(kTargetSize)};
        viewStackAtStart = DS_2D_Light::ViewStackDepth();
        white = quad_test::MakeTexture(*device, 1, 1, {0xFFFFFFFFu});
    }

    void TearDown() override
    {
        EXPECT_EQ(DS_2D_Light::ViewStackDepth(), viewStackAtStart) << "the view stack was left unbalanced";
        white.Reset();
        g_RenderTargetSizing = savedSizing;
        contextScope.reset();
        renderContext.reset();
        managerScope.reset();
        manager.reset();
        resourceDevice.reset();
    }

    // The manager reads a record that stores the striped picture for
    // kPictureLink, as a document does.
    // Stores `bytes` under `link` as a document's resource record does.
    void StoreTextureSetPicture(const LinkKey& link, const kxi_string& fileName, std::vector<std::uint8_t> bytes)
    {
        ModuleResourceBlob stored(fileName);
        stored.SetBytes(std::move(bytes));
        DocResManagerRecord record;
        record.textureSetRecords[link] = {stored};
        DocumentWriter writer;
        writer.DocResManager(record);
        MemoryArchive archive(writer.Bytes());
        ReadDocResManagerRecord(archive.Reader(), *manager);
    }

    void StoreStripesPicture()
    {
        StoreTextureSetPicture(kPictureLink, u"stripes.bmp",
                               docres_test::BmpPicture(kPictureWidth, kPictureHeight, StripesColour));
    }

    // A stretched light showing a one-colour picture of the picture's size,
    // stored under `link`.
    std::unique_ptr<DS_2D_Light> MakeFlatLight(const LinkKey& link, std::uint32_t rgb)
    {
        StoreTextureSetPicture(link, u"flat.bmp", docres_test::SolidBmp(kPictureWidth, kPictureHeight, rgb));
        return MakeLight(link, PicturePosition::kStretch);
    }

    // A light showing `link` as the player sets one up: device objects, the
    // view over the back buffer, device states and render-target pair, and
    // the picture-position mode.
    std::unique_ptr<DS_2D_Light> MakeLight(const LinkKey& link, int mode)
    {
        auto light = std::make_unique<DS_2D_Light>();
        light->BackgroundLink().StorePathAndId(link.path, link.id);
        light->CreateDeviceObjects();
        QuadVertices view;
        view.FillTarget(*device);
        light->ApplyView(view);
        light->OnResetDevice();
        device->SetRenderState(gfx::RenderState::CullMode, std::uint32_t(gfx::Cull::None));
        light->SetPictureMode(mode);
        return light;
    }

    std::unique_ptr<DS_2D_Light> MakeStripesLight(int mode)
    {
        StoreStripesPicture();
        return MakeLight(kPictureLink, mode);
    }

    std::vector<std::uint32_t> BackBufferPixels()
    {
        return quad_test::ReadSurface(*device, quad_test::BackBuffer(*device).Get());
    }

    gfx::Ref<gfx::Effect> LoadTestEffect()
    {
        gfx::Effect* raw = nullptr;
        std::string errors;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(kTestEffect.data());
        EXPECT_EQ(gfx::Effect::Create(*device, std::span(bytes, kTestEffect.size()), &raw, &errors), gfx::kOk)
            << errors;
        return gfx::Ref<gfx::Effect>::Adopt(raw);
    }

    // A probe that draws a rectangle of the canvas in one colour through
    // the renderer's batch draw without an effect.
    DS_SafePtr<KXI_RenderObj> RectProbe(std::string name, ProbeLog& log, std::uint32_t depthPercent, float left,
                                        float top, float right, float bottom, std::uint32_t rgb)
    {
        std::shared_ptr<QuadBatchBuffer> batch =
            MakeRectBatch(*device, left, top, right, bottom, 0xFF000000u | rgb);
        gfx::Device* target = device.get();
        gfx::Texture* texture = white.Get();
        auto draw = [batch, target, texture](DS_ABRender& renderer) {
            target->SetTexture(0, texture);
            renderer.DrawIndexedOptionalEffect(*batch, nullptr, 0, 1);
        };
        return DS_SafePtr<KXI_RenderObj>(new ProbeObject(std::move(name), log, depthPercent, draw));
    }

    // A probe that reads the picture drawn so far and draws it back over the
    // whole canvas with the copy effect, as picture effects do.
    DS_SafePtr<KXI_RenderObj> ReaderProbe(std::string name, ProbeLog& log, gfx::Effect& effect)
    {
        auto draw = [&effect](DS_ABRender& renderer) {
            effect.SetTechnique("Copy");
            effect.SetTexture("Texture", renderer.GetTargetTexture());
            renderer.DrawWithEffect(renderer.GetBackgroundQuad(), effect);
            effect.SetTexture("Texture", nullptr);
        };
        return DS_SafePtr<KXI_RenderObj>(new ProbeObject(std::move(name), log, 100, draw, 1));
    }

    gfx::PresentParameters parameters;
    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> resourceDevice;
    std::unique_ptr<DS_DocResManager> manager;
    std::unique_ptr<CurrentDocResManagerScope> managerScope;
    std::unique_ptr<RenderContext> renderContext;
    std::unique_ptr<CurrentRenderContextScope> contextScope;
    RenderTargetSizing savedSizing;
    std::size_t viewStackAtStart = 0;
    gfx::Ref<gfx::Texture> white;
};

} // namespace picture_scene_test

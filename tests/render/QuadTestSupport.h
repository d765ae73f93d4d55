#pragma once
// Fixtures for the quad, batch and render-surface tests: a small headless
// device installed as the resource device (with a document resource manager
// current, so losable objects register), read-back helpers, and a renderer
// that pushes views over render targets and draws its background quad with
// an effect, as the picture scene does.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "objectmodel/DocumentClasses.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/HeadlessContext.h"
#include "platform/math/MathFunctions.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"
#include "render/PictureFit.h"
#include "render/QuadTextured.h"
#include "render/ResourceLoading.h"
#include "render/ScreenQuad.h"

namespace quad_test {

inline constexpr std::uint32_t kRed = 0xFFFF0000u;
inline constexpr std::uint32_t kGreen = 0xFF00FF00u;
inline constexpr std::uint32_t kBlue = 0xFF0000FFu;
inline constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
inline constexpr std::uint32_t kBlack = 0xFF000000u;

// The pixels of a surface (render targets included), 0xAARRGGBB, top row first.
inline std::vector<std::uint32_t> ReadSurface(gfx::Device& device, gfx::Surface* surface)
{
    std::vector<std::uint32_t> pixels;
    EXPECT_EQ(device.ReadPixels(surface, &pixels), gfx::kOk);
    return pixels;
}

inline std::vector<std::uint32_t> ReadTexture(gfx::Device& device, gfx::Texture* texture)
{
    if (!texture) {
        ADD_FAILURE() << "no texture to read";
        return {};
    }
    return ReadSurface(device, texture->SurfaceLevel(0).Get());
}

inline gfx::Ref<gfx::Surface> CurrentTarget(gfx::Device& device)
{
    gfx::Surface* raw = nullptr;
    EXPECT_EQ(device.GetRenderTarget(0, &raw), gfx::kOk);
    return gfx::Ref<gfx::Surface>::Adopt(raw);
}

inline gfx::Ref<gfx::Surface> BackBuffer(gfx::Device& device)
{
    gfx::Surface* raw = nullptr;
    EXPECT_EQ(device.GetBackBuffer(&raw), gfx::kOk);
    return gfx::Ref<gfx::Surface>::Adopt(raw);
}

// One channel (shift 0 blue, 8 green, 16 red, 24 alpha) of a pixel.
inline int Channel(std::uint32_t pixel, int shift)
{
    return int((pixel >> shift) & 0xFFu);
}

inline std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

// A managed A8R8G8B8 texture holding `pixels` (top row first).
inline gfx::Ref<gfx::Texture> MakeTexture(gfx::Device& device, std::uint32_t width, std::uint32_t height,
                                          const std::vector<std::uint32_t>& pixels)
{
    gfx::Texture* raw = nullptr;
    EXPECT_EQ(device.CreateTexture(width, height, 1, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed, &raw), gfx::kOk);
    auto texture = gfx::Ref<gfx::Texture>::Adopt(raw);
    gfx::LockedRect locked;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), gfx::kOk);
    for (std::uint32_t y = 0; y < height; ++y)
        std::memcpy(static_cast<std::uint8_t*>(locked.bits) + y * std::uint32_t(locked.pitch), pixels.data() + y * width,
                    width * 4);
    EXPECT_EQ(texture->UnlockRect(0), gfx::kOk);
    return texture;
}

// The bytes of a vertex or index buffer as records of one type.
template <class Record>
std::vector<Record> BufferRecords(const gfx::Buffer* buffer)
{
    if (!buffer)
        return {};
    std::vector<Record> records(buffer->Size() / sizeof(Record));
    std::memcpy(records.data(), buffer->Bytes(), records.size() * sizeof(Record));
    return records;
}

// Stage 0 passes the vertex colour and alpha through.
inline void UseDiffuseOnly(gfx::Device& device)
{
    using gfx::TextureStageState;
    device.SetTextureStageState(0, TextureStageState::ColorOp, std::uint32_t(gfx::TextureOp::SelectArg1));
    device.SetTextureStageState(0, TextureStageState::ColorArg1, gfx::TextureArg::Diffuse);
    device.SetTextureStageState(0, TextureStageState::AlphaOp, std::uint32_t(gfx::TextureOp::SelectArg1));
    device.SetTextureStageState(0, TextureStageState::AlphaArg1, gfx::TextureArg::Diffuse);
}

// Stage 0 shows the texture as it is.
inline void UseTextureOnly(gfx::Device& device)
{
    using gfx::TextureStageState;
    device.SetTextureStageState(0, TextureStageState::ColorOp, std::uint32_t(gfx::TextureOp::SelectArg1));
    device.SetTextureStageState(0, TextureStageState::ColorArg1, gfx::TextureArg::Texture);
    device.SetTextureStageState(0, TextureStageState::AlphaOp, std::uint32_t(gfx::TextureOp::SelectArg1));
    device.SetTextureStageState(0, TextureStageState::AlphaArg1, gfx::TextureArg::Texture);
}

// Fills the current target's rectangle [left, right) x [top, bottom) with a
// pre-transformed colour quad.
inline void FillRect(gfx::Device& device, float left, float top, float right, float bottom, std::uint32_t colour)
{
    ScreenQuad quad;
    ASSERT_TRUE(quad.SetQuadAndColor(device, QuadVertices::FromRect(left, top, right - left, bottom - top), colour));
    UseDiffuseOnly(device);
    quad.BindStream(device);
    ASSERT_EQ(quad.DrawStrip(device), gfx::kOk);
}

// The blur effect of the shared module, read from its source file.
inline std::vector<std::uint8_t> BlurEffectBytes()
{
    // The source tree's path comes from the build: __FILE__ may be relative
    // to the compiler's folder (ccache's base_dir rewrites it so).
    const std::filesystem::path path =
        std::filesystem::path(ORVANTA_SOURCE_DIR) / "resources" / "common_res" / "RCDATA-202-gaussian-blur.fx";
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << "cannot open " << path;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A renderer as the picture scene is one for render surfaces: a view stack
// of target sizes (the canvas, the picture's size, stretched over a pushed
// target) and a background quad over the whole picture drawn with effects.
class SurfaceRenderer : public DS_ABRender {
public:
    struct View {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        int mode = 0;
    };

    SurfaceRenderer(gfx::Device& device, std::uint32_t pictureWidth, std::uint32_t pictureHeight)
        : m_device(device), m_pictureWidth(pictureWidth), m_pictureHeight(pictureHeight)
    {
        EXPECT_TRUE(m_background.Build(device));
        m_background.SetSize(float(pictureWidth), float(pictureHeight));
        m_views.push_back({pictureWidth, pictureHeight, PicturePosition::kStretch});
        ApplyView();
    }

    void PushView(std::uint32_t width, std::uint32_t height, int mode) override
    {
        pushes.push_back({width, height, mode});
        m_views.push_back({width, height, mode});
        ApplyView();
    }
    void PopView() override
    {
        ++pops;
        if (m_views.size() > 1)
            m_views.pop_back();
        ApplyView();
    }
    void DrawWithEffect(TexturedQuad& quad, gfx::Effect& effect) override
    {
        techniques.push_back(effect.CurrentTechnique());
        m_device.SetTransform(gfx::TransformState::World, quad.node.world);
        std::uint32_t passes = 0;
        effect.Begin(&passes, 0);
        for (std::uint32_t pass = 0; pass < passes; ++pass) {
            effect.BeginPass(pass);
            quad.BindStream(m_device);
            quad.DrawStrip(m_device);
            effect.EndPass();
        }
        effect.End();
    }
    TexturedQuad& GetBackgroundQuad() override { return m_background; }
    std::uint32_t GetWidth() const override { return m_pictureWidth; }
    std::uint32_t GetHeight() const override { return m_pictureHeight; }

    // Not used by render surfaces.
    void DrawIndexedWithEffect(QuadBatchBuffer&, gfx::Effect&) override { Unexpected(); }
    void DrawIndexedOptionalEffect(QuadBatchBuffer&, gfx::Effect*, std::uint32_t, std::uint32_t) override
    {
        Unexpected();
    }
    void DrawColoredWithEffect(QuadBatchBuffer&, gfx::Effect&) override { Unexpected(); }
    void DrawSpriteList(MeshItem&) override { Unexpected(); }
    void DrawTexturedBatch(DS_SpriteArrayObj&) override { Unexpected(); }
    void DrawMeshList(TexturedBatch&) override { Unexpected(); }
    void DrawMirrored(MirroredGrid&, int) override { Unexpected(); }
    void SwitchRenderTarget(int&) override { Unexpected(); }
    gfx::Texture* GetTargetTexture() override
    {
        Unexpected();
        return nullptr;
    }

    std::size_t ViewDepth() const { return m_views.size() - 1; }

    std::vector<View> pushes;
    int pops = 0;
    std::vector<std::string> techniques;

private:
    static void Unexpected() { ADD_FAILURE() << "a render surface drew through an unexpected operation"; }

    // Projection over the current target; the canvas stretched over it.
    void ApplyView()
    {
        const View& view = m_views.back();
        m_device.SetTransform(gfx::TransformState::Projection, OrthoOverTarget(float(view.width), float(view.height)));
        math::Matrix scale;
        math::MatrixScaling(&scale, GuardedDivide(float(view.width), float(m_pictureWidth)),
                            GuardedDivide(float(view.height), float(m_pictureHeight)), 1.0f);
        m_device.SetTransform(gfx::TransformState::View, scale);
    }

    gfx::Device& m_device;
    std::uint32_t m_pictureWidth;
    std::uint32_t m_pictureHeight;
    PictureQuad m_background;
    std::vector<View> m_views;
};

// A headless device of kWidth x kHeight installed as the resource device,
// with a document resource manager current on the thread.
class DeviceFixture : public ::testing::Test {
protected:
    static constexpr std::uint32_t kWidth = 32;
    static constexpr std::uint32_t kHeight = 16;

    void SetUp() override
    {
        std::string error;
        parameters.backBufferWidth = kWidth;
        parameters.backBufferHeight = kHeight;
        device = gfx::CreateHeadlessDevice(parameters, &error);
        ASSERT_TRUE(device) << error;
        resourceDevice = std::make_unique<ResourceDeviceScope>(device.get());
        manager = std::make_unique<DS_DocResManager>();
        managerScope = std::make_unique<CurrentDocResManagerScope>(manager.get());
        device->SetRenderState(gfx::RenderState::Lighting, gfx::kFalse);
        device->SetRenderState(gfx::RenderState::ZEnable, gfx::kFalse);
        device->SetRenderState(gfx::RenderState::CullMode, std::uint32_t(gfx::Cull::None));
        device->Clear(0, nullptr, gfx::ClearFlags::Target | gfx::ClearFlags::ZBuffer, kBlack, 1.0f, 0);
    }

    void TearDown() override
    {
        managerScope.reset();
        manager.reset();
        resourceDevice.reset();
    }

    std::vector<std::uint32_t> BackBufferPixels() { return ReadSurface(*device, BackBuffer(*device).Get()); }

    gfx::Ref<gfx::Effect> LoadBlurEffect()
    {
        const std::vector<std::uint8_t> bytes = BlurEffectBytes();
        gfx::Effect* raw = nullptr;
        std::string errors;
        EXPECT_EQ(gfx::Effect::Create(*device, bytes, &raw, &errors), gfx::kOk) << errors;
        return gfx::Ref<gfx::Effect>::Adopt(raw);
    }

    gfx::PresentParameters parameters;
    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> resourceDevice;
    std::unique_ptr<DS_DocResManager> manager;
    std::unique_ptr<CurrentDocResManagerScope> managerScope;
};

} // namespace quad_test

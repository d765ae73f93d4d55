#pragma once
// Helpers for the device tests: a headless device, vertex records of the
// formats the scene code draws, and small texture and read-back helpers.
// Every test that needs GL fails (never skips) when no context can be made.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "platform/math/MathFunctions.h"

namespace gfx::test {

struct XyzDiffuse { // 0x42
    float x, y, z;
    std::uint32_t color;
};
struct XyzRhwDiffuse { // 0x44
    float x, y, z, rhw;
    std::uint32_t color;
};
struct XyzTex { // 0x102
    float x, y, z, u, v;
};
struct XyzDiffuseTex { // 0x142
    float x, y, z;
    std::uint32_t color;
    float u, v;
};
struct XyzRhwDiffuseTex { // 0x144
    float x, y, z, rhw;
    std::uint32_t color;
    float u, v;
};
struct XyzNormalTex { // 0x112
    float x, y, z, nx, ny, nz, u, v;
};
struct XyzTex2 { // 0x202
    float x, y, z, u0, v0, u1, v1;
};
struct XyzNormalDiffuseTex { // 0x152
    float x, y, z, nx, ny, nz;
    std::uint32_t color;
    float u, v;
};

inline std::unique_ptr<Device> MakeDevice(std::uint32_t width, std::uint32_t height, std::string* error,
                                          Format format = Format::X8R8G8B8)
{
    PresentParameters parameters;
    parameters.backBufferWidth = width;
    parameters.backBufferHeight = height;
    parameters.backBufferFormat = format;
    return CreateHeadlessDevice(parameters, error);
}

template <typename Vertex>
Ref<VertexBuffer> MakeVertexBuffer(Device& device, const std::vector<Vertex>& vertices, std::uint32_t fvf)
{
    VertexBuffer* buffer = nullptr;
    const std::uint32_t bytes = std::uint32_t(vertices.size() * sizeof(Vertex));
    EXPECT_EQ(device.CreateVertexBuffer(bytes, Usage::WriteOnly, fvf, Pool::Managed, &buffer), kOk);
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, 0), kOk);
    std::memcpy(data, vertices.data(), bytes);
    EXPECT_EQ(buffer->Unlock(), kOk);
    return Ref<VertexBuffer>::Adopt(buffer);
}

inline Ref<IndexBuffer> MakeIndexBuffer(Device& device, const std::vector<std::uint16_t>& indices)
{
    IndexBuffer* buffer = nullptr;
    const std::uint32_t bytes = std::uint32_t(indices.size() * 2);
    EXPECT_EQ(device.CreateIndexBuffer(bytes, Usage::WriteOnly, Format::Index16, Pool::Managed, &buffer), kOk);
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, 0), kOk);
    std::memcpy(data, indices.data(), bytes);
    EXPECT_EQ(buffer->Unlock(), kOk);
    return Ref<IndexBuffer>::Adopt(buffer);
}

// Draws `vertices` as a list or strip from a fresh buffer.
template <typename Vertex>
HRESULT Draw(Device& device, std::uint32_t fvf, const std::vector<Vertex>& vertices,
             PrimitiveType type = PrimitiveType::TriangleStrip)
{
    Ref<VertexBuffer> buffer = MakeVertexBuffer(device, vertices, fvf);
    EXPECT_EQ(device.SetFVF(fvf), kOk);
    EXPECT_EQ(device.SetStreamSource(0, buffer.Get(), 0, sizeof(Vertex)), kOk);
    const std::uint32_t count = std::uint32_t(vertices.size());
    return device.DrawPrimitive(type, 0, type == PrimitiveType::TriangleList ? count / 3 : count - 2);
}

// A pre-transformed rectangle in target pixels, as a strip.
inline std::vector<XyzRhwDiffuseTex> ScreenRect(float left, float top, float right, float bottom,
                                                std::uint32_t color = 0xFFFFFFFF, float u0 = 0, float v0 = 0,
                                                float u1 = 1, float v1 = 1)
{
    return {{left, bottom, 0, 1, color, u0, v1},
            {left, top, 0, 1, color, u0, v0},
            {right, bottom, 0, 1, color, u1, v1},
            {right, top, 0, 1, color, u1, v0}};
}

inline std::vector<XyzRhwDiffuse> ScreenColorRect(float left, float top, float right, float bottom, std::uint32_t color)
{
    return {{left, bottom, 0, 1, color}, {left, top, 0, 1, color}, {right, bottom, 0, 1, color}, {right, top, 0, 1, color}};
}

// A texture in the managed pool filled from 0xAARRGGBB pixels, top row first.
inline Ref<Texture> MakeTexture(Device& device, std::uint32_t width, std::uint32_t height,
                                const std::vector<std::uint32_t>& pixels, Format format = Format::A8R8G8B8)
{
    Texture* texture = nullptr;
    EXPECT_EQ(device.CreateTexture(width, height, 1, 0, format, Pool::Managed, &texture), kOk);
    LockedRect locked;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), kOk);
    for (std::uint32_t y = 0; y < height; ++y)
        std::memcpy(static_cast<std::uint8_t*>(locked.bits) + y * locked.pitch, pixels.data() + y * width, width * 4);
    EXPECT_EQ(texture->UnlockRect(0), kOk);
    return Ref<Texture>::Adopt(texture);
}

inline Ref<Texture> MakeRenderTarget(Device& device, std::uint32_t width, std::uint32_t height,
                                     Format format = Format::A8R8G8B8)
{
    Texture* texture = nullptr;
    EXPECT_EQ(device.CreateTexture(width, height, 1, Usage::RenderTarget, format, Pool::Default, &texture), kOk);
    return Ref<Texture>::Adopt(texture);
}

inline std::vector<std::uint32_t> ReadTarget(Device& device)
{
    Surface* target = nullptr;
    EXPECT_EQ(device.GetRenderTarget(0, &target), kOk);
    std::vector<std::uint32_t> pixels;
    EXPECT_EQ(device.ReadPixels(target, &pixels), kOk);
    target->Release();
    return pixels;
}

// Stage 0 passes the vertex colour and alpha through (no texture needed).
inline void UseDiffuseOnly(Device& device)
{
    device.SetTextureStageState(0, TextureStageState::ColorOp, std::uint32_t(TextureOp::SelectArg1));
    device.SetTextureStageState(0, TextureStageState::ColorArg1, TextureArg::Diffuse);
    device.SetTextureStageState(0, TextureStageState::AlphaOp, std::uint32_t(TextureOp::SelectArg1));
    device.SetTextureStageState(0, TextureStageState::AlphaArg1, TextureArg::Diffuse);
}

inline bool ChannelsNear(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = int((a >> shift) & 255), cb = int((b >> shift) & 255);
        if (ca - cb > tolerance || cb - ca > tolerance)
            return false;
    }
    return true;
}

inline std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

#define EXPECT_COLOR_NEAR(actual, expected, tolerance)                                                                 \
    EXPECT_TRUE(::gfx::test::ChannelsNear((actual), (expected), (tolerance)))                                        \
        << "actual " << ::gfx::test::Hex(actual) << ", expected " << ::gfx::test::Hex(expected)

// A device of width x height for each test; the test fails when none can be made.
class DeviceTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kWidth = 16, kHeight = 16;

    void SetUp() override
    {
        std::string error;
        device = MakeDevice(kWidth, kHeight, &error);
        ASSERT_NE(device, nullptr) << "no headless GL device: " << error;
        // As the scene code sets them: no lighting, no depth test, no culling.
        ASSERT_EQ(device->SetRenderState(RenderState::Lighting, kFalse), kOk);
        ASSERT_EQ(device->SetRenderState(RenderState::ZEnable, kFalse), kOk);
        ASSERT_EQ(device->SetRenderState(RenderState::CullMode, std::uint32_t(Cull::None)), kOk);
        ASSERT_EQ(device->Clear(0, nullptr, ClearFlags::Target | ClearFlags::ZBuffer, 0xFF000000, 1.0f, 0), kOk);
    }

    std::uint32_t Pixel(const std::vector<std::uint32_t>& pixels, std::uint32_t x, std::uint32_t y) const
    {
        return pixels[y * kWidth + x];
    }

    // A y-down orthographic projection over the target, as the scene code uses.
    void UseScreenProjection()
    {
        math::Matrix projection;
        math::MatrixOrthoOffCenterLH(&projection, 0, float(kWidth), float(kHeight), 0, -100, 100);
        ASSERT_EQ(device->SetTransform(TransformState::Projection, projection), kOk);
    }

    std::unique_ptr<Device> device;
};

} // namespace gfx::test

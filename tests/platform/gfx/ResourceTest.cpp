// Resources: lock/unlock persistence, reference counts, refused draws and
// creations, copies between surfaces, and the lost-device cycle.

#include <functional>

#include "GfxTestSupport.h"

namespace gfx::test {
namespace {

class ResourceTest : public DeviceTest {};

TEST_F(ResourceTest, TextureContentsPersistAcrossLocks)
{
    std::vector<std::uint32_t> picture(kWidth * kHeight, 0xFF0000FF);
    Ref<Texture> texture = MakeTexture(*device, kWidth, kHeight, picture);

    // A second lock sees what the first wrote; writing a sub-rectangle leaves
    // the rest as it was.
    const Rect corner{4, 2, 8, 5};
    LockedRect locked;
    ASSERT_EQ(texture->LockRect(0, &locked, &corner, 0), kOk);
    EXPECT_EQ(locked.pitch, std::int32_t(kWidth * 4));
    EXPECT_EQ(*static_cast<std::uint32_t*>(locked.bits), 0xFF0000FFu);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.bits) + y * locked.pitch)[x] = 0xFFFFFF00;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), kInvalidCall) << "already locked";
    ASSERT_EQ(texture->UnlockRect(0), kOk);
    EXPECT_EQ(texture->UnlockRect(0), kInvalidCall) << "not locked";
    for (int y = 2; y < 5; ++y)
        for (int x = 4; x < 8; ++x)
            picture[y * kWidth + x] = 0xFFFFFF00;

    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, Lock::ReadOnly), kOk);
    for (std::uint32_t y = 0; y < kHeight; ++y)
        EXPECT_EQ(0, std::memcmp(static_cast<std::uint8_t*>(locked.bits) + y * locked.pitch, &picture[y * kWidth], kWidth * 4));
    ASSERT_EQ(texture->UnlockRect(0), kOk);

    device->SetTexture(0, texture.Get());
    ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight)), kOk);
    EXPECT_EQ(ReadTarget(*device), picture);
}

TEST_F(ResourceTest, LockRectRefusesWhatCannotBeLocked)
{
    Ref<Texture> texture = MakeTexture(*device, 8, 8, std::vector<std::uint32_t>(64));
    LockedRect locked;
    const Rect outside{4, 4, 9, 8}, empty{2, 2, 2, 4};
    EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), kInvalidCall);
    EXPECT_EQ(texture->LockRect(0, &locked, &empty, 0), kInvalidCall);
    EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), kInvalidCall) << "no such level";
    Ref<Texture> target = MakeRenderTarget(*device, 8, 8);
    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), kInvalidCall) << "render targets live on the GPU";

    Texture* compressed = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, Format::DXT1, Pool::Managed, &compressed), kOk);
    const Rect unaligned{2, 0, 8, 4}, aligned{4, 4, 8, 8};
    EXPECT_EQ(compressed->LockRect(0, &locked, &unaligned, 0), kInvalidCall);
    ASSERT_EQ(compressed->LockRect(0, &locked, &aligned, 0), kOk);
    EXPECT_EQ(locked.pitch, 16) << "two blocks of 8 bytes per row of blocks";
    compressed->UnlockRect(0);
    compressed->Release();
}

TEST_F(ResourceTest, MipLevelsHaveTheirOwnSizesAndPitches)
{
    Texture* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 4, 0, 0, Format::A8, Pool::Managed, &texture), kOk);
    ASSERT_EQ(texture->GetLevelCount(), 5u);
    const std::uint32_t widths[] = {16, 8, 4, 2, 1}, heights[] = {4, 2, 1, 1, 1};
    for (std::uint32_t level = 0; level < 5; ++level) {
        SurfaceDesc desc;
        ASSERT_EQ(texture->GetLevelDesc(level, &desc), kOk);
        EXPECT_EQ(desc.width, widths[level]);
        EXPECT_EQ(desc.height, heights[level]);
        LockedRect locked;
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), kOk);
        EXPECT_EQ(locked.pitch, std::int32_t(widths[level]));
        texture->UnlockRect(level);
    }
    Texture* tooMany = nullptr;
    EXPECT_EQ(device->CreateTexture(16, 4, 6, 0, Format::A8, Pool::Managed, &tooMany), kInvalidCall);
    texture->Release();
}

TEST_F(ResourceTest, BufferContentsPersistAndPartialLocksUpdateOnlyTheirRange)
{
    UseDiffuseOnly(*device);
    std::vector<XyzRhwDiffuse> quads = ScreenColorRect(0, 0, 8, 16, 0xFFFF0000);
    const auto right = ScreenColorRect(8, 0, 16, 16, 0xFF00FF00);
    quads.insert(quads.end(), right.begin(), right.end());
    Ref<VertexBuffer> buffer = MakeVertexBuffer(*device, quads, 0x44);
    device->SetFVF(0x44);
    device->SetStreamSource(0, buffer.Get(), 0, sizeof(XyzRhwDiffuse));

    // Recolour the second quad only.
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(4 * sizeof(XyzRhwDiffuse), 4 * sizeof(XyzRhwDiffuse), &data, 0), kOk);
    for (int i = 0; i < 4; ++i)
        static_cast<XyzRhwDiffuse*>(data)[i].color = 0xFF0000FF;
    ASSERT_EQ(buffer->Unlock(), kOk);
    EXPECT_EQ(buffer->Unlock(), kInvalidCall);

    ASSERT_EQ(device->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2), kOk);
    ASSERT_EQ(device->DrawPrimitive(PrimitiveType::TriangleStrip, 4, 2), kOk);
    auto pixels = ReadTarget(*device);
    EXPECT_EQ(Pixel(pixels, 2, 2), 0xFFFF0000u);
    EXPECT_EQ(Pixel(pixels, 12, 2), 0xFF0000FFu);

    ASSERT_EQ(buffer->Lock(0, 0, &data, Lock::ReadOnly), kOk);
    EXPECT_EQ(static_cast<XyzRhwDiffuse*>(data)[0].color, 0xFFFF0000u);
    EXPECT_EQ(static_cast<XyzRhwDiffuse*>(data)[7].color, 0xFF0000FFu);
    buffer->Unlock();
    EXPECT_EQ(buffer->Lock(0, std::uint32_t(quads.size() * sizeof(XyzRhwDiffuse)) + 1, &data, 0), kInvalidCall);
}

// Quads drawn as indexed triangle lists (0, 1, 2, 2, 1, 3 per quad), with a
// start index and a base vertex.
TEST_F(ResourceTest, IndexedDrawsUseStartIndexAndBaseVertex)
{
    UseDiffuseOnly(*device);
    std::vector<XyzRhwDiffuse> vertices;
    const std::uint32_t colors[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (int q = 0; q < 3; ++q) {
        const auto quad = ScreenColorRect(float(q * 5), 0, float(q * 5 + 5), 16, colors[q]);
        vertices.insert(vertices.end(), quad.begin(), quad.end());
    }
    Ref<VertexBuffer> vb = MakeVertexBuffer(*device, vertices, 0x44);
    Ref<IndexBuffer> ib = MakeIndexBuffer(*device, {0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7});
    device->SetFVF(0x44);
    device->SetStreamSource(0, vb.Get(), 0, sizeof(XyzRhwDiffuse));
    device->SetIndices(ib.Get());
    // The second quad's indices with base vertex 4: vertices 8..11, the third quad.
    ASSERT_EQ(device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 4, 0, 4, 6, 2), kOk);
    auto pixels = ReadTarget(*device);
    EXPECT_EQ(Pixel(pixels, 12, 4), 0xFF0000FFu);
    EXPECT_EQ(Pixel(pixels, 2, 4), 0xFF000000u);
    ASSERT_EQ(device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 8, 0, 4), kOk);
    pixels = ReadTarget(*device);
    EXPECT_EQ(Pixel(pixels, 2, 4), 0xFFFF0000u);
    EXPECT_EQ(Pixel(pixels, 7, 4), 0xFF00FF00u);
}

// Draws that would read past a buffer are refused, not sent to GL.
TEST_F(ResourceTest, DrawsOutsideTheBuffersAreRefused)
{
    UseDiffuseOnly(*device);
    Ref<VertexBuffer> vb = MakeVertexBuffer(*device, ScreenColorRect(0, 0, 16, 16, 0xFFFFFFFF), 0x44);
    Ref<IndexBuffer> ib = MakeIndexBuffer(*device, {0, 1, 2, 2, 1, 3, 0, 1, 9});
    EXPECT_EQ(device->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2), kInvalidCall) << "no vertex format or stream";
    device->SetFVF(0x44);
    device->SetStreamSource(0, vb.Get(), 0, sizeof(XyzRhwDiffuse));
    device->SetIndices(ib.Get());

    struct Case {
        const char* name;
        HRESULT expected;
        std::function<HRESULT()> draw;
    };
    const Case cases[] = {
        {"whole buffer", kOk, [&] { return device->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2); }},
        {"one vertex too many", kInvalidCall, [&] { return device->DrawPrimitive(PrimitiveType::TriangleStrip, 1, 2); }},
        {"list longer than the buffer", kInvalidCall,
         [&] { return device->DrawPrimitive(PrimitiveType::TriangleList, 0, 2); }},
        {"unknown primitive type", kInvalidCall, [&] { return device->DrawPrimitive(PrimitiveType(6), 0, 1); }},
        {"indices in range", kOk, [&] { return device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 4, 0, 2); }},
        {"index 9 past the vertices", kInvalidCall,
         [&] { return device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 4, 6, 1); }},
        {"base vertex pushes past the end", kInvalidCall,
         [&] { return device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 1, 0, 4, 0, 2); }},
        {"negative base vertex below zero", kInvalidCall,
         [&] { return device->DrawIndexedPrimitive(PrimitiveType::TriangleList, -1, 0, 4, 0, 2); }},
        {"more indices than the buffer holds", kInvalidCall,
         [&] { return device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 4, 3, 3); }},
        {"zero primitives draw nothing", kOk, [&] { return device->DrawPrimitive(PrimitiveType::TriangleList, 100, 0); }},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.draw(), c.expected) << c.name;

    device->SetStreamSource(0, vb.Get(), 0, 16);
    EXPECT_EQ(device->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 1), kInvalidCall) << "stride below the vertex size";
    EXPECT_EQ(device->SetFVF(0x44 | 0x20), kInvalidCall) << "point sizes are not drawn";
    EXPECT_EQ(device->SetFVF(0x300), kInvalidCall) << "no position";
}

TEST_F(ResourceTest, CreationRefusesUnusableRequests)
{
    Texture* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(0, 4, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture), kInvalidCall);
    EXPECT_EQ(device->CreateTexture(1u << 20, 4, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture), kInvalidCall);
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, Format::Index16, Pool::Managed, &texture), kInvalidCall);
    EXPECT_EQ(device->CreateTexture(4, 4, 1, Usage::RenderTarget, Format::A8R8G8B8, Pool::Managed, &texture), kInvalidCall);
    EXPECT_EQ(device->CreateTexture(4, 4, 1, Usage::RenderTarget, Format::V8U8, Pool::Default, &texture), kInvalidCall);
    EXPECT_EQ(texture, nullptr);
    VertexBuffer* vb = nullptr;
    EXPECT_EQ(device->CreateVertexBuffer(0, 0, 0x42, Pool::Managed, &vb), kInvalidCall);
    EXPECT_EQ(device->CreateVertexBuffer(0xFFFFFFFFu, 0, 0x42, Pool::Managed, &vb), kOutOfVideoMemory);
    IndexBuffer* ib = nullptr;
    EXPECT_EQ(device->CreateIndexBuffer(12, 0, Format::A8R8G8B8, Pool::Managed, &ib), kInvalidCall);
}

TEST_F(ResourceTest, SurfacesShareTheirTexturesReferenceCount)
{
    Ref<Texture> texture = MakeRenderTarget(*device, 8, 8);
    EXPECT_EQ(texture->ReferenceCount(), 1u);
    {
        Ref<Surface> level = texture->SurfaceLevel(0);
        EXPECT_EQ(texture->ReferenceCount(), 2u);
        EXPECT_EQ(level->Container(), texture.Get());
        ASSERT_EQ(device->SetRenderTarget(0, level.Get()), kOk);
        EXPECT_EQ(texture->ReferenceCount(), 3u) << "the device holds its render target";
        ASSERT_EQ(device->SetTexture(2, texture.Get()), kOk);
        EXPECT_EQ(texture->ReferenceCount(), 4u);
    }
    Surface* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(&backBuffer), kOk);
    device->SetRenderTarget(0, backBuffer);
    backBuffer->Release();
    device->SetTexture(2, nullptr);
    EXPECT_EQ(texture->ReferenceCount(), 1u);

    Surface* depth = nullptr;
    ASSERT_EQ(device->GetDepthStencilSurface(&depth), kOk);
    ASSERT_EQ(device->SetDepthStencilSurface(nullptr), kOk);
    Surface* none = reinterpret_cast<Surface*>(1);
    EXPECT_EQ(device->GetDepthStencilSurface(&none), kNotFound);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(device->SetDepthStencilSurface(depth), kOk);
    depth->Release();
    EXPECT_EQ(device->SetRenderTarget(0, nullptr), kInvalidCall);
    EXPECT_EQ(device->SetRenderTarget(1, texture->SurfaceLevel(0).Get()), kInvalidCall);
}

// The scene's render-target routine: keep the target and depth surface, draw
// into a texture without depth, put them back.
TEST_F(ResourceTest, SavedRenderTargetAndDepthSurfaceRestore)
{
    Surface* savedTarget = nullptr;
    Surface* savedDepth = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &savedTarget), kOk);
    ASSERT_EQ(device->GetDepthStencilSurface(&savedDepth), kOk);
    Ref<Texture> texture = MakeRenderTarget(*device, 4, 4);
    ASSERT_EQ(device->SetRenderTarget(0, texture->SurfaceLevel(0).Get()), kOk);
    ASSERT_EQ(device->SetDepthStencilSurface(nullptr), kOk);
    ASSERT_EQ(device->Clear(0, nullptr, ClearFlags::Target, 0xFF123456, 1.0f, 0), kOk);
    EXPECT_EQ(device->Clear(0, nullptr, ClearFlags::ZBuffer, 0, 1.0f, 0), kInvalidCall) << "no depth surface";
    ASSERT_EQ(device->SetRenderTarget(0, savedTarget), kOk);
    ASSERT_EQ(device->SetDepthStencilSurface(savedDepth), kOk);
    savedTarget->Release();
    savedDepth->Release();
    SurfaceDesc desc;
    Surface* current = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &current), kOk);
    current->GetDesc(&desc);
    current->Release();
    EXPECT_EQ(desc.width, kWidth);
    EXPECT_EQ(ReadTarget(*device)[0], 0xFF000000u);
    std::vector<std::uint32_t> pixels;
    ASSERT_EQ(device->ReadPixels(texture->SurfaceLevel(0).Get(), &pixels), kOk);
    EXPECT_EQ(pixels, std::vector<std::uint32_t>(16, 0xFF123456));
}

TEST_F(ResourceTest, ReadBackSeesEveryDrawIntoATextureThatWasSampledBefore)
{
    // Two targets taking turns, as a render-target pair does: each is shown
    // (sampled), then drawn into, then read back right after the device has
    // moved on to the other one. The read must see the new drawing even when
    // the draws are still under way; llvmpipe does not wait for them by
    // itself once the texture was last sampled rather than drawn into.
    constexpr std::uint32_t kSide = 64;
    const Ref<Texture> targets[2] = {MakeRenderTarget(*device, kSide, kSide), MakeRenderTarget(*device, kSide, kSide)};
    const Ref<Texture> white = MakeTexture(*device, 1, 1, {0xFFFFFFFFu});
    Surface* backBuffer = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), kOk);
    const Ref<Surface> screen = Ref<Surface>::Adopt(backBuffer);
    ASSERT_EQ(device->SetDepthStencilSurface(nullptr), kOk);
    device->SetTextureStageState(0, TextureStageState::ColorOp, std::uint32_t(TextureOp::Modulate));
    device->SetTextureStageState(0, TextureStageState::AlphaOp, std::uint32_t(TextureOp::Modulate));
    // A target's colour changes every time it is drawn into.
    const std::uint32_t colours[2] = {0xFF00FF00u, 0xFFFF0000u};
    int staleReads = 0;
    for (std::uint32_t round = 0; round < 40; ++round) {
        Texture& drawn = *targets[round % 2];
        Texture& other = *targets[(round + 1) % 2];
        const std::uint32_t colour = colours[round % 4 / 2];
        ASSERT_EQ(device->SetRenderTarget(0, screen.Get()), kOk);
        ASSERT_EQ(device->SetTexture(0, &drawn), kOk);
        ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight)), kOk);

        ASSERT_EQ(device->SetRenderTarget(0, drawn.SurfaceLevel(0).Get()), kOk);
        ASSERT_EQ(device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000, 1.0f, 0), kOk);
        ASSERT_EQ(device->SetTexture(0, white.Get()), kOk);
        ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kSide, kSide, colour)), kOk);
        ASSERT_EQ(device->SetRenderTarget(0, other.SurfaceLevel(0).Get()), kOk);
        ASSERT_EQ(device->Clear(0, nullptr, ClearFlags::Target, 0xFF000000, 1.0f, 0), kOk);

        std::vector<std::uint32_t> pixels;
        ASSERT_EQ(device->ReadPixels(drawn.SurfaceLevel(0).Get(), &pixels), kOk);
        staleReads += pixels.back() != colour ? 1 : 0;
    }
    EXPECT_EQ(staleReads, 0) << "reads that missed the drawing before them";
}

TEST_F(ResourceTest, StretchRectResizesIntoARenderTarget)
{
    // 2 x 2 picture into an 8 x 8 target: each texel becomes a 4 x 4 block.
    Ref<Texture> picture = MakeTexture(*device, 2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    Ref<Texture> target = MakeRenderTarget(*device, 8, 8);
    device->SetRenderState(RenderState::AlphaBlendEnable, kTrue); // must not affect the copy
    device->SetRenderState(RenderState::ColorWriteEnable, 0);
    ASSERT_EQ(device->StretchRect(picture->SurfaceLevel(0).Get(), nullptr, target->SurfaceLevel(0).Get(), nullptr,
                                  TextureFilter::Point),
              kOk);
    std::vector<std::uint32_t> pixels;
    ASSERT_EQ(device->ReadPixels(target->SurfaceLevel(0).Get(), &pixels), kOk);
    EXPECT_EQ(pixels[0], 0xFFFF0000u);
    EXPECT_EQ(pixels[7], 0xFF00FF00u);
    EXPECT_EQ(pixels[7 * 8], 0xFF0000FFu);
    EXPECT_EQ(pixels[63], 0xFFFFFFFFu);

    // A part of the source into a part of the target.
    const Rect from{1, 1, 2, 2}, to{2, 0, 4, 2};
    ASSERT_EQ(device->StretchRect(picture->SurfaceLevel(0).Get(), &from, target->SurfaceLevel(0).Get(), &to,
                                  TextureFilter::Point),
              kOk);
    ASSERT_EQ(device->ReadPixels(target->SurfaceLevel(0).Get(), &pixels), kOk);
    EXPECT_EQ(pixels[2], 0xFFFFFFFFu);
    EXPECT_EQ(pixels[1 * 8 + 3], 0xFFFFFFFFu);
    EXPECT_EQ(pixels[1 * 8 + 4], 0xFF00FF00u) << "outside the destination rectangle";
    EXPECT_EQ(pixels[1 * 8 + 1], 0xFFFF0000u);

    const Rect outside{0, 0, 3, 2};
    EXPECT_EQ(device->StretchRect(picture->SurfaceLevel(0).Get(), &outside, target->SurfaceLevel(0).Get(), nullptr,
                                  TextureFilter::Point),
              kInvalidCall);
    EXPECT_EQ(device->StretchRect(target->SurfaceLevel(0).Get(), nullptr, picture->SurfaceLevel(0).Get(), nullptr,
                                  TextureFilter::Point),
              kInvalidCall)
        << "the destination must be a render target";

    // The device's own state is untouched: a draw still uses the write mask.
    device->SetRenderState(RenderState::ColorWriteEnable, ColorWrite::All);
    device->SetRenderState(RenderState::AlphaBlendEnable, kFalse);
    UseDiffuseOnly(*device);
    ASSERT_EQ(Draw(*device, 0x44, ScreenColorRect(0, 0, 16, 16, 0xFF00FFFF)), kOk);
    EXPECT_EQ(ReadTarget(*device)[0], 0xFF00FFFFu);
}

TEST_F(ResourceTest, RenderTargetDataCopiesIntoALockableTexture)
{
    Ref<Texture> target = MakeRenderTarget(*device, 4, 2);
    device->SetRenderTarget(0, target->SurfaceLevel(0).Get());
    device->Clear(0, nullptr, ClearFlags::Target, 0x80402010, 1.0f, 0);
    const Rect topLeft{0, 0, 1, 1};
    device->Clear(1, &topLeft, ClearFlags::Target, 0xFFFFFFFF, 1.0f, 0);
    Texture* copy = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 2, 1, 0, Format::A8R8G8B8, Pool::SystemMem, &copy), kOk);
    ASSERT_EQ(device->GetRenderTargetData(target->SurfaceLevel(0).Get(), copy->SurfaceLevel(0).Get()), kOk);
    LockedRect locked;
    ASSERT_EQ(copy->LockRect(0, &locked, nullptr, Lock::ReadOnly), kOk);
    const auto* row = static_cast<const std::uint32_t*>(locked.bits);
    EXPECT_EQ(row[0], 0xFFFFFFFFu);
    EXPECT_EQ(row[1], 0x80402010u);
    copy->UnlockRect(0);
    copy->Release();
}

TEST_F(ResourceTest, BlockCompressedTextureDrawsDecoded)
{
    Texture* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, Format::DXT1, Pool::Managed, &texture), kOk);
    Ref<Texture> ref = Ref<Texture>::Adopt(texture);
    LockedRect locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), kOk);
    // Colour 0 pure red, colour 1 pure blue; row 0 uses colour 0, the rest colour 1.
    const std::uint8_t block[8] = {0x00, 0xF8, 0x1F, 0x00, 0x00, 0x55, 0x55, 0x55};
    std::memcpy(locked.bits, block, 8);
    texture->UnlockRect(0);
    device->SetTexture(0, texture);
    ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, kWidth, kHeight)), kOk);
    const auto pixels = ReadTarget(*device);
    EXPECT_EQ(Pixel(pixels, 5, 1), 0xFFFF0000u);
    EXPECT_EQ(Pixel(pixels, 5, 9), 0xFF0000FFu);
}

// The lost-device cycle as the player drives it: lost, owners release their
// default-pool resources, reset, owners recreate; managed resources survive
// and every state is back at its default.
TEST_F(ResourceTest, LostDeviceResetsOnlyAfterDefaultPoolResourcesAreReleased)
{
    Ref<Texture> managed = MakeTexture(*device, 1, 1, {0xFF336699});
    Ref<Texture> target = MakeRenderTarget(*device, 8, 8);
    VertexBuffer* dynamic = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, Usage::Dynamic, 0x42, Pool::Default, &dynamic), kOk);
    EXPECT_EQ(device->DefaultPoolResourceCount(), 2u);
    device->SetRenderState(RenderState::CullMode, std::uint32_t(Cull::Clockwise));
    device->SetTexture(0, managed.Get());

    device->ForceDeviceLost();
    EXPECT_EQ(device->TestCooperativeLevel(), kDeviceLost);
    EXPECT_EQ(device->Present(), kDeviceLost);
    EXPECT_EQ(device->Clear(0, nullptr, ClearFlags::Target, 0xFFFFFFFF, 1.0f, 0), kOk) << "draws do nothing";
    EXPECT_EQ(device->Reset(PresentParameters{kWidth, kHeight}), kDeviceLost);
    device->AllowReset();
    EXPECT_EQ(device->TestCooperativeLevel(), kDeviceNotReset);
    EXPECT_EQ(device->Reset(PresentParameters{kWidth, kHeight}), kInvalidCall) << "default-pool resources alive";

    target.Reset();
    dynamic->Release();
    EXPECT_EQ(device->DefaultPoolResourceCount(), 0u);
    Surface* heldBackBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(&heldBackBuffer), kOk);
    EXPECT_EQ(device->Reset(PresentParameters{kWidth, kHeight}), kInvalidCall) << "the back buffer is still held";
    heldBackBuffer->Release();
    ASSERT_EQ(device->Reset(PresentParameters{32, 8}), kOk);
    EXPECT_EQ(device->TestCooperativeLevel(), kOk);

    std::uint32_t value = 0;
    device->GetRenderState(RenderState::CullMode, &value);
    EXPECT_EQ(value, std::uint32_t(Cull::CounterClockwise));
    Texture* bound = reinterpret_cast<Texture*>(1);
    device->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);
    SurfaceDesc desc;
    ASSERT_EQ(device->GetBackBufferDesc(&desc), kOk);
    EXPECT_EQ(desc.width, 32u);
    EXPECT_EQ(desc.height, 8u);

    target = MakeRenderTarget(*device, 8, 8); // owners recreate after the reset
    device->SetRenderState(RenderState::Lighting, kFalse);
    device->SetRenderState(RenderState::ZEnable, kFalse);
    device->SetTexture(0, managed.Get());
    ASSERT_EQ(Draw(*device, 0x144, ScreenRect(0, 0, 32, 8)), kOk);
    EXPECT_EQ(ReadTarget(*device)[0], 0xFF336699u) << "managed contents survive";
}

TEST(DeviceCreationTest, HeadlessDeviceNeedsABackBufferSize)
{
    std::string error;
    std::unique_ptr<HeadlessContext> context = HeadlessContext::Create(&error);
    ASSERT_NE(context, nullptr) << "no headless GL context: " << error;
    EXPECT_EQ(Device::Create(std::move(context), PresentParameters{}, &error), nullptr);
    EXPECT_NE(error.find("back-buffer size"), std::string::npos) << error;
}

// Resources may outlive the device (a scene released after it); releasing
// them then must not touch GL.
TEST(DeviceCreationTest, ResourcesOutliveTheirDevice)
{
    std::string error;
    std::unique_ptr<Device> device = MakeDevice(8, 8, &error);
    ASSERT_NE(device, nullptr) << "no headless GL device: " << error;
    Ref<Texture> texture = MakeRenderTarget(*device, 4, 4);
    Ref<Surface> level = texture->SurfaceLevel(0);
    Ref<IndexBuffer> indices = MakeIndexBuffer(*device, {0, 1, 2});
    device.reset();
    EXPECT_EQ(texture->GetDevice(), nullptr);
    LockedRect locked;
    void* data = nullptr;
    EXPECT_EQ(indices->Lock(0, 0, &data, 0), kOk);
    EXPECT_EQ(indices->Unlock(), kOk);
    (void)locked;
}

} // namespace
} // namespace gfx::test

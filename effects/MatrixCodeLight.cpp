#include "effects/MatrixCodeLight.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/StoredParams.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Surface.h"
#include "render/ABObjConstructor.h"
#include "render/DocResManager.h"
#include "render/RenderContext.h"
#include "render/RenderTargetPairTextures.h"
#include "render/ResourceLoading.h"
#include "render/ScreenInfo.h"
#include "render/SharedResource.h"

namespace {

constexpr std::int32_t kFirstVersionWithGlyphImage = 2;
// Slices of the glyph strip beyond height / width.
constexpr std::int32_t kExtraGlyphSlices = 2;
constexpr float kFadingOpacity = 0.5f;
constexpr std::int32_t kFading = 0;
constexpr std::int32_t kBright = 2;
constexpr std::int32_t kTintFromPicture = 1;
constexpr std::int32_t kTintPictureUnder = 0;
// Luminance weights of red, green and blue.
constexpr float kRedWeight = 0.299f;
constexpr float kGreenWeight = 0.587f;
constexpr float kBlueWeight = 0.114f;

std::int32_t QuadsFor(std::uint32_t cell, std::int32_t width, std::int32_t height)
{
    const auto c = static_cast<std::int64_t>(std::max<std::uint32_t>(cell, 1));
    const std::int64_t count = (std::max(height, 0) / c + 1) * (std::max(width, 0) / c + 1);
    return static_cast<std::int32_t>(std::min<std::int64_t>(count, QuadBatchArray::kMaxQuads + 1));
}

void SetStageModulate(gfx::Device& device, gfx::TextureStageState state)
{
    device.SetTextureStageState(0, state, static_cast<std::uint32_t>(gfx::TextureOp::Modulate));
}

} // namespace

DS_MatrixCodeLight::DS_MatrixCodeLight() : glyphImage(kCommonResMatrixGlyphPicture, kxi_string(kCommonResModule))
{
}

DS_MatrixCodeLight::~DS_MatrixCodeLight() = default;

bool DS_MatrixCodeLight::AddBoundingRect(BoundingRectList& rects) const
{
    return AddPictureBoundingRect(rects);
}

// ---- sizes

std::uint32_t DS_MatrixCodeLight::FittingCellSize(std::uint32_t size, std::int32_t width, std::int32_t height)
{
    std::uint32_t cell = std::max<std::uint32_t>(size, 1);
    while (QuadsFor(cell, width, height) > QuadBatchArray::kMaxQuads)
        ++cell;
    return cell;
}

std::int32_t DS_MatrixCodeLight::GridQuadCount() const
{
    const ScreenInfo& screen = GetScreenInfo();
    return QuadsFor(settings.cellSize, screen.pictureWidth, screen.pictureHeight);
}

void DS_MatrixCodeLight::ResizeQuads()
{
    if (gfx::Device* device = GetResourceDevice())
        quads.Resize(*device, GridQuadCount());
}

void DS_MatrixCodeLight::RebuildGrid()
{
    const ScreenInfo& screen = GetScreenInfo();
    cursor = std::make_unique<GlyphCursor>(GlyphGrid::Create(settings, screen.pictureWidth, screen.pictureHeight));
    m_stepped = false;
}

void DS_MatrixCodeLight::SetCellSize(std::uint32_t size)
{
    const ScreenInfo& screen = GetScreenInfo();
    settings.cellSize = FittingCellSize(size, screen.pictureWidth, screen.pictureHeight);
    RebuildGrid();
    ResizeQuads();
}

// ---- device lifetime

void DS_MatrixCodeLight::CreateDeviceObjects()
{
    DS_2D_Light::CreateDeviceObjects();
    ApplyView(m_viewQuad);
    TextureRef strip;
    if (DS_DocResManager* manager = CurrentDocResManager())
        strip = manager->GetTexture(glyphImage).GetFirst();
    // A strip of width 0 (none) draws no glyphs.
    m_glyphTexture = strip.width > 0 ? strip.texture : gfx::Ref<gfx::Texture>();
    settings.glyphCount = static_cast<std::int32_t>(strip.height / std::max<std::uint32_t>(strip.width, 1)) +
                          kExtraGlyphSlices;
    quads.SetTexture(m_glyphTexture.Get());
    RebuildGrid();
    SetCellSize(cellSize.value);
    settings.speed = std::clamp(speed.value, kMinSpeed, kMaxSpeed);
    RebuildGrid();
    settings.highlightCount = highlightCount.value;
    RebuildGrid();
    settings.flicker = flicker.value;
    RebuildGrid();
    settings.directionMode = directionMode.value;
    RebuildGrid();
    ResizeQuads();
    quads.SetTexture(m_glyphTexture.Get());
    BuildLuminanceTable();
}

void DS_MatrixCodeLight::OnResetDevice()
{
    DS_2D_Light::OnResetDevice();
    if (gfx::Device* device = GetResourceDevice()) {
        SetStageModulate(*device, gfx::TextureStageState::ColorOp);
        SetStageModulate(*device, gfx::TextureStageState::AlphaOp);
    }
}

HRESULT DS_MatrixCodeLight::DrawTexturedQuad(TexturedQuad& texturedQuad)
{
    const HRESULT result = DS_2D_Light::DrawTexturedQuad(texturedQuad);
    if (gfx::Device* device = GetResourceDevice())
        SetStageModulate(*device, gfx::TextureStageState::AlphaOp);
    return result;
}

void DS_MatrixCodeLight::SetPictureMode(int mode)
{
    DS_2D_Light::SetPictureMode(mode);
    RebuildGrid();
    ResizeQuads();
}

void DS_MatrixCodeLight::OnResize()
{
    DS_2D_Light::OnResize();
    BuildLuminanceTable();
    RebuildGrid();
    ResizeQuads();
}

void DS_MatrixCodeLight::BuildLuminanceTable()
{
    if (tintMode.value == kTintPictureUnder) {
        luminance.reset();
        return;
    }
    if (tintMode.value != kTintFromPicture)
        return;
    auto table = std::make_unique<std::vector<float>>(static_cast<std::size_t>(kLuminanceSide * kLuminanceSide), 0.0f);
    gfx::Device* device = GetResourceDevice();
    gfx::Ref<gfx::Texture> copy;
    if (device)
        copy = CopyTextureResized(*device, PictureTexture(), kLuminanceSide, kLuminanceSide, gfx::Format::A8R8G8B8);
    gfx::LockedRect locked;
    if (copy && copy->LockRect(0, &locked, nullptr, 0) >= 0 && locked.bits) {
        const auto* bytes = static_cast<const std::uint8_t*>(locked.bits);
        for (std::int32_t y = 0; y < kLuminanceSide; ++y) {
            const std::uint8_t* row = bytes + static_cast<std::ptrdiff_t>(y) * locked.pitch;
            for (std::int32_t x = 0; x < kLuminanceSide; ++x) {
                const std::uint8_t* texel = row + x * 4; // blue, green, red, unused
                (*table)[static_cast<std::size_t>(y * kLuminanceSide + x)] =
                    static_cast<float>(texel[2]) / 255.0f * kRedWeight +
                    static_cast<float>(texel[1]) / 255.0f * kGreenWeight +
                    static_cast<float>(texel[0]) / 255.0f * kBlueWeight;
            }
        }
        copy->UnlockRect(0);
    }
    luminance = std::move(table);
}

// ---- the frame

void DS_MatrixCodeLight::UpdateCamera(float newTime)
{
    time = newTime;
}

std::uint32_t DS_MatrixCodeLight::QuadColour(const GlyphQuad& quad) const
{
    const float opacity = Opacity();
    float a = quad.brightnessMode == kFading ? opacity * kFadingOpacity : opacity;
    if (tintMode.value == kTintFromPicture && quad.brightnessMode != kBright && luminance && cursor) {
        const GlyphGrid& grid = cursor->Grid();
        const auto row = static_cast<std::int32_t>(static_cast<float>(quad.row) / static_cast<float>(grid.rows) *
                                                   static_cast<float>(kLuminanceSide));
        const auto column = static_cast<std::int32_t>(static_cast<float>(quad.column) /
                                                      static_cast<float>(grid.columns) *
                                                      static_cast<float>(kLuminanceSide));
        const std::size_t index = static_cast<std::size_t>(std::clamp(row, 0, kLuminanceSide - 1) * kLuminanceSide +
                                                           std::clamp(column, 0, kLuminanceSide - 1));
        a = (*luminance)[index] * opacity;
    }
    const COLORREF colour = quad.brightnessMode == kBright ? highlightColour.value : glyphColour.value;
    const std::uint32_t alpha = static_cast<std::uint32_t>(std::clamp(std::trunc(a * 255.0f), 0.0f, 255.0f));
    const std::uint32_t argb = (alpha << 24) | ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
    return argb & quad.colourMask;
}

void DS_MatrixCodeLight::WriteQuad(std::int32_t index, const GlyphQuad& quad)
{
    QuadBatchVertex* v = quads.QuadVerticesAt(index);
    if (!v)
        return;
    const float left = quad.x - quad.halfWidth, right = quad.x + quad.halfWidth;
    const float top = quad.y - quad.halfHeight, bottom = quad.y + quad.halfHeight;
    const std::uint32_t colour = QuadColour(quad);
    v[0] = {left, bottom, 0.0f, colour, quad.uLeft, quad.vBottom};
    v[1] = {left, top, 0.0f, colour, quad.uLeft, quad.vTop};
    v[2] = {right, bottom, 0.0f, colour, quad.uRight, quad.vBottom};
    v[3] = {right, top, 0.0f, colour, quad.uRight, quad.vTop};
}

void DS_MatrixCodeLight::FillBatches(float t)
{
    m_camera.Update(t);
    if (!cursor || (m_stepped && t == m_stepTime))
        return;
    m_stepped = true;
    m_stepTime = t;
    cursor->Rewind();
    GlyphQuad quad;
    quad.halfWidth = quad.halfHeight = static_cast<float>(settings.cellSize) * 0.5f;
    const std::int32_t count = quads.QuadCount();
    GlyphGrid& grid = cursor->Grid();
    grid.StepDrops(cursor->PreviousVisibleCount() >= count);
    grid.SpawnDrops();
    quads.LockAll();
    for (std::int32_t e = 0; e < count; ++e) {
        cursor->Next(quad);
        WriteQuad(e, quad);
    }
    quads.UnlockAll();
}

void DS_MatrixCodeLight::DrawBackground(bool noClear)
{
    if (m_glyphTexture)
        FillBatches(time);
    if (tintMode.value == kTintPictureUnder) {
        DS_2D_Light::DrawBackground(noClear);
    } else if (tintMode.value == kTintFromPicture) {
        if (gfx::Device* device = GetResourceDevice()) {
            // Inside a render-target pass no depth-stencil surface is set,
            // and a clear that names one would be refused whole.
            gfx::Surface* depth = nullptr;
            device->GetDepthStencilSurface(&depth);
            std::uint32_t flags = gfx::ClearFlags::Target;
            if (depth) {
                flags |= gfx::ClearFlags::ZBuffer | gfx::ClearFlags::Stencil;
                depth->Release();
            }
            device->Clear(0, nullptr, flags, 0x00000000u, 1.0f, 0);
        }
    }
    if (m_glyphTexture)
        DrawGlyphs();
}

void DS_MatrixCodeLight::DrawGlyphs()
{
    gfx::Device* device = GetResourceDevice();
    RenderContext* context = g_RenderContextTls;
    if (!device || !context)
        return;
    SetStageModulate(*device, gfx::TextureStageState::ColorOp);
    // The glyph's coverage times the quad's alpha, whatever a draw before
    // left in the stage.
    SetStageModulate(*device, gfx::TextureStageState::AlphaOp);
    device->SetRenderState(gfx::RenderState::AlphaBlendEnable, gfx::kTrue);
    device->SetTransform(gfx::TransformState::View, context->view);
    device->SetTransform(gfx::TransformState::Projection, context->projection);
    context->parallax = math::Matrix{};
    context->SetWorldTransform(*device, m_background.node.world);
    quads.DrawAll(*device);
    device->SetRenderState(gfx::RenderState::AlphaBlendEnable, gfx::kFalse);
}

// ---- stored form

bool DS_MatrixCodeLight::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadParamValue(ar, cellSize);
    ReadParamValue(ar, speed);
    ReadParamValue(ar, highlightCount);
    ReadParamValue(ar, flicker);
    ReadParamValue(ar, tintMode);
    ReadParamValue(ar, directionMode);
    ReadParamValue(ar, glyphColour);
    ReadParamValue(ar, highlightColour);
    ReadChangedParamValue(ar, transparency);
    if (version >= kFirstVersionWithGlyphImage)
        ReadImageFileLink(ar, glyphImage);
    DS_2D_Light::Load(ar, *this);
    return true;
}

void DS_MatrixCodeLight::Save(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->RegisterImage(glyphImage);
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteParamValue(ar, cellSize);
    WriteParamValue(ar, speed);
    WriteParamValue(ar, highlightCount);
    WriteParamValue(ar, flicker);
    WriteParamValue(ar, tintMode);
    WriteParamValue(ar, directionMode);
    WriteParamValue(ar, glyphColour);
    WriteParamValue(ar, highlightColour);
    WriteParamValue(ar, transparency);
    WriteFileLink(ar, glyphImage);
    DS_2D_Light::Save(ar);
}

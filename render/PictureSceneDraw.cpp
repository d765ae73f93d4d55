// The picture scene's draw operations: the background, the quads of the
// slide show, and everything render objects draw through DS_ABRender.
//
// Every draw takes the view and projection of the thread's render context
// and the world from the item's transform node through the context (so the
// camera, the pan/zoom and the current object's parallax apply). Without a
// device or a render context nothing is drawn. Counts are held to what the
// buffers hold, so a damaged count never reaches the device.

#include <algorithm>
#include <cstdint>

#include "platform/gfx/Device.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/Mesh.h"
#include "render/PictureScene.h"
#include "render/QuadBatchBuffer.h"
#include "render/RenderContext.h"
#include "render/ResourceLoading.h"
#include "render/ScreenQuad.h"

namespace {

using gfx::RenderState;
using gfx::TextureStageState;

constexpr std::uint32_t kTexturedStride = 20;  // XYZ | TEX1
constexpr std::uint32_t kTexturedFvf = 0x102;
constexpr std::uint32_t kColouredStride = 24;  // XYZ | DIFFUSE | TEX1
constexpr std::uint32_t kColouredFvf = 0x142;
constexpr std::uint32_t kIndicesPerQuad = 6;
constexpr std::uint32_t kTrianglesPerQuad = 2;

struct DrawContext {
    gfx::Device* device = nullptr;
    RenderContext* context = nullptr;

    explicit operator bool() const { return device && context; }
};

DrawContext CurrentDrawContext()
{
    return {GetResourceDevice(), g_RenderContextTls};
}

std::uint32_t Value(auto enumerator)
{
    return static_cast<std::uint32_t>(enumerator);
}

void SetViewProjection(const DrawContext& draw)
{
    draw.device->SetTransform(gfx::TransformState::View, draw.context->view);
    draw.device->SetTransform(gfx::TransformState::Projection, draw.context->projection);
}

void SetBlend(gfx::Device& device, gfx::Blend source, gfx::Blend destination)
{
    device.SetRenderState(RenderState::SrcBlend, Value(source));
    device.SetRenderState(RenderState::DestBlend, Value(destination));
}

void SetAlphaBlend(gfx::Device& device, bool on)
{
    device.SetRenderState(RenderState::AlphaBlendEnable, on ? gfx::kTrue : gfx::kFalse);
}

void SetCull(gfx::Device& device, gfx::Cull cull)
{
    device.SetRenderState(RenderState::CullMode, Value(cull));
}

gfx::Cull Opposite(gfx::Cull cull)
{
    return cull == gfx::Cull::CounterClockwise ? gfx::Cull::Clockwise : gfx::Cull::CounterClockwise;
}

gfx::Cull NodeCull(const TransformNode& node)
{
    return node.cullCounterClockwise ? gfx::Cull::CounterClockwise : gfx::Cull::Clockwise;
}

// Stage 0: texture x vertex colour, in colour and alpha.
void ModulateTextureByDiffuse(gfx::Device& device)
{
    device.SetTextureStageState(0, TextureStageState::ColorOp, Value(gfx::TextureOp::Modulate));
    device.SetTextureStageState(0, TextureStageState::AlphaOp, Value(gfx::TextureOp::Modulate));
    device.SetTextureStageState(0, TextureStageState::ColorArg1, gfx::TextureArg::Texture);
    device.SetTextureStageState(0, TextureStageState::ColorArg2, gfx::TextureArg::Diffuse);
}

// Runs `draw` once inside every pass of the effect's current technique.
template <class Draw>
void ForEachPass(gfx::Effect& effect, Draw&& draw)
{
    std::uint32_t passes = 0;
    if (effect.Begin(&passes, 0) != gfx::kOk)
        return;
    for (std::uint32_t pass = 0; pass < passes; ++pass) {
        if (effect.BeginPass(pass) != gfx::kOk)
            continue;
        draw();
        effect.EndPass();
    }
    effect.End();
}

std::uint32_t RenderStateOf(const gfx::Device& device, RenderState state)
{
    std::uint32_t value = 0;
    device.GetRenderState(state, &value);
    return value;
}

std::uint32_t StageStateOf(const gfx::Device& device, std::uint32_t stage, TextureStageState state)
{
    std::uint32_t value = 0;
    device.GetTextureStageState(stage, state, &value);
    return value;
}

// Whether a pre-transformed quad whose stage 0 takes the diffuse colour
// would leave every pixel as it is: a transparent black colour reaches the
// blender as zero (stage 0 selects or modulates it, no later stage, no fog)
// and the blender keeps the target (its factor stays 1 and the operation
// keeps it), writing no depth or stencil. The slide show draws such a quad
// over the whole target in every frame of a slide's hold.
bool LeavesTargetUnchanged(const gfx::Device& device, const ScreenQuad& quad)
{
    if (!quad.IsTransparentBlack())
        return false;
    const auto zeroStage = [&](TextureStageState op) {
        const std::uint32_t value = StageStateOf(device, 0, op);
        return value == Value(gfx::TextureOp::SelectArg1) || value == Value(gfx::TextureOp::Modulate);
    };
    const std::uint32_t destination = RenderStateOf(device, RenderState::DestBlend);
    const std::uint32_t operation = RenderStateOf(device, RenderState::BlendOp);
    const bool keepsTarget =
        RenderStateOf(device, RenderState::AlphaBlendEnable) != gfx::kFalse &&
        RenderStateOf(device, RenderState::SeparateAlphaBlendEnable) == gfx::kFalse &&
        (destination == Value(gfx::Blend::One) || destination == Value(gfx::Blend::InvSrcAlpha) ||
         destination == Value(gfx::Blend::InvSrcColor)) &&
        (operation == Value(gfx::BlendOp::Add) || operation == Value(gfx::BlendOp::RevSubtract) ||
         operation == Value(gfx::BlendOp::Max));
    const bool writesNothingElse = (RenderStateOf(device, RenderState::ZEnable) == gfx::kFalse ||
                                    RenderStateOf(device, RenderState::ZWriteEnable) == gfx::kFalse) &&
                                   RenderStateOf(device, RenderState::StencilEnable) == gfx::kFalse &&
                                   RenderStateOf(device, RenderState::FogEnable) == gfx::kFalse;
    return keepsTarget && writesNothingElse && zeroStage(TextureStageState::ColorOp) &&
           zeroStage(TextureStageState::AlphaOp) &&
           StageStateOf(device, 1, TextureStageState::ColorOp) == Value(gfx::TextureOp::Disable);
}

// An indexed batch's buffers bound as stream 0 and indices, with the
// vertex count the stream holds at `stride` and the triangles the indices
// hold (the batch's own count, held to its index buffer).
struct BoundBatch {
    std::uint32_t vertexCount = 0;
    std::uint32_t primitiveCount = 0;
    gfx::PrimitiveType type = gfx::PrimitiveType::TriangleList;

    explicit operator bool() const { return vertexCount > 0 && primitiveCount > 0; }
};

BoundBatch BindBatch(gfx::Device& device, gfx::VertexBuffer* vertices, const IndexBatch& indices,
                     gfx::PrimitiveType type, std::uint32_t fvf, std::uint32_t stride)
{
    gfx::IndexBuffer* indexBuffer = indices.Buffer();
    if (!vertices || !indexBuffer || indices.PrimitiveCount() <= 0)
        return {};
    device.SetIndices(indexBuffer);
    device.SetFVF(fvf);
    device.SetStreamSource(0, vertices, 0, stride);
    const std::uint32_t heldTriangles = indexBuffer->IndexCount() / 3;
    return {vertices->Size() / stride,
            std::min(static_cast<std::uint32_t>(indices.PrimitiveCount()), heldTriangles), type};
}

void DrawBound(gfx::Device& device, const BoundBatch& batch, std::uint32_t startIndex, std::uint32_t primitives)
{
    device.DrawIndexedPrimitive(batch.type, 0, 0, batch.vertexCount, startIndex, primitives);
}

void DrawWholeBatch(gfx::Device& device, const BoundBatch& batch)
{
    DrawBound(device, batch, 0, batch.primitiveCount);
}

BoundBatch BindQuadBatch(gfx::Device& device, const QuadBatchBuffer& batch, std::uint32_t fvf, std::uint32_t stride)
{
    return BindBatch(device, batch.vertices.Buffer(), batch.indices, batch.vertices.PrimitiveType(), fvf, stride);
}

// A mesh without texture is not drawn (Direct3D leaves such a draw
// undefined; our fixed-function path would sample white).
BoundBatch BindMesh(gfx::Device& device, const TexturedBatch& mesh)
{
    if (!mesh.texture)
        return {};
    device.SetTexture(0, mesh.texture.Get());
    return BindBatch(device, mesh.vertices.Buffer(), mesh.indices, gfx::PrimitiveType::TriangleList,
                     gfx::kMeshVertexFvf, kMeshVertexStride);
}

} // namespace

// ---- the picture ------------------------------------------------------------------

void DS_2D_Light::DrawPictureQuad(gfx::Device& device, RenderContext& context, gfx::Texture* texture)
{
    if (!m_background.HasBuffer() || GetWidth() == 0 || GetHeight() == 0)
        return;
    device.SetTransform(gfx::TransformState::View, context.view);
    device.SetTransform(gfx::TransformState::Projection, context.projection);
    // The picture itself lies on the picture plane: no parallax.
    context.parallax = math::Matrix{};
    context.SetWorldTransform(device, m_background.node.world);
    device.SetTexture(0, texture);
    device.SetFVF(kTexturedFvf);
    device.SetStreamSource(0, m_background.Buffer(), 0, kTexturedStride);
    m_background.DrawStrip(device);
}

void DS_2D_Light::DrawBackground(bool noClear)
{
    const DrawContext draw = CurrentDrawContext();
    if (!draw)
        return;
    if (!noClear)
        draw.device->Clear(0, nullptr, gfx::ClearFlags::Target, 0x00000000u, 1.0f, 0);
    DrawPictureQuad(*draw.device, *draw.context, PictureTexture());
}

void DS_2D_Light::DrawBorderBars(bool skip)
{
    const DrawContext draw = CurrentDrawContext();
    if (skip || !draw)
        return;
    draw.context->DrawBorderBars(*draw.device);
}

// ---- quads of the slide show ----------------------------------------------------

HRESULT DS_2D_Light::DrawColorQuad(ScreenQuad* screenQuad)
{
    gfx::Device* device = GetResourceDevice();
    if (!screenQuad || !device)
        return 0;
    SetAlphaBlend(*device, true);
    device->SetTextureStageState(0, TextureStageState::ColorArg1, gfx::TextureArg::Diffuse);
    device->SetTextureStageState(0, TextureStageState::AlphaArg1, gfx::TextureArg::Diffuse);
    HRESULT result = gfx::kOk;
    if (!LeavesTargetUnchanged(*device, *screenQuad)) {
        screenQuad->BindStream(*device);
        result = screenQuad->DrawStrip(*device);
    }
    device->SetTextureStageState(0, TextureStageState::ColorArg1, gfx::TextureArg::Texture);
    device->SetTextureStageState(0, TextureStageState::AlphaArg1, gfx::TextureArg::Texture);
    return result;
}

HRESULT DS_2D_Light::DrawTexturedQuad(TexturedQuad& texturedQuad)
{
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return 0;
    SetAlphaBlend(*device, true);
    SetBlend(*device, gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha);
    device->SetRenderState(RenderState::ZEnable, gfx::kFalse);
    device->SetTextureStageState(0, TextureStageState::AlphaOp, Value(gfx::TextureOp::Modulate));
    texturedQuad.Bind(*device);
    const HRESULT result = texturedQuad.DrawStrip(*device);
    device->SetTextureStageState(0, TextureStageState::AlphaOp, Value(gfx::TextureOp::SelectArg1));
    return result;
}

// ---- effects --------------------------------------------------------------------------

void DS_2D_Light::DrawWithEffect(TexturedQuad& quad, gfx::Effect& effect)
{
    const DrawContext draw = CurrentDrawContext();
    if (!draw || !quad.HasBuffer())
        return;
    SetViewProjection(draw);
    draw.context->SetWorldTransform(*draw.device, quad.node.world);
    draw.device->SetFVF(kTexturedFvf);
    draw.device->SetStreamSource(0, quad.Buffer(), 0, kTexturedStride);
    ForEachPass(effect, [&] {
        draw.device->DrawPrimitive(quad.PrimitiveType(), 0, static_cast<std::uint32_t>(quad.PrimitiveCount()));
    });
}

void DS_2D_Light::DrawIndexedWithEffect(QuadBatchBuffer& item, gfx::Effect& effect)
{
    const DrawContext draw = CurrentDrawContext();
    if (!draw)
        return;
    SetViewProjection(draw);
    draw.context->SetWorldTransform(*draw.device, item.header.world);
    const BoundBatch bound = BindQuadBatch(*draw.device, item, kTexturedFvf, kTexturedStride);
    if (!bound)
        return;
    ForEachPass(effect, [&] { DrawWholeBatch(*draw.device, bound); });
}

void DS_2D_Light::DrawColoredWithEffect(QuadBatchBuffer& item, gfx::Effect& effect)
{
    const DrawContext draw = CurrentDrawContext();
    if (!draw)
        return;
    SetViewProjection(draw);
    draw.context->SetWorldTransform(*draw.device, item.header.world);
    const BoundBatch bound = BindQuadBatch(*draw.device, item, kColouredFvf, kColouredStride);
    if (!bound)
        return;
    ForEachPass(effect, [&] { DrawWholeBatch(*draw.device, bound); });
}

void DS_2D_Light::DrawIndexedOptionalEffect(QuadBatchBuffer& batch, gfx::Effect* effect, std::uint32_t firstQuad,
                                            std::uint32_t quadCount)
{
    const DrawContext draw = CurrentDrawContext();
    const auto capacity = static_cast<std::uint32_t>(std::max(batch.QuadCapacity(), 0));
    if (!draw || firstQuad >= capacity || quadCount == 0)
        return;
    const std::uint32_t quads = std::min(quadCount, capacity - firstQuad);
    SetViewProjection(draw);
    draw.context->SetWorldTransform(*draw.device, batch.header.world);
    if (!effect) {
        SetAlphaBlend(*draw.device, true);
        SetBlend(*draw.device, gfx::Blend::SrcAlpha, gfx::Blend::InvSrcAlpha);
        ModulateTextureByDiffuse(*draw.device);
    }
    const BoundBatch bound = BindQuadBatch(*draw.device, batch, kColouredFvf, kColouredStride);
    if (!bound)
        return;
    const std::uint32_t startIndex = kIndicesPerQuad * firstQuad;
    const std::uint32_t primitives = kTrianglesPerQuad * quads;
    if (!effect) {
        DrawBound(*draw.device, bound, startIndex, primitives);
        return;
    }
    ForEachPass(*effect, [&] { DrawBound(*draw.device, bound, startIndex, primitives); });
}

// ---- meshes and sprites ---------------------------------------------------------

void DS_2D_Light::DrawSpriteList(MeshItem& list)
{
    const DrawContext draw = CurrentDrawContext();
    if (!draw)
        return;
    SetViewProjection(draw);
    const bool transparent = list.IsTransparent();
    if (transparent)
        SetAlphaBlend(*draw.device, true);
    const BoundBatch bound = BindMesh(*draw.device, list);
    if (bound) {
        auto drawNodes = [&](bool opposite) {
            for (const TransformNode* node : list.nodes) {
                if (!node)
                    continue;
                draw.context->SetWorldTransform(*draw.device, node->world);
                SetCull(*draw.device, opposite ? Opposite(NodeCull(*node)) : NodeCull(*node));
                DrawWholeBatch(*draw.device, bound);
            }
        };
        drawNodes(false);
        // A transparent mesh shows its far side through its near one.
        if (transparent)
            drawNodes(true);
    }
    SetCull(*draw.device, gfx::Cull::None);
    SetAlphaBlend(*draw.device, false);
}

void DS_2D_Light::DrawMeshList(TexturedBatch& list)
{
    const DrawContext draw = CurrentDrawContext();
    if (!draw)
        return;
    SetViewProjection(draw);
    SetAlphaBlend(*draw.device, true);
    draw.device->SetTextureStageState(0, TextureStageState::AlphaOp, Value(gfx::TextureOp::SelectArg1));
    draw.device->SetTextureStageState(0, TextureStageState::ColorOp, Value(gfx::TextureOp::SelectArg1));
    const BoundBatch bound = BindMesh(*draw.device, list);
    if (bound) {
        for (const TransformNode* node : list.header.Children()) {
            if (!node)
                continue;
            draw.context->SetWorldTransform(*draw.device, node->world);
            SetCull(*draw.device, gfx::Cull::CounterClockwise);
            DrawWholeBatch(*draw.device, bound);
            SetCull(*draw.device, gfx::Cull::Clockwise);
            DrawWholeBatch(*draw.device, bound);
        }
    }
    SetCull(*draw.device, gfx::Cull::None);
    SetAlphaBlend(*draw.device, false);
}

void DS_2D_Light::DrawTexturedBatch(DS_SpriteArrayObj& batch)
{
    DrawSpriteArray(DescribeSpriteArray(batch));
}

void DS_2D_Light::DrawSpriteArray(const SpriteArrayDraw& array)
{
    const DrawContext draw = CurrentDrawContext();
    if (!draw || !array.quads)
        return;
    const QuadBatchBuffer& quads = *array.quads;
    const auto capacity = static_cast<std::uint32_t>(std::max(quads.QuadCapacity(), 0));
    const std::uint32_t quadCount = std::min(array.quadCount, capacity);
    SetViewProjection(draw);
    draw.context->SetWorldTransform(*draw.device, quads.header.world);
    SetCull(*draw.device, gfx::Cull::None);
    SetAlphaBlend(*draw.device, true);
    ModulateTextureByDiffuse(*draw.device);
    const bool additive = !array.overlayTexture && array.blendMode != 0;
    draw.device->SetRenderState(RenderState::DestBlend,
                                Value(additive ? gfx::Blend::One : gfx::Blend::InvSrcAlpha));
    draw.device->SetTexture(0, array.frameTexture);
    const BoundBatch bound = BindQuadBatch(*draw.device, quads, kColouredFvf, kColouredStride);
    if (bound && quadCount > 0) {
        const std::uint32_t primitives = kTrianglesPerQuad * quadCount;
        DrawBound(*draw.device, bound, 0, primitives);
        if (array.overlayTexture) {
            draw.device->SetTextureStageState(0, TextureStageState::ColorOp, Value(gfx::TextureOp::SelectArg1));
            draw.device->SetTexture(0, array.overlayTexture);
            if (array.blendMode == 1)
                draw.device->SetRenderState(RenderState::DestBlend, Value(gfx::Blend::One));
            DrawBound(*draw.device, bound, 0, primitives);
        }
    }
    SetAlphaBlend(*draw.device, false);
    draw.device->SetRenderState(RenderState::DestBlend, Value(gfx::Blend::InvSrcAlpha));
}

void DS_2D_Light::DrawMirrored(MirroredGrid& item, int arg)
{
    const DrawContext draw = CurrentDrawContext();
    if (!draw)
        return;
    SetViewProjection(draw);
    item.Prepare(arg);
    draw.device->SetSamplerState(0, gfx::SamplerState::AddressU, Value(gfx::TextureAddress::Mirror));
    draw.device->SetSamplerState(0, gfx::SamplerState::AddressV, Value(gfx::TextureAddress::Mirror));
    SetAlphaBlend(*draw.device, true);
    SetCull(*draw.device, gfx::Cull::None);
    draw.device->SetRenderState(RenderState::ZEnable, gfx::kFalse);
    draw.device->SetTexture(0, item.texture.Get());
    const BoundBatch bound = BindQuadBatch(*draw.device, item, kTexturedFvf, kTexturedStride);
    if (bound)
        DrawWholeBatch(*draw.device, bound);
    SetAlphaBlend(*draw.device, false);
    draw.device->SetTextureStageState(0, TextureStageState::TextureTransformFlags, gfx::TextureTransform::Disable);
}

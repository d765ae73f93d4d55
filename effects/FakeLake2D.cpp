#include "effects/FakeLake2D.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/StoredParams.h"
#include "platform/crt/Guid.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/NormalMap.h"
#include "platform/gfx/TextureLoaderDevice.h"
#include "effects/LightStageStates.h"
#include "render/ABObjConstructor.h"
#include "render/DocResManager.h"
#include "render/RenderContext.h"
#include "render/RenderTargetPairTextures.h"
#include "render/ResourceCache.h"
#include "render/ResourceLoading.h"

namespace {

using gfx::RenderState;
using gfx::SamplerState;
using gfx::TextureStageState;
namespace TextureArg = gfx::TextureArg;
using light_states::FloatBits;
using light_states::Stage;
using light_states::Value;

constexpr float kBumpStart = 0.01f;
// The grey of the gradient laid over the height picture.
constexpr std::uint32_t kGradientGrey = 0x808080u;

// 0x00BBGGRR to 0xRRGGBB.
std::uint32_t RgbOf(COLORREF colour)
{
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

void SetClamp(gfx::Device& device, std::uint32_t sampler)
{
    device.SetSamplerState(sampler, SamplerState::AddressU, Value(gfx::TextureAddress::Clamp));
    device.SetSamplerState(sampler, SamplerState::AddressV, Value(gfx::TextureAddress::Clamp));
}

void ModulateStage0ByDiffuse(gfx::Device& device)
{
    Stage(device, 0, TextureStageState::ColorArg1, TextureArg::Texture);
    Stage(device, 0, TextureStageState::ColorArg2, TextureArg::Diffuse);
    Stage(device, 0, TextureStageState::ColorOp, Value(gfx::TextureOp::Modulate));
}

} // namespace

// ---- LakeMesh ------------------------------------------------------------------------

bool LakeMesh::CreateBuffer(gfx::Device& device)
{
    m_buffer.Reset();
    gfx::VertexBuffer* buffer = nullptr;
    if (device.CreateVertexBuffer(kVertexCount * sizeof(LakeVertex), gfx::Usage::WriteOnly, LakeVertex::kFvf,
                                  gfx::Pool::Managed, &buffer) != gfx::kOk)
        return false;
    m_buffer = gfx::Ref<gfx::VertexBuffer>::Adopt(buffer);
    Upload();
    return true;
}

void LakeMesh::SetFromQuad(const QuadVertices& quad)
{
    static constexpr int kCorners[kVertexCount] = {1, 0, 2, 1, 2, 3};
    for (std::uint32_t i = 0; i < kVertexCount; ++i) {
        const QuadVertex& corner = quad.vertices[static_cast<std::size_t>(kCorners[i])];
        LakeVertex& vertex = m_vertices[i];
        vertex.x = corner.x;
        vertex.y = corner.y;
        vertex.z = 0.0f;
        vertex.u = corner.u;
        vertex.v = corner.v;
    }
    Upload();
}

void LakeMesh::SetBumpCoordinates(float repeat)
{
    const float a = repeat, s = kBumpStart;
    const float coordinates[kVertexCount][2] = {{s, s}, {s, a}, {a, a}, {s, s}, {a, a}, {a, s}};
    for (std::uint32_t i = 0; i < kVertexCount; ++i) {
        m_vertices[i].bumpU = coordinates[i][0];
        m_vertices[i].bumpV = coordinates[i][1];
    }
    Upload();
}

void LakeMesh::Upload()
{
    BufferLock<LakeVertex> lock(m_buffer.Get());
    if (!lock.Holds(kVertexCount))
        return;
    std::copy(m_vertices.begin(), m_vertices.end(), lock.Data());
}

// ---- construction and stored form ---------------------------------------------

FakeLake2D::FakeLake2D()
{
    speed.Rescale(0.02f, 0.0f);
    speed.QuietSet(50);
    key.guid = crt::CreateGuid();
    key.flag = 1;
}

FakeLake2D::~FakeLake2D() = default;

bool FakeLake2D::ReadBody(ArchiveReader ar, std::int32_t version)
{
    if (version > 1) {
        ReadChangedParamValue(ar, bumpRepeat);
        ReadParamValue(ar, speed);
        // The factor is the stored speed's, not the default's.
        speed.UpdateScaled();
        ReadChangedParamValue(ar, horizon);
        ReadChangedParamValue(ar, gradientLevel);
        ReadChangedParamValue(ar, tintAlpha);
        ReadChangedParamValue(ar, tintFade);
        ReadParamValue(ar, normalAmplitude);
        ReadParamValue(ar, bandHeight);
        ReadParamValue(ar, mirrorSizeExponent);
        std::int32_t colour = 0;
        ReadStoredValue(ar, colour);
        tintColour.StoreValue(static_cast<COLORREF>(colour));
    }
    ReadGuid(ar, &key.guid);
    key.name = ar.ReadWideString();
    key.flag = ar.ReadByte();
    DS_2D_Light::Load(ar, *this);
    return true;
}

void FakeLake2D::Save(ArchiveWriter ar) const
{
    // The bump map is stored with the document under the light's GUID.
    if (DS_DocResManager* manager = CurrentDocResManager(); manager && m_bumpMap)
        manager->GetGuidTexture(key) = m_bumpMap;
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kStoredVersion);
    WriteParamValue(ar, bumpRepeat);
    WriteParamValue(ar, speed);
    WriteParamValue(ar, horizon);
    WriteParamValue(ar, gradientLevel);
    WriteParamValue(ar, tintAlpha);
    WriteParamValue(ar, tintFade);
    WriteParamValue(ar, normalAmplitude);
    WriteParamValue(ar, bandHeight);
    WriteParamValue(ar, mirrorSizeExponent);
    WriteStoredValue(ar, static_cast<std::int32_t>(tintColour.value));
    WriteGuid(ar, key.guid);
    ar->WriteWideString(key.name);
    ar->WriteByte(key.flag);
    DS_2D_Light::Save(ar);
}

// ---- geometry --------------------------------------------------------------------

QuadVertices FakeLake2D::LakeQuad(float width, float height, float c)
{
    QuadVertices quad;
    quad.vertices[0] = {0.0f, height, 1.0f, 0.0f, 1.0f - 2.0f * c};
    quad.vertices[1] = {0.0f, height * (1.0f - c), 1.0f, 0.0f, 1.0f - c};
    quad.vertices[2] = {width, height, 1.0f, 1.0f, 1.0f - 2.0f * c};
    quad.vertices[3] = {width, height * (1.0f - c), 1.0f, 1.0f, 1.0f - c};
    return quad;
}

bool FakeLake2D::HasLake() const
{
    return horizon.Scaled() > 0.0f && GetWidth() > 0 && GetHeight() > 0;
}

float FakeLake2D::FarTintAlpha() const
{
    return (1.0f - tintFade.Scaled()) * tintAlpha.Scaled();
}

void FakeLake2D::UpdateLakeGeometry()
{
    if (!HasLake())
        return;
    const float width = static_cast<float>(GetWidth()), height = static_cast<float>(GetHeight());
    const float c = horizon.Scaled();
    const QuadVertices quad = LakeQuad(width, height, c);
    m_mesh.SetFromQuad(quad);
    const auto& v = quad.vertices;
    m_lakeTintRect = {v[0].x, v[1].y, v[3].x - v[0].x, v[2].y - v[1].y};
    // The band reaches band-height pixels upwards from the horizon.
    const float bandPixels = m_lakeTintRect.height / height * static_cast<float>(bandHeight.value) / c;
    m_bandTintRect = {v[0].x, v[1].y, std::trunc(m_lakeTintRect.width), -std::trunc(bandPixels)};
    m_lakeTint.SetPositions({m_lakeTintRect.x, m_lakeTintRect.y + m_lakeTintRect.height, 0.0f},
                            {m_lakeTintRect.x, m_lakeTintRect.y, 0.0f},
                            {m_lakeTintRect.x + m_lakeTintRect.width, m_lakeTintRect.y + m_lakeTintRect.height, 0.0f},
                            {m_lakeTintRect.x + m_lakeTintRect.width, m_lakeTintRect.y, 0.0f});
    m_bandTint.SetPositions({m_bandTintRect.x, m_bandTintRect.y + m_bandTintRect.height, 0.0f},
                            {m_bandTintRect.x, m_bandTintRect.y, 0.0f},
                            {m_bandTintRect.x + m_bandTintRect.width, m_bandTintRect.y + m_bandTintRect.height, 0.0f},
                            {m_bandTintRect.x + m_bandTintRect.width, m_bandTintRect.y, 0.0f});
}

void FakeLake2D::ApplyTints()
{
    // Corners at the rectangles' far edge (the bottom of the picture, the
    // top of the band) take the first pair of alphas, corners on the
    // horizon the second: the tint is weakest along the horizon, where the
    // lake and the band meet at alpha v.
    const float near = tintAlpha.Scaled(), far = FarTintAlpha();
    m_lakeTint.SetCornerAlphas(near, near, far, far);
    m_bandTint.SetCornerAlphas(0.0f, 0.0f, far, far);
    m_lakeTint.SetRgb(RgbOf(tintColour.value));
    m_bandTint.SetRgb(RgbOf(tintColour.value));
}

void FakeLake2D::CreateMirror()
{
    if (gfx::Device* device = GetResourceDevice())
        m_mirror.CreateRenderTexture(*device, Background().Picture(), mirrorSizeExponent.value);
}

// ---- device lifetime -------------------------------------------------------------

void FakeLake2D::CreateDeviceObjects()
{
    DS_2D_Light::CreateDeviceObjects();
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    m_mesh.CreateBuffer(*device);
    const std::uint32_t colour = 0xFF000000u | RgbOf(tintColour.value);
    m_lakeTint.SetRectColor(*device, m_lakeTintRect, colour);
    m_bandTint.SetRectColor(*device, m_bandTintRect, colour);
    ApplyTints();
    if (!m_generated)
        GenerateBumpMap();
    DS_2D_Light::OnResize();
    CreateMirror();
    ApplyView(m_viewQuad);
    UpdateLakeGeometry();
    UpdateLakeGeometry();
    m_mesh.SetBumpCoordinates(bumpRepeat.Scaled());
    ApplyTints();
    CreateMirror();
    // The document's bump map replaces whatever was generated.
    m_bumpMap.Reset();
    if (DS_DocResManager* manager = CurrentDocResManager())
        m_bumpMap = manager->GetGuidTexture(key);
    m_generated = false;
}

void FakeLake2D::OnResetDevice()
{
    gfx::Device* device = GetResourceDevice();
    if (device) {
        device->SetRenderState(RenderState::ZEnable, gfx::kFalse);
        device->SetRenderState(RenderState::ZWriteEnable, gfx::kFalse);
        device->SetRenderState(RenderState::CullMode, Value(gfx::Cull::None));
        device->SetTransform(gfx::TransformState::World, math::Matrix{});
        device->SetRenderState(RenderState::Lighting, gfx::kFalse);
        device->SetRenderState(RenderState::Ambient, 0xFFFFFFFFu);
        device->SetRenderState(RenderState::DitherEnable, gfx::kTrue);
        device->SetRenderState(RenderState::SpecularEnable, gfx::kFalse);
        ModulateStage0ByDiffuse(*device);
        for (std::uint32_t sampler : {0u, 1u}) {
            device->SetSamplerState(sampler, SamplerState::MinFilter, Value(gfx::TextureFilter::Linear));
            device->SetSamplerState(sampler, SamplerState::MagFilter, Value(gfx::TextureFilter::Linear));
            device->SetSamplerState(sampler, SamplerState::AddressU, Value(gfx::TextureAddress::Mirror));
            device->SetSamplerState(sampler, SamplerState::AddressV, Value(gfx::TextureAddress::Mirror));
        }
        Stage(*device, 1, TextureStageState::TexCoordIndex, 1);
        Stage(*device, 0, TextureStageState::TexCoordIndex, 0);
        Stage(*device, 0, TextureStageState::ColorArg1, TextureArg::Texture);
        Stage(*device, 0, TextureStageState::ColorArg2, TextureArg::Current);
        Stage(*device, 1, TextureStageState::ColorArg1, TextureArg::Texture);
        device->SetRenderState(RenderState::SrcBlend, Value(gfx::Blend::SrcAlpha));
        device->SetRenderState(RenderState::DestBlend, Value(gfx::Blend::InvSrcAlpha));
        SetLakeStates(*device);
        device->SetRenderState(RenderState::Ambient, 0xFFFFFFFFu);
        device->SetRenderState(RenderState::DitherEnable, gfx::kTrue);
        device->SetRenderState(RenderState::SpecularEnable, gfx::kFalse);
        ModulateStage0ByDiffuse(*device);
        Stage(*device, 1, TextureStageState::TextureTransformFlags, gfx::TextureTransform::Disable);
        Stage(*device, 1, TextureStageState::ColorOp, Value(gfx::TextureOp::Disable));
        // The bump stage's textures stay bound for the lake; the next draws
        // of the scene bind their own.
        device->SetTexture(1, nullptr);
    }
    if (DS_DocResManager* manager = CurrentDocResManager())
        manager->OnResetDevice();
    m_pair.Create();
}

void FakeLake2D::OnResize()
{
    DS_2D_Light::OnResize();
    CreateMirror();
    ApplyView(m_viewQuad);
    UpdateLakeGeometry();
}

// ---- drawing -----------------------------------------------------------------------

void FakeLake2D::UpdateCamera(float time)
{
    DS_2D_Light::UpdateCamera(time);
    speed.Advance(time);
    const float g = speed.Total() * 0.5f * 9.0f;
    m_bumpMatrix = math::Matrix{};
    m_bumpMatrix.m[0][0] = std::cos(g) * kBumpStrength;
    m_bumpMatrix.m[1][0] = std::sin(g) * kBumpStrength;
    m_bumpMatrix.m[0][1] = -std::sin(g) * kBumpStrength;
    m_bumpMatrix.m[1][1] = std::cos(g) * kBumpStrength;
}

void FakeLake2D::SetLakeStates(gfx::Device& device) const
{
    device.SetTexture(0, m_bumpMap.Get());
    SetClamp(device, 0);
    Stage(device, 0, TextureStageState::BumpEnvMat00, FloatBits(m_bumpMatrix.m[0][0]));
    Stage(device, 0, TextureStageState::BumpEnvMat01, FloatBits(m_bumpMatrix.m[0][1]));
    Stage(device, 0, TextureStageState::BumpEnvMat10, FloatBits(m_bumpMatrix.m[1][0]));
    Stage(device, 0, TextureStageState::BumpEnvMat11, FloatBits(m_bumpMatrix.m[1][1]));
    Stage(device, 0, TextureStageState::ColorOp, Value(gfx::TextureOp::BumpEnvMap));
    Stage(device, 0, TextureStageState::ColorArg1, TextureArg::Texture);
    Stage(device, 0, TextureStageState::ColorArg2, TextureArg::Current);
    device.SetTexture(1, MirrorTexture());
    Stage(device, 1, TextureStageState::ColorArg1, TextureArg::Texture);
    Stage(device, 1, TextureStageState::ColorOp, Value(gfx::TextureOp::SelectArg1));
}

void FakeLake2D::DrawLake(gfx::Device& device, RenderContext& context)
{
    device.SetTransform(gfx::TransformState::View, context.view);
    device.SetTransform(gfx::TransformState::Projection, context.projection);
    context.SetWorldTransform(device, m_mesh.node.world);
    device.SetStreamSource(0, m_mesh.Buffer(), 0, sizeof(LakeVertex));
    SetLakeStates(device);
    device.SetShaderProgram(nullptr);
    device.SetFVF(LakeVertex::kFvf);
    Stage(device, 1, TextureStageState::TexCoordIndex, 1);
    device.DrawPrimitive(gfx::PrimitiveType::TriangleList, 0, LakeMesh::kPrimitiveCount);
    device.SetTexture(1, nullptr);
    Stage(device, 0, TextureStageState::ColorOp, Value(gfx::TextureOp::SelectArg1));
    Stage(device, 1, TextureStageState::ColorOp, Value(gfx::TextureOp::Disable));
    context.SetWorldTransform(device, m_lakeTint.node.world);
    DrawDiffuseQuad(device, m_lakeTint);
    context.SetWorldTransform(device, m_bandTint.node.world);
    DrawDiffuseQuad(device, m_bandTint);
}

void FakeLake2D::DrawBackground(bool noClear)
{
    gfx::Device* device = GetResourceDevice();
    RenderContext* context = g_RenderContextTls;
    if (!device || !context)
        return;
    device->Clear(0, nullptr, gfx::ClearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
    DS_2D_Light::DrawBackground(noClear);
    if (HasLake() && m_mesh.Buffer())
        DrawLake(*device, *context);
}

void FakeLake2D::DrawMirrored(MirroredGrid& item, int arg)
{
    DS_2D_Light::DrawMirrored(item, arg);
    if (gfx::Device* device = GetResourceDevice())
        SetClamp(*device, 0);
}

bool FakeLake2D::AddBoundingRect(BoundingRectList& rects) const
{
    return AddPictureBoundingRect(rects);
}

// ---- the generated bump map ---------------------------------------------------------

void FakeLake2D::GenerateBumpMap()
{
    gfx::Device* device = GetResourceDevice();
    DS_DocResManager* manager = CurrentDocResManager();
    if (m_generated || !device || !manager)
        return;
    const gfx::Ref<gfx::Texture> heights = manager->Cache().GetBuiltinTexture();
    if (!heights)
        return;
    gfx::SurfaceDesc desc;
    if (heights->GetLevelDesc(0, &desc) != gfx::kOk || desc.width == 0 || desc.height == 0)
        return;
    gfx::Texture* rawTarget = nullptr;
    if (device->CreateTexture(desc.width, desc.height, 1, gfx::Usage::RenderTarget, gfx::Format::A8R8G8B8,
                              gfx::Pool::Default, &rawTarget) != gfx::kOk)
        return;
    const gfx::Ref<gfx::Texture> target = gfx::Ref<gfx::Texture>::Adopt(rawTarget);

    // The heights with a grey gradient over them, from none at the bottom
    // edge to the gradient level at the top.
    gfx::Surface* savedTargetRaw = nullptr;
    gfx::Surface* savedDepthRaw = nullptr;
    device->GetRenderTarget(0, &savedTargetRaw);
    device->GetDepthStencilSurface(&savedDepthRaw);
    const auto savedTarget = gfx::Ref<gfx::Surface>::Adopt(savedTargetRaw);
    const auto savedDepth = gfx::Ref<gfx::Surface>::Adopt(savedDepthRaw);
    device->SetRenderTarget(0, target->SurfaceLevel(0).Get());
    device->SetDepthStencilSurface(nullptr);
    device->BeginScene();
    const float w = static_cast<float>(desc.width), h = static_cast<float>(desc.height);
    TexturedQuad picture;
    ScreenQuad gradient;
    if (picture.SetTextureFull(*device, heights.Get(), w, h)) {
        device->SetRenderState(RenderState::AlphaBlendEnable, gfx::kFalse);
        Stage(*device, 0, TextureStageState::ColorOp, Value(gfx::TextureOp::SelectArg1));
        Stage(*device, 0, TextureStageState::ColorArg1, TextureArg::Texture);
        Stage(*device, 1, TextureStageState::ColorOp, Value(gfx::TextureOp::Disable));
        picture.Bind(*device);
        picture.DrawStrip(*device);
    }
    if (gradient.SetQuadAndColor(*device, QuadVertices::FromRect(0.0f, 0.0f, w, h), kGradientGrey)) {
        const float level = gradientLevel.Scaled();
        gradient.SetCornerAlphas(0.0f, 0.0f, level, level);
        device->SetTexture(0, nullptr);
        device->SetRenderState(RenderState::AlphaBlendEnable, gfx::kTrue);
        device->SetRenderState(RenderState::SrcBlend, Value(gfx::Blend::SrcAlpha));
        device->SetRenderState(RenderState::DestBlend, Value(gfx::Blend::InvSrcAlpha));
        Stage(*device, 0, TextureStageState::ColorArg1, TextureArg::Diffuse);
        Stage(*device, 0, TextureStageState::AlphaArg1, TextureArg::Diffuse);
        Stage(*device, 0, TextureStageState::AlphaOp, Value(gfx::TextureOp::Modulate));
        gradient.BindStream(*device);
        gradient.DrawStrip(*device);
        device->SetRenderState(RenderState::AlphaBlendEnable, gfx::kFalse);
        Stage(*device, 0, TextureStageState::ColorArg1, TextureArg::Texture);
        Stage(*device, 0, TextureStageState::AlphaArg1, TextureArg::Texture);
        Stage(*device, 0, TextureStageState::AlphaOp, Value(gfx::TextureOp::SelectArg1));
    }
    device->EndScene();
    device->SetRenderTarget(0, savedTarget.Get());
    device->SetDepthStencilSurface(savedDepth.Get());

    // Heights (red channel) to normals, normals to (du, dv).
    const gfx::Ref<gfx::Texture> copy = CopyTextureResized(*device, target.Get(), desc.width, desc.height,
                                                           gfx::Format::A8R8G8B8);
    gfx::Texture* rawNormals = nullptr;
    if (!copy || device->CreateTexture(desc.width, desc.height, 0, 0, gfx::Format::A8R8G8B8, gfx::Pool::Managed,
                                       &rawNormals) != gfx::kOk)
        return;
    const auto normals = gfx::Ref<gfx::Texture>::Adopt(rawNormals);
    if (gfx::ComputeNormalMap(normals.Get(), copy.Get(), 0, gfx::Channel::Red,
                              static_cast<float>(normalAmplitude.value)) != gfx::kOk)
        return;
    if (gfx::Ref<gfx::Texture> bump =
            CopyTextureResized(*device, normals.Get(), desc.width, desc.height, gfx::Format::V8U8))
        m_bumpMap = bump;
}

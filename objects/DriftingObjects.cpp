#include "objects/DriftingObjects.h"

#include <algorithm>
#include <cmath>

#include "objectmodel/ScaledParams.h"
#include "objectmodel/StoredParams.h"
#include "platform/crt/Random.h"
#include "objects/MeshMatrices.h"
#include "render/ABRender.h"
#include "render/ABRenderItems.h"
#include "render/DocResManager.h"
#include "render/ViewObjCtrl.h"

float g_SceneTime3D = 0.0f;

using namespace mesh_matrices;

namespace {

constexpr float kStreamRadiansPerDegree = 3.1415927f / 180.0f;
// The longest step a copy takes at once.
constexpr float kMaxStreamStep = 0.2f;
// The swinging turns carry the copy on an arm this long.
constexpr float kSwingArm = 50.0f;
constexpr float kTurnFactor = 0.4f;
constexpr std::size_t kTumblingTurns = 3;

bool IsOdd(int value)
{
    return (value & 1) != 0;
}

float RandomSign()
{
    return IsOdd(crt::rand()) ? -1.0f : 1.0f;
}

void WriteModuleBlob(ArchiveWriter ar, const ModuleResourceBlob& blob)
{
    ar->WriteLong(blob.ResourceId());
    ar->WriteWideString(blob.ModuleFile());
    ar->WriteBlob(blob);
}

} // namespace

// ---- StreamDirection -------------------------------------------------------------

void StreamDirection::SetAngle(std::uint32_t degrees)
{
    angle = degrees;
    const float a = static_cast<float>(degrees) * kStreamRadiansPerDegree;
    const float b = static_cast<float>(degrees + 90u) * kStreamRadiansPerDegree;
    direction = {std::cos(a), -std::sin(a), 0.0f, 0.0f};
    normal = {std::cos(b), -std::sin(b), 0.0f, 0.0f};
}

// ---- DS_3D_in_2D_array_Constructor ----------------------------------------------------

void DS_3D_in_2D_array_Constructor::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    ar->WriteWideString(name);
    WriteParamValue(ar, count);
    WriteModuleBlob(ar, mesh);
    WriteModuleBlob(ar, texture);
    WriteParamValue(ar, params.size);
    WriteParamValue(ar, params.speed);
    WriteParamValue(ar, params.drift);
    WriteParamValue(ar, params.driftChange);
    WriteParamValue(ar, params.spin);
    ar->WriteDword(params.direction.angle);
    WriteABObjConstructor(ar, *this);
}

void DS_3D_in_2D_array_Constructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    name = ar.ReadWideString();
    ReadParamValue(ar, count);
    ar->ReadModuleBlob(&mesh);
    ar->ReadModuleBlob(&texture);
    ReadParamValue(ar, params.size);
    ReadParamValue(ar, params.speed);
    ReadParamValue(ar, params.drift);
    ReadParamValue(ar, params.driftChange);
    ReadParamValue(ar, params.spin);
    params.direction.SetAngle(ar.ReadDword());
    ReadABObjConstructor(ar, *this);
}

std::unique_ptr<KXI_RenderObj> DS_3D_in_2D_array_Constructor::CreateRenderObject()
{
    return std::make_unique<DS_3D_in_2D_array>(std::make_unique<DS_3D_in_2D_array_Constructor>(*this));
}

// ---- DS_SreamAnim ----------------------------------------------------------------

DS_SreamAnim::DS_SreamAnim(const StreamAnimParams& params) : m_params(&params)
{
    const float x = DrawRandomUnit() * CurrentPictureWidth();
    const float y = DrawRandomUnit() * CurrentPictureHeight();
    driftFactor = DrawRandomUnit() * 2.0f - 1.0f;
    translation = Translation(x, y, 0.0f);
    speedFactor = DrawRandomUnit() * 0.059999995f + 0.07f;
}

void DS_SreamAnim::StepStream()
{
    const float time = g_SceneTime3D;
    step = std::fabs(time - lastTime);
    if (!(step <= kMaxStreamStep)) // also an undefined step
        step = kMaxStreamStep;
    lastTime = time;

    const float width = CurrentPictureWidth();
    const float height = CurrentPictureHeight();
    const StreamAnimParams& p = *m_params;
    const float half = static_cast<float>(p.size.value) * 0.5f;
    const float sideways = static_cast<float>(p.drift.value) * 0.02f * driftFactor;
    const float distance = static_cast<float>(p.speed.value) * speedFactor * step * 50.0f;
    const float dx = distance * (p.direction.direction.x + sideways * p.direction.normal.x);
    const float dy = distance * (p.direction.direction.y + sideways * p.direction.normal.y);

    // A copy that leaves re-enters at the opposite edge and does not move
    // in that frame.
    float& x = translation.m[3][0];
    float& y = translation.m[3][1];
    if (dy > 0.0f && y > height + half) {
        y = -half;
        x = DrawRandomUnit() * width;
    } else if (dy < 0.0f && y < -half) {
        x = DrawRandomUnit() * width;
        y = height + half;
    } else if (dx > 0.0f && x > width + half) {
        x = -half;
        y = DrawRandomUnit() * height;
    } else if (dx < 0.0f && x < -half) {
        x = width + half;
        y = DrawRandomUnit() * height;
    } else {
        x += dx;
        y += dy;
    }

    // Drift change 0 never changes the drift (an infinite period).
    const std::uint32_t change = p.driftChange.value;
    if (change != 0 &&
        (time - lastDriftChangeTime) * static_cast<float>(p.speed.value) * 0.1f > 100.0f / static_cast<float>(change)) {
        lastDriftChangeTime = time;
        if (IsOdd(crt::rand()))
            driftFactor = DrawRandomUnit() * 2.0f - 1.0f;
    }
}

void DS_SreamAnim::Apply(TransformNode& node)
{
    StepStream();
    node.world = node.local * translation;
}

// ---- DS_LeafFallAnim --------------------------------------------------------------

DS_LeafFallAnim::DS_LeafFallAnim(const StreamAnimParams& params) : DS_SreamAnim(params)
{
    for (std::size_t i = 0; i < kTumblingTurns; ++i) {
        const float sign = RandomSign();
        const float value = (DrawRandomUnit() * 3.0f + 7.0f) * sign;
        turns[i] = {value, value};
    }
    for (std::size_t i = kTumblingTurns; i < std::size(turns); ++i) {
        const auto on = static_cast<float>(crt::rand() % 2);
        const float sign = RandomSign();
        const float value = (DrawRandomUnit() * 4.0f + 3.0f) * on * sign;
        turns[i] = {value, value};
    }
}

void DS_LeafFallAnim::Apply(TransformNode& node)
{
    StepStream();
    const StreamAnimParams& p = *m_params;
    // The copy's bounding sphere gets the item's size as diameter; a mesh
    // without a sphere (empty or failed) shows nothing.
    const float scale =
        node.boundingRadius > 0.0f ? static_cast<float>(p.size.value) * 0.5f / node.boundingRadius : 0.0f;
    const float tumble = step * static_cast<float>(p.spin.value) * kTurnFactor;
    const float swing = step * static_cast<float>(p.drift.value) * kTurnFactor;
    for (std::size_t i = 0; i < std::size(turns); ++i)
        turns[i].angle += turns[i].rate * (i < kTumblingTurns ? tumble : swing);

    const math::Matrix m = Scaling(scale) * TurnX(turns[0].angle) * TurnZ(turns[2].angle) * TurnY(turns[1].angle) *
                           (Translation(0.0f, 0.0f, kSwingArm) * TurnY(turns[3].angle)) * TurnX(turns[4].angle) *
                           translation;
    node.world = node.local * m;
}

// ---- DS_3D_in_2D_array ----------------------------------------------------------------

DS_3D_in_2D_array::DS_3D_in_2D_array(std::unique_ptr<DS_3D_in_2D_array_Constructor> description)
    : DS_ABObj(std::move(description)),
      m_description(static_cast<DS_3D_in_2D_array_Constructor*>(OwnedDescription()))
{
    m_description->runtime = this;
    LoadResources();
    SyncObjects();
}

DS_3D_in_2D_array::~DS_3D_in_2D_array()
{
    if (m_description->runtime == this)
        m_description->runtime = nullptr;
}

void DS_3D_in_2D_array::LoadResources()
{
    DS_DocResManager* manager = CurrentDocResManager();
    ResourceCache* cache = manager ? &manager->Cache() : g_CurrentResourceCache;
    m_batch.texture.Reset();
    if (!cache) {
        m_batch.Release();
        return;
    }
    m_batch.texture = cache->GetTexture(m_description->texture).texture;
    m_batch.SetMesh(cache->GetMesh(m_description->mesh, kMeshVertexStride));
}

void DS_3D_in_2D_array::SyncObjects()
{
    const std::size_t wanted = std::min(m_description->count.value, kMaxDriftingCopies);
    TransformNode& header = m_batch.header;
    while (m_copies.size() < wanted) {
        auto node = std::make_unique<TransformNode>();
        header.AddChild(node.get());
        node->boundingRadius = header.boundingRadius;
        node->boundingCenter = header.boundingCenter;
        auto controller = std::make_unique<DS_LeafFallAnim>(m_description->params);
        // The mesh turns about the centre of its bounding sphere.
        const math::Vec3& c = header.boundingCenter;
        node->local = Translation(-c.x, -c.y, -c.z);
        node->SetAnimation(std::move(controller));
        m_copies.push_back(std::move(node));
    }
    while (m_copies.size() > wanted) {
        header.RemoveChild(m_copies.front().get());
        m_copies.erase(m_copies.begin());
    }
}

void DS_3D_in_2D_array::Animate(float localTime)
{
    g_SceneTime3D = localTime;
    m_batch.header.UpdateWorld(nullptr);
}

void DS_3D_in_2D_array::Render(DS_ABRender& renderer)
{
    renderer.DrawMeshList(m_batch);
}

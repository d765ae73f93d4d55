#include "objects/ButterflyClockItems.h"

#include "objectmodel/ParamRecords.h"
#include "objectmodel/StoredParams.h"
#include "objects/MeshAnimationControllers.h"
#include "objects/MeshMatrices.h"
#include "render/DocResManager.h"

using namespace mesh_matrices;

namespace {

// Versions above this one store the wing scale.
constexpr std::int32_t kFirstVersionWithWingScale = 2;
constexpr float kQuarterTurn = 1.5707964f;

void LinkToCommonResource(DS_FileLink3& link, std::int32_t id)
{
    link.StorePathAndId(kxi_string(kCommonResourceModule), id);
}

void RegisterLinks(const DS_FileLink3& image, const DS_FileLink3& other)
{
    if (DS_DocResManager* manager = CurrentDocResManager()) {
        manager->RegisterImage(image);
        manager->RegisterLink(other);
    }
}

// Item 0 draws the roots; each root's children go to the front of item 1's
// list as one block in child order, so that later children draw over
// earlier ones (the minute hand over the hour hand).
void BindRootsAndChildren(std::list<MeshObjectTree>& trees, std::vector<MeshItem>& items)
{
    if (items.size() < 2)
        return;
    std::list<TransformNode*>& roots = items[0].nodes;
    std::list<TransformNode*>& children = items[1].nodes;
    roots.clear();
    children.clear();
    for (MeshObjectTree& tree : trees) {
        const std::vector<TransformNode*>& block = tree.root->Children();
        children.insert(children.begin(), block.begin(), block.end());
        roots.push_back(tree.root.get());
    }
}

} // namespace

// ---- DS_ButterflyConstructor ----------------------------------------------------------

DS_ButterflyConstructor::DS_ButterflyConstructor() : DS_3D_Obj_Ctrl(kDefaultSize)
{
    LinkToCommonResource(meshLink, kButterflyWingMeshId);
    LinkToCommonResource(bodyMeshLink, kButterflyBodyMeshId);
    LinkToCommonResource(bodyImageLink, kButterflyBodyPictureId);
}

DS_ButterflyConstructor::DS_ButterflyConstructor(const DS_ButterflyConstructor& other)
    : DS_3D_Obj_Ctrl(other), bodyImageLink(other.bodyImageLink), bodyMeshLink(other.bodyMeshLink),
      firstPercent(other.firstPercent), secondPercent(other.secondPercent), wingScale(other.wingScale)
{
}

DS_ButterflyConstructor::~DS_ButterflyConstructor() = default;

void DS_ButterflyConstructor::Save(ArchiveWriter ar) const
{
    RegisterLinks(bodyImageLink, bodyMeshLink);
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteFileLink(ar, bodyImageLink);
    WriteFileLink(ar, bodyMeshLink);
    WriteParamValue(ar, firstPercent);
    WriteParamValue(ar, secondPercent);
    ar->WriteFloat(wingScale);
    DS_3D_Obj_Ctrl::Save(ar);
}

void DS_ButterflyConstructor::ReadBody(ArchiveReader ar, std::int32_t version)
{
    ReadImageFileLink(ar, bodyImageLink);
    ReadFileLink(ar, bodyMeshLink);
    ReadChangedParamValue(ar, firstPercent);
    ReadChangedParamValue(ar, secondPercent);
    if (version >= kFirstVersionWithWingScale)
        wingScale = ar.ReadFloat();
    Load(ar);
}

void DS_ButterflyConstructor::LoadMeshes(std::vector<MeshItem>& items)
{
    ResizeMeshItems(items);
    items[0].LoadMesh(bodyMeshLink, bodyImageLink);
    items[0].flag = false;
    items[1].LoadMesh(meshLink, imageLink);
    items[1].flag = true;
}

void DS_ButterflyConstructor::BindAnimations(std::list<MeshObjectTree>& trees, std::vector<MeshItem>& items)
{
    BindRootsAndChildren(trees, items);
}

MeshObjectTree DS_ButterflyConstructor::BuildAnimationTree()
{
    MeshObjectTree tree;
    tree.root->local = Scaling(0.5f) * RotationY(kQuarterTurn);
    auto flight = std::make_unique<AC_Butterfly>(*this);
    std::unique_ptr<AC_ButterflyWing> wingA = flight->TakeWingA();
    std::unique_ptr<AC_ButterflyWing> wingB = flight->TakeWingB();
    tree.root->SetAnimation(std::move(flight));
    const math::Matrix wing = Scaling(wingScale);
    tree.AddChild(wing, std::move(wingA));
    tree.AddChild(wing, std::move(wingB));
    return tree;
}

std::unique_ptr<DS_3D_Obj_Ctrl> DS_ButterflyConstructor::Clone() const
{
    return std::make_unique<DS_ButterflyConstructor>(*this);
}

// ---- DS_ClockConstructor ----------------------------------------------------------------

DS_ClockConstructor::DS_ClockConstructor() : DS_3D_Obj_Ctrl(kDefaultSize)
{
    LinkToCommonResource(meshLink, kClockPlateMeshId);
    LinkToCommonResource(imageLink, kClockFacePictureId);
    LinkToCommonResource(handsImageLink, kClockHandsPictureId);
    const ScreenInfo& screen = GetScreenInfo();
    clockRectangle.centreX.StoreValue(screen.pictureWidth / 2);
    clockRectangle.centreY.StoreValue(screen.pictureHeight / 2);
    WatchFaceImage();
}

DS_ClockConstructor::DS_ClockConstructor(const DS_ClockConstructor& other)
    : DS_3D_Obj_Ctrl(other), clockRectangle(other.clockRectangle), handsImageLink(other.handsImageLink)
{
    WatchFaceImage();
}

DS_ClockConstructor::~DS_ClockConstructor()
{
    m_callbacks.Clear();
}

void DS_ClockConstructor::WatchFaceImage()
{
    m_callbacks.AddMemberCallback(&DS_ClockConstructor::OnFaceImageChanged, &imageLink);
}

void DS_ClockConstructor::Save(ArchiveWriter ar) const
{
    RegisterLinks(handsImageLink, meshLink);
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kWrittenVersion);
    WriteMediaRectangle(ar, clockRectangle);
    WriteFileLink(ar, handsImageLink);
    DS_3D_Obj_Ctrl::Save(ar);
}

void DS_ClockConstructor::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadMediaRectangle(ar, clockRectangle);
    ReadImageFileLink(ar, handsImageLink);
    Load(ar);
}

void DS_ClockConstructor::LoadMeshes(std::vector<MeshItem>& items)
{
    ResizeMeshItems(items);
    items[0].LoadMesh(meshLink, imageLink);
    items[0].flag = true;
    items[1].LoadMesh(meshLink, handsImageLink);
    items[1].flag = true;
    m_items = &items;
}

void DS_ClockConstructor::OnFaceImageChanged()
{
    if (m_items && !m_items->empty())
        m_items->front().LoadMesh(meshLink, imageLink);
}

void DS_ClockConstructor::BindAnimations(std::list<MeshObjectTree>& trees, std::vector<MeshItem>& items)
{
    BindRootsAndChildren(trees, items);
}

MeshObjectTree DS_ClockConstructor::BuildAnimationTree()
{
    MeshObjectTree tree;
    tree.root->local = Scaling(0.01f) * RotationX(kQuarterTurn);
    tree.root->SetAnimation(std::make_unique<AC_Static>(*this));
    tree.AddChild(Scaling(0.01f, 1.0f, 0.3f) * Translation(0.0f, 0.0f, 10.0f), std::make_unique<AC_ClockArrow>(true));
    tree.AddChild(Scaling(0.01f, 1.0f, 0.38f) * Translation(0.0f, 0.0f, 13.0f),
                  std::make_unique<AC_ClockArrow>(false));
    return tree;
}

std::unique_ptr<DS_3D_Obj_Ctrl> DS_ClockConstructor::Clone() const
{
    return std::make_unique<DS_ClockConstructor>(*this);
}

bool DS_ClockConstructor::HasRectangle() const
{
    return true;
}

void DS_ClockConstructor::GetViewQuad(QuadVertices& out) const
{
    const auto left = static_cast<float>(clockRectangle.left.value);
    const auto right = static_cast<float>(clockRectangle.right.value);
    const auto top = static_cast<float>(clockRectangle.top.value);
    const auto bottom = static_cast<float>(clockRectangle.bottom.value);
    out = QuadVertices{};
    out.vertices[0].x = left;
    out.vertices[0].y = bottom;
    out.vertices[1].x = left;
    out.vertices[1].y = top;
    out.vertices[2].x = right;
    out.vertices[2].y = bottom;
    out.vertices[3].x = right;
    out.vertices[3].y = top;
}

bool DS_ClockConstructor::HitTest(float x, float y)
{
    return clockRectangle.ContainsPoint(x, y);
}

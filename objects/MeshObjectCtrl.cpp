#include "objects/MeshObjectCtrl.h"

#include <algorithm>

#include "objectmodel/StoredParams.h"
#include "render/ABRender.h"
#include "render/DocResManager.h"

namespace {

// How many items every 3D object item draws: its body and its second mesh.
constexpr std::size_t kMeshItemCount = 2;

} // namespace

TransformNode& MeshObjectTree::AddChild(const math::Matrix& local, std::unique_ptr<DS_AnimationBase> controller)
{
    auto child = std::make_unique<TransformNode>();
    child->local = local;
    child->SetAnimation(std::move(controller));
    TransformNode& added = *child;
    root->AddChild(&added);
    children.push_back(std::move(child));
    return added;
}

void ResizeMeshItems(std::vector<MeshItem>& items)
{
    items.resize(kMeshItemCount);
}

// ---- DS_3D_Obj_Ctrl ----------------------------------------------------------------

DS_3D_Obj_Ctrl::DS_3D_Obj_Ctrl(std::uint32_t defaultSize) : size(defaultSize) {}

DS_3D_Obj_Ctrl::DS_3D_Obj_Ctrl(const DS_3D_Obj_Ctrl& other)
    : DS_ViewObjCtrl(other), count(other.count), size(other.size), imageLink(other.imageLink),
      meshLink(other.meshLink)
{
}

DS_3D_Obj_Ctrl::~DS_3D_Obj_Ctrl() = default;

void DS_3D_Obj_Ctrl::Save(ArchiveWriter ar) const
{
    if (DS_DocResManager* manager = CurrentDocResManager()) {
        manager->RegisterImage(imageLink);
        manager->RegisterLink(meshLink);
    }
    ar->WriteWideString(kxi_string(kLevelName));
    ar->WriteVersion(kLevelVersion);
    WriteParamValue(ar, count);
    WriteParamValue(ar, size);
    WriteFileLink(ar, imageLink);
    WriteFileLink(ar, meshLink);
    DS_ViewObjCtrl::Save(ar);
}

void DS_3D_Obj_Ctrl::Load(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    ReadParamValue(ar, count);
    ReadParamValue(ar, size);
    ReadImageFileLink(ar, imageLink);
    ReadFileLink(ar, meshLink);
    DS_ViewObjCtrl::Load(ar);
}

std::unique_ptr<KXI_RenderObj> DS_3D_Obj_Ctrl::CreateRenderObject()
{
    return std::make_unique<DS_3DObjArray>(Clone());
}

void DS_3D_Obj_Ctrl::BindAnimations(std::list<MeshObjectTree>&, std::vector<MeshItem>&) {}

bool DS_3D_Obj_Ctrl::HasRectangle() const
{
    return false;
}

// ---- DS_3DObjArray ------------------------------------------------------------------

DS_3DObjArray::DS_3DObjArray(std::unique_ptr<DS_3D_Obj_Ctrl> clone)
    : DS_ABObj(std::move(clone)), m_description(static_cast<DS_3D_Obj_Ctrl*>(OwnedDescription()))
{
    m_description->LoadMeshes(m_items);
    m_callbacks.AddValueCallback<std::uint32_t>(&m_description->count, &DS_3DObjArray::OnCountChanged);
}

DS_3DObjArray::~DS_3DObjArray() = default;

void DS_3DObjArray::OnCountChanged(std::uint32_t count)
{
    const std::size_t wanted = std::min(count, kMaxMeshObjects);
    while (m_trees.size() < wanted)
        m_trees.push_back(m_description->BuildAnimationTree());
    while (m_trees.size() > wanted)
        m_trees.pop_front();
    m_description->BindAnimations(m_trees, m_items);
}

void DS_3DObjArray::Animate(float localTime)
{
    m_description->AdvanceAnimationClock(localTime);
    for (MeshObjectTree& tree : m_trees)
        tree.root->UpdateWorld(nullptr);
}

void DS_3DObjArray::Render(DS_ABRender& renderer)
{
    for (MeshItem& item : m_items)
        renderer.DrawSpriteList(item);
}

bool DS_3DObjArray::HitTest(int x, int y)
{
    return m_description->HitTest(static_cast<float>(x), static_cast<float>(y));
}

#pragma once
// DS_3D_Obj_Ctrl: the stored description of an item that shows textured 3D
// meshes inside the 2D picture, and DS_3DObjArray, its runtime object.
//
// The item shows `count` animated objects. Each object is a small tree of
// TransformNode records whose controllers compute the world matrices; each
// mesh of the item is loaded once into a MeshItem and drawn at every node
// that the item links to it. The subclasses (the butterfly and the clock)
// choose the meshes and pictures, build one object's tree and link the
// nodes to the items.
//
// Stored level "DS_3D_Obj_Ctrl" (written as version 1; neither the tag nor
// the version is compared when read), inside a subclass's record after its
// own body: uint32 count, uint32 size, image link, mesh link, then the
// DS_ViewObjCtrl section. Values are stored straight into the parameters.

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "objectmodel/CallbackControls.h"
#include "objectmodel/TransformNode.h"
#include "render/ABRenderItems.h"
#include "render/FileLink.h"
#include "render/RenderObject.h"
#include "render/ViewObjCtrl.h"

// The most objects (trees) one item builds, whatever its count says.
inline constexpr std::uint32_t kMaxMeshObjects = 16383;

// One animated object: its root node and the root's children. The tree owns
// every node; the children are destroyed before the root.
struct MeshObjectTree {
    MeshObjectTree() = default;
    MeshObjectTree(MeshObjectTree&&) noexcept = default;
    MeshObjectTree& operator=(MeshObjectTree&&) noexcept = default;
    // Children go before the root, whatever the member order does.
    ~MeshObjectTree() { children.clear(); }

    // A new child of the root with `local` as its local matrix and
    // `controller` as its controller, appended after the others.
    TransformNode& AddChild(const math::Matrix& local, std::unique_ptr<DS_AnimationBase> controller);

    std::unique_ptr<TransformNode> root = std::make_unique<TransformNode>();
    std::vector<std::unique_ptr<TransformNode>> children;
};

// Makes `items` hold exactly two items: missing ones are appended new,
// surplus ones at the end destroyed.
void ResizeMeshItems(std::vector<MeshItem>& items);

class DS_3D_Obj_Ctrl : public DS_ViewObjCtrl {
public:
    static constexpr std::u16string_view kLevelName = u"DS_3D_Obj_Ctrl";
    static constexpr std::int32_t kLevelVersion = 1;

    explicit DS_3D_Obj_Ctrl(std::uint32_t defaultSize);
    // Copies count, size and both links; the view part is copied as
    // DS_ViewObjCtrl copies it.
    DS_3D_Obj_Ctrl(const DS_3D_Obj_Ctrl& other);
    ~DS_3D_Obj_Ctrl() override;

    // Writes the DS_3D_Obj_Ctrl level and the sections below it, and hands
    // both links to the current resource manager so that their data is
    // stored with the document. Subclasses write their own record first.
    void Save(ArchiveWriter ar) const override;
    // Reads the DS_3D_Obj_Ctrl level, tag included.
    void Load(ArchiveReader ar);

    // A DS_3DObjArray around a clone of this description.
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;

    // Sizes the item vector and loads each item's mesh and picture.
    virtual void LoadMeshes(std::vector<MeshItem>& items) = 0;
    // Refills the items' node lists from the trees. Nothing in the base.
    virtual void BindAnimations(std::list<MeshObjectTree>& trees, std::vector<MeshItem>& items);
    // One new object.
    virtual MeshObjectTree BuildAnimationTree() = 0;
    // Whether the item sits in a rectangle of its own (the clock).
    virtual bool HasRectangle() const;
    virtual std::unique_ptr<DS_3D_Obj_Ctrl> Clone() const = 0;

    // Advances the animation clock that the controllers read (step, total,
    // last time) to the local time `time`.
    void AdvanceAnimationClock(float time) { StepAnimationClock(time); }

    MediaParamT<std::uint32_t> count{1};
    MediaParamT<std::uint32_t> size;
    DS_ImageFileLink imageLink;
    DS_MeshFile meshLink;
};

class DS_3DObjArray : public DS_ABObj {
public:
    // Owns `clone`: loads its meshes, then watches its count, which builds
    // and binds the trees at once.
    explicit DS_3DObjArray(std::unique_ptr<DS_3D_Obj_Ctrl> clone);
    ~DS_3DObjArray() override;

    // Each item in order, drawn at its nodes.
    void Render(DS_ABRender& renderer) override;
    // Advances the animation clock, then updates every tree in order.
    void Animate(float localTime) override;
    // The description's hit test of the point.
    bool HitTest(int x, int y) override;

    // Appends new trees or removes the oldest (front) until there are
    // `count` (at most kMaxMeshObjects), then binds them to the items.
    void OnCountChanged(std::uint32_t count);

    DS_3D_Obj_Ctrl& Description3D() const { return *m_description; }
    const std::list<MeshObjectTree>& Trees() const { return m_trees; }
    std::vector<MeshItem>& Items() { return m_items; }

private:
    DS_3D_Obj_Ctrl* m_description;
    // Declared so that they are destroyed in this order: the trees, then the
    // count callback, then the items (whose node lists point into the trees).
    std::vector<MeshItem> m_items;
    CallbackControlList<DS_3DObjArray> m_callbacks{this};
    std::list<MeshObjectTree> m_trees;
};

#pragma once
// The nodes of a particle tree. Every node owns one geometry that makes the
// node's particles from the particles of the node above; stems pass their
// particles on to their children. Stored node records carry no lengths, so
// a record that is not a node, a node without a geometry, or a tree deeper
// than kMaxTreeDepth refuses the document.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "objectmodel/Archive.h"
#include "objectmodel/IOFItem.h"
#include "objectmodel/SafePtr.h"
#include "objectmodel/SmartVector.h"
#include "particles/engine/ParticleGeometry.h"
#include "particles/engine/TreeParticle.h"

class DS_ABRender;
class KXI_PSTree_Node;
class KXI_PtclSys_Mesh;
namespace gfx {
class Effect;
}

// Node levels a stored tree may have; reading, spawning and the particles'
// position and scale chains recurse once per level.
inline constexpr int kMaxTreeDepth = 64;

// Everything a node can hang under: the root or another node.
class KXI_PSTree_Node_Parent {
public:
    // Calls node.SpawnFrom once for each of this parent's particles.
    virtual void ForEachParticle(KXI_PSTree_Node& node) = 0;

    KXI_PSTree_Node_Parent* parent = nullptr;

protected:
    ~KXI_PSTree_Node_Parent() = default;
};

using TreeNodeHandle = DS_SafePtr<KXI_PSTree_Node>;
using TreeNodeVector = KXI_SmartVectorPtr<KXI_PSTree_Node>;

class KXI_PSTree_Node : public KXI_IOF_Item, public KXI_PSTree_Node_Parent {
public:
    static constexpr std::int32_t kStoredVersion = 1;
    static constexpr std::u16string_view kSectionName = u"KXI_PSTree_Node";

    KXI_PSTree_Node() = default;
    explicit KXI_PSTree_Node(DS_SafePtr<KXI_PtclSys_Geometry> nodeGeometry);

    void Save(ArchiveWriter ar) const override;
    // Screen passes the subtree costs per frame.
    virtual int CountScreenPasses() const { return 0; }
    // Answers the birth of `parent`: the geometry's births, handed to every
    // child in order.
    virtual void SpawnFrom(const TreeParticleHandle& parent);
    // One step; returns the number of quad batches the subtree needs.
    virtual int Update(float dt, const TreeParticleList& parentParticles) = 0;
    // Fills the subtree's quad batches of `mesh`; every leaf takes the batch
    // at `batchIndex` and moves the index on by one.
    virtual void BuildQuads(KXI_PtclSys_Mesh& mesh, int& batchIndex) = 0;
    // Draws the subtree's batches with `effect` (the tree's effect; null
    // draws nothing), walking the batches as BuildQuads did. `counter` is
    // the frame's render-target pass counter.
    virtual void Render(KXI_PtclSys_Mesh& mesh, int& batchIndex, gfx::Effect* effect, DS_ABRender& renderer,
                        int& counter) = 0;
    virtual void PrepareResources();

    void ForEachParticle(KXI_PSTree_Node& node) override;

    // The node section (header, name, geometry, children).
    void ReadNodeSection(ArchiveReader ar);

    kxi_string name;
    DS_SafePtr<KXI_PtclSys_Geometry> geometry;
    TreeNodeVector children;

protected:
    void SpawnIntoChildren(const TreeParticleList& born);
};

// An inner node: emits from the particles of the node above and passes its
// particles down.
class KXI_PSTree_Stem : public KXI_PSTree_Node {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PSTree_Stem";

    using KXI_PSTree_Node::KXI_PSTree_Node;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    int CountScreenPasses() const override;
    int Update(float dt, const TreeParticleList& parentParticles) override;
    // Both walk the children in reverse list order; a stem draws nothing.
    void BuildQuads(KXI_PtclSys_Mesh& mesh, int& batchIndex) override;
    void Render(KXI_PtclSys_Mesh& mesh, int& batchIndex, gfx::Effect* effect, DS_ABRender& renderer,
                int& counter) override;
};

// The screen passes of all `nodes` together.
int CountScreenPassesOf(const TreeNodeVector& nodes);

// Typed readers of the records inside a tree. Each refuses the document
// (DS_Error naming the class) for a class that is not registered or that
// is of the other family.
std::unique_ptr<KXI_PSTree_Node> ReadPSTreeNodePointer(ArchiveReader ar);
std::unique_ptr<KXI_PtclSys_Geometry> ReadGeometryPointer(ArchiveReader ar);
// The checked count, then each node; every child's parent becomes `owner`.
void ReadTreeNodeVector(ArchiveReader ar, TreeNodeVector& nodes, KXI_PSTree_Node_Parent* owner);
void WriteTreeNodeVector(ArchiveWriter ar, const TreeNodeVector& nodes);

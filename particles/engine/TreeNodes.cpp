#include "particles/engine/TreeNodes.h"

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"

namespace {
// Node levels being read on this thread; a guard per level.
thread_local int t_readDepth = 0;

class ReadDepthGuard {
public:
    ReadDepthGuard()
    {
        if (++t_readDepth > kMaxTreeDepth) {
            --t_readDepth;
            throw DS_Error(u"particle tree too deep");
        }
    }
    ~ReadDepthGuard() { --t_readDepth; }
    ReadDepthGuard(const ReadDepthGuard&) = delete;
    ReadDepthGuard& operator=(const ReadDepthGuard&) = delete;
};

// Reads one item of the tree family and keeps it only as a T; anything else
// refuses the document.
template <class T>
std::unique_ptr<T> ReadTreeItem(ArchiveReader ar, std::u16string_view expected)
{
    const SectionHeader header = ar.ReadSectionHeader();
    const auto& reader = FindRecordReader(GetItemClassRegistry(), header.className);
    std::unique_ptr<KXI_IOF_Item> item = reader.CreateAndRead(ar, header.version);
    if (auto* typed = dynamic_cast<T*>(item.get())) {
        item.release();
        return std::unique_ptr<T>(typed);
    }
    throw DS_Error(kxi_string(u"the class ") + header.className + u" is not a " + kxi_string(expected));
}

void WriteSectionStart(ArchiveWriter ar, std::u16string_view className)
{
    ar->WriteWideString(kxi_string(className));
    ar->WriteLong(KXI_PSTree_Node::kStoredVersion);
}
} // namespace

KXI_PSTree_Node::KXI_PSTree_Node(DS_SafePtr<KXI_PtclSys_Geometry> nodeGeometry) : geometry(std::move(nodeGeometry))
{
    if (geometry)
        geometry->AttachNode(this);
}

void KXI_PSTree_Node::Save(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kSectionName);
    ar->WriteWideString(name);
    if (geometry)
        geometry->Save(ar);
    WriteTreeNodeVector(ar, children);
}

void KXI_PSTree_Node::ReadNodeSection(ArchiveReader ar)
{
    ar.ReadSectionHeader();
    name = ar.ReadWideString();
    geometry = DS_SafePtr<KXI_PtclSys_Geometry>(ReadGeometryPointer(ar).release());
    geometry->AttachNode(this);
    ReadTreeNodeVector(ar, children, this);
}

void KXI_PSTree_Node::SpawnIntoChildren(const TreeParticleList& born)
{
    for (const TreeParticleHandle& particle : born)
        for (const TreeNodeHandle& child : children.value)
            if (child)
                child->SpawnFrom(particle);
}

void KXI_PSTree_Node::SpawnFrom(const TreeParticleHandle& parentParticle)
{
    if (!geometry)
        return;
    TreeParticleList born;
    geometry->SpawnParticles(born, parentParticle);
    SpawnIntoChildren(born);
}

void KXI_PSTree_Node::PrepareResources()
{
    for (const TreeNodeHandle& child : children.value)
        if (child)
            child->PrepareResources();
}

void KXI_PSTree_Node::ForEachParticle(KXI_PSTree_Node& node)
{
    if (!geometry)
        return;
    // A copy of the handles: spawning may add to this list.
    const TreeParticleList particles = geometry->particles;
    for (const TreeParticleHandle& p : particles)
        node.SpawnFrom(p);
}

void KXI_PSTree_Stem::Save(ArchiveWriter ar) const
{
    WriteSectionStart(ar, kClassName);
    KXI_PSTree_Node::Save(ar);
}

void KXI_PSTree_Stem::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadNodeSection(ar);
}

int CountScreenPassesOf(const TreeNodeVector& nodes)
{
    int passes = 0;
    for (const TreeNodeHandle& node : nodes.value)
        if (node)
            passes += node->CountScreenPasses();
    return passes;
}

int KXI_PSTree_Stem::CountScreenPasses() const
{
    return CountScreenPassesOf(children);
}

int KXI_PSTree_Stem::Update(float dt, const TreeParticleList& parentParticles)
{
    TreeParticleList emitted;
    if (geometry) {
        TreeParticleList out;
        for (const TreeParticleHandle& p : parentParticles) {
            geometry->EmitParticles(out, dt, p);
            emitted.insert(emitted.end(), out.begin(), out.end());
        }
    }
    SpawnIntoChildren(emitted);
    static const TreeParticleList kNone;
    if (geometry)
        geometry->UpdateParticles(dt);
    const TreeParticleList& own = geometry ? geometry->particles : kNone;
    int batches = 0;
    for (const TreeNodeHandle& child : children.value)
        if (child)
            batches += child->Update(dt, own);
    return batches;
}

void KXI_PSTree_Stem::BuildQuads(KXI_PtclSys_Mesh& mesh, int& batchIndex)
{
    for (auto it = children.value.rbegin(); it != children.value.rend(); ++it)
        if (*it)
            (*it)->BuildQuads(mesh, batchIndex);
}

void KXI_PSTree_Stem::Render(KXI_PtclSys_Mesh& mesh, int& batchIndex, gfx::Effect* effect, DS_ABRender& renderer,
                             int& counter)
{
    for (auto it = children.value.rbegin(); it != children.value.rend(); ++it)
        if (*it)
            (*it)->Render(mesh, batchIndex, effect, renderer, counter);
}

std::unique_ptr<KXI_PSTree_Node> ReadPSTreeNodePointer(ArchiveReader ar)
{
    ReadDepthGuard level;
    return ReadTreeItem<KXI_PSTree_Node>(ar, u"particle tree node");
}

std::unique_ptr<KXI_PtclSys_Geometry> ReadGeometryPointer(ArchiveReader ar)
{
    return ReadTreeItem<KXI_PtclSys_Geometry>(ar, u"particle geometry");
}

void ReadTreeNodeVector(ArchiveReader ar, TreeNodeVector& nodes, KXI_PSTree_Node_Parent* owner)
{
    ReadSmartVectorPtr(ar, nodes, [](ArchiveReader r) { return ReadPSTreeNodePointer(r); });
    for (const TreeNodeHandle& child : nodes.value)
        child->parent = owner;
}

void WriteTreeNodeVector(ArchiveWriter ar, const TreeNodeVector& nodes)
{
    WriteSmartVectorPtr(ar, nodes, [](ArchiveWriter w, const TreeNodeHandle& node) {
        if (node)
            node->Save(w);
    });
}

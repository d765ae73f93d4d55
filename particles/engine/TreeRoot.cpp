#include "particles/engine/TreeRoot.h"

#include "particles/engine/TreeRendering.h"
#include "render/DocResManager.h"
#include "render/EffectResolution.h"
#include "render/SharedResource.h"

KXI_PSTree_Root::KXI_PSTree_Root()
    : effectLink(kCommonResTreeEffect, kxi_string(kCommonResModule)), rootParticle(MakeSafePtr<TreeParticle>())
{
    speed.Rescale(kSpeedScale, 0.0f);
    speed.QuietSet(kRealTime);
}

KXI_PSTree_Root::KXI_PSTree_Root(const KXI_PSTree_Root& other)
    : DS_ABObj_Constructor(other), KXI_PSTree_Node_Parent(other), effectLink(other.effectLink), offset(other.offset),
      children(other.children), storedInteger(other.storedInteger), renderObject(other.renderObject),
      speed(other.speed), rootParticle(other.rootParticle), effect(other.effect)
{
}

KXI_PSTree_Root::~KXI_PSTree_Root() = default;

int KXI_PSTree_Root::GetKind() const
{
    return kKindParticleSystem;
}

std::unique_ptr<KXI_PSTree_Root> KXI_PSTree_Root::Clone() const
{
    return std::make_unique<KXI_PSTree_Root>(*this);
}

std::unique_ptr<KXI_RenderObj> KXI_PSTree_Root::CreateRenderObject()
{
    std::unique_ptr<KXI_PSTree_Root> clone = Clone();
    KXI_PSTree_Root* running = clone.get();
    auto mesh = std::make_unique<KXI_PtclSys_Mesh>(std::move(clone));
    running->AttachResources();
    return mesh;
}

void KXI_PSTree_Root::AttachResources()
{
    if (DS_DocResManager* manager = CurrentDocResManager())
        effect = ResolveEffectWithFallback(*manager, effectLink, kBuiltinEffect, BuiltinEffectRule::ForAnyUnusableLink)
                     .effect;
    for (const TreeNodeHandle& child : children.value) {
        if (!child)
            continue;
        child->PrepareResources();
        child->SpawnFrom(rootParticle);
        child->parent = this;
    }
}

void KXI_PSTree_Root::ForEachParticle(KXI_PSTree_Node& node)
{
    node.SpawnFrom(rootParticle);
}

void KXI_PSTree_Root::UpdateTree(float t, KXI_PtclSys_Mesh& mesh)
{
    speed.Advance(t);
    const float step = speed.Step();
    rootParticle->Position() = offset.value;
    const TreeParticleList parents{rootParticle};
    int batches = 0;
    for (const TreeNodeHandle& child : children.value)
        if (child)
            batches += child->Update(step, parents);
    rootParticle->values[TreeParticle::kAge] += step;
    mesh.ResizeBatches(static_cast<std::size_t>(batches));
    int batchIndex = 0;
    for (auto it = children.value.rbegin(); it != children.value.rend(); ++it)
        if (*it)
            (*it)->BuildQuads(mesh, batchIndex);
}

void KXI_PSTree_Root::RenderTree(KXI_PtclSys_Mesh& mesh, DS_ABRender& renderer, int& counter)
{
    int batchIndex = 0;
    for (auto it = children.value.rbegin(); it != children.value.rend(); ++it)
        if (*it)
            (*it)->Render(mesh, batchIndex, effect.Get(), renderer, counter);
}

int KXI_PSTree_Root::CountScreenPasses() const
{
    return CountScreenPassesOf(children);
}

// ---- stored form ------------------------------------------------------------------

void KXI_PSTree_Root::ReadRootFields(ArchiveReader ar)
{
    ReadFileLink(ar, effectLink);
    math::Vec3 at;
    at.x = ar.ReadFloat();
    at.y = ar.ReadFloat();
    at.z = ar.ReadFloat();
    offset.StoreValue(at);
    storedInteger = ar.ReadInt();
    ReadTreeNodeVector(ar, children, this);
    ReadABObjConstructor(ar, *this);
}

void KXI_PSTree_Root::WriteRootFields(ArchiveWriter ar) const
{
    WriteFileLink(ar, effectLink);
    ar->WriteFloat(offset.value.x);
    ar->WriteFloat(offset.value.y);
    ar->WriteFloat(offset.value.z);
    ar->WriteLong(storedInteger);
    WriteTreeNodeVector(ar, children);
    WriteABObjConstructor(ar, *this);
}

void KXI_PSTree_Root::ReadBody(ArchiveReader ar, std::int32_t)
{
    ReadRootFields(ar);
}

void KXI_PSTree_Root::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteLong(kWrittenVersion);
    WriteRootFields(ar);
}

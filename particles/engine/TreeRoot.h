#pragma once
// KXI_PSTree_Root: the scene object at the top of a particle tree. It holds
// the one root particle (placed at the offset), the top nodes, the effect
// every node draws with and the tree clock. Its render object
// (KXI_PtclSys_Mesh, TreeRendering.h) owns a clone; the clone shares the
// nodes, their geometries and particles with the description.
//
// Every frame the tree clock advances (time going back is a zero step, a
// step longer than 0.2 s counts as 0.2 s, then it is scaled by the speed),
// the nodes update from the top down, the render object keeps one batch per
// leaf and the leaves fill their batches in reverse order, the order they
// also draw in.
//
// An effect link that gives no effect of ours draws with the built-in
// particle effect. The restart does nothing: particles and clock stay.
//
// Stored record "KXI_PSTree_Root" (version 1, not looked at): effect link,
// offset (3 floats), int32 kept for the document, the child list (int32
// count, then each node), then the DS_ABObj_Constructor section. The speed
// is not stored: a read root runs at 100 %.

#include <cstdint>
#include <memory>
#include <string_view>

#include "objectmodel/MediaParam.h"
#include "objectmodel/ScaledParams.h"
#include "particles/engine/TreeNodes.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/Ref.h"
#include "platform/math/Vector.h"
#include "render/ABObjConstructor.h"
#include "render/FileLink.h"

class DS_ABRender;
class KXI_PtclSys_Mesh;

class KXI_PSTree_Root : public DS_ABObj_Constructor, public KXI_PSTree_Node_Parent {
public:
    static constexpr std::u16string_view kClassName = u"KXI_PSTree_Root";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr int kKindParticleSystem = 8;
    static constexpr float kSpeedScale = 0.01f;
    static constexpr std::uint32_t kRealTime = 100;
    static constexpr const char* kBuiltinEffect = "particle-tree";

    KXI_PSTree_Root();
    // Copies the description, effect link, offset, the child list (new
    // handles to the same nodes), the stored integer, the render object,
    // speed and clock; shares the root particle and the effect.
    KXI_PSTree_Root(const KXI_PSTree_Root& other);
    KXI_PSTree_Root& operator=(const KXI_PSTree_Root&) = delete;
    ~KXI_PSTree_Root() override;

    void Save(ArchiveWriter ar) const override;
    void ReadBody(ArchiveReader ar, std::int32_t version);
    // The root's fields and the description section, without the class
    // name and version (which the registry reads).
    void ReadRootFields(ArchiveReader ar);
    void WriteRootFields(ArchiveWriter ar) const;

    int GetKind() const override;
    // A KXI_PtclSys_Mesh around a clone, attached.
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;
    // The restart leaves particles and clock alone.
    void Restart() override {}

    // The effect (built-in particle effect when the link gives none of
    // ours), then every child prepared, born from the root particle and
    // hung under the root.
    virtual void AttachResources();
    virtual std::unique_ptr<KXI_PSTree_Root> Clone() const;

    // One frame at the object's local time `t` (seconds).
    void UpdateTree(float t, KXI_PtclSys_Mesh& mesh);
    // Every child's Render in reverse list order.
    void RenderTree(KXI_PtclSys_Mesh& mesh, DS_ABRender& renderer, int& counter);
    // Screen passes of all leaves (one per leaf with glow mode 2).
    int CountScreenPasses() const;

    void ForEachParticle(KXI_PSTree_Node& node) override;

    // The tree clock.
    float Step() const { return speed.Step(); }
    float TotalTime() const { return speed.Total(); }
    float LastTime() const { return speed.Last(); }

    DS_HLSLEffectFile effectLink;
    MediaParamT<math::Vec3> offset;
    TreeNodeVector children;
    std::int32_t storedInteger = 0;
    KXI_PtclSys_Mesh* renderObject = nullptr;
    MediaSpeedParam speed;
    TreeParticleHandle rootParticle;
    gfx::Ref<gfx::Effect> effect;
};

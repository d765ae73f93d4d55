#pragma once
// KXI_PtclSys_Mesh: the render object of a particle tree. It owns the
// running clone of the root and one TreeBatch per leaf, advances the tree
// at every frame and draws it through RenderTo, switching the render
// target once before every leaf with screen glow (NeedsRenderTarget counts
// them).
//
// TreeBatch: a quad batch (four XYZ | DIFFUSE | TEX1 vertices per quad,
// 16-bit indices; its world matrix stays identity) with the quad count of
// its last build. Buffers only grow. DrawTreeBatch draws quads
// [0, quad count) through the effect's passes, the world going through the
// render context like every other batch's (camera and parallax).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "particles/engine/TreeRoot.h"
#include "render/QuadBatchBuffer.h"
#include "render/RenderObject.h"

class DS_ABRender;
namespace gfx {
class Effect;
}

struct TreeBatch : QuadBatchBuffer {
    std::int32_t quadCount = 0;
};

// Quads [0, quad count) of `batch` with `technique` (null keeps the
// effect's current technique). Nothing without an effect or quads.
void DrawTreeBatch(DS_ABRender& renderer, TreeBatch& batch, gfx::Effect* effect, const char* technique);

class KXI_PtclSys_Mesh : public DS_ABObj {
public:
    // Owns `root` (a clone); registers under its GUID and points the clone
    // at this object. The caller attaches (KXI_PSTree_Root::AttachResources).
    explicit KXI_PtclSys_Mesh(std::unique_ptr<KXI_PSTree_Root> root);
    ~KXI_PtclSys_Mesh() override;

    // Drawing goes through RenderTo.
    void Render(DS_ABRender& renderer) override;
    void RenderTo(DS_ABRender& renderer, int& counter) override;
    int NeedsRenderTarget() const override;
    void Animate(float localTime) override;
    int GetKind() const override;

    // `count` batches: new ones empty, surplus ones released.
    void ResizeBatches(std::size_t count);
    std::size_t BatchCount() const { return m_batches.size(); }
    // The batch at `index`, or null outside the list.
    TreeBatch* Batch(int index);

    KXI_PSTree_Root& Root() const { return *m_root; }

private:
    KXI_PSTree_Root* m_root;
    std::vector<TreeBatch> m_batches;
};

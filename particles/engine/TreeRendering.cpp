#include "particles/engine/TreeRendering.h"

#include <algorithm>

#include "platform/gfx/Effect.h"
#include "render/ABRender.h"

void DrawTreeBatch(DS_ABRender& renderer, TreeBatch& batch, gfx::Effect* effect, const char* technique)
{
    if (!effect || batch.quadCount <= 0)
        return;
    if (technique)
        effect->SetTechnique(technique);
    renderer.DrawIndexedOptionalEffect(batch, effect, 0, static_cast<std::uint32_t>(batch.quadCount));
}

KXI_PtclSys_Mesh::KXI_PtclSys_Mesh(std::unique_ptr<KXI_PSTree_Root> root)
    : DS_ABObj(std::move(root)), m_root(static_cast<KXI_PSTree_Root*>(OwnedDescription()))
{
    m_root->renderObject = this;
}

KXI_PtclSys_Mesh::~KXI_PtclSys_Mesh()
{
    m_batches.clear();
}

void KXI_PtclSys_Mesh::Render(DS_ABRender&) {}

void KXI_PtclSys_Mesh::RenderTo(DS_ABRender& renderer, int& counter)
{
    m_root->RenderTree(*this, renderer, counter);
}

int KXI_PtclSys_Mesh::NeedsRenderTarget() const
{
    return IsEnabled() ? m_root->CountScreenPasses() : 0;
}

void KXI_PtclSys_Mesh::Animate(float localTime)
{
    m_root->UpdateTree(localTime, *this);
}

int KXI_PtclSys_Mesh::GetKind() const
{
    return m_root->GetKind();
}

void KXI_PtclSys_Mesh::ResizeBatches(std::size_t count)
{
    m_batches.resize(count);
}

TreeBatch* KXI_PtclSys_Mesh::Batch(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_batches.size())
        return nullptr;
    return &m_batches[static_cast<std::size_t>(index)];
}

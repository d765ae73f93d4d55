#include "effects/BrushObject.h"

#include "render/DocResManager.h"

DS_BrushObj::DS_BrushObj(std::unique_ptr<DS_FX_Constructor> clone)
    : DS_ABObj(std::unique_ptr<DS_ABObj_Constructor>(clone.get())), m_effect(clone.release())
{
    DS_DocResManager* manager = CurrentDocResManager();
    if (!m_effect || !manager)
        return;
    m_effect->Attach(&manager->GetGuidTexture(m_effect->key));
}

void DS_BrushObj::Render(DS_ABRender& renderer)
{
    if (m_effect)
        m_effect->Apply(renderer);
}

int DS_BrushObj::NeedsRenderTarget() const
{
    if (!m_effect || !IsEnabled() || !m_effect->effect)
        return 0;
    return m_effect->NeedsRenderTarget() != 0 ? 1 : 0;
}

void DS_BrushObj::Animate(float localTime)
{
    if (m_effect)
        m_effect->Update(localTime);
}

#include "render/RenderObject.h"

#include "render/ABObjConstructor.h"
#include "render/ABRender.h"
#include "render/RenderObjectRegistry.h"
#include "render/TimingSmart.h"

KXI_RenderObj::KXI_RenderObj(KXI_RenderObjData* description) : m_description(description)
{
    if (m_description)
        RegisterInstance();
}

KXI_RenderObj::~KXI_RenderObj()
{
    Unregister();
}

void KXI_RenderObj::RegisterInstance()
{
    if (!m_description)
        return;
    if (m_description->guid.IsNull() || m_description->keepId == 0)
        m_description->guid = crt::CreateGuid();
    // Moving to another GUID gives up the entry under the old one.
    if (m_registered && m_registeredGuid != m_description->guid)
        Unregister();
    m_registeredGuid = m_description->guid;
    m_registered = true;
    RegisterRenderObject(m_registeredGuid, this, &m_description->timing);
}

void KXI_RenderObj::Unregister()
{
    if (!m_registered)
        return;
    UnregisterRenderObject(m_registeredGuid, this);
    m_registered = false;
}

void KXI_RenderObj::RenderTo(DS_ABRender& renderer, int& counter)
{
    if (NeedsRenderTarget() != 0)
        renderer.SwitchRenderTarget(counter);
    Render(renderer);
}

int KXI_RenderObj::NeedsRenderTarget() const
{
    return 0;
}

void KXI_RenderObj::SetEnabled(int value)
{
    enabled = value;
}

void KXI_RenderObj::Restart()
{
    if (!m_description)
        return;
    m_description->timing.CurrentTimeline()->Reset();
    m_description->Restart();
}

KXI_SmartTiming* KXI_RenderObj::GetTiming()
{
    return m_description ? &m_description->timing : nullptr;
}

void KXI_RenderObj::Update(float globalTime)
{
    if (!m_description)
        return;
    KXI_SmartTiming& timing = m_description->timing;
    float delta = globalTime - timing.lastGlobalTime;
    timing.lastGlobalTime = globalTime;

    KXI_Timing* timeline = timing.CurrentTimeline();
    timeline->Advance(globalTime);
    const bool unscaled = (timing.flags & KXI_SmartTiming::kFlagUnscaledClock) != 0;
    if (!unscaled && timing.clockMode.value == KXI_SmartTiming::kClockScaledByLevel)
        delta *= timeline->GetValue();

    timing.objectClock += delta;
    Animate(timing.objectClock);
}

void KXI_RenderObj::ResolveTimingLinks()
{
    if (m_description)
        m_description->timing.CurrentTimeline()->ResolveLinks();
}

DS_ABObj::DS_ABObj(std::unique_ptr<DS_ABObj_Constructor> description)
    : KXI_RenderObj(description.get()), m_owned(std::move(description))
{
}

DS_ABObj::~DS_ABObj()
{
    // The registry entry points at the description's timing: leave it
    // before the description goes.
    Unregister();
    m_owned.reset();
}

void DS_ABObj::OnDescriptionCommand(int) {}

void DS_ABObj::OnResize() {}

int DS_ABObj::GetKind() const
{
    return m_owned ? m_owned->GetKind() : DS_ABObj_Constructor::kKindSceneObject;
}

bool DS_ABObj::HitTest(int, int)
{
    return false;
}

int DS_ABObj::QueryExtra() const
{
    return m_owned ? m_owned->QueryExtra() : 0;
}

bool DS_ABObj::AddBoundingRect(BoundingRectList& list) const
{
    return m_owned ? m_owned->AddBoundingRect(list) : false;
}

void DS_ABObj::CollectFileLinks(FileLinkList& list) const
{
    if (m_owned)
        m_owned->CollectFileLinks(list);
}

void DS_ABObj::OnSpriteCommand(FrameTextWriter&, int) {}

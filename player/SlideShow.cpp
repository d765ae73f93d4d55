#include "player/SlideShow.h"

#include <algorithm>
#include <cmath>

#include "particles/generators/GeneratorClasses.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "effects/EffectClasses.h"
#include "objects/ObjectClasses.h"
#include "particles/systems/ParticleSystemClasses.h"
#include "platform/gfx/Device.h"
#include "player/SoundObjects.h"
#include "render/DocResManager.h"
#include "render/ResourceLoading.h"

namespace {

constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

std::unique_ptr<DS_SlideShowBase> MakeSlideShow()
{
    return std::make_unique<DS_SlideShow_Light>();
}

float Clamp01(float value)
{
    if (std::isnan(value))
        return 0.0f;
    return std::clamp(value, 0.0f, 1.0f);
}

std::uint32_t BackBufferWidth(const gfx::Device& device)
{
    gfx::SurfaceDesc desc;
    if (device.GetBackBufferDesc(&desc) != gfx::kOk)
        return 0;
    return desc.width;
}

} // namespace

void InstallPlayerDocumentClasses()
{
    InstallSlideShowClass(&MakeSlideShow);
    InstallRenderDocResManager();
    RegisterSlideContainerClass();
    RegisterSoundClasses();
    RegisterGeneratorClasses();
    RegisterParticleEngineClasses();
    RegisterEffectClasses();
    RegisterParticleSystemClasses();
    RegisterObjectClasses();
}

DS_SlideShow_Light::DS_SlideShow_Light() = default;

DS_SlideShow_Light::~DS_SlideShow_Light()
{
    m_transition.reset();
    // A context freed here must not stay the thread's current one.
    if (m_renderContext && g_RenderContextTls == m_renderContext.get())
        g_RenderContextTls = nullptr;
    m_renderContext = nullptr;
    m_currentSlide = nullptr;
    m_slides.clear();
}

void DS_SlideShow_Light::ReadSlide(ArchiveReader ar)
{
    m_slides.emplace_back(ReadSlideContainer(ar).release());
}

void DS_SlideShow_Light::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kStoredVersion);
    ar->WriteVersion(static_cast<std::int32_t>(m_slides.size()));
    for (const auto& slide : m_slides)
        slide->Save(ar);
    ar->WriteVersion(static_cast<std::int32_t>(AudioFiles().size()));
    for (const auto& file : AudioFiles())
        WriteAudioFile(ar, *file);
}

int DS_SlideShow_Light::CurrentIndex() const
{
    for (std::size_t i = 0; i < m_slides.size(); ++i) {
        if (m_slides[i].SharesBlockWith(m_currentSlide) && m_currentSlide)
            return static_cast<int>(i);
    }
    return -1;
}

float DS_SlideShow_Light::ComputeCoverFactor(float e, float fadeIn, float hold, float fadeOut, int mode)
{
    if (fadeIn > e)
        return Clamp01((fadeIn - e) / fadeIn);
    if (mode != DS_SlideContainer::kModeStays && e > fadeIn + hold)
        return Clamp01((e - (fadeIn + hold)) / fadeOut);
    return 0.0f;
}

void DS_SlideShow_Light::Update(float t)
{
    if (m_slides.empty())
        return;
    // A show whose start could not make its black quad (no device yet)
    // starts again once a device exists. Without any device the show runs
    // on, undrawn.
    if (!m_started || (!m_transition && GetResourceDevice()))
        Start(t);
    else if (m_slides.size() >= 2)
        Advance(t);
    if (m_currentSlide)
        m_currentSlide->Update(t - m_slideStart);
}

void DS_SlideShow_Light::Start(float t)
{
    m_started = true;
    m_currentSlide = m_slides.front();
    m_slideStart = t - (m_currentSlide ? m_currentSlide->fadeIn.value : 0.0f);
    SwitchSlide();
    MakeTransition();
}

void DS_SlideShow_Light::MakeTransition()
{
    gfx::Device* device = GetResourceDevice();
    if (!device)
        return;
    auto transition = std::make_unique<ScreenQuad>();
    QuadVertices quad;
    GetTargetQuad(quad);
    if (!transition->SetQuadAndColor(*device, quad, 0x00000000u))
        return;
    m_transition = std::move(transition);
}

void DS_SlideShow_Light::Advance(float t)
{
    if (!m_currentSlide)
        return;
    // The timings of the slide on screen at the start of this call; they
    // stay in force for the cover factor even when the slide changes now.
    const DS_SlideContainer& left = *m_currentSlide;
    const float fadeIn = left.fadeIn.value;
    const float fadeOut = left.fadeOut.value;
    const float hold = left.hold.value;
    const int mode = left.mode.value;

    if (mode != DS_SlideContainer::kModeStays && t - m_slideStart > fadeIn + fadeOut + hold) {
        m_currentSlide->EnableSounds(false);
        m_currentSlide = m_slides[static_cast<std::size_t>(m_nextIndex)];
        m_slideStart = t;
        m_nextIndex = m_nextIndex + 1 < static_cast<int>(m_slides.size()) ? m_nextIndex + 1 : 0;
        SwitchSlide();
    }
    m_coverFactor = ComputeCoverFactor(t - m_slideStart, fadeIn, hold, fadeOut, mode);
    if (m_transition)
        m_transition->SetCornerAlphas(m_coverFactor, m_coverFactor, m_coverFactor, m_coverFactor);
}

void DS_SlideShow_Light::SwitchSlide()
{
    if (!m_currentSlide)
        return;
    if (const gfx::Device* device = GetResourceDevice(); device && BackBufferWidth(*device) != 0) {
        QuadVertices quad;
        quad.FillTarget(*device);
        m_currentSlide->SetViewQuad(quad);
    }
    if (DS_2D_Light* light = m_currentSlide->PictureScene())
        light->SetCameraAnimated(true);
    m_currentSlide->RestartObjects();
    m_currentSlide->EnableSounds(true);
}

void DS_SlideShow_Light::GetTargetQuad(QuadVertices& out) const
{
    out = QuadVertices();
    if (const gfx::Device* device = GetResourceDevice())
        out.FillTarget(*device);
}

void DS_SlideShow_Light::Render(bool perMonitor)
{
    DS_2D_Light* light = m_currentSlide ? m_currentSlide->PictureScene() : nullptr;
    if (!light) {
        // Nothing to show: a black frame rather than whatever the target held.
        if (gfx::Device* device = GetResourceDevice())
            device->Clear(0, nullptr, gfx::ClearFlags::Target, kOpaqueBlack, 1.0f, 0);
        return;
    }
    m_currentSlide->RenderScene(perMonitor);
    m_currentSlide->DrawBars(perMonitor);
    if (m_transition)
        light->DrawColorQuad(m_transition.get());
}

void DS_SlideShow_Light::OnLostDevice()
{
    for (const auto& slide : m_slides) {
        if (slide)
            slide->OnLostDevice();
    }
}

void DS_SlideShow_Light::OnResetDevice(int)
{
    if (m_currentSlide && m_currentSlide->PictureScene())
        m_currentSlide->PictureScene()->OnResetDevice();
}

void DS_SlideShow_Light::SetRenderContext(RenderContext* context)
{
    m_renderContext = DS_SafePtr<RenderContext>(context);
    g_RenderContextTls = m_renderContext.get();
}

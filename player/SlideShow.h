#pragma once
// DS_SlideShow_Light: the root of a scene document. It shows one slide at a
// time in document order, wrapping to the first, and covers the picture
// with a black full-target quad whose opacity follows the current slide's
// fades.
//
// Timing of a slide (fade-in Fi, hold H, fade-out Fo, seconds from the
// slide's start): covered (Fi - e) / Fi while fading in, clear while held,
// (e - (Fi + H)) / Fo while fading out; the next slide starts when
// Fi + H + Fo have passed. The first slide starts past its fade-in. A slide
// of mode 1 fades in and stays; a show of one slide never fades or
// switches. The cover factor is kept within 0..1 whatever the stored
// timings (a zero or negative fade never overshoots into wrap-around), and
// a show without slides draws black frames.

#include <cstdint>
#include <memory>
#include <vector>

#include "objectmodel/DocumentClasses.h"
#include "objectmodel/SafePtr.h"
#include "player/SlideContainer.h"
#include "render/QuadVertices.h"
#include "render/RenderContext.h"
#include "render/ScreenQuad.h"

class DS_SlideShow_Light : public DS_SlideShowBase {
public:
    static constexpr std::u16string_view kClassName = u"DS_SlideShow_Light";
    static constexpr std::int32_t kStoredVersion = 1;

    DS_SlideShow_Light();
    ~DS_SlideShow_Light() override;
    DS_SlideShow_Light(const DS_SlideShow_Light&) = delete;
    DS_SlideShow_Light& operator=(const DS_SlideShow_Light&) = delete;

    // ---- DS_SlideShowBase
    void ReadSlide(ArchiveReader ar) override;
    void Save(ArchiveWriter ar) const override;

    // ---- the show as the player drives it
    // Advances the show to absolute time `t` (seconds).
    virtual void Update(float t);
    // Draws the current slide and the transition; `perMonitor` for a pass
    // inside one monitor of several.
    virtual void Render(bool perMonitor);
    virtual void OnLostDevice();
    virtual void OnResetDevice(int argument);
    // The current slide gets the back-buffer view; its camera, objects and
    // sounds restart.
    virtual void SwitchSlide();
    // A quad over the whole back buffer.
    virtual void GetTargetQuad(QuadVertices& out) const;

    // The scene's render context: owned by the show from now on and made
    // the thread's current one.
    void SetRenderContext(RenderContext* context);
    RenderContext* GetRenderContext() const { return m_renderContext.get(); }

    // ---- state, for the player and tests
    std::vector<DS_SafePtr<DS_SlideContainer>>& Slides() { return m_slides; }
    const std::vector<DS_SafePtr<DS_SlideContainer>>& Slides() const { return m_slides; }
    DS_SlideContainer* CurrentSlide() const { return m_currentSlide.get(); }
    // Index of the current slide in Slides(), or -1.
    int CurrentIndex() const;
    int NextIndex() const { return m_nextIndex; }
    float SlideStart() const { return m_slideStart; }
    // The cover factor the transition shows now (0 clear, 1 black).
    float CoverFactor() const { return m_coverFactor; }
    const ScreenQuad* Transition() const { return m_transition.get(); }

    // Cover factor at slide time `e` of a slide with these timings, within
    // 0..1.
    static float ComputeCoverFactor(float e, float fadeIn, float hold, float fadeOut, int mode);

private:
    void Start(float t);
    void Advance(float t);
    void MakeTransition();

    DS_SafePtr<DS_SlideContainer> m_currentSlide;
    std::vector<DS_SafePtr<DS_SlideContainer>> m_slides;
    float m_slideStart = 0.0f;
    int m_nextIndex = 1;
    std::unique_ptr<ScreenQuad> m_transition;
    DS_SafePtr<RenderContext> m_renderContext;
    float m_coverFactor = 0.0f;
    bool m_started = false;
};

// Installs the player's document classes: the slide show (this file), the
// render layer's resource manager, and the slide registry's class. Every
// program that opens a scene document for playing calls it first.
void InstallPlayerDocumentClasses();

#pragma once
// Render objects: the runtime side of scene objects.
//
// KXI_RenderObj is built around its object's description (a clone of the
// stored one), advances the object's timeline every frame, animates the
// object and draws it through the picture scene's renderer (ABRender.h).
// While it lives it is entered in the render-object registry under its
// description's GUID, so that timelines of other objects can follow it.
//
// DS_ABObj is the root of every concrete render object: it owns the
// description clone and answers the object-list queries (kind, hit test,
// bounding rectangles, file links) from it.
//
// Per-frame clock (Update): the object clock takes the raw difference of
// the absolute times, so it runs backwards when time goes back; only the
// timeline clamps its own step. In clock mode 2 (unless bit 0x20 of the
// timing's flag word is set) the step is scaled by the timeline's level, so
// the object slows down as it fades.

#include <cstdint>
#include <memory>

#include "platform/crt/Guid.h"
#include "render/ObjectDescription.h"

class DS_ABRender;
class DS_ABObj_Constructor;
class KXI_RenderObjData;
class KXI_SmartTiming;
class FrameTextWriter;

class KXI_RenderObj {
public:
    // Takes `description` (not owned at this level). With a description the
    // object registers itself (RegisterInstance); without one it neither
    // registers nor unregisters.
    explicit KXI_RenderObj(KXI_RenderObjData* description);
    KXI_RenderObj(const KXI_RenderObj&) = delete;
    KXI_RenderObj& operator=(const KXI_RenderObj&) = delete;
    // Leaves the registry if the entry under its GUID is still its own.
    virtual ~KXI_RenderObj();

    // Draws the object through `renderer`.
    virtual void Render(DS_ABRender& renderer) = 0;
    // Lets the renderer hand over the picture drawn so far when the object
    // reads it (NeedsRenderTarget), then draws.
    virtual void RenderTo(DS_ABRender& renderer, int& counter);
    // How many render-target switches the object makes in one frame; 0
    // when it does not read the picture drawn so far.
    virtual int NeedsRenderTarget() const;
    virtual void SetEnabled(int enabled);
    // Resets the timeline, then the description's own running state.
    virtual void Restart();
    // The description's timing, or null without a description.
    virtual KXI_SmartTiming* GetTiming();
    // Moves the object to its local time (the object clock).
    virtual void Animate(float localTime) = 0;

    // Gives the description a GUID when it has none (or may not keep the
    // one it has) and enters this object in the registry under it.
    void RegisterInstance();
    // One frame at absolute time `globalTime` (seconds): advances the
    // timeline and the object clock, then animates.
    void Update(float globalTime);
    // Lets the current timeline find the objects it follows; called once
    // the scene's render objects exist.
    void ResolveTimingLinks();

    bool IsEnabled() const { return enabled != 0; }
    KXI_RenderObjData* Description() const { return m_description; }

    // The picture scene draws only enabled objects.
    std::int32_t enabled = 1;

protected:
    // Removes this object's registry entry (only while it is its own).
    void Unregister();

private:
    KXI_RenderObjData* m_description;
    // The GUID this object registered under, kept so that it can leave the
    // registry even after its description is gone.
    crt::Guid m_registeredGuid;
    bool m_registered = false;
};

class DS_ABObj : public KXI_RenderObj {
public:
    // Owns `description`; it is deleted with the object.
    explicit DS_ABObj(std::unique_ptr<DS_ABObj_Constructor> description);
    ~DS_ABObj() override;

    // A command for the description; ignored by all but the picture
    // effects' render object.
    virtual void OnDescriptionCommand(int value);
    // The target size changed; nothing to do for most objects.
    virtual void OnResize();
    // The description's kind.
    virtual int GetKind() const;
    // Whether the point (window pixels) hits the object: never in the base.
    virtual bool HitTest(int x, int y);
    // The description's QueryExtra.
    virtual int QueryExtra() const;
    // The description's rectangles.
    virtual bool AddBoundingRect(BoundingRectList& list) const;
    // The description's file links.
    virtual void CollectFileLinks(FileLinkList& list) const;
    // A command for the object's sprite buffer; ignored in the base.
    virtual void OnSpriteCommand(FrameTextWriter& record, int value);

    DS_ABObj_Constructor* OwnedDescription() const { return m_owned.get(); }

    std::int32_t extra = 0;

private:
    std::unique_ptr<DS_ABObj_Constructor> m_owned;
};

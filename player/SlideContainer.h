#pragma once
// DS_SlideContainer: one slide of the show. It holds a picture scene
// (DS_2D_Light or a light variant), two lists of scene objects (the first
// drawn over the picture, the second the slide's sounds), its three timings
// (fade-in, hold, fade-out, seconds) and its mode (1: the slide stays for
// good once it has faded in).
//
// Stored record (class header "DS_SlideContainer", written as version 6),
// read by version v:
//   v >= 5: int32 mode, float fade-in, float fade-out, float hold;
//   v <  5: uint32 fade-in, fade-out, hold in whole seconds (mode stays 0);
//   int32 option; wide string name;
//   uint32 legacy duration when 3 <= v <= 5 (x 100 for v = 3; 1000 when absent);
//   the picture scene (light registry);
//   int32 count + scene-object records (main registry);
//   v > 1: the second list in the same form.
// For v < 6 the first list's manual timelines take the legacy duration.
//
// A slide is read (stored lists filled), then initialised once (InitSlide:
// render objects made, descriptions gone), then switched to, updated and
// drawn while it is the show's current slide.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/IOFItem.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/SafePtr.h"
#include "platform/crt/WideString.h"
#include "render/PictureScene.h"
#include "render/QuadVertices.h"

class DS_SlideContainer : public DS_IOF_Item {
public:
    static constexpr std::u16string_view kClassName = u"DS_SlideContainer";
    static constexpr std::int32_t kStoredVersion = 6;
    static constexpr int kModeStays = 1;
    static constexpr std::uint32_t kDefaultLegacyDuration = 1000;

    using StoredList = std::vector<std::unique_ptr<DS_IOF_Item>>;

    DS_SlideContainer();
    ~DS_SlideContainer() override;
    DS_SlideContainer(const DS_SlideContainer&) = delete;
    DS_SlideContainer& operator=(const DS_SlideContainer&) = delete;

    // ---- stored form
    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // ---- life on screen
    // Device objects of the picture scene, the unit view, then the render
    // objects of both stored lists (the first list's timing links resolved);
    // the descriptions are freed afterwards.
    void InitSlide();
    // The slide's clock: the camera, then the first list, then the second.
    void Update(float slideTime);
    void SetViewQuad(const QuadVertices& quad);
    void SetPictureMode(int mode);
    void OnLostDevice();
    // Restarts every object of the first list, then resets the picture scene.
    void RestartObjects();
    // Enables or disables every object of the second list (the sounds).
    void EnableSounds(bool enabled);
    // One frame of the picture scene and the first list; `noClear` for a
    // pass inside one monitor of several.
    void RenderScene(bool noClear);
    void DrawBars(bool skip);

    DS_2D_Light* PictureScene() const { return m_pictureScene.get(); }
    void SetPictureScene(std::unique_ptr<DS_2D_Light> light) { m_pictureScene = DS_SafePtr<DS_2D_Light>(light.release()); }
    const RenderObjectList& Objects() const { return m_objects; }
    const RenderObjectList& Sounds() const { return m_sounds; }
    const StoredList& StoredObjects() const { return m_storedObjects; }
    const StoredList& StoredSounds() const { return m_storedSounds; }
    StoredList& StoredObjects() { return m_storedObjects; }
    StoredList& StoredSounds() { return m_storedSounds; }
    std::uint32_t LegacyDuration() const { return m_legacyDuration; }

    MediaParamT<int> mode;
    MediaParamT<float> fadeIn;
    MediaParamT<float> fadeOut;
    MediaParamT<float> hold;
    MediaParamT<int> option;
    MediaParamTB<kxi_string> name;

private:
    void ApplyLegacyDuration();

    DS_SafePtr<DS_2D_Light> m_pictureScene;
    RenderObjectList m_objects;
    RenderObjectList m_sounds;
    StoredList m_storedObjects;
    StoredList m_storedSounds;
    std::uint32_t m_legacyDuration = kDefaultLegacyDuration;
};

// Reads a slide record: class header, then the body of a registered slide
// class. A class name the slide registry does not know refuses the document
// (records carry no length, so the rest could not be read in step).
std::unique_ptr<DS_SlideContainer> ReadSlideContainer(ArchiveReader ar);
// Count, then each scene-object record, appended to `list`.
void ReadObjectList(ArchiveReader ar, DS_SlideContainer::StoredList& list);
// Count, then the description record of each render object.
void WriteObjectList(ArchiveWriter ar, const RenderObjectList& list);

// Enters "DS_SlideContainer" in the slide registry (idempotent). Programs
// call it at start: the registration must not depend on the linker keeping
// a source whose only job is to register.
void RegisterSlideContainerClass();

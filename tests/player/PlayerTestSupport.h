#pragma once
// Fixtures for the player tests: slide records written byte for byte as
// documents store them, a scene object that records what the slide asks of
// it, and a headless device with a resource manager and render context.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentClasses.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/HeadlessContext.h"
#include "player/SlideShow.h"
#include "render/ABObjConstructor.h"
#include "render/DocResManager.h"
#include "render/RenderContext.h"
#include "render/RenderObject.h"
#include "render/ResourceLoading.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DescriptionWriter.h"
#include "tests/support/DocumentWriter.h"
#include "tests/support/PictureSceneWriter.h"

namespace player_test {

// What the probe objects of a test saw, in order.
struct ProbeEvents {
    std::vector<std::string> events;
};
inline ProbeEvents g_probeEvents;

class ProbeDescription;

// A render object that logs restarts and enabling.
class ProbeObject : public DS_ABObj {
public:
    explicit ProbeObject(std::unique_ptr<DS_ABObj_Constructor> description) : DS_ABObj(std::move(description)) {}
    void Render(DS_ABRender&) override {}
    void Animate(float) override {}
    void Restart() override
    {
        g_probeEvents.events.push_back("restart " + Name());
        DS_ABObj::Restart();
    }
    void SetEnabled(int on) override
    {
        g_probeEvents.events.push_back((on ? "enable " : "disable ") + Name());
        DS_ABObj::SetEnabled(on);
    }

private:
    std::string Name() const
    {
        const auto* description = OwnedDescription();
        return description ? std::string(description->name.begin(), description->name.end()) : std::string();
    }
};

// A scene object stored as a plain DS_ABObj_Constructor section.
class ProbeDescription : public DS_ABObj_Constructor {
public:
    ProbeDescription() = default;
    ProbeDescription(const ProbeDescription&) = default;
    void ReadBody(ArchiveReader ar, std::int32_t) { Load(ar); }
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override
    {
        return std::make_unique<ProbeObject>(std::make_unique<ProbeDescription>(*this));
    }
};

inline constexpr char16_t kProbeClass[] = u"PlayerProbeObject";
inline const bool g_probeRegistered = RegisterMainClass<ProbeDescription>(kProbeClass);

// One object record of the probe class, named `name`, with a timeline of
// `kind`, stored under `className` (a class whose reader reads a plain
// DS_ABObj_Constructor section).
inline void WriteProbeObject(DocumentWriter& w, const std::u16string& name,
                             description_writer::TimelineKind kind = description_writer::TimelineKind::Manual,
                             const char16_t* className = kProbeClass)
{
    description_writer::ConstructorFields fields;
    fields.name = name;
    fields.timing.kind = kind;
    w.Section(className, 1);
    description_writer::WriteConstructor(w, fields);
}

// The values of a stored slide record of any version.
struct SlideFields {
    std::int32_t version = 6;
    std::int32_t mode = 0;
    float fadeIn = 1.0f, fadeOut = 1.0f, hold = 10.0f; // whole seconds before version 5
    std::int32_t option = 0;
    std::u16string name = u"slide";
    std::uint32_t legacyDuration = 10;
    picture_scene_writer::LightFields light;
    std::vector<std::u16string> objects;
    std::vector<std::u16string> sounds;
    const char16_t* objectClass = kProbeClass; // the class of the objects
};

inline void WriteSlide(DocumentWriter& w, const SlideFields& s)
{
    w.Section(u"DS_SlideContainer", s.version);
    if (s.version >= 5) {
        w.Int(s.mode).Float(s.fadeIn).Float(s.fadeOut).Float(s.hold);
    } else {
        w.Dword(std::uint32_t(s.fadeIn)).Dword(std::uint32_t(s.fadeOut)).Dword(std::uint32_t(s.hold));
    }
    w.Int(s.option).WideString(s.name);
    if (s.version >= 3 && s.version <= 5)
        w.Dword(s.legacyDuration);
    picture_scene_writer::WriteLightRecord(w, s.light);
    w.Count(s.objects.size());
    for (const auto& object : s.objects)
        WriteProbeObject(w, object, description_writer::TimelineKind::Manual, s.objectClass);
    if (s.version > 1) {
        w.Count(s.sounds.size());
        for (const auto& sound : s.sounds)
            WriteProbeObject(w, sound);
    }
}

// A whole document: the slides, no audio, an empty resource manager.
inline std::vector<std::uint8_t> WriteDocument(const std::vector<SlideFields>& slides)
{
    DocumentWriter w;
    w.Header().SlideShowBegin(std::int32_t(slides.size()));
    for (const auto& slide : slides)
        WriteSlide(w, slide);
    w.AudioFiles({});
    w.DocResManager({});
    return w.Bytes();
}

// A slide built in code with the given timings and no picture scene.
inline DS_SafePtr<DS_SlideContainer> MakeSlide(float fadeIn, float hold, float fadeOut, int mode = 0)
{
    auto* slide = new DS_SlideContainer();
    slide->fadeIn.QuietSet(fadeIn);
    slide->hold.QuietSet(hold);
    slide->fadeOut.QuietSet(fadeOut);
    slide->mode.QuietSet(mode);
    return DS_SafePtr<DS_SlideContainer>(slide);
}

// A headless device of `width` x `height` made the resource device, a
// document resource manager and a render context current.
class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallPlayerDocumentClasses();
        std::string error;
        device = gfx::CreateHeadlessDevice(width, height, &error);
        ASSERT_TRUE(device) << error;
        resourceDevice = std::make_unique<ResourceDeviceScope>(device.get());
        renderContext = std::make_unique<RenderContext>();
        contextScope = std::make_unique<CurrentRenderContextScope>(renderContext.get());
    }
    void TearDown() override
    {
        contextScope.reset();
        renderContext.reset();
        resourceDevice.reset();
        device.reset();
    }

    std::uint32_t width = 64;
    std::uint32_t height = 48;
    std::unique_ptr<gfx::Device> device;
    std::unique_ptr<ResourceDeviceScope> resourceDevice;
    std::unique_ptr<RenderContext> renderContext;
    std::unique_ptr<CurrentRenderContextScope> contextScope;
};

} // namespace player_test

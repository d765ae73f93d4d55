#include "player/SlideContainer.h"

#include "objectmodel/ClassRegistry.h"
#include "render/ABObjConstructor.h"
#include "render/RenderObject.h"
#include "render/RenderObjData.h"
#include "render/Timing.h"

namespace {

const FamilyClassRegistry<DS_SlideContainer>& SlideRegistry()
{
    static const bool registered = RegisterFamilyClass<DS_SlideContainer, DS_SlideContainer>(
        GetSlideContainerClassRegistry(), DS_SlideContainer::kClassName);
    static_cast<void>(registered);
    return GetSlideContainerClassRegistry();
}

const bool registeredAtStart = (SlideRegistry(), true);

float ReadLegacySeconds(ArchiveReader ar)
{
    return static_cast<float>(ar.ReadDword());
}

void AppendRenderObjects(DS_SlideContainer::StoredList& stored, RenderObjectList& out)
{
    for (const auto& item : stored) {
        auto* description = dynamic_cast<DS_ABObj_Constructor*>(item.get());
        if (!description)
            continue;
        if (std::unique_ptr<KXI_RenderObj> object = description->CreateRenderObject())
            out.emplace_back(object.release());
    }
}

} // namespace

void RegisterSlideContainerClass()
{
    SlideRegistry();
}

DS_SlideContainer::DS_SlideContainer()
{
    mode.QuietSet(0);
    fadeIn.QuietSet(1.0f);
    fadeOut.QuietSet(1.0f);
    hold.QuietSet(10.0f);
    option.QuietSet(0);
}

DS_SlideContainer::~DS_SlideContainer()
{
    // Render objects go before the picture scene that draws them.
    m_objects.clear();
    m_sounds.clear();
}

void DS_SlideContainer::ReadBody(ArchiveReader ar, std::int32_t version)
{
    if (version >= 5) {
        mode.QuietSet(ar.ReadInt());
        fadeIn.QuietSet(ar.ReadFloat());
        fadeOut.QuietSet(ar.ReadFloat());
        hold.QuietSet(ar.ReadFloat());
    } else {
        fadeIn.QuietSet(ReadLegacySeconds(ar));
        fadeOut.QuietSet(ReadLegacySeconds(ar));
        hold.QuietSet(ReadLegacySeconds(ar));
    }
    option.QuietSet(ar.ReadInt());
    name.StoreValue(ar.ReadWideString());
    if (version >= 3 && version <= 5) {
        m_legacyDuration = ar.ReadDword();
        if (version == 3)
            m_legacyDuration *= 100u;
    }
    m_pictureScene = DS_SafePtr<DS_2D_Light>(ReadLightObject(ar).release());
    ReadObjectList(ar, m_storedObjects);
    if (version > 1)
        ReadObjectList(ar, m_storedSounds);
    if (version < 6)
        ApplyLegacyDuration();
}

void DS_SlideContainer::ApplyLegacyDuration()
{
    for (const auto& item : m_storedObjects) {
        auto* data = dynamic_cast<KXI_RenderObjData*>(item.get());
        if (!data)
            continue;
        if (KXI_Timing* timeline = data->timing.CurrentTimeline())
            timeline->SetIntParam(static_cast<int>(m_legacyDuration));
    }
}

void DS_SlideContainer::Save(ArchiveWriter ar) const
{
    ar->WriteWideString(kxi_string(kClassName));
    ar->WriteVersion(kStoredVersion);
    ar->WriteLong(mode.value);
    ar->WriteFloat(fadeIn.value);
    ar->WriteFloat(fadeOut.value);
    ar->WriteFloat(hold.value);
    ar->WriteLong(option.value);
    ar->WriteWideString(name.value);
    if (m_pictureScene)
        m_pictureScene->Save(ar);
    WriteObjectList(ar, m_objects);
    WriteObjectList(ar, m_sounds);
}

void DS_SlideContainer::InitSlide()
{
    if (m_pictureScene) {
        m_pictureScene->CreateDeviceObjects();
        m_pictureScene->ApplyView(QuadVertices::FromRect(0.0f, 0.0f, 1.0f, 1.0f));
    }
    AppendRenderObjects(m_storedObjects, m_objects);
    for (const auto& object : m_objects)
        object->ResolveTimingLinks();
    AppendRenderObjects(m_storedSounds, m_sounds);
    // Every render object holds its own clone of its description. Both lists
    // are emptied, so a slide initialised again makes no second set.
    m_storedObjects.clear();
    m_storedSounds.clear();
}

void DS_SlideContainer::Update(float slideTime)
{
    if (m_pictureScene)
        m_pictureScene->UpdateCamera(slideTime);
    for (const auto& object : m_objects)
        object->Update(slideTime);
    for (const auto& object : m_sounds)
        object->Update(slideTime);
}

void DS_SlideContainer::SetViewQuad(const QuadVertices& quad)
{
    if (m_pictureScene)
        m_pictureScene->ApplyView(quad);
}

void DS_SlideContainer::SetPictureMode(int pictureMode)
{
    if (m_pictureScene)
        m_pictureScene->SetPictureMode(pictureMode);
}

void DS_SlideContainer::OnLostDevice()
{
    if (m_pictureScene)
        m_pictureScene->OnLostDevice();
}

void DS_SlideContainer::RestartObjects()
{
    for (const auto& object : m_objects)
        object->Restart();
    if (m_pictureScene)
        m_pictureScene->OnResetDevice();
}

void DS_SlideContainer::EnableSounds(bool enabled)
{
    for (const auto& object : m_sounds)
        object->SetEnabled(enabled ? 1 : 0);
}

void DS_SlideContainer::RenderScene(bool noClear)
{
    if (m_pictureScene)
        m_pictureScene->RenderFrame(m_objects, noClear);
}

void DS_SlideContainer::DrawBars(bool skip)
{
    if (m_pictureScene)
        m_pictureScene->DrawBorderBars(skip);
}

std::unique_ptr<DS_SlideContainer> ReadSlideContainer(ArchiveReader ar)
{
    return ReadRegisteredObject(ar, SlideRegistry());
}

void ReadObjectList(ArchiveReader ar, DS_SlideContainer::StoredList& list)
{
    ReadCountedVector(ar, list, kMinSectionBytes, [](ArchiveReader reader) { return ReadSceneObject(reader); });
}

void WriteObjectList(ArchiveWriter ar, const RenderObjectList& list)
{
    ar->WriteVersion(static_cast<std::int32_t>(list.size()));
    for (const auto& object : list) {
        if (const KXI_RenderObjData* description = object ? object->Description() : nullptr)
            description->Save(ar);
    }
}

#include "tools/scene/SceneJson.h"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

#include "platform/crt/Guid.h"
#include "platform/crt/WideString.h"
#include "platform/math/Vector.h"
#include "render/FileLink.h"
#include "player/SlideContainer.h"
#include "player/SoundObjects.h"
#include "render/DocResManagerSummary.h"
#include "objectmodel/ClassRegistry.h"
#include "render/ABObjConstructor.h"
#include "render/PictureScene.h"
#include "tests/support/DocumentSummaryClasses.h"
#include "tools/scene/SceneJsonEffectObjects.h"
#include "tools/scene/SceneJsonGenerators.h"
#include "tools/scene/SceneJsonLights.h"
#include "tools/scene/SceneJsonMeshObjects.h"
#include "tools/scene/SceneJsonParticleSystems.h"
#include "tools/scene/SceneJsonParticles.h"

namespace {

// Writes `items` as a JSON array, one element per line.
template <class Items, class WriteItem>
void WriteArray(std::ostringstream& out, const Items& items, WriteItem writeItem)
{
    if (items.empty()) {
        out << "[]";
        return;
    }
    out << "[\n";
    bool first = true;
    for (const auto& item : items) {
        out << (first ? "" : ",\n") << "    ";
        writeItem(item);
        first = false;
    }
    out << "\n  ]";
}

// The class name the document stores for an object; empty for one whose
// class was never registered.
template <class T>
std::string StoredClass(const T& object)
{
    return "\"" + JsonEscape(crt::ToUtf8(kxi_string(StoredClassNameOf(typeid(object))))) + "\"";
}

// A scene object: its class, and for objects of the object family their
// name, GUID, depth and timeline; a sound adds its volume, pan and the
// length of its sound (hundredths of a second; 0 when it cannot play).
void WriteObject(std::ostringstream& out, const DS_IOF_Item& item)
{
    out << "{\"class\": " << StoredClass(item);
    if (const auto* object = dynamic_cast<const DS_ABObj_Constructor*>(&item)) {
        out << ", \"name\": " << JsonString(object->name) << ", \"guid\": \"" << crt::FormatGuid(object->guid)
            << "\", \"depth\": " << object->depth.value << ", \"timeline\": {\"selector\": "
            << object->timing.Selector() << ", \"flags\": " << object->timing.flags
            << ", \"clock_mode\": " << object->timing.clockMode.value << ", \"class\": ";
        if (const KXI_Timing* timeline = object->timing.CurrentTimeline()) {
            out << StoredClass(*timeline);
            WriteTimelineDetails(out, *timeline);
        } else {
            out << "null";
        }
        out << "}";
        WriteParticleSystemDetails(out, item);
    }
    if (const auto* sound = dynamic_cast<const DS_Sound_Ctrl*>(&item)) {
        out << ", \"volume\": " << sound->volume.value << ", \"pan\": " << sound->pan.value
            << ", \"length\": " << sound->MeasureLength();
    }
    WriteGeneratorFields(out, item);
    WriteParticleFields(out, item);
    WriteImageEffectFields(out, item);
    WriteMeshObjectFields(out, item);
    WriteSpriteObjectFields(out, item);
    WriteEffectObjectFields(out, item);
    out << "}";
}

void WriteObjects(std::ostringstream& out, const DS_SlideContainer::StoredList& items)
{
    if (items.empty()) {
        out << "[]";
        return;
    }
    out << "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        out << (i ? ",\n      " : "\n      ");
        WriteObject(out, *items[i]);
    }
    out << "\n    ]";
}

void WriteSlides(std::ostringstream& out, const DS_SlideShowBase& slideShow)
{
    const auto* inspected = dynamic_cast<const InspectionSlideShow*>(&slideShow);
    if (!inspected) {
        out << "[]";
        return;
    }
    WriteArray(out, inspected->slides, [&](const InspectionSlideShow::Slide& slide) {
        out << "{\"class\": " << JsonString(slide.className) << ", \"version\": " << slide.version;
        if (const auto* container = dynamic_cast<const DS_SlideContainer*>(slide.object.get())) {
            out << ", \"light\": ";
            if (const DS_2D_Light* light = container->PictureScene()) {
                out << StoredClass(*light);
                WriteLightParams(out, *light);
            } else {
                out << "null";
            }
            out << ", \"objects\": ";
            WriteObjects(out, container->StoredObjects());
            out << ", \"sounds\": ";
            WriteObjects(out, container->StoredSounds());
        }
        out << "}";
    });
}

void WriteAudio(std::ostringstream& out, const DS_SlideShowBase& slideShow)
{
    WriteArray(out, slideShow.AudioFiles(), [&](const DS_SafePtr<DS_AudioFile>& file) {
        out << "{\"name\": " << JsonString(file->m_name) << ", \"source\": " << JsonString(file->m_data.Name())
            << ", \"bytes\": " << file->m_data.Size() << "}";
    });
}

void WriteResources(std::ostringstream& out, const DS_DocResManagerBase* manager)
{
    if (const auto summary = SummarizeDocResManager(manager)) {
        out << DocResManagerSummaryJson(*summary);
        return;
    }
    const auto* inspected = dynamic_cast<const InspectionResManager*>(manager);
    if (!inspected) {
        out << "{}";
        return;
    }
    const DocResManagerRecord& record = inspected->record;
    out << "{\"version\": " << inspected->version << ", \"textureSets\": " << record.textureSetRecords.size()
        << ", \"textureSetValues\": " << record.textureSetValues.size()
        << ", \"storedResources\": " << record.storedResources.size()
        << ", \"guidTextures\": " << record.guidTextures.size()
        << ", \"animatedPictures\": " << record.frames.size() << "}";
}

} // namespace

std::string JsonEscape(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            escaped += '\\';
            escaped += c;
        } else if (byte < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", byte);
            escaped += code;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string InspectDocumentJson(const SceneDocument& document)
{
    std::ostringstream out;
    // The objects' fields may look up what the document keeps for them.
    CurrentDocResManagerScope current(document.ResManager());
    out << "{\n  \"header\": " << JsonString(kDocumentHeader) << ",\n  \"slides\": ";
    WriteSlides(out, *document.SlideShow());
    out << ",\n  \"audio\": ";
    WriteAudio(out, *document.SlideShow());
    out << ",\n  \"resources\": ";
    WriteResources(out, document.ResManager());
    out << "\n}\n";
    return out.str();
}

std::string JsonString(const kxi_string& text)
{
    return "\"" + JsonEscape(crt::ToUtf8(text)) + "\"";
}

std::string JsonLink(const DS_FileLink3& link)
{
    return "{\"path\": " + JsonString(link.Path()) + ", \"id\": " + std::to_string(link.Id()) + "}";
}

std::string JsonNumber(float value)
{
    if (!std::isfinite(value))
        return "null";
    std::ostringstream text;
    text << value;
    return text.str();
}

std::string JsonPoint(const math::Vec3& point)
{
    std::ostringstream out;
    out << "[" << point.x << ", " << point.y << ", " << point.z << "]";
    return out.str();
}

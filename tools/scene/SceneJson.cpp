#include "tools/scene/SceneJson.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "platform/crt/Guid.h"
#include "player/SlideContainer.h"
#include "player/SoundObjects.h"
#include "render/DocResManagerSummary.h"
#include "render/TimelineDepended.h"
#include "render/Timelines.h"
#include "tests/support/DocumentSummaryClasses.h"

namespace {

std::string Quoted(const kxi_string& text)
{
    return "\"" + JsonEscape(crt::ToUtf8(text)) + "\"";
}

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

// The class name of a timeline, as documents store it.
std::u16string_view TimelineClassName(const KXI_Timing* timeline)
{
    if (dynamic_cast<const KXI_ContinuesTimeLine*>(timeline))
        return KXI_ContinuesTimeLine::kClassName;
    if (dynamic_cast<const KXI_RandomTimeLine*>(timeline))
        return KXI_RandomTimeLine::kClassName;
    if (dynamic_cast<const KXI_ManualTimeLine*>(timeline))
        return KXI_ManualTimeLine::kClassName;
    if (dynamic_cast<const KXI_DependedTimeLine*>(timeline))
        return KXI_DependedTimeLine::kClassName;
    return u"";
}

std::u16string_view SoundClassName(const DS_Sound_Ctrl& sound)
{
    if (dynamic_cast<const DS_WAV_Constructor*>(&sound))
        return DS_WAV_Constructor::kClassName;
    return DS_MP3_Constructor::kClassName;
}

// A sound object: what every object shows, then its volume, pan and the
// length of its sound (hundredths of a second; 0 when it cannot play).
void WriteSound(std::ostringstream& out, const DS_Sound_Ctrl& sound)
{
    out << "{\"class\": " << Quoted(kxi_string(SoundClassName(sound))) << ", \"name\": " << Quoted(sound.name)
        << ", \"guid\": \"" << crt::FormatGuid(sound.guid) << "\", \"depth\": " << sound.depth.value
        << ", \"timeline\": {\"selector\": " << sound.timing.Selector()
        << ", \"class\": " << Quoted(kxi_string(TimelineClassName(sound.timing.CurrentTimeline()))) << "}"
        << ", \"volume\": " << sound.volume.value << ", \"pan\": " << sound.pan.value
        << ", \"length\": " << sound.MeasureLength() << "}";
}

void WriteSounds(std::ostringstream& out, const DS_SlideContainer& slide)
{
    std::vector<const DS_Sound_Ctrl*> sounds;
    for (const auto& item : slide.StoredSounds()) {
        if (const auto* sound = dynamic_cast<const DS_Sound_Ctrl*>(item.get()))
            sounds.push_back(sound);
    }
    if (sounds.empty()) {
        out << "[]";
        return;
    }
    out << "[";
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        out << (i ? ",\n      " : "\n      ");
        WriteSound(out, *sounds[i]);
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
        out << "{\"class\": " << Quoted(slide.className) << ", \"version\": " << slide.version;
        if (const auto* container = dynamic_cast<const DS_SlideContainer*>(slide.object.get())) {
            out << ", \"sounds\": ";
            WriteSounds(out, *container);
        }
        out << "}";
    });
}

void WriteAudio(std::ostringstream& out, const DS_SlideShowBase& slideShow)
{
    WriteArray(out, slideShow.AudioFiles(), [&](const DS_SafePtr<DS_AudioFile>& file) {
        out << "{\"name\": " << Quoted(file->m_name) << ", \"source\": " << Quoted(file->m_data.Name())
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
    out << "{\n  \"header\": " << Quoted(kDocumentHeader) << ",\n  \"slides\": ";
    WriteSlides(out, *document.SlideShow());
    out << ",\n  \"audio\": ";
    WriteAudio(out, *document.SlideShow());
    out << ",\n  \"resources\": ";
    WriteResources(out, document.ResManager());
    out << "\n}\n";
    return out.str();
}

#include "tools/scene/SceneJson.h"

#include <cstdio>
#include <sstream>

#include "render/DocResManagerSummary.h"
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

void WriteSlides(std::ostringstream& out, const DS_SlideShowBase& slideShow)
{
    const auto* inspected = dynamic_cast<const InspectionSlideShow*>(&slideShow);
    if (!inspected) {
        out << "[]";
        return;
    }
    WriteArray(out, inspected->slides, [&](const InspectionSlideShow::Slide& slide) {
        out << "{\"class\": " << Quoted(slide.className) << ", \"version\": " << slide.version << "}";
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

#pragma once
// Opening a scene document.
//
// Top-level sequence:
//   1. header: wide string "VIZ v 4.0.0"
//   2. slide show: "DS_SlideShow_Light", int32 version (1; not used), then
//      int32 n and n slide records (polymorphic, slide-container registry),
//      then int32 m and m DS_AudioFile records
//   3. resource manager: "DS_DocResManager", int32 version (4), its body
// Nothing after item 3 is read.
//
// The document's resource manager is created empty and made the thread's
// current one before the slide show is read (readers of slide objects reach
// it through g_DocResManagerTls), then filled from its record. The slide
// show and the manager are one owned unit, SceneDocument: the manager lives
// as long as the slide show that uses it, and opening another document never
// frees it. When opening fails, the thread's current manager is what it was
// before.
//
// Refusals: DocumentOpenFailure (code 0x8200000B) when the document cannot be
// opened at all; DS_Error when its content is refused.

#include <cstdint>
#include <memory>
#include <span>

#include "objectmodel/Archive.h"
#include "objectmodel/DocumentClasses.h"

inline constexpr char16_t kDocumentHeader[] = u"VIZ v 4.0.0";
inline constexpr char16_t kUnsupportedFormatMessage[] = u"Cannot open file: Format is not supported.";
inline constexpr char16_t kOutdatedFormatMessage[] =
    u"Cannot open file: Outdated file format.\nPlease resave the project file with Vistrelle 2.5.9";
// The embedded document's resource type is "DDS"; the player's is id 107.
inline constexpr std::uint16_t kEmbeddedDocumentId = 107;

class SceneDocument {
public:
    SceneDocument() = default;
    SceneDocument(std::unique_ptr<DS_DocResManagerBase> manager, std::unique_ptr<DS_SlideShowBase> slideShow);
    SceneDocument(SceneDocument&& other) noexcept = default;
    SceneDocument& operator=(SceneDocument&& other) noexcept;
    // Tears the slide show down with this document's manager current (its
    // objects unregister from it), then frees the manager; a thread whose
    // current manager it was is left with none.
    ~SceneDocument();

    DS_SlideShowBase* SlideShow() const { return m_slideShow.get(); }
    DS_DocResManagerBase* ResManager() const { return m_resManager.get(); }
    explicit operator bool() const { return m_slideShow != nullptr; }

private:
    void Destroy();

    // Declared first: destroyed last.
    std::unique_ptr<DS_DocResManagerBase> m_resManager;
    std::unique_ptr<DS_SlideShowBase> m_slideShow;
};

// Opens the document file at `path` (UTF-16). Refuses a ".vsx" file (any
// letter case; only the text from the last "." counts) and a file whose
// header is not exactly kDocumentHeader (an empty or truncated file too).
// On success the document's manager is the thread's current one.
SceneDocument OpenDocumentFile(const kxi_string& path);

// Opens the document embedded in the program as resource `id` of type "DDS"
// (ProgramResourceFinder of ResourceSource.h). A missing or empty resource
// throws DocumentOpenFailure. The header is read and not checked.
SceneDocument OpenDocumentResource(std::uint16_t id);

// Items 2 and 3 from an archive positioned after the header.
SceneDocument ReadSceneDocument(ArchiveReader ar);

// Item 2: the slide-show record.
std::unique_ptr<DS_SlideShowBase> ReadSlideShowRecord(ArchiveReader ar);

// Item 3: the manager record, read into `manager`.
void ReadDocResManagerRecord(ArchiveReader ar, DS_DocResManagerBase& manager);

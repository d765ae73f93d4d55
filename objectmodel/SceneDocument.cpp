#include "objectmodel/SceneDocument.h"

#include "objectmodel/ResourceSource.h"

namespace {

// The text from the last "." to the end, lower-cased by ASCII rules.
kxi_string LowerExtension(const kxi_string& path)
{
    const auto dot = path.rfind(u'.');
    if (dot == kxi_string::npos)
        return {};
    return crt::ToLowerAscii(std::u16string_view(path).substr(dot));
}

std::filesystem::path ToFilesystemPath(const kxi_string& path)
{
    const std::string utf8 = crt::ToUtf8(path);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The header of a file: a file too short to hold one reads as no header.
kxi_string ReadFileHeader(ArchiveReader ar)
{
    try {
        return ar.ReadWideString();
    } catch (const DS_Error&) {
        return {};
    }
}

} // namespace

// ---------------------------------------------------------------- SceneDocument

SceneDocument::SceneDocument(std::unique_ptr<DS_DocResManagerBase> manager, std::unique_ptr<DS_SlideShowBase> slideShow)
    : m_resManager(std::move(manager)), m_slideShow(std::move(slideShow))
{
}

SceneDocument& SceneDocument::operator=(SceneDocument&& other) noexcept
{
    if (this == &other)
        return *this;
    Destroy();
    m_resManager = std::move(other.m_resManager);
    m_slideShow = std::move(other.m_slideShow);
    return *this;
}

SceneDocument::~SceneDocument()
{
    Destroy();
}

void SceneDocument::Destroy()
{
    if (m_slideShow) {
        CurrentDocResManagerScope scope(m_resManager.get());
        m_slideShow.reset();
    }
    if (m_resManager && g_DocResManagerTls == m_resManager.get())
        g_DocResManagerTls = nullptr;
    m_resManager.reset();
}

// ---------------------------------------------------------------- reading

std::unique_ptr<DS_SlideShowBase> ReadSlideShowRecord(ArchiveReader ar)
{
    ar.ReadSectionHeader(); // the version is not used
    auto slideShow = CreateSlideShow();
    const std::size_t slides = ar.ReadCount(kMinSectionBytes);
    for (std::size_t i = 0; i < slides; ++i)
        slideShow->ReadSlide(ar);
    ReadCountedVector(ar, slideShow->AudioFiles(), kMinAudioFileRecordBytes,
                      [](ArchiveReader r) { return MakeSafePtr<DS_AudioFile>(ReadAudioFile(r)); });
    return slideShow;
}

void ReadDocResManagerRecord(ArchiveReader ar, DS_DocResManagerBase& manager)
{
    const SectionHeader header = ar.ReadSectionHeader();
    manager.ReadBody(ar, header.version);
}

SceneDocument ReadSceneDocument(ArchiveReader ar)
{
    auto manager = CreateDocResManager();
    // Current while the slides are read; restored if reading fails.
    CurrentDocResManagerScope scope(manager.get());
    auto slideShow = ReadSlideShowRecord(ar);
    ReadDocResManagerRecord(ar, *manager);
    SceneDocument document(std::move(manager), std::move(slideShow));
    scope.Keep();
    return document;
}

SceneDocument OpenDocumentFile(const kxi_string& path)
{
    ResourceBuffer buffer;
    if (!buffer.OpenFile(ToFilesystemPath(path)))
        throw DocumentOpenFailure{};
    DS_IOF_R<ResourceBuffer> archive(buffer);
    ArchiveReader ar(archive);
    if (LowerExtension(path) == u".vsx")
        throw DS_Error(kUnsupportedFormatMessage);
    if (ReadFileHeader(ar) != kDocumentHeader)
        throw DS_Error(kOutdatedFormatMessage);
    return ReadSceneDocument(ar);
}

SceneDocument OpenDocumentResource(std::uint16_t id)
{
    const auto bytes = FindProgramResource(kResourceTypeDDS, id);
    if (!bytes || bytes->empty())
        throw DocumentOpenFailure{};
    ResourceBuffer buffer;
    buffer.SetMemory(*bytes);
    DS_IOF_R<ResourceBuffer> archive(buffer);
    ArchiveReader ar(archive);
    ar.ReadWideString(); // the embedded header is not checked
    return ReadSceneDocument(ar);
}

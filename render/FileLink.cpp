#include "render/FileLink.h"

#include <sys/stat.h>

#include <string>

#include "render/DocResManager.h"

namespace {

// Numbers the links made from stored records that carry no resource id.
std::int32_t g_storedLinkCounter = 0;

std::int64_t ModificationTime(const kxi_string& path)
{
    struct stat status {};
    if (path.empty() || ::stat(crt::ToUtf8(path).c_str(), &status) != 0)
        return 0;
    return static_cast<std::int64_t>(status.st_mtime);
}

} // namespace

kxi_string GetFileExtension(std::u16string_view text)
{
    const auto dot = text.rfind(u'.');
    if (dot == std::u16string_view::npos)
        return {};
    return crt::ToLowerAscii(text.substr(dot));
}

// ---------------------------------------------------------------- DS_FileLink3

DS_FileLink3::DS_FileLink3(kxi_string path) : m_path(std::move(path)), m_id(ModificationTime(m_path)) {}

DS_FileLink3::DS_FileLink3(std::int32_t id, kxi_string path) : m_path(std::move(path)), m_id(id) {}

DS_FileLink3::DS_FileLink3(const LinkKey& key) : m_path(key.path), m_id(key.id) {}

DS_FileLink3::DS_FileLink3(const ModuleResourceBlob& blob)
{
    if (blob.ResourceId() != 0) {
        m_path = blob.ModuleFile();
        m_id = blob.ResourceId();
        return;
    }
    m_path = blob.Name();
    m_id = g_storedLinkCounter++;
}

kxi_string DS_FileLink3::GetFileName() const
{
    const auto slash = m_path.rfind(u'\\');
    if (slash == kxi_string::npos)
        return {};
    return m_path.substr(slash + 1);
}

// ---------------------------------------------------------------- UndoImage

DS_ImageFileLink::UndoImage::~UndoImage()
{
    if (m_link)
        m_link->RemoveControl(this);
}

void DS_ImageFileLink::UndoImage::Attach(DS_FileLink3& link)
{
    m_link = &link;
    link.AddControl(this);
    m_current = link.Key();
}

void DS_ImageFileLink::UndoImage::OnParamChanged(MediaControl* source)
{
    if (!m_link || m_link->Key() == m_current)
        return;
    UndoCtrl::OnParamChanged(source);
    m_current = m_link->Key();
}

void DS_ImageFileLink::UndoImage::Undo()
{
    m_history.StepBack(m_current);
    WriteBack();
}

void DS_ImageFileLink::UndoImage::Redo()
{
    m_history.StepForward(m_current);
    WriteBack();
}

void DS_ImageFileLink::UndoImage::WriteBack()
{
    // Whether or not the history moved, the link shows the current values.
    if (!m_link)
        return;
    m_link->StorePathAndId(m_current.path, m_current.id);
    m_link->NotifyObservers(this);
}

// ---------------------------------------------------------------- DS_ImageFileLink

DS_ImageFileLink::DS_ImageFileLink()
{
    m_undo.Attach(*this);
}

DS_ImageFileLink::DS_ImageFileLink(std::int32_t id, kxi_string path) : DS_FileLink3(id, std::move(path))
{
    m_undo.Attach(*this);
}

DS_ImageFileLink::DS_ImageFileLink(const DS_FileLink3& link) : DS_FileLink3(link)
{
    m_undo.Attach(*this);
}

DS_ImageFileLink::DS_ImageFileLink(const DS_ImageFileLink& other) : DS_FileLink3(other)
{
    m_undo.Attach(*this);
}

DS_ImageFileLink& DS_ImageFileLink::operator=(const DS_ImageFileLink& other)
{
    DS_FileLink3::operator=(other);
    return *this;
}

DS_ImageFileLink::~DS_ImageFileLink()
{
    // The undo control leaves first, so the base never tells a dead control.
    RemoveControl(&m_undo);
    m_undo.Detach();
}

void DS_ImageFileLink::SetFile(const kxi_string& path, MediaControl* source)
{
    if (path.empty())
        return;
    DS_DocResManager* manager = CurrentDocResManager();
    const DS_FileLink3 linked = manager ? static_cast<const DS_FileLink3&>(manager->LinkImageFile(path))
                                        : DS_FileLink3(path);
    StorePathAndId(linked.Path(), linked.Id());
    NotifyObservers(source);
}

void DS_ImageFileLink::HandleCommand(int command, MediaControl* source)
{
    if (command >= 0)
        SetFile({}, source);
}

// ---------------------------------------------------------------- stored forms

void ReadFileLink(ArchiveReader ar, DS_FileLink3& link)
{
    kxi_string path;
    ar->ReadWideString(&path);
    const std::int64_t id = ar.ReadInt64();
    link.StorePathAndId(std::move(path), id);
}

void ReadImageFileLink(ArchiveReader ar, DS_ImageFileLink& link)
{
    ReadFileLink(ar, link);
}

void WriteFileLink(ArchiveWriter ar, const DS_FileLink3& link)
{
    ar->WriteWideString(link.Path());
    ar->WriteInt64(link.Id());
}

void WriteFileLinkVector(ArchiveWriter ar, const std::vector<DS_ImageFileLink>& links)
{
    ar->WriteDword(static_cast<std::uint32_t>(links.size()));
    DS_DocResManager* manager = CurrentDocResManager();
    for (const DS_ImageFileLink& link : links) {
        if (manager)
            manager->RegisterImage(link);
        WriteFileLink(ar, link);
    }
}

void ReadImageLinkVector(ArchiveReader ar, std::vector<DS_ImageFileLink>& links)
{
    const std::size_t count = ar.ReadCount(kMinFileLinkBytes);
    // Links are parameters that observers point at: no reallocation while
    // they are read (the count is bounded by the bytes that remain).
    links.reserve(links.size() + count);
    for (std::size_t i = 0; i < count; ++i) {
        DS_ImageFileLink& link = links.emplace_back();
        ReadImageFileLink(ar, link);
    }
}

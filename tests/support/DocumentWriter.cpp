#include "tests/support/DocumentWriter.h"

#include <cstring>
#include <fstream>

DocumentWriter& DocumentWriter::Raw(std::span<const std::uint8_t> bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

DocumentWriter& DocumentWriter::Length(std::uint32_t length, LengthForm form)
{
    if (form == LengthForm::Shortest)
        form = length < 0xFF ? LengthForm::L8 : length < 0xFFFF ? LengthForm::L16 : LengthForm::L32;
    switch (form) {
    case LengthForm::L8:
        return Byte(static_cast<std::uint8_t>(length));
    case LengthForm::L16:
        return Byte(0xFF).Word(static_cast<std::uint16_t>(length));
    default:
        return Byte(0xFF).Word(0xFFFF).Dword(length);
    }
}

DocumentWriter& DocumentWriter::WideStringLength(std::uint32_t length, LengthForm form,
                                                 std::array<std::uint8_t, 3> markers)
{
    Raw(markers);
    return Length(length, form);
}

DocumentWriter& DocumentWriter::WideString(std::u16string_view text, LengthForm form,
                                           std::array<std::uint8_t, 3> markers)
{
    WideStringLength(static_cast<std::uint32_t>(text.size()), form, markers);
    for (char16_t unit : text)
        Word(static_cast<std::uint16_t>(unit));
    return *this;
}

DocumentWriter& DocumentWriter::NarrowString(std::string_view text, LengthForm form)
{
    Length(static_cast<std::uint32_t>(text.size()), form);
    for (char c : text)
        Byte(static_cast<std::uint8_t>(c));
    return *this;
}

DocumentWriter& DocumentWriter::Blob(const ResourceBlob& blob)
{
    Int(blob.Size());
    Raw(blob.Bytes());
    return WideString(blob.Name());
}

DocumentWriter& DocumentWriter::ModuleBlob(const ModuleResourceBlob& blob)
{
    Int(blob.ResourceId());
    WideString(blob.ModuleFile());
    return Blob(blob);
}

DocumentWriter& DocumentWriter::Guid(const crt::Guid& guid)
{
    return WideString(crt::FormatGuidWide(guid));
}

DocumentWriter& DocumentWriter::Section(std::u16string_view className, std::int32_t version)
{
    return WideString(className).Int(version);
}

DocumentWriter& DocumentWriter::IntVector(std::span<const std::int32_t> values)
{
    Count(values.size());
    for (std::int32_t value : values)
        Int(value);
    return *this;
}

DocumentWriter& DocumentWriter::SlideShowBegin(std::int32_t slideCount, std::int32_t version)
{
    return Section(u"DS_SlideShow_Light", version).Int(slideCount);
}

DocumentWriter& DocumentWriter::AudioFile(const DS_AudioFile& file, std::int32_t version)
{
    Section(u"DS_AudioFile", version);
    WideString(file.m_name);
    return Blob(file.m_data);
}

DocumentWriter& DocumentWriter::AudioFiles(std::span<const DS_AudioFile> files)
{
    Count(files.size());
    for (const DS_AudioFile& file : files)
        AudioFile(file);
    return *this;
}

DocumentWriter& DocumentWriter::DocResManager(const DocResManagerRecord& record, std::int32_t version)
{
    Section(u"DS_DocResManager", version);
    auto blobMap = [this](const std::map<::LinkKey, std::vector<ModuleResourceBlob>>& map) {
        Count(map.size());
        for (const auto& [key, blobs] : map) {
            LinkKey(key).Count(blobs.size());
            for (const ModuleResourceBlob& blob : blobs)
                ModuleBlob(blob);
        }
    };
    blobMap(record.textureSetRecords);
    Count(record.textureSetValues.size());
    for (const auto& [key, values] : record.textureSetValues) {
        LinkKey(key).Count(values.size());
        for (std::uint32_t value : values)
            Dword(value);
    }
    if (version != 1)
        blobMap(record.storedResources);
    if (version != 1 && version != 2) {
        Count(record.guidTextures.size());
        for (const auto& [key, texture] : record.guidTextures)
            Guid(key.guid).WideString(key.name).Byte(key.flag).Blob(texture.blob);
    }
    if (version != 1 && version != 2 && version != 3) {
        Count(record.frames.size());
        for (const auto& [key, frames] : record.frames) {
            LinkKey(key).Count(frames.size());
            for (const StoredFrame& frame : frames)
                Int(1).Count(frame.bytes.size()).Raw(frame.bytes).Float(frame.frameTime);
        }
    }
    return *this;
}

bool DocumentWriter::SaveTo(const std::filesystem::path& path) const
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(m_bytes.data()), static_cast<std::streamsize>(m_bytes.size()));
    return static_cast<bool>(file);
}

std::vector<std::uint8_t> DocumentWithoutSlides(std::span<const DS_AudioFile> audio,
                                                const DocResManagerRecord& resources)
{
    DocumentWriter writer;
    writer.Header().SlideShowBegin(0).AudioFiles(audio).DocResManager(resources);
    return writer.Bytes();
}

std::vector<std::uint8_t> MinimalDocument()
{
    return DocumentWithoutSlides({});
}

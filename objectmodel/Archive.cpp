#include "objectmodel/Archive.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "objectmodel/ResourceBlob.h"

static_assert(std::endian::native == std::endian::little, "documents are little-endian and read by plain copies");

namespace {

kxi_string Number(std::uint64_t value)
{
    return crt::FromUtf8(std::to_string(value));
}

DS_Error Damaged(const kxi_string& detail)
{
    return DS_Error(u"Cannot open file: the document is damaged: " + detail + u".");
}

// A string's value ends at its first NUL unit (or byte); the rest is dropped.
template <class String>
void CutAtNul(String& text)
{
    const auto nul = text.find(typename String::value_type(0));
    if (nul != String::npos)
        text.resize(nul);
}

} // namespace

// ---------------------------------------------------------------- ResourceBuffer

void ResourceBuffer::SetMemory(std::span<const std::uint8_t> bytes)
{
    // A cursor must be non-null to be used, even over an empty document.
    static const std::uint8_t kNothing = 0;
    m_cursor = bytes.empty() ? &kNothing : bytes.data();
    m_end = m_cursor + bytes.size();
}

bool ResourceBuffer::OpenFile(const std::filesystem::path& path)
{
    CloseFile();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return false;
    m_file.open(path, std::ios::in | std::ios::binary);
    if (!m_file.is_open())
        return false;
    m_fileRemaining = size;
    return true;
}

void ResourceBuffer::CloseFile()
{
    if (m_file.is_open())
        m_file.close();
    m_fileRemaining = 0;
}

std::uint64_t ResourceBuffer::BytesRemaining() const
{
    if (HasMemory())
        return static_cast<std::uint64_t>(m_end - m_cursor);
    if (IsFileOpen())
        return m_fileRemaining;
    return 0;
}

void ResourceBuffer::RequireRemaining(std::uint64_t count, const char16_t* what) const
{
    const std::uint64_t remaining = BytesRemaining();
    if (count <= remaining)
        return;
    throw Damaged(kxi_string(u"it ends inside ") + what + u" (" + Number(count) + u" bytes needed, " +
                  Number(remaining) + u" left)");
}

bool ResourceBuffer::ReadRaw(void* destination, std::size_t count)
{
    if (!HasSource())
        return false;
    RequireRemaining(count, u"a value");
    if (count == 0)
        return true;
    if (HasMemory()) {
        std::memcpy(destination, m_cursor, count);
        m_cursor += count;
        return true;
    }
    m_file.read(static_cast<char*>(destination), static_cast<std::streamsize>(count));
    if (static_cast<std::size_t>(m_file.gcount()) != count)
        throw Damaged(u"the file could not be read to its end");
    m_fileRemaining -= count;
    return true;
}

template <class T>
T ResourceBuffer::ReadScalar()
{
    T value{};
    ReadRaw(&value, sizeof value);
    return value;
}

std::uint32_t ResourceBuffer::ReadStringLength()
{
    const auto length8 = ReadScalar<std::uint8_t>();
    if (length8 != 0xFF)
        return length8;
    const auto length16 = ReadScalar<std::uint16_t>();
    if (length16 != 0xFFFF)
        return length16;
    return ReadScalar<std::uint32_t>();
}

void ResourceBuffer::ReadWString(kxi_string* text)
{
    if (!HasSource())
        return;
    std::uint8_t markers[3];
    ReadRaw(markers, sizeof markers);
    const std::uint32_t length = ReadStringLength();
    if (length == 0) {
        // Kept as the format has always behaved: a file leaves the old value.
        if (HasMemory())
            text->clear();
        return;
    }
    RequireRemaining(std::uint64_t{length} * 2, u"a string");
    kxi_string units(length, u'\0');
    ReadRaw(units.data(), std::size_t{length} * 2);
    CutAtNul(units);
    *text = std::move(units);
}

void ResourceBuffer::ReadNarrowString(std::string* text)
{
    if (HasMemory()) {
        text->clear();
        return;
    }
    if (!IsFileOpen())
        return;
    const std::uint32_t length = ReadStringLength();
    RequireRemaining(length, u"a string");
    std::string bytes(length, '\0');
    ReadRaw(bytes.data(), length);
    CutAtNul(bytes);
    *text = std::move(bytes);
}

void ResourceBuffer::ReadInt32Vector(std::vector<std::int32_t>* values)
{
    std::int32_t count = 0;
    if (!ReadRaw(&count, sizeof count))
        return;
    if (count < 0)
        throw Damaged(u"a count is negative (" + crt::FromUtf8(std::to_string(count)) + u")");
    RequireRemaining(std::uint64_t(count) * kInt32Bytes, u"a list of numbers");
    for (std::int32_t i = 0; i < count; ++i)
        values->push_back(ReadScalar<std::int32_t>());
}

// ---------------------------------------------------------------- DS_IOF_R

void DS_IOF_R<ResourceBuffer>::ReadBlob(ResourceBlob* blob)
{
    std::int32_t size = 0;
    if (!m_buffer->ReadRaw(&size, sizeof size))
        return;
    if (size < 0)
        throw Damaged(u"a data block has a negative size (" + crt::FromUtf8(std::to_string(size)) + u")");
    if (static_cast<std::uint64_t>(size) > m_buffer->BytesRemaining())
        throw Damaged(u"it ends inside a data block (" + Number(static_cast<std::uint64_t>(size)) +
                      u" bytes needed, " + Number(m_buffer->BytesRemaining()) + u" left)");
    // A size of 0 reads no bytes: the blob is then empty.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    m_buffer->ReadRaw(bytes.data(), bytes.size());
    blob->SetBytes(std::move(bytes));
    kxi_string name = blob->Name();
    m_buffer->ReadWString(&name);
    blob->SetName(std::move(name));
}

void DS_IOF_R<ResourceBuffer>::ReadModuleBlob(ModuleResourceBlob* blob)
{
    std::int32_t id = blob->ResourceId();
    if (!m_buffer->ReadRaw(&id, sizeof id))
        return;
    blob->SetResourceId(id);
    kxi_string moduleFile = blob->ModuleFile();
    m_buffer->ReadWString(&moduleFile);
    blob->SetModuleFile(std::move(moduleFile));
    ReadBlob(blob);
}

void DS_IOF_R<ResourceBuffer>::ReadIntPair(IntPair* value)
{
    m_buffer->ReadRaw(&value->first, 4);
    m_buffer->ReadRaw(&value->second, 4);
}

void DS_IOF_R<ResourceBuffer>::ReadBool(bool* value)
{
    std::uint8_t byte = 0;
    if (m_buffer->ReadRaw(&byte, 1))
        *value = byte != 0;
}

// ---------------------------------------------------------------- ArchiveReader

namespace {

template <class T, class Slot>
T ReadValue(DS_IOF_Virtual& archive, Slot slot)
{
    T value{};
    (archive.*slot)(&value);
    return value;
}

} // namespace

std::int32_t ArchiveReader::ReadInt() const { return ReadValue<std::int32_t>(*m_archive, &DS_IOF_Virtual::ReadInt); }
std::int32_t ArchiveReader::ReadLong() const { return ReadValue<std::int32_t>(*m_archive, &DS_IOF_Virtual::ReadLong); }
std::uint32_t ArchiveReader::ReadDword() const { return ReadValue<std::uint32_t>(*m_archive, &DS_IOF_Virtual::ReadDword); }
std::uint16_t ArchiveReader::ReadWord() const { return ReadValue<std::uint16_t>(*m_archive, &DS_IOF_Virtual::ReadWord); }
std::uint8_t ArchiveReader::ReadByte() const { return ReadValue<std::uint8_t>(*m_archive, &DS_IOF_Virtual::ReadByte); }
bool ArchiveReader::ReadBool() const { return ReadValue<bool>(*m_archive, &DS_IOF_Virtual::ReadBool); }
float ArchiveReader::ReadFloat() const { return ReadValue<float>(*m_archive, &DS_IOF_Virtual::ReadFloat); }
std::int64_t ArchiveReader::ReadInt64() const { return ReadValue<std::int64_t>(*m_archive, &DS_IOF_Virtual::ReadInt64); }
std::uint64_t ArchiveReader::ReadQword() const { return ReadValue<std::uint64_t>(*m_archive, &DS_IOF_Virtual::ReadQword); }
IntPair ArchiveReader::ReadIntPair() const { return ReadValue<IntPair>(*m_archive, &DS_IOF_Virtual::ReadIntPair); }
kxi_string ArchiveReader::ReadWideString() const { return ReadValue<kxi_string>(*m_archive, &DS_IOF_Virtual::ReadWideString); }

SectionHeader ArchiveReader::ReadSectionHeader() const
{
    SectionHeader header;
    header.className = ReadWideString();
    header.version = ReadInt();
    return header;
}

std::size_t ArchiveReader::ReadCount(std::size_t minElementBytes) const
{
    const std::int32_t count = ReadInt();
    if (count < 0)
        throw Damaged(u"a count is negative (" + crt::FromUtf8(std::to_string(count)) + u")");
    const std::uint64_t needed = std::uint64_t(count) * std::max<std::size_t>(minElementBytes, 1);
    const std::uint64_t remaining = BytesRemaining();
    if (needed > remaining)
        throw Damaged(u"a count of " + Number(std::uint64_t(count)) + u" elements cannot fit in the " +
                      Number(remaining) + u" bytes left");
    return static_cast<std::size_t>(count);
}

// ---------------------------------------------------------------- vectors and GUIDs

void ReadIntVector(ArchiveReader ar, std::vector<std::int32_t>* values)
{
    ReadCountedVector(ar, *values, kInt32Bytes, [](ArchiveReader r) { return r.ReadInt(); });
}

void WriteIntVector(ArchiveWriter ar, const std::vector<std::int32_t>& values)
{
    ar->WriteVersion(static_cast<std::int32_t>(values.size()));
    for (std::int32_t value : values)
        ar->WriteVersion(value);
}

void ReadGuid(ArchiveReader ar, crt::Guid* guid)
{
    *guid = crt::ParseGuid(std::u16string_view(ar.ReadWideString()));
}

void WriteGuid(ArchiveWriter ar, const crt::Guid& guid)
{
    ar->WriteWideString(crt::FormatGuidWide(guid));
}

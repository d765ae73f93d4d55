#pragma once
// The archive through which every read of a scene document passes.
//
// A document is one little-endian byte stream with no lengths around its
// records: every stored object is read field by field, in the order its
// reader knows, so a reader that misreads one field loses its place for the
// rest of the document. The encodings:
//
//   int32 / uint32 / float   4 bytes        8-byte values  8 bytes
//   word                     2 bytes        byte, flag     1 byte
//   int pair                 two int32, first then second
//   wide string   3 marker bytes (never examined), then the length L in one
//                 of three forms: L8 (1 byte, when not 0xFF); 0xFF + L16
//                 (2 bytes, when not 0xFFFF); 0xFF 0xFFFF + L32 (4 bytes);
//                 then L UTF-16LE code units. The value is cut at the first
//                 NUL unit; all L units are consumed.
//   narrow string the same length forms without markers, then L bytes.
//   blob          int32 size, size bytes, wide-string name
//   module blob   int32 resource id, wide-string module file, blob
//   counted vector int32 count, then count elements
//   GUID          wide string in registry form {XXXXXXXX-XXXX-...}
//   section       wide-string class name, int32 version, then the fields
//
// A document is untrusted input. The archive knows where its bytes end:
// every read checks what remains and a read past the end, a negative size,
// or a length or count that cannot fit in what remains refuses the document
// with DS_Error before anything is allocated.
//
// Readers take an `ArchiveReader` (a handle on the DS_IOF_Virtual in use).
// Either call the typed slots in their pointer form (`ar->ReadInt(&v)`) or
// the value-returning helpers of the handle (`ar.ReadInt()`). A stored count
// is read with `ar.ReadCount(minimum bytes per element)`, which checks it
// against what remains.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "objectmodel/DocumentError.h"
#include "platform/crt/Guid.h"
#include "platform/crt/WideString.h"

class ResourceBlob;
class ModuleResourceBlob;

// Two int32 stored first then second.
struct IntPair {
    std::int32_t first = 0;
    std::int32_t second = 0;
    friend bool operator==(const IntPair&, const IntPair&) = default;
};

// The smallest number of bytes each stored element can take: used to check
// a stored count against the bytes that remain before reading on.
inline constexpr std::size_t kInt32Bytes = 4;
inline constexpr std::size_t kMinWideStringBytes = 4;                              // markers + L8 = 0
inline constexpr std::size_t kMinSectionBytes = kMinWideStringBytes + kInt32Bytes;  // class name + version
inline constexpr std::size_t kMinBlobBytes = kInt32Bytes + kMinWideStringBytes;     // size 0 + empty name
inline constexpr std::size_t kMinModuleBlobBytes = kInt32Bytes + kMinWideStringBytes + kMinBlobBytes;

// The archive interface. Writes mirror the reads one for one; this program
// never writes documents, so every write does nothing here. Reads take a
// pointer to their destination; with no source at all a read does nothing
// and leaves the destination as it was.
class DS_IOF_Virtual {
public:
    virtual ~DS_IOF_Virtual() = default;

    virtual void WriteBlob(const ResourceBlob&) {}
    virtual void WriteWideString(const kxi_string&) {}
    virtual void WriteInt64(std::int64_t) {}
    virtual void WriteFloat(float) {}
    virtual void WriteIntPair(const IntPair&) {}
    virtual void WriteVersion(std::int32_t) {} // a section version or an element count
    virtual void WriteWord(std::uint16_t) {}
    virtual void WriteDword(std::uint32_t) {}
    virtual void WriteByte(std::uint8_t) {}
    virtual void WriteBool(bool) {}
    virtual void WriteLong(std::int32_t) {}
    virtual void WriteBytes(const void*, std::size_t) {}

    virtual void ReadModuleBlob(ModuleResourceBlob* blob) = 0;
    virtual void ReadBlob(ResourceBlob* blob) = 0;
    virtual void ReadNarrowString(std::string* text) = 0;
    virtual void ReadWideString(kxi_string* text) = 0;
    virtual void ReadQword(std::uint64_t* value) = 0;
    virtual void ReadInt64(std::int64_t* value) = 0; // the 64-bit ids of file links
    virtual void ReadFloat(float* value) = 0;
    virtual void ReadIntPair(IntPair* value) = 0;
    virtual void ReadInt(std::int32_t* value) = 0; // section versions and element counts
    virtual void ReadWord(std::uint16_t* value) = 0;
    virtual void ReadDword(std::uint32_t* value) = 0; // unsigned parameter values
    virtual void ReadByte(std::uint8_t* value) = 0;
    virtual void ReadBool(bool* value) = 0; // one byte; any non-zero byte is true
    virtual void ReadLong(std::int32_t* value) = 0; // signed parameter values
    virtual void ReadBytes(std::size_t count, void* destination) = 0;

    // Bytes left to read from the current source (0 when there is none).
    virtual std::uint64_t BytesRemaining() const = 0;
};

// The reader state: a memory cursor over a document held in memory (the
// embedded one), or an open binary file. The cursor is used when set,
// otherwise the file; with neither, reads do nothing. Both sources know
// their end.
class ResourceBuffer {
public:
    ResourceBuffer() = default;
    ResourceBuffer(const ResourceBuffer&) = delete;
    ResourceBuffer& operator=(const ResourceBuffer&) = delete;

    // Reads from `bytes` (not owned; must outlive the reads).
    void SetMemory(std::span<const std::uint8_t> bytes);
    // Opens `path` for binary reading; false when it cannot be opened.
    bool OpenFile(const std::filesystem::path& path);
    void CloseFile();

    bool HasMemory() const { return m_cursor != nullptr; }
    bool IsFileOpen() const { return m_file.is_open(); }
    bool HasSource() const { return HasMemory() || IsFileOpen(); }
    std::uint64_t BytesRemaining() const;

    // Copies `count` bytes to `destination` and moves on. False (nothing
    // read) when there is no source; DS_Error when fewer bytes remain.
    bool ReadRaw(void* destination, std::size_t count);

    // The wide-string read. At length 0 the memory path stores the empty
    // string while the file path leaves the destination as it was.
    void ReadWString(kxi_string* text);
    // The narrow-string read. The memory path consumes nothing and yields
    // the empty string (no document record uses narrow strings).
    void ReadNarrowString(std::string* text);
    // Count, then that many int32, read directly from the buffer.
    void ReadInt32Vector(std::vector<std::int32_t>* values);

private:
    template <class T>
    T ReadScalar();
    // Reads the length that follows a string's markers (L8, L16 or L32).
    std::uint32_t ReadStringLength();
    void RequireRemaining(std::uint64_t count, const char16_t* what) const;

    const std::uint8_t* m_cursor = nullptr;
    const std::uint8_t* m_end = nullptr;
    std::ifstream m_file;
    std::uint64_t m_fileRemaining = 0;
};

template <class Buffer>
class DS_IOF_R;

// The one archive implementation: reads through a ResourceBuffer that it
// does not own.
template <>
class DS_IOF_R<ResourceBuffer> final : public DS_IOF_Virtual {
public:
    explicit DS_IOF_R(ResourceBuffer& buffer) : m_buffer(&buffer) {}

    void ReadModuleBlob(ModuleResourceBlob* blob) override;
    void ReadBlob(ResourceBlob* blob) override;
    void ReadNarrowString(std::string* text) override { m_buffer->ReadNarrowString(text); }
    void ReadWideString(kxi_string* text) override { m_buffer->ReadWString(text); }
    void ReadQword(std::uint64_t* value) override { m_buffer->ReadRaw(value, 8); }
    void ReadInt64(std::int64_t* value) override { m_buffer->ReadRaw(value, 8); }
    void ReadFloat(float* value) override { m_buffer->ReadRaw(value, 4); }
    void ReadIntPair(IntPair* value) override;
    void ReadInt(std::int32_t* value) override { m_buffer->ReadRaw(value, 4); }
    void ReadWord(std::uint16_t* value) override { m_buffer->ReadRaw(value, 2); }
    void ReadDword(std::uint32_t* value) override { m_buffer->ReadRaw(value, 4); }
    void ReadByte(std::uint8_t* value) override { m_buffer->ReadRaw(value, 1); }
    void ReadBool(bool* value) override;
    void ReadLong(std::int32_t* value) override { m_buffer->ReadRaw(value, 4); }
    void ReadBytes(std::size_t count, void* destination) override { m_buffer->ReadRaw(destination, count); }
    std::uint64_t BytesRemaining() const override { return m_buffer->BytesRemaining(); }

private:
    ResourceBuffer* m_buffer;
};

// A stored class level's header: its class name and version.
struct SectionHeader {
    kxi_string className;
    std::int32_t version = 0;
};

// The handle every read routine takes. Cheap to copy.
class ArchiveReader {
public:
    explicit ArchiveReader(DS_IOF_Virtual& archive) : m_archive(&archive) {}

    DS_IOF_Virtual* operator->() const { return m_archive; }
    DS_IOF_Virtual& Archive() const { return *m_archive; }

    // Value-returning forms of the typed reads (0 / empty when no source).
    std::int32_t ReadInt() const;
    std::int32_t ReadLong() const;
    std::uint32_t ReadDword() const;
    std::uint16_t ReadWord() const;
    std::uint8_t ReadByte() const;
    bool ReadBool() const;
    float ReadFloat() const;
    std::int64_t ReadInt64() const;
    std::uint64_t ReadQword() const;
    IntPair ReadIntPair() const;
    kxi_string ReadWideString() const;

    // Class name and version of a section.
    SectionHeader ReadSectionHeader() const;

    // Reads an int32 element count and checks it: a negative count, or one
    // whose elements (at least `minElementBytes` each) cannot fit in what
    // remains, refuses the document.
    std::size_t ReadCount(std::size_t minElementBytes) const;

    std::uint64_t BytesRemaining() const { return m_archive->BytesRemaining(); }

private:
    DS_IOF_Virtual* m_archive;
};

// The handle every write routine takes; writes do nothing in this program.
class ArchiveWriter {
public:
    explicit ArchiveWriter(DS_IOF_Virtual& archive) : m_archive(&archive) {}
    DS_IOF_Virtual* operator->() const { return m_archive; }

private:
    DS_IOF_Virtual* m_archive;
};

// Reads a counted vector: the checked count, then each element through
// `readElement(ar)`, appended to `out` in stored order.
template <class Container, class ReadElement>
void ReadCountedVector(ArchiveReader ar, Container& out, std::size_t minElementBytes, ReadElement&& readElement)
{
    const std::size_t count = ar.ReadCount(minElementBytes);
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(readElement(ar));
}

// Count, then each int32 through ReadInt.
void ReadIntVector(ArchiveReader ar, std::vector<std::int32_t>* values);
void WriteIntVector(ArchiveWriter ar, const std::vector<std::int32_t>& values);

// GUIDs are stored as wide strings in registry form. A string that does not
// parse reads as the all-zero GUID.
void ReadGuid(ArchiveReader ar, crt::Guid* guid);
void WriteGuid(ArchiveWriter ar, const crt::Guid& guid);

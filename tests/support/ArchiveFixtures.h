#pragma once
// Archives over bytes made by the document writer, in memory or in a
// temporary file, for reading them back in tests, tools and the fuzzer.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "objectmodel/Archive.h"

// An archive whose memory cursor walks its own copy of `bytes`.
class MemoryArchive {
public:
    explicit MemoryArchive(std::span<const std::uint8_t> bytes) : m_bytes(bytes.begin(), bytes.end())
    {
        m_buffer.SetMemory(m_bytes);
    }
    MemoryArchive(const MemoryArchive&) = delete;
    MemoryArchive& operator=(const MemoryArchive&) = delete;

    ArchiveReader Reader() { return ArchiveReader(m_archive); }
    ResourceBuffer& Buffer() { return m_buffer; }
    std::uint64_t Consumed() const { return m_bytes.size() - m_buffer.BytesRemaining(); }
    std::uint64_t Remaining() const { return m_buffer.BytesRemaining(); }

private:
    std::vector<std::uint8_t> m_bytes;
    ResourceBuffer m_buffer;
    DS_IOF_R<ResourceBuffer> m_archive{m_buffer};
};

// A file under the temporary folder holding `bytes`, removed on destruction.
class TempFile {
public:
    explicit TempFile(std::span<const std::uint8_t> bytes, const std::string& suffix = ".vsd");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The path as the document entry points take it (UTF-16).
    kxi_string WidePath() const;

private:
    std::filesystem::path m_path;
};

// An archive reading the file at `path`.
class FileArchive {
public:
    explicit FileArchive(const std::filesystem::path& path) { m_open = m_buffer.OpenFile(path); }
    FileArchive(const FileArchive&) = delete;
    FileArchive& operator=(const FileArchive&) = delete;

    bool IsOpen() const { return m_open; }
    ArchiveReader Reader() { return ArchiveReader(m_archive); }
    std::uint64_t Remaining() const { return m_buffer.BytesRemaining(); }

private:
    ResourceBuffer m_buffer;
    DS_IOF_R<ResourceBuffer> m_archive{m_buffer};
    bool m_open = false;
};

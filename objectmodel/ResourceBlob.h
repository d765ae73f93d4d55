#pragma once
// Named blocks of bytes that a document carries: the pictures, sounds and
// other data of its objects.

#include <cstddef>
#include <cstdint>
#include <list>
#include <span>
#include <vector>

#include "objectmodel/Archive.h"
#include "platform/crt/WideString.h"

// A named block of bytes. Copies are deep.
class ResourceBlob {
public:
    ResourceBlob() = default;
    explicit ResourceBlob(kxi_string name) : m_name(std::move(name)) {}

    const kxi_string& Name() const { return m_name; }
    void SetName(kxi_string name) { m_name = std::move(name); }

    std::span<const std::uint8_t> Bytes() const { return m_bytes; }
    const std::uint8_t* Data() const { return m_bytes.empty() ? nullptr : m_bytes.data(); }
    std::int32_t Size() const { return static_cast<std::int32_t>(m_bytes.size()); }
    bool IsEmpty() const { return m_bytes.empty(); }
    void SetBytes(std::vector<std::uint8_t> bytes) { m_bytes = std::move(bytes); }

    friend bool operator==(const ResourceBlob&, const ResourceBlob&) = default;

private:
    kxi_string m_name;
    std::vector<std::uint8_t> m_bytes;
};

// A blob that can also name where its bytes come from: a resource id in a
// resource module (a file named like "common_res.dll").
class ModuleResourceBlob : public ResourceBlob {
public:
    ModuleResourceBlob() = default;
    ModuleResourceBlob(std::int32_t resourceId, kxi_string moduleFile)
        : m_resourceId(resourceId), m_moduleFile(std::move(moduleFile))
    {
    }
    explicit ModuleResourceBlob(kxi_string name) : ResourceBlob(std::move(name)) {}

    std::int32_t ResourceId() const { return m_resourceId; }
    void SetResourceId(std::int32_t id) { m_resourceId = id; }
    const kxi_string& ModuleFile() const { return m_moduleFile; }
    void SetModuleFile(kxi_string file) { m_moduleFile = std::move(file); }

    // Fills the bytes from the named module's resource (type "DDS", then
    // RT_RCDATA) with this id. A module that is missing, or an empty module
    // name, is a failure: this never falls back to the program's own
    // resources and never loads code. True when the bytes were replaced.
    bool LoadFromModule();

    friend bool operator==(const ModuleResourceBlob&, const ModuleResourceBlob&) = default;

private:
    std::int32_t m_resourceId = 0;
    kxi_string m_moduleFile;
};

// Count, then that many module blobs, appended in stored order.
void ReadModuleBlobList(ArchiveReader ar, std::list<ModuleResourceBlob>* blobs);

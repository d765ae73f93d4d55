#pragma once
// Resource modules: a path ending in ".dll" names one of our resource packs
// (ResourcePack.h). A module is only ever read as data; nothing in it runs.
//
// A module is looked for by its file name only (the text after the last
// slash or backslash) next to the executable, then in the install data
// folder; the folder a path names is never searched, so a document cannot
// make the player read a file of its choosing. Loaded modules are cached by
// file name for the life of the process, so two paths with the same
// file name share the module loaded first. A module that is missing or
// refused is not remembered: the next request tries again.
//
// A missing module is a failure of its own. Callers never fall back to the
// program's own resources (ProgramResources.h) under the same id.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/ResourcePack.h"

namespace win {

class ResourceModule {
public:
    // Reads and checks the pack at path; on refusal returns nothing and says
    // why in error. Not cached.
    static std::optional<ResourceModule> Open(const std::filesystem::path& path, std::string& error);

    const std::string& FileName() const { return fileName_; }
    const ResourcePack& Pack() const { return pack_; }
    std::optional<ResourceBytes> Find(const ResourceType& type, std::uint16_t id) const {
        return pack_.Find(type, id);
    }

private:
    ResourceModule(std::string fileName, ResourcePack pack)
        : fileName_(std::move(fileName)), pack_(std::move(pack)) {}

    std::string fileName_;
    ResourcePack pack_;
};

// Largest module file we read.
inline constexpr std::uintmax_t kMaxResourceModuleBytes = 512u << 20;

// The module named by path, from the cache or loaded now; null when it is
// missing or refused. The module stays loaded until the process ends.
const ResourceModule* LoadResourceModule(std::string_view path);

// The file-name part of a path: the text after the last '/' or '\'.
std::string ModuleFileName(std::string_view path);

// Where a module is found; nothing when it exists nowhere.
std::optional<std::filesystem::path> FindResourceModuleFile(std::string_view path);

// The folders searched by file name: the executable's folder, then the
// install data folder.
std::vector<std::filesystem::path> ResourceModuleSearchDirs();

// Test hook: replaces the searched folders (an empty list restores the
// defaults) and empties the cache.
void SetResourceModuleSearchDirsForTesting(std::vector<std::filesystem::path> dirs);

}  // namespace win

#include "platform/win/ResourceModule.h"

#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <unistd.h>

#include "platform/crt/FileBytes.h"

namespace win {
namespace {

struct ModuleCache {
    std::mutex mutex;
    std::map<std::string, std::unique_ptr<ResourceModule>> modules;
    std::vector<std::filesystem::path> searchDirs;  // empty: the defaults
};

ModuleCache& Cache() {
    static ModuleCache cache;
    return cache;
}

std::filesystem::path ExecutableDir() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe.parent_path();
}

std::vector<std::filesystem::path> DefaultSearchDirs() {
    std::vector<std::filesystem::path> dirs;
    if (auto exeDir = ExecutableDir(); !exeDir.empty()) dirs.push_back(exeDir);
    dirs.emplace_back(ORVANTA_DATA_DIR);
    return dirs;
}

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::optional<ResourceModule> ResourceModule::Open(const std::filesystem::path& path, std::string& error) {
    auto bytes = crt::ReadFileBytes(path, kMaxResourceModuleBytes, error);
    if (!bytes) return std::nullopt;
    auto pack = ResourcePack::Parse(std::move(*bytes), error);
    if (!pack) {
        error = path.string() + ": " + error;
        return std::nullopt;
    }
    return ResourceModule(path.filename().string(), std::move(*pack));
}

std::string ModuleFileName(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::vector<std::filesystem::path> ResourceModuleSearchDirs() {
    ModuleCache& cache = Cache();
    std::lock_guard lock(cache.mutex);
    return cache.searchDirs.empty() ? DefaultSearchDirs() : cache.searchDirs;
}

std::optional<std::filesystem::path> FindResourceModuleFile(std::string_view path) {
    // Only the file name counts: a document names modules, it does not choose
    // which file of the machine is read, so the folder it stores is ignored.
    const std::string name = ModuleFileName(path);
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    for (const auto& dir : ResourceModuleSearchDirs()) {
        const auto candidate = dir / name;
        if (IsRegularFile(candidate)) return candidate;
    }
    return std::nullopt;
}

const ResourceModule* LoadResourceModule(std::string_view path) {
    const std::string name = ModuleFileName(path);
    if (name.empty()) return nullptr;
    ModuleCache& cache = Cache();
    {
        std::lock_guard lock(cache.mutex);
        if (auto found = cache.modules.find(name); found != cache.modules.end()) return found->second.get();
    }
    const auto file = FindResourceModuleFile(path);
    if (!file) return nullptr;
    std::string error;
    auto module = ResourceModule::Open(*file, error);
    if (!module) return nullptr;

    std::lock_guard lock(cache.mutex);
    // Another thread may have loaded the same name meanwhile: the first stays.
    auto [entry, inserted] = cache.modules.try_emplace(name, nullptr);
    if (inserted) entry->second = std::make_unique<ResourceModule>(std::move(*module));
    return entry->second.get();
}

void SetResourceModuleSearchDirsForTesting(std::vector<std::filesystem::path> dirs) {
    ModuleCache& cache = Cache();
    std::lock_guard lock(cache.mutex);
    cache.searchDirs = std::move(dirs);
    cache.modules.clear();
}

}  // namespace win

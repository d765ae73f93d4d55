#include "platform/win/ResourceModule.h"

#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <unistd.h>

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

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path, std::string& error) {
    std::error_code sizeError;
    const auto size = std::filesystem::file_size(path, sizeError);
    if (sizeError) {
        error = "cannot read " + path.string();
        return std::nullopt;
    }
    if (size > kMaxResourceModuleBytes) {
        error = path.string() + " is too large for a resource module";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        error = "cannot read " + path.string();
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::optional<ResourceModule> ResourceModule::Open(const std::filesystem::path& path, std::string& error) {
    auto bytes = ReadWholeFile(path, error);
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
    const std::string name = ModuleFileName(path);
    if (name.empty()) return std::nullopt;
    // A path with a folder in our own notation is tried as given first; a
    // Windows path ("C:\...") cannot exist here and is searched by name.
    if (name.size() != path.size() && path.find('\\') == std::string_view::npos) {
        const std::filesystem::path given(path);
        if (IsRegularFile(given)) return given;
    }
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

#include "platform/win/KeyFile.h"

#include <glib.h>

#include <system_error>

namespace win {

namespace {

struct ErrorHolder {
    GError* error = nullptr;
    ~ErrorHolder()
    {
        if (error)
            g_error_free(error);
    }
};

struct GFreeDeleter {
    void operator()(gchar* text) const { g_free(text); }
};
using OwnedText = std::unique_ptr<gchar, GFreeDeleter>;

} // namespace

struct KeyFile::Impl {
    struct Unref {
        void operator()(GKeyFile* file) const { g_key_file_unref(file); }
    };
    std::unique_ptr<GKeyFile, Unref> file{g_key_file_new()};

    void Reset() { file.reset(g_key_file_new()); }
};

KeyFile::KeyFile() : impl_(std::make_unique<Impl>()) {}
KeyFile::~KeyFile() = default;
KeyFile::KeyFile(KeyFile&&) noexcept = default;
KeyFile& KeyFile::operator=(KeyFile&&) noexcept = default;

KeyFile::LoadResult KeyFile::Load(const std::filesystem::path& file)
{
    impl_->Reset();
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (!std::filesystem::exists(status))
        return LoadResult::Missing;
    const auto size = std::filesystem::file_size(file, error);
    if (error || size > kMaxFileSize)
        return LoadResult::Damaged;
    ErrorHolder holder;
    if (g_key_file_load_from_file(impl_->file.get(), file.c_str(), G_KEY_FILE_KEEP_COMMENTS, &holder.error))
        return LoadResult::Loaded;
    impl_->Reset();
    return LoadResult::Damaged;
}

bool KeyFile::Save(const std::filesystem::path& file) const
{
    std::error_code error;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), error);
    ErrorHolder holder;
    return g_key_file_save_to_file(impl_->file.get(), file.c_str(), &holder.error);
}

std::optional<std::string> KeyFile::GetString(std::string_view group, std::string_view key) const
{
    ErrorHolder holder;
    const OwnedText value(
        g_key_file_get_string(impl_->file.get(), std::string(group).c_str(), std::string(key).c_str(), &holder.error));
    if (!value)
        return std::nullopt;
    return std::string(value.get());
}

std::optional<std::string> KeyFile::GetRawValue(std::string_view group, std::string_view key) const
{
    ErrorHolder holder;
    const OwnedText value(
        g_key_file_get_value(impl_->file.get(), std::string(group).c_str(), std::string(key).c_str(), &holder.error));
    if (!value)
        return std::nullopt;
    return std::string(value.get());
}

void KeyFile::SetString(std::string_view group, std::string_view key, std::string_view value)
{
    g_key_file_set_string(impl_->file.get(), std::string(group).c_str(), std::string(key).c_str(),
                          std::string(value).c_str());
}

void KeyFile::SetRawValue(std::string_view group, std::string_view key, std::string_view value)
{
    g_key_file_set_value(impl_->file.get(), std::string(group).c_str(), std::string(key).c_str(),
                         std::string(value).c_str());
}

bool KeepAsBackup(const std::filesystem::path& file)
{
    std::error_code error;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::filesystem::path backup = file;
        backup += attempt == 0 ? std::string(".damaged") : ".damaged." + std::to_string(attempt);
        if (std::filesystem::exists(std::filesystem::symlink_status(backup, error)))
            continue;
        std::filesystem::rename(file, backup, error);
        return !error;
    }
    return false;
}

} // namespace win

#include "tests/support/ArchiveFixtures.h"

#include <atomic>
#include <fstream>
#include <string>

#include <unistd.h>

TempFile::TempFile(std::span<const std::uint8_t> bytes, const std::string& suffix)
{
    static std::atomic<unsigned> counter{0};
    const std::string name =
        "orvanta-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + suffix;
    m_path = std::filesystem::temp_directory_path() / name;
    std::ofstream file(m_path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TempFile::~TempFile()
{
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
}

kxi_string TempFile::WidePath() const
{
    return crt::FromUtf8(m_path.string());
}

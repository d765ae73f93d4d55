// libFuzzer target for the document reader: every input is opened as an
// embedded document (memory path) and, when small, as a file (stream path).
// A refusal (DS_Error, DocumentOpenFailure) is the expected outcome of most
// inputs; anything else (a crash, a sanitizer report, an escaping exception,
// a huge allocation) is a finding.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include <unistd.h>

#include "objectmodel/ResourceSource.h"
#include "objectmodel/SceneDocument.h"
#include "tests/support/DocumentSummaryClasses.h"

namespace {

std::span<const std::uint8_t> g_input;

std::optional<std::span<const std::uint8_t>> FindFuzzInput(const ResourceType&, std::uint16_t id)
{
    if (id != kEmbeddedDocumentId)
        return std::nullopt;
    return g_input;
}

void OpenAndDrop(const auto& open)
{
    try {
        const SceneDocument document = open();
    } catch (const DS_Error&) {
    } catch (const DocumentOpenFailure&) {
    }
}

// The file the stream path reads; removed when the fuzzer exits.
struct InputFile {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("orvanta-fuzz-" + std::to_string(::getpid()) + ".vsd");
    ~InputFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

const std::filesystem::path& InputFilePath()
{
    static const InputFile file;
    return file.path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    InstallInspectionDocumentClasses();
    InstallProgramResourceFinder(&FindFuzzInput);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    g_input = std::span<const std::uint8_t>(data, size);
    OpenAndDrop([] { return OpenDocumentResource(kEmbeddedDocumentId); });
    if (size <= 4096) {
        {
            std::ofstream file(InputFilePath(), std::ios::binary | std::ios::trunc);
            file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        }
        OpenAndDrop([] { return OpenDocumentFile(crt::FromUtf8(InputFilePath().string())); });
    }
    return 0;
}

// Writes the sample documents (tests/support/SampleDocuments.h) into a
// folder: the inspector's test reads them, and they seed the fuzzer.
//   orvanta-sample-documents DIR

#include <cstdio>
#include <filesystem>

#include "tests/support/DocumentWriter.h"
#include "tests/support/SampleDocuments.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: orvanta-sample-documents DIR\n", stderr);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    for (const SampleDocument& sample : SampleDocuments()) {
        DocumentWriter writer;
        writer.Raw(sample.bytes);
        if (!writer.SaveTo(dir / sample.fileName)) {
            std::fprintf(stderr, "error: cannot write %s\n", (dir / sample.fileName).c_str());
            return 1;
        }
    }
    return 0;
}

// Writes the seed corpus of every fuzz target (FuzzSeeds.h) into a folder,
// one subfolder per target:
//   orvanta-fuzz-seeds DIR

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/fuzz/FuzzSeeds.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: orvanta-fuzz-seeds DIR\n", stderr);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    for (const fuzz::Seed& seed : fuzz::Seeds()) {
        const std::filesystem::path folder = dir / seed.target;
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        std::ofstream out(folder / seed.fileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(seed.bytes.data()), static_cast<std::streamsize>(seed.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "error: cannot write %s\n", (folder / seed.fileName).c_str());
            return 1;
        }
    }
    return 0;
}

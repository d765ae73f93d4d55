#pragma once
// Documents made with the writer for tests, the inspector's test and the
// fuzzer's seed corpus: well-formed ones that use every record built so far,
// and damaged ones that each break one rule.

#include <cstdint>
#include <string>
#include <vector>

#include "objectmodel/AudioFile.h"
#include "objectmodel/DocResRecord.h"

struct SampleDocument {
    std::string fileName;
    std::vector<std::uint8_t> bytes;
    bool wellFormed = true;
};

// Two tracks: one with bytes and a Windows source path, one empty.
std::vector<DS_AudioFile> SampleAudioFiles();

// A manager record with an entry in each of its five maps.
DocResManagerRecord SampleResourceRecord();

std::vector<SampleDocument> SampleDocuments();

#pragma once
// Writer-made effect-drawn objects and text objects, for the stored-form
// tests, the inspector's test and the fuzzer's seed corpus: one record of
// every class in every version its reader branches on,
// "effect-objects.vsd" (one slide holding them all) and
// "effect-objects-truncated.vsd" (cut short, refused).

#include <string>
#include <vector>

#include "tests/support/SampleDocuments.h"

struct EffectObjectRecord {
    std::string label;
    std::vector<std::uint8_t> bytes;
    // Written in the version the classes write themselves.
    bool latestVersion = true;
};

// In the order "effect-objects.vsd" holds them.
std::vector<EffectObjectRecord> EffectObjectRecords();

std::vector<SampleDocument> EffectObjectSampleDocuments();

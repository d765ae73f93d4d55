#pragma once
// Writer-made sprite scene objects, for the stored-form tests, the
// inspector's test and the fuzzer's seed corpus: one record of every class
// in every version its reader branches on, "sprite-objects.vsd" (one slide
// holding them all) and "sprite-objects-truncated.vsd" (cut short, refused).

#include <string>
#include <vector>

#include "tests/support/SampleDocuments.h"
#include "tests/support/SpriteObjectWriter.h"

struct SpriteObjectRecord {
    std::string label;
    std::vector<std::uint8_t> bytes;
    // Written in the version the classes write themselves.
    bool latestVersion = true;
};

// The sprite properties of the sample objects: `count` sprites of the dot
// picture, 3 picture pixels large, in an inset view.
description_writer::SpriteFields SampleSpriteFields(std::uint32_t count);

// In the order "sprite-objects.vsd" holds them.
std::vector<SpriteObjectRecord> SpriteObjectRecords();

std::vector<SampleDocument> SpriteObjectSampleDocuments();

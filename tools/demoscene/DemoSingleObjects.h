#pragma once
// The demo scene's single pictures on the slide of shapes: a golden star
// that turns slowly and fades in and out on a random timeline, and a small
// fish that swims back and forth along a path near the bottom, mirrored
// while it swims left. Both pictures (PNG with alpha) are painted here.

#include <cstdint>
#include <string_view>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// How many objects WriteDemoSingleObjects writes for the slide named
// `slideName` (0 for every slide but the shapes).
std::int32_t DemoSingleObjectCount(std::u16string_view slideName);

// Writes those objects, placed relative to a picture of width x height
// pixels; the caller writes the object count.
void WriteDemoSingleObjects(DocumentWriter& w, std::u16string_view slideName, std::uint32_t width,
                            std::uint32_t height);

// Stores the two pictures in the document's resource-manager record.
void AddDemoSingleObjectPictures(DocResManagerRecord& record);

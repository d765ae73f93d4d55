#pragma once
// The demo scene's fireflies: a swarm wandering in the dark upper sky of the
// first slide, each firefly a glowing spot leaving a short trail of sparks
// that are drawn back toward it as they fade. Its two pictures (a spot with
// a bright core, a small soft spark) are painted here.

#include <cstdint>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// The number of objects WriteDemoFireflies writes.
inline constexpr std::int32_t kDemoFireflyCount = 1;

// Writes the fireflies of a picture of width x height pixels; the caller
// writes the object count.
void WriteDemoFireflies(DocumentWriter& w, std::uint32_t width, std::uint32_t height);

// Stores the fireflies' pictures in the document's resource-manager record.
void AddDemoFireflyPictures(DocResManagerRecord& record);

#pragma once
// The demo scene's slide of ready-made particle systems: a harbour at night
// with rays of light falling from the upper left, a swirl of golden motes,
// a water jet, a fire with smoke drifting in the wind and rain running down
// a window pane. Its picture and the systems' pictures (a soft dot, a smoke
// puff, a flame, a 2 x 2 raindrop sheet and a soft ray strip, PNG with
// alpha) are painted here and stored in the document.

#include <cstdint>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

namespace demo_scene {

// Slides WriteReadyMadeSlide adds.
inline constexpr std::int32_t kReadyMadeSlides = 1;

// Writes the slide for a picture of width x height pixels and adds what it
// stores to `record`.
void WriteReadyMadeSlide(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width, std::uint32_t height);

} // namespace demo_scene

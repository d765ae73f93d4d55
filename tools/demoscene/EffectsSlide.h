#pragma once
// The demo scene's slide of image effects: a lagoon picture with water over
// its lower third, waves over a masked band, a flickering light on the sun,
// a coloured light in screen mode, an animated pattern brush, a swinging
// move effect and an underwater wobble. Its picture, masks and pattern
// frames are drawn here and stored in the document's resource manager.

#include <cstdint>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

namespace demo_scene {

// Slides WriteEffectsSlide adds.
inline constexpr std::int32_t kEffectsSlides = 1;

// Writes the slide for a picture of width x height pixels and adds what it
// stores to `record`.
void WriteEffectsSlide(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width, std::uint32_t height);

} // namespace demo_scene

#pragma once
// The demo scene's slides of fire, heat and the light variants that draw
// through effects or quad batches:
//   "Hearth"      the flame light burning along the bottom of a night
//                 picture, its heat haze shimmering the whole frame;
//   "Nightfall"   a village that falls into night (the day-to-night effect
//                 on a slow timeline, its effect file stored in the
//                 document), a bonfire burning in a region of it and a
//                 heat shimmer masked above the flames;
//   "Reef"        the underwater light over a seabed with a coloured light
//                 and waves on it;
//   "Code rain"   the matrix-code light in tint mode 1 over a portrait-like
//                 picture whose bright parts light the glyphs.
// Pictures and masks are drawn here and stored in the document.

#include <cstdint>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

namespace demo_scene {

// Slides WriteFireLightSlides adds.
inline constexpr std::int32_t kFireLightSlides = 4;

void WriteFireLightSlides(DocumentWriter& w, DocResManagerRecord& record);

} // namespace demo_scene

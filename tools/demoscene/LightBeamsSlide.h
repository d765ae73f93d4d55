#pragma once
// The demo scene's slide of light beams: a night-blue valley (1740 x 980)
// with the "Light Beams" fan of rays turning and pulsing from its top centre,
// and drifting motes as its first object (DemoSpriteObjects.h).

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// The number of slides WriteLightBeamsSlide writes.
inline constexpr int kLightBeamsSlideCount = 1;

// Writes the slide and stores its picture in `record`.
void WriteLightBeamsSlide(DocumentWriter& w, DocResManagerRecord& record);

#pragma once
// The demo scene's night slide: a town under a starry sky (1280 x 720) with
// falling stars over the sky, fireworks bursting each time their random
// timeline comes on, a lightning bolt on a random timeline and smoke rising
// from a chimney. Its pictures and the two built-in effects it links are
// stored in the document, as a real document stores its own.

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// The number of slides WriteNightSlide writes.
inline constexpr int kNightSlideCount = 1;

// Writes the slide and stores its pictures and effects in `record`.
void WriteNightSlide(DocumentWriter& w, DocResManagerRecord& record);

#pragma once
// The demo scene's slide of painted and placed generators: a moonlit meadow
// (1280 x 720) under an aurora band and twinkling stars, a patch of
// sparkles, a trail of dabs drawn with an animated three-frame GIF brush, a
// line of glyphs that pulse through their frames, and a plant swaying in
// the wind.

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// The number of slides WritePaintedSlide writes.
inline constexpr int kPaintedSlideCount = 1;

// Writes the slide and stores its pictures and effects in `record`.
void WritePaintedSlide(DocumentWriter& w, DocResManagerRecord& record);

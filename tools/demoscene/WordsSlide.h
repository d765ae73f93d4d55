#pragma once
// The demo scene's slide of words and sparks (1920 x 1080): a glowing
// discharge crackling between two points over a dark sky, a still and a
// scrolling text description, a text item on a backing panel with a drop
// shadow, a text item scrolling through its strip, and the object
// animations of DemoAnimations.h. The text pictures are
// set here in DejaVu Sans (Debian's fonts-dejavu-core, read at build time;
// no font ships with the program); they, the discharge's glow picture and
// the text descriptions' effect are stored in the document.

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// The number of slides WriteWordsSlide writes.
inline constexpr int kWordsSlideCount = 1;

// Writes the slide and stores its pictures and effect in `record`; false
// when the font cannot be read.
bool WriteWordsSlide(DocumentWriter& w, DocResManagerRecord& record);

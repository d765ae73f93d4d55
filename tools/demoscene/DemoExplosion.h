#pragma once
// The demo scene's explosion: a fireball on a random timeline over the
// first slide's sky, so that it grows, burns and dies away in turn. Its
// gradient and tiling noise pictures are painted here and its effect is
// the program's explosion effect, all stored in the demo document.

#include <cstdint>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// The explosion's record, placed relative to a picture of width x height.
void WriteDemoExplosion(DocumentWriter& w, std::uint32_t pictureWidth, std::uint32_t pictureHeight);
// Its pictures and effect, as the document stores them.
void StoreDemoExplosionResources(DocResManagerRecord& record);

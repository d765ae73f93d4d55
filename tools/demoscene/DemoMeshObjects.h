#pragma once
// The demo scene's slide of 3D objects: a summer meadow with a clock at the
// picture's centre telling the local time, two butterflies whose wing
// picture is painted here, and leaves drifting down across the screen,
// their mesh (a leaf of our own, .X text) and picture stored in the
// document as blob bytes.

#include <cstdint>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

namespace demo_scene {

// Slides WriteMeshObjectsSlide adds.
inline constexpr std::int32_t kMeshObjectsSlides = 1;

// Writes the slide for a picture of width x height pixels and adds what it
// stores to `record`.
void WriteMeshObjectsSlide(DocumentWriter& w, DocResManagerRecord& record, std::uint32_t width,
                           std::uint32_t height);

} // namespace demo_scene

#pragma once
// The demo scene's particle systems: two field systems over the first
// slide's picture, drawn with the engine's particle effect, and the two
// particle pictures they show (a soft dot and a 2 x 2 sheet of coloured
// sparks, PNG with alpha), made here.

#include <cstdint>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// The number of objects WriteDemoFieldSystems writes.
inline constexpr std::int32_t kDemoFieldSystemCount = 2;

// Writes the field systems of a picture of width x height pixels (positions
// are placed relative to that size); the caller writes the object count.
void WriteDemoFieldSystems(DocumentWriter& w, std::uint32_t width, std::uint32_t height);

// Stores the particle pictures in the document's resource-manager record.
void AddDemoParticlePictures(DocResManagerRecord& record);

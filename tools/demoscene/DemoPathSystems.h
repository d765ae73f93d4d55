#pragma once
// The demo scene's path systems on the dusk slide: a golden stream that
// waves along a curve across the picture, and a star field receding into
// the dark sky of its top-left corner, with the two particle pictures they
// show (a soft glow and a four-pointed star, PNG with alpha), made here.

#include <cstdint>

#include "objectmodel/DocResRecord.h"
#include "tests/support/DocumentWriter.h"

// The number of objects WriteDemoPathSystems writes.
inline constexpr std::int32_t kDemoPathSystemCount = 2;

// Writes the stream and the star field over a picture of width x height
// pixels; the caller writes the object count.
void WriteDemoPathSystems(DocumentWriter& w, std::uint32_t width, std::uint32_t height);

// Stores the two particle pictures in the document's resource-manager record.
void AddDemoPathSystemPictures(DocResManagerRecord& record);

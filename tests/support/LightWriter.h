#pragma once
// Writes the stored records of the light variants byte for byte as their
// readers read them, for every stored version: each variant's own fields,
// then the plain light's level (picture_scene_writer::WriteLightRecord).
// Each field struct holds the values a test wants.

#include <cstdint>
#include <string>

#include "tests/support/DocumentWriter.h"
#include "tests/support/PictureSceneWriter.h"

namespace light_writer {

} // namespace light_writer

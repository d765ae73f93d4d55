#pragma once
// Writes .X mesh files for fixtures and fuzz seeds: the text form of a mesh,
// and the compressed form (MSZIP blocks of raw deflate data) of any text.

#include <cstdint>
#include <string>
#include <vector>

namespace x_file_writer {

// The text body (after the 16-byte header) of one mesh: a quad of two
// triangles with normals and texture coordinates, inside a frame.
std::string QuadMeshText();

// One MSZIP block: {inflated size, stored size, "CK", raw deflate data}. The
// text must be at most 65535 bytes.
std::vector<std::uint8_t> MszipBlock(const std::string& text);

// A compressed text .X file ("tzip") of the given blocks whose header
// announces `bodySize` inflated bytes after the 16-byte header. Equal blocks
// in a row are deflated once.
std::vector<std::uint8_t> CompressedTextFile(const std::vector<std::string>& blocks, std::size_t bodySize);

} // namespace x_file_writer

#pragma once
// Reads DirectX .X files (text, binary, and their MSZIP-compressed forms)
// into the meshes they hold, as the file holds them: left-handed positions,
// faces in their stored winding, texture v downward. Frames are walked and
// each mesh gets the product of its frames' transforms. Templates, materials
// and any other data object are skipped.
//
// A file is untrusted input: every count is checked against what remains of
// the file before anything is sized by it, every index against what it
// indexes, and nesting and the inflated size are bounded.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

namespace gfx {

// Largest file we read.
inline constexpr std::size_t kMaxXFileBytes = 64u << 20;

// Most vertices and faces a mesh with 16-bit indices can address. A file
// whose stored counts (all its meshes together) exceed them is refused
// before anything is sized by them.
inline constexpr std::size_t kMaxMeshVertices = 65535;
inline constexpr std::size_t kMaxMeshFaces = 65535;

// Largest inflated compressed file: what meshes of the largest counts take
// as text (positions, normals, coordinates, faces twice, materials: about
// twenty numbers per vertex of up to twenty characters each), with room for
// templates and skipped objects. A compressed file is inflated only as far
// as it is read, so one whose counts are refused costs a block or two.
inline constexpr std::size_t kMaxInflatedXBytes = 32u << 20;

struct XMeshFace {
    std::vector<std::uint32_t> vertices;  // indices into positions, 3 or more
    std::vector<std::uint32_t> normals;   // indices into normals, empty when the mesh has none
    std::uint32_t material = 0;
};

struct XMesh {
    std::string name;
    std::vector<math::Vec3> positions;
    std::vector<math::Vec3> normals;
    std::vector<math::Vec2> texCoords;  // one per position, or none
    std::vector<XMeshFace> faces;
    math::Matrix transform;  // the product of its frames' transforms, innermost first
};

std::optional<std::vector<XMesh>> ReadXFile(std::span<const std::uint8_t> bytes, std::string& error);

}  // namespace gfx

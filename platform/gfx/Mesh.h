#pragma once
// A mesh as the 3D objects draw it: vertices of format XYZ | NORMAL | TEX1
// (32 bytes: position, normal, u v), a 16-bit index list of triangles and a
// bounding sphere. Loading a .X file makes one mesh of all the meshes in it
// (each placed by its frames), with the file's own vertices: a vertex used
// with different stored normals becomes one vertex per normal, polygons become
// fans of triangles, triangles are grouped by material, unused vertices are
// dropped. The normals are then computed again from the faces (each vertex
// the normalised sum of the normals of the faces that use it, weighted by the
// face's angle at the vertex), and the sphere is centred on the mean of the
// vertices with the distance to the farthest one as its radius.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/MeshXReader.h"
#include "platform/math/Vector.h"

namespace gfx {

struct MeshVertex {
    math::Vec3 position;
    math::Vec3 normal;
    math::Vec2 texCoord;
};
static_assert(sizeof(MeshVertex) == 32);

// XYZ | NORMAL | TEX1.
inline constexpr std::uint32_t kMeshVertexFvf = 0x002 | 0x010 | 0x100;

struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint16_t> indices;  // three per face
    math::Vec3 center;
    float radius = 0.0f;

    std::size_t FaceCount() const { return indices.size() / 3; }
};

// Nothing, with the reason in error, for a damaged file, a file without any
// face, or one with more vertices than 16-bit indices reach.
std::optional<MeshData> LoadMeshFromX(std::span<const std::uint8_t> bytes, std::string& error);
std::optional<MeshData> LoadMeshFromXFile(const std::filesystem::path& path, std::string& error);

// The same from meshes already read.
std::optional<MeshData> BuildMesh(const std::vector<XMesh>& meshes, std::string& error);

// Normals from the faces, as above.
void ComputeNormals(MeshData& mesh);

// Centre (mean of the vertices) and radius (farthest vertex); zero for none.
void ComputeBoundingSphere(std::span<const MeshVertex> vertices, math::Vec3& center, float& radius);

}  // namespace gfx

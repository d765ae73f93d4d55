#include "platform/gfx/Mesh.h"

#include "platform/crt/FileBytes.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <numeric>

namespace gfx {
namespace {

constexpr std::uint32_t kNoNormal = 0xFFFFFFFFu;

math::Vec3 Cross(const math::Vec3& a, const math::Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(const math::Vec3& a, const math::Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float Length(const math::Vec3& a) { return std::sqrt(Dot(a, a)); }

math::Vec3 Normalized(const math::Vec3& a) {
    const float length = Length(a);
    return length > 0.0f ? a / length : math::Vec3{};
}

math::Vec3 Transform(const math::Vec3& p, const math::Matrix& m) {
    const float x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    const float y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    const float z = p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2];
    const float w = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    return (w != 0.0f && w != 1.0f) ? math::Vec3{x / w, y / w, z / w} : math::Vec3{x, y, z};
}

struct Triangle {
    std::uint32_t v[3];
    std::uint32_t material;
};

// Appends one file mesh: vertex i keeps its place with the first normal it is
// used with; each further (vertex, normal) pair gets a new vertex at the end.
void AppendMesh(const XMesh& mesh, std::vector<MeshVertex>& vertices, std::vector<Triangle>& triangles) {
    const auto base = static_cast<std::uint32_t>(vertices.size());
    std::vector<std::uint32_t> firstNormal(mesh.positions.size(), kNoNormal);
    std::vector<bool> placed(mesh.positions.size(), false);
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::uint32_t> splits;
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        const math::Vec2 uv = i < mesh.texCoords.size() ? mesh.texCoords[i] : math::Vec2{};
        vertices.push_back({Transform(mesh.positions[i], mesh.transform), {}, uv});
    }
    auto vertexFor = [&](std::uint32_t position, std::uint32_t normal) -> std::uint32_t {
        if (!placed[position]) {
            placed[position] = true;
            firstNormal[position] = normal;
        }
        if (firstNormal[position] == normal) return base + position;
        auto [entry, added] = splits.try_emplace({position, normal}, static_cast<std::uint32_t>(vertices.size()));
        if (added) vertices.push_back(vertices[base + position]);
        return entry->second;
    };
    for (const XMeshFace& face : mesh.faces) {
        std::vector<std::uint32_t> corners(face.vertices.size());
        for (std::size_t c = 0; c < corners.size(); ++c)
            corners[c] = vertexFor(face.vertices[c], face.normals.empty() ? kNoNormal : face.normals[c]);
        for (std::size_t c = 1; c + 1 < corners.size(); ++c)
            triangles.push_back({{corners[0], corners[c], corners[c + 1]}, face.material});
    }
}

float CornerAngle(const math::Vec3& at, const math::Vec3& a, const math::Vec3& b) {
    const math::Vec3 u = Normalized(a - at), v = Normalized(b - at);
    return std::acos(std::clamp(Dot(u, v), -1.0f, 1.0f));
}

}  // namespace

void ComputeNormals(MeshData& mesh) {
    std::vector<math::Vec3> sums(mesh.vertices.size());
    for (std::size_t f = 0; f + 2 < mesh.indices.size(); f += 3) {
        const std::uint16_t i[3] = {mesh.indices[f], mesh.indices[f + 1], mesh.indices[f + 2]};
        const math::Vec3 p[3] = {mesh.vertices[i[0]].position, mesh.vertices[i[1]].position, mesh.vertices[i[2]].position};
        const math::Vec3 faceNormal = Normalized(Cross(p[1] - p[0], p[2] - p[0]));
        for (int c = 0; c < 3; ++c) sums[i[c]] += faceNormal * CornerAngle(p[c], p[(c + 1) % 3], p[(c + 2) % 3]);
    }
    for (std::size_t v = 0; v < mesh.vertices.size(); ++v) mesh.vertices[v].normal = Normalized(sums[v]);
}

void ComputeBoundingSphere(std::span<const MeshVertex> vertices, math::Vec3& center, float& radius) {
    center = {};
    radius = 0.0f;
    if (vertices.empty()) return;
    for (const MeshVertex& v : vertices) center += v.position;
    center /= static_cast<float>(vertices.size());
    for (const MeshVertex& v : vertices) radius = std::max(radius, Length(v.position - center));
}

std::optional<MeshData> BuildMesh(const std::vector<XMesh>& meshes, std::string& error) {
    std::size_t stored = 0;
    for (const XMesh& mesh : meshes) stored += mesh.positions.size();
    if (stored > kMaxMeshVertices) {
        error = "the file's meshes hold " + std::to_string(stored) + " vertices; 16-bit indices reach " +
                std::to_string(kMaxMeshVertices);
        return std::nullopt;
    }
    std::vector<MeshVertex> vertices;
    std::vector<Triangle> triangles;
    for (const XMesh& mesh : meshes) AppendMesh(mesh, vertices, triangles);
    if (triangles.empty()) {
        error = "the file holds no faces";
        return std::nullopt;
    }
    std::stable_sort(triangles.begin(), triangles.end(),
                     [](const Triangle& a, const Triangle& b) { return a.material < b.material; });

    // Drop unused vertices, keeping the order of the rest.
    std::vector<std::uint32_t> newIndex(vertices.size(), kNoNormal);
    for (const Triangle& t : triangles)
        for (std::uint32_t v : t.v) newIndex[v] = 0;
    MeshData result;
    for (std::size_t v = 0; v < vertices.size(); ++v) {
        if (newIndex[v] == kNoNormal) continue;
        newIndex[v] = static_cast<std::uint32_t>(result.vertices.size());
        result.vertices.push_back(vertices[v]);
    }
    if (result.vertices.size() > kMaxMeshVertices) {
        error = "mesh has " + std::to_string(result.vertices.size()) + " vertices; 16-bit indices reach " +
                std::to_string(kMaxMeshVertices);
        return std::nullopt;
    }
    result.indices.reserve(triangles.size() * 3);
    for (const Triangle& t : triangles)
        for (std::uint32_t v : t.v) result.indices.push_back(static_cast<std::uint16_t>(newIndex[v]));
    ComputeNormals(result);
    ComputeBoundingSphere(result.vertices, result.center, result.radius);
    return result;
}

std::optional<MeshData> LoadMeshFromX(std::span<const std::uint8_t> bytes, std::string& error) {
    const auto meshes = ReadXFile(bytes, error);
    if (!meshes) return std::nullopt;
    return BuildMesh(*meshes, error);
}

std::optional<MeshData> LoadMeshFromXFile(const std::filesystem::path& path, std::string& error) {
    const auto bytes = crt::ReadFileBytes(path, kMaxXFileBytes, error);
    if (!bytes) return std::nullopt;
    return LoadMeshFromX(*bytes, error);
}

}  // namespace gfx

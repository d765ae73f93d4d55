#include "platform/gfx/Mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tests/support/XFileWriter.h"

namespace gfx {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

constexpr const char* kTemplates = R"(xof 0303txt 0032
template Vector {
 <3D82AB5E-62DA-11cf-AB39-0020AF71E433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}
template Mesh {
 <3D82AB44-62DA-11cf-AB39-0020AF71E433>
 DWORD nVertices;
 array Vector vertices[nVertices];
 DWORD nFaces;
 array MeshFace faces[nFaces];
 [...]
}
)";

// The 8 corners of a cube of side 2 around (cx, 0, 0); six quads, clockwise
// seen from outside (the left-handed front-face winding).
std::string CornerCube(float cx) {
    std::ostringstream out;
    out << "Mesh Cube {\n 8;\n";
    for (int i = 0; i < 8; ++i)
        out << " " << (cx + ((i & 1) ? 1 : -1)) << ";" << ((i & 2) ? 1 : -1) << ";" << ((i & 4) ? 1 : -1) << (i < 7 ? ";," : ";;") << "\n";
    out << " 6;\n"
           " 4;0,2,3,1;,\n 4;4,5,7,6;,\n 4;0,1,5,4;,\n 4;2,6,7,3;,\n 4;0,4,6,2;,\n 4;1,3,7,5;;\n"
           " MeshMaterialList { 1; 1; 0;; { Red } }\n"
           "}\n";
    return out.str();
}

// The same cube with 4 vertices of its own per face (24).
std::string FaceCube() {
    const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    std::ostringstream out;
    out << "Mesh {\n 24;\n";
    for (int f = 0; f < 6; ++f)
        for (int c = 0; c < 4; ++c) {
            const int i = faces[f][c];
            out << ((i & 1) ? 1 : -1) << ";" << ((i & 2) ? 1 : -1) << ";" << ((i & 4) ? 1 : -1) << ((f * 4 + c < 23) ? ";," : ";;") << "\n";
        }
    out << " 6;\n";
    for (int f = 0; f < 6; ++f)
        out << " 4;" << f * 4 << "," << f * 4 + 1 << "," << f * 4 + 2 << "," << f * 4 + 3 << (f < 5 ? ";," : ";;") << "\n";
    out << " MeshTextureCoords { 24;";
    for (int i = 0; i < 24; ++i) out << " " << (i % 2) << ";" << (i % 4) / 2 << (i < 23 ? ";," : ";;");
    out << " }\n}\n";
    return out.str();
}

float Length(const math::Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

void ExpectUnitNormalsAndEnclosingSphere(const MeshData& mesh) {
    for (const MeshVertex& v : mesh.vertices) {
        EXPECT_NEAR(Length(v.normal), 1.0f, 1e-5f);
        EXPECT_LE(Length(v.position - mesh.center), mesh.radius + 1e-5f);
    }
}

MeshData Load(const std::string& text) {
    std::string error;
    auto mesh = LoadMeshFromX(Bytes(text), error);
    EXPECT_TRUE(mesh) << error;
    return mesh ? std::move(*mesh) : MeshData{};
}

TEST(MeshTest, CubeOfEightSharedCornersHasSmoothNormals) {
    const MeshData mesh = Load(std::string(kTemplates) + CornerCube(0));
    ASSERT_EQ(mesh.vertices.size(), 8u);
    EXPECT_EQ(mesh.FaceCount(), 12u);
    ExpectUnitNormalsAndEnclosingSphere(mesh);
    // Every corner's normal points out along its diagonal.
    for (const MeshVertex& v : mesh.vertices) {
        const math::Vec3 diagonal = v.position / Length(v.position);
        EXPECT_NEAR(v.normal.x, diagonal.x, 1e-5f);
        EXPECT_NEAR(v.normal.y, diagonal.y, 1e-5f);
        EXPECT_NEAR(v.normal.z, diagonal.z, 1e-5f);
    }
    EXPECT_NEAR(mesh.center.x, 0.0f, 1e-6f);
    EXPECT_NEAR(mesh.radius, std::sqrt(3.0f), 1e-5f);
    // Quads become fans in their stored (clockwise) order.
    EXPECT_EQ(std::vector<std::uint16_t>(mesh.indices.begin(), mesh.indices.begin() + 6),
              (std::vector<std::uint16_t>{0, 2, 3, 0, 3, 1}));
}

TEST(MeshTest, CubeOfTwentyFourVerticesHasFaceNormals) {
    const MeshData mesh = Load("xof 0303txt 0032\n" + FaceCube());
    ASSERT_EQ(mesh.vertices.size(), 24u);
    EXPECT_EQ(mesh.FaceCount(), 12u);
    ExpectUnitNormalsAndEnclosingSphere(mesh);
    // The first face lies at z = -1 and faces -z, towards a left-handed viewer.
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(mesh.vertices[i].position.z, -1.0f);
        EXPECT_NEAR(mesh.vertices[i].normal.z, -1.0f, 1e-6f);
    }
    // Texture coordinates as stored (v not flipped).
    EXPECT_EQ(mesh.vertices[2].texCoord.x, 0.0f);
    EXPECT_EQ(mesh.vertices[2].texCoord.y, 1.0f);
}

TEST(MeshTest, StoredNormalsSplitVerticesAndFramesPlaceMeshes) {
    // A triangle pair sharing an edge, the shared vertices stored with two
    // different normals, inside a frame that moves it by (10, 0, 0).
    const std::string text = std::string("xof 0303txt 0032\n") + R"(
Frame Root {
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }
 Frame Inner {
  FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,0,0,1;; }
  Mesh {
   4; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;0;;
   2; 3;0,2,1;, 3;1,2,3;;
   MeshNormals { 2; 0;0;-1;, 0;0;-1;; 2; 3;0,0,0;, 3;1,1,1;; }
  }
 }
}
)";
    const MeshData mesh = Load(text);
    EXPECT_EQ(mesh.vertices.size(), 6u);  // vertices 1 and 2 once per normal
    EXPECT_EQ(mesh.FaceCount(), 2u);
    // Scaled by 2 inside, then moved by 10.
    EXPECT_EQ(mesh.vertices[3].position.x, 12.0f);
    EXPECT_EQ(mesh.vertices[3].position.y, 2.0f);
    ExpectUnitNormalsAndEnclosingSphere(mesh);
}

TEST(MeshTest, SeveralMeshesBecomeOne) {
    const MeshData mesh = Load(std::string(kTemplates) + CornerCube(0) + CornerCube(10));
    EXPECT_EQ(mesh.vertices.size(), 16u);
    EXPECT_EQ(mesh.FaceCount(), 24u);
    EXPECT_NEAR(mesh.center.x, 5.0f, 1e-5f);
    ExpectUnitNormalsAndEnclosingSphere(mesh);
}

// The binary form of one triangle, floats of 32 bits.
std::vector<std::uint8_t> BinaryTriangle() {
    std::vector<std::uint8_t> out = Bytes("xof 0303bin 0032");
    auto word = [&](std::uint16_t v) { out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
    auto dword = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i))); };
    word(1); dword(4); out.insert(out.end(), {'M', 'e', 's', 'h'});
    word(1); dword(3); out.insert(out.end(), {'T', 'r', 'i'});
    word(10);
    word(6); dword(1); dword(3);
    word(7); dword(9);
    for (float f : {0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f}) { std::uint32_t bits; std::memcpy(&bits, &f, 4); dword(bits); }
    word(6); dword(5); dword(1); dword(3); dword(0); dword(1); dword(2);
    word(11);
    return out;
}

TEST(MeshTest, BinaryAndCompressedFormsRead) {
    std::string error;
    const auto binary = BinaryTriangle();
    const auto mesh = LoadMeshFromX(binary, error);
    ASSERT_TRUE(mesh) << error;
    EXPECT_EQ(mesh->vertices.size(), 3u);
    EXPECT_EQ(mesh->vertices[1].position.y, 1.0f);
    EXPECT_NEAR(mesh->vertices[0].normal.z, -1.0f, 1e-6f);  // (0,0,0) (0,1,0) (1,0,0) is clockwise from -z

    // tzip: the text form deflated into MSZIP blocks of at most 64 bytes.
    const std::string text = std::string(kTemplates).substr(16) + CornerCube(0);
    std::vector<std::string> blocks;
    for (std::size_t at = 0; at < text.size(); at += 64) blocks.push_back(text.substr(at, 64));
    const auto packed = x_file_writer::CompressedTextFile(blocks, text.size());
    const auto cube = LoadMeshFromX(packed, error);
    ASSERT_TRUE(cube) << error;
    EXPECT_EQ(cube->vertices.size(), 8u);
    // Inflated only as far as it is read, a cut or damaged compressed file is
    // still refused with the reason of its body.
    for (std::size_t size = 16; size < packed.size(); size += 7) {
        EXPECT_FALSE(LoadMeshFromX({packed.data(), size}, error)) << size;
        EXPECT_NE(error.find("compressed .X"), std::string::npos) << size << ": " << error;
    }
    auto damaged = packed;
    damaged[16 + 4 + 4] = 'X';  // the first block's "CK"
    EXPECT_FALSE(LoadMeshFromX(damaged, error));
    EXPECT_EQ(error, "damaged compressed .X block");
}

TEST(MeshTest, DamagedFilesAreRefusedWithoutHugeAllocations) {
    const std::string header = "xof 0303txt 0032\n";
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"not .X", "hello world, no mesh here"},
        {"bad format", "xof 0303abc 0032"},
        {"count past the file", header + "Mesh { 400000000; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }"},
        {"face count past the file", header + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 4000000000; 3;0,1,2;; }"},
        {"index out of range", header + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }"},
        {"two-corner face", header + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2;0,1;; }"},
        {"negative count", header + "Mesh { -3; 0;0;0;; }"},
        {"unclosed", header + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;"},
        {"number beyond float", header + "Mesh { 3; 1e300;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }"},
        {"no faces", header + "Frame { }"},
        {"normals for other faces", header + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; } }"},
        {"material past the list", header + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 4;; } }"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(LoadMeshFromX(Bytes(c.text), error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
    std::string deep = header;
    for (int i = 0; i < 1000; ++i) deep += "Frame {";
    std::string error;
    EXPECT_FALSE(LoadMeshFromX(Bytes(deep), error));
    EXPECT_EQ(error, "objects nested too deep");

    // Every cut of a binary file is refused.
    const auto binary = BinaryTriangle();
    for (std::size_t size = 0; size < binary.size(); ++size)
        EXPECT_FALSE(LoadMeshFromX({binary.data(), size}, error)) << size;
    // A binary list that claims more than the file holds.
    auto lying = binary;
    lying[16 + 2 + 4 + 4 + 2 + 4 + 3 + 2 + 2 + 4 + 4 + 2] = 0xFF;
    EXPECT_FALSE(LoadMeshFromX(lying, error));
}

// Stored positions past the limit are refused from their count; positions
// within it that their normals split into more vertices, once built.
TEST(MeshTest, MoreVerticesThanSixteenBitIndicesReachAreRefused) {
    // `count` triangles over positions 0, 1, 2, ..., the list run `times` times.
    auto faces = [](int count, int times) {
        std::ostringstream out;
        for (int t = 0; t < times; ++t)
            for (int f = 0; f < count; ++f)
                out << "3;" << 3 * f << "," << 3 * f + 1 << "," << 3 * f + 2 << ";"
                    << (t + 1 < times || f + 1 < count ? "," : ";");
        return out.str();
    };
    std::ostringstream stored;
    stored << "xof 0303txt 0032\nMesh {\n 65538;\n";
    for (int i = 0; i < 65538; ++i) stored << i << ";0;0;" << (i + 1 < 65538 ? "," : ";");
    stored << "\n 21846;\n" << faces(21846, 1) << "\n}\n";

    // 39999 positions, each used once with normal 0 and once with normal 1.
    std::ostringstream split;
    split << "xof 0303txt 0032\nMesh {\n 39999;\n";
    for (int i = 0; i < 39999; ++i) split << i << ";" << i % 7 << ";0;" << (i + 1 < 39999 ? "," : ";");
    split << "\n 26666;\n" << faces(13333, 2) << "\n MeshNormals { 2; 0;0;1;, 0;0;-1;; 26666;\n";
    for (int f = 0; f < 26666; ++f) split << (f < 13333 ? "3;0,0,0;" : "3;1,1,1;") << (f + 1 < 26666 ? "," : ";");
    split << " }\n}\n";

    for (const std::string& text : {stored.str(), split.str()}) {
        std::string error;
        EXPECT_FALSE(LoadMeshFromX(Bytes(text), error));
        EXPECT_NE(error.find("16-bit"), std::string::npos) << error;
    }
}

namespace memory {

// The process's resident size and its peak since the last reset, in bytes.
std::size_t StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with(field)) return std::stoul(line.substr(std::strlen(field))) * 1024;
    return 0;
}

} // namespace memory

// A small compressed file whose one mesh claims 9,000,000 positions and has
// no faces: refused from its counts without the memory they would take.
TEST(MeshTest, HostileCompressedMeshIsRefusedWithinBoundedMemory) {
    // Blocks of one repeated position; the same block stands for all of them.
    std::string positions;
    while (positions.size() + 7 <= 32768) positions += "0;0;0;,";
    const std::string head = "Mesh {\n 9000000;\n";
    const std::size_t truthful = head.size() + std::size_t(9000000) * 7 + 4;

    struct Case {
        const char* what;
        std::size_t bodySize;  // what the header announces
    };
    const Case cases[] = {
        {"announces the whole list", truthful},
        {"announces what the inflate limit allows", kMaxInflatedXBytes},
    };
    for (const Case& c : cases) {
        std::vector<std::string> blocks = {head};
        for (std::size_t at = head.size(); at < c.bodySize; at += positions.size())
            blocks.push_back(positions.substr(0, std::min(positions.size(), c.bodySize - at)));
        const auto file = x_file_writer::CompressedTextFile(blocks, c.bodySize);
        ASSERT_LT(file.size(), 1u << 20) << c.what;

        std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak where the kernel allows it
        const std::size_t before = memory::StatusBytes("VmRSS:");
        std::string error;
        EXPECT_FALSE(LoadMeshFromX(file, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        const std::size_t peak = memory::StatusBytes("VmHWM:");
        // Refused from its count after the first block: a few MB at most.
        EXPECT_LT(peak, before + (8u << 20)) << c.what << ": peak grew by " << (peak - before) / 1024 << " KB";
    }
}

}  // namespace
}  // namespace gfx

// Mesh items: the picture and mesh a link gives them, and the shared
// buffers a mesh hands to a batch.

#include <gtest/gtest.h>

#include "platform/gfx/Mesh.h"
#include "render/ABRenderItems.h"
#include "render/DocResManager.h"
#include "tests/render/DocResManagerTestSupport.h"
#include "tests/support/MeshObjectWriter.h"

namespace docres_test {
namespace {

using MeshItemTest = ManagerDeviceTest;

TEST_F(MeshItemTest, APlainPictureAndATextureSetBothGiveTheItemItsFirstTexture)
{
    struct Case {
        std::uint16_t id;
        std::size_t textures; // in the manager's entry for the link
    };
    // A plain picture is no set: the link's picture is loaded instead.
    for (const Case& c : {Case{kPictureId, 1}, Case{kTextureSetId, 3}}) {
        SCOPED_TRACE(c.id);
        const DS_ImageFileLink image(c.id, kTestModule);
        MeshItem item;
        item.LoadMesh(DS_MeshFile(kMeshId, kTestModule), image);
        ASSERT_NE(item.texture, nullptr);
        const TextureSetEntry& entry = manager->TextureSets().at(image.Key());
        ASSERT_EQ(entry.textures.size(), c.textures);
        EXPECT_EQ(item.texture.Get(), entry.textures.front().Get());
    }
}

TEST_F(MeshItemTest, TheMeshIsSharedAsATriangleListWithItsSphere)
{
    MeshItem item;
    item.LoadMesh(DS_MeshFile(kMeshId, kTestModule), DS_ImageFileLink(kPictureId, kTestModule));
    const LoadedMesh& mesh = manager->GetMesh(DS_MeshFile(kMeshId, kTestModule), kMeshVertexStride);
    ASSERT_TRUE(mesh.HasVertices());
    EXPECT_EQ(item.vertices.Buffer(), mesh.vertexBuffer.Get());
    EXPECT_EQ(item.indices.Buffer(), mesh.indexBuffer.Get());
    EXPECT_EQ(item.vertices.VertexCount(), mesh.vertexCount);
    EXPECT_EQ(item.indices.PrimitiveCount(), mesh.faceCount);
    EXPECT_EQ(item.vertices.Stride(), kMeshVertexStride);
    EXPECT_EQ(item.vertices.Fvf(), gfx::kMeshVertexFvf);
    EXPECT_EQ(item.vertices.PrimitiveType(), gfx::PrimitiveType::TriangleList);
    EXPECT_EQ(item.header.boundingRadius, mesh.radius);
    EXPECT_EQ(item.LockQuads(), nullptr) << "a mesh is never filled as quads";

    // A copy shares the buffers; a missing mesh leaves the item empty.
    const MeshItem copy = item;
    EXPECT_EQ(copy.vertices.Buffer(), item.vertices.Buffer());
    item.LoadMesh(DS_MeshFile(kMeshId, kMissingModule), DS_ImageFileLink());
    EXPECT_FALSE(item.HasBuffers());
    EXPECT_EQ(item.texture, nullptr);
    EXPECT_EQ(item.header.boundingRadius, 0.0f);
    EXPECT_TRUE(copy.HasBuffers());
}

TEST_F(MeshItemTest, OurLeafHasTheSphereTheDriftingCopiesAreScaledBy)
{
    // The drifting copies scale the mesh by size / 2 / radius and turn it
    // about the sphere's centre: pinned here for the leaf our documents store.
    LoadedMesh leaf;
    ASSERT_TRUE(LoadMeshFromMemory(mesh_object_writer::LeafMeshBytes(), kMeshVertexStride, leaf));
    EXPECT_EQ(leaf.vertexCount, 4);
    EXPECT_EQ(leaf.faceCount, 2);
    EXPECT_NEAR(leaf.center.x, 45.0f, 1e-4f);
    EXPECT_NEAR(leaf.center.y, 0.0f, 1e-4f);
    EXPECT_NEAR(leaf.radius, 55.0f, 1e-4f);
}

} // namespace
} // namespace docres_test

// The texture and mesh cache beneath the resource managers.

#include "render/ResourceCache.h"

#include <gtest/gtest.h>

#include "tests/render/DocResManagerTestSupport.h"

namespace docres_test {
namespace {

class ResourceCacheTest : public DeviceTest {
protected:
    ResourceCache cache;
};

ModuleResourceBlob WithBytes(ModuleResourceBlob blob, std::vector<std::uint8_t> bytes)
{
    blob.SetBytes(std::move(bytes));
    return blob;
}

TEST_F(ResourceCacheTest, TexturesAreCachedBySourceAndTheSameTextureComesBack)
{
    // A module resource: loaded once, then the cached texture.
    const ModuleResourceBlob module(kPictureId, kTestModule);
    const TextureRef first = cache.GetTexture(module);
    ASSERT_TRUE(first.HasTexture());
    EXPECT_EQ(cache.GetTexture(module).texture, first.texture);
    EXPECT_EQ(first.texture->ReferenceCount(), 2u); // the cache's and ours

    // A file on disk: cached under its path.
    const auto path = TestModuleFolder() / "picture.bmp";
    WriteFile(path, SolidBmp(30, 20, 0x123456));
    const ModuleResourceBlob file(crt::FromUtf8(path.string()));
    const TextureRef fromFile = cache.GetTexture(file);
    ASSERT_TRUE(fromFile.HasTexture());
    EXPECT_EQ(fromFile.width, 30u);
    EXPECT_FLOAT_EQ(fromFile.ratio, 20.0f / 30.0f);
    EXPECT_EQ(cache.GetTexture(file).texture, fromFile.texture);

    // A named record with bytes is made each time, never cached.
    const ModuleResourceBlob stored = WithBytes(ModuleResourceBlob(u"stored.bmp"), SolidBmp(4, 4, 0));
    EXPECT_NE(cache.GetTexture(stored).texture, cache.GetTexture(stored).texture);
    EXPECT_EQ(cache.TextureCount(), 2u);
}

TEST_F(ResourceCacheTest, ModuleRecordsFallBackToTheirOwnBytes)
{
    struct Case {
        const char16_t* module;
        std::int32_t id;
        bool withBytes;
        std::uint32_t width, height; // 0: no texture
    };
    const Case cases[] = {
        {kTestModule, kPictureId, true, 100, 50},       // the module's picture wins
        {kTestModule, 1234, true, 7, 7},                // the module lacks it: the bytes
        {kMissingModule, kPictureId, true, 7, 7},       // no module: the bytes
        {kMissingModule, kPictureId + 1, false, 0, 0},  // nothing at all: an empty entry
        {u"", kPictureId, false, 0, 0},                 // the program has no "DDS" 5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(crt::ToUtf8(c.module) + " " + std::to_string(c.id));
        ModuleResourceBlob record(c.id, c.module);
        if (c.withBytes)
            record.SetBytes(SolidBmp(7, 7, 0xABCDEF));
        const TextureRef texture = cache.GetTexture(record);
        EXPECT_EQ(texture.HasTexture(), c.width != 0);
        EXPECT_EQ(texture.width, c.width);
        EXPECT_EQ(texture.height, c.height);
    }
    EXPECT_EQ(cache.GetBuiltinTexture(), nullptr);
}

TEST_F(ResourceCacheTest, ModulesAreFoundByFileNameAndAMissingOneIsNotRemembered)
{
    EXPECT_EQ(cache.FindModule(u""), std::optional<ResourceModuleHandle>(nullptr));
    const auto module = cache.FindModule(kTestModule);
    ASSERT_TRUE(module && *module);
    EXPECT_EQ((*module)->FileName(), "docres_test.dll");
    // A path with a folder names the same module by its file name.
    EXPECT_EQ(cache.FindModule(u"C:\\elsewhere\\docres_test.dll"), module);
    EXPECT_FALSE(cache.FindModule(kMissingModule));

    const auto late = TestModuleFolder() / "docres_late.dll";
    EXPECT_FALSE(cache.FindModule(u"docres_late.dll"));
    WriteFile(late, BuildPack({{win::ResourceType("DDS"), 1, SolidBmp(2, 2, 0)}}));
    EXPECT_TRUE(cache.FindModule(u"docres_late.dll"));
}

TEST_F(ResourceCacheTest, MeshesAreCachedByModuleAndId)
{
    const ModuleResourceBlob test(kMeshId, kTestModule);
    const ModuleResourceBlob other(kMeshId, kOtherModule);
    const LoadedMesh first = cache.GetMesh(test, 32);
    const LoadedMesh second = cache.GetMesh(other, 32);
    ASSERT_TRUE(first.HasVertices());
    ASSERT_TRUE(second.HasVertices());
    // The same id in two modules: two meshes.
    EXPECT_NE(first.vertexBuffer, second.vertexBuffer);
    EXPECT_LT(first.radius, second.radius);
    // The same record: the same mesh.
    EXPECT_EQ(cache.GetMesh(test, 32).vertexBuffer, first.vertexBuffer);
    EXPECT_EQ(cache.MeshCount(), 2u);

    // A record without a module is its own mesh, made each time.
    const ModuleResourceBlob stored = WithBytes(ModuleResourceBlob(u"fish.x"), TetrahedronX(5.0f));
    const LoadedMesh own = cache.GetMesh(stored, 32);
    ASSERT_TRUE(own.HasVertices());
    EXPECT_GT(own.radius, second.radius);
    EXPECT_NE(cache.GetMesh(stored, 32).vertexBuffer, own.vertexBuffer);
    // A module without the mesh gives none, and nothing is cached for it.
    EXPECT_FALSE(cache.GetMesh(ModuleResourceBlob(kPictureId + 100, kTestModule), 32).HasVertices());
    EXPECT_EQ(cache.MeshCount(), 2u);
    // ... but a record that carries bytes shows them, as a picture does.
    const ModuleResourceBlob carried = WithBytes(ModuleResourceBlob(kPictureId + 100, kTestModule), TetrahedronX(5.0f));
    const LoadedMesh fallback = cache.GetMesh(carried, 32);
    ASSERT_TRUE(fallback.HasVertices());
    EXPECT_NEAR(fallback.radius, own.radius, 1e-5f);
    EXPECT_EQ(cache.MeshCount(), 2u);
}

} // namespace
} // namespace docres_test

// Loading by link: pictures, texture sets, animated pictures, raw data,
// meshes and effects, from the document's stored records, resource modules,
// the program's own resources and files.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/win/ProgramResources.h"
#include "render/DocResManager.h"
#include "render/SharedResource.h"
#include "tests/render/DocResManagerTestSupport.h"

namespace docres_test {
namespace {

// Resources of the program itself. The ids are chosen so that no module
// holds them: a load that finds them came from the program.
constexpr std::uint16_t kProgramPictureId = 4242;
constexpr std::uint16_t kProgramEffectId = 4243;
const std::vector<std::uint8_t> g_programPicture = SolidBmp(20, 10, 0x00FF00);
const std::vector<std::uint8_t> g_programEffect = BlurEffectBytes();
const win::ProgramResourceRegistration g_programPictureRegistration(win::ResourceType("DDS"), kProgramPictureId,
                                                                    g_programPicture.data(),
                                                                    g_programPicture.size());
const win::ProgramResourceRegistration g_programEffectRegistration(win::ResourceType(win::RT_RCDATA), kProgramEffectId,
                                                                   g_programEffect.data(), g_programEffect.size());

using DocResManagerLoadingTest = ManagerDeviceTest;

TEST_F(DocResManagerLoadingTest, AModulePictureLoadsOnceWithItsOwnSize)
{
    const DS_ImageFileLink link(kPictureId, kTestModule);
    TextureSetEntry& entry = manager->GetTexture(link);
    ASSERT_TRUE(entry.HasTexture());
    EXPECT_EQ(entry.width, 100u);
    EXPECT_EQ(entry.height, 50u);
    EXPECT_FLOAT_EQ(entry.ratio, 0.5f);
    EXPECT_EQ(entry.textures[0]->Width(), 128u);
    EXPECT_EQ(entry.textures[0]->Height(), 64u);
    EXPECT_EQ(TexturePixel(entry.textures[0].Get(), 127, 63), 0xFFFF0000u); // stretched over the texture
    const TextureRef first = entry.GetFirst();
    EXPECT_EQ(first.texture, entry.textures[0]);
    EXPECT_EQ(first.width, 100u);

    // The second request returns the same entry and texture.
    gfx::Texture* texture = entry.textures[0].Get();
    TextureSetEntry& again = manager->GetTexture(DS_FileLink3(kPictureId, kTestModule));
    EXPECT_EQ(&again, &entry);
    EXPECT_EQ(again.textures[0].Get(), texture);
    // An upper-case extension names a module too (here a file name that
    // does not exist: file names are case-sensitive).
    const TextureSetEntry& upper = manager->GetTexture(DS_FileLink3(kPictureId, u"DOCRES_TEST.DLL"));
    EXPECT_FALSE(upper.HasTexture()); // "DOCRES_TEST.DLL" is another file name
    EXPECT_EQ(manager->ResourceRecordMap().at({u"DOCRES_TEST.DLL", kPictureId}).size(), 1u);
}

TEST_F(DocResManagerLoadingTest, PicturesComeFromTheProgramModulesOrTheDocument)
{
    struct Case {
        const char16_t* path;
        std::int64_t id;
        bool loads;
        std::uint32_t width;
    };
    const Case cases[] = {
        {u"", kProgramPictureId, true, 20},          // empty path: the program itself
        {kTestModule, kProgramPictureId, false, 0},  // not in the module; never the program's
        {kMissingModule, kPictureId, false, 0},      // a module that does not exist
        {u"C:\\pics\\sky.bmp", 5, false, 0},         // a file the document did not store
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(crt::ToUtf8(c.path));
        const TextureSetEntry& entry = manager->GetTexture(DS_FileLink3(static_cast<std::int32_t>(c.id), c.path));
        EXPECT_EQ(entry.HasTexture(), c.loads);
        EXPECT_EQ(entry.width, c.width);
    }
}

TEST_F(DocResManagerLoadingTest, StoredPicturesComeBeforeModulesAndFiles)
{
    DocResManagerRecord record;
    ModuleResourceBlob stored(u"sky.bmp");
    stored.SetBytes(SolidBmp(10, 10, 0x0000FF));
    record.textureSetRecords[{u"C:\\pics\\sky.bmp", 5}] = {stored};
    // A module record with bytes: the module lacks the picture, so its
    // bytes are used.
    ModuleResourceBlob fallback(99, kTestModule);
    fallback.SetBytes(SolidBmp(6, 3, 0xFFFF00));
    record.textureSetRecords[{kTestModule, 99}] = {fallback};
    const SceneDocument document = ReadDocument(record);
    DS_DocResManager& read = ManagerOf(document);

    const TextureSetEntry& sky = read.GetTexture(DS_FileLink3(5, u"C:\\pics\\sky.bmp"));
    ASSERT_TRUE(sky.HasTexture());
    EXPECT_EQ(TexturePixel(sky.textures[0].Get(), 0, 0), 0xFF0000FFu);
    const TextureSetEntry& module = read.GetTexture(DS_FileLink3(99, kTestModule));
    ASSERT_TRUE(module.HasTexture());
    EXPECT_EQ(module.width, 6u);
}

TEST_F(DocResManagerLoadingTest, ATextureSetResourceGivesItsPicturesAndValues)
{
    const TextureSetEntry& set = manager->GetTextureSet(DS_FileLink3(kTextureSetId, kTestModule));
    ASSERT_EQ(set.textures.size(), 3u);
    EXPECT_TRUE(set.textures[0] && set.textures[1] && set.textures[2]);
    EXPECT_EQ(set.values, (std::vector<std::uint32_t>{40, 60}));
    // The size is that of the last picture: the module's red one.
    EXPECT_EQ(set.width, 100u);
    EXPECT_EQ(TexturePixel(set.textures[1].Get(), 0, 0), 0xFF0000FFu);
    EXPECT_EQ(manager->ResourceRecordMap().at({kTestModule, kTextureSetId}).size(), 3u);

    // A resource that is no texture set, or none at all, leaves the entry.
    EXPECT_FALSE(manager->GetTextureSet(DS_FileLink3(kPictureId, kTestModule)).HasTexture());
    EXPECT_FALSE(manager->GetTextureSet(DS_FileLink3(kTextureSetId, kMissingModule)).HasTexture());
}

TEST_F(DocResManagerLoadingTest, AnimatedPicturesFromStoredFramesKeepTheirSizeOrStretch)
{
    DocResManagerRecord record;
    record.frames[{u"C:\\anim\\flock.GIF", 3}] = {{SolidGif(100, 50, 0xFF0000), 0.1f}, {SolidGif(100, 50, 0x00FF00), 0.2f}};
    record.frames[{u"C:\\anim\\walk.bmp", 4}] = {{SolidBmp(100, 50, 0x0000FF), 0.5f}};
    const SceneDocument document = ReadDocument(record);
    DS_DocResManager& read = ManagerOf(document);

    const SpriteFrameInfo& gif = read.GetAnimatedTexture(DS_FileLink3(3, u"C:\\anim\\flock.GIF"), kFrameFilterNone);
    ASSERT_EQ(gif.frameTextures.size(), 2u);
    EXPECT_EQ(gif.frameTextures[0]->GetFormat(), gfx::Format::DXT1);
    EXPECT_EQ(gif.frameDurations, (std::vector<float>{0.1f, 0.2f}));
    EXPECT_EQ(gif.sourceWidth, 100u);
    EXPECT_EQ(gif.textureWidth, 128u);
    EXPECT_EQ(gif.textureHeight, 64u);
    EXPECT_FLOAT_EQ(gif.uScale, 0.78125f);
    EXPECT_FLOAT_EQ(gif.vScale, 0.78125f);
    EXPECT_FLOAT_EQ(gif.ratio, 0.5f);
    // The same list comes back without loading again.
    EXPECT_EQ(&read.GetAnimatedTexture(DS_FileLink3(3, u"C:\\anim\\flock.GIF"), kFrameFilterNone), &gif);

    const SpriteFrameInfo& bmp = read.GetAnimatedTexture(DS_FileLink3(4, u"C:\\anim\\walk.bmp"), kFrameFilterDefault);
    ASSERT_EQ(bmp.frameTextures.size(), 1u);
    EXPECT_NE(bmp.frameTextures[0]->GetFormat(), gfx::Format::DXT1);
    EXPECT_FLOAT_EQ(bmp.uScale, 1.0f);
    EXPECT_FLOAT_EQ(bmp.vScale, 1.0f);
    EXPECT_FLOAT_EQ(bmp.ratio, 0.5f);
}

// The clock times, on a 10 ms tick over two seconds, at which a stepper
// moved to another frame.
std::vector<float> FrameChangeTimes(SpriteFrameInfo frames)
{
    std::vector<float> changes;
    for (int tick = 1; tick <= 200; ++tick) {
        const float time = float(tick) * 0.01f;
        if (frames.StepForward(time))
            changes.push_back(time);
    }
    return changes;
}

// An animated picture registered for writing stores its frame times as
// texture-set values; read back, the values keep their fractions, and a
// texture set stored with them changes frames every tenth of a second.
TEST_F(DocResManagerLoadingTest, FrameTimesKeepTheirFractionsThroughADocument)
{
    const DS_FileLink3 animated(3, u"C:\\anim\\flock.gif");
    const LinkKey stills{u"C:\\anim\\stills.bmp", 4};
    DocResManagerRecord original;
    for (const std::uint32_t rgb : {0xFF0000u, 0x00FF00u, 0x0000FFu})
        original.frames[animated.Key()].push_back({SolidGif(8, 8, rgb), 0.1f});
    const SceneDocument first = ReadDocument(original);
    DS_DocResManager& writer = ManagerOf(first);
    ASSERT_TRUE(writer.GetAnimatedTexture(animated, kFrameFilterNone).HasTexture());
    writer.RegisterImage(animated);
    ASSERT_EQ(writer.TextureSetValues().count(animated.Key()), 1u);
    const std::vector<std::uint32_t> values = writer.TextureSetValues().at(animated.Key());
    EXPECT_EQ(values, std::vector<std::uint32_t>(3, FrameTimeValue(0.1f)));

    // What a writer stores from the registration, and a texture set of
    // three pictures that carries the same values.
    DocResManagerRecord written;
    written.textureSetValues = writer.TextureSetValues();
    for (const FrameData& frame : writer.PendingFrameData().at(animated.Key()))
        written.frames[animated.Key()].push_back({{frame.Bytes().begin(), frame.Bytes().end()}, frame.frameTime});
    for (const std::uint32_t rgb : {0xFF0000u, 0x00FF00u, 0x0000FFu}) {
        ModuleResourceBlob picture(u"still.bmp");
        picture.SetBytes(SolidBmp(8, 8, rgb));
        written.textureSetRecords[stills].push_back(picture);
    }
    written.textureSetValues[stills] = values;
    const SceneDocument second = ReadDocument(written);
    DS_DocResManager& reader = ManagerOf(second);

    for (const std::uint32_t value : reader.TextureSetValues().at(animated.Key()))
        EXPECT_FLOAT_EQ(FrameTimeOfValue(value), 0.1f);
    const SpriteFrameInfo& read = reader.GetAnimatedTexture(animated, kFrameFilterNone);
    EXPECT_EQ(read.frameDurations, std::vector<float>(3, 0.1f));

    SpriteFrameInfo set;
    set.Init(reader.TextureSets().at(stills));
    ASSERT_EQ(set.FrameCount(), 3u);
    for (const auto& frames : {read, set}) {
        const std::vector<float> changes = FrameChangeTimes(frames);
        ASSERT_GE(changes.size(), 15u) << "frames change about every tenth of a second";
        float previous = 0.0f;
        for (const float change : changes) {
            EXPECT_GT(change - previous, 0.1f - 1e-4f);
            EXPECT_LE(change - previous, 0.12f + 1e-4f);
            previous = change;
        }
    }
}

TEST_F(DocResManagerLoadingTest, AnimatedPicturesFromModulesAndMissingSources)
{
    const SpriteFrameInfo& module = manager->GetAnimatedTexture(DS_FileLink3(kPictureId, kTestModule), kFrameFilterNone);
    ASSERT_EQ(module.frameTextures.size(), 1u);
    EXPECT_EQ(module.sourceWidth, 100u);
    EXPECT_EQ(manager->FrameDataMap().at({kTestModule, kPictureId})[0].name, u""); // no backslash in the path

    // A GIF that the document did not store, a missing file, a missing
    // module: no textures, the constructor's sizes, and asked again later.
    for (const DS_FileLink3& link : {DS_FileLink3(1, u"C:\\anim\\none.gif"), DS_FileLink3(2, u"/no/such/file.png"),
                                     DS_FileLink3(kPictureId, kMissingModule)}) {
        const SpriteFrameInfo& list = manager->GetAnimatedTexture(link, kFrameFilterNone);
        EXPECT_TRUE(list.frameTextures.empty());
        EXPECT_FLOAT_EQ(list.ratio, 1.0f);
        EXPECT_EQ(list.textureWidth, 0u);
        EXPECT_TRUE(manager->FrameDataMap().at(link.Key()).empty());
    }
}

TEST_F(DocResManagerLoadingTest, RawResourceDataComesFromTheDocumentOrTheModule)
{
    const ModuleResourceBlob* sound = manager->GetResourceData(DS_FileLink3(kSoundId, kTestModule));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->Size(), 4);
    EXPECT_EQ(manager->GetResourceData(DS_FileLink3(kSoundId, kMissingModule)), nullptr);
    EXPECT_EQ(manager->GetResourceData(DS_FileLink3(kProgramPictureId, u"")), nullptr);
    EXPECT_EQ(manager->GetResourceData(DS_FileLink3(1, u"C:\\sounds\\rain.wav")), nullptr);
}

TEST_F(DocResManagerLoadingTest, StoredRecordsFillFromModulesOnlyNeverFromTheProgram)
{
    ModuleResourceBlob module(kSoundId, kTestModule);
    EXPECT_TRUE(module.LoadFromModule());
    EXPECT_EQ(module.Size(), 4);
    ModuleResourceBlob missing(kProgramEffectId, kMissingModule);
    EXPECT_FALSE(missing.LoadFromModule());
    ModuleResourceBlob program(kProgramEffectId, u"");
    EXPECT_FALSE(program.LoadFromModule());
    EXPECT_TRUE(program.IsEmpty());
}

TEST_F(DocResManagerLoadingTest, MeshesComeFromStoredBytesBeforeTheModule)
{
    // The module holds a tetrahedron of size 1; the document stores one of
    // size 2 for the same link.
    DocResManagerRecord record;
    ModuleResourceBlob stored(kMeshId, kTestModule);
    stored.SetBytes(TetrahedronX(2.0f));
    record.storedResources[{kTestModule, kMeshId}] = {stored};
    const SceneDocument document = ReadDocument(record);
    DS_DocResManager& read = ManagerOf(document);

    const LoadedMesh& mesh = read.GetMesh(DS_FileLink3(kMeshId, kTestModule), 32);
    ASSERT_TRUE(mesh.HasVertices());
    EXPECT_EQ(mesh.faceCount, 4);
    EXPECT_GT(mesh.radius, 1.0f); // the size-2 mesh's sphere
    EXPECT_EQ(mesh.vertexBuffer->Size(), std::uint32_t(mesh.vertexCount) * 32);
    EXPECT_EQ(mesh.indexBuffer->Size(), std::uint32_t(mesh.faceCount) * 6);
    EXPECT_EQ(&read.GetMesh(DS_FileLink3(kMeshId, kTestModule), 32), &mesh);

    // Without stored bytes the module's mesh.
    const LoadedMesh& module = manager->GetMesh(DS_FileLink3(kMeshId, kTestModule), 32);
    ASSERT_TRUE(module.HasVertices());
    EXPECT_LT(module.radius, mesh.radius);
    // Nothing anywhere: an empty mesh.
    EXPECT_FALSE(manager->GetMesh(DS_FileLink3(kMeshId, kMissingModule), 32).HasVertices());
}

TEST_F(DocResManagerLoadingTest, MeshVerticesNeverReadPastTheLoadedData)
{
    // Each vertex is 32 bytes as loaded: a larger stride is zero-filled past
    // them, a smaller one takes their start.
    LoadedMesh narrow, wide;
    ASSERT_TRUE(LoadMeshFromMemory(TetrahedronX(1.0f), 12, narrow));
    ASSERT_TRUE(LoadMeshFromMemory(TetrahedronX(1.0f), 48, wide));
    ASSERT_EQ(narrow.vertexCount, wide.vertexCount);
    const std::uint8_t* n = narrow.vertexBuffer->Bytes();
    const std::uint8_t* w = wide.vertexBuffer->Bytes();
    for (std::int32_t i = 0; i < wide.vertexCount; ++i) {
        EXPECT_EQ(std::memcmp(n + i * 12, w + i * 48, 12), 0);
        for (int extra = 32; extra < 48; ++extra)
            EXPECT_EQ(w[i * 48 + extra], 0);
    }
    LoadedMesh none;
    EXPECT_FALSE(LoadMeshFromMemory(TetrahedronX(1.0f), 0, none));
    EXPECT_FALSE(LoadMeshFromMemory(std::vector<std::uint8_t>{'x', 'o', 'f'}, 32, none));
    EXPECT_FALSE(none.HasVertices());
}

TEST_F(DocResManagerLoadingTest, EffectsComeFromTheModuleThenTheDocumentNeverTheProgram)
{
    gfx::Ref<gfx::Effect> effect = manager->GetEffect(DS_FileLink3(kEffectId, kTestModule));
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->SetTechnique("GaussianBlurH"), gfx::kOk);
    EXPECT_EQ(manager->GetEffect(DS_FileLink3(kEffectId, kTestModule)), effect);

    // The module has no effect 77: the bytes the document stored are used.
    DocResManagerRecord record;
    ModuleResourceBlob stored(77, kTestModule);
    stored.SetBytes(BlurEffectBytes());
    record.storedResources[{kTestModule, 77}] = {stored};
    // HLSL of another platform stored for a link without a module: no effect.
    ModuleResourceBlob hlsl(u"water.fx");
    const std::string text = "technique T { pass P { PixelShader = compile ps_2_0 Main(); } }";
    hlsl.SetBytes({text.begin(), text.end()});
    record.storedResources[{u"water.fx", 1}] = {hlsl};
    const SceneDocument document = ReadDocument(record);
    DS_DocResManager& read = ManagerOf(document);
    EXPECT_NE(read.GetEffect(DS_FileLink3(77, kTestModule)), nullptr);
    EXPECT_EQ(read.GetEffect(DS_FileLink3(1, u"water.fx")), nullptr);

    // A module that cannot be loaded, or the empty path, never reaches the
    // program's own effect of the same id.
    EXPECT_EQ(manager->GetEffect(DS_FileLink3(kProgramEffectId, kMissingModule)), nullptr);
    EXPECT_EQ(manager->GetEffect(DS_FileLink3(kProgramEffectId, u"")), nullptr);
    EXPECT_EQ(manager->Effects().size(), 3u);
}

TEST_F(DocResManagerLoadingTest, PicturesOfOldSpriteRecordsBecomeImageLinks)
{
    // A picture stored whole: a link numbered by the process-wide counter,
    // its record kept, its texture loaded.
    ModuleResourceBlob sprite(u"sprite.bmp");
    sprite.SetBytes(SolidBmp(40, 10, 0xFF00FF));
    const DS_ImageFileLink link = manager->ImportLegacyBlob(sprite);
    EXPECT_EQ(link.Path(), u"sprite.bmp");
    const TextureSetEntry& entry = manager->GetTexture(link);
    ASSERT_TRUE(entry.HasTexture());
    EXPECT_FLOAT_EQ(entry.ratio, 0.25f);
    EXPECT_EQ(manager->ResourceRecordMap().at(link.Key()).front().Name(), u"sprite.bmp");

    // A module picture keeps its module link.
    EXPECT_EQ(manager->ImportLegacyBlob(ModuleResourceBlob(kPictureId, kTestModule)).Key(),
              (LinkKey{kTestModule, kPictureId}));

    // A texture set stored whole: every picture, its records and its values.
    ModuleResourceBlob second(u"frame2.bmp");
    second.SetBytes(SolidBmp(8, 8, 0));
    const DS_ImageFileLink set = manager->ImportLegacyTextureSet({sprite, second}, {100, 250});
    EXPECT_NE(set.Id(), link.Id());
    const TextureSetEntry& frames = manager->GetTexture(set);
    EXPECT_EQ(frames.textures.size(), 2u);
    EXPECT_EQ(frames.values, (std::vector<std::uint32_t>{100, 250}));
    EXPECT_EQ(manager->ResourceRecordMap().at(set.Key()).size(), 2u);
    EXPECT_EQ(manager->ImportLegacyTextureSet({}, {}).Key(), (LinkKey{}));
}

TEST_F(DocResManagerLoadingTest, SharedRenderTargetsAreMadeOnceAndSeededFromTheGuidTexture)
{
    const std::uint8_t bytes[16] = {7};
    const GuidNameKey key{crt::GuidFromBytes(bytes), u"ripples", 0};
    RenderTargetPair* plain = manager->GetSharedRenderTarget(key);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->Width(), kSharedRenderTargetSize);
    EXPECT_EQ(plain->Height(), kSharedRenderTargetSize);
    EXPECT_EQ(manager->GetSharedRenderTarget(key), plain);

    const std::uint8_t seededBytes[16] = {8};
    const GuidNameKey seededKey{crt::GuidFromBytes(seededBytes), u"", 0};
    manager->GetGuidTexture(seededKey) = LoadTextureFromMemory(SolidBmp(8, 8, 0x00FF00)).texture;
    RenderTargetPair* seeded = manager->GetSharedRenderTarget(seededKey);
    std::vector<std::uint32_t> pixels;
    ASSERT_EQ(device->ReadPixels(seeded->CurrentTexture()->SurfaceLevel(0).Get(), &pixels), gfx::kOk);
    EXPECT_EQ(pixels[256 * 512 + 256], 0xFF00FF00u);

    // Lost: the textures go, the size stays; reset: made again and seeded.
    manager->OnLostDevice();
    EXPECT_FALSE(seeded->HasTextures());
    EXPECT_EQ(device->DefaultPoolResourceCount(), 0u);
    manager->OnResetDevice();
    ASSERT_TRUE(seeded->HasTextures());
    EXPECT_EQ(seeded->Width(), kSharedRenderTargetSize);
    ASSERT_EQ(device->ReadPixels(seeded->CurrentTexture()->SurfaceLevel(0).Get(), &pixels), gfx::kOk);
    EXPECT_EQ(pixels[10], 0xFF00FF00u);
}

} // namespace
} // namespace docres_test

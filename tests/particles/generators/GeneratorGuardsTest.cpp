// What a textured generator resolves when its render object is built: the
// effect of its link (the built-in blend effect for bytes this platform
// cannot run) and its textures, as plain pictures or as texture sets.

#include <gtest/gtest.h>

#include "particles/generators/ParticlesObj.h"
#include "platform/win/ProgramResources.h"
#include "render/BuiltinEffects.h"
#include "tests/particles/generators/GeneratorTestSupport.h"
#include "tests/render/PictureSceneTestSupport.h"
#include "tests/support/RenderRecordWriter.h"

namespace picture_scene_test {
namespace {

using generator_test::TestTexGenerator;

const LinkKey kForeignEffectLink{u"fx\\hlsl.fx", 41};
const LinkKey kOwnEffectLink{u"fx\\own.fx", 42};
const LinkKey kMissingEffectLink{u"fx\\missing.fx", 43};

// Pictures of the program itself (an empty link path): a plain picture and
// a texture set of two pictures with the values 40 and 60. The ids are
// chosen so that no module holds them.
constexpr std::uint16_t kProgramPictureId = 4311;
constexpr std::uint16_t kProgramSetId = 4312;

std::vector<std::uint8_t> ProgramSetBytes()
{
    ModuleResourceBlob green(u"green.bmp");
    green.SetBytes(docres_test::SolidBmp(16, 16, 0x00FF00));
    ModuleResourceBlob blue(u"blue.bmp");
    blue.SetBytes(docres_test::SolidBmp(32, 8, 0x0000FF));
    return TextureSetResourceBytes({40, 60}, {green, blue});
}

const std::vector<std::uint8_t> g_programPicture = docres_test::SolidBmp(20, 10, 0xFF0000);
const std::vector<std::uint8_t> g_programSet = ProgramSetBytes();
const win::ProgramResourceRegistration g_pictureRegistration(win::ResourceType("DDS"), kProgramPictureId,
                                                             g_programPicture.data(), g_programPicture.size());
const win::ProgramResourceRegistration g_setRegistration(win::ResourceType("DDS"), kProgramSetId, g_programSet.data(),
                                                         g_programSet.size());

ModuleResourceBlob StoredBytes(std::u16string_view name, std::span<const std::uint8_t> bytes)
{
    ModuleResourceBlob blob{kxi_string(name)};
    blob.SetBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return blob;
}

class GeneratorGuardsTest : public PictureSceneTest {
protected:
    // The generator clone of a render object built from `generator`.
    static TestTexGenerator& Built(DS_ParticlesObj& object) { return static_cast<TestTexGenerator&>(*object.Generator()); }
};

TEST_F(GeneratorGuardsTest, ForeignEffectBytesGiveTheBuiltinBlendEffect)
{
    const std::string_view hlsl = "technique T { pass P { PixelShader = compile ps_2_0 Glow(); } }";
    DocResManagerRecord record;
    record.storedResources[kForeignEffectLink] = {
        StoredBytes(u"hlsl.fx", {reinterpret_cast<const std::uint8_t*>(hlsl.data()), hlsl.size()})};
    record.storedResources[kOwnEffectLink] = {StoredBytes(u"own.fx", FindBuiltinEffectSource("generator-blend"))};
    DocumentWriter writer;
    writer.DocResManager(record);
    MemoryArchive archive(writer.Bytes());
    ReadDocResManagerRecord(archive.Reader(), *manager);
    gfx::Effect* builtin = manager->GetBuiltinEffect(DS_TexParticleGenerator::kBuiltinEffect).Get();
    ASSERT_NE(builtin, nullptr);

    enum class Expect { Builtin, Own, None };
    const std::pair<LinkKey, Expect> cases[] = {
        {kForeignEffectLink, Expect::Builtin},
        {kOwnEffectLink, Expect::Own},
        {kMissingEffectLink, Expect::None},
        {LinkKey{u"", 0}, Expect::None},
    };
    for (const auto& [link, expect] : cases) {
        SCOPED_TRACE(std::string(link.path.begin(), link.path.end()));
        TestTexGenerator generator;
        generator.effectLink.StorePathAndId(link.path, link.id);
        DS_ParticlesObj object(generator.Clone());
        gfx::Effect* effect = Built(object).effect.Get();
        EXPECT_EQ(generator.effect.Get(), nullptr) << "only the clone resolves";
        switch (expect) {
        case Expect::Builtin:
            EXPECT_EQ(effect, builtin);
            break;
        case Expect::Own:
            ASSERT_NE(effect, nullptr);
            EXPECT_NE(effect, builtin);
            EXPECT_EQ(effect->SetTechnique("JoinMask"), gfx::kOk);
            break;
        case Expect::None:
            EXPECT_EQ(effect, nullptr);
            break;
        }
    }
}

TEST_F(GeneratorGuardsTest, TheTextureSetsFlagChoosesHowTheLinksLoad)
{
    struct Case {
        const char* what;
        std::int32_t textureSets;
        std::uint16_t id;
        std::size_t pictures; // textures loaded for the link
        std::vector<std::uint32_t> values;
    };
    const Case cases[] = {
        {"a picture as a plain texture", 0, kProgramPictureId, 1, {}},
        {"a texture set as a set", 1, kProgramSetId, 2, {40, 60}},
        {"a texture set as a plain texture", 0, kProgramSetId, 0, {}},
        {"a picture as a set", 1, kProgramPictureId, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A manager of its own: both loaders keep their entries under the link.
        DS_DocResManager own;
        const CurrentDocResManagerScope scope(&own);
        TestTexGenerator generator;
        generator.textureSets = c.textureSets;
        generator.textureLinks = {DS_ImageFileLink(c.id, u""), DS_ImageFileLink(c.id, u"")};
        DS_ParticlesObj object(generator.Clone());
        const std::vector<TextureSetEntry*>& loaded = Built(object).loadedTextures;
        ASSERT_EQ(loaded.size(), 2u);
        EXPECT_EQ(loaded[0], loaded[1]) << "one entry per link";
        std::size_t pictures = 0;
        for (const auto& texture : loaded[0]->textures)
            pictures += texture ? 1 : 0;
        EXPECT_EQ(pictures, c.pictures);
        EXPECT_EQ(loaded[0]->values, c.values);
        EXPECT_EQ(Built(object).LoadedTexture(0) != nullptr, c.pictures > 0);
    }
}

} // namespace
} // namespace picture_scene_test

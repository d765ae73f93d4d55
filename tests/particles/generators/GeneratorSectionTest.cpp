// Stored sections of the generators, from the document writer to the
// readers: every version of the generator and textured-generator levels
// under a radial-ray record, the static and radial-ray levels, and the
// counts that refuse a document.

#include <gtest/gtest.h>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"
#include "particles/generators/GeneratorClasses.h"
#include "particles/generators/RadialRays.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/GeneratorWriter.h"

namespace {

using namespace generator_writer;

std::unique_ptr<DS_RadialRays> ReadRays(const RadialRaysFields& fields)
{
    RegisterGeneratorClasses();
    DocumentWriter writer;
    WriteRadialRays(writer, fields);
    MemoryArchive archive(writer.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u) << "the record was not read to its end";
    return std::unique_ptr<DS_RadialRays>(dynamic_cast<DS_RadialRays*>(item.release()));
}

TEST(GeneratorSectionTest, TheLightBeamsRecordReadsWhole)
{
    const auto rays = ReadRays(LightBeamsFields());
    ASSERT_NE(rays, nullptr);
    EXPECT_EQ(rays->length.value, 484u);
    EXPECT_EQ(rays->width.value, 39u);
    EXPECT_EQ(rays->count.value, 15u);
    EXPECT_EQ(rays->random.value, 1);
    EXPECT_FLOAT_EQ(rays->variation.Scaled(), 0.88f);
    EXPECT_FLOAT_EQ(rays->rotationSpeed.Scaled(), 0.08f);
    EXPECT_FLOAT_EQ(rays->timingFloor.Scaled(), 0.75f);
    EXPECT_FLOAT_EQ(rays->swingAmplitude.Scaled(), 1.0f);
    EXPECT_EQ(rays->position.value, (math::Vec3{869.56f, 9.31f, 0.0f}));
    ASSERT_EQ(rays->textureLinks.size(), 2u);
    EXPECT_EQ(rays->textureLinks[1].Id(), 124);
    EXPECT_EQ(rays->effectLink.Path(), u"common_res.dll");
    EXPECT_EQ(rays->effectLink.Id(), 97);
    EXPECT_EQ(rays->colour.opacity.Scaled(), 255);
    EXPECT_EQ(rays->blendMode.value, 0);
    EXPECT_EQ(rays->lifetime.value, 20u);
    EXPECT_EQ(rays->emissionRate.value, 30u);
    EXPECT_EQ(rays->name, u"Light Beams");
    EXPECT_EQ(rays->timing.Selector(), 1);
    // The clone recomputes the speed's float from its stored value.
    EXPECT_FLOAT_EQ(static_cast<DS_RadialRays&>(*rays->Clone()).rotationSpeed.Scaled(), 0.08f);
}

TEST(GeneratorSectionTest, EveryVersionOfTheGeneratorLevelsReads)
{
    for (std::int32_t texVersion = 1; texVersion <= 3; ++texVersion) {
        for (std::int32_t genVersion = 1; genVersion <= 3; ++genVersion) {
            SCOPED_TRACE("textured " + std::to_string(texVersion) + ", generator " + std::to_string(genVersion));
            RadialRaysFields fields;
            TexGeneratorFields& textured = fields.base.textured;
            textured.version = texVersion;
            textured.textures = {{u"a.png", 3}};
            textured.colour = 0x0000FF;
            textured.opacity = 40;
            textured.blendMode = 2;
            textured.mirrorV = 1;
            textured.mirrorH = 1;
            textured.textureSets = 1;
            GeneratorFields& generator = textured.generator;
            generator.version = genVersion;
            generator.emitters = {{1, 2, 3}, {4, 5, 6}};
            generator.lifetime = 7;
            generator.rate = 8;
            generator.size = 9;
            generator.speed = 10;
            generator.emissionSwitch = 1;
            const auto rays = ReadRays(fields);
            ASSERT_NE(rays, nullptr);
            EXPECT_EQ(rays->colour.colour.value, 0x0000FFu);
            EXPECT_EQ(rays->colour.opacity.value, 40u);
            EXPECT_EQ(rays->blendMode.value, 2);
            EXPECT_EQ(rays->mirrorV.value, texVersion >= 2 ? 1 : 0);
            EXPECT_EQ(rays->mirrorH.value, texVersion >= 2 ? 1 : 0);
            EXPECT_EQ(rays->textureSets, texVersion >= 3 ? 1 : 0);
            EXPECT_EQ(rays->emitters.size(), genVersion >= 2 ? 2u : 0u);
            if (genVersion >= 2) {
                EXPECT_EQ(rays->emitters.back().position, (math::Vec3{4, 5, 6}));
            }
            EXPECT_EQ(rays->lifetime.value, genVersion >= 3 ? 7u : 20u);
            EXPECT_EQ(rays->emissionRate.value, genVersion >= 3 ? 8u : 30u);
            EXPECT_EQ(rays->particleSize.value, genVersion >= 3 ? 9u : 0u);
            EXPECT_EQ(rays->particleSpeed.value, genVersion >= 3 ? 10u : 0u);
            EXPECT_EQ(rays->emissionSwitch.value, genVersion >= 3 ? 1 : 0);
            EXPECT_FLOAT_EQ(rays->lifetime.Scaled(), float(rays->lifetime.value));
        }
    }
}

TEST(GeneratorSectionTest, CountsThatCannotFitRefuseTheDocument)
{
    struct Case {
        const char* name;
        std::optional<std::int32_t> emitters;
        std::optional<std::int32_t> textures;
    };
    const Case cases[] = {
        {"negative emitter count", -1, {}},
        {"emitter count past the end", 0x7FFFFFFF, {}},
        {"negative texture count", {}, -5},
        {"texture count past the end", {}, 100000},
    };
    RegisterGeneratorClasses();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RadialRaysFields fields = LightBeamsFields();
        fields.base.textured.generator.emitterCount = c.emitters;
        fields.base.textured.textureCount = c.textures;
        DocumentWriter writer;
        WriteRadialRays(writer, fields);
        MemoryArchive archive(writer.Bytes());
        EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
    }
}

} // namespace

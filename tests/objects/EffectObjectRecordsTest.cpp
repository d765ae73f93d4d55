// Every stored form of the effect-drawn objects and the text objects reads
// back through the main class registry in step, writes back byte for byte
// in the version the classes write, and a damaged record is refused.

#include <gtest/gtest.h>

#include <memory>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentError.h"
#include "objects/ObjectClasses.h"
#include "particles/engine/ParticleSystemCtrl.h"
#include "particles/generators/ParticleGenerator.h"
#include "particles/systems/ParticleSystemCtrl.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/EffectObjectSampleDocuments.h"
#include "tests/support/RecordingArchive.h"

namespace {

std::vector<std::uint8_t> Saved(const DS_IOF_Item& item)
{
    RecordingArchive out;
    item.Save(out.Writer());
    return out.writer.Bytes();
}

// A copy as the render object makes it.
std::unique_ptr<DS_IOF_Item> CloneOf(const DS_IOF_Item& item)
{
    if (const auto* sprites = dynamic_cast<const DS_ParticleSystemCtrl*>(&item))
        return sprites->Clone();
    if (const auto* particles = dynamic_cast<const KXI_ParticleSystemCtrl*>(&item))
        return particles->Clone();
    if (const auto* generator = dynamic_cast<const DS_ParticleGenerator*>(&item))
        return generator->Clone();
    return nullptr;
}

TEST(EffectObjectRecordsTest, EveryStoredFormReadsInStepAndSavesBack)
{
    RegisterObjectClasses();
    for (const EffectObjectRecord& record : EffectObjectRecords()) {
        SCOPED_TRACE(record.label);
        MemoryArchive archive(record.bytes);
        const std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(archive.Remaining(), 0u);
        const std::vector<std::uint8_t> saved = Saved(*item);
        if (record.latestVersion) {
            EXPECT_EQ(saved, record.bytes);
        }
        const std::unique_ptr<DS_IOF_Item> clone = CloneOf(*item);
        ASSERT_NE(clone, nullptr);
        const DS_IOF_Item& cloned = *clone;
        const DS_IOF_Item& original = *item;
        EXPECT_EQ(typeid(cloned), typeid(original));
        EXPECT_EQ(Saved(*clone), saved);

        // Cut short anywhere in its last quarter, the record is refused.
        std::vector<std::uint8_t> cut = record.bytes;
        cut.resize(cut.size() * 3 / 4);
        MemoryArchive damaged(cut);
        EXPECT_THROW(ReadSceneObject(damaged.Reader()), DS_Error);
    }
}

} // namespace

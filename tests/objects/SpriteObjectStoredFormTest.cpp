// Every sprite-object record the writer makes, in every version, reads
// through the main registry in step, writes itself back in the latest form
// (byte for byte what the writer makes for that form), and reads back with
// the same values.

#include <typeinfo>

#include "objectmodel/DocumentError.h"
#include "particles/systems/ParticleSystemCtrl.h"
#include "tests/objects/SpriteObjectTestSupport.h"
#include "tests/support/ParticleSampleDocuments.h"
#include "tests/support/RecordingArchive.h"
#include "tests/support/SpriteObjectSampleDocuments.h"

namespace sprite_object_test {
namespace {

class SpriteObjectStoredFormTest : public SpriteObjectTest {};

std::vector<std::uint8_t> Saved(const DS_IOF_Item& item)
{
    RecordingArchive recording;
    item.Save(recording.Writer());
    return recording.writer.Bytes();
}

TEST_F(SpriteObjectStoredFormTest, EveryRecordReadsWritesAndReadsBack)
{
    for (const SpriteObjectRecord& record : SpriteObjectRecords()) {
        SCOPED_TRACE(record.label);
        auto read = ReadObjectAs<DS_ParticleSystemCtrl>(record.bytes);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->spriteImage.Id(), kSampleDotId);
        const std::vector<std::uint8_t> saved = Saved(*read);
        if (record.latestVersion) {
            EXPECT_EQ(saved, record.bytes) << "the latest form is written as the writer writes it";
        }
        auto again = ReadObjectAs<DS_ParticleSystemCtrl>(saved);
        ASSERT_NE(again, nullptr);
        const DS_ParticleSystemCtrl& first = *read;
        const DS_ParticleSystemCtrl& second = *again;
        EXPECT_EQ(typeid(second), typeid(first));
        EXPECT_EQ(Saved(*again), saved);
    }
}

TEST_F(SpriteObjectStoredFormTest, ATruncatedRecordIsRefused)
{
    for (const SpriteObjectRecord& record : SpriteObjectRecords()) {
        SCOPED_TRACE(record.label);
        const std::vector<std::uint8_t> cut(record.bytes.begin(), record.bytes.end() - 3);
        MemoryArchive archive(cut);
        EXPECT_THROW(ReadSceneObject(archive.Reader()), DS_Error);
    }
}

} // namespace
} // namespace sprite_object_test

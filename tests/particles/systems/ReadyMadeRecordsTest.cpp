// The stored sections of the ready-made systems: every class and every
// older version read back through the class registry and saved again, the
// upgrades older sections make to the parameter block, and truncated
// records refused.

#include <gtest/gtest.h>

#include <string>

#include "objectmodel/DocumentError.h"
#include "particles/systems/FountainPtclSys.h"
#include "particles/systems/SplashPtclSys.h"
#include "tests/particles/systems/ReadyMadeTestSupport.h"
#include "tests/support/RecordingArchive.h"

namespace {

using namespace ready_made_test;

std::vector<std::uint8_t> Saved(const DS_IOF_Item& item)
{
    RecordingArchive saved;
    item.Save(saved.Writer());
    return saved.writer.Bytes();
}

std::unique_ptr<DS_IOF_Item> ReadBytes(const std::vector<std::uint8_t>& bytes)
{
    RegisterParticleSystemClasses();
    MemoryArchive archive(bytes);
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    return item;
}

TEST(ReadyMadeRecordTest, EveryClassAndVersionReadsAndSavesBack)
{
    for (const NamedReadyMadeRecord& record : ReadyMadeSampleRecords()) {
        DocumentWriter w;
        record.write(w);
        const std::unique_ptr<DS_IOF_Item> item = ReadBytes(w.Bytes());
        ASSERT_NE(item, nullptr) << record.label;
        const auto* system = dynamic_cast<const KXI_ParticleSystemCtrl*>(item.get());
        ASSERT_NE(system, nullptr) << record.label;
        const std::vector<std::uint8_t> saved = Saved(*item);
        MemoryArchive savedArchive(saved);
        EXPECT_EQ(savedArchive.Reader().ReadSectionHeader().className, record.className) << record.label;
        if (record.latest) {
            EXPECT_EQ(saved, w.Bytes()) << record.label;
        }
        // An older section is saved in the newest form, which reads back to
        // the same record.
        const std::unique_ptr<DS_IOF_Item> again = ReadBytes(saved);
        ASSERT_NE(again, nullptr) << record.label;
        EXPECT_EQ(Saved(*again), saved) << record.label;
    }
}

TEST(ReadyMadeRecordTest, TruncatedRecordsAreRefused)
{
    for (const NamedReadyMadeRecord& record : ReadyMadeSampleRecords()) {
        DocumentWriter w;
        record.write(w);
        const std::vector<std::uint8_t>& bytes = w.Bytes();
        for (const std::size_t keep : {bytes.size() - 1, bytes.size() / 2, std::size_t{40}}) {
            MemoryArchive truncated(std::span(bytes.data(), keep));
            EXPECT_THROW(ReadSceneObject(truncated.Reader()), DS_Error) << record.label << " at " << keep;
        }
    }
}

TEST(ReadyMadeRecordTest, OlderBurstSectionsUpgradeTheBlock)
{
    struct Case {
        std::int32_t burstVersion;
        std::int32_t fountainVersion; // 0: a plain burst
        std::int32_t gravityUp;
        std::uint32_t gravityFlag;
        std::int32_t gravityDirection;
        std::uint32_t opacityIn, opacityOut;
        std::int32_t focused;
    };
    const Case cases[] = {
        {1, 0, 0, 1, 1, 10, 60, 0}, {2, 0, 1, 1, 2, 10, 60, 1}, {3, 0, 1, 1, 2, 0, 100, 1},
        {4, 0, 1, 0, 0, 0, 100, 1}, {4, 1, 1, 1, 2, 10, 60, 0}, {4, 2, 1, 0, 0, 0, 100, 1},
    };
    for (const Case& c : cases) {
        const std::string label = "burst " + std::to_string(c.burstVersion) + " fountain " +
                                  std::to_string(c.fountainVersion);
        particle_writer::BurstFields burst;
        burst.version = c.burstVersion;
        burst.burstCount = 12;
        burst.gravity = 30;
        burst.gravityUp = c.gravityUp;
        burst.focused = 1;
        burst.startRadius = 5;
        burst.controller.version = c.burstVersion < 4 || c.fountainVersion == 1 ? 4 : 5;
        DocumentWriter w;
        if (c.fountainVersion == 0)
            particle_writer::WriteBurst(w, burst);
        else
            particle_writer::WriteFountain(w, {c.fountainVersion, 100, burst});
        const auto system = ReadRecord<KXI_BurstPtclSys>(w);
        ASSERT_NE(system, nullptr) << label;
        const ParticleSystemParams& block = system->params;
        EXPECT_EQ(block.flags & ParticleSystemParams::kFlagPhysics, c.gravityFlag) << label;
        EXPECT_EQ(block.gravityDirection.value, c.gravityDirection) << label;
        if (c.gravityFlag) {
            EXPECT_EQ(block.gravity.value, 30u) << label;
        }
        EXPECT_EQ(block.opacityEnvelope.percents[0].value, c.opacityIn) << label;
        EXPECT_EQ(block.opacityEnvelope.percents[1].value, c.opacityOut) << label;
        EXPECT_EQ(system->focused.value, c.focused) << label;
        EXPECT_EQ(system->startRadius.value, c.focused ? 5u : 0u) << label;
        EXPECT_EQ(system->burstCount.value, c.fountainVersion == 1 ? 0u : 12u) << label;
    }
}

} // namespace

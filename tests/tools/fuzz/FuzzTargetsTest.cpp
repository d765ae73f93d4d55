#include "tools/fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/DocumentWriter.h"
#include "tools/fuzz/FuzzSeeds.h"

namespace {

const fuzz::Target& TargetNamed(std::string_view name)
{
    const auto targets = fuzz::Targets();
    const auto found = std::find_if(targets.begin(), targets.end(), [&](const fuzz::Target& t) { return t.name == name; });
    EXPECT_NE(found, targets.end()) << name;
    return *found;
}

// Every seed reaches its reader's end: well-formed ones are read (so fuzzing
// starts past the first checks: a document's slides, lights, camera,
// timelines, sounds and stored pictures are all read, not refused as unknown
// classes), damaged ones are refused with a reason.
TEST(FuzzTargetsTest, SeedsAreReadByTheirEntries)
{
    const auto seeds = fuzz::Seeds();
    for (const fuzz::Target& target : fuzz::Targets())
        EXPECT_TRUE(std::any_of(seeds.begin(), seeds.end(), [&](const fuzz::Seed& s) { return s.target == target.name; }))
            << "no seed for " << target.name;
    for (const fuzz::Seed& seed : seeds) {
        const fuzz::Outcome outcome = TargetNamed(seed.target).entry(seed.bytes);
        if (seed.wellFormed)
            EXPECT_TRUE(outcome.read) << seed.target << "/" << seed.fileName << ": " << outcome.refusal;
        else
            EXPECT_FALSE(outcome.read || outcome.refusal.empty()) << seed.target << "/" << seed.fileName;
    }
}

// The document entry reads with the player's own classes: a slide whose
// body is cut short is refused as damaged, not as an unknown class.
TEST(FuzzTargetsTest, DocumentEntryKnowsThePlayersClasses)
{
    DocumentWriter cut;
    cut.Header().SlideShowBegin(1).Section(u"DS_SlideContainer", 6).Int(0);
    const fuzz::Outcome outcome = fuzz::ReadDocument(cut.Bytes());
    EXPECT_FALSE(outcome.read);
    EXPECT_EQ(outcome.refusal.find("unknown"), std::string::npos) << outcome.refusal;
    EXPECT_NE(outcome.refusal.find("damaged"), std::string::npos) << outcome.refusal;
}

} // namespace

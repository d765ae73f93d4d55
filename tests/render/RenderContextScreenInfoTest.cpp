// The ScreenInfo of the thread's current document, and the default record
// every reader gets when no document is current.

#include <gtest/gtest.h>

#include "objectmodel/DocumentClasses.h"
#include "render/DocResManager.h"
#include "render/ScreenInfo.h"

namespace {

void ExpectDefaultRecord(const ScreenInfo& info)
{
    EXPECT_EQ(info.scaleX, 0.0f);
    EXPECT_EQ(info.scaleY, 0.0f);
    EXPECT_EQ(info.quad, QuadVertices{});
    EXPECT_EQ(info.pictureWidth, 0);
    EXPECT_EQ(info.pictureHeight, 0);
}

TEST(RenderContextScreenInfoTest, WithoutADocumentEveryReaderGetsTheSameDefault)
{
    CurrentDocResManagerScope none(nullptr);
    const ScreenInfo& first = GetScreenInfo();
    ExpectDefaultRecord(first);
    EXPECT_EQ(&GetScreenInfo(), &first);
    // Nothing can write into the default.
    EXPECT_EQ(GetCurrentScreenInfoForWriting(), nullptr);
}

TEST(RenderContextScreenInfoTest, TheCurrentManagersRecordIsReadAndWritten)
{
    DS_DocResManager manager;
    DS_DocResManager other;
    {
        CurrentDocResManagerScope current(&manager);
        ScreenInfo* record = GetCurrentScreenInfoForWriting();
        ASSERT_EQ(record, &manager.ScreenInfoRecord());
        ExpectDefaultRecord(*record); // zeroed at construction
        record->pictureWidth = 1920;
        record->pictureHeight = 1080;
        record->scaleX = 2.0f;
        EXPECT_EQ(&GetScreenInfo(), record);
        EXPECT_EQ(GetScreenInfo().pictureWidth, 1920);
    }
    {
        CurrentDocResManagerScope current(&other);
        ExpectDefaultRecord(GetScreenInfo()); // each document has its own
    }
    CurrentDocResManagerScope none(nullptr);
    ExpectDefaultRecord(GetScreenInfo());
}

} // namespace

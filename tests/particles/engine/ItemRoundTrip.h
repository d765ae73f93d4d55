#pragma once
// Writes a stored item and reads it back through the item registry.

#include <gtest/gtest.h>

#include <memory>

#include "objectmodel/ClassRegistry.h"
#include "particles/engine/ParticleEngineClasses.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/RecordingArchive.h"

// The item read back as a T (null when it reads as another class); every
// written byte must be read.
template <class T>
std::unique_ptr<T> ItemRoundTrip(const DS_IOF_Item& item)
{
    RegisterParticleEngineClasses();
    RecordingArchive out;
    item.Save(out.Writer());
    MemoryArchive archive(out.writer.Bytes());
    std::unique_ptr<KXI_IOF_Item> read = ReadItemObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    return std::unique_ptr<T>(dynamic_cast<T*>(read.release()));
}

#pragma once
// Reading a writer-made generator record through the class registry, and the
// bytes an item's Save writes, for the section tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "objectmodel/ClassRegistry.h"
#include "particles/generators/GeneratorClasses.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/DocumentWriter.h"
#include "tests/support/RecordingArchive.h"

namespace generator_test {

// The record read whole (a record not read to its end fails the test), or
// null when it is not a T.
template <class T>
std::unique_ptr<T> ReadRecord(const DocumentWriter& writer)
{
    RegisterGeneratorClasses();
    MemoryArchive archive(writer.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u) << "the record was not read to its end";
    return std::unique_ptr<T>(dynamic_cast<T*>(item.release()));
}

inline std::vector<std::uint8_t> Saved(const DS_IOF_Item& item)
{
    RecordingArchive saved;
    item.Save(saved.Writer());
    return saved.writer.Bytes();
}

} // namespace generator_test

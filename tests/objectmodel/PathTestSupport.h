#pragma once

// Helpers of the path and curve tests: an archive over bytes in memory, and
// comparisons of vectors within float precision.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "objectmodel/Archive.h"
#include "platform/math/Vector.h"

// Reads a document held in memory; the bytes are copied and kept alive.
class ByteArchive {
public:
    explicit ByteArchive(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)), m_archive(m_buffer)
    {
        m_buffer.SetMemory(m_bytes);
    }

    ArchiveReader Reader() { return ArchiveReader(m_archive); }
    std::uint64_t Remaining() const { return m_buffer.BytesRemaining(); }

private:
    std::vector<std::uint8_t> m_bytes;
    ResourceBuffer m_buffer;
    DS_IOF_R<ResourceBuffer> m_archive;
};

inline void ExpectVecNear(const math::Vec3& actual, const math::Vec3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

#pragma once
// Fixtures for the 3D object tests: an 800 x 600 picture in a current
// resource manager (no device), the objects layer registered, readers of
// writer-made records, and a fixed local time for the clock hands.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "objectmodel/ClassRegistry.h"
#include "objectmodel/DocumentClasses.h"
#include "objects/ButterflyClockItems.h"
#include "objects/DriftingObjects.h"
#include "objects/MeshAnimationControllers.h"
#include "objects/ObjectClasses.h"
#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"
#include "render/DocResManager.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/MeshObjectWriter.h"

namespace mesh_object_test {

inline constexpr std::int32_t kPictureWidth = 800;
inline constexpr std::int32_t kPictureHeight = 600;

class FixedClockTime : public ClockTimeSource {
public:
    explicit FixedClockTime(crt::LocalTimeOfDay time, bool readable = true) : m_time(time), m_readable(readable) {}
    bool Read(crt::LocalTimeOfDay& out) const override
    {
        if (m_readable)
            out = m_time;
        return m_readable;
    }

private:
    crt::LocalTimeOfDay m_time;
    bool m_readable;
};

// A current manager (its picture 800 x 600) and the layer's classes.
class MeshObjectTest : public ::testing::Test {
public:
    // The record in `bytes` read through the main registry, as a T (null
    // when it is another class); the whole record must be read.
    template <class T>
    static std::unique_ptr<T> ReadRecord(const std::vector<std::uint8_t>& bytes)
    {
        MemoryArchive archive(bytes);
        std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
        EXPECT_EQ(archive.Remaining(), 0u) << "the record reads in step";
        auto* typed = dynamic_cast<T*>(item.get());
        if (!typed)
            return nullptr;
        item.release();
        return std::unique_ptr<T>(typed);
    }

protected:
    void SetUp() override
    {
        RegisterObjectClasses();
        InstallRenderDocResManager();
        manager = std::make_unique<DS_DocResManager>();
        manager->ScreenInfoRecord().pictureWidth = kPictureWidth;
        manager->ScreenInfoRecord().pictureHeight = kPictureHeight;
        current = std::make_unique<CurrentDocResManagerScope>(manager.get());
        crt::srand(1);
    }
    void TearDown() override
    {
        current.reset();
        manager.reset();
    }

    std::unique_ptr<DS_DocResManager> manager;
    std::unique_ptr<CurrentDocResManagerScope> current;
};

inline void ExpectMatrixNear(const math::Matrix& actual, const math::Matrix& expected, float tolerance = 1e-4f)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], tolerance) << "at row " << r << ", column " << c;
}

inline bool IsFinite(const math::Matrix& m)
{
    for (const auto& row : m.m)
        for (float value : row)
            if (!std::isfinite(value))
                return false;
    return true;
}

} // namespace mesh_object_test

#pragma once
// Fixtures for the ready-made systems' tests: a record written with the
// writer and read back through the class registry, the running copy a
// render object would hold, and the directions and lifetimes of particles.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "objectmodel/ClassRegistry.h"
#include "particles/engine/ParticleRoutines.h"
#include "particles/systems/ParticleSystemClasses.h"
#include "tests/support/ArchiveFixtures.h"
#include "tests/support/ReadyMadeWriter.h"

namespace ready_made_test {

// The object `w` holds, read through the registry; null (and a failure)
// when it is of another class or not read whole.
template <class T>
std::unique_ptr<T> ReadRecord(const DocumentWriter& w)
{
    RegisterParticleSystemClasses();
    MemoryArchive archive(w.Bytes());
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u);
    auto* typed = dynamic_cast<T*>(item.get());
    EXPECT_NE(typed, nullptr);
    if (typed)
        item.release();
    return std::unique_ptr<T>(typed);
}

// The running copy of a record: values stored straight into a parameter
// reach its scaled copy there, as in a render object's clone.
template <class T, class Write, class Fields>
std::unique_ptr<T> Running(Write write, const Fields& fields)
{
    DocumentWriter w;
    write(w, fields);
    const std::unique_ptr<T> description = ReadRecord<T>(w);
    return description ? std::make_unique<T>(*description) : nullptr;
}

// The particles of a list, as raw pointers in list order.
inline std::vector<InnerParticle*> ParticlesOf(InnerParticleList& list)
{
    std::vector<InnerParticle*> out;
    for (ParticleHandle& p : list.Particles())
        out.push_back(p.get());
    return out;
}

// The screen angle of a velocity in degrees, 0..360 (90 points up).
inline float ScreenAngle(const math::Vec3& v)
{
    const float a = std::atan2(-v.y, v.x) * 180.0f / 3.1415927f;
    return a < 0.0f ? a + 360.0f : a;
}

inline float Length(const math::Vec3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

} // namespace ready_made_test

#pragma once
// Fixtures for the sprite scene-object tests: an 800 x 600 picture through a
// current resource manager, the classes registered, a clock stepped by hand
// and stored records read back through the main registry.

#include <gtest/gtest.h>

#include <memory>
#include <span>

#include "objectmodel/ClassRegistry.h"
#include "objects/ObjectClasses.h"
#include "particles/systems/SpriteParticle.h"
#include "render/BaseSpriteProp.h"
#include "render/DocResManager.h"
#include "tests/support/ArchiveFixtures.h"

namespace sprite_object_test {

constexpr float kPictureWidth = 800.0f;
constexpr float kPictureHeight = 600.0f;

class SpriteObjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterObjectClasses();
        manager.ScreenInfoRecord().pictureWidth = static_cast<int>(kPictureWidth);
        manager.ScreenInfoRecord().pictureHeight = static_cast<int>(kPictureHeight);
    }

    DS_DocResManager manager;
    CurrentDocResManagerScope managerScope{&manager};
};

// Advances the controller's clocks by `dt` seconds of animation clock and
// frame time, as one frame does.
inline void StepClock(DS_BaseSpriteProp& controller, float dt)
{
    controller.animationStep = dt;
    controller.animationClock += dt;
    controller.lastObjectTime += dt;
}

// A sprite of half extents (w, h) at (x, y), at full alpha, held by no edge
// rule and moving with factors (1, 1).
inline SpriteParticle SpriteAt(float x, float y, float w = 10.0f, float h = 10.0f)
{
    SpriteParticle sprite;
    sprite.position = {x, y, 0.0f};
    sprite.halfWidth = w;
    sprite.halfHeight = h;
    sprite.dirFactor = {1.0f, 1.0f, 0.0f};
    sprite.alpha = 1.0f;
    return sprite;
}

// The scene object a record holds, as a T (null when it is no T); the
// record must read in step to its end.
template <class T>
std::unique_ptr<T> ReadObjectAs(std::span<const std::uint8_t> bytes)
{
    MemoryArchive archive(bytes);
    std::unique_ptr<DS_IOF_Item> item = ReadSceneObject(archive.Reader());
    EXPECT_EQ(archive.Remaining(), 0u) << "the record reads in step";
    auto* object = dynamic_cast<T*>(item.get());
    if (!object)
        return nullptr;
    item.release();
    return std::unique_ptr<T>(object);
}

} // namespace sprite_object_test

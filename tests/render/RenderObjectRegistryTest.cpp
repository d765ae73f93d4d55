// The registry map itself: entries by GUID, take-over by a newer object,
// removal only of an object's own entry, and the generation that tells
// holders of a looked-up timing that the map changed.

#include <gtest/gtest.h>

#include "render/RenderObjectRegistry.h"
#include "render/TimingSmart.h"
#include "tests/render/RenderObjectTestSupport.h"

namespace {

using namespace render_object_test;

class RegistryTest : public testing::Test {
protected:
    RenderObjectRegistry registry;
    // Objects without a description stay out of the global registry; here
    // they only serve as distinct keys' owners.
    TestRenderObject first{nullptr};
    TestRenderObject second{nullptr};
    KXI_SmartTiming firstTiming;
    KXI_SmartTiming secondTiming;
};

TEST_F(RegistryTest, FindsWhatWasAdded)
{
    registry.Register(TestGuid(1), &first, &firstTiming);
    registry.Register(TestGuid(2), &second, &secondTiming);
    ASSERT_NE(registry.Find(TestGuid(1)), nullptr);
    EXPECT_EQ(registry.Find(TestGuid(1))->object, &first);
    EXPECT_EQ(registry.Find(TestGuid(2))->timing, &secondTiming);
    EXPECT_EQ(registry.Find(TestGuid(3)), nullptr);
    EXPECT_EQ(registry.Size(), 2u);
}

TEST_F(RegistryTest, NewerObjectTakesTheKeyAndOnlyItsOwnerRemovesIt)
{
    registry.Register(TestGuid(1), &first, &firstTiming);
    registry.Register(TestGuid(1), &second, &secondTiming);
    EXPECT_EQ(registry.Find(TestGuid(1))->object, &second);

    registry.UnregisterObject(TestGuid(1), &first);
    ASSERT_NE(registry.Find(TestGuid(1)), nullptr);
    EXPECT_EQ(registry.Find(TestGuid(1))->object, &second);

    registry.UnregisterObject(TestGuid(1), &second);
    EXPECT_EQ(registry.Find(TestGuid(1)), nullptr);
}

TEST_F(RegistryTest, PlainRemovalErasesWhateverIsThere)
{
    registry.Register(TestGuid(1), &first, &firstTiming);
    registry.Unregister(TestGuid(1));
    registry.Unregister(TestGuid(9)); // nothing there: nothing happens
    EXPECT_EQ(registry.Size(), 0u);
}

TEST_F(RegistryTest, GenerationMovesOnEveryChangeOnly)
{
    const std::uint64_t start = registry.Generation();
    registry.Register(TestGuid(1), &first, &firstTiming);
    EXPECT_EQ(registry.Generation(), start + 1);
    registry.UnregisterObject(TestGuid(1), &second); // not its entry
    registry.Unregister(TestGuid(5));                 // no entry
    EXPECT_EQ(registry.Generation(), start + 1);
    registry.UnregisterObject(TestGuid(1), &first);
    EXPECT_EQ(registry.Generation(), start + 2);
}

TEST(GlobalRegistry, ExistsBeforeTestsRun)
{
    ASSERT_NE(g_RenderObjectRegistry, nullptr);
}

} // namespace

// The shared handle: the last release deletes object and block, once.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "objectmodel/SafePtr.h"

namespace {

struct Counted {
    explicit Counted(int& deletions) : deletions(&deletions) {}
    virtual ~Counted() { ++*deletions; }
    int* deletions;
};

// Deleted through the base's virtual destructor.
struct Derived : Counted {
    Derived(int& deletions, int& derivedDeletions) : Counted(deletions), derivedDeletions(&derivedDeletions) {}
    ~Derived() override { ++*derivedDeletions; }
    int* derivedDeletions;
};

TEST(SafePtr, LastReleaseDeletesTheObject)
{
    int deletions = 0;
    DS_SafePtr<Counted> first(new Counted(deletions));
    DS_SafePtr<Counted> second = first;
    EXPECT_EQ(first.UseCount(), 2);
    EXPECT_EQ(first.get(), second.get());

    first.Release();
    EXPECT_TRUE(first.IsNull());
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(second.UseCount(), 1);

    first.Release(); // a null handle: nothing
    second.Release();
    EXPECT_EQ(deletions, 1);
    second.Release();
    EXPECT_EQ(deletions, 1);
}

TEST(SafePtr, AssignmentSharesAndReleases)
{
    int deletions = 0;
    DS_SafePtr<Counted> a(new Counted(deletions));
    DS_SafePtr<Counted> b(new Counted(deletions));

    const DS_SafePtr<Counted>& self = a;
    a = self; // self-assignment changes no count
    EXPECT_EQ(a.UseCount(), 1);
    DS_SafePtr<Counted> aCopy = a;
    aCopy = a; // same block: nothing happens
    EXPECT_EQ(a.UseCount(), 2);

    b = a; // b's object had no other handle
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(a.UseCount(), 3);
    EXPECT_TRUE(b.SharesBlockWith(a));

    DS_SafePtr<Counted> moved = std::move(b);
    EXPECT_TRUE(b.IsNull());
    EXPECT_EQ(a.UseCount(), 3);
    moved = nullptr;
    aCopy = nullptr;
    EXPECT_EQ(a.UseCount(), 1);
    EXPECT_EQ(deletions, 1);
}

TEST(SafePtr, EmptyBlockHoldsNoObject)
{
    DS_SafePtr<Counted> empty;
    empty.NewEmptySafePtrBlock();
    EXPECT_FALSE(empty.IsNull());
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.UseCount(), 1);
    DS_SafePtr<Counted> copy = empty;
    EXPECT_EQ(copy.UseCount(), 2);
    // Releasing frees the block only (ASan checks the block is freed).
    empty.Release();
    copy.Release();
    EXPECT_TRUE(copy.IsNull());
    // Empty handles compare equal, whichever block they hold.
    DS_SafePtr<Counted> otherEmpty;
    otherEmpty.NewEmptySafePtrBlock();
    EXPECT_TRUE(otherEmpty == DS_SafePtr<Counted>());
}

TEST(SafePtr, MakeReplacesWhatTheHandleHeld)
{
    int deletions = 0;
    DS_SafePtr<Counted> handle(new Counted(deletions));
    DS_SafePtr<Counted> keeper = handle;
    handle.MakeSafePtrBlock(new Counted(deletions));
    EXPECT_FALSE(handle.SharesBlockWith(keeper));
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(keeper.UseCount(), 1);
    handle.NewEmptySafePtrBlock();
    EXPECT_EQ(deletions, 1);
}

TEST(SafePtr, DeletesThroughTheVirtualDestructor)
{
    int deletions = 0, derivedDeletions = 0;
    {
        DS_SafePtr<Counted> handle(new Derived(deletions, derivedDeletions));
    }
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(derivedDeletions, 1);
}

TEST(SafePtr, ContainersOfHandlesCountEachElement)
{
    int deletions = 0;
    std::vector<DS_SafePtr<Counted>> list;
    for (int i = 0; i < 3; ++i)
        list.emplace_back(new Counted(deletions));
    {
        std::vector<DS_SafePtr<Counted>> copy = list;
        for (const auto& handle : list)
            EXPECT_EQ(handle.UseCount(), 2);
        list.clear();
        EXPECT_EQ(deletions, 0);
    }
    EXPECT_EQ(deletions, 3);
}

} // namespace

#include "platform/crt/Random.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

std::vector<int> Draw(int count)
{
    std::vector<int> values;
    for (int i = 0; i < count; ++i)
        values.push_back(crt::rand());
    return values;
}

TEST(Random, ClassicSequenceAfterSeedOne)
{
    crt::srand(1);
    EXPECT_EQ(Draw(6), (std::vector<int>{41, 18467, 6334, 26500, 19169, 15724}));
}

TEST(Random, ReseedingRestartsAndValuesStayInRange)
{
    crt::srand(12345);
    const std::vector<int> first = Draw(1000);
    crt::srand(12345);
    EXPECT_EQ(Draw(1000), first);
    for (int value : first) {
        EXPECT_GE(value, 0);
        EXPECT_LE(value, crt::kRandMax);
    }
}

// A fresh thread starts from state 1 and never sees another thread's seed.
TEST(Random, EachThreadHasItsOwnSequence)
{
    crt::srand(777);
    const int mainFirst = crt::rand();

    std::vector<int> fromThread;
    std::thread([&] { fromThread = Draw(4); }).join();
    EXPECT_EQ(fromThread, (std::vector<int>{41, 18467, 6334, 26500}));

    std::thread([] { crt::srand(99); (void)crt::rand(); }).join();
    crt::srand(777);
    EXPECT_EQ(crt::rand(), mainFirst);
}

// A sequence of its own gives the thread's values for the same seed and
// leaves the thread's sequence where it was.
TEST(Random, OwnSequenceMatchesTheThreadsWithoutDisturbingIt)
{
    crt::srand(4242);
    const std::vector<int> expected = Draw(5);

    crt::srand(9);
    const int nextOfThread = crt::rand();
    crt::srand(9);
    crt::RandomSequence own(4242);
    std::vector<int> drawn;
    for (int i = 0; i < 5; ++i)
        drawn.push_back(own.Next());
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(crt::rand(), nextOfThread);
}

} // namespace

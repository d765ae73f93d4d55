#include "platform/crt/Random.h"

namespace crt {

namespace {

thread_local RandomSequence t_sequence;

} // namespace

int rand()
{
    return t_sequence.Next();
}

void srand(unsigned seed)
{
    t_sequence.Seed(seed);
}

float RandomUnit()
{
    return static_cast<float>(rand()) / static_cast<float>(kRandMax);
}

} // namespace crt

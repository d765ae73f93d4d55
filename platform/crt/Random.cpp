#include "platform/crt/Random.h"

#include <cstdint>

namespace crt {

namespace {

thread_local std::uint32_t t_state = 1;

} // namespace

int rand()
{
    // Unsigned arithmetic wraps modulo 2^32, as the classic generator does.
    t_state = t_state * 214013u + 2531011u;
    return static_cast<int>((t_state >> 16) & 0x7FFFu);
}

void srand(unsigned seed)
{
    t_state = seed;
}

float RandomUnit()
{
    return static_cast<float>(rand()) / static_cast<float>(kRandMax);
}

} // namespace crt

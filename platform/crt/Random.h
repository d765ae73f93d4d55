#pragma once
// The C runtime's pseudo-random sequence as scene code relies on it: a linear
// congruential generator (state = state * 214013 + 2531011, result = bits
// 16..30 of the state), RAND_MAX 32767, initial state 1. Each thread has its
// own sequence, so seeding in one thread never disturbs another.
// Scene code calls these, never the C library's rand().
//
// RandomSequence is the same generator as a value of its own, for an object
// that needs a repeatable sequence without reseeding the thread's shared one
// (which every other object draws from).

#include <cstdint>

namespace crt {

inline constexpr int kRandMax = 32767;

class RandomSequence {
public:
    explicit RandomSequence(std::uint32_t seed = 1) : m_state(seed) {}

    // Next value, in [0, kRandMax].
    int Next()
    {
        // Unsigned arithmetic wraps modulo 2^32, as the classic generator does.
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }
    void Seed(std::uint32_t seed) { m_state = seed; }

private:
    std::uint32_t m_state;
};

// Next value of this thread's sequence, in [0, kRandMax].
int rand();

// Restarts this thread's sequence from `seed`.
void srand(unsigned seed);

// The next value as a fraction: rand() / 32767, in [0, 1].
float RandomUnit();

} // namespace crt

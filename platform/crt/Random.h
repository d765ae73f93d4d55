#pragma once
// The C runtime's pseudo-random sequence as scene code relies on it: a linear
// congruential generator (state = state * 214013 + 2531011, result = bits
// 16..30 of the state), RAND_MAX 32767, initial state 1. Each thread has its
// own sequence, so seeding in one thread never disturbs another.
// Scene code calls these, never the C library's rand().

namespace crt {

inline constexpr int kRandMax = 32767;

// Next value of this thread's sequence, in [0, kRandMax].
int rand();

// Restarts this thread's sequence from `seed`.
void srand(unsigned seed);

// The next value as a fraction: rand() / 32767, in [0, 1].
float RandomUnit();

} // namespace crt

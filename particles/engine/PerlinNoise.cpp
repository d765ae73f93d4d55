#include "particles/engine/PerlinNoise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Octaves past this add nothing visible (their weight is persistence^64) but
// would let a stored count keep a frame busy for ever.
constexpr std::int32_t kMaxOctaves = 64;

// A noise position split into its lattice cell (truncated toward zero,
// wrapped to 32 bits like the integer arithmetic of the hash) and its place
// in the cell. Positions beyond the 64-bit range, or not finite, read the
// start of cell 0 instead of being converted with undefined behaviour.
struct LatticePoint {
    std::int32_t cell = 0;
    double fraction = 0.0;
};

LatticePoint ToLattice(double x)
{
    constexpr double kLimit = 9.2e18;
    if (!(std::fabs(x) < kLimit))
        return {};
    const std::int64_t whole = static_cast<std::int64_t>(x);
    return {static_cast<std::int32_t>(static_cast<std::uint32_t>(whole)), x - static_cast<double>(whole)};
}

// Wrapping 32-bit integer arithmetic, as the hash is defined.
std::int32_t Wrap(std::uint32_t value)
{
    return static_cast<std::int32_t>(value);
}

std::int32_t Offset(std::int32_t n, std::int32_t by)
{
    return Wrap(static_cast<std::uint32_t>(n) + static_cast<std::uint32_t>(by));
}

double Smoothed(std::int32_t k)
{
    const double corners = LatticeNoise(Offset(k, -58)) + LatticeNoise(Offset(k, -56)) +
                           LatticeNoise(Offset(k, 56)) + LatticeNoise(Offset(k, 58));
    const double sides = LatticeNoise(Offset(k, -57)) + LatticeNoise(Offset(k, -1)) +
                         LatticeNoise(Offset(k, 1)) + LatticeNoise(Offset(k, 57));
    return corners / 16.0 + sides / 8.0 + LatticeNoise(k) / 4.0;
}

double SmoothStep(double t)
{
    return 3.0 * t * t - 2.0 * t * t * t;
}

double Octave2D(double x, double y)
{
    const auto [ix, fx] = ToLattice(x);
    const auto [iy, fy] = ToLattice(y);
    const std::int32_t n = Wrap(static_cast<std::uint32_t>(ix) + 57u * static_cast<std::uint32_t>(iy));
    const auto cell = [n](std::int32_t dx, std::int32_t dy) { return Smoothed(Offset(n, dx + 57 * dy)); };
    const double left = SmoothStep(1.0 - fx);
    const double right = SmoothStep(fx);
    return (cell(0, 0) * left + cell(1, 0) * right) * SmoothStep(1.0 - fy) +
           (cell(0, 1) * left + cell(1, 1) * right) * SmoothStep(fy);
}

} // namespace

double LatticeNoise(std::int32_t n)
{
    const std::uint32_t u = static_cast<std::uint32_t>(n);
    const std::uint32_t m = u ^ (u << 13);
    const std::uint32_t h = (m * (m * m * 15731u + 789221u) - 771171059u) & 0x7FFFFFFFu;
    return 1.0 - static_cast<double>(h) / 1073741824.0;
}

double PerlinNoise2D(const PerlinNoiseParams& noise, double p, double q)
{
    double frequency = noise.frequency;
    double weight = 1.0;
    double sum = 0.0;
    for (std::int32_t octave = 0; octave < std::min(noise.octaves, kMaxOctaves); ++octave) {
        const double x = q * frequency + noise.seed;
        const double y = p * frequency + noise.seed;
        sum += weight * Octave2D(x, y);
        frequency *= 2.0;
        weight *= noise.persistence;
    }
    return sum;
}

double SumPerlinOctaves(std::int32_t octaves, double x, double period, double persistence)
{
    double sum = 0.0;
    for (std::int32_t i = 0; i < std::min(octaves, kMaxOctaves); ++i) {
        // A period of 0 (a stored value) gives no finite position: the
        // octave reads the start of the first cell.
        const auto [i0, t] = ToLattice(std::ldexp(x, i) / period);
        const double w = (1.0 - std::cos(t * 3.1415927)) * 0.5;
        sum += std::pow(persistence, i) * (LatticeNoise(i0) * (1.0 - w) + LatticeNoise(Offset(i0, 1)) * w);
    }
    return sum;
}

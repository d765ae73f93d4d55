// The engine's noise functions and the whole/fraction split.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "particles/engine/PerlinNoise.h"
#include "particles/engine/WholeFraction.h"

namespace {

TEST(NoiseTest, LatticeValuesFollowTheIntegerHash)
{
    // n = 0: m = 0, hash = (-771171059) & 0x7FFFFFFF in wrapping 32-bit arithmetic.
    EXPECT_DOUBLE_EQ(LatticeNoise(0), 1.0 - 1376312589.0 / 1073741824.0);
    // Large and negative inputs wrap instead of overflowing.
    for (const std::int32_t n : {INT_MIN, -1, 1, 57, INT_MAX}) {
        const double value = LatticeNoise(n);
        EXPECT_GT(value, -1.0) << n;
        EXPECT_LE(value, 1.0) << n;
    }
}

TEST(NoiseTest, TwoDimensionalNoiseStaysInItsBounds)
{
    const PerlinNoiseParams noise{0.5, 2.5, 1.0, 3, 12345};
    for (double p = -50.0; p < 50.0; p += 0.37)
        for (double q = -20.0; q < 20.0; q += 1.13) {
            const double value = PerlinNoise2D(noise, p, q);
            EXPECT_LE(std::fabs(value), 1.75) << p << ", " << q;
        }
    PerlinNoiseParams none = noise;
    none.octaves = 0;
    EXPECT_EQ(PerlinNoise2D(none, 3.0, 4.0), 0.0);
}

TEST(NoiseTest, PositionsFarOutsideTheLatticeGiveFiniteValues)
{
    const PerlinNoiseParams noise{0.5, 1.0, 1.0, 3, INT_MAX};
    const double inf = std::numeric_limits<double>::infinity();
    for (const double x : {1e12, -1e12, 1e30, inf, -inf, std::nan("")}) {
        EXPECT_TRUE(std::isfinite(PerlinNoise2D(noise, x, 1.0))) << x;
        EXPECT_TRUE(std::isfinite(SumPerlinOctaves(4, x, 10.0, 0.5))) << x;
    }
}

TEST(NoiseTest, OctaveNoiseSumsWeightedLatticeValues)
{
    // At x = 0 every octave reads cell 0 with no interpolation.
    struct Case {
        std::int32_t octaves;
        double persistence;
        double weights;
    };
    const Case cases[] = {{1, 0.5, 1.0}, {3, 0.5, 1.75}, {4, 0.25, 1.328125}, {0, 0.5, 0.0}, {-2, 0.5, 0.0}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(SumPerlinOctaves(c.octaves, 0.0, 7.0, c.persistence), LatticeNoise(0) * c.weights)
            << c.octaves;
    // Half-way between cells the cosine weight is one half.
    EXPECT_NEAR(SumPerlinOctaves(1, 0.5, 1.0, 0.5), (LatticeNoise(0) + LatticeNoise(1)) / 2.0, 1e-6);
}

TEST(NoiseTest, StoredValuesCannotBreakTheOctaveNoise)
{
    // A period of 0 reads the first cell; a huge octave count is bounded and
    // adds nothing visible past the bound.
    EXPECT_TRUE(std::isfinite(SumPerlinOctaves(3, 2.0, 0.0, 0.5)));
    EXPECT_DOUBLE_EQ(SumPerlinOctaves(INT_MAX, 3.3, 5.0, 0.5), SumPerlinOctaves(64, 3.3, 5.0, 0.5));
    const PerlinNoiseParams many{0.5, 1.0, 1.0, INT_MAX, 7};
    PerlinNoiseParams bounded = many;
    bounded.octaves = 64;
    EXPECT_DOUBLE_EQ(PerlinNoise2D(many, 0.3, 0.7), PerlinNoise2D(bounded, 0.3, 0.7));
}

TEST(WholeFractionTest, SplitsLikeModf)
{
    struct Case {
        double x;
        float whole;
        double fraction;
    };
    const Case cases[] = {{2.75, 2.0f, 0.75}, {-1.25, -1.0f, -0.25}, {0.0, 0.0f, 0.0}, {7.0, 7.0f, 0.0}};
    for (const Case& c : cases) {
        float whole = -99.0f;
        EXPECT_DOUBLE_EQ(SplitWholeFraction(c.x, whole), c.fraction) << c.x;
        EXPECT_EQ(whole, c.whole) << c.x;
    }
}

} // namespace

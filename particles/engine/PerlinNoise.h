#pragma once
// The engine's value noise: PerlinNoise2D, sampled by the noise routines of
// particles and particle transforms, and SumPerlinOctaves, a one-dimensional
// octave noise that picture effects use too. Both are deterministic functions
// of their arguments (no hidden state) and compute in double precision.

#include <cstdint>

// One noise source: octaves summed from the base frequency, each octave at
// twice the frequency and `persistence` times the weight of the one before.
// The amplitude is not applied by PerlinNoise2D; the routines scale by it.
struct PerlinNoiseParams {
    double persistence = 0.5;
    double frequency = 1.0;
    double amplitude = 1.0;
    std::int32_t octaves = 3;
    std::int32_t seed = 0;
};

// The lattice value of integer `n`, in (-1, 1].
double LatticeNoise(std::int32_t n);

// Smoothed two-dimensional noise at (p, q); 0 for an octave count <= 0.
// Both functions sum at most 64 octaves.
// With persistence 0.5 and 3 octaves it stays within -1.75 and 1.75.
double PerlinNoise2D(const PerlinNoiseParams& noise, double p, double q);

// One-dimensional octave noise at x, cosine-interpolated between lattice
// values, one lattice cell per `period` at the first octave; 0 for an
// octave count <= 0.
double SumPerlinOctaves(std::int32_t octaves, double x, double period, double persistence);

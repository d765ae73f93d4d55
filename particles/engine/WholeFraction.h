#pragma once
// Splitting a clock value into whole seconds and the fraction of the current
// second, as the sprite-effect controllers step their frames.

// Stores the whole part of x in `whole` and returns the fractional part
// (both with the sign of x), computed in double precision.
double SplitWholeFraction(double x, float& whole);

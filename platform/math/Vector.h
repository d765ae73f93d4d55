#pragma once
// Plain vector types of the D3DX-shaped math. Layout is the stored layout:
// consecutive floats, no padding, so arrays of them can be copied as bytes.

namespace math {

struct Vec2 {
    float x = 0.0f, y = 0.0f;
};

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct Vec4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};

static_assert(sizeof(Vec2) == 8 && sizeof(Vec3) == 12 && sizeof(Vec4) == 16);

} // namespace math

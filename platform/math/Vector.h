#pragma once
// Plain vector types of the D3DX-shaped math. Layout is the stored layout:
// consecutive floats, no padding, so arrays of them can be copied as bytes.
// Component-wise operators and scaling by a float, all in single precision.

#include <concepts>

namespace math {

struct Vec2 {
    float x = 0.0f, y = 0.0f;

    Vec2& operator+=(const Vec2& v) { x += v.x; y += v.y; return *this; }
    Vec2& operator-=(const Vec2& v) { x -= v.x; y -= v.y; return *this; }
    Vec2& operator*=(float s) { x *= s; y *= s; return *this; }
    Vec2& operator/=(float s) { x /= s; y /= s; return *this; }
    friend bool operator==(const Vec2&, const Vec2&) = default;
};

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vec3& operator+=(const Vec3& v) { x += v.x; y += v.y; z += v.z; return *this; }
    Vec3& operator-=(const Vec3& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
    Vec3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    Vec3& operator/=(float s) { x /= s; y /= s; z /= s; return *this; }
    friend bool operator==(const Vec3&, const Vec3&) = default;
};

struct Vec4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;

    Vec4& operator+=(const Vec4& v) { x += v.x; y += v.y; z += v.z; w += v.w; return *this; }
    Vec4& operator-=(const Vec4& v) { x -= v.x; y -= v.y; z -= v.z; w -= v.w; return *this; }
    Vec4& operator*=(float s) { x *= s; y *= s; z *= s; w *= s; return *this; }
    Vec4& operator/=(float s) { x /= s; y /= s; z /= s; w /= s; return *this; }
    friend bool operator==(const Vec4&, const Vec4&) = default;
};

static_assert(sizeof(Vec2) == 8 && sizeof(Vec3) == 12 && sizeof(Vec4) == 16);

template <class V>
concept MathVector = std::same_as<V, Vec2> || std::same_as<V, Vec3> || std::same_as<V, Vec4>;

template <MathVector V> V operator+(V a, const V& b) { return a += b; }
template <MathVector V> V operator-(V a, const V& b) { return a -= b; }
template <MathVector V> V operator*(V a, float s) { return a *= s; }
template <MathVector V> V operator*(float s, V a) { return a *= s; }
template <MathVector V> V operator/(V a, float s) { return a /= s; }
template <MathVector V> V operator-(V a) { return a *= -1.0f; }

} // namespace math

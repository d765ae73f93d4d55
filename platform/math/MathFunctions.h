#pragma once
// The D3DX-shaped math functions: row vectors (p' = p x M), left-handed
// coordinates unless a name says RH, single precision, D3DX's formulas.
// Like D3DX, each function writes its result through `out` and returns `out`;
// `out` may alias an input. Angles are in radians.

#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

namespace math {

inline constexpr float kPi = 3.141592654f;

constexpr float ToRadian(float degrees) { return degrees * (kPi / 180.0f); }

// ---- Matrices ---------------------------------------------------------------

Matrix* MatrixIdentity(Matrix* out);
Matrix* MatrixMultiply(Matrix* out, const Matrix& a, const Matrix& b);
Matrix* MatrixTranspose(Matrix* out, const Matrix& m);
float MatrixDeterminant(const Matrix& m);

// Inverse of m. Writes the determinant to `determinant` when it is given.
// A singular matrix (determinant 0) leaves `out` untouched and returns null.
Matrix* MatrixInverse(Matrix* out, float* determinant, const Matrix& m);

Matrix* MatrixTranslation(Matrix* out, float x, float y, float z);
Matrix* MatrixScaling(Matrix* out, float sx, float sy, float sz);
Matrix* MatrixRotationX(Matrix* out, float angle);
Matrix* MatrixRotationY(Matrix* out, float angle);
Matrix* MatrixRotationZ(Matrix* out, float angle);
// Rotation about `axis` (normalised first). A zero axis gives the identity.
Matrix* MatrixRotationAxis(Matrix* out, const Vec3& axis, float angle);

// View matrix: the eye goes to the origin, looking down +z, `up` towards +y.
Matrix* MatrixLookAtLH(Matrix* out, const Vec3& eye, const Vec3& at, const Vec3& up);

// Projections to Direct3D's clip volume: x, y in [-1, 1], z in [0, 1].
Matrix* MatrixOrthoLH(Matrix* out, float width, float height, float zNear, float zFar);
Matrix* MatrixOrthoOffCenterLH(Matrix* out, float left, float right, float bottom, float top, float zNear,
                               float zFar);
Matrix* MatrixOrthoOffCenterRH(Matrix* out, float left, float right, float bottom, float top, float zNear,
                               float zFar);
Matrix* MatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar);

// ---- Vectors ----------------------------------------------------------------

float Vec2Dot(const Vec2& a, const Vec2& b);
float Vec2Length(const Vec2& v);
float Vec2LengthSq(const Vec2& v);
Vec2* Vec2Normalize(Vec2* out, const Vec2& v); // a zero vector stays zero
Vec2* Vec2Lerp(Vec2* out, const Vec2& a, const Vec2& b, float s);
Vec4* Vec2Transform(Vec4* out, const Vec2& v, const Matrix& m);       // (x, y, 0, 1) x M
Vec2* Vec2TransformCoord(Vec2* out, const Vec2& v, const Matrix& m);  // then divided by w
Vec2* Vec2TransformNormal(Vec2* out, const Vec2& v, const Matrix& m); // (x, y, 0, 0) x M

float Vec3Dot(const Vec3& a, const Vec3& b);
Vec3* Vec3Cross(Vec3* out, const Vec3& a, const Vec3& b);
float Vec3Length(const Vec3& v);
float Vec3LengthSq(const Vec3& v);
Vec3* Vec3Normalize(Vec3* out, const Vec3& v); // a zero vector stays zero
Vec3* Vec3Lerp(Vec3* out, const Vec3& a, const Vec3& b, float s);
Vec4* Vec3Transform(Vec4* out, const Vec3& v, const Matrix& m);       // (x, y, z, 1) x M
// (x, y, z, 1) x M divided by the resulting w; a w of 0 leaves the
// undivided result rather than infinities. Same for Vec2TransformCoord.
Vec3* Vec3TransformCoord(Vec3* out, const Vec3& v, const Matrix& m);
Vec3* Vec3TransformNormal(Vec3* out, const Vec3& v, const Matrix& m); // (x, y, z, 0) x M

float Vec4Dot(const Vec4& a, const Vec4& b);
float Vec4Length(const Vec4& v);
float Vec4LengthSq(const Vec4& v);
Vec4* Vec4Normalize(Vec4* out, const Vec4& v); // a zero vector stays zero
Vec4* Vec4Lerp(Vec4* out, const Vec4& a, const Vec4& b, float s);
Vec4* Vec4Transform(Vec4* out, const Vec4& v, const Matrix& m);

} // namespace math

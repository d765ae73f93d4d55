#include "platform/math/MathFunctions.h"

#include <cmath>

namespace math {

namespace {

// Row vector (x, y, z, w) times m.
Vec4 RowTimesMatrix(float x, float y, float z, float w, const Matrix& m)
{
    return {x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + w * m.m[3][0],
            x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + w * m.m[3][1],
            x * m.m[0][2] + y * m.m[1][2] + z * m.m[2][2] + w * m.m[3][2],
            x * m.m[0][3] + y * m.m[1][3] + z * m.m[2][3] + w * m.m[3][3]};
}

// Divides by w unless w is 0 (a point at infinity): dividing would only
// spread infinities and NaNs through the caller's geometry.
Vec4 DivideByW(Vec4 v)
{
    if (v.w == 0.0f)
        return v;
    return {v.x / v.w, v.y / v.w, v.z / v.w, 1.0f};
}

template <class V>
V* NormalizeInto(V* out, const V& v, float length)
{
    if (length == 0.0f) {
        *out = V{};
        return out;
    }
    *out = v / length;
    return out;
}

template <class V>
V* LerpInto(V* out, const V& a, const V& b, float s)
{
    *out = a + (b - a) * s;
    return out;
}

Matrix FromRows(const float (&rows)[4][4])
{
    Matrix result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result.m[r][c] = rows[r][c];
    return result;
}

// Cofactor of element (row, column): signed determinant of the 3x3 minor.
float Cofactor(const Matrix& m, int row, int column)
{
    int rows[3], columns[3];
    for (int i = 0, r = 0, c = 0; i < 4; ++i) {
        if (i != row)
            rows[r++] = i;
        if (i != column)
            columns[c++] = i;
    }
    auto at = [&](int r, int c) { return m.m[rows[r]][columns[c]]; };
    const float minor = at(0, 0) * (at(1, 1) * at(2, 2) - at(1, 2) * at(2, 1)) -
                        at(0, 1) * (at(1, 0) * at(2, 2) - at(1, 2) * at(2, 0)) +
                        at(0, 2) * (at(1, 0) * at(2, 1) - at(1, 1) * at(2, 0));
    return ((row + column) % 2 == 0) ? minor : -minor;
}

} // namespace

// ---- Matrices ---------------------------------------------------------------

Matrix* MatrixIdentity(Matrix* out)
{
    *out = Matrix{};
    return out;
}

Matrix* MatrixMultiply(Matrix* out, const Matrix& a, const Matrix& b)
{
    Matrix result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] +
                             a.m[r][3] * b.m[3][c];
    *out = result;
    return out;
}

Matrix* MatrixTranspose(Matrix* out, const Matrix& m)
{
    Matrix result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result.m[r][c] = m.m[c][r];
    *out = result;
    return out;
}

float MatrixDeterminant(const Matrix& m)
{
    float determinant = 0.0f;
    for (int c = 0; c < 4; ++c)
        determinant += m.m[0][c] * Cofactor(m, 0, c);
    return determinant;
}

Matrix* MatrixInverse(Matrix* out, float* determinant, const Matrix& m)
{
    const float det = MatrixDeterminant(m);
    if (determinant)
        *determinant = det;
    if (det == 0.0f)
        return nullptr;
    // Inverse = adjugate / determinant; the adjugate is the transposed cofactor matrix.
    Matrix result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            result.m[c][r] = Cofactor(m, r, c) / det;
    *out = result;
    return out;
}

Matrix* MatrixTranslation(Matrix* out, float x, float y, float z)
{
    *out = FromRows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {x, y, z, 1}});
    return out;
}

Matrix* MatrixScaling(Matrix* out, float sx, float sy, float sz)
{
    *out = FromRows({{sx, 0, 0, 0}, {0, sy, 0, 0}, {0, 0, sz, 0}, {0, 0, 0, 1}});
    return out;
}

Matrix* MatrixRotationX(Matrix* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = FromRows({{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}});
    return out;
}

Matrix* MatrixRotationY(Matrix* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = FromRows({{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}});
    return out;
}

Matrix* MatrixRotationZ(Matrix* out, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    *out = FromRows({{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
    return out;
}

Matrix* MatrixRotationAxis(Matrix* out, const Vec3& axis, float angle)
{
    Vec3 n;
    Vec3Normalize(&n, axis);
    // A zero axis names no rotation; the bare formula would scale by cos(angle).
    if (n == Vec3{})
        return MatrixIdentity(out);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    const float x = n.x, y = n.y, z = n.z;
    *out = FromRows({{t * x * x + c, t * x * y + s * z, t * x * z - s * y, 0},
                     {t * x * y - s * z, t * y * y + c, t * y * z + s * x, 0},
                     {t * x * z + s * y, t * y * z - s * x, t * z * z + c, 0},
                     {0, 0, 0, 1}});
    return out;
}

Matrix* MatrixLookAtLH(Matrix* out, const Vec3& eye, const Vec3& at, const Vec3& up)
{
    Vec3 zAxis, xAxis, yAxis;
    Vec3Normalize(&zAxis, at - eye);
    Vec3Normalize(&xAxis, *Vec3Cross(&xAxis, up, zAxis));
    Vec3Cross(&yAxis, zAxis, xAxis);
    *out = FromRows({{xAxis.x, yAxis.x, zAxis.x, 0},
                     {xAxis.y, yAxis.y, zAxis.y, 0},
                     {xAxis.z, yAxis.z, zAxis.z, 0},
                     {-Vec3Dot(xAxis, eye), -Vec3Dot(yAxis, eye), -Vec3Dot(zAxis, eye), 1}});
    return out;
}

Matrix* MatrixOrthoLH(Matrix* out, float width, float height, float zNear, float zFar)
{
    *out = FromRows({{2.0f / width, 0, 0, 0},
                     {0, 2.0f / height, 0, 0},
                     {0, 0, 1.0f / (zFar - zNear), 0},
                     {0, 0, zNear / (zNear - zFar), 1}});
    return out;
}

Matrix* MatrixOrthoOffCenterLH(Matrix* out, float left, float right, float bottom, float top, float zNear,
                               float zFar)
{
    *out = FromRows({{2.0f / (right - left), 0, 0, 0},
                     {0, 2.0f / (top - bottom), 0, 0},
                     {0, 0, 1.0f / (zFar - zNear), 0},
                     {(left + right) / (left - right), (top + bottom) / (bottom - top), zNear / (zNear - zFar), 1}});
    return out;
}

Matrix* MatrixOrthoOffCenterRH(Matrix* out, float left, float right, float bottom, float top, float zNear,
                               float zFar)
{
    *out = FromRows({{2.0f / (right - left), 0, 0, 0},
                     {0, 2.0f / (top - bottom), 0, 0},
                     {0, 0, 1.0f / (zNear - zFar), 0},
                     {(left + right) / (left - right), (top + bottom) / (bottom - top), zNear / (zNear - zFar), 1}});
    return out;
}

Matrix* MatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar)
{
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    *out = FromRows({{xScale, 0, 0, 0},
                     {0, yScale, 0, 0},
                     {0, 0, zFar / (zFar - zNear), 1},
                     {0, 0, -zNear * zFar / (zFar - zNear), 0}});
    return out;
}

// ---- Vectors ----------------------------------------------------------------

float Vec2Dot(const Vec2& a, const Vec2& b) { return a.x * b.x + a.y * b.y; }
float Vec2LengthSq(const Vec2& v) { return Vec2Dot(v, v); }
float Vec2Length(const Vec2& v) { return std::sqrt(Vec2LengthSq(v)); }
Vec2* Vec2Normalize(Vec2* out, const Vec2& v) { return NormalizeInto(out, v, Vec2Length(v)); }
Vec2* Vec2Lerp(Vec2* out, const Vec2& a, const Vec2& b, float s) { return LerpInto(out, a, b, s); }

Vec4* Vec2Transform(Vec4* out, const Vec2& v, const Matrix& m)
{
    *out = RowTimesMatrix(v.x, v.y, 0.0f, 1.0f, m);
    return out;
}

Vec2* Vec2TransformCoord(Vec2* out, const Vec2& v, const Matrix& m)
{
    const Vec4 r = DivideByW(RowTimesMatrix(v.x, v.y, 0.0f, 1.0f, m));
    *out = {r.x, r.y};
    return out;
}

Vec2* Vec2TransformNormal(Vec2* out, const Vec2& v, const Matrix& m)
{
    const Vec4 r = RowTimesMatrix(v.x, v.y, 0.0f, 0.0f, m);
    *out = {r.x, r.y};
    return out;
}

float Vec3Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float Vec3LengthSq(const Vec3& v) { return Vec3Dot(v, v); }
float Vec3Length(const Vec3& v) { return std::sqrt(Vec3LengthSq(v)); }
Vec3* Vec3Normalize(Vec3* out, const Vec3& v) { return NormalizeInto(out, v, Vec3Length(v)); }
Vec3* Vec3Lerp(Vec3* out, const Vec3& a, const Vec3& b, float s) { return LerpInto(out, a, b, s); }

Vec3* Vec3Cross(Vec3* out, const Vec3& a, const Vec3& b)
{
    *out = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    return out;
}

Vec4* Vec3Transform(Vec4* out, const Vec3& v, const Matrix& m)
{
    *out = RowTimesMatrix(v.x, v.y, v.z, 1.0f, m);
    return out;
}

Vec3* Vec3TransformCoord(Vec3* out, const Vec3& v, const Matrix& m)
{
    const Vec4 r = DivideByW(RowTimesMatrix(v.x, v.y, v.z, 1.0f, m));
    *out = {r.x, r.y, r.z};
    return out;
}

Vec3* Vec3TransformNormal(Vec3* out, const Vec3& v, const Matrix& m)
{
    const Vec4 r = RowTimesMatrix(v.x, v.y, v.z, 0.0f, m);
    *out = {r.x, r.y, r.z};
    return out;
}

float Vec4Dot(const Vec4& a, const Vec4& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }
float Vec4LengthSq(const Vec4& v) { return Vec4Dot(v, v); }
float Vec4Length(const Vec4& v) { return std::sqrt(Vec4LengthSq(v)); }
Vec4* Vec4Normalize(Vec4* out, const Vec4& v) { return NormalizeInto(out, v, Vec4Length(v)); }
Vec4* Vec4Lerp(Vec4* out, const Vec4& a, const Vec4& b, float s) { return LerpInto(out, a, b, s); }

Vec4* Vec4Transform(Vec4* out, const Vec4& v, const Matrix& m)
{
    *out = RowTimesMatrix(v.x, v.y, v.z, v.w, m);
    return out;
}

} // namespace math

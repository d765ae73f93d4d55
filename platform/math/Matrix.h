#pragma once
// 4x4 matrix of the D3DX-shaped math: row-vector convention (p' = p x M),
// m[row][column], translation in row 3. A x B applies A first.

namespace math {

struct Matrix {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    float& operator()(int row, int column) { return m[row][column]; }
    float operator()(int row, int column) const { return m[row][column]; }
    Matrix& operator*=(const Matrix& other);
    friend bool operator==(const Matrix&, const Matrix&) = default;
};

static_assert(sizeof(Matrix) == 64);

// a x b: the transform that applies a, then b.
Matrix operator*(const Matrix& a, const Matrix& b);

} // namespace math

#pragma once
// 4x4 matrix of the D3DX-shaped math: row-vector convention (p' = p x M),
// m[row][column], translation in row 3. A x B applies A first.

namespace math {

struct Matrix {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

static_assert(sizeof(Matrix) == 64);

} // namespace math

#include "platform/math/Matrix.h"

#include "platform/math/MathFunctions.h"

namespace math {

Matrix& Matrix::operator*=(const Matrix& other)
{
    MatrixMultiply(this, *this, other);
    return *this;
}

Matrix operator*(const Matrix& a, const Matrix& b)
{
    Matrix result;
    MatrixMultiply(&result, a, b);
    return result;
}

} // namespace math

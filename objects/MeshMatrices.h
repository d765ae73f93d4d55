#pragma once
// Matrices as values, for the 3D objects' controllers and trees: the D3DX
// builders return through an out pointer, which makes products of several
// of them hard to read.

#include "platform/math/MathFunctions.h"
#include "platform/math/Matrix.h"

namespace mesh_matrices {

// Degrees to radians as the controllers convert them.
inline constexpr float kRadiansPerDegree = 2.0f * 3.1415927f / 360.0f;

inline math::Matrix Translation(float x, float y, float z)
{
    math::Matrix m;
    math::MatrixTranslation(&m, x, y, z);
    return m;
}

inline math::Matrix Scaling(float x, float y, float z)
{
    math::Matrix m;
    math::MatrixScaling(&m, x, y, z);
    return m;
}

inline math::Matrix Scaling(float s)
{
    return Scaling(s, s, s);
}

// Rotations by an angle in radians.
inline math::Matrix RotationX(float radians)
{
    math::Matrix m;
    math::MatrixRotationX(&m, radians);
    return m;
}

inline math::Matrix RotationY(float radians)
{
    math::Matrix m;
    math::MatrixRotationY(&m, radians);
    return m;
}

inline math::Matrix RotationZ(float radians)
{
    math::Matrix m;
    math::MatrixRotationZ(&m, radians);
    return m;
}

// The same by an angle in degrees.
inline math::Matrix TurnX(float degrees)
{
    return RotationX(degrees * kRadiansPerDegree);
}

inline math::Matrix TurnY(float degrees)
{
    return RotationY(degrees * kRadiansPerDegree);
}

inline math::Matrix TurnZ(float degrees)
{
    return RotationZ(degrees * kRadiansPerDegree);
}

} // namespace mesh_matrices

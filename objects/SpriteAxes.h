#pragma once
// A sprite axis (or point) turned by a matrix, as a point (row vector, w 1).

#include "platform/math/MathFunctions.h"

inline math::Vec3 TurnedPoint(const math::Vec3& point, const math::Matrix& turn)
{
    math::Vec3 out;
    math::Vec3TransformCoord(&out, point, turn);
    return out;
}

#pragma once

// The few matrices and random directions that particle and object code
// builds. Angles are in degrees; matrices follow the row-vector convention
// (p' = p x M). Random draws come from crt::rand(), r = rand() / 32767.

#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

// The system's value of pi, as every angle conversion uses it.
inline constexpr float kScenePi = 3.1415927f;

// Rotation by `angleDegrees` about `axis` through the point `p`:
// translate(-p) x rotate(axis) x translate(p); `p` itself stays fixed.
void MakeRotationAboutAxisThroughPoint(math::Matrix& out, const math::Vec3& p, const math::Vec3& axis,
                                       float angleDegrees);

// A vector of `length` in the XY plane at a random angle phi between `from`
// and `to` degrees, turned clockwise on screen: (L cos phi, -L sin phi, 0).
// One draw.
void RandomDirectionInArc(math::Vec3& out, float length, float from, float to);

// As RandomDirectionInArc, then turned about Y by a random angle within
// +/- half the range. Two draws (the Z angle first).
void RandomDirectionInCone(math::Vec3& out, float length, float from, float to);

// The rotation in the XY plane that maps b onto a for unit vectors in that
// plane. Parallel, opposite or zero vectors give the identity. The vectors
// are not normalised.
void MakeRotationBetweenVectors(math::Matrix& out, const math::Vec3& a, const math::Vec3& b);

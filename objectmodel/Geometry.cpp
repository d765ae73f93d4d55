#include "objectmodel/Geometry.h"

#include "platform/crt/Random.h"
#include "platform/math/MathFunctions.h"

#include <cmath>

namespace {

float DegreesToRadians(float degrees) { return degrees * 2.0f * kScenePi / 360.0f; }


math::Vec3 TurnAboutZ(const math::Vec3& v, float negatedAngleRadians)
{
    math::Matrix rotation;
    math::MatrixRotationZ(&rotation, negatedAngleRadians);
    math::Vec3 out;
    math::Vec3TransformCoord(&out, v, rotation);
    return out;
}

} // namespace

void MakeRotationAboutAxisThroughPoint(math::Matrix& out, const math::Vec3& p, const math::Vec3& axis,
                                       float angleDegrees)
{
    math::Matrix toOrigin, rotation, back;
    math::MatrixTranslation(&toOrigin, -p.x, -p.y, -p.z);
    math::MatrixRotationAxis(&rotation, axis, DegreesToRadians(angleDegrees));
    math::MatrixTranslation(&back, p.x, p.y, p.z);
    out = toOrigin * rotation * back;
}

void RandomDirectionInArc(math::Vec3& out, float length, float from, float to)
{
    const float phi = crt::RandomUnit() * (to - from) + from;
    out = TurnAboutZ({length, 0.0f, 0.0f}, -phi * kScenePi / 180.0f);
}

void RandomDirectionInCone(math::Vec3& out, float length, float from, float to)
{
    const float range = to - from;
    const float r1 = crt::RandomUnit();
    const math::Vec3 inPlane = TurnAboutZ({length, 0.0f, 0.0f}, -(r1 * range + from) * kScenePi / 180.0f);
    const float r2 = crt::RandomUnit();
    math::Matrix aboutY;
    math::MatrixRotationY(&aboutY, (r2 * range - range / 2.0f) * kScenePi / 180.0f);
    math::Vec3TransformCoord(&out, inPlane, aboutY);
}

void MakeRotationBetweenVectors(math::Matrix& out, const math::Vec3& a, const math::Vec3& b)
{
    math::MatrixIdentity(&out);
    math::Vec3 c;
    math::Vec3Cross(&c, a, b);
    const float m = std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);
    if (!(m > 0.0f))
        return;
    const float s = c.z < 0.0f ? -m : m;
    const float cosine = math::Vec3Dot(a, b);
    out.m[0][0] = cosine;
    out.m[0][1] = -s;
    out.m[1][0] = s;
    out.m[1][1] = cosine;
}

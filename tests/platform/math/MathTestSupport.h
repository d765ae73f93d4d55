#pragma once
// Float comparisons for the math tests.

#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mathtest {

inline constexpr float kTolerance = 1e-5f;

inline testing::AssertionResult Near(const math::Matrix& actual, const math::Matrix& expected,
                                     float tolerance = kTolerance)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!(std::fabs(actual.m[r][c] - expected.m[r][c]) <= tolerance))
                return testing::AssertionFailure()
                       << "m[" << r << "][" << c << "] is " << actual.m[r][c] << ", expected " << expected.m[r][c];
    return testing::AssertionSuccess();
}

inline testing::AssertionResult Near(const math::Vec4& a, const math::Vec4& e, float tolerance = kTolerance)
{
    const float d[] = {a.x - e.x, a.y - e.y, a.z - e.z, a.w - e.w};
    for (float v : d)
        if (!(std::fabs(v) <= tolerance))
            return testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ", " << a.w
                                               << ") expected (" << e.x << ", " << e.y << ", " << e.z << ", "
                                               << e.w << ")";
    return testing::AssertionSuccess();
}

inline testing::AssertionResult Near(const math::Vec3& a, const math::Vec3& e, float tolerance = kTolerance)
{
    return Near(math::Vec4{a.x, a.y, a.z, 0}, math::Vec4{e.x, e.y, e.z, 0}, tolerance);
}

inline testing::AssertionResult Near(const math::Vec2& a, const math::Vec2& e, float tolerance = kTolerance)
{
    return Near(math::Vec4{a.x, a.y, 0, 0}, math::Vec4{e.x, e.y, 0, 0}, tolerance);
}

} // namespace mathtest

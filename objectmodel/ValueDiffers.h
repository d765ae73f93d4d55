#pragma once

// The "differs" test of parameter values: a changed-value set stores and
// notifies only when the new value differs, and an undo step writes back
// only when its copy differs from the parameter.
//
// The default compares with operator== (a NaN float always differs; vectors
// differ in size or in any element; a vector of handles differs when any
// element refers to another object). A value type of a higher layer either
// provides operator== or specialises MediaValueTraits<T>.

#include "platform/math/Vector.h"

template <class T>
struct MediaValueTraits {
    static bool Differs(const T& a, const T& b) { return !(a == b); }
};

// Vectors differ when any of x, y, z compares unequal.
template <>
struct MediaValueTraits<math::Vec3> {
    static bool Differs(const math::Vec3& a, const math::Vec3& b) { return a.x != b.x || a.y != b.y || a.z != b.z; }
};

template <class T>
bool MediaValueDiffers(const T& a, const T& b)
{
    return MediaValueTraits<T>::Differs(a, b);
}

#pragma once

// Angle parameters with derived vectors.
//
// MediaDirection: an angle in degrees (the stored unsigned value) with its
// direction (cos, sin, 0, 0) and normal (-sin, cos, 0, 0), recomputed on
// every change of the angle by a callback control that watches the object
// itself.
// MediaSector: a direction (the centre) with a spread in degrees, and a
// random direction within it. The sector turns the opposite way from the
// direction vectors: its directions are (cos a, sin a, 0) with
// a = 360 - (centre + delta) degrees.

#include <cstdint>

#include "objectmodel/CallbackControls.h"
#include "objectmodel/MediaParam.h"
#include "platform/math/Vector.h"

class MediaDirection : public MediaParamT<std::uint32_t> {
public:
    explicit MediaDirection(std::uint32_t angle = 0);
    MediaDirection(const MediaDirection& other);
    // Takes the other angle by a quiet set; the vectors follow.
    MediaDirection& operator=(const MediaDirection& other);

    // The vectors are the object's own and follow a quiet set too. (A direct
    // store, StoreValue, leaves them; readers then call UpdateVectors().)
    void QuietSet(std::uint32_t angle);

    // Recomputes direction and normal from the angle.
    void UpdateVectors();

    const math::Vec4& Direction() const { return m_direction; }
    const math::Vec4& Normal() const { return m_normal; }

private:
    math::Vec4 m_direction;
    math::Vec4 m_normal;
    SmartCalbackCtrl<MediaDirection> m_angleWatch;
};

class MediaSector : public MediaDirection {
public:
    explicit MediaSector(std::uint32_t centre = 0, std::uint32_t spreadDegrees = 0);

    // A direction at an offset delta = r x 2 x spread - spread degrees from
    // the centre, for r in [0, 1].
    math::Vec3 DirectionAt(float r) const;
    // DirectionAt(rand() / 32767), from the scene's random sequence.
    math::Vec3 RandomDirection() const;

    MediaParamT<std::uint32_t> spread;
};

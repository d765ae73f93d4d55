#pragma once

// Compound parameters for shapes on the canvas.
//
// MediaQuad: four corners (holders without undo), corner 0 to corner 3.
// Changing a corner tells nobody unless the owner does so.
// MediaRectangle: four edges with undo and two further ints (the centre x
// and y of the owner), with a hit test in canvas coordinates.
//
// The hit test needs the current render context's inverse view and inverse
// scene matrices. The render layer lives above this one, so it installs a
// provider (SetCanvasTransformProvider) that fills them from the thread's
// current context.

#include <array>
#include <cstdint>

#include "objectmodel/MediaParam.h"
#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

class MediaQuad : public MediaParam {
public:
    MediaQuad();
    // Copies the four corner values only.
    MediaQuad(const MediaQuad& other);
    MediaQuad& operator=(const MediaQuad& other);

    // Direct stores of an axis-aligned w x h rectangle around `centre`:
    // corners left-top, left-bottom, right-top, right-bottom (y down).
    void SetRectangle(float width, float height, const math::Vec3& centre);

    std::array<MediaParamTB<math::Vec3>, 4> corners;
};

// The matrices that take a target point back to the canvas.
struct CanvasInverseTransforms {
    math::Matrix inverseView;
    math::Matrix inverseScene;
};

// Fills `out` from the thread's current render context; false when there is
// none.
using CanvasTransformProvider = bool (*)(CanvasInverseTransforms& out);

// Installed by the render layer; null uninstalls. Returns the previous one.
CanvasTransformProvider SetCanvasTransformProvider(CanvasTransformProvider provider);

class MediaRectangle : public MediaParam {
public:
    MediaRectangle();
    // Copies the six values only.
    MediaRectangle(const MediaRectangle& other);
    MediaRectangle& operator=(const MediaRectangle& other);

    // Whether the target point (x, y) lies inside the edges (bounds
    // included) once taken to the canvas by the current render context's
    // inverse view and inverse scene matrices. False without a context.
    bool ContainsPoint(float x, float y) const;
    // The same with the matrices given.
    bool ContainsPoint(float x, float y, const CanvasInverseTransforms& transforms) const;

    MediaParamT<std::int32_t> left;
    MediaParamT<std::int32_t> right;
    MediaParamT<std::int32_t> top;
    MediaParamT<std::int32_t> bottom;
    MediaParamTB<std::int32_t> centreX;
    MediaParamTB<std::int32_t> centreY;
};

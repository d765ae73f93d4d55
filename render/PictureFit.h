#pragma once
// Placing a picture (or a canvas) of one aspect inside a view of another,
// for the picture-position modes the player offers, and the guarded
// arithmetic every fitting routine shares.
//
// A picture whose size is 0 (a slide whose background failed to load) or a
// view of size 0 (a window before its first resize) yields an empty
// rectangle, never a NaN or an infinity: everything fitted into it
// collapses and nothing is drawn.

#include "platform/math/Matrix.h"

namespace PicturePosition {
inline constexpr int kStretch = 0; // the canvas is stretched over the whole view
inline constexpr int kFit = 1;     // the whole canvas is visible, with bars where the aspects differ
inline constexpr int kFill = 2;    // the canvas covers the view, the overflow is cropped
// Used only inside the render base while drawing into a render-target
// texture: the canvas is stretched over the whole target and objects are
// drawn without the camera or pan/zoom matrix.
inline constexpr int kRenderTarget = 3;
} // namespace PicturePosition

// A rectangle {x, y, width, height} in floats.
struct FitRect {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;

    friend bool operator==(const FitRect&, const FitRect&) = default;
};

// Edges {left, top, right, bottom} in floats.
struct FitEdges {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;

    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
    friend bool operator==(const FitEdges&, const FitEdges&) = default;
};

// numerator / denominator, or 0 when the denominator is 0 or the quotient
// is not finite. Every division by a size goes through it.
float GuardedDivide(float numerator, float denominator);

// Translate(x, y, 0) and Scale(x, y, 1): the pieces every fitting matrix
// is built from.
math::Matrix Translation2D(float x, float y);
math::Matrix Scaling2D(float x, float y);

// The orthographic projection over a target of width x height pixels that
// every view of the render base uses: x to the right, y downward, depth
// from -5000 to 5000. A target with no area gives the identity rather than
// a matrix of infinities.
math::Matrix OrthoOverTarget(float width, float height);

// The rectangle, with the aspect of `contentWidth` x `contentHeight`, placed
// in a container of `containerWidth` x `containerHeight` for `mode`:
//   Fit: the whole content is visible and centred (x or y is 0);
//   Fill: the content covers the container and is centred (x or y is
//         negative or 0: the content overflows and is cropped);
//   Stretch, the render-target mode and any other: {0, 0, container}.
// Fit and Fill with an empty content or container give {0, 0, 0, 0}.
FitRect FitPictureRect(float contentWidth, float contentHeight, float containerWidth, float containerHeight,
                       int mode);

// The picture letterboxed into the view whatever the mode: the largest
// rectangle of the picture's aspect inside the view, centred. An empty
// picture or view gives {0, 0, 0, 0}.
FitEdges LetterboxPicture(float pictureWidth, float pictureHeight, float viewWidth, float viewHeight);

// Truncates toward zero as a float-to-int conversion does, with values
// beyond the int range clamped and a NaN giving 0 (a conversion the
// language leaves undefined otherwise).
int TruncateToInt(float value);

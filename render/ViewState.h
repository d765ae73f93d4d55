#pragma once
// ViewState: the device-level fitting record of a render context, read by
// the player and the picture effects. It letterboxes the picture into the
// view whatever the picture-position mode, and keeps beside it the scale
// that widens the letterboxed picture for Stretch or Fill (the mode scale)
// and the player's zoom.
//
// Matrices are row-vector (p x M; A x B applies A first).

#include <cstdint>

#include "platform/math/Matrix.h"

namespace gfx {
class Device;
}

class ViewState {
public:
    // The fitted rectangle in whole pixels (truncated).
    struct FittedRect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        friend bool operator==(const FittedRect&, const FittedRect&) = default;
    };

    ViewState();

    // Letterboxes the picture into a view of viewWidth x viewHeight pixels
    // and sets the device's world, view and projection transforms. Unless
    // `viewPushed`, the fitted rectangle is scaled from the view to the
    // device's back buffer (a view drawn into the window); a pushed view is
    // the whole target of a render-target pass and nothing is scaled.
    void Fit(gfx::Device& device, int viewWidth, int viewHeight, std::uint32_t pictureWidth,
             std::uint32_t pictureHeight, int mode, bool viewPushed);

    // Fit's arithmetic without the device: `targetWidth` x `targetHeight`
    // is the size the fitted rectangle is scaled to (the back buffer, or the
    // view itself when nothing is scaled).
    void FitToTarget(int viewWidth, int viewHeight, std::uint32_t pictureWidth, std::uint32_t pictureHeight,
                     int mode, float targetWidth, float targetHeight);

    // Stores the translation and the inverse factors and sets the mode-scale
    // matrix to Translate(tx, ty) x Scale(sx, sy). A factor of 0 stores an
    // inverse of 0.
    void SetModeScale(float tx, float ty, float sx, float sy);

    // The zoom matrix: the picture scaled by `zoom` about its centre and
    // shifted by (panX, panY) picture sizes. The player passes (1, 0, 0).
    void ApplyZoom(float zoom, float panX, float panY);

    // Maps picture pixels to target pixels for the letterboxed picture.
    math::Matrix pictureFit;
    // Translate then scale: widens the letterboxed picture for Stretch or Fill.
    math::Matrix modeScale;
    // Handed to the device as the world transform.
    math::Matrix world;
    // Eye at (0, 0, -1) looking at the origin, y up.
    math::Matrix view;
    // Orthographic over the view; identity until the first fit.
    math::Matrix projection;
    float inverseModeScaleX = 1.0f;
    float inverseModeScaleY = 1.0f;
    float modeTranslationX = 0.0f;
    float modeTranslationY = 0.0f;
    float zoom = 1.0f;
    float zoomOffsetY = 0.0f;
    float zoomOffsetX = 0.0f;
    // Nothing changes it; readers multiply it with the mode-scale matrix.
    math::Matrix base;
    math::Matrix zoomMatrix;
    int mode = 1;
    std::uint32_t pictureWidth = 0;
    std::uint32_t pictureHeight = 0;
    float backBufferScaleX = 1.0f;
    float backBufferScaleY = 1.0f;
    float picturePixelsPerViewPixel = 0.0f;
    FittedRect fitted;
};

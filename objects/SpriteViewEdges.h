#pragma once
// The view rectangle of a sprite description in picture pixels: the current
// picture size times the view fractions. Sprites of the scene objects move
// inside it (a sprite's x runs from left to right, its y from top to bottom).

#include "render/ViewObjCtrl.h"

struct SpriteViewEdges {
    float left = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    float bottom = 0.0f;
};

inline SpriteViewEdges ViewEdgesOf(const DS_ViewObjCtrl& view)
{
    const float width = CurrentPictureWidth();
    const float height = CurrentPictureHeight();
    return {width * view.leftFraction, width * view.rightFraction, height * view.topFraction,
            height * view.bottomFraction};
}

#pragma once
// Screen utilities used by hit tests and text objects:
//
//   ProjectToView  maps a point given in the coordinates of the fitted
//                  picture quad of a ScreenInfo to picture pixels and undoes
//                  the zoom of the thread's view state (RenderContext):
//                    x' = W (x - qL) / (qR - qL) (a1 / z0) - (a3 / z0 + tx)
//                    y' = H (y - qT) / (qB - qT) (a2 / z0) - (a4 / z0 + ty)
//                  with W x H the picture size, qL, qR, qT, qB the quad's
//                  left, right, top and bottom edges, z0 the zoom, (tx, ty)
//                  the zoom translation and a1..a4 the inverse mode scale
//                  and the mode translation. A quad of no width or height,
//                  a zoom of 0 or no current render context leaves the point
//                  as it is (no infinity or NaN).
//   RoundToInt     the nearest integer in the current rounding mode (ties
//                  to even by default).

#include <cstdint>

#include "platform/math/Vector.h"

struct ScreenInfo;
class ViewState;

math::Vec3 ProjectToView(const ScreenInfo& screen, float x, float y, float z);
// The same with an explicit view state (the thread's one above).
math::Vec3 ProjectToView(const ScreenInfo& screen, const ViewState& view, float x, float y, float z);

std::int32_t RoundToInt(float x);

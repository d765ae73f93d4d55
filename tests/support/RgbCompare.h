#pragma once
// Comparing read-back pixels with expected colours.

#include <cstdint>

namespace rgb_compare {

// Whether `pixel` (0xAARRGGBB; alpha is ignored) shows `rgb`, each colour
// channel within `tolerance`.
inline bool ShowsRgb(std::uint32_t pixel, std::uint32_t rgb, int tolerance = 8)
{
    for (int shift : {0, 8, 16}) {
        const int difference = int((pixel >> shift) & 0xFFu) - int((rgb >> shift) & 0xFFu);
        if (difference > tolerance || difference < -tolerance)
            return false;
    }
    return true;
}

} // namespace rgb_compare

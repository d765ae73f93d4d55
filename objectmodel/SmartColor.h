#pragma once

// Colour parameters.
//
// SmartColorHSB: hue (degrees), saturation and brightness (percent), each an
// unsigned parameter, and the RGBA computed from them. The object observes
// its own three parts and recomputes the colour on every notified change.
// SmartCOLORREF: a colour word COLORREF 0x00BBGGRR (red in the low byte).
// ColorAndOpacity: a colour word with its transparency percentage, whose
// byte copy is the alpha (255 at 0 %, 127 at 50 %, 0 at 100 %).
// SetQuadVertexColor: packs a colour word and an alpha into the colour field
// of the four vertices of a batch quad.

#include <cstdint>

#include "objectmodel/Archive.h"
#include "objectmodel/MediaControl.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ScaledParams.h"
#include "platform/crt/WinTypes.h"

class SmartColorHSB : public MediaControl {
public:
    SmartColorHSB();
    // Takes the other's hue, saturation and brightness by SetHSB.
    SmartColorHSB(const SmartColorHSB& other);
    SmartColorHSB& operator=(const SmartColorHSB& other);

    // Quiet sets of the three parts (no callbacks run), then the colour is
    // recomputed once.
    void SetHSB(std::uint32_t hueDegrees, std::uint32_t saturationPercent, std::uint32_t brightnessPercent);

    // One of the three parts changed.
    void OnParamChanged(MediaControl* source) override;

    // Recomputes r, g, b (a = 1) from the three parts.
    void UpdateColor();

    MediaParamT<std::uint32_t> hue;
    MediaParamT<std::uint32_t> saturation;
    MediaParamT<std::uint32_t> brightness;
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

// Stored form: hue, saturation, brightness (uint32), then r, g, b, a
// (floats), all stored directly; the colour is not recomputed.
void ReadColorHSB(ArchiveReader ar, SmartColorHSB& color);
void WriteColorHSB(ArchiveWriter ar, const SmartColorHSB& color);

class SmartCOLORREF : public MediaParamT<COLORREF> {
public:
    explicit SmartCOLORREF(COLORREF initial = 0) : MediaParamT<COLORREF>(initial) {}
};

// A colour and its transparency, constructed and destroyed as one.
struct ColorAndOpacity {
    static constexpr COLORREF kDefaultColor = 0x00FFFFFF;

    SmartCOLORREF colour{kDefaultColor};
    UINTSclaleTo<std::uint8_t> opacity{-2.55f, 255.0f, 0};
};

// 0xAARRGGBB from a colour word and an alpha in 0..255: each channel divided
// by 255, clamped to 0..1, then x 255 + 0.5 truncated.
std::uint32_t PackVertexColor(COLORREF colour, float alpha);
// 0xAARRGGBB from four channels in 0..1 by the same rule (a channel that is
// not a number packs as 0).
std::uint32_t PackUnitColor(float red, float green, float blue, float alpha);

// The batch-quad vertex: x, y, z, the packed colour, u, v (24 bytes).
inline constexpr std::size_t kBatchVertexSize = 24;
inline constexpr std::size_t kBatchVertexColorOffset = 12;

// Writes the packed colour into the colour field of the four consecutive
// batch vertices at `quadVertices`.
void SetQuadVertexColor(COLORREF colour, float alpha, void* quadVertices);

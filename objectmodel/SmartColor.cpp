#include "objectmodel/SmartColor.h"

#include <cmath>
#include <cstring>

namespace {

struct Rgb {
    float r, g, b;
};

// Hue, saturation and brightness (0..1 for the last two) to RGB.
Rgb HsbToRgb(std::uint32_t hueDegrees, float s, float v)
{
    if (s == 0.0f)
        return {v, v, v};
    const float h = static_cast<float>(hueDegrees) / 60.0f;
    const int sector = static_cast<int>(std::floor(h));
    const float f = h - static_cast<float>(sector);
    const float p = (1.0f - s) * v;
    const float q = (1.0f - f * s) * v;
    const float t = (1.0f - (1.0f - f) * s) * v;
    switch (sector) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    default: return {v, p, q}; // 5, and 6 or more for a hue of 360 or more
    }
}

std::uint32_t UnitChannelByte(float unit)
{
    if (unit >= 1.0f)
        return 255;
    if (!(unit > 0.0f)) // also a NaN channel
        return 0;
    return static_cast<std::uint32_t>(unit * 255.0f + 0.5f);
}

std::uint32_t ChannelByte(float channel)
{
    return UnitChannelByte(channel / 255.0f);
}

} // namespace

SmartColorHSB::SmartColorHSB() : hue(0), saturation(0), brightness(0)
{
    hue.AddControl(this);
    saturation.AddControl(this);
    brightness.AddControl(this);
    UpdateColor();
}

SmartColorHSB::SmartColorHSB(const SmartColorHSB& other) : SmartColorHSB()
{
    SetHSB(other.hue.value, other.saturation.value, other.brightness.value);
}

SmartColorHSB& SmartColorHSB::operator=(const SmartColorHSB& other)
{
    SetHSB(other.hue.value, other.saturation.value, other.brightness.value);
    return *this;
}

void SmartColorHSB::SetHSB(std::uint32_t hueDegrees, std::uint32_t saturationPercent, std::uint32_t brightnessPercent)
{
    hue.QuietSet(hueDegrees);
    saturation.QuietSet(saturationPercent);
    brightness.QuietSet(brightnessPercent);
    UpdateColor();
}

void SmartColorHSB::OnParamChanged(MediaControl*)
{
    UpdateColor();
}

void SmartColorHSB::UpdateColor()
{
    const float s = static_cast<float>(saturation.value) * 0.01f;
    const float v = static_cast<float>(brightness.value) * 0.01f;
    const Rgb rgb = HsbToRgb(hue.value, s, v);
    r = rgb.r;
    g = rgb.g;
    b = rgb.b;
    a = 1.0f;
}

void ReadColorHSB(ArchiveReader ar, SmartColorHSB& color)
{
    color.hue.StoreValue(ar.ReadDword());
    color.saturation.StoreValue(ar.ReadDword());
    color.brightness.StoreValue(ar.ReadDword());
    color.r = ar.ReadFloat();
    color.g = ar.ReadFloat();
    color.b = ar.ReadFloat();
    color.a = ar.ReadFloat();
}

void WriteColorHSB(ArchiveWriter ar, const SmartColorHSB& color)
{
    ar->WriteDword(color.hue.value);
    ar->WriteDword(color.saturation.value);
    ar->WriteDword(color.brightness.value);
    ar->WriteFloat(color.r);
    ar->WriteFloat(color.g);
    ar->WriteFloat(color.b);
    ar->WriteFloat(color.a);
}

std::uint32_t PackVertexColor(COLORREF colour, float alpha)
{
    const std::uint32_t red = ChannelByte(static_cast<float>(GetRValue(colour)));
    const std::uint32_t green = ChannelByte(static_cast<float>(GetGValue(colour)));
    const std::uint32_t blue = ChannelByte(static_cast<float>(GetBValue(colour)));
    const std::uint32_t alphaByte = ChannelByte(alpha);
    return (alphaByte << 24) | (red << 16) | (green << 8) | blue;
}

std::uint32_t PackUnitColor(float red, float green, float blue, float alpha)
{
    return (UnitChannelByte(alpha) << 24) | (UnitChannelByte(red) << 16) | (UnitChannelByte(green) << 8) |
           UnitChannelByte(blue);
}

void SetQuadVertexColor(COLORREF colour, float alpha, void* quadVertices)
{
    const std::uint32_t packed = PackVertexColor(colour, alpha);
    auto* bytes = static_cast<unsigned char*>(quadVertices);
    for (std::size_t vertex = 0; vertex < 4; ++vertex)
        std::memcpy(bytes + vertex * kBatchVertexSize + kBatchVertexColorOffset, &packed, sizeof packed);
}

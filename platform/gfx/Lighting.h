#pragma once
// Light and material records of the fixed-function lighting, in the layout
// and meaning of Direct3D 9's: colours are floats 0..1 (r, g, b, a), the
// direction of a directional light is the direction the light travels.

#include <cstdint>

#include "platform/math/Vector.h"

namespace gfx {

struct ColorValue {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
    friend bool operator==(const ColorValue&, const ColorValue&) = default;
};

enum class LightType : std::uint32_t { Point = 1, Spot = 2, Directional = 3 };

struct Light {
    LightType type = LightType::Directional;
    ColorValue diffuse;
    ColorValue specular;
    ColorValue ambient;
    math::Vec3 position;
    math::Vec3 direction;
    float range = 0.0f;
    float falloff = 0.0f;
    float attenuation0 = 0.0f, attenuation1 = 0.0f, attenuation2 = 0.0f;
    float theta = 0.0f, phi = 0.0f;
};

struct Material {
    ColorValue diffuse;
    ColorValue ambient;
    ColorValue specular;
    ColorValue emissive;
    float power = 0.0f;
};

// The light that enabling a never-set light index gives: white, shining
// along +z.
inline Light DefaultLight()
{
    Light light;
    light.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.direction = {0.0f, 0.0f, 1.0f};
    return light;
}

} // namespace gfx

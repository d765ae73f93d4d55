orvanta-effect 1
# Underwater wobble: the picture at uv + amplitude x (sin 2 pi (frequency.y v
# + time), sin 2 pi (frequency.x u + time)); the class gives both axes the
# same wavelength in pixels.
include image-effect
parameter vec2 frequency = 1 1
parameter float amplitude
parameter float time

common
vec4 ImageEffect(vec2 uv)
{
    vec2 d = amplitude * vec2(sin(kTwoPi * (frequency.y * uv.y + time)), sin(kTwoPi * (frequency.x * uv.x + time)));
    return vec4(BackgroundAt(uv + d).rgb, 1.0);
}
end
include image-effect-techniques

orvanta-effect 1
# Stretch: with (s, d) the point's line coordinates (line-coordinates), the
# picture at (s, d / (1 + "amplitude")): stretched away from the line for a
# positive amplitude, squeezed towards it for a negative one.
include image-effect
include line-coordinates
parameter float amplitude

common
vec4 ImageEffect(vec2 uv)
{
    vec2 sd = LineCoordinates(uv);
    vec2 at = uv;
    FromLineCoordinates(vec2(sd.x, sd.y / SafeSpread(amplitude)), at);
    return vec4(BackgroundAt(at).rgb, 1.0);
}
end
include image-effect-techniques

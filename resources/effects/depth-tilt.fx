orvanta-effect 1
# Perspective: the picture tilted in depth about the line through "Center".
# With (s, d) the point's line coordinates (line-coordinates), the picture
# at the point whose line coordinates are (s x (1 + "p_amplitude" x d),
# d / (1 + "amplitude")): foreshortened across the line ("amplitude" <= 0)
# and narrowing on the side turned away ("p_amplitude").
include image-effect
include line-coordinates
parameter float amplitude
parameter float p_amplitude

common
vec4 ImageEffect(vec2 uv)
{
    vec2 sd = LineCoordinates(uv);
    vec2 source = vec2(sd.x * (1.0 + p_amplitude * sd.y), sd.y / SafeSpread(amplitude));
    vec2 at = uv;
    FromLineCoordinates(source, at);
    return vec4(BackgroundAt(at).rgb, 1.0);
}
end
include image-effect-techniques

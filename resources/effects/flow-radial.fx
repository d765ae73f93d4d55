orvanta-effect 1
# Radial flow: the picture streams out of "Center" (uv) or into it (flow):
# F = the unit vector from the centre in P units times ("Amplitude".x -
# "Amplitude".y), taken back to uv.
include image-effect
include flow
parameter vec2 Center = 0.5 0.5
parameter vec2 Amplitude

common
vec4 ImageEffect(vec2 uv)
{
    vec2 p = PictureUnits(uv - Center);
    float r = length(p);
    vec2 unit = r > 0.0 ? p / r : vec2(0.0);
    return Flow(uv, UnitsToUv(unit * (Amplitude.x - Amplitude.y)));
}
end
include image-effect-techniques

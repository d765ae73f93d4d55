# The flow shared by the flow-field effects: the picture streams along a
# field F (uv units) with the cycle "Shift" in 0..1. With s1 = Shift, s2 =
# fract(s1 + 0.5) and w1 = 1 - |2 s1 - 1|, the colour is w1 Background(uv -
# F s1) + (1 - w1) Background(uv - F s2): each lookup jumps back only while
# its weight is 0, so the flow shows no reset. Include after image-effect.

parameter float Shift

common
vec4 Flow(vec2 uv, vec2 field)
{
    float s1 = Shift;
    float s2 = fract(s1 + 0.5);
    float w1 = 1.0 - abs(2.0 * s1 - 1.0);
    vec3 colour = w1 * BackgroundAt(uv - field * s1).rgb + (1.0 - w1) * BackgroundAt(uv - field * s2).rgb;
    return vec4(colour, 1.0);
}
end

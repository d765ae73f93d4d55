orvanta-effect 1
# Light: the picture brightened by (1 + multiplier); the class makes the
# multiplier flicker.
include image-effect
parameter float multiplier

common
vec4 ImageEffect(vec2 uv)
{
    return vec4(clamp(BackgroundAt(uv).rgb * (1.0 + multiplier), 0.0, 1.0), 1.0);
}
end
include image-effect-techniques

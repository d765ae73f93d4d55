orvanta-effect 1
# Radial wave: rings about "center" (uv). d = length((uv - center) x
# "bg_scale_factor") (round when the factor gives both axes one unit); the
# picture at uv + normalize(uv - center) x "amplitude" x sin(2 pi
# ("frequency" d - "time")): as "time" grows the rings run outward.
include image-effect
parameter vec2 bg_scale_factor = 1 1
parameter vec2 center = 0.5 0.5
parameter float frequency = 1
parameter float amplitude
parameter float time

common
vec4 ImageEffect(vec2 uv)
{
    vec2 d = uv - center;
    float distance = length(d * bg_scale_factor);
    float len = length(d);
    vec2 outward = len > 0.0 ? d / len : vec2(0.0);
    float wave = sin(kTwoPi * (frequency * distance - time));
    return vec4(BackgroundAt(uv + outward * amplitude * wave).rgb, 1.0);
}
end
include image-effect-techniques

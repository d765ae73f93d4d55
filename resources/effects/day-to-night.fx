orvanta-effect 1
# Day to night: the picture multiplied by a colour, lit by a soft-light
# colour and drained of colour, faded in with the timeline.
#   c1 = picture x mul_color.rgb
#   c2 = mix(c1, soft light of c1 with soft_light_color.rgb, soft_light_color.a)
#        soft light per channel, base a, blend b:
#          b <= 0.5: a - (1 - 2b) a (1 - a)
#          b >  0.5: a + (2b - 1)(D(a) - a), D(a) = ((16a - 12)a + 4)a for
#                    a <= 0.25, sqrt(a) above
#   c3 = mix(c2, luminance(c2), Disaturate), luminance 0.299 r + 0.587 g +
#        0.114 b
# Strength: Fade (the class eases it in with the timeline) x mask.
include image-effect
parameter vec4 mul_color = 1 1 1 1
parameter vec4 soft_light_color = 0.5 0.5 0.5 1
parameter float Fade
parameter float Disaturate

common
float SoftLight(float a, float b)
{
    if (b <= 0.5)
        return a - (1.0 - 2.0 * b) * a * (1.0 - a);
    float d = a <= 0.25 ? ((16.0 * a - 12.0) * a + 4.0) * a : sqrt(a);
    return a + (2.0 * b - 1.0) * (d - a);
}

vec4 ImageEffect(vec2 uv)
{
    vec3 c1 = BackgroundAt(uv).rgb * mul_color.rgb;
    vec3 lit = vec3(SoftLight(c1.r, soft_light_color.r), SoftLight(c1.g, soft_light_color.g),
                    SoftLight(c1.b, soft_light_color.b));
    vec3 c2 = mix(c1, lit, soft_light_color.a);
    float luminance = dot(c2, vec3(0.299, 0.587, 0.114));
    vec3 c3 = mix(c2, vec3(luminance), Disaturate);
    return vec4(c3, Fade);
}
end
include image-effect-techniques

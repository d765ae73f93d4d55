orvanta-effect 1
# Expand: a bulge or pinch about "Center" (uv). With r the distance from the
# centre in P units and w(r) a smooth falloff from 1 at the centre to 0 at
# r = 0.5, the picture at Center + (uv - Center) x (1 - "amplitude".x w +
# "amplitude".y w): the outward part magnifies the middle, the inward part
# pulls the picture in towards it.
include image-effect
parameter vec2 Center = 0.5 0.5
parameter vec2 amplitude

common
const float kReach = 0.5;

vec4 ImageEffect(vec2 uv)
{
    vec2 d = uv - Center;
    float r = length(PictureUnits(d));
    float w = 1.0 - smoothstep(0.0, kReach, r);
    float factor = 1.0 - amplitude.x * w + amplitude.y * w;
    return vec4(BackgroundAt(Center + d * factor).rgb, 1.0);
}
end
include image-effect-techniques

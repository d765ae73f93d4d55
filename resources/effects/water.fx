orvanta-effect 1
# Water: the picture seen through a moving water surface.
#   Two lookups of the bump map (a normal map, WRAP) at P plus the two points
#   of "BampTrans" (they circle at the bump radius), both drifting by
#   "Direction2" x "Time"; "P1" and "P2" weigh the two normals into a slope
#   (for equal normals the weights nearly cancel, so only the ripples' change
#   shows); a swell sin(dot(P, "Direction1") + "Time") adds its own slope.
#   The picture is sampled at uv displaced by the slope (refraction),
#   darkened by "Shadows" where the surface turns away from "Vhalf", and
#   tinted by "Color".
include image-effect
parameter texture BumpMap = white
sampler BumpMap AddressU=Wrap AddressV=Wrap MinFilter=Linear MagFilter=Linear MipFilter=None
parameter vec4 BampTrans = 1 0 0 1
parameter vec3 P1 = -1 -1 -1
parameter vec3 P2 = 1 1 1
parameter vec3 Vhalf = 0 0 1
parameter vec3 Color = 1 1 1
parameter float Time
parameter float Shadows
parameter vec2 Direction1
parameter vec2 Direction2

common
// Height of the swell in P units, and how far a unit slope displaces the
// picture (uv units).
const float kSwellHeight = 0.0015;
const float kRefraction = 0.03;

vec2 SurfaceSlope(vec2 uv)
{
    vec2 p = PictureUnits(uv);
    vec2 drift = Direction2 * Time;
    vec3 n1 = texture(BumpMap, p + BampTrans.xy + drift).xyz * 2.0 - 1.0;
    vec3 n2 = texture(BumpMap, p + BampTrans.zw + drift).xyz * 2.0 - 1.0;
    vec2 ripples = 0.5 * (n1.xy * P1.xz + n2.xy * P2.xz);
    vec2 swell = kSwellHeight * cos(dot(p, Direction1) + Time) * Direction1;
    return ripples + swell;
}

vec4 ImageEffect(vec2 uv)
{
    vec2 slope = SurfaceSlope(uv);
    vec3 colour = BackgroundAt(uv + slope * kRefraction).rgb;
    float facing = dot(normalize(vec3(-slope, 1.0)), Vhalf);
    colour *= 1.0 - Shadows * clamp(-facing, 0.0, 1.0);
    return vec4(clamp(colour * Color, 0.0, 1.0), 1.0);
}
end
include image-effect-techniques

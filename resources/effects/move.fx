orvanta-effect 1
# Move: the picture at uv + "Direction" (uv units): the content moves along
# the effect's direction.
include image-effect
parameter vec2 Direction

common
vec4 ImageEffect(vec2 uv)
{
    return vec4(BackgroundAt(uv + Direction).rgb, 1.0);
}
end
include image-effect-techniques

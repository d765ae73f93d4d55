orvanta-effect 1
# Background copy: the picture copied onto itself with an offset (uv units);
# an offset of 1.0 along an axis mirrors the copy along it.
include image-effect
parameter vec2 offset

common
vec4 ImageEffect(vec2 uv)
{
    return vec4(BackgroundAt(uv + offset).rgb, 1.0);
}
end
include image-effect-techniques

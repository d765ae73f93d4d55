orvanta-effect 1
# Linear flow: the picture streams along "Direction" (P units; flow).
include image-effect
include flow
parameter vec2 Direction

common
vec4 ImageEffect(vec2 uv)
{
    return Flow(uv, UnitsToUv(Direction));
}
end
include image-effect-techniques

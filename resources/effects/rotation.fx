orvanta-effect 1
# Rotation: the picture turned about its centre. q = uv + "offset" (the
# negated centre) in P units, so the turn stays round; the picture at q x
# "coord_transf" (a 2 x 2 matrix, row vector times rows (x, y) and (z, w))
# back in uv minus "offset". The colour is multiplied by "mix_color".rgb and
# drawn with strength "mix_color".a.
include image-effect
parameter vec4 coord_transf = 1 0 0 1
parameter vec2 offset = -0.5 -0.5
parameter vec4 mix_color = 1 1 1 1

common
vec4 ImageEffect(vec2 uv)
{
    vec2 q = PictureUnits(uv + offset);
    vec2 turned = vec2(q.x * coord_transf.x + q.y * coord_transf.z, q.x * coord_transf.y + q.y * coord_transf.w);
    vec3 colour = BackgroundAt(UnitsToUv(turned) - offset).rgb;
    return vec4(colour * mix_color.rgb, mix_color.a);
}
end
include image-effect-techniques

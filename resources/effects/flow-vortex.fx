orvanta-effect 1
# Vortex flow: the picture streams round "Center" (uv; flow). p = uv -
# Center in P units turned by "r_matrix3" (into the ellipse's axes), its y
# stretched by 1 + "ElipsDeform"; F = the tangent (-p.y, p.x) normalised,
# turned back by "r_matrix2", times "Amplitude", taken back to uv.
include image-effect
include flow
parameter vec2 Center = 0.5 0.5
parameter mat4 r_matrix2 = 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
parameter mat4 r_matrix3 = 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1
parameter float ElipsDeform
parameter float Amplitude

common
vec4 ImageEffect(vec2 uv)
{
    vec2 p = (vec4(PictureUnits(uv - Center), 0.0, 1.0) * r_matrix3).xy;
    p.y *= 1.0 + ElipsDeform;
    vec2 tangent = vec2(-p.y, p.x);
    float len = length(tangent);
    tangent = len > 0.0 ? tangent / len : vec2(0.0);
    vec2 field = (vec4(tangent, 0.0, 0.0) * r_matrix2).xy * Amplitude;
    return Flow(uv, UnitsToUv(field));
}
end
include image-effect-techniques

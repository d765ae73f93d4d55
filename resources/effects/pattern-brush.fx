orvanta-effect 1
# Pattern brush: "Pattern" tiled over the picture. The tile coordinate is
# uv . coord_transf + offset (coord_transf = M11, M12, M21, M22 of scaling by
# the tile counts, then the turn); "scale" (pattern width / height, 1) turns
# the tiles in pixel proportions, so turned tiles keep their shape. Colour:
# pattern x mix_color; strength: pattern alpha x mix_color alpha.
include image-effect
parameter vec4 mix_color = 1 1 1 1
parameter texture Pattern
sampler Pattern AddressU=Wrap AddressV=Wrap MinFilter=Linear MagFilter=Linear MipFilter=None
parameter vec2 scale = 1 1
parameter vec2 offset
parameter vec4 coord_transf = 1 0 0 1

common
vec4 ImageEffect(vec2 uv)
{
    mat2 turn = mat2(coord_transf.x, coord_transf.z, coord_transf.y, coord_transf.w);
    vec2 aspect = max(scale, vec2(1e-6));
    vec2 tile = ((uv * aspect) * turn) / aspect + offset;
    vec4 pattern = texture(Pattern, tile);
    return vec4(pattern.rgb * mix_color.rgb, pattern.a * mix_color.a);
}
end
include image-effect-techniques

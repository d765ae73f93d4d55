orvanta-effect 1
# Heat shimmer: the picture at uv + (Bumpmap at uv x bump_scale + Offset,
# red and green mapped to -1..1) x stenght. The class moves Offset along
# (q, -q) with its clock, so the shimmer drifts diagonally.
#   Main, MainFX        the image effect over the picture (strength x mask)
#   BumpmapDistortLow2  the flame light's haze: the finished frame
#                       (Background) over the haze quad, opaque, no mask
include image-effect
parameter float stenght
parameter vec2 Offset
parameter vec2 bump_scale = 1 1
parameter texture Bumpmap
sampler Bumpmap AddressU=Wrap AddressV=Wrap MinFilter=Linear MagFilter=Linear MipFilter=None

common
vec2 Shimmer(vec2 uv)
{
    vec2 bump = texture(Bumpmap, uv * bump_scale + Offset).rg * 2.0 - 1.0;
    return bump * stenght;
}

vec4 ImageEffect(vec2 uv)
{
    return vec4(BackgroundAt(uv + Shimmer(uv)).rgb, 1.0);
}
end
include image-effect-techniques

fragment Haze
in vec2 pictureUv;
void main()
{
    gfx_FragColor = vec4(BackgroundAt(pictureUv + Shimmer(pictureUv)).rgb, 1.0);
}
end

technique BumpmapDistortLow2
pass
    vertex Picture
    fragment Haze
    state AlphaBlendEnable False
    state ZEnable False
    state CullMode None
end

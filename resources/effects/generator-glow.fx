orvanta-effect 1
# Glow effect of the generators that leave trails of light (falling stars,
# fireworks, lightning). Their quad layers (XYZ | DIFFUSE | TEX1) are drawn
# into two masks cleared to transparent black, cores into one and glows into
# the other; then the picture's quad (XYZ | TEX1) lights the picture drawn so
# far with both.
#
#   BlendMask_Max  layer quads: "Texture1" x vertex colour, the colour
#                  weighted by its alpha, combined with the mask by
#                  per-channel maximum, so overlapping stars and sparks do not
#                  build up. Writes alpha too (the frames write colour only).
#   Main           "Texture1" the picture drawn so far, "Texture2" the glow
#                  mask, "Texture3" the core mask, written opaque: glows add
#                  light to the picture, cores are laid over it by their
#                  alpha. Where both masks are empty the picture comes out
#                  exactly.
#
# "Texture1" repeats along u: a lightning bolt's u runs on past 1 along the
# bolt. The picture is read at each pixel's own texel, so the wrap never
# reaches it.

parameter texture Texture1
parameter texture Texture2
parameter texture Texture3
sampler Texture1 AddressU=Wrap AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None
sampler Texture2 AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None
sampler Texture3 AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None

include pixel-centre

vertex Layer
out vec4 colour;
out vec2 texCoord;
void main()
{
    colour = gfx_Diffuse;
    texCoord = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

vertex Picture
out vec2 texCoord;
void main()
{
    texCoord = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

fragment Layer
in vec4 colour;
in vec2 texCoord;
void main()
{
    vec4 layer = texture(Texture1, texCoord) * colour;
    gfx_FragColor = vec4(layer.rgb * layer.a, layer.a);
}
end

fragment Main
in vec2 texCoord;
void main()
{
    vec2 uv = PixelCentre(texCoord);
    vec3 picture = texture(Texture1, uv).rgb;
    vec4 glow = texture(Texture2, uv);
    vec4 core = texture(Texture3, uv);
    vec3 lit = min(picture + glow.rgb, vec3(1.0));
    gfx_FragColor = vec4(min(lit * (1.0 - core.a) + core.rgb, vec3(1.0)), 1.0);
}
end

technique BlendMask_Max
pass
    vertex Layer
    fragment Layer
    state ColorWriteEnable 15
    state AlphaBlendEnable True
    state SrcBlend One
    state DestBlend One
    state BlendOp Max
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique Main
pass
    vertex Picture
    fragment Main
    state AlphaBlendEnable False
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

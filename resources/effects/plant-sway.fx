orvanta-effect 1
# The plant's sway: its one quad (XYZ | DIFFUSE | TEX1) drawn straight onto
# the target, source-over, with "Texture" x vertex colour x "color".
#
# The quad stays where it is; the texture lookup moves sideways. With
# h = 1 - v (0 on the bottom row, 1 on the top one) and
# s = sin(2 pi x Frequency x Time), the picture is shifted right by
#   (WMagnitude x h + BMagnitude x h x h) x s
# of the quad's width: the bottom row stays put, WMagnitude sways the whole
# height evenly, BMagnitude bends the top further than the middle. Lookups
# that leave the picture sideways are transparent. With both magnitudes 0
# the picture lies exactly over the quad.

parameter texture Texture
parameter float Time
parameter float Frequency
parameter float WMagnitude
parameter float BMagnitude
parameter vec4 color = 1 1 1 1
sampler Texture AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None

vertex Quad
out vec4 colour;
out vec2 texCoord;
void main()
{
    colour = gfx_Diffuse;
    texCoord = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

fragment Sway
in vec4 colour;
in vec2 texCoord;
void main()
{
    float h = 1.0 - texCoord.y;
    float s = sin(6.2831853 * Frequency * Time);
    float shift = (WMagnitude * h + BMagnitude * h * h) * s;
    vec2 uv = vec2(texCoord.x - shift, texCoord.y);
    vec4 texel = texture(Texture, uv);
    if (uv.x < 0.0 || uv.x > 1.0)
        texel = vec4(0.0);
    gfx_FragColor = texel * colour * color;
}
end

technique Main
pass
    vertex Quad
    fragment Sway
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

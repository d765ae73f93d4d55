orvanta-effect 1
# Text items: a prepared text picture on one quad (XYZ | DIFFUSE | TEX1).
# Both techniques sample "Texture" at p = uv - Shift (texture units); a
# sample outside [0, 1] in u or v is transparent, so a shifted or scrolling
# picture never smears its edge across the quad.
#
#   Main    the picture times the vertex colour (the backing picture and
#           the text).
#   Shadow  the picture's coverage in "Color": rgb = Color.rgb, alpha =
#           picture alpha x Color.a x vertex alpha.
# Both alpha blended (SRCALPHA / INVSRCALPHA).

parameter texture Texture
parameter vec2 Shift = 0 0
parameter vec4 Color = 1 1 1 1
sampler Texture AddressU=Clamp AddressV=Clamp MinFilter=Point MagFilter=Point MipFilter=None

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

common
vec4 ShiftedSample(vec2 uv)
{
    vec2 p = uv - Shift;
    if (p.x < 0.0 || p.x > 1.0 || p.y < 0.0 || p.y > 1.0)
        return vec4(0.0);
    return texture(Texture, p);
}
end

fragment Main
in vec4 colour;
in vec2 texCoord;
void main()
{
    gfx_FragColor = ShiftedSample(texCoord) * colour;
}
end

fragment Shadow
in vec4 colour;
in vec2 texCoord;
void main()
{
    gfx_FragColor = vec4(Color.rgb, ShiftedSample(texCoord).a * Color.a * colour.a);
}
end

technique Main
pass
    vertex Quad
    fragment Main
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique Shadow
pass
    vertex Quad
    fragment Shadow
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

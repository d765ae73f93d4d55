orvanta-effect 1
# Text descriptions: the text picture on the item's sprite quad (XYZ |
# DIFFUSE | TEX1), the whole picture over uv 0..1.
#
#   CommonVretexColor  "Texture1" times the vertex colour.
#   ScrollText         "Texture1" sampled at uv - "Shift", repeating in u
#                      and v, times the vertex colour: the tiled picture
#                      moved by the scroll state.
# Both alpha blended (SRCALPHA / INVSRCALPHA).

parameter texture Texture1
parameter vec2 Shift = 0 0
sampler Texture1 AddressU=Wrap AddressV=Wrap MinFilter=Linear MagFilter=Linear MipFilter=None

vertex Sprite
out vec4 colour;
out vec2 texCoord;
void main()
{
    colour = gfx_Diffuse;
    texCoord = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

fragment Still
in vec4 colour;
in vec2 texCoord;
void main()
{
    gfx_FragColor = texture(Texture1, texCoord) * colour;
}
end

fragment Scrolled
in vec4 colour;
in vec2 texCoord;
void main()
{
    gfx_FragColor = texture(Texture1, texCoord - Shift) * colour;
}
end

technique CommonVretexColor
pass
    vertex Sprite
    fragment Still
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique ScrollText
pass
    vertex Sprite
    fragment Scrolled
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

orvanta-effect 1
# The static animation's quad (XYZ | DIFFUSE | TEX1) drawn straight onto the
# target, source-over: "Texture" (the picture's current frame) x "Color"
# (the object's colour, alpha the timeline level x its opacity). The vertex
# colour carries the same colour and is not read.

parameter texture Texture
parameter vec4 Color = 1 1 1 1
sampler Texture AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None

vertex Quad
out vec2 texCoord;
void main()
{
    texCoord = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

fragment Tinted
in vec2 texCoord;
void main()
{
    gfx_FragColor = texture(Texture, texCoord) * Color;
}
end

technique Blend_Normal
pass
    vertex Quad
    fragment Tinted
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

orvanta-effect 1
# Glow techniques of the glowing sprite objects (the glowing discharge's
# default effect, the shared module's RT_RCDATA 97). A glowing object draws
# each frame:
#
#   Blend_Max     its sprite quads (XYZ | DIFFUSE | TEX1): the glow picture
#                 (Texture1) times the vertex colour, combined by maximum
#                 into the cleared glow target.
#   Blend_Normal  the full-picture quad (XYZ | TEX1), blending off: the
#                 picture drawn so far (Texture1, s) with the glow target
#                 (Texture2, g) laid over it, tinted by BlendColor (c):
#                   a = g.a x c.w,  q = c.rgb x g.rgb x a,
#                   result = s x (1 - a) + q, alpha 1.
#   Blend_Screen  the same quad: result = 1 - (1 - s) x (1 - q), alpha 1;
#                 a screen never darkens the picture.
#   Common        the sprite quads: the core picture (Texture1) times the
#                 vertex colour, alpha blended over the picture.

parameter texture Texture1
parameter texture Texture2
parameter vec4 BlendColor = 1 1 1 1
sampler Texture1 AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None
sampler Texture2 AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None

vertex GlowSprite
out vec4 colour;
out vec2 texCoord;
void main()
{
    colour = gfx_Diffuse;
    texCoord = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

vertex GlowQuad
out vec2 texCoord;
void main()
{
    texCoord = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

fragment GlowSpritePicture
in vec4 colour;
in vec2 texCoord;
void main()
{
    gfx_FragColor = texture(Texture1, texCoord) * colour;
}
end

fragment GlowBlendNormal
in vec2 texCoord;
void main()
{
    vec3 scene = texture(Texture1, texCoord).rgb;
    vec4 glow = texture(Texture2, texCoord);
    float strength = clamp(glow.a * BlendColor.w, 0.0, 1.0);
    vec3 light = BlendColor.rgb * glow.rgb * strength;
    gfx_FragColor = vec4(clamp(scene * (1.0 - strength) + light, 0.0, 1.0), 1.0);
}
end

fragment GlowBlendScreen
in vec2 texCoord;
void main()
{
    vec3 scene = texture(Texture1, texCoord).rgb;
    vec4 glow = texture(Texture2, texCoord);
    float strength = clamp(glow.a * BlendColor.w, 0.0, 1.0);
    vec3 light = clamp(BlendColor.rgb * glow.rgb * strength, 0.0, 1.0);
    gfx_FragColor = vec4(1.0 - (1.0 - scene) * (1.0 - light), 1.0);
}
end

technique Blend_Max
pass
    vertex GlowSprite
    fragment GlowSpritePicture
    state AlphaBlendEnable True
    state SrcBlend One
    state DestBlend One
    state BlendOp Max
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique Blend_Normal
pass
    vertex GlowQuad
    fragment GlowBlendNormal
    state AlphaBlendEnable False
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique Blend_Screen
pass
    vertex GlowQuad
    fragment GlowBlendScreen
    state AlphaBlendEnable False
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique Common
pass
    vertex GlowSprite
    fragment GlowSpritePicture
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

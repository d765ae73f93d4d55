orvanta-effect 1
# Generator blend effect: the textured generators draw their quad layers
# (XYZ | DIFFUSE | TEX1, the quad's colour and alpha in the vertex colour)
# into a mask surface, then lay the mask over the picture with one of four
# blend techniques, drawing the picture's quad (XYZ | TEX1).
#
# The mask keeps the layers' premultiplied colour P in rgb and their
# coverage A in alpha, laid source-over (the mask passes write alpha even
# where the frame writes colour only). Since no colour exceeds 1, P never
# exceeds A, so the weight of a texel on the picture is m = min(rgb, alpha):
# P itself where a layer was laid, and 0 where none was (alpha 0), whatever
# colour the mask was cleared to (black for the masked draw, white for the
# joined one).
#
#   BlendMask            layer quads into the mask ("Texture1" x vertex
#                        colour), overlapping quads combined source-over
#   JoinMask             the same, for several layers in turn; a first pass
#                        scales the colour under each layer by the coverage
#                        already there, so a texel no earlier layer covered
#                        loses the white of the clear before the layer is
#                        laid (exact for one layer, and wherever earlier
#                        layers cover fully or not at all)
#   CommonTex            the mask ("Texture1") laid over the target by its alpha
#   Blend_ScreenTex      1 - (1 - p)(1 - m), p the picture drawn so far
#                        ("Texture1"), the mask in "Texture2"; written opaque
#   Blend_ColorDodgeTex  min(1, p / (1 - m)), 1 where m reaches 1; same
#                        textures, written opaque
#   Blend_SumTex         m added to the target, clamped ("Texture1" = mask)
#
# The same file holds the glow techniques of the glowing sprite objects (the
# glowing discharge's default effect):
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
# Blend_Max writes alpha even where the frame writes colour only: the blend
# passes weigh the glow by it.

parameter texture Texture1
parameter texture Texture2
parameter vec4 BlendColor = 1 1 1 1
sampler Texture1 AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None
sampler Texture2 AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None

include pixel-centre

common
// The weight of a mask texel on the picture: its premultiplied colour,
// which never exceeds its coverage except where the clear colour lies
// uncovered.
vec3 MaskWeight(vec4 mask)
{
    return min(mask.rgb, vec3(mask.a));
}

end

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

# Where the layer lays anything, the mask colour is scaled by the mask
# coverage (the blend does it); the rest of the quad leaves it alone.
fragment LayerWipe
in vec4 colour;
in vec2 texCoord;
void main()
{
    if (texture(Texture1, texCoord).a * colour.a <= 0.0)
        discard;
    gfx_FragColor = vec4(0.0);
}
end

fragment Common
in vec2 texCoord;
void main()
{
    vec4 mask = texture(Texture1, PixelCentre(texCoord));
    gfx_FragColor = vec4(MaskWeight(mask), mask.a);
}
end

fragment Screen
in vec2 texCoord;
void main()
{
    vec3 p = texture(Texture1, PixelCentre(texCoord)).rgb;
    vec3 m = MaskWeight(texture(Texture2, PixelCentre(texCoord)));
    gfx_FragColor = vec4(1.0 - (1.0 - p) * (1.0 - m), 1.0);
}
end

fragment ColorDodge
in vec2 texCoord;
void main()
{
    vec3 p = texture(Texture1, PixelCentre(texCoord)).rgb;
    vec3 m = MaskWeight(texture(Texture2, PixelCentre(texCoord)));
    vec3 rest = 1.0 - m;
    vec3 dodged = vec3(rest.r > 0.0 ? min(1.0, p.r / rest.r) : 1.0,
                       rest.g > 0.0 ? min(1.0, p.g / rest.g) : 1.0,
                       rest.b > 0.0 ? min(1.0, p.b / rest.b) : 1.0);
    gfx_FragColor = vec4(dodged, 1.0);
}
end

fragment Sum
in vec2 texCoord;
void main()
{
    gfx_FragColor = vec4(MaskWeight(texture(Texture1, PixelCentre(texCoord))), 0.0);
}
end

technique BlendMask
pass
    vertex Layer
    fragment Layer
    state ColorWriteEnable 15
    state AlphaBlendEnable True
    state SrcBlend One
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique JoinMask
pass
    vertex Layer
    fragment LayerWipe
    state ColorWriteEnable 7
    state AlphaBlendEnable True
    state SrcBlend Zero
    state DestBlend DestAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end
pass
    vertex Layer
    fragment Layer
    state ColorWriteEnable 15
    state AlphaBlendEnable True
    state SrcBlend One
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique CommonTex
pass
    vertex Picture
    fragment Common
    state AlphaBlendEnable True
    state SrcBlend One
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique Blend_ScreenTex
pass
    vertex Picture
    fragment Screen
    state AlphaBlendEnable False
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique Blend_ColorDodgeTex
pass
    vertex Picture
    fragment ColorDodge
    state AlphaBlendEnable False
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique Blend_SumTex
pass
    vertex Picture
    fragment Sum
    state AlphaBlendEnable True
    state SrcBlend One
    state DestBlend One
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

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
    state ColorWriteEnable 15
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

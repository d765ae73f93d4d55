orvanta-effect 1
# Particle-tree effect: the default effect of particle-tree roots. Every leaf
# of a tree draws its batch of particle quads (XYZ | DIFFUSE | TEX1: the
# particle's colour and alpha in the vertex colour) with it.
#
#   BlendNormal     leaf quads, alpha blended over what is drawn
#   BlendSum        leaf quads, added to what is drawn
#   DrawGlowNormal  the glow colour (GlowColor) laid over the screen quad
#                   where the blurred particles (Texture0) were: its weight
#                   is their alpha x GlowBrightness, clamped to 0..1
#   DrawGlowScreen  the picture drawn so far (Background) screened with that
#                   weighted glow colour, replacing the screen quad
#
# Texture0 samples with mirror addressing, as the picture scene does.
#   BlendMultiplay  the picture drawn so far (Background) multiplied by a
#                   ribbon (Texture0), replacing the screen quad (below)
#   PartyBalloon    balloon quads: the picture (Texture0) lit by two light
#                   maps, a highlight (Texture1) added and a shade (Texture2)
#                   multiplied, each by its opacity in LightMapsOpacity
#                   (x: the picture's own weight, y and z: the light maps)
#
# BlendMultiplay reads a ribbon that "BlendNormal" drew into a surface
# cleared to transparent black: the blend applies to alpha too, so a texel
# of colour C and coverage a holds (a x C, a x a). The coverage is the
# square root of the stored alpha, and the picture P becomes
# P x (1 - a + a x C) = P x (1 - a + stored rgb): unchanged where nothing was
# drawn, kept as it is under opaque white and filtered under a colour.

parameter texture Texture0
parameter texture Texture1
parameter texture Texture2
parameter texture Background
parameter vec3 GlowColor = 1 1 0
parameter float GlowBrightness = 2
parameter vec3 LightMapsOpacity = 1 0 0
sampler Texture0 AddressU=Mirror AddressV=Mirror MinFilter=Linear MagFilter=Linear MipFilter=None
sampler Texture1 AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None
sampler Texture2 AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None
sampler Background AddressU=Clamp AddressV=Clamp MinFilter=Point MagFilter=Point MipFilter=None

vertex Particle
out vec4 colour;
out vec2 texCoord;
void main()
{
    colour = gfx_Diffuse;
    texCoord = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

fragment Particle
in vec4 colour;
in vec2 texCoord;
void main()
{
    gfx_FragColor = texture(Texture0, texCoord) * colour;
}
end

fragment Glow
in vec4 colour;
in vec2 texCoord;
void main()
{
    float glow = clamp(texture(Texture0, texCoord).a * GlowBrightness, 0.0, 1.0);
    gfx_FragColor = vec4(GlowColor, glow);
}
end

fragment GlowScreen
in vec4 colour;
in vec2 texCoord;
void main()
{
    float glow = clamp(texture(Texture0, texCoord).a * GlowBrightness, 0.0, 1.0);
    vec3 light = GlowColor * glow;
    vec4 background = texture(Background, texCoord);
    gfx_FragColor = vec4(1.0 - (1.0 - background.rgb) * (1.0 - light), 1.0);
}
end

fragment Multiply
in vec4 colour;
in vec2 texCoord;
void main()
{
    vec4 ribbon = texture(Texture0, texCoord);
    float coverage = sqrt(clamp(ribbon.a, 0.0, 1.0));
    vec3 factor = clamp(vec3(1.0 - coverage) + ribbon.rgb, 0.0, 1.0);
    vec4 background = texture(Background, texCoord);
    gfx_FragColor = vec4(background.rgb * factor, 1.0);
}
end

fragment Balloon
in vec4 colour;
in vec2 texCoord;
void main()
{
    vec4 picture = texture(Texture0, texCoord);
    vec3 highlight = texture(Texture1, texCoord).rgb;
    vec3 shade = texture(Texture2, texCoord).rgb;
    vec3 lit = picture.rgb * LightMapsOpacity.x;
    lit += highlight * LightMapsOpacity.y;
    lit *= mix(vec3(1.0), shade, LightMapsOpacity.z);
    gfx_FragColor = vec4(clamp(lit, 0.0, 1.0) * colour.rgb, picture.a * colour.a);
}
end

technique BlendNormal
pass
    vertex Particle
    fragment Particle
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique BlendSum
pass
    vertex Particle
    fragment Particle
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend One
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique DrawGlowNormal
pass
    vertex Particle
    fragment Glow
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique DrawGlowScreen
pass
    vertex Particle
    fragment GlowScreen
    state AlphaBlendEnable False
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique BlendMultiplay
pass
    vertex Particle
    fragment Multiply
    state AlphaBlendEnable False
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

technique PartyBalloon
pass
    vertex Particle
    fragment Balloon
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

orvanta-effect 1
# Fire: a flame pattern licked by scrolling noise, coloured along a ramp and
# laid over the picture.
#
# Texture coordinate 0 is the region coordinate: u across the region (0 to
# 1 / pattern width, so the pattern repeats), v from the top (0) to the
# bottom (1). The picture coordinate for the mask is the position (picture
# pixels) x bg_scale_factor.
#
#   n  = the average of "Noise" at the region coordinate scaled 1, 2 and 3
#        times plus c11, c12 and c13 (vertical offsets that grow with the
#        effect's phase, the finer ones faster: the turbulence rises)
#   F  = red of "Pattern" (repeating across, clamped top and bottom) at the
#        region coordinate moved sideways by
#        (n - 0.5) x 0.2 x (1 - v) (the tips flicker most), times n
#   F' = clamp(F + Density, 0, 1)
#   colour = (ColorK1 + ColorK2 x F') x (1 + Brightness): ColorK1 at the
#   faint edge, ColorK1 + ColorK2 in the core; strength F' x mask, blended
#   over the target, so nothing shows where F' is 0.
#
#   Main, MainFX  the inputs as set
#   AsEffect      the fire's own defaults (red to yellow, brightness 0.3,
#                 density 0) and no mask: what the flame light draws, so
#                 it never shows what another fire left in the inputs

parameter mat4 WorldViewProj
parameter mat4 ViewProj
parameter texture Noise
sampler Noise AddressU=Wrap AddressV=Wrap MinFilter=Linear MagFilter=Linear MipFilter=None
parameter texture Pattern
sampler Pattern AddressU=Wrap AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None
parameter texture Mask = white
sampler Mask AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None
parameter texture Background
sampler Background AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None
parameter vec2 c11
parameter vec2 c12
parameter vec2 c13
parameter vec2 bg_scale_factor
parameter vec3 ColorK1 = 1 0 0
parameter vec3 ColorK2 = 0 1 0
parameter float Brightness = 0.3
parameter float Density

common
float FlameAt(vec2 uv, float density)
{
    float n = (texture(Noise, uv + c11).r + texture(Noise, uv * 2.0 + c12).r + texture(Noise, uv * 3.0 + c13).r) / 3.0;
    float lick = (n - 0.5) * 0.2 * (1.0 - uv.y);
    float flame = texture(Pattern, uv + vec2(lick, 0.0)).r * n;
    return clamp(flame + density, 0.0, 1.0);
}

vec4 FireColour(vec2 uv, vec3 k1, vec3 k2, float brightness, float density)
{
    float f = FlameAt(uv, density);
    return vec4((k1 + k2 * f) * (1.0 + brightness), f);
}
end

vertex Fire
out vec2 regionUv;
out vec2 pictureUv;
void main()
{
    regionUv = gfx_TexCoord0;
    pictureUv = gfx_Position.xy * bg_scale_factor;
    gl_Position = gfx_TransformVertex();
}
end

fragment Fire
in vec2 regionUv;
in vec2 pictureUv;
void main()
{
    vec4 fire = FireColour(regionUv, ColorK1, ColorK2, Brightness, Density);
    vec4 mask = texture(Mask, pictureUv);
    gfx_FragColor = vec4(fire.rgb, clamp(fire.a * mask.r * mask.a, 0.0, 1.0));
}
end

fragment AsEffect
in vec2 regionUv;
in vec2 pictureUv;
void main()
{
    gfx_FragColor = FireColour(regionUv, vec3(1.0, 0.0, 0.0), vec3(0.0, 1.0, 0.0), 0.3, 0.0);
}
end

technique Main
pass
    vertex Fire
    fragment Fire
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state CullMode None
end

technique MainFX
pass
    vertex Fire
    fragment Fire
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state CullMode None
end

technique AsEffect
pass
    vertex Fire
    fragment AsEffect
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state CullMode None
end

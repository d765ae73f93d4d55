orvanta-effect 1
# Waterfall, drawn over the effect's region in passes, each blended over the
# target by the mask weight m:
#   "Noise"       the picture at uv displaced by ("NoiseMap" (WRAP) at uv x
#                 "bump_scale" + "noise_shift", its red and green mapped to
#                 -1..1) x "noise_amplitude", strength m.
#   "ColorWaves"  once per layer: the picture at uv + "shift", kept where
#                 its luminance is at least 1 - "treshold", "base_color"
#                 added, strength "transluency" x m. "Main" and "MainFX"
#                 draw the same pass (every image effect has them).
include image-effect
parameter texture NoiseMap = white
sampler NoiseMap AddressU=Wrap AddressV=Wrap MinFilter=Linear MagFilter=Linear MipFilter=None
parameter vec2 noise_shift
parameter vec2 bump_scale = 1 1
parameter float noise_amplitude
parameter vec3 base_color
parameter float treshold = 1
parameter vec2 shift
parameter float transluency

common
const vec3 kLuminance = vec3(0.299, 0.587, 0.114);

vec4 ImageEffect(vec2 uv)
{
    vec3 colour = BackgroundAt(uv + shift).rgb;
    float kept = dot(colour, kLuminance) >= 1.0 - treshold ? 1.0 : 0.0;
    return vec4(clamp(colour + base_color, 0.0, 1.0), transluency * kept);
}
end
include image-effect-techniques

fragment Noise
in vec2 pictureUv;
void main()
{
    float mask = MaskWeight(pictureUv);
    if (mask <= 0.0)
        discard;
    vec2 ripple = texture(NoiseMap, pictureUv * bump_scale + noise_shift).rg * 2.0 - 1.0;
    gfx_FragColor = vec4(BackgroundAt(pictureUv + ripple * noise_amplitude).rgb, clamp(mask, 0.0, 1.0));
}
end

technique Noise
pass
    vertex Picture
    fragment Noise
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state CullMode None
end

technique ColorWaves
pass
    vertex Picture
    fragment Main
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state CullMode None
end

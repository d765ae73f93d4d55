# The two techniques of an image effect around its ImageEffect(uv), which
# returns the effect's colour and, in alpha, its strength there:
#   "Main"   (mode 0) the colour over the target with alpha m x strength;
#            outside the mask the target stays as it is (those pixels are
#            discarded before the effect is computed).
#   "MainFX" (mode non-zero: Background is the picture drawn so far and the
#            target was cleared) every pixel written, opaque:
#            mix(Background, colour, m x strength).

fragment Main
in vec2 pictureUv;
void main()
{
    // Where the mask is black the blend keeps the target as it is: such
    // pixels (most of the picture under a small mask) skip the effect.
    float mask = MaskWeight(pictureUv);
    if (mask <= 0.0)
        discard;
    vec4 effect = ImageEffect(pictureUv);
    gfx_FragColor = vec4(effect.rgb, clamp(mask * effect.a, 0.0, 1.0));
}
end

fragment MainFX
in vec2 pictureUv;
void main()
{
    vec4 effect = ImageEffect(pictureUv);
    float weight = clamp(MaskWeight(pictureUv) * effect.a, 0.0, 1.0);
    gfx_FragColor = vec4(mix(BackgroundAt(pictureUv).rgb, effect.rgb, weight), 1.0);
}
end

technique Main
pass
    vertex Picture
    fragment Main
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state CullMode None
end

technique MainFX
pass
    vertex Picture
    fragment MainFX
    state AlphaBlendEnable False
    state ZEnable False
    state CullMode None
end

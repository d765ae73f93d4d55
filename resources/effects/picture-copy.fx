orvanta-effect 1
# Draws the picture drawn so far back, plain and opaque: what an effect that
# draws only a region puts under it after the render target was swapped and
# cleared. "Background": the picture, sampled at the texture coordinate.

parameter texture Background
sampler Background AddressU=Clamp AddressV=Clamp MinFilter=Point MagFilter=Point MipFilter=None

vertex Picture
out vec2 pictureUv;
void main()
{
    pictureUv = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

fragment Copy
in vec2 pictureUv;
void main()
{
    gfx_FragColor = vec4(texture(Background, pictureUv).rgb, 1.0);
}
end

technique Copy
pass
    vertex Picture
    fragment Copy
    state AlphaBlendEnable False
    state ZEnable False
    state CullMode None
end

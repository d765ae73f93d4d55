orvanta-effect 1
# Separable Gaussian blur of the particle glow surface. The glow is captured
# into a reduced render target, then blurred vertically and horizontally in
# turns between two targets: "GaussianBlurVFirst" runs the first vertical pass
# over the captured glow, "GaussianBlurV" and "GaussianBlurH" every further
# one. Each pass draws a quad over the whole target and reads the other.
#
# TexW, TexH: size of the blurred targets in pixels (one texel = 1 / size).
# Texture: the target read by the pass.

parameter float TexW = 256
parameter float TexH = 256
parameter texture Texture
sampler Texture AddressU=Clamp AddressV=Clamp MinFilter=Point MagFilter=Point MipFilter=None

common
// Nine taps, a binomial-like Gaussian (sigma about 2 texels) that sums to 1.
const float kWeights[5] = float[5](0.2270270270, 0.1945945946, 0.1216216216, 0.0540540541, 0.0162162162);
end

vertex Quad
out vec2 texCoord;
void main()
{
    texCoord = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

fragment Vertical
in vec2 texCoord;
void main()
{
    vec2 step = vec2(0.0, 1.0 / max(TexH, 1.0));
    vec4 sum = texture(Texture, texCoord) * kWeights[0];
    for (int i = 1; i < 5; ++i) {
        sum += texture(Texture, texCoord + step * float(i)) * kWeights[i];
        sum += texture(Texture, texCoord - step * float(i)) * kWeights[i];
    }
    gfx_FragColor = sum;
}
end

fragment Horizontal
in vec2 texCoord;
void main()
{
    vec2 step = vec2(1.0 / max(TexW, 1.0), 0.0);
    vec4 sum = texture(Texture, texCoord) * kWeights[0];
    for (int i = 1; i < 5; ++i) {
        sum += texture(Texture, texCoord + step * float(i)) * kWeights[i];
        sum += texture(Texture, texCoord - step * float(i)) * kWeights[i];
    }
    gfx_FragColor = sum;
}
end

technique GaussianBlurVFirst
pass
    vertex Quad
    fragment Vertical
    state AlphaBlendEnable False
    state ZEnable False
    state CullMode None
end

technique GaussianBlurV
pass
    vertex Quad
    fragment Vertical
    state AlphaBlendEnable False
    state ZEnable False
    state CullMode None
end

technique GaussianBlurH
pass
    vertex Quad
    fragment Horizontal
    state AlphaBlendEnable False
    state ZEnable False
    state CullMode None
end

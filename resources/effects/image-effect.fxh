# What every image effect shares: the picture coordinates, the mask and the
# picture drawn so far. Effects include it first ("include image-effect"),
# then "include image-effect-techniques" after defining ImageEffect.
#
# Texture coordinate 0 is the picture coordinate: u = x / W, v = y / H, v
# down. P = uv * Scale.xy measures the picture in picture heights divided by
# the effect's scale factor s, so procedural patterns stay round whatever
# the aspect (Scale = a / s, 1 / s, s / a, s with a = W / H).
#
# Mask: weight m = red x alpha (an alpha-only mask gives its alpha); without
# a mask the effect applies everywhere (opaque white).
# Background: the raw picture (mode 0) or the picture drawn so far (mode
# non-zero). Displacements that carry a lookup past the picture's edge are
# mirrored back.

parameter vec4 Scale = 1 1 1 1
parameter texture Mask = white
sampler Mask AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None
parameter texture Background
sampler Background AddressU=Mirror AddressV=Mirror MinFilter=Linear MagFilter=Linear MipFilter=None

common
const float kTwoPi = 6.2831853;

float MaskWeight(vec2 uv)
{
    vec4 mask = texture(Mask, uv);
    return mask.r * mask.a;
}

// Picture coordinates in P units, and a displacement in P units back in uv.
vec2 PictureUnits(vec2 uv)
{
    return uv * Scale.xy;
}

vec2 UnitsToUv(vec2 d)
{
    return d / max(abs(Scale.xy), vec2(1e-6));
}

vec4 BackgroundAt(vec2 uv)
{
    return texture(Background, uv);
}
end

vertex Picture
out vec2 pictureUv;
void main()
{
    pictureUv = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

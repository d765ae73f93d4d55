orvanta-effect 1
# Light II: a coloured light over the picture in one of five blend modes.
# c = BlendColor.rgb, a = BlendColor.a x mask weight.
#   "Blend_Normal"      (c, a) blended over the target
#   "Blend_Screen"      mix(bg, 1 - (1 - bg)(1 - c), a), opaque
#   "Blend_ColorDodge"  mix(bg, min(bg / max(1 - c, 1/255), 1), a), opaque
#   "Linear_Dodge"      mix(bg, min(bg + c, 1), a), opaque
#   "Blend_Sum"         min(bg + c a, 1), opaque
# The four opaque modes read the picture drawn so far ("Background").
include image-effect
parameter vec4 BlendColor

common
float LightAlpha(vec2 uv)
{
    return clamp(BlendColor.a * MaskWeight(uv), 0.0, 1.0);
}
end

fragment Normal
in vec2 pictureUv;
void main()
{
    gfx_FragColor = vec4(BlendColor.rgb, LightAlpha(pictureUv));
}
end

fragment Screen
in vec2 pictureUv;
void main()
{
    vec3 bg = BackgroundAt(pictureUv).rgb;
    vec3 lit = 1.0 - (1.0 - bg) * (1.0 - BlendColor.rgb);
    gfx_FragColor = vec4(mix(bg, lit, LightAlpha(pictureUv)), 1.0);
}
end

fragment ColorDodge
in vec2 pictureUv;
void main()
{
    vec3 bg = BackgroundAt(pictureUv).rgb;
    vec3 lit = min(bg / max(1.0 - BlendColor.rgb, vec3(1.0 / 255.0)), vec3(1.0));
    gfx_FragColor = vec4(mix(bg, lit, LightAlpha(pictureUv)), 1.0);
}
end

fragment LinearDodge
in vec2 pictureUv;
void main()
{
    vec3 bg = BackgroundAt(pictureUv).rgb;
    vec3 lit = min(bg + BlendColor.rgb, vec3(1.0));
    gfx_FragColor = vec4(mix(bg, lit, LightAlpha(pictureUv)), 1.0);
}
end

fragment Sum
in vec2 pictureUv;
void main()
{
    vec3 bg = BackgroundAt(pictureUv).rgb;
    gfx_FragColor = vec4(min(bg + BlendColor.rgb * LightAlpha(pictureUv), vec3(1.0)), 1.0);
}
end

technique Blend_Normal
pass
    vertex Picture
    fragment Normal
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state CullMode None
end

technique Blend_Screen
pass
    vertex Picture
    fragment Screen
    state AlphaBlendEnable False
    state ZEnable False
    state CullMode None
end

technique Blend_ColorDodge
pass
    vertex Picture
    fragment ColorDodge
    state AlphaBlendEnable False
    state ZEnable False
    state CullMode None
end

technique Linear_Dodge
pass
    vertex Picture
    fragment LinearDodge
    state AlphaBlendEnable False
    state ZEnable False
    state CullMode None
end

technique Blend_Sum
pass
    vertex Picture
    fragment Sum
    state AlphaBlendEnable False
    state ZEnable False
    state CullMode None
end

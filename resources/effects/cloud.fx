orvanta-effect 1
# Clouds: a cloud picture ("Background", read wrapped) projected onto a
# tilted plane and blended over the target, so the picture shows between
# the clouds. Region coordinate (x, y): the grid's own coordinate ("Main")
# or the picture coordinate (on the background quad, "MainFX").
#   w = 1 - "PX_Transform" (1 - y), cx = (x - 0.5) / w + 0.5,
#   cy = y "PY_TransformH" / (1 + "PY_TransformZ" y);
#   cloud coordinate = (cx tex_shift.x + tex_shift.z, cy tex_shift.y +
#   tex_shift.w) x "Scale".xy + "Velocity"; k = its red;
#   colour mix("ColorK1", "ColorK2", k), strength clamp(k "Threshold" -
#   ("Threshold" - 1), 0, 1) x "Density" x m.
# On the grid the mask is read at (mask_tex_shift.x x + mask_tex_shift.y,
# mask_tex_shift.z y + mask_tex_shift.w). Both techniques blend (the class
# draws the picture back first when its mode gave it a cleared target), so
# this file has its own techniques rather than the shared ones.
include image-effect
parameter float Threshold = 1
parameter float Density
parameter float PX_Transform
parameter float PY_TransformH = 1
parameter float PY_TransformZ
parameter vec3 ColorK1
parameter vec3 ColorK2
parameter vec2 Velocity
parameter vec4 mask_tex_shift = 1 0 1 0
parameter vec4 tex_shift = 1 1 0 0

common
vec4 Clouds(vec2 region, float maskWeight)
{
    float w = max(1.0 - PX_Transform * (1.0 - region.y), 1e-4);
    float cx = (region.x - 0.5) / w + 0.5;
    float cy = region.y * PY_TransformH / max(1.0 + PY_TransformZ * region.y, 1e-4);
    vec2 c = vec2(cx * tex_shift.x + tex_shift.z, cy * tex_shift.y + tex_shift.w) * Scale.xy + Velocity;
    // The sampler mirrors; the fraction makes the clouds repeat instead.
    float k = texture(Background, fract(c)).r;
    float strength = clamp(k * Threshold - (Threshold - 1.0), 0.0, 1.0) * Density * maskWeight;
    return vec4(mix(ColorK1, ColorK2, k), clamp(strength, 0.0, 1.0));
}
end

fragment OnGrid
in vec2 pictureUv;
void main()
{
    vec2 maskUv = vec2(mask_tex_shift.x * pictureUv.x + mask_tex_shift.y,
                       mask_tex_shift.z * pictureUv.y + mask_tex_shift.w);
    gfx_FragColor = Clouds(pictureUv, MaskWeight(maskUv));
}
end

fragment OnPicture
in vec2 pictureUv;
void main()
{
    gfx_FragColor = Clouds(pictureUv, MaskWeight(pictureUv));
}
end

technique Main
pass
    vertex Picture
    fragment OnGrid
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state CullMode None
end

technique MainFX
pass
    vertex Picture
    fragment OnPicture
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state CullMode None
end

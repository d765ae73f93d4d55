orvanta-effect 1
# Explosion: a round fireball filling the sprite quad (XYZ | DIFFUSE | TEX1).
# Technique "Main".
#
# Density: the noise picture (NoiseTex) sampled at uv + noise_shift.xy and at
# uv + noise_shift.zw (uv scaled by 1.5), cross-faded by time.x (the fraction of the current
# second; time.y = 1 - time.x), shapes a radial falloff:
#   noise_params.x  the ball's radius in half-quads (1 reaches the edge);
#   noise_params.y  how far the noise pushes the edge in and out (as a
#                   share of the distance from the middle);
#   noise_params.z  the size of the core, where color1 takes over from
#                   color2 (0 small, 1 the whole ball).
# The density looks GradientTex up (u = density) and is tinted between
# color2 (outside) and color1 (core).
# phase_1st (while the timeline rises, 2 down to 0) brightens the ball and
# tightens its falloff; phase_3rd.x (while it falls, 0 up to 1) dissolves
# it: density at or below it vanishes, so nothing is left at 1.
# Alpha blended (SRCALPHA / INVSRCALPHA), alpha also times the vertex alpha.

parameter texture GradientTex
parameter texture NoiseTex
parameter vec3 color1 = 1 1 0.6
parameter vec3 color2 = 0.8 0.1 0
parameter vec3 noise_params = 0.79 0.15 0.42
parameter vec4 noise_shift = 0 0 0 0
parameter vec2 time = 0 1
parameter vec2 phase_3rd = 0 1
parameter float phase_1st = 0
sampler GradientTex AddressU=Clamp AddressV=Clamp MinFilter=Linear MagFilter=Linear MipFilter=None
sampler NoiseTex AddressU=Wrap AddressV=Wrap MinFilter=Linear MagFilter=Linear MipFilter=None

vertex Sprite
out vec4 colour;
out vec2 texCoord;
void main()
{
    colour = gfx_Diffuse;
    texCoord = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

fragment Fireball
in vec4 colour;
in vec2 texCoord;
void main()
{
    float n1 = texture(NoiseTex, texCoord * 1.5 + noise_shift.xy).r;
    float n2 = texture(NoiseTex, texCoord * 1.5 + noise_shift.zw).r;
    float noise = n1 * time.y + n2 * time.x;

    float radius = max(noise_params.x, 0.01);
    float reach = length(texCoord * 2.0 - 1.0) * (1.0 + (0.5 - noise) * 2.0 * noise_params.y);
    float falloff = clamp(1.0 - reach / radius, 0.0, 1.0);
    float density = pow(falloff, 1.0 / (1.0 + 0.5 * phase_1st));
    density = clamp(density * (0.75 + 0.5 * noise), 0.0, 1.0);

    float core = smoothstep(0.0, max(noise_params.z, 0.01), density);
    vec4 gradient = texture(GradientTex, vec2(density, 0.5));
    vec3 tint = mix(color2, color1, core);
    vec3 rgb = clamp(gradient.rgb * tint * (1.0 + 0.5 * phase_1st), 0.0, 1.0);

    float dissolve = phase_3rd.x >= 1.0 ? 0.0 : smoothstep(phase_3rd.x, phase_3rd.x + 0.05, density);
    float alpha = gradient.a * clamp(density * 2.5, 0.0, 1.0) * dissolve * colour.a;
    gfx_FragColor = vec4(rgb, alpha);
}
end

technique Main
pass
    vertex Sprite
    fragment Fireball
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

orvanta-effect 1
# Textured quads straight onto the target: the quad layers of the generators
# (XYZ | DIFFUSE | TEX1) with the texture the caller bound to stage 0, times
# the vertex colour, laid source-over. The effect takes no texture of its
# own: its one parameter samples stage 0 as the caller left it, so callers
# set no technique and no parameter.

parameter texture Stage0 = bound

vertex Layer
out vec4 colour;
out vec2 texCoord;
void main()
{
    colour = gfx_Diffuse;
    texCoord = gfx_TexCoord0;
    gl_Position = gfx_TransformVertex();
}
end

fragment Layer
in vec4 colour;
in vec2 texCoord;
void main()
{
    gfx_FragColor = texture(Stage0, texCoord) * colour;
}
end

technique TexturedQuads
pass
    vertex Layer
    fragment Layer
    state AlphaBlendEnable True
    state SrcBlend SrcAlpha
    state DestBlend InvSrcAlpha
    state ZEnable False
    state ZWriteEnable False
    state CullMode None
end

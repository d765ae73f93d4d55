#pragma once
// The glow composite of the generators that leave trails of light (falling
// stars, fireworks, lightning): two masks accumulated by per-channel maximum
// with the effect's "BlendMask_Max" technique, cores first, then glows into
// the other texture of the mask surface, and one "Main" pass that lights the
// picture drawn so far with them ("Texture1" the picture, "Texture2" the
// glows, "Texture3" the cores).
//
// The caller has been handed the picture drawn so far; whenever "Main"
// cannot run (no effect, a mask surface that cannot be drawn into) that
// picture is drawn back unchanged, so the objects before it stay visible.

#include <cstddef>
#include <initializer_list>

class DS_ABRender;
class DS_ParticlesObj;
class DS_TexParticleGenerator;

namespace gfx {
class Texture;
}

// One layer drawn into a mask with one texture; a layer without a texture
// is left out.
struct GlowLayerDraw {
    std::size_t layer;
    gfx::Texture* texture;
};

void DrawGlowComposite(DS_TexParticleGenerator& generator, DS_ABRender& renderer, DS_ParticlesObj& target,
                       std::initializer_list<GlowLayerDraw> cores, std::initializer_list<GlowLayerDraw> glows);

// The two-layer form of fireworks and lightning: layer 0 (cores) and layer 1
// (glows), both with loaded texture 0. Without texture 0 only the picture
// comes back.
void DrawTwoLayerGlow(DS_TexParticleGenerator& generator, DS_ABRender& renderer, DS_ParticlesObj& target);

#pragma once
// DS_ParticleRctRgnGenerator: a textured generator that works inside a
// rectangular region of the picture. DS_FallingStars: stars spawned at random
// points of that region at a random rate; each flies one way, spins, fades
// in, holds and fades out, and leaves a trail of small particles. Stars and
// trails are drawn as cores and as larger glows into the two masks of the
// glow composite (GlowComposite.h), which lights the picture drawn so far.
//
// Layers: 0 star cores (turned by the star's angle), 1 trail cores, 2 star
// glows, 3 trail glows; loaded texture i draws layer i, and a layer whose
// texture is missing is not drawn.
//
// Stored sections:
//   "DS_ParticleRctRgnGenerator", 1: region (twelve floats); then the
//       DS_TexParticleGenerator section (for the classes derived from it);
//   "DS_FallingStars", 1: star speed, star rate, direction angle, star size,
//       glow factor, hold, fade-in and fade-out times (uint32 each), region
//       (twelve floats); then the DS_TexParticleGenerator section.

#include <cstdint>
#include <memory>

#include "objectmodel/DirectionParams.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/ShapeParams.h"
#include "particles/generators/TexParticleGenerator.h"

class DS_ParticleRctRgnGenerator : public DS_TexParticleGenerator {
public:
    static constexpr std::u16string_view kSectionName = u"DS_ParticleRctRgnGenerator";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_ParticleRctRgnGenerator() = default;
    // Copies the region; the copy's wandering emitters steer by the copy's
    // own wander settings.
    DS_ParticleRctRgnGenerator(const DS_ParticleRctRgnGenerator& other);

    // Writes the region section, then the textured generator's.
    void Save(ArchiveWriter ar) const override;
    // The textured BuildGeometry; an object marked unplaced (keep-id flag 0)
    // gets the picture rectangle as its region.
    void BuildGeometry(DS_ParticlesObj& target) override;

    MediaQuad region;
    // What the emitters' wandering processes read; a derived class points
    // it at its own settings.
    PBrownianOwner wanderSettings;

protected:
    // Reads the region section, header included.
    void ReadRegionSection(ArchiveReader ar);
    // Points every wandering process of the emitters at wanderSettings.
    void RepointWanderers();
};

class DS_FallingStars : public DS_ParticleRctRgnGenerator {
public:
    static constexpr std::u16string_view kClassName = u"DS_FallingStars";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "generator-glow";
    static constexpr std::size_t kLayerCount = 4;

    DS_FallingStars();
    DS_FallingStars(const DS_FallingStars& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // Clock, stars, then trails; new trail particles and stars; the layers.
    void Step(float localTime, DS_ParticlesObj& target) override;
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    // Region, mask surface, no stars, four empty layers.
    void BuildGeometry(DS_ParticlesObj& target) override;
    bool NeedsBackground() const override { return true; }
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
    std::unique_ptr<KXI_RenderObj> CreateExtraRenderObject() override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // Trail particles along every star, then a random burst of new stars:
    // 0 to twice the rate times the time since the last burst.
    void SpawnStars();
    // One star at a random point of the region (y drawn first).
    void SpawnStar();
    void FillLayers(DS_ParticlesObj& target);

    UINTSclaleTo<float> starSpeed{8.0f, 0.0f, 0};
    PerSecondCounterRnd starRate;
    MediaDirection direction;
    MediaParamT<std::uint32_t> starSize;
    UINTSclaleTo<float> glowFactor{0.04f, 1.0f, 0};
    TimeParam holdTime;
    TimeParam fadeInTime;
    TimeParam fadeOutTime;
};

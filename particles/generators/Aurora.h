#pragma once
// DS_Aurora: a painted band of dabs drawn as a curtain of light. Every dab
// becomes a tall quad (brush size wide, band height high, both times its
// scale channel, turned by its angle channel) whose height, brightness and
// sideways offset follow three sine waves travelling along the band: the
// phase of wave k at a dab is u / length k + the wave's clock, u being the
// dab's place along the band (channel 0). The brightness scales the alpha,
// clamped to 0..255; the timeline level is not used. Drawn through the
// joined mask and the composite with texture 0.
//
// Stored section "DS_Aurora", 1: band height, then speed, amplitude and
// length of waves 1, 2 and 3, then the sway direction (degrees), all
// uint32; then the DS_AirBrush section. A stored length v means v + 1.

#include <array>
#include <cstdint>
#include <memory>

#include "particles/generators/AirBrush.h"

class DS_Aurora : public DS_AirBrush {
public:
    static constexpr std::u16string_view kClassName = u"DS_Aurora";
    static constexpr std::int32_t kWrittenVersion = 1;
    enum Wave : std::size_t { kHeightWave = 0, kBrightnessWave = 1, kSwayWave = 2 };

    struct WaveParams {
        MediaSpeedParam speed;
        UINTSclaleTo<float> amplitude;
        UINTSclaleTo<float> length{1.0f, 1.0f, 0};

        // The wave's value at place u along the band: sin(u / length +
        // clock) x amplitude.
        float At(float u) const;
    };

    DS_Aurora();
    DS_Aurora(const DS_Aurora& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    // The three wave clocks, then the curtain.
    void Step(float localTime, DS_ParticlesObj& target) override;
    // Layer 0 through the joined mask, then the composite.
    void Render(DS_ABRender& renderer, DS_ParticlesObj& target) override;
    // The textured geometry, one empty layer, the mask surface.
    void BuildGeometry(DS_ParticlesObj& target) override;
    // A dab at the point; its quad follows at the next step.
    void AddParticleAt(const math::Vec3& point, const DabStroke& stroke) override;
    std::unique_ptr<DS_ParticleGenerator> Clone() const override;
    std::unique_ptr<KXI_RenderObj> CreateExtraRenderObject() override;

    // Writes layer 0 of the kept render object from the dabs and the waves.
    void BuildCurtain();

    MediaParamT<std::uint32_t> bandHeight{0};
    std::array<WaveParams, 3> waves;
    MediaParamT<std::uint32_t> swayDirection{0};
};

#pragma once
// Two image effects that draw by road B (their own 2 x 2 grid, or the
// host's background quad when the mode is set), neither with a default
// effect link:
//
//   DS_DayToNight      tints the picture towards night: multiplied by a
//                      colour, lit by a soft-light colour, desaturated;
//                      "Fade" = sin(level x pi / 2) eases it in with the
//                      timeline.
//   DS_HeatDistortion  the picture shimmers through a scrolling bump map
//                      (always the shared module's picture 62, whatever the
//                      document holds); the shimmer runs on a clock of its
//                      own (its speed parameter's clock), apart from the
//                      effect clock.
//
// Stored levels (version 1), then the DS_FX_Constructor level:
//   "DS_DayToNight"      int32 multiply colour, the soft-light colour
//                        (hue, saturation, brightness, four floats), uint32
//                        desaturation
//   "DS_HeatDistortion"  uint32 shimmer speed, strength, bump scale
// Desaturation, strength and bump scale through their setters when they
// differ; the colour and the shimmer speed stored directly.

#include "effects/ImageEffect.h"
#include "objectmodel/SmartColor.h"

class DS_DayToNight : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_DayToNight";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "day-to-night";

    DS_DayToNight() = default;
    DS_DayToNight(const DS_DayToNight& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }
    void Attach(gfx::Ref<gfx::Texture>* holder) override;
    void Apply(DS_ABRender& host) override;

    // sin(level x pi / 2) for the current timeline level.
    float Fade() const;

    SmartCOLORREF multiplyColour{0};
    SmartColorHSB softLightColour;
    UINTSclaleTo<float> desaturation{0.01f, 0.0f, 0};
};

class DS_HeatDistortion : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_HeatDistortion";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "heat-distortion";
    // "stenght" is the strength x this.
    static constexpr float kStrengthFactor = 0.05f;

    DS_HeatDistortion();
    DS_HeatDistortion(const DS_HeatDistortion& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }
    // The base attach, the 2 x 2 grid and the bump picture 62.
    void Attach(gfx::Ref<gfx::Texture>* holder) override;
    // The effect clock, then the shimmer clock.
    void Update(float localTime) override;
    void Apply(DS_ABRender& host) override;

    // The shimmer phase q.
    float ShimmerPhase() const { return shimmerSpeed.Total(); }

    MediaSpeedParam shimmerSpeed;
    UINTSclaleTo<float> strength{0.002f, 0.0f, 0};
    UINTSclaleTo<float> bumpScale{-0.009f, 1.0f, 0};
    gfx::Ref<gfx::Texture> bumpTexture;
};

#pragma once
// Four image effects that distort the picture about their centre (a
// DS_CentralBased centre in picture pixels):
//
//   DS_ExpandFX      pushes the picture out of the centre (or pulls it in)
//                    by an amplitude: kind 0 the outward amplitude A, kind 1
//                    the inward B (as -B), kinds 2 and above swing between
//                    -B and A with the waveform; scaled by the timeline level.
//   DS_RadialWaveFX  rings running out of (or into) the centre.
//   DS_RotationFX    turns the picture about the centre, optionally along an
//                    ellipse (aspect factor s, its axes turned by the tilt).
//                    A factor of 0 (a new object's, or a stored 0) turns
//                    plainly, as a factor of 1 does, rather than dividing by
//                    zero.
//   DS_BendFX        turns points about the centre by an angle that grows
//                    with their distance: kind 0 -A, kind 1 A, kinds 2 and
//                    above the waveform's swing; scaled by the level in Apply.
//
// Expand, radial wave and rotation draw by road A; bend by road B over its
// own grid.
//
// Stored levels, after the class name and version, then the
// "DS_CentralBased" level:
//   "DS_ExpandFX" 2      uint32 A, uint32 B, int32 kind; version 1 records
//                        play kind + 2
//   "DS_RadialWaveFX" 3  uint32 amplitude, wavelength, width, int32 outward
//                        flag; version 1 records hold none of them
//   "DS_RotationFX" 1    uint32 aspect factor, uint32 tilt (degrees), int32
//                        reverse flag
//   "DS_BendFX" 2        uint32 A, B, bend, int32 kind; version 1 records
//                        play kind + 3
// Scaled values through their setters when they differ; tilts, flags and
// kinds directly (the renumbered kinds through the setter).

#include "effects/EffectBases.h"

class DS_ExpandFX : public DS_CentralBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_ExpandFX";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::string_view kBuiltinEffect = "expand";

    DS_ExpandFX();
    DS_ExpandFX(const DS_ExpandFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The clock, then the amplitude of the kind times the timeline level.
    void Update(float localTime) override;
    void Apply(DS_ABRender& host) override;

    UINTSclaleTo<float> outward{0.005f, 0.0f, 50};
    UINTSclaleTo<float> inward{0.005f, 0.0f, 0};
    MediaParamT<std::int32_t> kind;
    float current = 0.0f;
};

class DS_RadialWaveFX : public DS_CentralBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_RadialWaveFX";
    static constexpr std::int32_t kWrittenVersion = 3;
    static constexpr std::string_view kBuiltinEffect = "radial-wave";
    // "time" per unit of phase (its sign gives the rings' way).
    static constexpr float kTimePerPhase = 0.08f;
    // The width at which the rings are round.
    static constexpr float kRoundWidth = 75.0f;

    DS_RadialWaveFX();
    DS_RadialWaveFX(const DS_RadialWaveFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }
    void Apply(DS_ABRender& host) override;

    UINTSclaleTo<float> amplitude{0.00025f, 0.0f, 50};
    UINTSclaleTo<float> wavelength{0.0001f, 0.001f, 50};
    UINTSclaleTo<float> width{1.0f, 25.0f, 50};
    // Neither stored nor used in playback.
    MediaParamT<std::uint32_t> spare;
    MediaParamT<std::int32_t> outwardFlag;
};

class DS_RotationFX : public DS_CentralBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_RotationFX";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "rotation";

    DS_RotationFX();
    DS_RotationFX(const DS_RotationFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The clock, then the angle: the phase, negated with the reverse flag.
    void Update(float localTime) override;
    void Apply(DS_ABRender& host) override;

    // The 2 x 2 matrix "coord_transf" holds: the rotation by the current
    // angle stretched by the aspect factor, its axes turned by the tilt.
    std::array<float, 4> CoordinateTransform() const;

    UINTSclaleTo<float> aspect{0.001f, 0.0f, 0};
    MediaParamT<std::uint32_t> tilt;
    MediaParamT<std::int32_t> reverse;
    float angle = 0.0f;
};

class DS_BendFX : public DS_CentralBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_BendFX";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::string_view kBuiltinEffect = "bend";

    DS_BendFX();
    DS_BendFX(const DS_BendFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    void Attach(gfx::Ref<gfx::Texture>* holder) override { AttachWithGrid(holder); }
    // The clock, then the angle of the kind (the level is applied in Apply).
    void Update(float localTime) override;
    void Apply(DS_ABRender& host) override;

    UINTSclaleTo<float> amplitudeA{0.002f, 0.0f, 0};
    UINTSclaleTo<float> amplitudeB{0.002f, 0.0f, 0};
    UINTSclaleTo<float> bend{0.02f, 0.0f, 0};
    MediaParamT<std::int32_t> kind;
    float angle = 0.0f;
};

// The swing of kinds 2 and above between -b and a: w (a + b) / 2 + (a - b) / 2
// for a waveform value w in -1..1.
float SwingBetween(float a, float b, float w);

// The kind an older record's stored kind plays as: stored + shift (wrapping
// at the int32 limit, as a stored value may be anything).
std::int32_t RenumberedKind(std::int32_t stored, std::int32_t shift);

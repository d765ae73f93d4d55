#pragma once
// Two image effects that distort the picture across a line through their
// centre (DS_LineBased: the centre, the line angle, the lines "Ln" along it
// and "Lt" across it):
//
//   DS_PerspectiveFX  tilts the picture in depth about the line, swinging
//                     between a tilt towards one side (A) and the other (B):
//                     kind 0 tilts by A, kind 1 by B, kinds 2 and above with
//                     the waveform; worked out in Apply at the timeline level.
//   DS_StretchFX      stretches the picture away from the line (or squeezes
//                     it): kind 0 -B, kind 1 A, kinds 2 and above the swing;
//                     scaled by the level in Update.
//
// Both draw by road B over their own grid.
//
// Stored levels, after the class name and version, then the "DS_LineBased"
// level:
//   "DS_PerspectiveFX" 3  uint32 A, uint32 depth factor, int32 kind (version
//                         1: an int32 side flag instead), uint32 B (version
//                         above 2). A version 1 tilt becomes a sine swing
//                         (kind 3) to the side its flag names: B takes A's
//                         value, then flag 0 sets B to 0 and flag 1 A to 0.
//   "DS_StretchFX" 1      int32 kind, uint32 A, uint32 B
// Scaled values through their setters when they differ, kinds directly.

#include "effects/EffectBases.h"

class DS_PerspectiveFX : public DS_LineBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_PerspectiveFX";
    static constexpr std::int32_t kWrittenVersion = 3;
    static constexpr std::string_view kBuiltinEffect = "depth-tilt";

    DS_PerspectiveFX();
    DS_PerspectiveFX(const DS_PerspectiveFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The centre, the perspective lines, then the grid.
    void Attach(gfx::Ref<gfx::Texture>* holder) override;
    void Apply(DS_ABRender& host) override;

    // "amplitude" and "p_amplitude" at the current phase and level.
    std::array<float, 2> Amplitudes() const;

    UINTSclaleTo<float> amplitudeA{0.002f, 0.0f, 0};
    UINTSclaleTo<float> amplitudeB{0.002f, 0.0f, 0};
    UINTSclaleTo<float> depth{10.0f, 0.0f, 0};
    MediaParamT<std::int32_t> kind;
};

class DS_StretchFX : public DS_LineBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_StretchFX";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "stretch";

    DS_StretchFX();
    DS_StretchFX(const DS_StretchFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The centre, the lines, then the grid.
    void Attach(gfx::Ref<gfx::Texture>* holder) override;
    // The clock, then the amplitude of the kind times the timeline level.
    void Update(float localTime) override;
    void Apply(DS_ABRender& host) override;

    MediaParamT<std::int32_t> kind;
    UINTSclaleTo<float> amplitudeA{0.01f, 0.0f, 0};
    UINTSclaleTo<float> amplitudeB{0.01f, 0.0f, 0};
    float current = 0.0f;
};

#pragma once
// Image effects with a few scalar inputs:
//
//   DS_WavesFX       waves travelling along the angle ("direction"),
//                    displacing the picture across their travel (or along
//                    it with the reverse flag: "direction_n").
//   DS_LightFX       a flickering brightening ("multiplier").
//   DS_LightFX_II    a flickering coloured light blended over the picture by
//                    one of five techniques; modes 1..4 read the picture
//                    drawn so far. A blend mode outside 0..4 plays as 0.
//   DS_UnderwaterFX  a wobble of equal wavelength in pixels on both axes.
//
// Waves, light and underwater draw by road A; light II sets its inputs and
// draws the whole picture itself (no "Scale").
//
// Stored levels, after the class name and version, then the
// DS_FX_Constructor level:
//   "DS_WavesFX" 1       uint32 amplitude, uint32 wavelength, uint32 angle,
//                        int32 reverse flag
//   "DS_LightFX" 1       uint32 strength, int32 flicker mode
//   "DS_LightFX_II" 2    uint32 strength, int32 flicker mode, int32 blend
//                        mode, 4-byte colour; a record of version 1 takes
//                        the effect link ("common_res.dll", 190) and plays
//                        its blend mode 3 as 4
//   "DS_UnderwaterFX" 1  uint32 amplitude, uint32 wavelength
// Scaled values through their setters when they differ; angles, flags,
// modes and the colour stored directly.

#include "effects/ImageEffect.h"
#include "objectmodel/CallbackControls.h"
#include "objectmodel/SmartColor.h"
#include "platform/math/Vector.h"

class DS_WavesFX : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_WavesFX";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "waves";

    DS_WavesFX();
    DS_WavesFX(const DS_WavesFX& other);

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }
    void Apply(DS_ABRender& host) override;

    // direction := (1, 0) turned by 360 - angle; second := (0, 1) turned
    // the same way, or (-1, 0) turned with the reverse flag.
    void UpdateDirections();

    UINTSclaleTo<float> amplitude{0.00025f, 0.0f, 50};
    UINTSclaleTo<float> wavelength{0.0005f, 0.001f, 50};
    MediaParamT<std::uint32_t> angle;
    MediaParamT<std::int32_t> reverse;
    math::Vec4 direction;
    math::Vec4 second;

private:
    void WatchAngles();

    CallbackControlList<DS_WavesFX> m_callbacks{this};
};

class DS_LightFX : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_LightFX";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "light-brighten";

    DS_LightFX();
    DS_LightFX(const DS_LightFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }
    void Apply(DS_ABRender& host) override;

    // The flicker factor at the current phase.
    float Flicker() const;

    UINTSclaleTo<float> strength{0.01f, 0.0f, 40};
    MediaParamT<std::int32_t> flickerMode;
};

class DS_LightFX_II : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_LightFX_II";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::string_view kBuiltinEffect = "light-blend";
    static constexpr std::int32_t kBlendModeCount = 5;

    DS_LightFX_II() = default;
    DS_LightFX_II(const DS_LightFX_II& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }
    // The base attach with the 2 x 2 grid (built, never drawn).
    void Attach(gfx::Ref<gfx::Texture>* holder) override;
    void Apply(DS_ABRender& host) override;
    // Non-zero when the played blend mode reads the picture drawn so far.
    int NeedsRenderTarget() const override;

    // The blend mode played: the stored one when it is 0..4, else 0.
    std::int32_t PlayedBlendMode() const;
    // The flicker factor at the current phase.
    float Flicker() const;

    UINTSclaleTo<float> strength{0.01f, 0.0f, 0};
    MediaParamT<std::int32_t> flickerMode;
    MediaParamT<std::int32_t> blendMode;
    SmartCOLORREF colour{0};
};

class DS_UnderwaterFX : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_UnderwaterFX";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "underwater";

    DS_UnderwaterFX();
    DS_UnderwaterFX(const DS_UnderwaterFX& other) = default;
    // Every value of every level (amplitude and wavelength with value, scale
    // and offset, their observers told); effect, mask and grid shared.
    DS_UnderwaterFX& operator=(const DS_UnderwaterFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }
    void Apply(DS_ABRender& host) override;

    UINTSclaleTo<float> amplitude{0.000125f, 0.0f, 50};
    UINTSclaleTo<float> wavelength{0.002f, 0.001f, 50};
};

// The flicker of a sine pulse, an on/off switch and a noise at phase p:
// (sin(0.2 p) + 1) / 2; 1 when that exceeds 0.5, else 0; and
// (2-octave noise at 10 p + 1) / 2.
float FlickerSine(float phase);
float FlickerSwitch(float phase);
float FlickerNoise(float phase);

#pragma once
// Two more image effects drawn by road A:
//
//   DS_WaterFX  its region of the picture seen through a water surface: a
//               bump picture whose 2 x 2 transform turns with the phase
//               ("BumpMap", "BampTrans"), two drift vectors along the angle
//               ("Direction1", "Direction2"; turned by the angle itself),
//               a light vector "Vhalf", "Shadows", a tint "Color", "Time",
//               and "P1", "P2" from one shape value t. t is held to
//               0.0001..0.9999 (shape values 1..9999), so q = 2 / t - 1
//               stays finite and above 1.
//   DS_MoveFX   a direction-based effect that moves the picture along its
//               direction by a fixed amount or swinging between a forward
//               amount a and a backward amount b with the waveform.
//
// Stored levels, after the class name and version:
//   "DS_WaterFX" 1  uint32 shape, bump radius, drift 2, drift 1, angle,
//                   shadows, light height; 4-byte colour; the bump link;
//                   then the DS_FX_Constructor level. The angle and colour
//                   are stored directly, the others through their setters.
//   "DS_MoveFX" 3   int32 kind; v > 1 uint32 second magnitude; then the
//                   "DS_DirectionBased" level. Records before version 2
//                   take the magnitude as the second magnitude; records
//                   before version 3 play kind + 3.

#include <array>

#include "effects/EffectBases.h"
#include "objectmodel/CallbackControls.h"
#include "objectmodel/SmartColor.h"
#include "render/FileLink.h"

class DS_WaterFX : public DS_FX_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"DS_WaterFX";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "water";
    // The range the shape value is held to for "P1" and "P2".
    static constexpr std::uint32_t kMinShape = 1;
    static constexpr std::uint32_t kMaxShape = 9999;

    DS_WaterFX();
    DS_WaterFX(const DS_WaterFX& other);

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // Takes the current frame of the bump picture, then the base attach.
    void Attach(gfx::Ref<gfx::Texture>* holder) override;
    // The clock, then the bump transform turned by 4.5 x phase.
    void Update(float localTime) override;
    void Apply(DS_ABRender& host) override;

    // direction := (1, 0) turned by the angle.
    void UpdateDirection();
    // The shape factor t as "P1" and "P2" use it (held to its range).
    float ShapeFactor() const;

    UINTSclaleTo<float> shape{0.0001f, 0.0f, 20};
    UINTSclaleTo<float> bumpRadius{0.001f, 0.0f, 20};
    UINTSclaleTo<float> drift2{0.00025f, 0.0f, 20};
    UINTSclaleTo<float> drift1{0.0005f, 0.001f, 20};
    MediaParamT<std::uint32_t> angle{40};
    UINTSclaleTo<float> shadows{0.01f, 0.0f, 0};
    UINTSclaleTo<float> lightHeight{0.1f, 0.0f, 0};
    SmartCOLORREF colour{0xFFFFFF};
    DS_ImageFileLink bumpLink;
    gfx::Ref<gfx::Texture> bumpTexture;
    std::array<float, 4> bumpTransform{};
    math::Vec4 direction;

private:
    CallbackControlList<DS_WaterFX> m_callbacks{this};
};

class DS_MoveFX : public DS_DirectionBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_MoveFX";
    static constexpr std::int32_t kWrittenVersion = 3;
    static constexpr std::string_view kBuiltinEffect = "move";

    DS_MoveFX();
    DS_MoveFX(const DS_MoveFX& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    // The clock, then the shift for the kind at the timeline's level.
    void Update(float localTime) override;
    void Apply(DS_ABRender& host) override;

    MediaParamT<std::int32_t> kind;
    UINTSclaleTo<float> secondMagnitude{0.0002f, 0.0f, 50};
    std::array<float, 2> shift{};
};

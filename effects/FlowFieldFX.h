#pragma once
// Three image effects that stream the picture along a field, with a cyclic
// "Shift" in 0..1 (the phase over 2 pi, its fraction) that the effect files
// blend over two staggered lookups so that the flow shows no reset:
//
//   DS_VarrowLinear    along the direction (DS_DirectionBased) times the
//                      magnitude.
//   DS_VarrowRadial    out of the centre (outward flag) or into it.
//   DS_VarrowVortical  round the centre, optionally along an ellipse turned
//                      by its angle; exactly reverse flag 1 turns the other
//                      way.
//
// All three draw by road B over their own grid.
//
// Stored levels, after the class name and version:
//   "DS_VarrowLinear" 1    no own fields, then the "DS_DirectionBased" level
//   "DS_VarrowRadial" 2    uint32 amplitude, int32 outward flag (version 1:
//                          the amplitude only; the flag becomes 0), then the
//                          "DS_CentralBased" level
//   "DS_VarrowVortical" 1  uint32 ellipse deform, uint32 ellipse angle, int32
//                          reverse flag, uint32 amplitude, then the
//                          "DS_CentralBased" level
// Scaled values through their setters when they differ, angles and flags
// directly.

#include "effects/EffectBases.h"

// The flow's cycle at phase p: the fraction of p / 2 pi.
float FlowCycle(float phase);

class DS_VarrowLinear : public DS_DirectionBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_VarrowLinear";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "flow-linear";

    DS_VarrowLinear();
    DS_VarrowLinear(const DS_VarrowLinear& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    void Attach(gfx::Ref<gfx::Texture>* holder) override { AttachWithGrid(holder); }
    void Apply(DS_ABRender& host) override;
};

class DS_VarrowRadial : public DS_CentralBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_VarrowRadial";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::string_view kBuiltinEffect = "flow-radial";

    DS_VarrowRadial();
    DS_VarrowRadial(const DS_VarrowRadial& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    void Attach(gfx::Ref<gfx::Texture>* holder) override { AttachWithGrid(holder); }
    void Apply(DS_ABRender& host) override;

    UINTSclaleTo<float> amplitude{0.005f, 0.0f, 0};
    MediaParamT<std::int32_t> outwardFlag;
};

class DS_VarrowVortical : public DS_CentralBased {
public:
    static constexpr std::u16string_view kSectionName = u"DS_VarrowVortical";
    static constexpr std::int32_t kWrittenVersion = 1;
    static constexpr std::string_view kBuiltinEffect = "flow-vortex";

    DS_VarrowVortical();
    DS_VarrowVortical(const DS_VarrowVortical& other) = default;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;
    std::unique_ptr<DS_FX_Constructor> Clone() const override;
    std::string_view BuiltinEffectName() const override { return kBuiltinEffect; }

    void Attach(gfx::Ref<gfx::Texture>* holder) override { AttachWithGrid(holder); }
    void Apply(DS_ABRender& host) override;

    UINTSclaleTo<float> ellipseDeform{0.001f, 0.0f, 0};
    MediaParamT<std::uint32_t> ellipseAngle;
    MediaParamT<std::int32_t> reverse;
    UINTSclaleTo<float> amplitude{0.005f, 0.0f, 0};
};

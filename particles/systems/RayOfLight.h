#pragma once
// DS_RayOfLight: soft shafts of light through a four-cornered area, like
// sunbeams through a window. A fixed number of rays, each a strip from the
// upper edge (corner 2 to corner 0) to the lower edge (corner 3 to corner
// 1), widening downwards, fading in at the top, out at the bottom and near
// the sides, drifting sideways, and living a random time while its
// brightness rises and falls. A ray is a particle: its x is its place
// across the area (0..1), its size value its width and its opacity value
// its brightness. Rays are stepped twice per frame.
//
// The update writes three quads per ray into batch 0 (RayGeometry) and
// leaves the block's clocks alone; the base render draws them. Rays that
// drift out of the area fade to nothing and live out their lifetime. At
// most kMaxRays rays are kept, so their quads fit one batch.
//
// Stored section "DS_RayOfLight" 1 (version not looked at): 12 floats (the
// area), uint32 rayCount, then value and jitter (uint32 each) of rayLife
// (x 0.1 s), rayWidth (px) and rayDrift (x 0.0002 area widths/s), uint32
// spreadFactor (x 0.05 + 1), fadeInLength, fadeOutLength (x 0.01 of the
// length), edgeFade (x 0.005 of the width), int32 storedFlag, then the
// KXI_ParticleSystemCtrl section.

#include <cstdint>
#include <memory>

#include "objectmodel/ScaledParams.h"
#include "objectmodel/ShapeParams.h"
#include "particles/engine/ParticleSystemCtrl.h"

class DS_RayOfLight : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kClassName = u"DS_RayOfLight";
    static constexpr std::int32_t kWrittenVersion = 1;
    // Three quads per ray within one batch of 16383 quads.
    static constexpr std::uint32_t kMaxRays = 5461;

    DS_RayOfLight();
    DS_RayOfLight(const DS_RayOfLight& other);
    ~DS_RayOfLight() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // The base attach and one batch; a fresh object's area is the middle
    // 80 % of the picture with its upper edge narrowed to 60 %.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // Two steps of the rays, new rays, then their quads into batch 0.
    void Update(float localTime) override;
    // Tops the rays up to the count, straight into the list.
    InnerParticleList::Handles Emit(float dt) override;

    // The rays kept: rayCount, at most kMaxRays.
    std::uint32_t RayLimit() const;
    // 1 inside the area, falling to 0 over the edge margin, 0 outside.
    float EdgeFactor(float x) const;
    // The 12 vertices of one ray (three quads) with the texture extents
    // (u, v) and the block's colour and opacity.
    void WriteRay(const InnerParticle& ray, float uExtent, float vExtent, QuadBatchVertex* out) const;
    // All rays into batch 0; the quad count is 3 x the rays written.
    void BuildRays();

    MediaQuad rayArea;
    MediaParamT<std::uint32_t> rayCount{0u};
    KXI_JitterParam rayLife;
    KXI_JitterParam rayWidth;
    KXI_JitterParam rayDrift;
    UINTSclaleTo<float> spreadFactor{0.05f, 1.0f};
    UINTSclaleTo<float> fadeInLength{0.01f};
    UINTSclaleTo<float> fadeOutLength{0.01f};
    UINTSclaleTo<float> edgeFade{0.005f};
    MediaParamT<std::int32_t> storedFlag{0};

private:
    void CreateRay();
};

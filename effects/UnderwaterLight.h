#pragma once
// FakeUndervater (the stored name, spelled so): a light variant that shows
// the whole finished slide as if seen through moving water. It always asks
// for the render-target pass, so the background and the objects are drawn
// into its pair; at DrawBorderBars it ends the pass and runs its embedded
// DS_UnderwaterFX over the finished frame with itself as the host. The
// effect is no scene object: the light attaches it (no mask), runs its
// clock from UpdateCamera and applies it.
//
// Without a pass (no pair could be made) the frame is already on the target
// and the effect is skipped; an effect that cannot apply (nothing loadable
// from its link) draws the finished frame plainly. The bars are drawn in
// every case unless the caller says not to.
//
// Stored record "FakeUndervater" (written as version 2): v1 one uint32 into
// the effect's speed value, then halved (shift right by one) through the
// setter; later versions the whole effect as a tagged record
// ("DS_UnderwaterFX", version, its levels). Then the DS_2D_Light level.

#include "effects/FinishingLight.h"
#include "effects/WavesLightFX.h"

class FakeUndervater : public FrameFinishingLight {
public:
    static constexpr std::u16string_view kClassName = u"FakeUndervater";
    static constexpr std::int32_t kWrittenVersion = 2;

    bool ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    void CreateDeviceObjects() override;
    void DrawBorderBars(bool skip) override;
    void UpdateCamera(float time) override;
    // Always: the effect reads the finished frame.
    bool NeedsRenderTarget() const override;

    DS_UnderwaterFX underwater;
};

// Reads a tagged underwater record (class name not compared, version, the
// effect's levels) and gives its values to `effect`.
void ReadEmbeddedUnderwaterFX(ArchiveReader ar, DS_UnderwaterFX& effect);

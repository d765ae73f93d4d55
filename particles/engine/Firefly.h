#pragma once
// KXI_Firefly: wandering particles (KXI_BrownAnimation) that leave a trail
// of short-lived particles around them (KXI_ParticleTracer). Two parameter
// blocks, two effects, two glow surfaces and two batches: batch 0 is the
// trail, drawn first; batch 1 the fireflies, drawn over it through the own
// block's quad builder. Each block whose glow mode is 2 counts one screen
// pass and switches the render target before its own draw.
//
// Stored record "KXI_Firefly" (written as version 2): the trail's member
// record, then a whole KXI_BrownAnimation record (class name, version, body).
// Version 1 kept the trail's look in the own block: the trail takes the own
// block's first picture, its colours and its effect link, and the own block
// keeps its second picture alone. With fewer than two pictures the own block
// keeps what it has, so both draw the same picture (or, with none, nothing).

#include <cstdint>
#include <memory>

#include "particles/engine/BrownAnimation.h"
#include "particles/engine/ParticleTracer.h"

class KXI_Firefly : public KXI_BrownAnimation {
public:
    static constexpr std::u16string_view kClassName = u"KXI_Firefly";
    static constexpr std::int32_t kWrittenVersion = 2;
    static constexpr std::int32_t kTrailBatch = 0;
    static constexpr std::int32_t kFireflyBatch = 1;

    KXI_Firefly();
    KXI_Firefly(const KXI_Firefly& other);
    ~KXI_Firefly() override;

    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // One per block (trail, own) whose glow mode is 2.
    int CountScreenPasses() const override;
    // The base attach for the own block, the trail block's textures and
    // effect, two empty batches, then the wandering particles.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // The wandering, the fireflies' quads into batch 1, the trail stepped
    // around them and its quads into batch 0.
    void Update(float localTime) override;
    // The trail, then the fireflies, each with its glow.
    void Render(DS_ABRender& renderer, int& counter) override;

    KXI_ParticleTracer trail;

private:
    // The trail's look out of the own block, as version 1 kept it there.
    void MigrateVersion1();
};

#pragma once
// KXI_ParticleSystemCtrl: the root of every particle system whose particles
// are InnerParticle records. It is a scene-object description that also
// carries the whole running state of a system: the parameter block, a speed
// with its own clock, the live particles, the render object and its
// parameter callbacks. The document stores the description;
// CreateRenderObject builds a KXI_ParticleSystemMech around a clone, and the
// clone is the running system from then on.
//
// A concrete system supplies Clone and Emit, gives the render object its
// quad batches in AttachRenderObject, and may override Update, Restart and
// GetPreRunDuration.
//
// KXI_ParticleSystemMech: the render object. It owns the running clone and
// its quad batches (one quad count per batch), forwards the frame to the
// controller and offers the batch operations the controller and its block
// use. A batch index outside the batches does nothing anywhere.
//
// Stored section "KXI_ParticleSystemCtrl" (written as version 5), read by
// version v:
//   v >= 5:  int32 block version, the texture name, the block's fields;
//   v <= 4:  the legacy block (LoadLegacyBlock);
//   v >= 4:  uint32 speed percentage (stored directly);
// then the DS_ABObj_Constructor section.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "objectmodel/CallbackControls.h"
#include "objectmodel/ScaledParams.h"
#include "particles/engine/InnerParticle.h"
#include "particles/engine/ParticleSystemParams.h"
#include "render/ABObjConstructor.h"
#include "render/QuadBatchBuffer.h"
#include "render/RenderObject.h"

class KXI_ParticleSystemMech;

class KXI_ParticleSystemCtrl : public DS_ABObj_Constructor {
public:
    static constexpr std::u16string_view kSectionName = u"KXI_ParticleSystemCtrl";
    static constexpr std::int32_t kWrittenVersion = 5;
    static constexpr int kKindParticleSystem = 8;
    static constexpr float kPreRunStep = 0.1f;
    // The pre-run never simulates more than this many steps (60 s).
    static constexpr int kMaxPreRunSteps = 600;

    KXI_ParticleSystemCtrl();
    // Copies the description, the block, the speed with its clock, the
    // (shared) particles and the render-object pointer; the callbacks are
    // the copy's own (none yet).
    KXI_ParticleSystemCtrl(const KXI_ParticleSystemCtrl& other);
    ~KXI_ParticleSystemCtrl() override;

    // The controller's section, then the description's.
    void Save(ArchiveWriter ar) const override;
    void Load(ArchiveReader ar);

    // The pre-run: nothing for a non-continuous timeline (it starts empty);
    // else steps of 0.1 s while the pre-run duration is ahead, at most
    // kMaxPreRunSteps, none for a duration that is not a positive number.
    void Restart() override;
    int GetKind() const override;
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;

    // 1 when the block glows over the screen (glow mode 2), else 0.
    virtual int CountScreenPasses() const;
    // Stores the render object, loads textures and effects and watches the
    // texture link. Subclasses then give the render object its batches.
    virtual void AttachRenderObject(KXI_ParticleSystemMech* mech);
    // One frame at the object's local time.
    virtual void Update(float localTime);
    // The glow and the particles of batch 0.
    virtual void Render(DS_ABRender& renderer, int& counter);
    virtual std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const = 0;
    // Creates the particles due in a step, puts them into the list and
    // returns handles to the new ones (empty when it has already moved them).
    virtual InnerParticleList::Handles Emit(float dt) = 0;
    virtual float GetPreRunDuration() const;
    // The built-in effect the block draws with when its effect link yields
    // none of ours.
    virtual std::string_view BuiltinEffectName() const { return ParticleSystemParams::kBuiltinEffect; }

    // One simulation step: every particle by the full step, then the new
    // particles spread over it (the i-th of N by i x dt / N).
    void AdvanceParticles(float dt);
    // Unrotated squares of the first texture's size x scale, into batch 0.
    void BuildSquareQuads(const InnerParticleList& list, float scale);
    // The texture link changed: reload, and a new cell for every particle.
    void OnTextureChanged();

    KXI_ParticleSystemMech* RenderObject() const { return m_renderObject; }

    ParticleSystemParams params;
    MediaSpeedParam speed;
    InnerParticleList particles;

protected:
    // Steps the i-th of the new particles by i x dt / N.
    static void SpreadNewParticles(InnerParticleList::Handles& fresh, float dt);

private:
    void LoadLegacyBlock(ArchiveReader ar, std::int32_t version);

    KXI_ParticleSystemMech* m_renderObject = nullptr;
    CallbackControlList<KXI_ParticleSystemCtrl> m_callbacks{this};
};

class KXI_ParticleSystemMech : public DS_ABObj {
public:
    // Owns `controller`; attaches and restarts it.
    explicit KXI_ParticleSystemMech(std::unique_ptr<KXI_ParticleSystemCtrl> controller);
    ~KXI_ParticleSystemMech() override;

    // Drawing goes through RenderTo.
    void Render(DS_ABRender& renderer) override;
    void RenderTo(DS_ABRender& renderer, int& counter) override;
    int NeedsRenderTarget() const override;
    void Animate(float localTime) override;

    // `count` empty batches.
    void ResizeBatches(std::size_t count);
    std::size_t BatchCount() const { return m_batches.size(); }
    QuadBatchBuffer* Batch(std::int32_t index);
    std::int32_t QuadCount(std::int32_t index) const;
    void SetQuadCount(std::int32_t index, std::int32_t quads);

    // Buffers for `quads` quads (they only grow), texture coordinates for
    // the whole capacity, and the quad count: 0 when the buffers cannot be
    // had or their vertices do not lock.
    void PrepareBatch(std::int32_t index, std::int32_t quads, const SpriteFrameInfo* texture,
                      const ParticleSystemParams& block);
    // False when the batch's vertices do not lock (nothing written).
    bool FillBatchTexCoords(std::int32_t index, const SpriteFrameInfo* texture, const ParticleSystemParams& block);
    // The first colour of the controller's list (white for an empty list)
    // with alpha = transparency x factor, into the four vertices. Arguments:
    // the quad's first vertex, then the alpha factor.
    void SetQuadColour(QuadBatchVertex* quad, float factor) const;
    // Quads [0, quad count) of the batch through the effect's technique.
    void DrawBatch(DS_ABRender& renderer, gfx::Effect* effect, const char* technique, std::int32_t index);

    KXI_ParticleSystemCtrl& Controller() const { return *m_controller; }

private:
    KXI_ParticleSystemCtrl* m_controller;
    std::vector<QuadBatchBuffer> m_batches;
    std::vector<std::int32_t> m_quadCounts;
};

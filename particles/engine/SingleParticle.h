#pragma once
// Controllers that draw one textured quad instead of a cloud of particles.
// They keep the controller's parameter block (pictures, effect, blending,
// glow, colour and opacity) and its render object with one quad batch, and
// leave the particle list empty.
//
// KXI_SingleParticle: the quad's four corners are a stored MediaQuad. Its
// attach gives batch 0 one quad and writes the corners there (BuildQuad);
// afterwards nothing rewrites them, so a changed quad shows only after the
// next attach. Abstract (Clone and Emit belong to the concrete class); the
// text objects derive from it and reuse its section reader, its attach,
// BuildQuad, and the static object's update.
//
// KXI_StaticObject: one picture that fades with its timeline and can turn
// about the centre of corners 0 and 3. Each update rewrites only the quad's
// colours (level of the timeline as the alpha factor) and sets batch 0's
// world matrix, which the renderer passes on through the render context, so
// camera and parallax apply.
//
// Vertex order of the quad in batch 0: corner 1, corner 0, corner 3,
// corner 2 (for a quad laid out by MediaQuad::SetRectangle: left-bottom,
// left-top, right-bottom, right-top). Around a centre P with a half-width
// vector w and a half-height vector h: P - w + h, P - w - h, P + w + h,
// P + w - h.
//
// Stored forms (version 1 written, versions not examined):
//   "KXI_StaticObject": uint32 turn speed, int32 reverse (both stored
//     directly), then the KXI_SingleParticle section;
//   "KXI_SingleParticle" section: class name, int32 version, the quad (four
//     corners of x, y, z floats), then the KXI_ParticleSystemCtrl section.

#include <cstdint>
#include <memory>

#include "objectmodel/ScaledParams.h"
#include "objectmodel/ShapeParams.h"
#include "particles/engine/ParticleSystemCtrl.h"

// Gives the render object one batch holding one quad, its texture
// coordinates from the block's first texture, and quad count 1 (0 when the
// device refuses the buffers).
void PrepareSingleQuadBatch(KXI_ParticleSystemMech& mech, const ParticleSystemParams& block);

// Writes the positions of one quad around centre `p` with half-width vector
// `w` and half-height vector `h`, in the single quad's vertex order.
void WriteQuadAround(QuadBatchVertex* quad, const math::Vec3& p, const math::Vec3& w, const math::Vec3& h);

// The vertices of batch 0 of a render object, locked while the lock lives;
// null when there is no render object, no batch, or no buffer to lock.
class SingleQuadLock {
public:
    explicit SingleQuadLock(KXI_ParticleSystemMech* mech);
    ~SingleQuadLock();
    SingleQuadLock(const SingleQuadLock&) = delete;
    SingleQuadLock& operator=(const SingleQuadLock&) = delete;

    QuadBatchVertex* Vertices() const { return m_vertices; }

private:
    QuadBatchBuffer* m_batch = nullptr;
    QuadBatchVertex* m_vertices = nullptr;
};

class KXI_SingleParticle : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kSectionName = u"KXI_SingleParticle";
    static constexpr std::int32_t kWrittenVersion = 1;

    KXI_SingleParticle();
    KXI_SingleParticle(const KXI_SingleParticle& other);
    ~KXI_SingleParticle() override;

    // The section (name, version, quad), then the controller's section.
    void LoadSingleParticleSection(ArchiveReader ar);
    void Save(ArchiveWriter ar) const override;

    // The base attach, one quad in batch 0, then BuildQuad.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // Writes the corners' positions into batch 0 and its texture
    // coordinates. Nothing without a render object or a lockable batch.
    virtual void BuildQuad();

    // The four corners' positions into `quad` in the vertex order above.
    void WriteCorners(QuadBatchVertex* quad) const;
    // The midpoint of corners 0 and 3 in x and y, at z 0.
    math::Vec3 Centre() const;

    MediaQuad quad;
};

class KXI_StaticObject : public KXI_SingleParticle {
public:
    static constexpr std::u16string_view kClassName = u"KXI_StaticObject";
    static constexpr std::int32_t kWrittenVersion = 1;
    // Degrees per second for each unit of the stored turn speed.
    static constexpr float kTurnSpeedScale = 0.4f;

    KXI_StaticObject();
    KXI_StaticObject(const KXI_StaticObject& other);
    ~KXI_StaticObject() override;

    // The body after the class name and version the registry has read.
    void ReadBody(ArchiveReader ar, std::int32_t version);
    // The whole section: class name, version, then the body.
    void LoadStaticObjectSection(ArchiveReader ar);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // Nothing: the object draws its quad, not particles.
    InnerParticleList::Handles Emit(float dt) override;
    // The block's clocks, the quad's colours at the timeline's level, the
    // turn, and batch 0's world matrix.
    void Update(float localTime) override;

    // The current timeline's level (1 without a timeline).
    float TimelineLevel() const;
    // Advances the turn by the turn clock's step (0.2 s at most, times the
    // speed); a stored turn speed of 0 puts the picture upright.
    void AdvanceTurn(float localTime);

    // Degrees per second: value x kTurnSpeedScale; its clock times the turn.
    MediaSpeedParam turnSpeed;
    MediaParamT<std::int32_t> reverse{0};
    // The current turn in degrees; not stored.
    float angle = 0.0f;

private:
    void ApplyTimelineLevel();
    void TurnBatch();
};

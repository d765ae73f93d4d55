#pragma once
// KXI_ParticlePathCtrl: a controller that owns a path of plain points with
// its ping-pong walker. Its attach samples the path (straight legs between
// the points) and puts the walker back at the first point. Abstract.
//
// KXI_SigleObjectPath: one picture that walks the path to the last point
// and back without end. Each update adds the speed to the walked distance
// once (the frame's length does not enter, so shorter frames walk faster)
// and rewrites the whole quad around the point reached, sized to the first
// picture x the block's size percentage:
//   orientation 0  upright;
//   orientation 1  turned so its width runs along the walk;
//   orientation 2  upright, mirrored left-right while the walk goes toward -x;
//   orientation 3  upright, mirrored top-bottom while the walk goes toward +y.
// A path of one point shows the picture upright at it (in every mode); a
// path without points draws nothing (quad count 0). Neither walks. A walk
// without a direction (every leg of zero length) also stands upright.
//
// Stored forms (version 1 written, versions not examined):
//   "KXI_SigleObjectPath": uint32 speed, int32 orientation mode (both stored
//     directly), then the KXI_ParticlePathCtrl section;
//   "KXI_ParticlePathCtrl" section: class name, int32 version, the points
//     (int32 count, then x, y, z floats each), then the
//     KXI_ParticleSystemCtrl section.

#include <cstdint>
#include <memory>

#include "objectmodel/ScaledParams.h"
#include "objectmodel/SmartPath.h"
#include "particles/engine/ParticleSystemCtrl.h"

class KXI_ParticlePathCtrl : public KXI_ParticleSystemCtrl {
public:
    static constexpr std::u16string_view kSectionName = u"KXI_ParticlePathCtrl";
    static constexpr std::int32_t kWrittenVersion = 1;

    KXI_ParticlePathCtrl();
    // Shares the path's points; copies the samples and the walker.
    KXI_ParticlePathCtrl(const KXI_ParticlePathCtrl& other);
    ~KXI_ParticlePathCtrl() override;

    // The section (name, version, points), then the controller's section.
    void LoadPathSection(ArchiveReader ar);
    void Save(ArchiveWriter ar) const override;

    // The base attach, the path sampled, the walker reset.
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // Distance, index, position and direction 0; walking forward.
    void ResetWalk();

    SmartPath<DX_SmartPnt> path;
};

class KXI_SigleObjectPath : public KXI_ParticlePathCtrl {
public:
    static constexpr std::u16string_view kClassName = u"KXI_SigleObjectPath";
    static constexpr std::int32_t kWrittenVersion = 1;
    // Canvas units walked per update for each unit of the stored speed.
    static constexpr float kSpeedScale = 0.1f;

    enum Orientation : std::int32_t {
        kUpright = 0,
        kAlongWalk = 1,
        kMirrorLeftRight = 2,
        kMirrorTopBottom = 3,
    };

    KXI_SigleObjectPath();
    KXI_SigleObjectPath(const KXI_SigleObjectPath& other);
    ~KXI_SigleObjectPath() override;

    // The body after the class name and version the registry has read.
    void ReadBody(ArchiveReader ar, std::int32_t version);
    void Save(ArchiveWriter ar) const override;

    std::unique_ptr<KXI_ParticleSystemCtrl> Clone() const override;
    // Nothing: the object draws its quad, not particles.
    InnerParticleList::Handles Emit(float dt) override;
    // The path's attach, then one quad in batch 0 (none for a path without
    // points).
    void AttachRenderObject(KXI_ParticleSystemMech* mech) override;
    // The block's clocks, one step of the walk, the quad rewritten.
    void Update(float localTime) override;
    // Back to the first point; no pre-run.
    void Restart() override;

    // The quad's full width and height: the first picture's size x the
    // block's size percentage (0 x 0 without a picture).
    void QuadSize(float& width, float& height) const;

    // Distance per update: value x kSpeedScale. (The controller's own
    // speed, which scales its clock, is not used by the walk.)
    MediaSpeedParam walkSpeed;
    MediaParamT<std::int32_t> orientation{kUpright};

private:
    // The point the picture stands at this update and its direction of walk
    // (zero when it does not walk).
    math::Vec3 Walk(math::Vec3& direction);
    void WriteQuad(QuadBatchVertex* quad, const math::Vec3& position, const math::Vec3& direction) const;
};

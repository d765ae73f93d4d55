#pragma once
// Emission in two parts: an emitter geometry (KXI_ImetterGeom family)
// creates a given number of particles at positions of its shape, and an
// emission counter (KXI_ImetterCaunter family) says how many are due in a
// step. Geometries only place particles (identity matrix, no velocity, no
// main routine); the position array also attaches the routine that frees
// the particle's position when the particle is gone.
//
// Callers ask a geometry only for the room their particle list has left
// (InnerParticleList::Room), so no particle beyond the list's cap is made;
// the counters still count everything that is due.

#include <cstdint>
#include <memory>
#include <vector>

#include "objectmodel/Archive.h"
#include "objectmodel/DirectionParams.h"
#include "objectmodel/MediaParam.h"
#include "objectmodel/ScaledParams.h"
#include "objectmodel/ShapeParams.h"
#include "particles/engine/InnerParticle.h"

class KXI_ImetterGeom {
public:
    virtual ~KXI_ImetterGeom() = default;
    // `count` new particles at placements of the shape (none for count <= 0).
    virtual InnerParticleList::Handles Emit(std::int32_t count) = 0;
};

class KXI_PointImitter : public KXI_ImetterGeom {
public:
    InnerParticleList::Handles Emit(std::int32_t count) override;
    // The centre of the render context's picture, set with notification.
    void CentreOnScreen();

    MediaParamT<math::Vec3> position;

protected:
    // Each new particle at position + offset(i).
    template <class Offset>
    InnerParticleList::Handles EmitAround(std::int32_t count, Offset&& offset) const;
};

// A random length U x diameter / 2 in a random direction: denser near the
// centre.
class KXI_CircleImitter : public KXI_PointImitter {
public:
    InnerParticleList::Handles Emit(std::int32_t count) override;

    float diameter = 0.0f;
};

// A random length U x distance within +/- half the spread around the angle.
class KXI_SectorImitter : public KXI_PointImitter {
public:
    InnerParticleList::Handles Emit(std::int32_t count) override;

    MediaSector direction;
    MediaParamT<std::uint32_t> distance{0u};
};

// Uniform in the box of corners 0 and 3 (y drawn before x, z = 0); corners
// 1 and 2 are not used.
class KXI_RectImitter : public KXI_ImetterGeom {
public:
    InnerParticleList::Handles Emit(std::int32_t count) override;

    MediaQuad area;
};

class IPR_ArrayPtclDeath;

// The positions of a position-array emitter and which are free. The emitter
// owns it; each particle's death routine holds a weak reference, so a
// particle released after its emitter changes nothing.
struct EmitterPositionStore {
    struct Position {
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
        const IPR_ArrayPtclDeath* occupant = nullptr;
    };
    std::vector<Position> positions;
    std::vector<std::int32_t> freeList;
};

class KXI_PosArrImitter : public KXI_ImetterGeom {
public:
    KXI_PosArrImitter();
    // The copy takes the positions, all free: occupants belong to the
    // particles of the original.
    KXI_PosArrImitter(const KXI_PosArrImitter& other);
    KXI_PosArrImitter& operator=(const KXI_PosArrImitter&) = delete;
    ~KXI_PosArrImitter() override;

    // One particle per free position drawn at random, until `count` or the
    // free positions run out.
    InnerParticleList::Handles Emit(std::int32_t count) override;

    void AddPosition(float x, float y, float z);
    void ClearPositions();
    std::size_t PositionCount() const { return m_store->positions.size(); }
    std::size_t FreeCount() const { return m_store->freeList.size(); }
    const EmitterPositionStore& Store() const { return *m_store; }

private:
    std::shared_ptr<EmitterPositionStore> m_store;
};

// Stored form: int32 count, then count x (float x, y, z). Reading clears the
// positions and adds each one as free, in order.
void ReadPositionArray(ArchiveReader ar, KXI_PosArrImitter& emitter);
void WritePositionArray(ArchiveWriter ar, const KXI_PosArrImitter& emitter);

// Keeps its position occupied while its particle lives; never ends it.
class IPR_ArrayPtclDeath : public InnerParticleRoutine {
public:
    IPR_ArrayPtclDeath(std::int32_t index, std::weak_ptr<EmitterPositionStore> store)
        : index(index), m_store(std::move(store))
    {
    }
    // Gives the position back, when the emitter still exists and the
    // position is still this routine's.
    ~IPR_ArrayPtclDeath() override;
    bool Step(float, InnerParticle&) override { return true; }

    std::int32_t index;

private:
    std::weak_ptr<EmitterPositionStore> m_store;
};

class KXI_ImetterCaunter {
public:
    virtual ~KXI_ImetterCaunter() = default;
    // How many particles are due in a step of `dt` seconds (0..the list cap).
    virtual std::int32_t CountDue(float dt) = 0;

    float accumulator = 0.0f;
};

// rate x 0.2 particles per second, the fraction carried over.
class KXI_EvenImitter : public KXI_ImetterCaunter {
public:
    std::int32_t CountDue(float dt) override;

    UINTSclaleTo<float> rate{0.2f, 0.0f, 100};
};

// One particle per random interval of minimum..maximum seconds. After
// InnerParticleList::kMaxParticles in one call the backlog is dropped.
class KXI_RndImitter : public KXI_ImetterCaunter {
public:
    std::int32_t CountDue(float dt) override;

    MediaParamT<float> minimum{0.5f};
    MediaParamT<float> maximum{1.5f};
    float elapsed = 0.0f;
    float nextEmission = 0.0f;
};

// A geometry with an even counter, as controllers hold them.
template <class Geometry>
class EmitterSet {
public:
    // The particles due in the step, at most `room` of them.
    InnerParticleList::Handles Emit(float dt, std::int32_t room)
    {
        const std::int32_t due = counter.CountDue(dt);
        return geometry.Emit(due < room ? due : room);
    }

    Geometry geometry;
    KXI_EvenImitter counter;
};

using RectEmitterSet = EmitterSet<KXI_RectImitter>;
using CircleEmitterSet = EmitterSet<KXI_CircleImitter>;

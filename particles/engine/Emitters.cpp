#include "particles/engine/Emitters.h"

#include <algorithm>

#include "objectmodel/Geometry.h"
#include "particles/engine/WholeFraction.h"
#include "platform/crt/Random.h"
#include "render/RenderContext.h"

namespace {

// (length, 0, 0) turned about Z by a random angle between from and to
// degrees (one draw, after the length's).
math::Vec3 RandomOffset(float length, float from, float to)
{
    math::Vec3 offset;
    RandomDirectionInArc(offset, length, from, to);
    return offset;
}

} // namespace

template <class Offset>
InnerParticleList::Handles KXI_PointImitter::EmitAround(std::int32_t count, Offset&& offset) const
{
    InnerParticleList::Handles out;
    for (std::int32_t i = 0; i < count; ++i)
        out.emplace_back(new InnerParticle(position.value + offset()));
    return out;
}

InnerParticleList::Handles KXI_PointImitter::Emit(std::int32_t count)
{
    return EmitAround(count, [] { return math::Vec3{}; });
}

void KXI_PointImitter::CentreOnScreen()
{
    const RenderContext* context = g_RenderContextTls;
    if (!context)
        return;
    position.SetValue({context->pictureWidth / 2.0f, context->pictureHeight / 2.0f, 0.0f}, nullptr);
}

InnerParticleList::Handles KXI_CircleImitter::Emit(std::int32_t count)
{
    return EmitAround(count, [this] {
        const float length = crt::RandomUnit() * (diameter * 0.5f);
        return RandomOffset(length, 0.0f, 360.0f);
    });
}

InnerParticleList::Handles KXI_SectorImitter::Emit(std::int32_t count)
{
    return EmitAround(count, [this] {
        const float length = crt::RandomUnit() * static_cast<float>(distance.value);
        const float angle = static_cast<float>(direction.value);
        const float half = static_cast<float>(direction.spread.value) / 2.0f;
        return RandomOffset(length, angle - half, angle + half);
    });
}

InnerParticleList::Handles KXI_RectImitter::Emit(std::int32_t count)
{
    const math::Vec3& c0 = area.corners[0].value;
    const math::Vec3& c3 = area.corners[3].value;
    InnerParticleList::Handles out;
    for (std::int32_t i = 0; i < count; ++i) {
        const float y = crt::RandomUnit() * (c3.y - c0.y) + c0.y;
        const float x = crt::RandomUnit() * (c3.x - c0.x) + c0.x;
        out.emplace_back(new InnerParticle({x, y, 0.0f}));
    }
    return out;
}

// ---- position array ---------------------------------------------------------------

KXI_PosArrImitter::KXI_PosArrImitter() : m_store(std::make_shared<EmitterPositionStore>()) {}

KXI_PosArrImitter::KXI_PosArrImitter(const KXI_PosArrImitter& other) : KXI_PosArrImitter()
{
    for (const EmitterPositionStore::Position& p : other.m_store->positions)
        AddPosition(p.x, p.y, p.z);
}

KXI_PosArrImitter::~KXI_PosArrImitter()
{
    m_store->positions.clear();
    m_store->freeList.clear();
}

void KXI_PosArrImitter::AddPosition(float x, float y, float z)
{
    m_store->freeList.push_back(static_cast<std::int32_t>(m_store->positions.size()));
    m_store->positions.push_back({x, y, z, nullptr});
}

void KXI_PosArrImitter::ClearPositions()
{
    m_store->positions.clear();
    m_store->freeList.clear();
}

InnerParticleList::Handles KXI_PosArrImitter::Emit(std::int32_t count)
{
    InnerParticleList::Handles out;
    std::vector<std::int32_t>& freeList = m_store->freeList;
    for (std::int32_t i = 0; i < count && !freeList.empty(); ++i) {
        const auto c = static_cast<std::size_t>(crt::rand()) % freeList.size();
        const std::int32_t p = freeList[c];
        EmitterPositionStore::Position& place = m_store->positions[static_cast<std::size_t>(p)];
        ParticleHandle particle(new InnerParticle({place.x, place.y, place.z}));
        auto* death = new IPR_ArrayPtclDeath(p, m_store);
        place.occupant = death;
        particle->AddRoutine(ParticleRoutineHandle(death), false);
        out.push_back(std::move(particle));
        freeList.erase(freeList.begin() + static_cast<std::ptrdiff_t>(c));
    }
    return out;
}

IPR_ArrayPtclDeath::~IPR_ArrayPtclDeath()
{
    const std::shared_ptr<EmitterPositionStore> store = m_store.lock();
    if (!store || index < 0 || static_cast<std::size_t>(index) >= store->positions.size())
        return;
    EmitterPositionStore::Position& place = store->positions[static_cast<std::size_t>(index)];
    if (place.occupant != this)
        return; // the positions were read again since
    place.occupant = nullptr;
    store->freeList.push_back(index);
}

void ReadPositionArray(ArchiveReader ar, KXI_PosArrImitter& emitter)
{
    emitter.ClearPositions();
    const std::size_t count = ar.ReadCount(12);
    for (std::size_t i = 0; i < count; ++i) {
        const float x = ar.ReadFloat();
        const float y = ar.ReadFloat();
        const float z = ar.ReadFloat();
        emitter.AddPosition(x, y, z);
    }
}

void WritePositionArray(ArchiveWriter ar, const KXI_PosArrImitter& emitter)
{
    ar->WriteVersion(static_cast<std::int32_t>(emitter.PositionCount()));
    for (const EmitterPositionStore::Position& p : emitter.Store().positions) {
        ar->WriteFloat(p.x);
        ar->WriteFloat(p.y);
        ar->WriteFloat(p.z);
    }
}

// ---- counters ---------------------------------------------------------------------

std::int32_t KXI_EvenImitter::CountDue(float dt)
{
    const float r = rate.Scaled();
    if (!(r > 0.0f))
        return 0;
    accumulator += dt;
    float whole = 0.0f;
    SplitWholeFraction(static_cast<double>(accumulator * r), whole);
    accumulator -= whole / r;
    return ClampParticleCount(whole);
}

std::int32_t KXI_RndImitter::CountDue(float dt)
{
    elapsed += dt;
    std::int32_t count = 0;
    while (elapsed > nextEmission) {
        if (count >= InnerParticleList::kMaxParticles) {
            nextEmission = elapsed; // drop the backlog
            break;
        }
        ++count;
        if (minimum.value == 0.0f && maximum.value == 0.0f)
            break; // one per call; the next emission time stays
        const float interval = crt::RandomUnit() * (maximum.value - minimum.value) + minimum.value;
        if (!(interval > 0.0f))
            break;
        nextEmission += interval;
    }
    return count;
}

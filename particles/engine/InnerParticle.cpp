#include "particles/engine/InnerParticle.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "particles/engine/RoutineConditions.h"
#include "platform/math/MathFunctions.h"

RoutineAction* g_PairInteraction = nullptr;

InnerParticle::InnerParticle(const math::Vec3& at)
{
    ResetFields(at);
}

void InnerParticle::ResetFields(const math::Vec3& at)
{
    matrix = math::Matrix{};
    position = at;
    velocity = {};
    acceleration = {};
    force = {};
    direction = {};
    perpendicular = {};
    values = {};
    values[kSizeValue] = 1.0f;
    values[kOpacityValue] = 1.0f;
    multipliers.fill(1.0f);
    pathPointIndex = 0;
    cell = {1.0f, 1.0f, 0.0f, 0.0f};
    colour = 0;
    flags = 0;
}

void InnerParticle::AddRoutine(ParticleRoutineHandle routine, bool runNow)
{
    InnerParticleRoutine* added = routine.get();
    m_routines.push_back(std::move(routine));
    if (runNow && added)
        added->Step(0.0f, *this);
}

void InnerParticle::SetMainRoutine(ParticleRoutineHandle routine)
{
    m_mainRoutine = std::move(routine);
}

bool InnerParticle::Step(float dt)
{
    if (InnerParticleRoutine* main = m_mainRoutine.get(); main && !main->Step(dt, *this))
        return false;
    multipliers.fill(1.0f);
    force = {};
    bool alive = true;
    for (const ParticleRoutineHandle& routine : m_routines) {
        if (routine && !routine->Step(dt, *this)) {
            alive = false;
            break;
        }
    }
    UpdateDirection();
    return alive;
}

void InnerParticle::UpdateDirection()
{
    const float speed = math::Vec3Length(velocity);
    direction = speed > 0.0f ? velocity / speed : math::Vec3{0.0f, 1.0f, 0.0f};
    perpendicular.x = -direction.y;
    perpendicular.y = direction.x;
}

// ---- list -------------------------------------------------------------------------

ParticleHandle& InnerParticleList::Create(const math::Vec3& position)
{
    ParticleHandle particle(new InnerParticle(position));
    if (Room() <= 0) {
        m_heldApart = std::move(particle);
        return m_heldApart;
    }
    m_particles.push_back(std::move(particle));
    return m_particles.back();
}

void InnerParticleList::Append(Handles&& particles)
{
    const std::int32_t room = std::max(Room(), 0);
    if (static_cast<std::int32_t>(particles.size()) > room)
        particles.resize(static_cast<std::size_t>(room));
    m_particles.splice(m_particles.end(), particles);
}

void InnerParticleList::Update(float dt)
{
    for (auto it = m_particles.begin(); it != m_particles.end();) {
        if (*it && (*it)->Step(dt))
            ++it;
        else
            it = m_particles.erase(it);
    }
}

namespace {

float TopEdge(const InnerParticle& p, float half)
{
    return p.position.y - p.values[InnerParticle::kSizeValue] * half;
}

} // namespace

void InnerParticleList::Interact(float scale)
{
    RoutineAction* action = g_PairInteraction;
    if (!action || m_particles.size() < 2)
        return;
    const float half = scale * 0.5f;
    m_particles.remove_if([](const ParticleHandle& p) { return !p; });
    // std::list::sort is a stable merge sort.
    m_particles.sort([half](const ParticleHandle& a, const ParticleHandle& b) {
        return TopEdge(*a, half) < TopEdge(*b, half);
    });
    for (auto a = m_particles.begin(); a != m_particles.end(); ++a) {
        if (!*a)
            continue;
        InnerParticle& first = **a;
        const float ea = first.values[InnerParticle::kSizeValue] * half;
        for (auto b = std::next(a); b != m_particles.end(); ++b) {
            if (!*b)
                continue; // an earlier action released it
            const InnerParticle& second = **b;
            const float eb = second.values[InnerParticle::kSizeValue] * half;
            if (second.position.y - eb > first.position.y + ea)
                break;
            if (second.position.x - eb > first.position.x + ea || first.position.x - ea > second.position.x + eb)
                continue;
            if (!action->Apply(first, *b))
                break;
        }
    }
}

std::int32_t ClampParticleCount(double count)
{
    if (!(count > 0.0))
        return 0;
    if (count >= InnerParticleList::kMaxParticles)
        return InnerParticleList::kMaxParticles;
    return static_cast<std::int32_t>(count);
}

#include "particles/engine/TreeParticle.h"

void TreeParticle::ResetMultipliers()
{
    multipliers = {1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1.0f};
    orientation = math::Matrix{};
}

bool TreeParticle::Step(float dt)
{
    ResetMultipliers();
    Force() = math::Vec3{};
    values[kAge] += dt;
    // A linked particle dies with its parent, before any transform can move it.
    if (TreeParticle* p = Parent(); p && p->IsDead()) {
        flags |= kDeadFlag;
        return false;
    }
    for (PtclTransformHandle& transform : chain) {
        if (transform && !transform->Apply(dt, *this)) {
            flags |= kDeadFlag;
            break;
        }
    }
    return !IsDead();
}

math::Vec3 TreeParticle::WorldPosition() const
{
    math::Vec3 world = vectors[kPosition];
    if (const TreeParticle* p = Parent())
        world += p->WorldPosition();
    const math::Vec3& d = vectors[kDirection];
    const float along = multipliers[kAlongDirection];
    const float across = multipliers[kAcrossDirection];
    world.x += along * d.x - across * d.y;
    world.y += along * d.y + across * d.x;
    return world;
}

float TreeParticle::ScaledParam(int index) const
{
    float scaled = multipliers[index] * values[index];
    if (const TreeParticle* p = Parent())
        scaled *= p->ScaledParam(index);
    return scaled;
}

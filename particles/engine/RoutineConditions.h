#pragma once
// Conditions and actions of the interaction routine (ParticleRoutines.h):
// a condition tests a particle, an action does something to it and may end
// it (false).
//
//   PRC_CrossLine   holds on the right-hand side of a line P -> Q (x right,
//                   y up), for the particle's drawn position
//   PRC_OR          holds when one of its members holds (none: never)
//   PRC_CrossQuad   a PRC_OR of the four edges of a quad: for a quad laid out
//                   by MediaQuad::SetRectangle it holds exactly outside the
//                   rectangle (a point on an edge is inside)
//   PRA_Die         ends the particle

#include <vector>

#include "objectmodel/SafePtr.h"
#include "particles/engine/InnerParticle.h"

class MediaQuad;

class RoutineCondition {
public:
    virtual ~RoutineCondition() = default;
    virtual bool Test(float dt, const InnerParticle& particle) = 0;
};

class RoutineAction {
public:
    virtual ~RoutineAction() = default;
    // `out` is a handle the action may fill (the pair action gets the other
    // particle's handle there). False ends the particle.
    virtual bool Apply(InnerParticle& particle, ParticleHandle& out) = 0;
};

class PRC_CrossLine : public RoutineCondition {
public:
    PRC_CrossLine(float a, float b, float c) : a(a), b(b), c(c) {}
    // The line through p and q.
    static PRC_CrossLine Through(float px, float py, float qx, float qy);

    bool Test(float dt, const InnerParticle& particle) override;

    float a;
    float b;
    float c;
};

class PRC_OR : public RoutineCondition {
public:
    bool Test(float dt, const InnerParticle& particle) override;

    std::vector<DS_SafePtr<RoutineCondition>> members;
};

class PRC_CrossQuad : public PRC_OR {
public:
    // Edges c0 -> c2, c2 -> c3, c3 -> c1, c1 -> c0 of the quad's corners.
    explicit PRC_CrossQuad(const MediaQuad& quad);
};

class PRA_Die : public RoutineAction {
public:
    bool Apply(InnerParticle&, ParticleHandle&) override { return false; }
};

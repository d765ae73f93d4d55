#include "particles/engine/RoutineConditions.h"

#include "objectmodel/ShapeParams.h"

PRC_CrossLine PRC_CrossLine::Through(float px, float py, float qx, float qy)
{
    return PRC_CrossLine(py - qy, qx - px, px * qy - py * qx);
}

bool PRC_CrossLine::Test(float, const InnerParticle& p)
{
    const float along = p.multipliers[InnerParticle::kAlongOffset];
    const float across = p.multipliers[InnerParticle::kAcrossOffset];
    const float x = p.position.x + p.perpendicular.x * across + p.direction.x * along;
    const float y = p.position.y + p.perpendicular.y * across + p.direction.y * along;
    return a * x + b * y + c < 0.0f;
}

bool PRC_OR::Test(float dt, const InnerParticle& particle)
{
    for (const DS_SafePtr<RoutineCondition>& member : members) {
        if (member && member->Test(dt, particle))
            return true;
    }
    return false;
}

PRC_CrossQuad::PRC_CrossQuad(const MediaQuad& quad)
{
    static constexpr int kEdges[4][2] = {{0, 2}, {2, 3}, {3, 1}, {1, 0}};
    for (const auto& edge : kEdges) {
        const math::Vec3& p = quad.corners[edge[0]].value;
        const math::Vec3& q = quad.corners[edge[1]].value;
        members.push_back(DS_SafePtr<RoutineCondition>(new PRC_CrossLine(PRC_CrossLine::Through(p.x, p.y, q.x, q.y))));
    }
}

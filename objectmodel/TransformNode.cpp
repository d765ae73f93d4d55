#include "objectmodel/TransformNode.h"

#include <algorithm>

#include "platform/math/MathFunctions.h"

TransformNode::TransformNode(const TransformNode& other)
    : world(other.world),
      local(other.local),
      boundingRadius(other.boundingRadius),
      boundingCenter(other.boundingCenter),
      cullCounterClockwise(other.cullCounterClockwise),
      m_children(other.m_children)
{
}

TransformNode& TransformNode::operator=(const TransformNode& other)
{
    if (this == &other)
        return *this;
    world = other.world;
    local = other.local;
    boundingRadius = other.boundingRadius;
    boundingCenter = other.boundingCenter;
    cullCounterClockwise = other.cullCounterClockwise;
    m_children = other.m_children;
    m_animation.reset();
    return *this;
}

void TransformNode::UpdateWorld(const math::Matrix* parent)
{
    if (m_animation)
        m_animation->Apply(*this);
    else
        world = local;
    if (parent)
        math::MatrixMultiply(&world, world, *parent);
    for (TransformNode* child : m_children)
        child->UpdateWorld(&world);
}

bool TransformNode::RemoveChild(const TransformNode* child)
{
    const auto found = std::find(m_children.begin(), m_children.end(), child);
    if (found == m_children.end())
        return false;
    m_children.erase(found);
    return true;
}

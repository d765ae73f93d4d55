#pragma once

// TransformNode: the transform header of every drawable quad batch and of the
// nodes of 3D objects. A node's world matrix is its local matrix (or what its
// animation controller makes of it) times the parent's world matrix, passed
// on down the list of children.
//
// DS_AnimationBase is the interface of the animation controllers, which live
// in the scene-objects layer: the node owns its controller and asks it for
// the world matrix on every update.

#include "platform/math/Matrix.h"
#include "platform/math/Vector.h"

#include <memory>
#include <vector>

class TransformNode;

class DS_AnimationBase {
public:
    virtual ~DS_AnimationBase() = default;

    // Sets node.world from node.local and the controller's state. The node
    // multiplies the result by the parent's world matrix afterwards.
    virtual void Apply(TransformNode& node) = 0;

protected:
    DS_AnimationBase() = default;
    DS_AnimationBase(const DS_AnimationBase&) = default;
    DS_AnimationBase& operator=(const DS_AnimationBase&) = default;
};

class TransformNode {
public:
    TransformNode() = default;

    // A copy takes the matrices, sphere, flag and the (unowned) child list.
    // The controller is owned by one node only, so the copy has none.
    TransformNode(const TransformNode& other);
    TransformNode& operator=(const TransformNode& other);
    TransformNode(TransformNode&&) noexcept = default;
    TransformNode& operator=(TransformNode&&) noexcept = default;
    ~TransformNode() = default;

    // Appends `child`; the node does not own it. The child must outlive every
    // update of this node.
    void AddChild(TransformNode* child) { m_children.push_back(child); }
    // Takes the first occurrence of `child` out of the list (it is not
    // deleted: its owner does that). False when it is not a child.
    bool RemoveChild(const TransformNode* child);
    const std::vector<TransformNode*>& Children() const { return m_children; }

    // Takes ownership of `animation` (deleting a previous one); null removes it.
    void SetAnimation(std::unique_ptr<DS_AnimationBase> animation) { m_animation = std::move(animation); }
    DS_AnimationBase* Animation() const { return m_animation.get(); }

    // world = (controller's result, or local) x parent, then the children in
    // list order with this world. A null parent leaves the first product out.
    void UpdateWorld(const math::Matrix* parent);

    math::Matrix world;
    math::Matrix local;
    // Bounding sphere of the mesh drawn at this node (owners fill it).
    float boundingRadius = 0.0f;
    math::Vec3 boundingCenter;
    // Which faces the mesh renderer culls: counter-clockwise when true.
    bool cullCounterClockwise = true;

private:
    std::unique_ptr<DS_AnimationBase> m_animation;
    std::vector<TransformNode*> m_children;
};

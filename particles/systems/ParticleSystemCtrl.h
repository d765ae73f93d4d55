#pragma once
// DS_ParticleSystemCtrl: the description base of every sprite object and
// sprite-effect controller. It adds no data to DS_BaseSpriteProp (so no
// stored section of its own): it fixes how a sprite description becomes a
// runtime object, a sprite array (SpriteArrayObj.h) around a clone of
// itself, and the clone operation every concrete class supplies.

#include <memory>

#include "render/BaseSpriteProp.h"

class DS_ParticleSystemCtrl : public DS_BaseSpriteProp {
public:
    DS_ParticleSystemCtrl() = default;
    DS_ParticleSystemCtrl(const DS_ParticleSystemCtrl& other) = default;

    // A new copy of this object (its class's copy constructor).
    virtual std::unique_ptr<DS_ParticleSystemCtrl> Clone() const = 0;

    // Resolves the legacy pictures into image links, then a sprite array
    // around a clone.
    std::unique_ptr<KXI_RenderObj> CreateRenderObject() override;
};

// The clone of `controller` as a T, or null when the clone is no T.
template <class T>
std::unique_ptr<T> CloneAs(const DS_ParticleSystemCtrl& controller)
{
    std::unique_ptr<DS_ParticleSystemCtrl> clone = controller.Clone();
    if (!dynamic_cast<T*>(clone.get()))
        return nullptr;
    return std::unique_ptr<T>(static_cast<T*>(clone.release()));
}

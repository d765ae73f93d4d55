#pragma once
// Base of every object a device makes (textures, surfaces, buffers, programs).
// A resource may outlive its device (a scene released after the device); the
// link they share tells it whether the device, and so the GL context, is
// still there, so that GL objects are deleted only while they can be.
// The link also counts the live default-pool resources: like Direct3D 9, the
// device refuses to be reset while any of them exists.

#include <cstdint>
#include <memory>

#include "platform/gfx/Formats.h"
#include "platform/gfx/Ref.h"

namespace gfx {

class Device;

struct DeviceLink {
    Device* device = nullptr;             // null once the device is gone
    std::uint32_t defaultPoolResources = 0;
};

class Resource : public RefCounted {
public:
    Pool GetPool() const { return pool_; }
    // The device that made this resource, or null when it is gone.
    Device* GetDevice() const { return link_->device; }

protected:
    // `implicit`: made by the device for itself (its back buffer and depth
    // buffer), so not counted among the caller's default-pool resources.
    Resource(std::shared_ptr<DeviceLink> link, Pool pool, bool implicit = false);
    ~Resource() override;

    bool DeviceAlive() const { return link_->device != nullptr; }
    const std::shared_ptr<DeviceLink>& Link() const { return link_; }

private:
    std::shared_ptr<DeviceLink> link_;
    Pool pool_;
    bool counted_;
};

} // namespace gfx

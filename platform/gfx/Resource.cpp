#include "platform/gfx/Resource.h"

namespace gfx {

Resource::Resource(std::shared_ptr<DeviceLink> link, Pool pool, bool implicit)
    : link_(std::move(link)), pool_(pool), counted_(pool == Pool::Default && !implicit)
{
    if (counted_)
        ++link_->defaultPoolResources;
}

Resource::~Resource()
{
    if (counted_)
        --link_->defaultPoolResources;
}

} // namespace gfx

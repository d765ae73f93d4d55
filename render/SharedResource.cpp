#include "render/SharedResource.h"

#include <array>

namespace {

constexpr std::array kSharedResources{
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResBackgroundPicture, "default background picture"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResCameraPicture, "default camera picture"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResSoundPreviewPicture, "sound preview picture"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResBlurEffect, "glow blur effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResTreeEffect, "particle-tree effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResGeneratorBlendEffect, "generator blend and glow effect"},
};

} // namespace

std::span<const SharedResourceEntry> SharedResourceTable()
{
    return kSharedResources;
}

win::ResourceType SharedResourceType(SharedResourceKind kind)
{
    if (kind == SharedResourceKind::Effect)
        return win::ResourceType(win::RT_RCDATA);
    return win::ResourceType("DDS");
}

DS_FileLink3 CommonResLink(std::int32_t id)
{
    return DS_FileLink3(id, kCommonResModule);
}

DS_ImageFileLink CommonResImageLink(std::int32_t id)
{
    return DS_ImageFileLink(id, kCommonResModule);
}

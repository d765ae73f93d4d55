#include "render/SharedResource.h"

#include <array>

namespace {

constexpr std::array kSharedResources{
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResBackgroundPicture,
                        "default background picture and glass-ball backdrop"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResCameraPicture,
                        "butterfly body picture and default camera picture"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResSoundPreviewPicture, "sound preview picture"},
    SharedResourceEntry{SharedResourceKind::Mesh, kCommonResButterflyBodyMesh, "butterfly body mesh"},
    SharedResourceEntry{SharedResourceKind::Mesh, kCommonResButterflyWingMesh, "butterfly wing mesh"},
    SharedResourceEntry{SharedResourceKind::Mesh, kCommonResClockFaceMesh, "clock plate mesh"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResClockPicture1, "clock face picture"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResClockPicture2, "clock hands picture"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResBlurEffect, "glow blur effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResTreeEffect, "particle-tree effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResGeneratorEffect, "generator blend effect"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResBeamPicture, "light beam picture"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResNarrowBeamPicture, "narrow light beam picture"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResBackgroundCopyEffect, "background-copy effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResLightEffect, "light effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResWavesEffect, "waves effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResPatternBrushEffect, "pattern-brush effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResUnderwaterEffect, "underwater effect"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResWaterBumpPicture, "water bump picture"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResWaterEffect, "water effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResMoveEffect, "move effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResLightBlendEffect, "light II effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResTextItemEffect, "text item effect"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResDischargePicture1, "discharge picture"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResDischargePicture2, "thin discharge picture"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResFireNoisePicture, "fire noise picture"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResFirePicture, "fire pattern picture"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResFlamePatternPicture, "flame light pattern picture"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResHeatBumpPicture, "heat shimmer bump picture"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResMatrixGlyphPicture, "matrix code glyph strip"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResFireEffect, "fire effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResHeatHazeEffect, "heat shimmer effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResExpandEffect, "expand effect"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResRadialWaveEffect, "radial wave effect"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResGlassBallOverlayPicture1, "glass-ball highlight"},
    SharedResourceEntry{SharedResourceKind::Picture, kCommonResGlassBallOverlayPicture2, "glass-ball glint"},
    SharedResourceEntry{SharedResourceKind::TextureSet, kCommonResGlassBallStandSet, "glass-ball stand set"},
    SharedResourceEntry{SharedResourceKind::Effect, kCommonResStaticAnimationEffect, "static animation effect"},
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

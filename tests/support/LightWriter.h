#pragma once
// Writes the stored records of the light variants byte for byte as their
// readers read them, for every stored version: each variant's own fields,
// then the plain light's level (picture_scene_writer::WriteLightRecord).
// Each field struct holds the values a test wants.

#include <cstdint>
#include <string>

#include "tests/support/DocumentWriter.h"
#include "tests/support/ImageEffectWriter.h"
#include "tests/support/PictureSceneWriter.h"

namespace light_writer {

// ---- flame, underwater and matrix-code lights

// The fire a flame light embeds by default: the flame tongues, picture 7.
inline image_effect_writer::FireFields DefaultFlameFire()
{
    image_effect_writer::FireFields fire;
    fire.pattern = {u"common_res.dll", 7};
    fire.fx.speed = 50;
    fire.fx.effectLink = {u"common_res.dll", 92};
    return fire;
}

// The underwater effect a light embeds by default.
inline image_effect_writer::UnderwaterFields DefaultLightUnderwater()
{
    image_effect_writer::UnderwaterFields effect;
    effect.fx.speed = 25;
    effect.fx.effectLink = {u"common_res.dll", 88};
    return effect;
}

struct FlameLightFields {
    std::int32_t version = 2;
    std::int32_t fireFlag = 1, heatFlag = 1;
    std::uint32_t flameOffset = 0;
    std::uint32_t fireSpeed = 50; // version 1
    description_writer::StoredLink bump{u"common_res.dll", 62};
    description_writer::StoredLink hazeEffect{u"common_res.dll", 63};
    std::uint32_t hazeSpeed = 50, hazeStrength = 25, hazeBumpScale = 88;
    // Version 1: two image links the reader drops.
    description_writer::StoredLink dropped1{u"common_res.dll", 7}, dropped2{u"common_res.dll", 8};
    // Version 2: the embedded fire.
    image_effect_writer::FireFields fire = DefaultFlameFire();
    picture_scene_writer::LightFields light;
};

inline DocumentWriter& WriteFlameLight(DocumentWriter& w, const FlameLightFields& f)
{
    w.Section(u"DS_FlameLight", f.version).Int(f.fireFlag).Int(f.heatFlag).Dword(f.flameOffset);
    if (f.version < 2)
        w.Dword(f.fireSpeed);
    description_writer::WriteLink(w, f.bump);
    description_writer::WriteLink(w, f.hazeEffect);
    w.Dword(f.hazeSpeed).Dword(f.hazeStrength).Dword(f.hazeBumpScale);
    if (f.version < 2) {
        description_writer::WriteLink(w, f.dropped1);
        description_writer::WriteLink(w, f.dropped2);
    } else {
        image_effect_writer::WriteFire(w, f.fire);
    }
    return picture_scene_writer::WriteLightRecord(w, f.light);
}

struct UnderwaterLightFields {
    std::int32_t version = 2;
    std::uint32_t speed = 50; // version 1
    image_effect_writer::UnderwaterFields effect = DefaultLightUnderwater();
    picture_scene_writer::LightFields light;
};

inline DocumentWriter& WriteUnderwaterLight(DocumentWriter& w, const UnderwaterLightFields& f)
{
    w.Section(u"FakeUndervater", f.version);
    if (f.version == 1)
        w.Dword(f.speed);
    else
        image_effect_writer::WriteUnderwater(w, f.effect);
    return picture_scene_writer::WriteLightRecord(w, f.light);
}

struct MatrixCodeLightFields {
    std::int32_t version = 2;
    std::uint32_t cellSize = 16, speed = 20, highlightCount = 50;
    std::int32_t flicker = 0, tintMode = 0, directionMode = 2;
    std::uint32_t glyphColour = 0x00FF00, highlightColour = 0xFFFFFF;
    std::uint32_t transparency = 0;
    description_writer::StoredLink glyphs{u"common_res.dll", 40}; // version > 1
    picture_scene_writer::LightFields light;
};

inline DocumentWriter& WriteMatrixCodeLight(DocumentWriter& w, const MatrixCodeLightFields& f)
{
    w.Section(u"DS_MatrixCodeLight", f.version).Dword(f.cellSize).Dword(f.speed).Dword(f.highlightCount);
    w.Int(f.flicker).Int(f.tintMode).Int(f.directionMode).Dword(f.glyphColour).Dword(f.highlightColour);
    w.Dword(f.transparency);
    if (f.version > 1)
        description_writer::WriteLink(w, f.glyphs);
    return picture_scene_writer::WriteLightRecord(w, f.light);
}

// ---- the lake, the water ring and the glass ball

struct FakeLakeFields {
    std::int32_t version = 2;
    // Version 2 and later.
    std::uint32_t bumpRepeat = 100;
    std::uint32_t speed = 50;
    std::uint32_t horizon = 25;
    std::uint32_t gradientLevel = 100;
    std::uint32_t tintAlpha = 31;
    std::uint32_t tintFade = 58;
    std::uint32_t normalAmplitude = 25;
    std::uint32_t bandHeight = 7;
    std::int32_t mirrorSizeExponent = 1;
    std::int32_t tintColour = 0x408000;
    // Every version: the key under which the document stores the bump map.
    crt::Guid guid{};
    std::u16string keyName;
    std::uint8_t keyFlag = 1;
    picture_scene_writer::LightFields light;
};

inline DocumentWriter& WriteFakeLake(DocumentWriter& writer, const FakeLakeFields& lake)
{
    writer.Section(u"FakeLake2D", lake.version);
    if (lake.version > 1)
        writer.Dword(lake.bumpRepeat)
            .Dword(lake.speed)
            .Dword(lake.horizon)
            .Dword(lake.gradientLevel)
            .Dword(lake.tintAlpha)
            .Dword(lake.tintFade)
            .Dword(lake.normalAmplitude)
            .Dword(lake.bandHeight)
            .Int(lake.mirrorSizeExponent)
            .Int(lake.tintColour);
    writer.Guid(lake.guid).WideString(lake.keyName).Byte(lake.keyFlag);
    return picture_scene_writer::WriteLightRecord(writer, lake.light);
}

struct WaterRingFields {
    std::int32_t version = 2;
    // Version 2 and later.
    std::uint32_t timeStep = 0;
    std::uint32_t density = 0;
    std::uint32_t resolution = 0;
    std::uint32_t dropStrength = 50;
    std::uint32_t damping = 50;
    std::uint32_t refractionDepth = 20;
    std::uint32_t dropRate = 30;
    std::uint32_t specularLevel = 90;
    std::uint32_t specularPower = 50;
    // Every version.
    std::int32_t mode = 0;
    picture_scene_writer::LightFields light;
};

inline DocumentWriter& WriteWaterRing(DocumentWriter& writer, const WaterRingFields& ring)
{
    writer.Section(u"DS_WaterRingLight", ring.version);
    if (ring.version > 1)
        writer.Dword(ring.timeStep)
            .Dword(ring.density)
            .Dword(ring.resolution)
            .Dword(ring.dropStrength)
            .Dword(ring.damping)
            .Dword(ring.refractionDepth)
            .Dword(ring.dropRate)
            .Dword(ring.specularLevel)
            .Dword(ring.specularPower);
    writer.Int(ring.mode);
    return picture_scene_writer::WriteLightRecord(writer, ring.light);
}

struct GlassBallFields {
    std::int32_t version = 2;
    std::u16string overlayAPath = u"common_res.dll";
    std::int64_t overlayAId = 58;
    std::u16string overlayBPath = u"common_res.dll";
    std::int64_t overlayBId = 59;
    std::u16string standPath = u"common_res.dll";
    std::int64_t standId = 184;
    std::u16string picturePath = u"common_res.dll";
    std::int64_t pictureId = 5;
    std::uint32_t turnSpeed = 33;
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::uint32_t ballSize = 100;
    std::uint32_t lensStrength = 0;
    std::int32_t overlayAOn = 1;
    std::int32_t overlayBOn = 1;
    std::int32_t standOn = 0;
    std::int32_t backdropMode = 0;
    std::int32_t turnMode = 3;
    std::int32_t gradientTop = 0;
    std::int32_t gradientBottom = 0;
    picture_scene_writer::LightFields light;
};

inline DocumentWriter& WriteGlassBall(DocumentWriter& writer, const GlassBallFields& ball)
{
    writer.Section(u"DS_GlassBallLight", ball.version)
        .WideString(ball.overlayAPath)
        .Int64(ball.overlayAId)
        .WideString(ball.overlayBPath)
        .Int64(ball.overlayBId)
        .WideString(ball.standPath)
        .Int64(ball.standId)
        .WideString(ball.picturePath)
        .Int64(ball.pictureId)
        .Dword(ball.turnSpeed)
        .Int(ball.offsetX)
        .Int(ball.offsetY)
        .Dword(ball.ballSize)
        .Dword(ball.lensStrength)
        .Int(ball.overlayAOn)
        .Int(ball.overlayBOn)
        .Int(ball.standOn)
        .Int(ball.backdropMode)
        .Int(ball.turnMode)
        .Int(ball.gradientTop)
        .Int(ball.gradientBottom);
    return picture_scene_writer::WriteLightRecord(writer, ball.light);
}

} // namespace light_writer

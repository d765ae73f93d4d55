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

} // namespace light_writer

#include "tests/support/ImageEffectWriter.h"

namespace image_effect_writer {

DocumentWriter& WriteFxLevel(DocumentWriter& w, const FxFields& f)
{
    w.Section(u"DS_FX_Constructor", f.version).Dword(f.speed).Int(f.mode).Guid(f.guid).WideString(f.keyName);
    w.Byte(f.keyFlag);
    description_writer::WriteLink(w, f.effectLink);
    if (f.version > 1)
        w.Dword(f.scale);
    if (f.version > 2) {
        for (float value : f.region)
            w.Float(value);
        w.Int(f.extraInt);
    }
    if (f.version > 3)
        w.Dword(f.phaseOffset);
    return description_writer::WriteConstructor(w, f.base);
}

DocumentWriter& WriteDirectionLevel(DocumentWriter& w, const DirectionFields& f)
{
    w.Section(u"DS_DirectionBased", 1).Dword(f.magnitude).Dword(f.angle);
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WriteCentralLevel(DocumentWriter& w, const CentralFields& f)
{
    w.Section(u"DS_CentralBased", 1).Float(f.centre[0]).Float(f.centre[1]).Float(f.centre[2]);
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WriteLineLevel(DocumentWriter& w, const LineFields& f)
{
    w.Section(u"DS_LineBased", 1).Dword(f.angle).Float(f.centre[0]).Float(f.centre[1]).Float(f.centre[2]);
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WritePatternBrush(DocumentWriter& w, const PatternFields& f)
{
    if (f.storedAsC)
        w.Section(u"DS_PatternBrushC", 1);
    w.Section(u"DS_PatternBrush", 1);
    description_writer::WriteLink(w, f.pattern);
    w.Int(f.flipY).Int(f.flipX).Dword(f.angle).Dword(f.tileSize).Dword(f.offsetX).Dword(f.offsetY);
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WriteBackgroundCopy(DocumentWriter& w, const BackgroundCopyFields& f)
{
    w.Section(u"DS_BackgroundCopy", 1);
    for (std::int32_t value : f.rectangle)
        w.Long(value);
    w.Int(f.flagY).Int(f.flagX);
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WriteWaves(DocumentWriter& w, const WavesFields& f)
{
    w.Section(u"DS_WavesFX", 1).Dword(f.amplitude).Dword(f.wavelength).Dword(f.angle).Int(f.reverse);
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WriteLight(DocumentWriter& w, const LightFields& f)
{
    w.Section(u"DS_LightFX", 1).Dword(f.strength).Int(f.flickerMode);
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WriteLightII(DocumentWriter& w, const LightIIFields& f)
{
    w.Section(u"DS_LightFX_II", f.version).Dword(f.strength).Int(f.flickerMode).Int(f.blendMode).Dword(f.colour);
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WriteUnderwater(DocumentWriter& w, const UnderwaterFields& f)
{
    w.Section(u"DS_UnderwaterFX", 1).Dword(f.amplitude).Dword(f.wavelength);
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WriteWater(DocumentWriter& w, const WaterFields& f)
{
    w.Section(u"DS_WaterFX", 1).Dword(f.shape).Dword(f.bumpRadius).Dword(f.drift2).Dword(f.drift1);
    w.Dword(f.angle).Dword(f.shadows).Dword(f.lightHeight).Dword(f.colour);
    description_writer::WriteLink(w, f.bump);
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WriteMove(DocumentWriter& w, const MoveFields& f)
{
    w.Section(u"DS_MoveFX", f.version).Int(f.kind);
    if (f.version > 1)
        w.Dword(f.secondMagnitude);
    return WriteDirectionLevel(w, f.direction);
}

DocumentWriter& WriteFire(DocumentWriter& w, const FireFields& f)
{
    w.Section(u"DS_FireFX", f.version);
    if (f.version > 1) {
        if (f.version == 2)
            for (float value : f.region)
                w.Float(value);
        w.Dword(f.colour1).Dword(f.colour2).Int(f.spareInt);
        description_writer::WriteLink(w, f.pattern);
        description_writer::WriteLink(w, f.noise);
        if (f.version == 2)
            w.Int(f.extraInt);
        w.Dword(f.density).Dword(f.brightness).Dword(f.patternWidth);
    }
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WriteDayToNight(DocumentWriter& w, const DayToNightFields& f)
{
    w.Section(u"DS_DayToNight", 1).Dword(f.multiplyColour).Dword(f.hue).Dword(f.saturation).Dword(f.brightness);
    for (float value : f.softLight)
        w.Float(value);
    w.Dword(f.desaturation);
    return WriteFxLevel(w, f.fx);
}

DocumentWriter& WriteHeat(DocumentWriter& w, const HeatFields& f)
{
    w.Section(u"DS_HeatDistortion", 1).Dword(f.shimmerSpeed).Dword(f.strength).Dword(f.bumpScale);
    return WriteFxLevel(w, f.fx);
}

} // namespace image_effect_writer

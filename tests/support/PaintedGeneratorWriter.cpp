#include "tests/support/PaintedGeneratorWriter.h"

namespace generator_writer {

namespace {

void WriteDab(DocumentWriter& w, const DabRecord& dab, std::int32_t version)
{
    w.Float(dab.position[0]).Float(dab.position[1]).Float(dab.position[2]);
    if (version < 2)
        return;
    w.Dword(dab.storedPairCount.value_or(dab.pairCount));
    for (std::uint32_t k = 0; k < dab.pairCount; ++k) {
        w.Float(k < 5 ? dab.channels[k] : 0.0f);
        if (version >= 3)
            w.Float(k < 5 ? dab.channels[k + 5] : 0.0f);
    }
}

} // namespace

std::array<std::array<float, 3>, 4> RectCorners(float left, float top, float width, float height)
{
    return {{{left, top, 0.0f}, {left, top + height, 0.0f}, {left + width, top, 0.0f},
             {left + width, top + height, 0.0f}}};
}

DocumentWriter& WriteAirBrushSection(DocumentWriter& w, const AirBrushFields& f)
{
    w.Section(u"DS_AirBrush", f.version);
    w.Dword(f.brushSize);
    w.Int(f.dabCount.value_or(static_cast<std::int32_t>(f.dabs.size())));
    for (const DabRecord& dab : f.dabs)
        WriteDab(w, dab, f.version);
    return WriteTexGenerator(w, f.textured);
}

DocumentWriter& WriteSingleRectSection(DocumentWriter& w, const SingleRectFields& f)
{
    w.Section(u"DS_SingleRectGN", f.version);
    for (const auto& corner : f.rect)
        w.Float(corner[0]).Float(corner[1]).Float(corner[2]);
    if (f.version < 2)
        w.Float(f.extras[0]).Float(f.extras[1]);
    return WriteStaticGenerator(w, f.base);
}

DocumentWriter& WritePathGeneratorSection(DocumentWriter& w, const PathGeneratorFields& f)
{
    w.Section(u"DS_PathGenerator", f.version);
    w.Int(f.pointCount.value_or(static_cast<std::int32_t>(f.points.size())));
    for (const auto& point : f.points)
        w.Float(point[0]).Float(point[1]).Float(point[2]);
    return WriteTexGenerator(w, f.textured);
}

DocumentWriter& WriteCustomAirBrush(DocumentWriter& w, const CustomAirBrushFields& f)
{
    w.Section(u"DS_CustomAirBrush", f.version);
    description_writer::WriteLink(w, f.image);
    w.Dword(f.frameSpeed);
    return WriteAirBrushSection(w, f.brush);
}

DocumentWriter& WriteBling(DocumentWriter& w, const BlingFields& f)
{
    w.Section(u"DS_Bling", f.version);
    w.Dword(f.lifeSpeed).Dword(f.shrinkTime).Dword(f.growTime);
    if (f.version >= 2)
        w.Dword(f.spinSpeed).Dword(f.sizeFloor);
    return WriteAirBrushSection(w, f.brush);
}

DocumentWriter& WriteTwinklingStars(DocumentWriter& w, const TwinklingStarsFields& f)
{
    w.Section(u"DS_TwinklingStars", f.version);
    w.Dword(f.twinkleSpeed);
    return WriteAirBrushSection(w, f.brush);
}

DocumentWriter& WriteAurora(DocumentWriter& w, const AuroraFields& f)
{
    w.Section(u"DS_Aurora", f.version);
    w.Dword(f.bandHeight);
    for (const AuroraWaveFields& wave : f.waves)
        w.Dword(wave.speed).Dword(wave.amplitude).Dword(wave.length);
    w.Dword(f.swayDirection);
    return WriteAirBrushSection(w, f.brush);
}

DocumentWriter& WriteAnimatedFont(DocumentWriter& w, const AnimatedFontFields& f)
{
    w.Section(u"DS_AnimatedFont", f.version);
    w.WideString(f.text);
    w.Dword(f.frameSpeed).Dword(f.scale);
    for (std::uint32_t setting : f.settings)
        w.Dword(setting);
    w.Long(f.signedSetting);
    w.Dword(static_cast<std::uint32_t>(f.characterTable.size()));
    for (const auto& [character, link] : f.characterTable) {
        w.Word(character);
        description_writer::WriteLink(w, link);
    }
    w.Dword(static_cast<std::uint32_t>(f.glyphImages.size()));
    for (const auto& link : f.glyphImages)
        description_writer::WriteLink(w, link);
    return WriteStaticGenerator(w, f.base);
}

DocumentWriter& WritePlant(DocumentWriter& w, const PlantFields& f)
{
    w.Section(u"DS_Plant", f.version);
    w.Dword(f.swaySpeed).Dword(f.frequency).Dword(f.wMagnitude).Dword(f.bMagnitude);
    return WriteSingleRectSection(w, f.rect);
}

} // namespace generator_writer

#include "tools/scene/SceneJsonPaintedGenerators.h"

#include "particles/generators/AirBrush.h"
#include "particles/generators/AnimatedFont.h"
#include "particles/generators/Aurora.h"
#include "particles/generators/Bling.h"
#include "particles/generators/PathGenerator.h"
#include "particles/generators/SingleRect.h"
#include "tools/scene/SceneJson.h"

namespace {

void WriteDabs(std::ostringstream& out, const DS_AirBrush& brush)
{
    out << "\"brush_size\": " << brush.brushSize.value << ", \"dabs\": [";
    bool first = true;
    for (const GenParticle& dab : brush.dabs) {
        out << (first ? "" : ", ") << "{\"position\": " << JsonPoint(dab.position) << ", \"channels\": [";
        for (std::size_t k = 0; k < dab.channels.size(); ++k)
            out << (k ? ", " : "") << dab.channels[k];
        out << "]}";
        first = false;
    }
    out << "]";
}

void WriteCustomBrush(std::ostringstream& out, const DS_CustomAirBrush& brush)
{
    out << ", \"params\": {\"image\": " << JsonLink(brush.image) << ", \"frame_speed\": " << brush.frameSpeed.value
        << ", ";
    WriteDabs(out, brush);
    out << "}";
}

void WriteBling(std::ostringstream& out, const DS_Bling& bling)
{
    out << ", \"params\": {\"life_speed\": " << bling.lifeSpeed.value << ", \"grow_time\": " << bling.growTime.value
        << ", \"shrink_time\": " << bling.shrinkTime.value << ", \"spin_speed\": " << bling.spinSpeed.value
        << ", \"size_floor\": " << bling.sizeFloor.value << ", ";
    WriteDabs(out, bling);
    out << "}";
}

void WriteStars(std::ostringstream& out, const DS_TwinklingStars& stars)
{
    out << ", \"params\": {\"twinkle_speed\": " << stars.twinkleSpeed.value << ", ";
    WriteDabs(out, stars);
    out << "}";
}

void WriteAurora(std::ostringstream& out, const DS_Aurora& aurora)
{
    out << ", \"params\": {\"band_height\": " << aurora.bandHeight.value << ", \"waves\": [";
    for (std::size_t i = 0; i < aurora.waves.size(); ++i)
        out << (i ? ", " : "") << "{\"speed\": " << aurora.waves[i].speed.value
            << ", \"amplitude\": " << aurora.waves[i].amplitude.value << ", \"length\": " << aurora.waves[i].length.value
            << "}";
    out << "], \"sway_direction\": " << aurora.swayDirection.value << ", ";
    WriteDabs(out, aurora);
    out << "}";
}

void WriteFont(std::ostringstream& out, const DS_AnimatedFont& font)
{
    out << ", \"params\": {\"text\": " << JsonString(font.text.value) << ", \"frame_speed\": " << font.frameSpeed.value
        << ", \"scale\": " << font.scale.value << ", \"settings\": [" << font.settings[0].value << ", "
        << font.settings[1].value << ", " << font.settings[2].value << ", " << font.signedSetting.value
        << "], \"characters\": " << font.characterTable.size() << ", \"glyph_images\": [";
    for (std::size_t i = 0; i < font.glyphImages.size(); ++i)
        out << (i ? ", " : "") << JsonLink(font.glyphImages[i]);
    out << "], \"position\": " << JsonPoint(font.position.value) << "}";
}

void WritePlant(std::ostringstream& out, const DS_Plant& plant)
{
    out << ", \"params\": {\"sway_speed\": " << plant.swaySpeed.value << ", \"frequency\": " << plant.frequency.value
        << ", \"w_magnitude\": " << plant.wMagnitude.value << ", \"b_magnitude\": " << plant.bMagnitude.value
        << ", \"rect\": [";
    for (std::size_t i = 0; i < plant.rect.corners.size(); ++i)
        out << (i ? ", " : "") << JsonPoint(plant.rect.corners[i].value);
    out << "], \"position\": " << JsonPoint(plant.position.value) << "}";
}

void WritePath(std::ostringstream& out, const DS_PathGenerator& generator)
{
    out << ", \"params\": {\"path\": [";
    bool first = true;
    for (const auto& point : generator.path.points) {
        out << (first ? "" : ", ") << JsonPoint(point ? point->Position() : math::Vec3{});
        first = false;
    }
    out << "]}";
}

} // namespace

bool WritePaintedGeneratorParams(std::ostringstream& out, const DS_IOF_Item& item)
{
    if (const auto* custom = dynamic_cast<const DS_CustomAirBrush*>(&item))
        WriteCustomBrush(out, *custom);
    else if (const auto* bling = dynamic_cast<const DS_Bling*>(&item))
        WriteBling(out, *bling);
    else if (const auto* stars = dynamic_cast<const DS_TwinklingStars*>(&item))
        WriteStars(out, *stars);
    else if (const auto* aurora = dynamic_cast<const DS_Aurora*>(&item))
        WriteAurora(out, *aurora);
    else if (const auto* font = dynamic_cast<const DS_AnimatedFont*>(&item))
        WriteFont(out, *font);
    else if (const auto* plant = dynamic_cast<const DS_Plant*>(&item))
        WritePlant(out, *plant);
    else if (const auto* path = dynamic_cast<const DS_PathGenerator*>(&item))
        WritePath(out, *path);
    else
        return false;
    return true;
}

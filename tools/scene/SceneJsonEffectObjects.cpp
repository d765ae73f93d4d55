#include "tools/scene/SceneJsonEffectObjects.h"

#include "objects/GlowingDischarge.h"
#include "objects/ObjectAnimations.h"
#include "objects/TextDescriptions.h"
#include "objects/TextItems.h"
#include "platform/crt/Guid.h"
#include "tools/scene/SceneJson.h"

namespace {

void WriteDischarge(std::ostringstream& out, const DS_DischargeFXConstructor& d)
{
    out << ", \"discharge\": {\"start\": " << JsonPoint(d.start.value) << ", \"end\": " << JsonPoint(d.end.value)
        << ", \"jitter\": " << d.jitter.value << ", \"texture\": " << d.textureChoice.value
        << ", \"flicker\": " << d.flickerInterval.value << ", \"morph\": " << d.morphSpeed.value
        << ", \"glowColour\": " << d.glowColour.value << ", \"brightness\": " << d.brightness.value
        << ", \"effect\": " << JsonLink(d.effectLink) << "}";
}

void WriteTextDescription(std::ostringstream& out, const DS_StaticTextConstructor& t)
{
    const FontData& font = t.font.value;
    out << ", \"textDescription\": {\"key\": " << JsonString(crt::FormatGuidWide(t.key.guid))
        << ", \"keyName\": " << JsonString(t.key.name) << ", \"centre\": " << JsonPoint(t.centre.value)
        << ", \"width\": " << t.width.value << ", \"height\": " << t.height.value
        << ", \"text\": " << JsonString(t.text.value) << ", \"font\": {\"size\": " << font.size
        << ", \"weight\": " << font.weight << ", \"flags\": " << font.flags << ", \"face\": " << JsonString(font.face)
        << "}, \"effect\": " << JsonLink(t.effectLink);
    if (const auto* scrolling = dynamic_cast<const DS_ScrollingTextConstructor*>(&t))
        out << ", \"period\": " << scrolling->period.value << ", \"direction\": " << scrolling->directionMode.value
            << ", \"tile\": [" << JsonNumber(scrolling->tileWidth) << ", " << JsonNumber(scrolling->tileHeight)
            << "]";
    if (const auto* link = dynamic_cast<const DS_TextLinkConstructor*>(&t))
        out << ", \"link\": " << link->linkNumber.value;
    out << "}";
}

void WriteTextItem(std::ostringstream& out, const DS_StaticText& t)
{
    out << ", \"textItem\": {\"text\": " << JsonString(t.properties.text.value)
        << ", \"face\": " << JsonString(t.properties.face.value) << ", \"size\": " << t.properties.size.value
        << ", \"fontColour\": " << t.properties.fontColour.value << ", \"shadow\": {\"on\": " << t.shadowOn.value
        << ", \"colour\": " << t.shadowColour.colour.value << ", \"opacity\": " << t.shadowColour.opacity.value
        << ", \"distance\": " << t.shadowDistance.value << ", \"angle\": " << t.shadowDirection.value
        << "}, \"quad\": [";
    const char* separator = "";
    for (const auto& corner : t.quad.corners) {
        out << separator << JsonPoint(corner.value);
        separator = ", ";
    }
    out << "]";
    if (const auto* scrolling = dynamic_cast<const DS_ScrollingTex*>(&t))
        out << ", \"scrollMode\": " << scrolling->scrollMode.value;
    if (const auto* link = dynamic_cast<const DS_TextLink*>(&t))
        out << ", \"link\": " << link->linkNumber.value;
    out << "}";
}

void WriteStaticAnimation(std::ostringstream& out, const DS_StaticAnimation& a)
{
    out << ", \"animation\": {\"frameSpeed\": " << a.frameSpeed.value << ", \"reverse\": " << a.reverse.value
        << ", \"rect\": [";
    for (std::size_t i = 0; i < a.rect.corners.size(); ++i)
        out << (i ? ", " : "") << JsonPoint(a.rect.corners[i].value);
    out << "]}";
}

void WriteBrownAnimation(std::ostringstream& out, const DS_BrownAnimation& a)
{
    out << ", \"animation\": {\"frameSpeed\": " << a.frameSpeed.value << ", \"count\": " << a.count.value
        << ", \"size\": " << a.size.value << ", \"motionScale\": " << a.motionScale.value
        << ", \"repickPeriod\": " << a.repickPeriod.value << ", \"steerTime\": " << a.steerTime.value
        << ", \"region\": [";
    for (std::size_t i = 0; i < a.region.corners.size(); ++i)
        out << (i ? ", " : "") << JsonPoint(a.region.corners[i].value);
    out << "]}";
}

void WritePathAnimation(std::ostringstream& out, const DS_PathAnimtion& a)
{
    out << ", \"animation\": {\"frameSpeed\": " << a.frameSpeed.value << ", \"moveSpeed\": " << a.moveSpeed.value
        << ", \"size\": " << a.size.value << ", \"points\": [";
    for (std::size_t i = 0; i < a.path.points.size(); ++i)
        out << (i ? ", " : "") << JsonPoint(a.path.points[i] ? a.path.points[i]->Position() : math::Vec3{});
    out << "], \"facing\": " << a.facing.value << ", \"mirrors\": [" << a.mirrorTopBottom.value << ", "
        << a.mirrorLeftRight.value << "]}";
}

} // namespace

void WriteEffectObjectFields(std::ostringstream& out, const DS_IOF_Item& item)
{
    if (const auto* discharge = dynamic_cast<const DS_DischargeFXConstructor*>(&item))
        WriteDischarge(out, *discharge);
    if (const auto* text = dynamic_cast<const DS_StaticTextConstructor*>(&item))
        WriteTextDescription(out, *text);
    if (const auto* text = dynamic_cast<const DS_StaticText*>(&item))
        WriteTextItem(out, *text);
    if (const auto* animation = dynamic_cast<const DS_StaticAnimation*>(&item))
        WriteStaticAnimation(out, *animation);
    if (const auto* animation = dynamic_cast<const DS_BrownAnimation*>(&item))
        WriteBrownAnimation(out, *animation);
    if (const auto* animation = dynamic_cast<const DS_PathAnimtion*>(&item))
        WritePathAnimation(out, *animation);
}

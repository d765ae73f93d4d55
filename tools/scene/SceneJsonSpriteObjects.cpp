// The inspector's view of the sprite scene objects, appended to an object's
// JSON (SceneJson.cpp):
//   flows and rain: "flow": {"direction", "wobble", "change_rate", "speed",
//     "orientation", "edges": [top, bottom, left, right as {"mode",
//     "fade_out", "fade_in", "min_delay", "max_delay"}]};
//   fish, birds, ghosts and fog: "max_speed" [x, y];
//   god rays: "ray_angle";
//   lighting: "interval" [min, max] (hundredths of a second);
//   grass and flowers: "sway" (degrees);
//   placed objects, flowers and discharges: "bounds" [left, right, top,
//     bottom, centre x, centre y], "angle".

#include <sstream>

#include "objects/AtmosphereSpriteConstructors.h"
#include "objects/FishConstructor.h"
#include "objects/FlowConstructor.h"
#include "objects/PlacedSpriteConstructors.h"
#include "tools/scene/SceneJson.h"

namespace {

void WriteFlow(std::ostringstream& out, const DS_FlowConstructor& flow)
{
    out << ", \"flow\": {\"direction\": " << flow.direction.value << ", \"wobble\": " << flow.wobble.value
        << ", \"change_rate\": " << flow.changeRate.value << ", \"speed\": " << JsonNumber(flow.speed)
        << ", \"orientation\": " << flow.orientationMode.value << ", \"edges\": [";
    const char* separator = "";
    for (const DS_BoundControl& edge : flow.bounds) {
        out << separator << "{\"mode\": " << edge.mode.value << ", \"fade_out\": " << edge.fadeOutTime.value
            << ", \"fade_in\": " << edge.fadeInTime.value << ", \"min_delay\": " << edge.minDelay.value
            << ", \"max_delay\": " << edge.maxDelay.value << "}";
        separator = ", ";
    }
    out << "]}";
}

void WriteMaxSpeed(std::ostringstream& out, float x, float y)
{
    out << ", \"max_speed\": [" << JsonNumber(x) << ", " << JsonNumber(y) << "]";
}

void WritePlaced(std::ostringstream& out, const DS_StatObjConstructor& placed)
{
    const MediaRectangle& b = placed.bounds;
    out << ", \"bounds\": [" << b.left.value << ", " << b.right.value << ", " << b.top.value << ", "
        << b.bottom.value << ", " << b.centreX.value << ", " << b.centreY.value
        << "], \"angle\": " << placed.angle.value;
}

} // namespace

void WriteSpriteObjectFields(std::ostringstream& out, const DS_IOF_Item& item)
{
    if (const auto* flow = dynamic_cast<const DS_FlowConstructor*>(&item))
        WriteFlow(out, *flow);
    if (const auto* fish = dynamic_cast<const DS_FishConstructor*>(&item))
        WriteMaxSpeed(out, fish->maxSpeedX, fish->maxSpeedY);
    if (const auto* fog = dynamic_cast<const DS_FogConstructor*>(&item))
        WriteMaxSpeed(out, fog->maxSpeedX, fog->maxSpeedY);
    if (const auto* rays = dynamic_cast<const DS_GodRayConstructor*>(&item))
        out << ", \"ray_angle\": " << rays->rayAngle.value;
    if (const auto* lighting = dynamic_cast<const DS_LightingConstructor*>(&item))
        out << ", \"interval\": [" << lighting->minInterval.value << ", " << lighting->maxInterval.value << "]";
    if (const auto* grass = dynamic_cast<const DS_GrassConstructor*>(&item))
        out << ", \"sway\": " << JsonNumber(grass->swayAmplitude);
    if (const auto* placed = dynamic_cast<const DS_StatObjConstructor*>(&item))
        WritePlaced(out, *placed);
    if (const auto* flower = dynamic_cast<const DS_FlowerConstructor*>(&item))
        out << ", \"sway\": " << JsonNumber(flower->swayAmplitude);
}

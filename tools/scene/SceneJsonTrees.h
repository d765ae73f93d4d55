#pragma once
// The inspector's view of particle trees, appended to the object's JSON:
//   "tree": {"effect": {"path", "id"}, "offset": [x, y, z],
//            "preset": {"value": N, "list": [...]},          (presets only)
//            "children": [node, ...]}
// where every node is
//   {"class": ..., "name": ...,
//    "geometry": {"class", "name", "offset", and by class: swarm "count",
//                 "box", "wanderSpeed"; emitters "count", "lifetime",
//                 "period", "pause", "delay", "speed": [value, jitter],
//                 "attached"; emit shapes their placement, launch and forces},
//    leaves: "pictures": [{"path", "id"}], "grid": [columns, rows],
//            "size": N, "blend": N, "glow": N,
//    trace leaves: "lifetime"; balloons: "lightMaps": [first, second],
//    "children": [node, ...]}
// Stored floats that JSON cannot hold (NaN, infinities) show as null.

#include <sstream>

class DS_IOF_Item;

void WriteTreeFields(std::ostringstream& out, const DS_IOF_Item& item);

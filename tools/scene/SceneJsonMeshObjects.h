#pragma once
// The inspector's fields of the 3D object items, appended to an object's
// JSON:
//   butterfly, clock: "meshObject": {"count": N, "size": N, "image": link,
//       "mesh": link, and for the butterfly "bodyImage": link,
//       "bodyMesh": link, "wingScale": F, "percent": [N, N]; for the clock
//       "hands": link, "rectangle": [left, right, top, bottom, cx, cy]}
//   drifting array: "drifting": {"count": N, "mesh": blob, "texture": blob,
//       "size": N, "speed": N, "drift": N, "driftChange": N, "spin": N,
//       "direction": N}, a blob being {"id": N, "module": ..., "bytes": N}
// Nothing for other items.

#include <sstream>

class DS_IOF_Item;

void WriteMeshObjectFields(std::ostringstream& out, const DS_IOF_Item& item);

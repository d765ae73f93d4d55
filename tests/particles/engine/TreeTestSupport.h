#pragma once
// Small helpers of the particle-tree tests.

#include "objectmodel/SafePtr.h"
#include "particles/engine/ParticleGeometry.h"

// A geometry handle on a new G, for a node to own; `out` sees the G.
template <class G>
DS_SafePtr<KXI_PtclSys_Geometry> NewGeometry(G** out = nullptr)
{
    G* geometry = new G;
    if (out)
        *out = geometry;
    return DS_SafePtr<KXI_PtclSys_Geometry>(geometry);
}

#pragma once
// Roots of every object that a scene document stores.
//
// Objects are not read by a virtual of their own: each stored class has a
// reader object registered under its class name (ClassRegistry.h), which
// creates the object and calls its body reader.

#include "objectmodel/Archive.h"

class DS_IOF_Item {
public:
    DS_IOF_Item() = default;
    DS_IOF_Item(const DS_IOF_Item&) = default;
    DS_IOF_Item& operator=(const DS_IOF_Item&) = default;
    virtual ~DS_IOF_Item() = default;

    // Writes the object. This program never writes documents (every archive
    // write does nothing), so the root's version writes nothing.
    virtual void Save(ArchiveWriter) const {}
};

// A stored item with no data of its own: the root of the particle-tree
// nodes, particle geometries, emit shapes and party balloons, which are read
// through the item registry.
class KXI_IOF_Item : public DS_IOF_Item {};

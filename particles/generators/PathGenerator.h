#pragma once
// DS_PathGenerator: a textured generator that owns a path of control points
// (picture pixels, z kept although the drawing is flat), walked in order as
// a polyline by its subclasses. A new generator has an empty path. It keeps
// the base clock and the textured BuildGeometry; drawing and cloning belong
// to the subclasses.
//
// Stored section "DS_PathGenerator", 1: the points (int32 count, then x, y,
// z floats per point); then the DS_TexParticleGenerator section.

#include <cstdint>

#include "objectmodel/SmartPath.h"
#include "particles/generators/TexParticleGenerator.h"

class DS_PathGenerator : public DS_TexParticleGenerator {
public:
    static constexpr std::u16string_view kSectionName = u"DS_PathGenerator";
    static constexpr std::int32_t kWrittenVersion = 1;

    DS_PathGenerator() = default;
    // The copy shares the point objects, as copies of a path do.
    DS_PathGenerator(const DS_PathGenerator& other) = default;

    void Save(ArchiveWriter ar) const override;

    SmartPath<DX_SmartPnt> path;

protected:
    // Reads the DS_PathGenerator section, header included: appends one
    // point per stored position, then reads the textured section.
    void ReadPathGeneratorSection(ArchiveReader ar);
};

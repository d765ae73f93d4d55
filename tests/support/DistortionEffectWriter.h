#pragma once
// Writes the stored levels of the distortion effects (centre, line and
// flow-field distortions, waterfall and clouds) byte for byte as the
// effects layer reads them, in every version their readers know, over the
// base levels of ImageEffectWriter.h.

#include <cstdint>

#include "tests/support/ImageEffectWriter.h"

namespace image_effect_writer {

struct ExpandFields {
    std::int32_t version = 2;
    std::uint32_t outward = 50, inward = 0;
    std::int32_t kind = 0;
    CentralFields central;
};

struct RadialWaveFields {
    std::int32_t version = 3; // version 1 has no own fields
    std::uint32_t amplitude = 50, wavelength = 50, width = 50;
    std::int32_t outward = 0;
    CentralFields central;
};

struct RotationFields {
    std::uint32_t aspect = 0, tilt = 0;
    std::int32_t reverse = 0;
    CentralFields central;
};

struct BendFields {
    std::int32_t version = 2;
    std::uint32_t amplitudeA = 0, amplitudeB = 0, bend = 0;
    std::int32_t kind = 0;
    CentralFields central;
};

struct WaterfallFields {
    std::uint32_t translucency = 0, layers = 0, noiseAmplitude = 0, spare = 0, threshold = 0;
    StoredLink noise;
    std::uint32_t baseColour = 0;
    std::int32_t hidden = 0;
    DirectionFields direction;
};

struct CloudFields {
    std::uint32_t colour1 = 0, colour2 = 0;
    StoredLink cloud, second;
    std::uint32_t threshold = 0, density = 0;
    // The inline perspective.
    std::uint32_t horizon = 0, height = 0, shift = 0;
    std::int32_t flip = 0;
    std::uint32_t spare1 = 0, spare2 = 0;
    DirectionFields direction;
};

struct PerspectiveFields {
    std::int32_t version = 3;
    std::uint32_t amplitudeA = 0, depth = 0;
    std::int32_t kind = 0;      // version > 1
    std::int32_t sideFlag = 0;  // version 1, in the kind's place
    std::uint32_t amplitudeB = 0; // version > 2
    LineFields line;
};

struct StretchFields {
    std::int32_t kind = 0;
    std::uint32_t amplitudeA = 0, amplitudeB = 0;
    LineFields line;
};

struct LinearFlowFields {
    DirectionFields direction;
};

struct RadialFlowFields {
    std::int32_t version = 2;
    std::uint32_t amplitude = 0;
    std::int32_t outward = 0; // version > 1
    CentralFields central;
};

struct VortexFields {
    std::uint32_t deform = 0, angle = 0;
    std::int32_t reverse = 0;
    std::uint32_t amplitude = 0;
    CentralFields central;
};

// Whole records, class name and version first.
DocumentWriter& WriteExpand(DocumentWriter& w, const ExpandFields& f);
DocumentWriter& WriteRadialWave(DocumentWriter& w, const RadialWaveFields& f);
DocumentWriter& WriteRotation(DocumentWriter& w, const RotationFields& f);
DocumentWriter& WriteBend(DocumentWriter& w, const BendFields& f);
DocumentWriter& WriteWaterfall(DocumentWriter& w, const WaterfallFields& f);
DocumentWriter& WriteCloud(DocumentWriter& w, const CloudFields& f);
DocumentWriter& WritePerspective(DocumentWriter& w, const PerspectiveFields& f);
DocumentWriter& WriteStretch(DocumentWriter& w, const StretchFields& f);
DocumentWriter& WriteLinearFlow(DocumentWriter& w, const LinearFlowFields& f);
DocumentWriter& WriteRadialFlow(DocumentWriter& w, const RadialFlowFields& f);
DocumentWriter& WriteVortex(DocumentWriter& w, const VortexFields& f);

} // namespace image_effect_writer

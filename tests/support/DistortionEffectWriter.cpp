#include "tests/support/DistortionEffectWriter.h"

namespace image_effect_writer {

DocumentWriter& WriteExpand(DocumentWriter& w, const ExpandFields& f)
{
    w.Section(u"DS_ExpandFX", f.version).Dword(f.outward).Dword(f.inward).Int(f.kind);
    return WriteCentralLevel(w, f.central);
}

DocumentWriter& WriteRadialWave(DocumentWriter& w, const RadialWaveFields& f)
{
    w.Section(u"DS_RadialWaveFX", f.version);
    if (f.version > 1)
        w.Dword(f.amplitude).Dword(f.wavelength).Dword(f.width).Int(f.outward);
    return WriteCentralLevel(w, f.central);
}

DocumentWriter& WriteRotation(DocumentWriter& w, const RotationFields& f)
{
    w.Section(u"DS_RotationFX", 1).Dword(f.aspect).Dword(f.tilt).Int(f.reverse);
    return WriteCentralLevel(w, f.central);
}

DocumentWriter& WriteBend(DocumentWriter& w, const BendFields& f)
{
    w.Section(u"DS_BendFX", f.version).Dword(f.amplitudeA).Dword(f.amplitudeB).Dword(f.bend).Int(f.kind);
    return WriteCentralLevel(w, f.central);
}

DocumentWriter& WriteWaterfall(DocumentWriter& w, const WaterfallFields& f)
{
    w.Section(u"DS_WaterfallFX", 1).Dword(f.translucency).Dword(f.layers).Dword(f.noiseAmplitude);
    w.Dword(f.spare).Dword(f.threshold);
    description_writer::WriteLink(w, f.noise);
    w.Dword(f.baseColour).Int(f.hidden);
    return WriteDirectionLevel(w, f.direction);
}

DocumentWriter& WriteCloud(DocumentWriter& w, const CloudFields& f)
{
    w.Section(u"DS_CloudFX", 1).Dword(f.colour1).Dword(f.colour2);
    description_writer::WriteLink(w, f.cloud);
    description_writer::WriteLink(w, f.second);
    w.Dword(f.threshold).Dword(f.density);
    w.Dword(f.horizon).Dword(f.height).Dword(f.shift).Int(f.flip).Dword(f.spare1).Dword(f.spare2);
    return WriteDirectionLevel(w, f.direction);
}

DocumentWriter& WritePerspective(DocumentWriter& w, const PerspectiveFields& f)
{
    w.Section(u"DS_PerspectiveFX", f.version).Dword(f.amplitudeA).Dword(f.depth);
    w.Int(f.version > 1 ? f.kind : f.sideFlag);
    if (f.version > 2)
        w.Dword(f.amplitudeB);
    return WriteLineLevel(w, f.line);
}

DocumentWriter& WriteStretch(DocumentWriter& w, const StretchFields& f)
{
    w.Section(u"DS_StretchFX", 1).Int(f.kind).Dword(f.amplitudeA).Dword(f.amplitudeB);
    return WriteLineLevel(w, f.line);
}

DocumentWriter& WriteLinearFlow(DocumentWriter& w, const LinearFlowFields& f)
{
    w.Section(u"DS_VarrowLinear", 1);
    return WriteDirectionLevel(w, f.direction);
}

DocumentWriter& WriteRadialFlow(DocumentWriter& w, const RadialFlowFields& f)
{
    w.Section(u"DS_VarrowRadial", f.version).Dword(f.amplitude);
    if (f.version > 1)
        w.Int(f.outward);
    return WriteCentralLevel(w, f.central);
}

DocumentWriter& WriteVortex(DocumentWriter& w, const VortexFields& f)
{
    w.Section(u"DS_VarrowVortical", 1).Dword(f.deform).Dword(f.angle).Int(f.reverse).Dword(f.amplitude);
    return WriteCentralLevel(w, f.central);
}

} // namespace image_effect_writer
